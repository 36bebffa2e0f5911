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

Q_DECLARE_METATYPE(std::function<void(TAnalyseLength&)>)

namespace {

using Change = std::function<void(TAnalyseLength&)>;

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
        w->LbSetforRealLength->setChecked(true);
        w->PageControl1->setCurrentWidget(w->TabSheet3);  // the user picks "ISO"
        QCOMPARE(w->StatusPanel->text(), QString("Real lens length"));
        QTest::mouseDClick(w->StatusPanel, Qt::LeftButton);
        QCOMPARE(w->StatusPanel->text(), QString("Calculate 35mm"));
        QVERIFY(w->Ch_AlwaysCalc->isChecked());
        QVERIFY(!w->LbSetforRealLength->isChecked());
        QVERIFY(!w->MMPanel->isHidden());
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet2);
        for (int i = 0; i < 4; ++i) QVERIFY(w.OwnTab(i)->isAncestorOf(w.Chart(i)));
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void threeDoubleClicksComeBack() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const QString start = w->StatusPanel->text();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseDClick(w->StatusPanel, Qt::LeftButton);
            seen << w->StatusPanel->text();
        }
        QCOMPARE(seen, (QStringList{"Real lens length", "Calculate 35mm", "35mm equivalent"}));
        QCOMPARE(w->StatusPanel->text(), start);
    }

    void theEightControlsAskForAnalysis_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("Include subfolders") << Change([](TAnalyseLength& w) { w.ChB_Subs->click(); });
        QTest::newRow("Always calculate") << Change([](TAnalyseLength& w) { w.Ch_AlwaysCalc->click(); });
        QTest::newRow("1/100 format") << Change([](TAnalyseLength& w) { w.ChB_Raw->click(); });
        QTest::newRow("path list quantity")
            << Change([](TAnalyseLength& w) { w.RadioGroup1Buttons->button(2)->click(); });
        QTest::newRow("steps") << Change([](TAnalyseLength& w) { w.SpinEdit1->stepUp(); });
        QTest::newRow("ignore") << Change([](TAnalyseLength& w) { w.SpinEdit2->stepDown(); });
        QTest::newRow("make") << Change([](TAnalyseLength& w) { QTest::keyClicks(w.EditMake, "Ca"); });
        QTest::newRow("model") << Change([](TAnalyseLength& w) { QTest::keyClicks(w.EditModel, "G2"); });
    }
    void theEightControlsAskForAnalysis() {
        QFETCH(Change, change);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        const QString caption = w->StatusPanel->text();
        change(*w);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        if (QTest::currentDataTag() != QString("Always calculate")) QCOMPARE(w->StatusPanel->text(), caption);
    }

    void displayOptionsLeaveTheIndicator_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("maker-note label") << Change([](TAnalyseLength& w) { QTest::keyClicks(w.MN_name_Edit, "Qu"); });
        QTest::newRow("maker-note data") << Change([](TAnalyseLength& w) { QTest::keyClicks(w.MN_Data_Edit, "Fi"); });
        QTest::newRow("maker notes in the list") << Change([](TAnalyseLength& w) { w.CB_MakerNote->click(); });
        QTest::newRow("statistics") << Change([](TAnalyseLength& w) { w.ComboBoxValue->setCurrentIndex(3); });
        QTest::newRow("3D") << Change([](TAnalyseLength& w) { w.ChB3D->click(); });
        QTest::newRow("points per page") << Change([](TAnalyseLength& w) { w.SpinEdit3->stepUp(); });
    }
    void displayOptionsLeaveTheIndicator() {
        QFETCH(Change, change);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        change(*w);
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
        for (QLineEdit* edit : {w->Edit1, w->Edit2}) {
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
        const QString before = w->Edit1->text();
        QTest::keyClick(w->Edit1, ',');
        QCOMPARE(w->Edit1->text(), before);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void manualFactorFieldsHoldFiveCharacters() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->Edit2->clear();
        QTest::keyClicks(w->Edit2, "1234567");
        QCOMPARE(w->Edit2->text(), QString("12345"));
    }

    void treeSelectionDecidesTheStartButton() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        w->ShellTreeView1->setCurrentIndex({});  // an item with no folder
        QVERIFY(!w->StartAnalyzing->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorCurrent);
        const fs::path other = folder.path() / "other";
        fs::create_directories(other);
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(other.string())));
        QVERIFY(w->StartAnalyzing->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
    }

    void untickingUseStepsDisablesTheStepBox() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        MakeCurrent(w, folder.path());
        const QString caption = w->StatusPanel->text();
        w->ChBoxSteps->click();
        QVERIFY(!w->SpinEdit1->isEnabled());
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        QCOMPARE(w->StatusPanel->text(), caption);
        w->ChBoxSteps->click();
        QVERIFY(w->SpinEdit1->isEnabled());
    }

    void filterPanelTakesItsHeightFromTheTabs() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w->resize(855, 571);
        w.Show();
        QTRY_VERIFY(w->PanelOverview->height() > 200);
        const int tabs = w->PageControl1->height();
        w->Cb_Custom->click();
        QVERIFY(!w->PanelMakeModel->isHidden());
        QCOMPARE(w->PanelMakeModel->height(), 95);
        QCOMPARE(w->PanelMakeModel->palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(w->PageControl1->height(), tabs - 95);
        // The overview grid follows the smaller panel.
        QCOMPARE(w.Chart(2)->geometry().top(), w->PanelOverview->height() / 2);
        QCOMPARE(w.Chart(0)->height(), w->PanelOverview->height() / 2);
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        w->Cb_Custom->click();
        QVERIFY(w->PanelMakeModel->isHidden());
        QCOMPARE(w->PageControl1->height(), tabs);
    }

    void escWithoutARunOnlySetsTheStopFlag() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(folder.path().string())));
        QVERIFY(!w->StopRequested());
        w->EditModel->setFocus();
        QTest::keyClick(w->EditModel, Qt::Key_Escape);
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
        MoveMouseOver(w->Panel3);
        QCOMPARE(w->StatusBar1->currentMessage(), QString());  // no run yet
        MakeCurrent(w, folder.path());
        w->StatusBar1->clearMessage();
        for (QWidget* panel :
             {static_cast<QWidget*>(w->Panel3), static_cast<QWidget*>(w->Panel11), static_cast<QWidget*>(w->Panel5),
              static_cast<QWidget*>(w->Panel10), static_cast<QWidget*>(w->Panel12)}) {
            w->StatusBar1->clearMessage();
            MoveMouseOver(panel);
            QCOMPARE(w->StatusBar1->currentMessage(), QString("Files analyzed: 0 out of total: 0"));
        }
        // A chart shows the zoom help instead.
        MoveMouseOver(w.Chart(1));
        QCOMPARE(w->StatusBar1->currentMessage(),
                 QString("Left mouse drag (Up/Down) = zoom. Right mouse drag = pan. Invert Zoom rectangle = reset."));
    }

    void startingHintsAndCaptions() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        QCOMPARE(w->StartAnalyzing->text(), QString("Start analyzing"));
        QCOMPARE(w->StartAnalyzing->toolTip(), QString("Select any folder with jpg files on the left to analyse"));
        QCOMPARE(w->StopAnalyzing->text(), QString("Stop"));
        QVERIFY(w->StopAnalyzing->isHidden());
        QCOMPARE(w->StatusPanel->toolTip(), QString("If the background is red, you need to (re)analyse"));
        QCOMPARE(w->Cb_Custom->toolTip(), QString("Select to filter for camera make and/or model"));
        QCOMPARE(w->ShellTreeView1->toolTip(), QString("Select a folder with JPG files to analyse"));
        QCOMPARE(w->SpinEdit3->toolTip(),
                 QString("Stretch horizontaly, set max. points for the charts, default 0 is off"));
        QCOMPARE(w->LbSpeedButton9->toolTip(), QString("Help"));
        QStringList tabs;
        for (int i = 0; i < w->PageControl1->count(); ++i) tabs << w->PageControl1->tabText(i);
        QCOMPARE(tabs, (QStringList{"Overview", "Lens Length", "ISO", "Aperture", "Shutter Speed", "Path list + Image",
                                    "Equivalent list"}));
        QCOMPARE(w->Panel3->height(), 50);
        QCOMPARE(w->Panel11->height(), 26);
        QCOMPARE(w->Panel5->height(), 56);
        QCOMPARE(w->Panel7->width(), 220);
        QCOMPARE(w->Label20->text(), QString("Click on a line to show image!"));
    }
};

QTEST_MAIN(StatesTest)
#include "states_test.moc"
