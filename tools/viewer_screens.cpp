// Not a test: pictures of the "Path list + Image" tab with a photo shown and of the camera-table
// editor open, taken from the real window on the demo folder.
//   xvfb-run -a -s "-screen 0 1280x800x24" viewer_screens OUT_FOLDER [PHOTO_FOLDER]
// PHOTO_FOLDER is a copy of the demo folder (with its "turned_001.jpg"), e.g. in a home folder
// for pictures that show where a photographer keeps photos; the demo folder itself by default.
#include <QApplication>
#include <QDir>
#include <QFile>
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
