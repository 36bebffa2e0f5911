// The rules by which the window's controls change together, driven through the window.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <functional>

#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(std::function<void(quorvela::ui::testing::WindowUnderTest&)>)

namespace {

using Change = std::function<void(WindowUnderTest&)>;

// A window whose indicator shows "charts current": a run over an empty folder ends unstopped.
void MakeCurrent(WindowUnderTest& w, const fs::path& folder) {
    QTRY_VERIFY(w->SelectFolder(QString::fromStdString(folder.string())));
    QVERIFY(w.RunAndWait());
    QCOMPARE(w->StatusPanelLook(), kIndicatorCurrent);
}

void MoveMouseOver(QWidget* widget) {
    const QPointF at(2, 2);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

class StatesTest : public QObject {
    Q_OBJECT

  private slots:
    void doubleClickOnTheIsoTabCyclesAndShowsLensLength() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Tool("LbSetforRealLength")->setChecked(true);
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet3"));  // the user picks "ISO"
        QCOMPARE(w.Label("StatusPanel")->text(), QString("Real lens length"));
        QTest::mouseDClick(w.Label("StatusPanel"), Qt::LeftButton);
        QCOMPARE(w.Label("StatusPanel")->text(), QString("Calculate 35mm"));
        QVERIFY(w.Check("Ch_AlwaysCalc")->isChecked());
        QVERIFY(!w.Tool("LbSetforRealLength")->isChecked());
        QVERIFY(!w.Widget("MMPanel")->isHidden());
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet2"));
        for (int i = 0; i < 4; ++i) QVERIFY(w.OwnTab(i)->isAncestorOf(w.Chart(i)));
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void threeDoubleClicksComeBack() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const QString start = w.Label("StatusPanel")->text();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseDClick(w.Label("StatusPanel"), Qt::LeftButton);
            seen << w.Label("StatusPanel")->text();
        }
        QCOMPARE(seen, (QStringList{"Real lens length", "Calculate 35mm", "35mm equivalent"}));
        QCOMPARE(w.Label("StatusPanel")->text(), start);
    }

