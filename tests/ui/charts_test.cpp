// The four usage charts in the window: placement, statistics marks, 3D, points per page, the
// reset buttons and saving a chart.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QMouseEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "charts/chart_set.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
using quorvela::charts::MarkStyle;
using quorvela::charts::TChart;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(MarkStyle)

namespace {

void FillSeries(TAnalyseLength& w) {
    int k = 0;
    for (auto* series : w.Series()) {
        series->Clear();
        for (int i = 0; i < 12; ++i) series->Add(1 + (i * 7 + k) % 9, "v" + std::to_string(i));
        ++k;
    }
}

bool OnOverview(TAnalyseLength& w) {
    for (TChart* chart : w.Charts()) {
        if (chart->parentWidget() != w.TabSheet1) return false;
    }
    return true;
}

bool OnOwnTabs(TAnalyseLength& w) {
    for (int i = 0; i < 4; ++i) {
        if (!w.OwnTab(i)->isAncestorOf(w.Charts()[std::size_t(i)])) return false;
    }
    return true;
}

void RightDrag(QWidget* w, QPoint from, QPoint to) {
    const auto send = [w](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, from);
    send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, (from + to) / 2);
    send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, to);
    send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, to);
}

}  // namespace

class ChartsTest : public QObject {
    Q_OBJECT

