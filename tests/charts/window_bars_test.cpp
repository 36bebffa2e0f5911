// The bars around the charts as the layout builder makes them: the "Lens Length" tab's bottom
// bar in both lens modes and the top bar's progress bars, at the window's default size and larger.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QMainWindow>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <ostream>
#include <vector>

#include "qt_test_app.h"
#include "ui/window_layout.h"

// Rectangles in failure messages as "x,y wxh".
inline void PrintTo(const QRect& r, std::ostream* out) {
    *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace quorvela::ui {
namespace {

struct WindowSize {
    int width;
    int height;
};
constexpr WindowSize kSizes[] = {{855, 571}, {1600, 1000}};

class LaidOutWindow {
  public:
    explicit LaidOutWindow(WindowSize size) : w(BuildWindowLayout(window)) {
        window.resize(size.width, size.height);
        window.show();
        Settle();
    }
    void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    // Where a control stands in the window.
    [[nodiscard]] QRect Place(const QWidget* control) const {
        return {control->mapTo(&window, QPoint(0, 0)), control->size()};
    }

    QApplication& app = charts::testing::App();  // before any widget
    QMainWindow window;
    WindowWidgets w;
};

// Real-length mode hides the 35 mm panel: the steps controls and the toggle stay as they were.
TEST(WindowBars, LensBarControlsKeepTheirPlacesWithoutThe35mmPanel) {
    for (const WindowSize size : kSizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        LaidOutWindow laid(size);
        laid.w.tabs->setCurrentWidget(laid.w.chartTabs[Quantity::FocalLength]);
        laid.Settle();
        const std::vector<QWidget*> controls{laid.w.ignoreSpin, laid.w.stepSpin, laid.w.stepsCheck,
                                             laid.w.realLengthButton};
        std::vector<QRect> shown;
        shown.reserve(controls.size());
        for (const QWidget* c : controls) shown.push_back(laid.Place(c));
        laid.w.manualFactorPanel->hide();
        laid.w.realLengthButton->setChecked(true);
        laid.Settle();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(laid.Place(controls[i]), shown[i]) << controls[i]->objectName().toStdString();
        }
    }
}

TEST(WindowBars, ProgressBarsKeepARoomyWidthInTheTopBar) {
    for (const WindowSize size : kSizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        LaidOutWindow laid(size);
        EXPECT_EQ(laid.window.width(), size.width) << "the top bar fits the window";
        for (const QProgressBar* bar : {laid.w.collectingBar, laid.w.analysingBar}) {
            EXPECT_GE(bar->width(), 120) << bar->objectName().toStdString();
        }
        // The folder tree keeps its width too.
        EXPECT_GE(laid.w.treePanel->width(), 180);
    }
}

}  // namespace
}  // namespace quorvela::ui
