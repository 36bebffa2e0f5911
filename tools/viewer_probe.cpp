// Not a test: figures for the path-list view with 100,000 lines (filling, scrolling, a click on
// the last line) and for decoding a large photo for the preview, printed for the closing note.
//   QT_QPA_PLATFORM=offscreen viewer_probe [LINES [PHOTO]]
// Without PHOTO a 6000 x 4000 photo is generated. Previews are asked of the viewer's loader,
// which has them decoded by the preview helper, as a click does.
//   QT_QPA_PLATFORM=offscreen viewer_probe --previews N PHOTO...
// asks the viewer's preview loader for each PHOTO N times, one request at a time, and prints the
// median time from request to answer.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "jpeg_writer.h"
#include "viewer/path_list_viewer.h"
#include "viewer/preview_loader.h"

namespace {

// Asks the viewer's loader, as a click does, and waits for its answer.
class Previewer {
  public:
    Previewer()
        : loader_(QSize(218, 218), [this](const std::string&, const quorvela::viewer::PreviewImage& shown) {
              last_ = shown;
              answered_ = true;
          }) {}
    const quorvela::viewer::PreviewImage& Show(const std::string& path) {
        answered_ = false;
        loader_.Request(path);
        while (!answered_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return last_;
    }

  private:
    quorvela::viewer::PreviewImage last_;
    bool answered_ = false;
    quorvela::viewer::PreviewLoader loader_;
};

// The median time of `rounds` previews of each photo through the loader, as the viewer asks.
int MeasurePreviews(int rounds, const QStringList& photos) {
    for (const QString& photo : photos) {
        const std::string path = QFile::encodeName(photo).toStdString();
        Previewer previewer;
        std::vector<double> times;
        quorvela::viewer::PreviewImage last;
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer timer;
            timer.start();
            last = previewer.Show(path);
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(times.begin(), times.end());
        const double median = (times[(times.size() - 1) / 2] + times[times.size() / 2]) / 2;
        std::printf("%s: median %.2f ms of %d previews (fastest %.2f, slowest %.2f) %dx%d %s\n",
                    qPrintable(QFileInfo(photo).fileName()), median, rounds, times.front(), times.back(),
                    last.Image.width(), last.Image.height(), qPrintable(last.Error));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 3 && QString(argv[1]) == "--previews") {
        QStringList photos;
        for (int i = 3; i < argc; ++i) photos << QString::fromLocal8Bit(argv[i]);
        return MeasurePreviews(std::max(1, QString(argv[2]).toInt()), photos);
    }
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

    QString photo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QTemporaryDir scratch;
    if (photo.isEmpty()) {
        const int width = 6000;
        const int height = 4000;
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
        for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 7 + i / 9001) & 0xFF);
        const std::vector<std::uint8_t> bytes = quorvela::samples::EncodeJpeg(width, height, rgb, {}, 90);
        photo = scratch.filePath("large.jpg");
        QFile file(photo);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    Previewer previewer;
    timer.restart();
    const quorvela::viewer::PreviewImage preview = previewer.Show(QFile::encodeName(photo).toStdString());
    std::printf("%s (%dx%d, %lld bytes): preview decoded at %d/8 scale and fitted to %dx%d in %lld ms%s\n",
                qPrintable(QFileInfo(photo).fileName()), preview.StoredSize.width(), preview.StoredSize.height(),
                static_cast<long long>(QFileInfo(photo).size()), preview.ScaleEighths, preview.Image.width(),
                preview.Image.height(), static_cast<long long>(timer.elapsed()), qPrintable(preview.Error));
    return 0;
}