    void theEightControlsAskForAnalysis_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("Include subfolders") << Change([](WindowUnderTest& w) { w.Check("ChB_Subs")->click(); });
        QTest::newRow("Include RAW and HEIF") << Change([](WindowUnderTest& w) { w.Check("IncludeRawHeif")->click(); });
        QTest::newRow("Always calculate") << Change([](WindowUnderTest& w) { w.Check("Ch_AlwaysCalc")->click(); });
        QTest::newRow("1/100 format") << Change([](WindowUnderTest& w) { w.Check("ChB_Raw")->click(); });
        QTest::newRow("path list quantity")
            << Change([](WindowUnderTest& w) { w.Find<QButtonGroup>("RadioGroup1Buttons")->button(2)->click(); });
        QTest::newRow("steps") << Change([](WindowUnderTest& w) { w.Spin("SpinEdit1")->stepUp(); });
        QTest::newRow("ignore") << Change([](WindowUnderTest& w) { w.Spin("SpinEdit2")->stepDown(); });
        QTest::newRow("make") << Change([](WindowUnderTest& w) { QTest::keyClicks(w.Edit("EditMake"), "Ca"); });
        QTest::newRow("model") << Change([](WindowUnderTest& w) { QTest::keyClicks(w.Edit("EditModel"), "G2"); });
    }
    void theEightControlsAskForAnalysis() {
        QFETCH(Change, change);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        const QString caption = w.Label("StatusPanel")->text();
        change(w);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        if (QTest::currentDataTag() != QString("Always calculate")) QCOMPARE(w.Label("StatusPanel")->text(), caption);
    }

    void displayOptionsLeaveTheIndicator_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("maker-note label")
            << Change([](WindowUnderTest& w) { QTest::keyClicks(w.Edit("MN_name_Edit"), "Qu"); });
        QTest::newRow("maker-note data") << Change(
            [](WindowUnderTest& w) { QTest::keyClicks(w.Edit("MN_Data_Edit"), "Fi"); });
        QTest::newRow("maker notes in the list")
            << Change([](WindowUnderTest& w) { w.Check("CB_MakerNote")->click(); });
        QTest::newRow("statistics") << Change([](WindowUnderTest& w) { w.Combo("ComboBoxValue")->setCurrentIndex(3); });
        QTest::newRow("3D") << Change([](WindowUnderTest& w) { w.Check("ChB3D")->click(); });
        QTest::newRow("points per page") << Change([](WindowUnderTest& w) { w.Spin("SpinEdit3")->stepUp(); });
    }
    void displayOptionsLeaveTheIndicator() {
        QFETCH(Change, change);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        change(w);
        QCOMPARE(w->StatusPanelLook(), kIndicatorCurrent);
    }

    void typedDecimalMarks_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma under point") << '.' << "7,5"
                                           << "75";
        QTest::newRow("point under point") << '.' << "7.5"
                                           << "7.5";
        QTest::newRow("point under comma") << ',' << "7.5"
                                           << "75";
        QTest::newRow("comma under comma") << ',' << "7,5"
                                           << "7,5";
    }
    void typedDecimalMarks() {
        QFETCH(char, separator);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TempDir folder;
        WindowUnderTest w(folder.path(), separator);
        w.Show();
        MakeCurrent(w, folder.path());
        for (QLineEdit* edit : {w.Edit("Edit1"), w.Edit("Edit2")}) {
            edit->clear();
            QTest::keyClicks(edit, typed);
            QCOMPARE(edit->text(), shown);
        }
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void droppedKeyStillAsksForAnalysis() {
        TempDir folder;
        WindowUnderTest w(folder.path(), '.');
        w.Show();
        MakeCurrent(w, folder.path());
        const QString before = w.Edit("Edit1")->text();
        QTest::keyClick(w.Edit("Edit1"), ',');
        QCOMPARE(w.Edit("Edit1")->text(), before);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void manualFactorFieldsHoldFiveCharacters() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Edit("Edit2")->clear();
        QTest::keyClicks(w.Edit("Edit2"), "1234567");
        QCOMPARE(w.Edit("Edit2")->text(), QString("12345"));
    }

    void treeSelectionDecidesTheStartButton() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        w.Tree()->setCurrentIndex({});  // an item with no folder
        QVERIFY(!w.Button("StartAnalyzing")->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorCurrent);
        const fs::path other = folder.path() / "other";
        fs::create_directories(other);
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(other.string())));
        QVERIFY(w.Button("StartAnalyzing")->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void untickingUseStepsDisablesTheStepBox() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        const QString caption = w.Label("StatusPanel")->text();
        w.Check("ChBoxSteps")->click();
        QVERIFY(!w.Spin("SpinEdit1")->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        QCOMPARE(w.Label("StatusPanel")->text(), caption);
        w.Check("ChBoxSteps")->click();
        QVERIFY(w.Spin("SpinEdit1")->isEnabled());
    }

    void filterPanelTakesItsHeightFromTheTabs() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w->resize(855, 571);
        w.Show();
        QTRY_VERIFY(w.Widget("PanelOverview")->height() > 200);
        const int tabs = w.Tabs()->height();
        w.Check("Cb_Custom")->click();
        QVERIFY(!w.Widget("PanelMakeModel")->isHidden());
        QCOMPARE(w.Widget("PanelMakeModel")->height(), 104);
        QCOMPARE(w.Widget("PanelMakeModel")->palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(w.Tabs()->height(), tabs - 104);
        // The overview grid follows the smaller panel.
        QCOMPARE(w.Chart(2)->geometry().top(), w.Widget("PanelOverview")->height() / 2);
        QCOMPARE(w.Chart(0)->height(), w.Widget("PanelOverview")->height() / 2);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        w.Check("Cb_Custom")->click();
        QVERIFY(w.Widget("PanelMakeModel")->isHidden());
        QCOMPARE(w.Tabs()->height(), tabs);
    }

    void escWithoutARunOnlySetsTheStopFlag() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(folder.path().string())));
        QVERIFY(!w->StopRequested());
        w.Edit("EditModel")->setFocus();
        QTest::keyClick(w.Edit("EditModel"), Qt::Key_Escape);
        QVERIFY(w->StopRequested());
        QVERIFY(!w->Running());
        QVERIFY(w.Messages->Shown.isEmpty());
        // The next run clears it and is not reported as interrupted.
        QVERIFY(w.RunAndWait());
        QVERIFY(!w->StopRequested());
        QCOMPARE(w.Messages->Shown, QStringList{"No jpeg files found."});
    }

    void panelsShowTheRunSummary() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MoveMouseOver(w.Widget("Panel3"));
        QCOMPARE(w.StatusBar()->currentMessage(), QString());  // no run yet
        MakeCurrent(w, folder.path());
        w.StatusBar()->clearMessage();
        for (QWidget* panel :
             {w.Widget("Panel3"), w.Widget("Panel11"), w.Widget("Panel5"), w.Widget("Panel10"), w.Widget("Panel12")}) {
            w.StatusBar()->clearMessage();
            MoveMouseOver(panel);
            QCOMPARE(w.StatusBar()->currentMessage(), QString("Files analyzed: 0 out of total: 0"));
        }
        // A chart shows the zoom help instead.
        MoveMouseOver(w.Chart(1));
        QCOMPARE(w.StatusBar()->currentMessage(),
                 QString("Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset."));
    }

    // Each setting that changes the charts, changed after a run: the status line says so beside
    // the red box. Before any run there are no charts to update.
    void aChangedSettingIsSaidInTheStatusLine_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("subfolders") << "ChB_Subs";
        QTest::newRow("RAW and HEIF") << "IncludeRawHeif";
        QTest::newRow("steps") << "ChBoxSteps";
        QTest::newRow("real length") << "LbSetforRealLength";
        QTest::newRow("filter") << "Cb_Custom";
    }
    void aChangedSettingIsSaidInTheStatusLine() {
        QFETCH(QString, change);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QUORVELA_BIN_DIR "/demo"));
        const QString changed = QString::fromUtf8("Settings changed \u2014 Start analyzing to update the charts");
        w.Find<QAbstractButton>(qPrintable(change))->click();
        QVERIFY(w.StatusBar()->currentMessage() != changed);
        QVERIFY(w.RunAndWait());
        const QString count = w.StatusBar()->currentMessage();
        QVERIFY(count != changed);
        // Coming back to the window, as after a message box, leaves the run's count in place.
        w->FormActivate();
        QCOMPARE(w.StatusBar()->currentMessage(), count);
        w.Find<QAbstractButton>(qPrintable(change))->click();
        QCOMPARE(w.StatusBar()->currentMessage(), changed);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void startingHintsAndCaptions() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        QCOMPARE(w.Button("StartAnalyzing")->text(), QString("Start analyzing"));
        QCOMPARE(w.Button("StartAnalyzing")->toolTip(), QString("Select a folder of photos on the left to analyse"));
        QCOMPARE(w.Button("StopAnalyzing")->text(), QString("Stop"));
        QVERIFY(w.Button("StopAnalyzing")->isHidden());
        QCOMPARE(w.Label("StatusPanel")->toolTip(), QString("If the background is red, you need to (re)analyse"));
        QCOMPARE(w.Check("Cb_Custom")->toolTip(), QString("Select to filter for camera make and/or model"));
        QCOMPARE(w.Tree()->toolTip(), QString("Select a folder of photos to analyse"));
        QCOMPARE(w.Spin("SpinEdit3")->toolTip(),
                 QString("Stretch horizontally: the most points a chart shows at once; 0 shows them all"));
        QCOMPARE(w.Tool("LbSpeedButton9")->toolTip(), QString("Help"));
        QStringList tabs;
        for (int i = 0; i < w.Tabs()->count(); ++i) tabs << w.Tabs()->tabText(i);
        QCOMPARE(tabs, (QStringList{"Overview", "Lens Length", "ISO", "Aperture", "Shutter Speed", "Lens", "Rating",
                                    "Path list + Image", "Equivalent list"}));
        QCOMPARE(w.Widget("Panel3")->height(), 50);
        QCOMPARE(w.Widget("Panel11")->height(), 26);
        QCOMPARE(w.Widget("Panel5")->height(), 56);
        QCOMPARE(w.Widget("Panel7")->width(), 220);
        QCOMPARE(w.Label("Label20")->text(), QString("Click on a line to show image!"));
    }
};

QTEST_MAIN(StatesTest)
#include "states_test.moc"
