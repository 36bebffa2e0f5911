// The four usage charts in the window: placement, statistics marks, 3D, points per page, the
// reset buttons and saving a chart.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QMouseEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
using quorvela::charts::ChartSet;
namespace fs = std::filesystem;

namespace {

void FillSeries(WindowUnderTest& w) {
    ChartSet& charts = w.Charts();
    for (int k = 0; k < 4; ++k) {
        charts.Clear(ChartAt(k));
        for (int i = 0; i < 12; ++i) charts.AddPoint(ChartAt(k), "v" + std::to_string(i), 1 + (i * 7 + k) % 9);
    }
}

bool OnOverview(WindowUnderTest& w) {
    for (int i = 0; i < 4; ++i) {
        if (w.Chart(i)->parentWidget() != w.Widget("TabSheet1")) return false;
    }
    return true;
}

bool OnOwnTabs(WindowUnderTest& w) {
    for (int i = 0; i < 4; ++i) {
        if (!w.OwnTab(i)->isAncestorOf(w.Chart(i))) return false;
    }
    return true;
}

void Drag(QWidget* w, Qt::MouseButton held, QPoint from, QPoint to) {
    const auto send = [w](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at) {
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, held, held, from);
    send(QEvent::MouseMove, Qt::NoButton, held, (from + to) / 2);
    send(QEvent::MouseMove, Qt::NoButton, held, to);
    send(QEvent::MouseButtonRelease, held, Qt::NoButton, to);
}

void RightDrag(QWidget* w, QPoint from, QPoint to) {
    Drag(w, Qt::RightButton, from, to);
}

}  // namespace

class ChartsTest : public QObject {
    Q_OBJECT

