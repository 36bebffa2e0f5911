// Not a test: figures for the path-list view with 100,000 lines (filling, scrolling, a click on
// the last line), printed for the closing note.
//   QT_QPA_PLATFORM=offscreen viewer_probe [LINES]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "viewer/path_list_viewer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 100000;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* image = new QLabel(&window);
    image->setFixedSize(218, 218);
    auto* summary = new QLabel(&window);
    auto* list = new QPlainTextEdit(&window);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(image);
    layout->addWidget(summary);
    layout->addWidget(list, 1);
    window.resize(1200, 800);
    window.show();
    const quorvela::equivalence::EquivalentList table;
    quorvela::viewer::PathListViewer viewer(list, image, summary, table, '.');

    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << QString("___%1 mm - /home/ann/Pictures/2024/trip %2/IMG_%3.JPG - Make: Canon - Model: Canon EOS 80D")
                     .arg(18 + i % 200, 3, 10, QChar('_'))
                     .arg(i / 500)
                     .arg(i, 6, 10, QChar('0'));
    }
    QElapsedTimer timer;
    timer.start();
    list->setPlainText(lines.join('\n'));
    QApplication::processEvents();
    const qint64 fill = timer.elapsed();

    timer.restart();
    QScrollBar* bar = list->verticalScrollBar();
    int pages = 0;
    qint64 worst = 0;
    for (int value = 0; value < bar->maximum() && pages < 400; value += bar->pageStep(), ++pages) {
        QElapsedTimer page;
        page.start();
        bar->setValue(value);
        list->viewport()->repaint();
        worst = std::max(worst, page.elapsed());
    }
    const qint64 scroll = timer.elapsed();

    QTextCursor last(list->document()->lastBlock());
    list->setTextCursor(last);
    timer.restart();
    viewer.ShowLineAtCaret();
    const qint64 click = timer.elapsed();
    std::printf(
        "%d lines: filled in %lld ms; %d pages scrolled and painted in %lld ms (slowest page %lld ms); "
        "a click on the last line took %lld ms\n",
        count, static_cast<long long>(fill), pages, static_cast<long long>(scroll), static_cast<long long>(worst),
        static_cast<long long>(click));
    return 0;
}
