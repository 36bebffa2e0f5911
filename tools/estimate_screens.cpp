// Not a test: pictures of what the window shows for photos charted with the manual factor, after
// a run on a folder with such photos: the focal-length chart on its own tab with the estimated
// parts of its bars (flat, and in 3D with percent marks), and the crop-factor dialog opened from the status bar's link,
// as filled in and with a factor it refuses.
//   xvfb-run -a -s "-screen 0 1920x1200x24" estimate_screens OUT_FOLDER WIDTHxHEIGHT PHOTO_FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "ui/analyse_length.h"
#include "window_page.h"

namespace {

using quorvela::ui::TAnalyseLength;
using quorvela::ui::testing::WindowPage;

bool Save(QWidget& widget, const QString& file) {
    QTest::qWait(300);
    return widget.grab().save(file);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList size = argc == 4 ? QString::fromLocal8Bit(argv[2]).split('x') : QStringList();
    if (size.size() != 2) {
        std::fprintf(stderr, "usage: estimate_screens OUT_FOLDER WIDTHxHEIGHT PHOTO_FOLDER\n");
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
    const QString photos = QDir(QString::fromLocal8Bit(argv[3])).absolutePath();
    if (!QTest::qWaitFor([&] { return window.SelectFolder(photos); }, 10000)) return 1;
    page.Button("StartAnalyzing")->click();
    if (!QTest::qWaitFor([&] { return !window.Running(); }, 60000)) return 1;
    if (!page.Label("EstimateLink")->isVisible()) {
        std::fprintf(stderr, "no photo of %s was estimated\n", argv[3]);
        return 1;
    }
    page.Tabs()->setCurrentWidget(page.OwnTab(0));
    bool saved = Save(window, out + "/focal_estimated.png");
    // The same in 3D with the shares in the marks.
    page.Check("ChB3D")->setChecked(true);
    page.Combo("ComboBoxValue")->setCurrentIndex(3);
    saved = Save(window, out + "/focal_estimated_3d.png") && saved;
    page.Check("ChB3D")->setChecked(false);
    page.Combo("ComboBoxValue")->setCurrentIndex(0);

    emit page.Label("EstimateLink")->linkActivated("#crop");
    auto* dialog = window.findChild<QDialog*>("CropFactorDialog");
    if (dialog == nullptr) return 1;
    auto* first = dialog->findChild<QLineEdit*>("CropFactor0");
    if (first == nullptr) return 1;
    first->setText("1,6");
    saved = Save(*dialog, out + "/crop_factor_dialog.png") && saved;
    first->setText("35");
    dialog->findChild<QPushButton*>("CropFactorSave")->click();  // a focal length typed by mistake
    saved = Save(*dialog, out + "/crop_factor_refused.png") && saved;
    std::printf("%s/focal_estimated.png, focal_estimated_3d.png, crop_factor_dialog.png, crop_factor_refused.png\n",
                qPrintable(out));
    dialog->reject();
    window.close();
    return saved ? 0 : 1;
}
