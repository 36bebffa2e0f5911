// Not a test: pictures of the window at a given size after a run on the demo folder: the
// overview with its top bar, the "Lens Length" tab in both lens modes, the path list after a
// click on its longest line, the "Lens" tab, a coverage band with its sentence, and the path
// list after a click on the focal-length chart's tallest bar.
//   xvfb-run -a -s "-screen 0 1920x1200x24" window_screens OUT_FOLDER WIDTHxHEIGHT [PHOTO_FOLDER]
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <cstdio>

#include "settings/program_folder.h"
#include "ui/analyse_length.h"
#include "viewer/path_list_viewer.h"
#include "window_page.h"

namespace {

using quorvela::ui::TAnalyseLength;
using quorvela::ui::testing::WindowPage;

bool Save(TAnalyseLength& window, const QString& file) {
    QTest::qWait(300);
    return window.grab().save(file);
}

// Clicks the longest line of the path list and waits for its preview.
bool ClickLongestLine(TAnalyseLength& window, const WindowPage& page) {
    QPlainTextEdit* list = page.Text("RichEdit1");
    QTextBlock longest;
    for (QTextBlock block = list->document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!longest.isValid() || block.length() > longest.length()) longest = block;
    }
    if (!longest.isValid()) return false;
    list->setTextCursor(QTextCursor(longest));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(QTextCursor(longest)).center());
    return QTest::qWaitFor([&] { return !window.PathListView().ShownPreviewPath().isEmpty(); }, 10000);
}

// The answers from the run's photos: the lens chart, a 24-70 coverage band, and the photos of
// the most used focal length.
bool SaveAnswers(TAnalyseLength& window, const WindowPage& page, const QString& prefix) {
    page.Tabs()->setCurrentWidget(page.OwnTab(4));
    bool saved = Save(window, prefix + "lens_tab.png");
    page.Tabs()->setCurrentWidget(page.OwnTab(0));
    page.Edit("EditCoverage")->setText("24-70");
    saved = Save(window, prefix + "coverage.png") && saved;
    const auto points = page.Charts().ShownBy(quorvela::Quantity::FocalLength).Points;
    int tallest = 0;
    for (int i = 0; i < static_cast<int>(points.size()); ++i) {
        if (points[static_cast<std::size_t>(i)].second > points[static_cast<std::size_t>(tallest)].second) tallest = i;
    }
    const QRect bar = page.Charts().PointRect(quorvela::Quantity::FocalLength, tallest);
    if (bar.isEmpty()) return false;
    QTest::mouseClick(page.Chart(0), Qt::LeftButton, {}, bar.center());
    const bool shown = QTest::qWaitFor(
        [&] { return window.PathListView().ShownPreviewPath() == window.PathListView().SelectedPath(); }, 10000);
    return shown && Save(window, prefix + "bar_photos.png") && saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList size = argc >= 3 ? QString::fromLocal8Bit(argv[2]).split('x') : QStringList();
    if ((argc != 3 && argc != 4) || size.size() != 2) {
        std::fprintf(stderr, "usage: window_screens OUT_FOLDER WIDTHxHEIGHT [PHOTO_FOLDER]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString programFolder = out + "/program";
    QDir(programFolder).removeRecursively();
    QDir().mkpath(programFolder);
    quorvela::ui::WindowServices services;
    services.ProgramFolder = programFolder.toStdString();
    services.ExecutableFolder = QUORVELA_BIN_DIR;
    TAnalyseLength window(services);
    const WindowPage page(&window);
    window.resize(size[0].toInt(), size[1].toInt());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    const QString photos = argc == 4
                               ? QDir(QString::fromLocal8Bit(argv[3])).absolutePath()
                               : QString::fromStdString(quorvela::settings::DemoFolderFor(QUORVELA_BIN_DIR).string());
    if (!QTest::qWaitFor([&] { return window.SelectFolder(photos); }, 10000)) return 1;
    page.Button("StartAnalyzing")->click();
    if (!QTest::qWaitFor([&] { return !window.Running(); }, 60000)) return 1;
    const QString prefix = out + "/" + argv[2] + "_";
    bool saved = Save(window, prefix + "overview.png");

    page.Tabs()->setCurrentWidget(page.OwnTab(0));
    saved = Save(window, prefix + "lens_35mm.png") && saved;
    page.Tool("LbSetforRealLength")->click();
    saved = Save(window, prefix + "lens_real.png") && saved;
    page.Tool("LbSetforRealLength")->click();

    page.Tabs()->setCurrentWidget(page.Widget("TabSheet7"));
    if (!ClickLongestLine(window, page)) return 1;
    saved = Save(window, prefix + "path_list.png") && saved;
    saved = SaveAnswers(window, page, prefix) && saved;
    std::printf(
        "%soverview.png, lens_35mm.png, lens_real.png, path_list.png, lens_tab.png, coverage.png, "
        "bar_photos.png\n",
        qPrintable(prefix));
    window.close();
    return saved ? 0 : 1;
}