  private slots:
    void gridCoversTheOverviewPanel() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QVERIFY(OnOverview(*w));
        w->PanelOverview->resize(641, 313);
        w->FormResize();
        QCOMPARE(w->Chart5->geometry(), QRect(0, 0, 320, 156));
        QCOMPARE(w->Chart6->geometry(), QRect(320, 0, 320, 156));
        QCOMPARE(w->Chart7->geometry(), QRect(0, 156, 320, 156));
        QCOMPARE(w->Chart8->geometry(), QRect(320, 156, 320, 156));
    }

    void windowResizeRelaysTheGrid() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w.Show();
        w->resize(1000, 700);
        QTRY_COMPARE(w->Chart8->geometry().bottomRight(),
                     QPoint(w->PanelOverview->width() / 2 * 2 - 1, w->PanelOverview->height() / 2 * 2 - 1));
    }

    void doubleClickMovesBetweenOverviewAndOwnTab() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTest::mouseDClick(w->Chart6, Qt::LeftButton, {}, w->Chart6->rect().center());
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet3);
        QVERIFY(OnOwnTabs(*w));
        for (TChart* chart : w->Charts()) QVERIFY(!chart->AllowZoom());
        QTest::mouseDClick(w->Chart6, Qt::LeftButton, {}, w->Chart6->rect().center());
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet1);
        QVERIFY(OnOverview(*w));
    }

    void focalChartOnItsTabReturnsToTheOverview() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->PageControl1->setCurrentWidget(w->TabSheet7);
        QVERIFY(OnOwnTabs(*w));
        w->PageControl1->setCurrentWidget(w->TabSheet2);
        w->ChartDblClick(0);
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet1);
        QVERIFY(OnOverview(*w));
    }

    void choosingATabRedistributes_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("overview");
        for (int i = 0; i < 7; ++i) QTest::addRow("tab %d", i) << i << (i == 0);
    }
    void choosingATabRedistributes() {
        QFETCH(int, tab);
        QFETCH(bool, overview);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->PageControl1->setCurrentIndex(tab == 0 ? 5 : 0);
        w->PageControl1->setCurrentIndex(tab);
        QCOMPARE(OnOverview(*w), overview);
        QCOMPARE(OnOwnTabs(*w), !overview);
    }

    void treeKeepsItsMinimumWidth() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w.Show();
        w->Splitter1->setSizes({20, w->Splitter1->width() - 20});
        w->Splitter1Moved();
        QCOMPARE(w->Panel2->width(), 35);
    }

    void statisticsModes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<MarkStyle>("style");
        QTest::newRow("Plotted values") << 1 << true << MarkStyle::Label;
        QTest::newRow("Times used") << 2 << true << MarkStyle::Value;
        QTest::newRow("Percent used") << 3 << true << MarkStyle::Percent;
        QTest::newRow("Percent and total") << 4 << true << MarkStyle::PercentTotal;
        QTest::newRow("Show all statistics") << 5 << true << MarkStyle::LabelPercentTotal;
    }
    void statisticsModes() {
        QFETCH(int, index);
        QFETCH(bool, visible);
        QFETCH(MarkStyle, style);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->ComboBoxValue->setCurrentIndex(index);
        for (auto* series : w->Series()) {
            QCOMPARE(series->Marks().Visible, visible);
            QCOMPARE(series->Marks().Style, style);
        }
        // "Statistics off" hides the marks and keeps their style.
        w->ComboBoxValue->setCurrentIndex(0);
        for (auto* series : w->Series()) {
            QVERIFY(!series->Marks().Visible);
            QCOMPARE(series->Marks().Style, style);
        }
        w->ComboBoxValue->setCurrentIndex(index);
        for (auto* series : w->Series()) QVERIFY(series->Marks().Visible);
    }

    void plottedValuesShowTheCategoryOnEveryChart() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(*w);
        w->ComboBoxValue->setCurrentIndex(1);
        for (auto* series : w->Series()) QCOMPARE(series->MarkTextOf(3, {}), std::string("v3"));
    }

    void threeDOnEveryChart() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->ChB3D->click();
        for (TChart* chart : w->Charts()) QVERIFY(chart->View3D());
        w->ChB3D->click();
        for (TChart* chart : w->Charts()) QVERIFY(!chart->View3D());
    }

    void pointsPerPageWrapsAndUndoesZooms() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(*w);
        QVERIFY(w->Chart6->ZoomRect(QRect(QPoint(60, 30), QPoint(200, 120))));
        QVERIFY(w->Chart6->Zoomed());
        w->SpinEdit3->stepDown();
        QCOMPARE(w->SpinEdit3->value(), 100);
        for (TChart* chart : w->Charts()) {
            QCOMPARE(chart->MaxPointsPerPage(), 100);
            QVERIFY(!chart->Zoomed());
        }
        w->SpinEdit3->stepUp();
        QCOMPARE(w->SpinEdit3->value(), 0);
        for (TChart* chart : w->Charts()) QCOMPARE(chart->MaxPointsPerPage(), 0);
        w->SpinEdit3->stepUp();
        QCOMPARE(w->SpinEdit3->value(), 10);
        for (TChart* chart : w->Charts()) QCOMPARE(chart->MaxPointsPerPage(), 10);
    }

    void zoomEnablesTheResetButtons() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(*w);
        QVERIFY(!w->LbSpeedButton8->isEnabled());
        QVERIFY(w->Chart6->ZoomRect(QRect(QPoint(60, 30), QPoint(200, 120))));
        QVERIFY(w->LbSpeedButton8->isEnabled());
        QVERIFY(w->FitButtons[1]->isEnabled());
        QVERIFY(!w->FitButtons[0]->isEnabled());
        w->LbSpeedButton8->click();
        for (TChart* chart : w->Charts()) QVERIFY(!chart->Zoomed());
        QVERIFY(!w->LbSpeedButton8->isEnabled());
        QVERIFY(!w->FitButtons[1]->isEnabled());
    }

    void panEnablesFitGraph() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(*w);
        w->SpinEdit3->setValue(30);  // pages of fewer points than the series has: room to pan
        w->SpinEdit3->setValue(0);
        w->ChartDblClick(2);  // the aperture chart on its own tab
        TChart* chart = w->Chart7;
        w->Chart1MouseMove();
        QTRY_VERIFY(chart->width() > 200);
        QVERIFY(w->Chart7->ZoomRect(QRect(QPoint(chart->width() / 4, 40), QPoint(chart->width() / 2, 150))));
        w->FitButtons[2]->click();
        QVERIFY(!w->FitButtons[2]->isEnabled());
        QVERIFY(!chart->Zoomed());
        RightDrag(chart, QPoint(chart->width() / 2, 100), QPoint(chart->width() / 2 - 120, 100));
        QVERIFY(chart->View().UserRanges());
        QVERIFY(w->FitButtons[2]->isEnabled());
        QVERIFY(w->LbSpeedButton8->isEnabled());
        w->FitButtons[2]->click();
        QVERIFY(!chart->View().UserRanges());
        QVERIFY(!w->FitButtons[2]->isEnabled());
    }

    void mouseOverAChartAllowsZoom() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->ChartDblClick(1);
        for (TChart* chart : w->Charts()) QVERIFY(!chart->AllowZoom());
        const QPointF at(20, 20);
        QMouseEvent move(QEvent::MouseMove, at, w->Chart6->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->Chart6, &move);
        for (TChart* chart : w->Charts()) QVERIFY(chart->AllowZoom());
    }

    void saveOffersTheChartsFileName_data() {
        QTest::addColumn<int>("chart");
        QTest::addColumn<QString>("name");
        QTest::newRow("focal length") << 0 << "Focal_length_graph.bmp";
        QTest::newRow("ISO") << 1 << "ISO_graph.bmp";
        QTest::newRow("aperture") << 2 << "Aperture_graph.bmp";
        QTest::newRow("shutter") << 3 << "Shutter_graph.bmp";
    }
    void saveOffersTheChartsFileName() {
        QFETCH(int, chart);
        QFETCH(QString, name);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(*w);
        w->ChartDblClick(chart);
        // Cancelled: nothing is written.
        w->SaveGraphClick(chart);
        QCOMPARE(w.AskedNames, QStringList{name});
        QCOMPARE(w.AskedFilters, QStringList{"file(*.bmp);;All (*)"});
        const fs::path target = folder.path() / name.toStdString();
        QVERIFY(!fs::exists(target));
        // Confirmed: a BMP of the chart as shown.
        w.SaveAnswer = QString::fromStdString(target.string());
        w->SaveGraphClick(chart);
        const std::string bytes = ReadAll(target);
        QVERIFY(bytes.size() > 54);
        QCOMPARE(bytes.substr(0, 2), std::string("BM"));
    }

    void unwritableChartFileIsSkippedSilently() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.SaveAnswer = QString::fromStdString((folder.path() / "no-such-folder" / "x.bmp").string());
        w->SaveGraphClick(1);
        QVERIFY(w.Messages->Shown.isEmpty());
        QVERIFY(!fs::exists(folder.path() / "no-such-folder"));
    }

    void saveButtonsWaitForTheFirstRun() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        for (QToolButton* button : w->SaveButtons) {
            QVERIFY(!button->isEnabled());
            QCOMPARE(button->toolTip(), QString("Save graph as bmp"));
        }
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(folder.path().string())));
        QVERIFY(w.RunAndWait());
        for (QToolButton* button : w->SaveButtons) QVERIFY(button->isEnabled());
    }
};

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
