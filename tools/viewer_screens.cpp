// Not a test: pictures of the "Path list + Image" tab with a photo shown and of the camera-table
// editor open, taken from the real window on the demo folder.
//   xvfb-run -a -s "-screen 0 1280x800x24" viewer_screens OUT_FOLDER [PHOTO_FOLDER]
// PHOTO_FOLDER is a copy of the demo folder (with its "turned_001.jpg"), e.g. in a home folder
// for pictures that show where a photographer keeps photos; the demo folder itself by default.
//   xvfb-run -a -s "-screen 0 1280x800x24" viewer_screens OUT_FOLDER --photos PHOTO...
// puts a path-list line for each PHOTO (any format, e.g. HEIC or RAW) into the list by hand,
// clicks each and saves the tab as preview_<name>.png.
//   xvfb-run -a -s "-screen 0 1280x800x24" viewer_screens OUT_FOLDER --run PHOTO_FOLDER
// analyses PHOTO_FOLDER (RAW and HEIF photos included), then clicks each path-list line and
// saves the tab as run_<n>.png.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <cstdio>

#include "settings/program_folder.h"
#include "ui/analyse_length.h"
#include "viewer/path_list_viewer.h"
#include "window_page.h"

namespace {

// Lists `photos` in the path list, clicks each line and saves the tab once its preview shows.
int ShowPhotos(quorvela::ui::TAnalyseLength& window, const QString& out, const QStringList& photos) {
    const quorvela::ui::testing::WindowPage page(&window);
    page.Tabs()->setCurrentWidget(page.Widget("TabSheet7"));
    QPlainTextEdit* list = page.Text("RichEdit1");
    QStringList lines;
    for (const QString& photo : photos) lines << "___50 mm - " + QFileInfo(photo).absoluteFilePath();
    list->setPlainText(lines.join('\n'));
    QTest::qWait(100);
    int block = 0;
    for (const QString& photo : photos) {
        const QString path = QFileInfo(photo).absoluteFilePath();
        const QTextBlock line = list->document()->findBlockByNumber(block++);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(QTextCursor(line)).center());
        if (!QTest::qWaitFor([&] { return window.PathListView().ShownPreviewPath() == path; }, 20000)) return 1;
        QTest::qWait(300);
        const QString shot = out + "/preview_" + QFileInfo(photo).fileName() + ".png";
        window.grab().save(shot);
        std::printf("%s\n", qPrintable(shot));
    }
    return 0;
}

// Analyses `folder`, then clicks every line of the path list the run made.
int RunAndClick(quorvela::ui::TAnalyseLength& window, const QString& out, const QString& folder) {
    const quorvela::ui::testing::WindowPage page(&window);
    if (!QTest::qWaitFor([&] { return window.SelectFolder(folder); }, 10000)) return 1;
    page.Button("StartAnalyzing")->click();
    if (!QTest::qWaitFor([&] { return !window.Running(); }, 60000)) return 1;
    page.Tabs()->setCurrentWidget(page.Widget("TabSheet7"));
    QPlainTextEdit* list = page.Text("RichEdit1");
    int n = 0;
    for (QTextBlock block = list->document()->firstBlock(); block.isValid(); block = block.next()) {
        const QString before = window.PathListView().ShownPreviewPath();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(QTextCursor(block)).center());
        if (!QTest::qWaitFor([&] { return window.PathListView().ShownPreviewPath() != before; }, 20000)) return 1;
        QTest::qWait(300);
        const QString shot = out + "/run_" + QString::number(++n) + ".png";
        window.grab().save(shot);
        std::printf("%s %s\n", qPrintable(shot), qPrintable(window.PathListView().ShownPreviewPath()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == "--photos" || mode == "--run") {
        const QString out = QString::fromLocal8Bit(argv[1]);
        QDir().mkpath(out + "/program");
        quorvela::ui::WindowServices services;
        services.ProgramFolder = (out + "/program").toStdString();
        services.ExecutableFolder = QUORVELA_BIN_DIR;
        quorvela::ui::TAnalyseLength window(services);
        window.resize(1100, 720);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return 1;
        if (mode == "--run") return RunAndClick(window, out, QDir(QString::fromLocal8Bit(argv[3])).absolutePath());
        QStringList photos;
        for (int i = 3; i < argc; ++i) photos << QString::fromLocal8Bit(argv[i]);
        return ShowPhotos(window, out, photos);
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: viewer_screens OUT_FOLDER [PHOTO_FOLDER]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const QString programFolder = out + "/program";
    QDir(programFolder).removeRecursively();
    QDir().mkpath(programFolder);
    if (argc == 3) {
        // Saved as the last folder, so the tree opens on it alone.
        QFile ini(programFolder + "/vintrop.ini");
        if (!ini.open(QIODevice::WriteOnly)) return 1;
        ini.write("[INI]\r\nPath=" + QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toUtf8() + "\r\n");
    }
    quorvela::ui::WindowServices services;
    services.ProgramFolder = programFolder.toStdString();
    services.ExecutableFolder = QUORVELA_BIN_DIR;
    quorvela::ui::TAnalyseLength window(services);
    const quorvela::ui::testing::WindowPage page(&window);
    window.resize(1100, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    const QString demo = argc == 3
                             ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath()
                             : QString::fromStdString(quorvela::settings::DemoFolderFor(QUORVELA_BIN_DIR).string());
    if (!QTest::qWaitFor([&] { return window.SelectFolder(demo); }, 10000)) return 1;
    page.Button("StartAnalyzing")->click();
    if (!QTest::qWaitFor([&] { return !window.Running(); }, 60000)) return 1;
    QTest::qWait(300);
    window.grab().save(out + "/overview.png");

    page.Tabs()->setCurrentWidget(page.Widget("TabSheet7"));
    QPlainTextEdit* list = page.Text("RichEdit1");
    for (QTextBlock block = list->document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!block.text().contains("turned_001")) continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(QTextCursor(block)).center());
        break;
    }
    if (!QTest::qWaitFor([&] { return !window.PathListView().ShownPreviewPath().isEmpty(); }, 10000)) return 1;
    QTest::qWait(300);
    window.grab().save(out + "/path_list.png");

    page.Tabs()->setCurrentWidget(page.Widget("TabSheet5"));
    page.Button("LbButton1")->click();
    QTest::qWait(300);
    window.grab().save(out + "/editor.png");
    std::printf("%s/overview.png, path_list.png, editor.png\n", qPrintable(out));
    window.close();
    return 0;
}
