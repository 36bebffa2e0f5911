// The chart widget driven as a user drives it: drags, double clicks, paging, image export.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include "charts/chart_set.h"
#include "charts/engine/tchart.h"
#include "qt_test_app.h"

namespace quorvela::charts {
namespace {

using testing::App;
using testing::Drag;
using testing::SendMouse;

class ChartWidget : public ::testing::Test {
  protected:
    void SetUp() override {
        chart.resize(640, 400);
        series = &chart.AddBarSeries();
        for (int i = 0; i < 100; ++i) series->Add(1 + (i * 37) % 97, std::to_string(18 + i));
        chart.OnZoom = [this](TChart& c) { zooms.push_back(c.Zoomed()); };
        chart.OnUndoZoom = [this](TChart& c) { undos.push_back(c.Zoomed()); };
        chart.OnScroll = [this](TChart& c) { scrollMinimums.push_back(c.BottomAxis().Minimum); };
    }

    // A point inside the plot, as fractions of its width and height from the top left.
    QPoint InPlot(double fx, double fy) const {
        const RectF p = chart.CurrentLayout().plot;
        return QPoint(static_cast<int>(p.left + fx * p.Width()), static_cast<int>(p.top + fy * p.Height()));
    }

    QApplication& app = App();  // before any widget
    TChart chart;
    TBarSeries* series = nullptr;
    std::vector<bool> zooms;
    std::vector<bool> undos;
    std::vector<double> scrollMinimums;
};

TEST_F(ChartWidget, DragTowardsBottomRightZoomsIntoTheRectangle) {
    Drag(chart, Qt::LeftButton, InPlot(0.2, 0.1), InPlot(0.4, 0.9));
    ASSERT_EQ(zooms, std::vector<bool>{true});  // raised once, after the zoom
    EXPECT_TRUE(chart.Zoomed());
    EXPECT_NEAR(chart.BottomAxis().Minimum, 20, 1.5);
    EXPECT_NEAR(chart.BottomAxis().Maximum, 39, 1.5);
    EXPECT_GT(chart.LeftAxis().Minimum, 0);
    const auto bars = chart.CurrentLayout().bars;
    EXPECT_LT(bars.size(), 25u);
    EXPECT_GE(bars.front().index, 18);
}

TEST_F(ChartWidget, InverseDragUndoesTheZoom) {
    Drag(chart, Qt::LeftButton, InPlot(0.2, 0.1), InPlot(0.4, 0.9));
    Drag(chart, Qt::LeftButton, InPlot(0.6, 0.8), InPlot(0.3, 0.2));
    EXPECT_EQ(undos, std::vector<bool>{true});  // the handler still saw the chart zoomed
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_EQ(chart.BottomAxis().Minimum, 0);
    EXPECT_EQ(chart.BottomAxis().Maximum, 99);
    EXPECT_EQ(chart.LeftAxis().Minimum, 0);
    EXPECT_EQ(zooms.size(), 1u);
}

TEST_F(ChartWidget, UndoZoomFromCodeRaisesOnUndoZoomWhileStillZoomed) {
    ASSERT_TRUE(chart.ZoomRect(QRect(InPlot(0.5, 0.5), InPlot(0.7, 0.7))));
    chart.UndoZoom();
    EXPECT_EQ(undos, std::vector<bool>{true});
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_EQ(chart.BottomAxis().Minimum, 0);
    chart.UndoZoom();  // on a chart that is not zoomed it still reports
    EXPECT_EQ(undos, (std::vector<bool>{true, false}));
}

TEST_F(ChartWidget, AnimatedZoomMovesTheDrawnAxesButReportsTheTargetAtOnce) {
    chart.show();
    chart.SetAnimatedZoom(false);
    ASSERT_TRUE(chart.ZoomRect(QRect(InPlot(0.1, 0.1), InPlot(0.3, 0.9))));
    EXPECT_FALSE(chart.Animating());
    chart.UndoZoom();
    chart.SetAnimatedZoom(true);
    ASSERT_TRUE(chart.ZoomRect(QRect(InPlot(0.5, 0.1), InPlot(0.7, 0.9))));
    EXPECT_TRUE(chart.Animating());
    EXPECT_TRUE(chart.Zoomed());
    EXPECT_NEAR(chart.BottomAxis().Minimum, 50, 1.5);  // the final state, not an in-between one
    // The animation ends by itself; how long it takes is the engine's constant, and the limit
    // here only keeps a broken animation from hanging the test.
    QElapsedTimer clock;
    clock.start();
    while (chart.Animating() && clock.elapsed() < 30000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(chart.Animating());
    chart.UndoZoom();
    EXPECT_TRUE(chart.Animating());  // back to the automatic scales, animated too
    EXPECT_EQ(chart.BottomAxis().Minimum, 0);
}

TEST_F(ChartWidget, DragsThatDoNotZoom) {
    chart.SetAllowZoom(false);
    Drag(chart, Qt::LeftButton, InPlot(0.2, 0.1), InPlot(0.4, 0.9));
    EXPECT_TRUE(zooms.empty());
    EXPECT_FALSE(chart.Zoomed());
    chart.SetAllowZoom(true);
    Drag(chart, Qt::LeftButton, InPlot(0.2, 0.2), InPlot(0.2, 0.2) + QPoint(3, 3));  // a shaky click
    EXPECT_TRUE(zooms.empty());
    EXPECT_TRUE(undos.empty());
    Drag(chart, Qt::LeftButton, InPlot(0.2, 0.1), InPlot(0.4, 0.9));
    Drag(chart, Qt::MiddleButton, InPlot(0.6, 0.8), InPlot(0.3, 0.2));
    EXPECT_TRUE(chart.Zoomed());
}

TEST_F(ChartWidget, RightDragPansAndMovesTheAxisMinimum) {
    chart.SetMaxPointsPerPage(10);
    EXPECT_EQ(chart.BottomAxis().Minimum, 0);
    Drag(chart, Qt::RightButton, InPlot(0.8, 0.5), InPlot(0.3, 0.5));  // drag left: later points come in
    ASSERT_FALSE(scrollMinimums.empty());
    EXPECT_NEAR(chart.BottomAxis().Minimum, 5, 0.2);
    EXPECT_EQ(chart.TopAxis().Minimum, chart.BottomAxis().Minimum);
    EXPECT_EQ(scrollMinimums.back(), chart.BottomAxis().Minimum);
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_TRUE(zooms.empty());
    chart.UndoZoom();
    EXPECT_EQ(chart.BottomAxis().Minimum, 0);
}

TEST_F(ChartWidget, MaxPointsPerPageLimitsTheVisiblePoints) {
    struct Case {
        int perPage;
        std::size_t bars;
    };
    constexpr Case cases[] = {{10, 10}, {30, 30}, {0, 100}, {110, 100}, {-10, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.perPage);
        chart.SetMaxPointsPerPage(c.perPage);
        EXPECT_EQ(chart.CurrentLayout().bars.size(), c.bars);
    }
}

TEST_F(ChartWidget, ArrowButtonsShowWhileThereArePagesAndMoveAmongThem) {
    auto* previous = chart.findChild<QToolButton*>("PagePrevious");
    auto* next = chart.findChild<QToolButton*>("PageNext");
    ASSERT_TRUE(previous != nullptr && next != nullptr);
    chart.show();
    EXPECT_FALSE(next->isVisible());  // every point on one page
    chart.SetMaxPointsPerPage(30);
    ASSERT_TRUE(next->isVisible());
    EXPECT_EQ(chart.PageCount(), 4);
    EXPECT_FALSE(previous->isEnabled());
    next->click();
    EXPECT_EQ(chart.Page(), 1);
    EXPECT_EQ(scrollMinimums, std::vector<double>{30});
    EXPECT_TRUE(previous->isEnabled());
    next->click();
    next->click();
    EXPECT_EQ(chart.Page(), 3);
    EXPECT_FALSE(next->isEnabled());
    previous->click();
    EXPECT_EQ(chart.Page(), 2);
    chart.SetMaxPointsPerPage(0);
    EXPECT_FALSE(next->isVisible());
}

TEST_F(ChartWidget, DoubleClickAndMouseMoveAreReported) {
    int doubleClicks = 0;
    std::vector<QPoint> moves;
    chart.OnDblClick = [&](TChart&) { ++doubleClicks; };
    chart.OnMouseMove = [&](TChart&, int x, int y) { moves.emplace_back(x, y); };
    SendMouse(chart, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(17, 23));
    SendMouse(chart, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, QPoint(50, 50));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(moves, std::vector<QPoint>{QPoint(17, 23)});
    EXPECT_FALSE(chart.Zoomed());
}

TEST_F(ChartWidget, AClickOnABarChoosesItsPointButADoubleClickOffTheBarsStillRequestsTheTab) {
    chart.SetMaxPointsPerPage(10);
    ASSERT_TRUE(chart.ShowPage(2));
    std::vector<int> chosen;
    chart.OnPointChosen = [&](TChart&, int point) { chosen.push_back(point); };
    int doubleClicks = 0;
    chart.OnDblClick = [&](TChart&) { ++doubleClicks; };
    const RectF bar = chart.CurrentLayout().bars.at(3).front;
    const QPoint onBar(static_cast<int>(bar.left) + 1, static_cast<int>(bar.bottom) - 1);
    const QPoint above(onBar.x(), static_cast<int>(chart.CurrentLayout().plot.top) + 1);
    for (const bool zoom : {true, false}) {  // a click is no drag, whether zooming is allowed or not
        chart.SetAllowZoom(zoom);
        SendMouse(chart, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, onBar);
        SendMouse(chart, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, onBar + QPoint(2, -1));
        SendMouse(chart, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, onBar);
    }
    SendMouse(chart, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, above);
    SendMouse(chart, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, above);
    SendMouse(chart, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, above);
    EXPECT_EQ(chosen, (std::vector<int>{23, 23}));
    EXPECT_EQ(chart.SelectedPoint(), 23);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_FALSE(chart.Zoomed());
}

TEST_F(ChartWidget, KeysMoveTheSelectionAcrossPagesAndEnterChoosesIt) {
    chart.SetMaxPointsPerPage(10);
    std::vector<int> chosen;
    chart.OnPointChosen = [&](TChart&, int point) { chosen.push_back(point); };
    const auto press = [this](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&chart, &event);
    };
    press(Qt::Key_Return);  // nothing selected yet: nothing chosen
    chart.SelectPoint(9);
    press(Qt::Key_Right);
    EXPECT_EQ(chart.Page(), 1);  // the selection's page shows
    press(Qt::Key_Enter);
    press(Qt::Key_Home);
    press(Qt::Key_Left);  // stays on the first point
    press(Qt::Key_Return);
    press(Qt::Key_End);
    press(Qt::Key_Space);
    EXPECT_EQ(chosen, (std::vector<int>{10, 0, 99}));
    // A new run's points start without a selection: Enter must not choose a point of the old one.
    series->Clear();
    series->Add(1, "a");
    EXPECT_EQ(chart.SelectedPoint(), -1);
}

TEST(ChartTips, ACutLabelIsWholeInTheTooltipOfItsBarAndItsLabel) {
    App();
    TChart chart;
    chart.resize(300, 200);
    const std::string name = "EF-S18-135mm f/3.5-5.6 IS STM, a name longer than the room under the axis";
    chart.AddBarSeries().Add(1234, name);
    const ChartLayout L = chart.CurrentLayout();
    ASSERT_EQ(L.labels.size(), 1u);
    ASSERT_FALSE(L.labels.front().cut.empty());
    const QString whole = QString::fromStdString(name) + ": 1,234 (100 %)";
    const RectF& bar = L.bars.front().front;
    EXPECT_EQ(chart.ToolTipAt(QPoint(static_cast<int>((bar.left + bar.right) / 2), static_cast<int>(bar.bottom) - 2)),
              whole);
    EXPECT_EQ(chart.ToolTipAt(QPoint(static_cast<int>(L.labels.front().x), static_cast<int>(L.labelTop) + 10)), whole);
    EXPECT_EQ(chart.ToolTipAt(QPoint(2, 2)), QString());
}

TEST(ChartTips, ABarReachedWithTheKeysShowsWhatTheMouseWould) {
    App();
    TChart chart;
    chart.resize(300, 200);
    TBarSeries& s = chart.AddBarSeries();
    s.Add(1, "a");
    s.Add(2, "b");
    s.Add(5, "c");
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.setFocus();
    chart.SelectPoint(0);
    QTest::keyClick(&chart, Qt::Key_Right);
    EXPECT_EQ(chart.SelectedPoint(), 1);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "b: 2 (25 %)");
    QTest::keyClick(&chart, Qt::Key_End);
    EXPECT_EQ(QToolTip::text(), "c: 5 (62.5 %)");
}

TEST_F(ChartWidget, SavesEachFormatItsNameAsksForWithoutBeingShown) {
    struct Case {
        const char* name;
        QByteArray magic;  // the file's first bytes
        QByteArray format;
    };
    const Case cases[] = {
        {"chart.png", "\x89PNG", "png"}, {"chart.PNG", "\x89PNG", "png"}, {"chart.bmp", "BM", "bmp"},
        {"chart.svg", "<?xml", "svg"},   {"chart", "\x89PNG", "png"},  // no ending: the default
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    chart.resize(333, 222);
    chart.SetView3D(true);
    series->SetMarksVisible(true);
    series->SetSeriesColor({0, 128, 128});
    ASSERT_FALSE(chart.isVisible());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(c.name);
        ASSERT_TRUE(chart.SaveImage(file, ChartSet::ImageFormatOf(file), {}));
        QFile raw(file);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        EXPECT_EQ(raw.read(c.magic.size()), c.magic);
        if (c.format == "svg") continue;
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), c.format);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(333, 222));
        // Something of the series was really drawn.
        int teal = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) teal += image.pixelColor(x, y) == QColor(0, 128, 128) ? 1 : 0;
        }
        EXPECT_GT(teal, 100);
    }
}

