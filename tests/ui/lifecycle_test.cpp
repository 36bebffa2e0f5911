// The window's life: first start, settings read into the controls, settings written at close,
// the decimal separator on activation, help and links.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <fstream>

#include "common/version.h"
#include "ui/messages.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;

namespace {

// The key lines of a written settings file, "section/key", in file order.
QStringList KeyOrder(const std::string& text) {
    QStringList keys;
    QString section;
    for (const QString& line : QString::fromStdString(text).split("\r\n")) {
        if (line.startsWith('[')) {
            section = line.mid(1, line.indexOf(']') - 1);
        } else if (line.contains('=')) {
            keys << section + "/" + line.left(line.indexOf('='));
        }
    }
    return keys;
}

}  // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

  private slots:
    void firstStartGivesTheDefaults() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        QVERIFY(w->windowState() & Qt::WindowMaximized);
        w.Show();
        w->FormActivate();
        QCOMPARE(w->windowTitle(), QString("Quorvela - version ") + quorvela::common::kVersion);
        QVERIFY(w.Check("ChBoxSteps")->isChecked());
        QVERIFY(w.Check("ChB_Subs")->isChecked());
        QVERIFY(w.Check("IncludeRawHeif")->isChecked());
        QVERIFY(!w.Check("ChB3D")->isChecked());
        QVERIFY(!w.Check("ChB_Raw")->isChecked());  // built ticked, the missing file unticks it
        QVERIFY(!w.Check("Ch_AlwaysCalc")->isChecked());
        QCOMPARE(w.PathListIndex(), 0);
        QCOMPARE(w.Edit("Edit1")->text(), QString("8.2"));
        QCOMPARE(w.Edit("Edit2")->text(), QString("38"));
        QVERIFY(!w.Check("Cb_Custom")->isChecked());
        QVERIFY(w.Widget("PanelMakeModel")->isHidden());
        QCOMPARE(w.Spin("SpinEdit1")->value(), 10);
        QVERIFY(w.Spin("SpinEdit1")->isEnabled());
        QCOMPARE(w.Spin("SpinEdit2")->value(), 28);
        QCOMPARE(w.Spin("SpinEdit3")->value(), 0);
        QCOMPARE(w.Combo("ComboBoxValue")->currentIndex(), 0);
        QCOMPARE(w.Combo("ComboBoxValue")->currentText(), QString("Statistics off"));
        QVERIFY(!w.Tool("LbSetforRealLength")->isChecked());
        QVERIFY(w.Check("ChBbar")->isChecked());
        QVERIFY(w.Check("ChBbar")->isHidden());
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet1"));
        QCOMPARE(w.Label("StatusPanel")->text(), QString("35mm equivalent"));
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        for (QToolButton* button : w.SaveButtons()) QVERIFY(!button->isEnabled());
        QVERIFY(!w.Tool("Lb_SaveRichedit")->isEnabled());
        QVERIFY(!w.Tool("LbSpeedButton8")->isEnabled());
        QCOMPARE(w.Check("Ch_AlwaysCalc")->toolTip(),
                 QString("Use this if the EXIF doesn't have accurate 35mm info.\nNote: All analyzed files should be "
                         "from the same camera"));
        QCOMPARE(w.StatusBar()->currentMessage(),
                 QString("Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset."));
        // With no folder saved, the tree opens on the demo photos beside the program.
        QTRY_COMPARE(w->SelectedFolder(), QString(QUORVELA_BIN_DIR "/demo"));
        QVERIFY(w.Button("StartAnalyzing")->isEnabled());
    }

    void firstStartAnalysesTheDemoPhotos() {
        TempDir folder;
        WindowUnderTest w(folder.path(), '.', [](WindowServices& services) { services.AnalyseFirstStart = true; });
        w.Show();
        QTRY_VERIFY_WITH_TIMEOUT(w->LastResult().FilesAnalysed > 0, 60000);
        QCOMPARE(w->SelectedFolder(), QString(QUORVELA_BIN_DIR "/demo"));
        QVERIFY(!w.Points(0).isEmpty());
    }

    void aFolderNamedAtStartIsSelectedAndAnalysed() {
        TempDir folder;
        TempDir photos;
        fs::copy(QUORVELA_BIN_DIR "/demo", photos.path(), fs::copy_options::recursive);
        // A saved folder gives way to the one named.
        WriteIni(folder.path() / "vintrop.ini", {"[INI]", "Path=" QUORVELA_BIN_DIR "/demo"});
        const QString named = QString::fromStdString(photos.path().string());
        WindowUnderTest w(folder.path(), '.', [&](WindowServices& services) { services.StartFolder = named; });
        w.Show();
        QTRY_VERIFY_WITH_TIMEOUT(w->LastResult().FilesAnalysed > 0, 60000);
        QCOMPARE(w->SelectedFolder(), named);
        QCOMPARE(w.Edit("EditFolder")->text(), QDir::toNativeSeparators(named));
        QVERIFY(w.Messages->Shown.isEmpty());
    }

    void aMissingFolderNamedAtStartIsSaid() {
        TempDir folder;
        const QString named = QString::fromStdString((folder.path() / "no such folder").string());
        WindowUnderTest w(folder.path(), '.', [&](WindowServices& services) { services.StartFolder = named; });
        w.Show();
        QCOMPARE(w.Messages->Shown, QStringList{"There is no folder " + QDir::toNativeSeparators(named) + "."});
        QVERIFY(!w->Running());
    }

    void aTypedFolderIsSelected_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("as pasted") << "%1" << true;
        QTest::newRow("ending in a slash") << "%1/" << true;
        QTest::newRow("with spaces around") << "  %1  " << true;
        QTest::newRow("dot segments") << "%1/sub/.." << true;
        QTest::newRow("a file") << "%1/file.txt" << false;
        QTest::newRow("missing") << "%1/missing" << false;
    }
    void aTypedFolderIsSelected() {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        TempDir folder;
        TempDir photos;
        fs::create_directories(photos.path() / "sub");
        std::ofstream(photos.path() / "file.txt") << "x";
        const QString root = QString::fromStdString(photos.path().string());
        WindowUnderTest w(folder.path());
        w.Show();
        QLineEdit* field = w.Edit("EditFolder");
        field->setFocus();
        field->setText(typed.arg(root));
        QTest::keyClick(field, Qt::Key_Return);
        if (found) {
            QCOMPARE(w->SelectedFolder(), root);
            QVERIFY(w.Button("StartAnalyzing")->isEnabled());
        } else {
            QVERIFY(w->SelectedFolder() != root);
            QVERIFY2(w.StatusBar()->currentMessage().startsWith("There is no folder "),
                     qPrintable(w.StatusBar()->currentMessage()));
        }
    }

    void withoutDemoPhotosTheTreeOpensOnThePictures() {
        TempDir folder;
        TempDir program;  // a program folder without demo photos
        WindowUnderTest w(folder.path(), '.',
                          [&](WindowServices& services) { services.ExecutableFolder = program.path(); });
        w.Show();
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QTRY_COMPARE(w->SelectedFolder(), QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
    }

    void firstStartSeedsTheCameraTable() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        QVERIFY(!w->CameraTable().empty());
        QVERIFY(fs::is_regular_file(folder.path() / "cam_equiv.txt"));
    }

    void unreadableCameraTableIsReported() {
        TempDir folder;
        fs::create_directories(folder.path() / "cam_equiv.txt");  // a folder in the table's place
        WindowUnderTest w(folder.path());
        QCOMPARE(w.Messages->Shown.size(), 1);
        QVERIFY(w.Messages->Shown.first().contains("cam_equiv.txt"));
        QVERIFY(w->CameraTable().empty());
        w.Show();
        QVERIFY(w.Button("StartAnalyzing")->isEnabled());
    }

    void preparedFileRestoresEveryControl() {
        TempDir folder;
        const fs::path photos = folder.path() / "photos";
        fs::create_directories(photos);
        WriteIni(folder.path() / "vintrop.ini", {"[CHECKMARK]",
                                                 "0=0",
                                                 "1=0",
                                                 "2=1",
                                                 "3=0",
                                                 "4=1",
                                                 "5=1",
                                                 "[RadioButton]",
                                                 "0=7",
                                                 "[LensVAL]",
                                                 "0=7,1",
                                                 "1=0x22",
                                                 "[FilterMake]",
                                                 "2=Canon",
                                                 "[FilterModel]",
                                                 "3=G2",
                                                 "[FilterOn]",
                                                 "4=1",
                                                 "[RealLength]",
                                                 "5=0",
                                                 "[MakerTag]",
                                                 "6=Quality",
                                                 "[MakerData]",
                                                 "7=Fine",
                                                 "[MakerNote]",
                                                 "8=1",
                                                 "[INI]",
                                                 "IgnoreWA=99",
                                                 "UseStepsWA=0",
                                                 "Path=" + photos.string(),
                                                 "Labels=4",
                                                 "Tree=0x40",
                                                 "WinStatusTop=50",
                                                 "WinStatusLeft=100",
                                                 "WinStatusWidth=700",
                                                 "WinStatusHeight=500",
                                                 "WinStatusMain=1"});
        WindowUnderTest w(folder.path());
        // Window state 1 puts the saved bounds in place before the window is first shown.
        QVERIFY(!(w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
        QCOMPARE(w->pos(), QPoint(100, 50));
        QCOMPARE(w->size(), QSize(700, 500));
        QVERIFY(!w.Check("ChBoxSteps")->isChecked());
        QVERIFY(!w.Check("ChB_Subs")->isChecked());
        QVERIFY(w.Check("ChB3D")->isChecked());
        QVERIFY(w.Charts().ShownBy(ChartAt(0)).View3D);
        QVERIFY(w.Check("ChBbar")->isChecked());  // key "3" is read and overridden
        QVERIFY(w.Check("Ch_AlwaysCalc")->isChecked());
        QVERIFY(w.Check("ChB_Raw")->isChecked());
        QCOMPARE(w.PathListIndex(), 5);  // clamped to the last entry
        QCOMPARE(w.Edit("Edit1")->text(), QString("7,1"));
        QCOMPARE(w.Edit("Edit2")->text(), QString("0x22"));  // a text key stays text
        QCOMPARE(w.Edit("EditMake")->text(), QString("Canon"));
        QCOMPARE(w.Edit("EditModel")->text(), QString("G2"));
        QVERIFY(w.Check("Cb_Custom")->isChecked());
        QCOMPARE(w.Edit("MN_name_Edit")->text(), QString("Quality"));
        QCOMPARE(w.Edit("MN_Data_Edit")->text(), QString("Fine"));
        QVERIFY(w.Check("CB_MakerNote")->isChecked());
        QCOMPARE(w.Spin("SpinEdit2")->value(), 49);  // IgnoreWA 99 is clamped
        QCOMPARE(w.Spin("SpinEdit1")->value(), 1);
        QCOMPARE(w.Combo("ComboBoxValue")->currentIndex(), 4);
        QCOMPARE(w->TreeWidth(), 64);
        w.Show();
        w->FormActivate();
        QCOMPARE(w.Edit("Edit1")->text(), QString("7.1"));
        QVERIFY(!w.Spin("SpinEdit1")->isEnabled());  // "Use steps" is off
        QVERIFY(!w.Widget("PanelMakeModel")->isHidden());
        QCOMPARE(w.Label("StatusPanel")->text(), QString("Calculate 35mm"));
        QTRY_COMPARE(w->SelectedFolder(), QString::fromStdString(photos.string()));
        QVERIFY(w.Charts().ShownBy(ChartAt(2)).MarksVisible);
        QCOMPARE(w.Charts().ShownBy(ChartAt(2)).MarksStyle, std::string("PercentTotal"));
    }

    // Folders load after the saved one was selected; the tree still shows it at the end.
    void theSavedFolderIsInViewOnceTheTreeHasLoaded() {
        TempDir folder;
        fs::path photos = folder.path();
        for (const char* level : {"a", "b", "c"}) {
            for (int i = 0; i < 40; ++i) fs::create_directories(photos / ("0" + std::to_string(100 + i)));
            photos /= level;
        }
        fs::create_directories(photos);
        WriteIni(folder.path() / "vintrop.ini", {"[INI]", "Path=" + photos.string()});
        WindowUnderTest w(folder.path());
        QSignalSpy loaded(w.Find<QFileSystemModel>("ShellModel"), &QFileSystemModel::directoryLoaded);
        w.Show();
        QTRY_COMPARE(w->SelectedFolder(), QString::fromStdString(photos.string()));
        // Every folder on its way has been listed: no more rows come in above it.
        const auto listed = [&loaded](const fs::path& path) {
            for (const QList<QVariant>& arguments : loaded) {
                if (arguments.at(0).toString() == QString::fromStdString(path.string())) return true;
            }
            return false;
        };
        for (fs::path above = photos.parent_path();; above = above.parent_path()) {
            QTRY_VERIFY2(listed(above), above.c_str());
            if (above == above.root_path()) break;
        }
        QTreeView* tree = w.Tree();
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
    }

    void realLengthModeIsRestored() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini", {"[RealLength]", "5=1"});
        WindowUnderTest w(folder.path());
        w.Show();
        QVERIFY(w.Tool("LbSetforRealLength")->isChecked());
        QCOMPARE(w.Label("StatusPanel")->text(), QString("Real lens length"));
        QVERIFY(w.Widget("MMPanel")->isHidden());
    }

    void rawHeifCheckFollowsItsKeyAndReachesTheRun() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini", {"[INI]", "RawHeif=0"});
        WindowUnderTest w(folder.path());
        QVERIFY(!w.Check("IncludeRawHeif")->isChecked());
        QVERIFY(!w->CurrentAnalysisSettings().IncludeRawHeif);
        w.Check("IncludeRawHeif")->setChecked(true);
        QVERIFY(w->CurrentAnalysisSettings().IncludeRawHeif);
        QVERIFY(w->close());
        QCOMPARE(ValueOf(ReadAll(folder.path() / "vintrop.ini"), "INI/RawHeif"), QString("1"));
    }

    void noPathListEntryIsRestored() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini", {"[RadioButton]", "0=-1"});
        WindowUnderTest w(folder.path());
        QCOMPARE(w.PathListIndex(), -1);
        QVERIFY(w->CurrentAnalysisSettings().PathList == std::nullopt);
        QVERIFY(w->close());
        QCOMPARE(ValueOf(ReadAll(folder.path() / "vintrop.ini"), "RadioButton/0"), QString("-1"));
    }

    void brokenValuesGiveDefaults() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini", {"garbage without a section", "[INI]", "IgnoreWA=many",
                                                 "UseStepsWA=", "WinStatusMain=eleven", "[CHECKMARK]", "0=yes"});
        WindowUnderTest w(folder.path());
        QCOMPARE(w.Spin("SpinEdit2")->value(), 28);
        QCOMPARE(w.Spin("SpinEdit1")->value(), 10);
        QVERIFY(w.Check("ChBoxSteps")->isChecked());
        QVERIFY(w->windowState() & Qt::WindowMaximized);
        QVERIFY(w.Messages->Shown.isEmpty());
    }

    void binaryFileGivesDefaults() {
        TempDir folder;
        const std::vector<std::uint8_t> noise{0x00, 0xFF, 0x5B, 0x00, 0x3D, 0x0A, 0x80, 0x5D, 0x0D};
        folder.Write("vintrop.ini", noise);
        WindowUnderTest w(folder.path());
        QVERIFY(w.Check("ChB_Subs")->isChecked());
        QCOMPARE(w.Spin("SpinEdit2")->value(), 28);
    }

    void closeWritesEveryKeyInTableOrder() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QVERIFY(w->close());
        const std::string text = ReadAll(folder.path() / "vintrop.ini");
        const QStringList expected{"CHECKMARK/0",        "CHECKMARK/1",
                                   "CHECKMARK/2",        "CHECKMARK/3",
                                   "CHECKMARK/4",        "CHECKMARK/5",
                                   "RadioButton/0",      "LensVAL/0",
                                   "LensVAL/1",          "FilterMake/2",
                                   "FilterModel/3",      "FilterOn/4",
                                   "RealLength/5",       "MakerTag/6",
                                   "MakerData/7",        "MakerNote/8",
                                   "FilterLens/9",       "FilterPeriod/From",
                                   "FilterPeriod/To",    "Coverage/Range",
                                   "FilterRating/Min",   "FilterRating/NoRejected",
                                   "FilterRating/Label", "INI/IgnoreWA",
                                   "INI/UseStepsWA",     "INI/RememberPhotos",
                                   "INI/Path",           "INI/RawHeif",
                                   "INI/Labels",         "INI/Tree",
                                   "INI/WinStatusTop",   "INI/WinStatusLeft",
                                   "INI/WinStatusWidth", "INI/WinStatusHeight",
                                   "INI/WinStatusMain"};
        QCOMPARE(KeyOrder(text), expected);
        QVERIFY(text.find("\r\n") != std::string::npos);
        QCOMPARE(text.find('\n'), text.find("\r\n") + 1);  // CR LF line ends
    }

    void closeWritesTheControlsAndKeepsOtherKeys() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini",
                 {"; written by hand", "[Mine]", "colour=blue", "[CHECKMARK]", "3=0", "[INI]", "Extra=5"});
        WindowUnderTest w(folder.path());
        w.Show();
        w.Check("ChB3D")->setChecked(true);
        w.Spin("SpinEdit2")->setValue(12);
        w.Edit("EditMake")->setText("Nikon");
        w->showNormal();
        w->move(120, 80);
        w->resize(760, 540);
        QVERIFY(w->close());
        const std::string text = ReadAll(folder.path() / "vintrop.ini");
        QVERIFY(text.find("; written by hand") != std::string::npos);
        QCOMPARE(ValueOf(text, "Mine/colour"), QString("blue"));
        QCOMPARE(ValueOf(text, "INI/Extra"), QString("5"));
        QCOMPARE(ValueOf(text, "CHECKMARK/3"), QString("1"));  // read as 0, written back as 1
        QCOMPARE(ValueOf(text, "CHECKMARK/2"), QString("1"));
        QCOMPARE(ValueOf(text, "INI/IgnoreWA"), QString("12"));
        QCOMPARE(ValueOf(text, "FilterMake/2"), QString("Nikon"));
        QCOMPARE(ValueOf(text, "LensVAL/0"), QString("8.2"));  // as the window shows it
        QCOMPARE(ValueOf(text, "INI/Path"), QString(QUORVELA_BIN_DIR "/demo"));
        QCOMPARE(ValueOf(text, "INI/WinStatusMain"), QString("1"));
        QCOMPARE(ValueOf(text, "INI/WinStatusLeft"), QString("120"));
        QCOMPARE(ValueOf(text, "INI/WinStatusTop"), QString("80"));
        QCOMPARE(ValueOf(text, "INI/WinStatusWidth"), QString("760"));
        QCOMPARE(ValueOf(text, "INI/WinStatusHeight"), QString("540"));
        QCOMPARE(ValueOf(text, "INI/Tree"), QString::number(w.Widget("Panel2")->width()));
    }

    void windows1252TextsSurviveTheRoundTrip() {
        TempDir folder;
        // "Café" and "€5" as the settings file holds them: one byte per character.
        WriteIni(folder.path() / "vintrop.ini", {"[FilterMake]", "2=Caf\xE9", "[MakerData]",
                                                 "7=\x80"
                                                 "5"});
        {
            WindowUnderTest w(folder.path());
            QCOMPARE(w.Edit("EditMake")->text(), QString::fromUtf8("Caf\u00e9"));
            QCOMPARE(w.Edit("MN_Data_Edit")->text(), QString::fromUtf8("\u20ac5"));
            QCOMPARE(w->CurrentAnalysisSettings().Filter.Make, std::string("Caf\xE9"));
            w.Edit("EditModel")
                ->setText(QString::fromUtf8("\u00c5ngstr\u00f6m \u4e2d"));  // the last is not in the code page
            QVERIFY(w->close());
        }
        const std::string text = ReadAll(folder.path() / "vintrop.ini");
        QVERIFY(text.find("2=Caf\xE9\r\n") != std::string::npos);
        QVERIFY(text.find("7=\x80"
                          "5\r\n") != std::string::npos);
        QVERIFY(text.find("3=\xC5ngstr\xF6m ?\r\n") != std::string::npos);
    }

    void closeWritesTheWindowState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("written");
        QTest::newRow("normal") << int(Qt::WindowNoState) << "1";
        QTest::newRow("minimized") << int(Qt::WindowMinimized) << "2";
        QTest::newRow("maximized") << int(Qt::WindowMaximized) << "3";
    }
    void closeWritesTheWindowState() {
        QFETCH(int, state);
        QFETCH(QString, written);
        TempDir folder;
        {
            WindowUnderTest w(folder.path());
            w.Show();
            w->setWindowState(Qt::WindowState(state));
            QVERIFY(w->close());
        }
        QCOMPARE(ValueOf(ReadAll(folder.path() / "vintrop.ini"), "INI/WinStatusMain"), written);
        // The next start opens in that state.
        WindowUnderTest again(folder.path());
        QCOMPARE(int(again->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)), state);
    }

    void settingsAreReadOnceAndWrittenOnce() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->FormActivate();
        QVERIFY(!fs::exists(folder.path() / "vintrop.ini"));
        QVERIFY(w->close());
        QVERIFY(fs::exists(folder.path() / "vintrop.ini"));
    }

    void unwritableSettingsFileIsReportedAndTheWindowStillCloses() {
        TempDir folder;
        fs::create_directories(folder.path() / "vintrop.ini");  // a folder in the file's place
        WindowUnderTest w(folder.path());
        w.Show();
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(w.Messages->Shown.size(), 1);
        QVERIFY(w.Messages->Shown.first().startsWith("Unable to write to "));
        QVERIFY(w.Messages->Shown.first().contains("vintrop.ini"));
    }

    void decimalSeparatorOnActivation_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("edit1");
        QTest::addColumn<QString>("example1");
        QTest::addColumn<QString>("example2");
        QTest::newRow("point") << '.' << "8.2"
                               << "for example 7.2\n"
                               << "For example 38 or 1.6\n";
        QTest::newRow("comma") << ',' << "8,2"
                               << "for example 7,2\n"
                               << "For example 38 or 1,6\n";
    }
    void decimalSeparatorOnActivation() {
        QFETCH(char, separator);
        QFETCH(QString, edit1);
        QFETCH(QString, example1);
        QFETCH(QString, example2);
        TempDir folder;
        WindowUnderTest w(folder.path(), separator);
        w.Show();
        w->FormActivate();
        QCOMPARE(w.Edit("Edit1")->text(), edit1);
        QVERIFY2(w.Edit("Edit1")->toolTip().contains(example1), qPrintable(w.Edit("Edit1")->toolTip()));
        QVERIFY(w.Edit("Edit1")->toolTip().startsWith("Enter lens length of the digital camera, for example 7"));
        QVERIFY(w.Edit("Edit1")->toolTip().endsWith("See the f number on the lens or documentation of the camera."));
        QVERIFY2(w.Edit("Edit2")->toolTip().contains(example2), qPrintable(w.Edit("Edit2")->toolTip()));
        QVERIFY(w.Edit("Edit2")->toolTip().endsWith("6\nSee the documentation of the camera."));
    }

    void activationDisablesStartWithoutAFolder() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const fs::path gone = folder.path() / "gone";
        fs::create_directories(gone);
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(gone.string())));
        QVERIFY(w.Button("StartAnalyzing")->isEnabled());
        fs::remove(gone);
        w->FormActivate();
        QVERIFY(!w.Button("StartAnalyzing")->isEnabled());
    }

    // A folder deleted while selected leaves no folder selected: Start must not analyse the
    // neighbour the view would make current.
    void aDeletedSelectionLeavesNoFolderSelected() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        for (const char* name : {"a", "b", "c"}) fs::create_directories(folder.path() / "tree" / name);
        const fs::path chosen = folder.path() / "tree" / "b";
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(chosen.string())));
        QTRY_VERIFY(w.Button("StartAnalyzing")->isEnabled());
        fs::remove(chosen);
        QTRY_VERIFY_WITH_TIMEOUT(w->SelectedFolder().isEmpty(), 10000);
        QVERIFY(!w.Button("StartAnalyzing")->isEnabled());
        QCOMPARE(w.StatusBar()->currentMessage(), QString("No folder selected."));
    }

    // Once the user clicks in the tree, folders loading below it do not scroll it: the next
    // click lands where the user aims.
    void theTreeStaysStillUnderTheMouse() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const fs::path tree = folder.path() / "tree";
        for (int i = 10; i < 90; ++i) fs::create_directories(tree / ("f" + std::to_string(i)) / "inner");
        QTreeView* view = w.Tree();
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString((tree / "f50").string())));
        const QModelIndex parent = view->currentIndex().parent();
        QTRY_COMPARE(view->model()->rowCount(parent), 80);
        QTest::qWait(300);  // the listing sorts and the view follows the selected folder
        // The first whole row of the list in view, away from the centre it would be brought to.
        QModelIndex aimed;
        for (int row = 0; row < 80 && !aimed.isValid(); ++row) {
            const QModelIndex index = view->model()->index(row, 0, parent);
            if (view->visualRect(index).top() >= 0) aimed = index;
        }
        QVERIFY(aimed.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(aimed).center());
        QCOMPARE(view->currentIndex(), aimed);
        const int scrolled = view->verticalScrollBar()->value();
        QSignalSpy loaded(view->model(), SIGNAL(directoryLoaded(QString)));
        view->expand(aimed);
        QTRY_VERIFY(!loaded.isEmpty());
        QTest::qWait(300);  // the queued reactions to the new rows
        QCOMPARE(view->verticalScrollBar()->value(), scrolled);
    }

    void helpOpensTheProgramsPage() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Tool("LbSpeedButton9")->click();
        QCOMPARE(int(w.Opened.size()), 1);
        QVERIFY(w.Opened.back().isLocalFile());
        QVERIFY(w.Opened.back().toLocalFile().endsWith("/index.html"));
        QVERIFY(QFileInfo::exists(w.Opened.back().toLocalFile()));
    }

    void f1OpensHelpFromAnyControl() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->activateWindow();
        w.Edit("EditMake")->setFocus();
        QTest::keyClick(w.Edit("EditMake"), Qt::Key_F1);
        QCOMPARE(int(w.Opened.size()), 1);
        QVERIFY(w.Opened.back().toLocalFile().endsWith("/index.html"));
        QVERIFY(w.Edit("EditMake")->text().isEmpty());
    }

    void cameraTableTopicHasItsOwnPage() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->OpenHelpTopic(3);
        QCOMPARE(int(w.Opened.size()), 1);
        QVERIFY(w.Opened.back().toLocalFile().endsWith("/camera-table.html"));
    }

    void aPageNoBrowserCanShowOpensInside_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("page");
        QTest::newRow("help") << "LbSpeedButton9"
                              << "index.html";
        QTest::newRow("home page link") << "Label7"
                                        << "home.html";
        QTest::newRow("donate link") << "Label14"
                                     << "support.html";
    }
    void aPageNoBrowserCanShowOpensInside() {
        QFETCH(QString, control);
        QFETCH(QString, page);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.UrlOpens = false;  // a desktop without a browser
        w.Show();
        QTest::mouseClick(w.Widget(qPrintable(control)), Qt::LeftButton);
        QCOMPARE(int(w.Opened.size()), 1);
        QVERIFY(w.Messages->Shown.isEmpty());
        auto* browser = w->findChild<QTextBrowser*>("HelpText");
        QVERIFY(browser != nullptr);
        QVERIFY(browser->window()->isVisible());
        QCOMPARE(browser->source(), w.Opened[0]);
        QVERIFY(w.Opened[0].toLocalFile().endsWith(page));
        QVERIFY(!browser->toPlainText().isEmpty());
    }

    void aShortMessageLeavesRoomForItsTitle() {
        const QString name = QApplication::applicationName();
        QApplication::setApplicationName("Quorvela");
        QWidget parent;
        MessageBoxSink sink(&parent);
        int width = 0;
        int needed = 0;
        QTimer watch;
        // Measures the box once it shows, then closes it.
        connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (box == nullptr || !box->isVisible()) continue;
                QFont bold = box->font();
                bold.setBold(true);
                // The title beside the window's icon and its three buttons, squares of the bar's height.
                needed = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) +
                         4 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
                width = box->width();
                box->done(QMessageBox::Ok);
            }
        });
        watch.start(10);
        sink.ShowMessage("Done.");
        QApplication::setApplicationName(name);
        QVERIFY(needed > 0);
        QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
    }

    void linkLabelsOpenTheirPages() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTest::mouseClick(w.Label("Label7"), Qt::LeftButton);
        QTest::mouseClick(w.Label("Label14"), Qt::LeftButton);
        QCOMPARE(int(w.Opened.size()), 2);
        QVERIFY(w.Opened[0].toLocalFile().endsWith("/home.html"));
        QVERIFY(w.Opened[1].toLocalFile().endsWith("/support.html"));
        QCOMPARE(w.Label("Label7")->toolTip(), QString("Click here to visit the site"));
        QCOMPARE(w.Label("Label14")->text(), QString("Please Donate"));
    }
};

QTEST_MAIN(LifecycleTest)
#include "lifecycle_test.moc"