  private slots:
    void gridCoversTheOverviewPanel() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QVERIFY(OnOverview(w));
        w.Widget("PanelOverview")->resize(641, 313);
        w->FormResize();
        QCOMPARE(w.Chart(0)->geometry(), QRect(0, 0, 320, 156));
        QCOMPARE(w.Chart(1)->geometry(), QRect(320, 0, 320, 156));
        QCOMPARE(w.Chart(2)->geometry(), QRect(0, 156, 320, 156));
        QCOMPARE(w.Chart(3)->geometry(), QRect(320, 156, 320, 156));
    }

    void windowResizeRelaysTheGrid() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w.Show();
        w->resize(1000, 700);
        QWidget* overview = w.Widget("PanelOverview");
        QTRY_COMPARE(w.Chart(3)->geometry().bottomRight(),
                     QPoint(overview->width() / 2 * 2 - 1, overview->height() / 2 * 2 - 1));
    }

    void doubleClickMovesBetweenOverviewAndOwnTab() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTest::mouseDClick(w.Chart(1), Qt::LeftButton, {}, w.Chart(1)->rect().center());
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet3"));
        QVERIFY(OnOwnTabs(w));
        for (int i = 0; i < 4; ++i) QVERIFY(!w.Charts().ShownBy(ChartAt(i)).ZoomAllowed);
        QTest::mouseDClick(w.Chart(1), Qt::LeftButton, {}, w.Chart(1)->rect().center());
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet1"));
        QVERIFY(OnOverview(w));
    }

    void focalChartOnItsTabReturnsToTheOverview() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet7"));
        QVERIFY(OnOwnTabs(w));
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet2"));
        w->ChartDblClick(ChartAt(0));
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet1"));
        QVERIFY(OnOverview(w));
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
        w.Tabs()->setCurrentIndex(tab == 0 ? 5 : 0);
        w.Tabs()->setCurrentIndex(tab);
        QCOMPARE(OnOverview(w), overview);
        QCOMPARE(OnOwnTabs(w), !overview);
    }

    void treeKeepsItsMinimumWidth() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w.Show();
        w.Splitter()->setSizes({20, w.Splitter()->width() - 20});
        w->Splitter1Moved();
        QCOMPARE(w.Widget("Panel2")->width(), 35);
    }

    void statisticsModes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("style");
        QTest::newRow("Plotted values") << 1 << true << "Label";
        QTest::newRow("Times used") << 2 << true << "Value";
        QTest::newRow("Percent used") << 3 << true << "Percent";
        QTest::newRow("Percent and total") << 4 << true << "PercentTotal";
        QTest::newRow("Show all statistics") << 5 << true << "LabelPercentTotal";
    }
    void statisticsModes() {
        QFETCH(int, index);
        QFETCH(bool, visible);
        QFETCH(QString, style);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Combo("ComboBoxValue")->setCurrentIndex(index);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.Charts().ShownBy(ChartAt(i)).MarksVisible, visible);
            QCOMPARE(QString::fromStdString(w.Charts().ShownBy(ChartAt(i)).MarksStyle), style);
        }
        // "Statistics off" hides the marks and keeps their style.
        w.Combo("ComboBoxValue")->setCurrentIndex(0);
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!w.Charts().ShownBy(ChartAt(i)).MarksVisible);
            QCOMPARE(QString::fromStdString(w.Charts().ShownBy(ChartAt(i)).MarksStyle), style);
        }
        w.Combo("ComboBoxValue")->setCurrentIndex(index);
        for (int i = 0; i < 4; ++i) QVERIFY(w.Charts().ShownBy(ChartAt(i)).MarksVisible);
    }

    void plottedValuesShowTheCategoryOnEveryChart() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        w.Combo("ComboBoxValue")->setCurrentIndex(1);
        for (int i = 0; i < 4; ++i) QCOMPARE(w.Charts().MarkText(ChartAt(i), 3), std::string("v3"));
    }

    void threeDOnEveryChart() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Check("ChB3D")->click();
        for (int i = 0; i < 4; ++i) QVERIFY(w.Charts().ShownBy(ChartAt(i)).View3D);
        w.Check("ChB3D")->click();
        for (int i = 0; i < 4; ++i) QVERIFY(!w.Charts().ShownBy(ChartAt(i)).View3D);
    }

    void pointsPerPageWrapsAndUndoesZooms() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        ChartSet& charts = w.Charts();
        QSpinBox* perPage = w.Spin("SpinEdit3");
        QVERIFY(charts.ZoomTo(ChartAt(1), QRect(QPoint(60, 30), QPoint(200, 120))));
        QVERIFY(charts.View(ChartAt(1)).Zoomed);
        perPage->stepDown();
        QCOMPARE(perPage->value(), 100);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(charts.ShownBy(ChartAt(i)).PointsPerPage, 100);
            QVERIFY(!charts.View(ChartAt(i)).Zoomed);
        }
        perPage->stepUp();
        QCOMPARE(perPage->value(), 0);
        for (int i = 0; i < 4; ++i) QCOMPARE(charts.ShownBy(ChartAt(i)).PointsPerPage, 0);
        perPage->stepUp();
        QCOMPARE(perPage->value(), 10);
        for (int i = 0; i < 4; ++i) QCOMPARE(charts.ShownBy(ChartAt(i)).PointsPerPage, 10);
    }

    void zoomEnablesTheResetButtons() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        QToolButton* resetAll = w.Tool("LbSpeedButton8");
        QVERIFY(!resetAll->isEnabled());
        QVERIFY(w.Charts().ZoomTo(ChartAt(1), QRect(QPoint(60, 30), QPoint(200, 120))));
        QVERIFY(resetAll->isEnabled());
        QVERIFY(w.FitButton(1)->isEnabled());
        QVERIFY(!w.FitButton(0)->isEnabled());
        resetAll->click();
        for (int i = 0; i < 4; ++i) QVERIFY(!w.Charts().View(ChartAt(i)).Zoomed);
        QVERIFY(!resetAll->isEnabled());
        QVERIFY(!w.FitButton(1)->isEnabled());
    }

    void undoingTheOnlyZoomDisablesTheResetButtons_data() {
        QTest::addColumn<bool>("fitGraph");
        QTest::newRow("Fit graph") << true;
        QTest::newRow("inverted zoom rectangle") << false;
    }
    void undoingTheOnlyZoomDisablesTheResetButtons() {
        QFETCH(bool, fitGraph);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        ChartSet& charts = w.Charts();
        QVERIFY(charts.ZoomTo(ChartAt(1), QRect(QPoint(60, 30), QPoint(200, 120))));
        QVERIFY(w.FitButton(1)->isEnabled());
        if (fitGraph) {
            w.FitButton(1)->click();
        } else {
            w->Chart1MouseMove();
            Drag(w.Chart(1), Qt::LeftButton, QPoint(200, 120), QPoint(60, 30));
        }
        QVERIFY(!charts.View(ChartAt(1)).Zoomed);
        QVERIFY(!w.FitButton(1)->isEnabled());
        QVERIFY(!w.Tool("LbSpeedButton8")->isEnabled());
    }

    void saveDialogsOpenInTheAnalysedFolder_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folderChosen");
        QTest::newRow("chart, folder chosen") << "LbSpeedButton5"
                                              << "ISO_graph.png" << true;
        QTest::newRow("chart, no folder") << "LbSpeedButton5"
                                          << "ISO_graph.png" << false;
        QTest::newRow("path list, folder chosen") << "Lb_SaveRichedit"
                                                  << "value_path_list.txt" << true;
        QTest::newRow("path list, no folder") << "Lb_SaveRichedit"
                                              << "value_path_list.txt" << false;
    }
    void saveDialogsOpenInTheAnalysedFolder() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(bool, folderChosen);
        TempDir program;
        TempDir photos;
        WindowUnderTest w(program.path());
        w.Show();
        const QString folder = QString::fromStdString(photos.path().string());
        if (folderChosen) {
            QTRY_VERIFY(w->SelectFolder(folder));
        } else {
            w.Tree()->setCurrentIndex({});
        }
        QToolButton* save = w.Tool(qPrintable(button));
        save->setEnabled(true);  // as after a run
        save->click();
        const QString expected =
            folderChosen ? folder : QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QCOMPARE(w.AskedNames, QStringList{QDir(expected).filePath(name)});
    }

    void panEnablesFitGraph() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        w.Spin("SpinEdit3")->setValue(30);  // pages of fewer points than the series has: room to pan
        w.Spin("SpinEdit3")->setValue(0);
        w->ChartDblClick(ChartAt(2));  // the aperture chart on its own tab
        QWidget* chart = w.Chart(2);
        ChartSet& charts = w.Charts();
        w->Chart1MouseMove();
        QTRY_VERIFY(chart->width() > 200);
        QVERIFY(charts.ZoomTo(ChartAt(2), QRect(QPoint(chart->width() / 4, 40), QPoint(chart->width() / 2, 150))));
        w.FitButton(2)->click();
        QVERIFY(!w.FitButton(2)->isEnabled());
        QVERIFY(!charts.View(ChartAt(2)).Zoomed);
        RightDrag(chart, QPoint(chart->width() / 2, 100), QPoint(chart->width() / 2 - 120, 100));
        QVERIFY(charts.View(ChartAt(2)).UserRanges);
        QVERIFY(w.FitButton(2)->isEnabled());
        QVERIFY(w.Tool("LbSpeedButton8")->isEnabled());
        w.FitButton(2)->click();
        QVERIFY(!charts.View(ChartAt(2)).UserRanges);
        QVERIFY(!w.FitButton(2)->isEnabled());
    }

    void mouseOverAChartAllowsZoom() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w->ChartDblClick(ChartAt(1));
        for (int i = 0; i < 4; ++i) QVERIFY(!w.Charts().ShownBy(ChartAt(i)).ZoomAllowed);
        const QPointF at(20, 20);
        QMouseEvent move(QEvent::MouseMove, at, w.Chart(1)->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w.Chart(1), &move);
        for (int i = 0; i < 4; ++i) QVERIFY(w.Charts().ShownBy(ChartAt(i)).ZoomAllowed);
    }

    void saveOffersTheChartsFileName_data() {
        QTest::addColumn<int>("chart");
        QTest::addColumn<QString>("name");
        QTest::newRow("focal length") << 0 << "Focal_length_graph.png";
        QTest::newRow("ISO") << 1 << "ISO_graph.png";
        QTest::newRow("aperture") << 2 << "Aperture_graph.png";
        QTest::newRow("shutter") << 3 << "Shutter_graph.png";
    }
    void saveOffersTheChartsFileName() {
        QFETCH(int, chart);
        QFETCH(QString, name);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        w->ChartDblClick(ChartAt(chart));
        // Cancelled: nothing is written.
        w->SaveChart(ChartAt(chart));
        QCOMPARE(w.AskedNames.size(), 1);
        QCOMPARE(QFileInfo(w.AskedNames[0]).fileName(), name);
        QCOMPARE(w.AskedFilters, QStringList{"PNG image (*.png);;SVG image (*.svg);;BMP image (*.bmp)"});
        QVERIFY(QDir(QString::fromStdString(folder.path().string())).entryList({"*.png"}).isEmpty());
    }

    void aSavedChartTakesTheFormatOfItsName_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << "chart.png"
                             << "chart.png" << QByteArray("\x89PNG");
        QTest::newRow("svg") << "chart.svg"
                             << "chart.svg" << QByteArray("<?xml");
        QTest::newRow("bmp") << "chart.BMP"
                             << "chart.BMP" << QByteArray("BM");
        QTest::newRow("no ending: png") << "chart"
                                        << "chart.png" << QByteArray("\x89PNG");
        QTest::newRow("another ending: png added") << "chart.jpg"
                                                   << "chart.jpg.png" << QByteArray("\x89PNG");
    }
    void aSavedChartTakesTheFormatOfItsName() {
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QByteArray, magic);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        FillSeries(w);
        w->ChartDblClick(ChartAt(1));
        w.SaveAnswer = QString::fromStdString((folder.path() / answer.toStdString()).string());
        w->SaveChart(ChartAt(1));
        const std::string bytes = ReadAll(folder.path() / written.toStdString());
        QCOMPARE(QByteArray::fromStdString(bytes.substr(0, static_cast<std::size_t>(magic.size()))), magic);
        QVERIFY(w.StatusBar()->currentMessage().startsWith("The chart was saved as "));
    }

    void aSavedChartIsCaptionedWithItsRun() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QUORVELA_BIN_DIR "/demo"));
        QVERIFY(w.RunAndWait());
        w->ChartDblClick(ChartAt(0));
        const fs::path target = folder.path() / "focal.png";
        w.SaveAnswer = QString::fromStdString(target.string());
        w->SaveChart(ChartAt(0));
        const QImage image(QString::fromStdString(target.string()));
        QVERIFY(!image.isNull());
        const QWidget* chart = w.Chart(0);
        QCOMPARE(image.width(), chart->width());
        // The caption's lines stand under the chart.
        QVERIFY(image.height() >= chart->height() + QFontMetrics(chart->font()).height());
        const QString caption = w->ChartCaptionText();
        QVERIFY2(caption.startsWith(QUORVELA_BIN_DIR "/demo \u00b7 35 mm equivalent \u00b7 no filter \u00b7 "),
                 qPrintable(caption));
        QVERIFY2(caption.contains(QString::number(w->LastResult().FilesAnalysed) + " photos"), qPrintable(caption));
    }

    void thePathListIsSavedWithThePlatformsLineEnds() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QUORVELA_BIN_DIR "/demo"));
        QVERIFY(w.RunAndWait());
        const fs::path target = folder.path() / "list.txt";
        w.SaveAnswer = QString::fromStdString(target.string());
        w.Tool("Lb_SaveRichedit")->click();
        const std::string bytes = ReadAll(target);
        QVERIFY(!bytes.empty());
        QCOMPARE(bytes.back(), '\n');
#ifdef Q_OS_WIN
        QVERIFY(bytes.find("\r\n") != std::string::npos);
#else
        QVERIFY(bytes.find('\r') == std::string::npos);
#endif
    }

    void unwritableChartFileIsSaid() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.SaveAnswer = QString::fromStdString((folder.path() / "no-such-folder" / "x.png").string());
        w->SaveChart(ChartAt(1));
        QVERIFY(w.Messages->Shown.isEmpty());
        QVERIFY(w.StatusBar()->currentMessage().startsWith("The chart could not be saved as "));
        QVERIFY(!fs::exists(folder.path() / "no-such-folder"));
    }

    void saveButtonsWaitForTheFirstRun() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        for (QToolButton* button : w.SaveButtons()) {
            QVERIFY(!button->isEnabled());
            QCOMPARE(button->toolTip(),
                     QString("Save graph as a picture: PNG, SVG or BMP, with a caption of what it shows"));
        }
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(folder.path().string())));
        QVERIFY(w.RunAndWait());
        for (QToolButton* button : w.SaveButtons()) QVERIFY(button->isEnabled());
    }
};

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