TEST_F(ChartWidget, ACaptionIsDrawnUnderTheChartWrappedToItsWidth) {
    chart.resize(300, 200);
    const QImage plain = chart.RenderImage();
    const QString caption = "Folder: /photos/a long way down/2024 · 35 mm equivalent · 3,400 photos · 2026-12-08";
    const QImage captioned = chart.RenderImage(caption);
    ASSERT_EQ(captioned.width(), 300);
    // Two lines at least: the caption is longer than the chart is wide.
    EXPECT_GT(captioned.height(), 200 + 2 * QFontMetrics(chart.font()).height());
    EXPECT_EQ(captioned.copy(0, 0, 300, 200), plain);
    int dark = 0;
    for (int y = 201; y < captioned.height(); ++y) {
        for (int x = 0; x < captioned.width(); ++x) dark += qGray(captioned.pixel(x, y)) < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 50);
}

TEST_F(ChartWidget, SavingReplacesTheFileInOneStepOrFailsCleanly) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Aperture_graph.png");
    chart.resize(200, 150);
    ASSERT_TRUE(chart.SaveImage(file, "png", {}));
    chart.resize(180, 120);
    ASSERT_TRUE(chart.SaveImage(file, "png", {}));
    EXPECT_EQ(QImage(file).size(), QSize(180, 120));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Aperture_graph.png"});
    EXPECT_FALSE(chart.SaveImage(dir.filePath("missing/folder/chart.png"), "png", {}));
    EXPECT_FALSE(chart.SaveImage(dir.path(), "png", {}));  // a folder, not a file
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Aperture_graph.png"});
}

}  // namespace
}  // namespace quorvela::charts
