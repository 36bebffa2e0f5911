// ui_window_probe: drives the real window for what tests must not assert.
//
//   ui_window_probe shots OUTDIR FOLDER [WIDTHxHEIGHT]
//       analyses FOLDER and saves a PNG of each view: the overview, each chart tab, the filter
//       panel open, 3D with marks, the path list.
//   ui_window_probe stop FOLDER [MS [PNG]]
//       starts a run over FOLDER, presses Stop after MS milliseconds (default 3000; with PNG, a
//       picture of the window just before the click is saved there) and prints
//       the time from the click to the window being idle, and the longest gap between two
//       repaints of the window while the run went on.
//
// Messages are printed instead of shown; the settings go to a temporary folder.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "ui/analyse_length.h"
#include "window_page.h"

using quorvela::ui::TAnalyseLength;
using quorvela::ui::testing::WindowPage;

namespace {

class PrintedMessages final : public quorvela::ui::MessageSink {
  public:
    void ShowMessage(const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
};

// Records when the window's status bar was last painted; a timer asks for a repaint every
// frame, so the longest gap between paints is how long the window could not repaint.
class PaintClock final : public QObject {
  public:
    explicit PaintClock(QWidget* watched) : watched_(watched) {
        watched->installEventFilter(this);
        clock_.start();
        connect(&frame_, &QTimer::timeout, this, [this] { watched_->update(); });
        frame_.start(16);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const qint64 now = clock_.elapsed();
            if (last_ >= 0 && now - last_ > longest_) {
                longest_ = now - last_;
                longestEnd_ = now;
            }
            last_ = now;
            ++paints_;
        }
        return false;
    }
    void Reset() {
        last_ = -1;
        longest_ = 0;
        paints_ = 0;
    }
    qint64 Now() const { return clock_.elapsed(); }
    qint64 Longest() const { return longest_; }
    // When the longest gap ended, on the clock that started with the probe.
    qint64 LongestEnd() const { return longestEnd_; }
    int Paints() const { return paints_; }

  private:
    QWidget* watched_;
    QTimer frame_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    qint64 longestEnd_ = 0;
    int paints_ = 0;
};

std::unique_ptr<TAnalyseLength> MakeWindow(const QString& programFolder, QSize size) {
    quorvela::ui::WindowServices services;
    services.ProgramFolder = programFolder.toStdString();
    services.Messages = std::make_shared<PrintedMessages>();
    services.OpenUrl = [](const QUrl&) { return true; };
    auto window = std::make_unique<TAnalyseLength>(services);
    window->setWindowState(Qt::WindowNoState);
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) std::fprintf(stderr, "window not exposed\n");
    return window;
}

bool WaitIdle(TAnalyseLength& w, int ms) {
    return QTest::qWaitFor([&] { return !w.Running(); }, ms);
}

int Shots(const QString& outDir, const QString& folder, QSize size) {
    QTemporaryDir program;
    auto w = MakeWindow(program.path(), size);
    const WindowPage page(w.get());
    if (!QTest::qWaitFor([&] { return w->SelectFolder(folder); }, 5000)) return 2;
    page.Button("StartAnalyzing")->click();
    if (!WaitIdle(*w, 600000)) return 3;
    const auto save = [&](const QString& name) {
        QTest::qWait(400);  // animations and the tree settle
        w->grab().save(outDir + "/" + name + ".png");
        std::printf("%s/%s.png\n", qPrintable(outDir), qPrintable(name));
    };
    save("overview");
    const char* tabs[] = {"lens_length", "iso", "aperture", "shutter"};
    for (int i = 0; i < 4; ++i) {
        page.Tabs()->setCurrentWidget(page.OwnTab(i));
        save(tabs[i]);
    }
    page.Tabs()->setCurrentWidget(page.Widget("TabSheet7"));
    save("path_list");
    page.Tabs()->setCurrentWidget(page.Widget("TabSheet1"));
    page.Check("Cb_Custom")->click();
    save("filter_panel");
    page.Check("Cb_Custom")->click();
    page.Check("ChB3D")->click();
    page.Combo("ComboBoxValue")->setCurrentIndex(2);
    save("3d_marks_overview");
    page.Tabs()->setCurrentWidget(page.Widget("TabSheet3"));
    page.Combo("ComboBoxValue")->setCurrentIndex(5);
    save("3d_all_statistics_iso");
    w->close();
    return 0;
}

int Stop(const QString& folder, int afterMs, const QString& runningShot) {
    QTemporaryDir program;
    auto w = MakeWindow(program.path(), QSize(1280, 800));
    const WindowPage page(w.get());
    if (!QTest::qWaitFor([&] { return w->SelectFolder(folder); }, 5000)) return 2;
    PaintClock paints(page.StatusBar());
    QElapsedTimer clock;
    qint64 clicked = -1;
    qint64 idle = -1;
    w->OnRunFinished = [&] { idle = clock.elapsed(); };
    paints.Reset();
    clock.start();
    const qint64 started = paints.Now();
    page.Button("StartAnalyzing")->click();
    QTimer::singleShot(afterMs, w.get(), [&] {
        if (!runningShot.isEmpty()) w->grab().save(runningShot);
        clicked = clock.elapsed();
        page.Button("StopAnalyzing")->click();
    });
    if (!WaitIdle(*w, 600000)) return 3;
    QApplication::processEvents();
    const auto& result = w->LastResult();
    std::printf("files found before the stop: %d, analysed: %d, stopped: %s\n", result.FilesFound, result.FilesAnalysed,
                result.StopRequested ? "yes" : "no");
    if (clicked >= 0) std::printf("stop click to idle: %lld ms\n", static_cast<long long>(idle - clicked));
    std::printf("run time: %lld ms, repaints: %d, longest gap between repaints: %lld ms (ending %lld ms before idle)\n",
                static_cast<long long>(idle), paints.Paints(), static_cast<long long>(paints.Longest()),
                static_cast<long long>(idle - (paints.LongestEnd() - started)));
    w->close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == "shots") {
        QSize size(1280, 800);
        if (args.size() >= 5) {
            const QStringList wh = args[4].split('x');
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        }
        QDir().mkpath(args[2]);
        return Shots(args[2], args[3], size);
    }
    if (args.size() >= 3 && args[1] == "stop") {
        return Stop(args[2], args.size() >= 4 ? args[3].toInt() : 3000, args.size() >= 5 ? args[4] : QString());
    }
    std::fprintf(stderr, "usage: ui_window_probe shots OUTDIR FOLDER [WxH] | stop FOLDER [MS [PNG]]\n");
    return 2;
}
