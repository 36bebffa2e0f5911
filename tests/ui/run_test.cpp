// The run in the window: the points it puts on the charts, its messages in order, stopping it
// with the Stop button, Esc or a close, and the state the window is left in.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <fstream>
#include <functional>
#include <mutex>
#include <new>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "analysis/analysis_run.h"
#include "analysis/filter.h"
#include "cli/cli.h"
#include "library/collation.h"
#include "ui/run_controller.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;
namespace testdata = quorvela::testing;

Q_DECLARE_METATYPE(std::function<void(quorvela::ui::testing::WindowUnderTest&)>)
Q_DECLARE_METATYPE(quorvela::ui::IndicatorLook)

namespace {

using Setup = std::function<void(WindowUnderTest&)>;

QString Path(const fs::path& p) {
    return QString::fromStdString(p.string());
}

void CopyPhoto(const std::string& name, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(testdata::CorpusDir() / name, to, fs::copy_options::overwrite_existing);
}

// Many folders of a few photos each: a run long enough to be stopped on the way.
int MakeLongTree(const fs::path& root, int folders = 300) {
    int files = 0;
    for (int f = 0; f < folders; ++f) {
        const fs::path folder = root / ("set" + std::to_string(f / 20)) / ("day" + std::to_string(f));
        CopyPhoto("canon_powershotg2_01.jpg", folder / "a.jpg");
        CopyPhoto("nikon_d90_01.jpg", folder / "b.JPG");
        files += 2;
    }
    return files;
}

QStringList JsonPoints(const nlohmann::json& rows) {
    QStringList points;
    for (const auto& row : rows) {
        points << QString::fromStdString(row["label"].get<std::string>()) + "=" +
                      QString::number(row["count"].get<int>());
    }
    return points;
}

nlohmann::json CliAnalyse(const fs::path& folder, const fs::path& pathListFile) {
    std::ostringstream out;
    std::ostringstream err;
    const int code =
        quorvela::cli::runCli({"analyse", folder.string(), "--json", "--decimal-separator", ".", "--table",
                               QUORVELA_SOURCE_DIR "/data/cam_equiv.exp", "--path-list-file", pathListFile.string(),
                               // The window's cache when it is in the same folder: what one fills the other reads.
                               "--cache", (pathListFile.parent_path() / "photos.db").string()},
                              out, err);
    if (code != 0) qWarning("quorvela-cli: %s", err.str().c_str());
    return nlohmann::json::parse(out.str());
}

// What the top bar passes through: whether "Start analyzing" was enabled each time it was shown,
// and each place the indicator was moved to.
class TopBarRecorder final : public QObject {
  public:
    TopBarRecorder(QPushButton* start, QWidget* indicator) : start_(start), indicator_(indicator) {
        start_->installEventFilter(this);
        indicator_->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == start_ && event->type() == QEvent::Show) StartEnabledWhenShown << start_->isEnabled();
        if (watched == indicator_ && event->type() == QEvent::Move) IndicatorMovedTo << indicator_->pos();
        return false;
    }
    QList<bool> StartEnabledWhenShown;
    QList<QPoint> IndicatorMovedTo;

  private:
    QPushButton* start_;
    QWidget* indicator_;
};

}  // namespace

class RunTest : public QObject {
    Q_OBJECT

  private slots:
    void chartsShowWhatTheCommandLineGives() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        // The tree names folders without "..": the command line gets the same name.
        const fs::path corpus = fs::canonical(testdata::CorpusDir());
        QTRY_VERIFY(w->SelectFolder(Path(corpus)));
        QVERIFY(w.RunAndWait());
        const nlohmann::json cli = CliAnalyse(corpus, folder.path() / "cli_list.txt");
        const char* keys[] = {"focal", "iso", "aperture", "shutter"};
        for (int q = 0; q < 4; ++q) {
            QCOMPARE(w.Points(q), JsonPoints(cli[keys[q]]));
            QVERIFY(!w.Points(q).isEmpty());
        }
        QStringList lines;
        for (const auto& line : cli["pathList"]) lines << QString::fromStdString(line.get<std::string>());
        QCOMPARE(w.Text("RichEdit1")->toPlainText(), lines.join('\n'));
        QCOMPARE(w->RunSummaryText().toStdString(), cli["summary"].get<std::string>());
        QVERIFY(w.Tool("Lb_SaveRichedit")->isEnabled());
        QCOMPARE(ReadAll(folder.path() / "vt_debug.txt"), ReadAll(folder.path() / "cli_list.txt"));
        // Idle again, with the charts current.
        QCOMPARE(w->windowTitle(), "Analysed: " + Path(corpus));
        QVERIFY(w.Button("StartAnalyzing")->isVisible());
        QVERIFY(w.Button("StopAnalyzing")->isHidden());
        QCOMPARE(w.Progress("ProgrBarCollect")->value(), 0);
        QCOMPARE(w.Progress("ProgrBarAnalyse")->value(), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(w->StatusPanelLook(), kIndicatorCurrent);
        QCOMPARE(w.Label("Label20")->text(), QString("Click on a line to select and show the image!"));
        for (QToolButton* button : w.SaveButtons()) QVERIFY(button->isEnabled());
        QCOMPARE(w.Messages->Shown, QStringList{});
    }

    void messagesInOrder_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no jpeg files") << Setup([](WindowUnderTest&) {}) << QStringList{"No jpeg files found."};
        QTest::newRow("no EXIF") << Setup([](WindowUnderTest& w) {
            const fs::path folder = w->SelectedFolder().toStdString();
            std::ofstream(folder / "a.jpg") << "not a photo";
            std::ofstream(folder / "b.JPEG") << "\xFF\xD8\xFF\xD9";
        }) << QStringList{"None of the jpeg files contained EXIF info."};
        QTest::newRow("filtered, none match") << Setup([](WindowUnderTest& w) {
            CopyPhoto("canon_powershotg2_01.jpg", fs::path(w->SelectedFolder().toStdString()) / "a.jpg");
            w.Check("Cb_Custom")->setChecked(true);
            w.Edit("EditMake")->setText("NoSuchMaker");
        }) << QStringList{"None of the jpeg files match the make and/or model filter strings."};
        const std::string summary = quorvela::analysis::FilterSummaryText(1, 2, {"canon", "", "", ""});
        QTest::newRow("filtered, one matches") << Setup([](WindowUnderTest& w) {
            CopyPhoto("canon_powershotg2_01.jpg", fs::path(w->SelectedFolder().toStdString()) / "a.jpg");
            CopyPhoto("nikon_d90_01.jpg", fs::path(w->SelectedFolder().toStdString()) / "b.jpg");
            w.Check("Cb_Custom")->setChecked(true);
            w.Edit("EditMake")->setText("canon");
        }) << QStringList{QString::fromStdString(summary)};
        QTest::newRow("filter fields refused") << Setup([](WindowUnderTest& w) {
            w.Check("Cb_Custom")->setChecked(true);
            w.Edit("MN_name_Edit")->setText("Quality");
        }) << QStringList{"You need to fill Maker and/or Model, and/or enter two strings at the Maker note."};
    }
    void messagesInOrder() {
        QFETCH(Setup, setup);
        QFETCH(QStringList, messages);
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        setup(w);
        QVERIFY(w.RunAndWait());
        QCOMPARE(w.Messages->Shown, messages);
    }

    void refusedFilterChangesNothing() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        CopyPhoto("canon_powershotg2_01.jpg", photos.path() / "a.jpg");
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        QVERIFY(w.RunAndWait());
        const QString caption = w->windowTitle();
        const QStringList points = w.Points(0);
        w.Check("Cb_Custom")->setChecked(true);
        w.Edit("MN_Data_Edit")->setText("Fine");
        QVERIFY(w.RunAndWait());
        QCOMPARE(w.Messages->Shown.size(), 1);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w.Points(0), points);
        QVERIFY(w.Button("StartAnalyzing")->isEnabled());
    }

    void rememberedPhotosFollowTheSettingAndAreForgottenOnRequest() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        CopyPhoto("canon_powershotg2_01.jpg", photos.path() / "a.jpg");
        CopyPhoto("nikon_d90_01.jpg", photos.path() / "b.jpg");
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        const fs::path cache = program.path() / "photos.db";
        const auto remembered = [&cache] {
            sqlite3* db = nullptr;
            sqlite3_stmt* count = nullptr;
            int rows = -1;
            if (sqlite3_open(cache.c_str(), &db) == SQLITE_OK &&
                sqlite3_prepare_v2(db, "SELECT count(*) FROM photos", -1, &count, nullptr) == SQLITE_OK &&
                sqlite3_step(count) == SQLITE_ROW) {
                rows = sqlite3_column_int(count, 0);
            }
            sqlite3_finalize(count);
            sqlite3_close(db);
            return rows;
        };
        QVERIFY(w.Check("ChB_RememberPhotos")->isChecked());
        w.Check("ChB_RememberPhotos")->setChecked(false);
        QVERIFY(w.RunAndWait());
        QVERIFY(!fs::exists(cache));
        w.Check("ChB_RememberPhotos")->setChecked(true);
        QVERIFY(w.RunAndWait());
        QCOMPARE(remembered(), 2);
        w.Button("ForgetPhotos")->click();
        QCOMPARE(w.ForgetAsked, 1);
        QCOMPARE(remembered(), 2);
        w.ForgetAnswer = true;
        w.Button("ForgetPhotos")->click();
        QCOMPARE(remembered(), 0);
        QCOMPARE(w.Messages->Shown, QStringList{});
    }

    void noFolderKeepsThePreviousResult() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        const fs::path first = photos.path() / "first";
        CopyPhoto("canon_powershotg2_01.jpg", first / "a.jpg");
        CopyPhoto("nikon_d90_01.jpg", first / "b.jpg");
        const fs::path second = photos.path() / "second";
        fs::create_directories(second);
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(first)));
        QVERIFY(w.RunAndWait());
        const QStringList points = w.Points(0);
        const QString list = w.Text("RichEdit1")->toPlainText();
        QVERIFY(!points.isEmpty());
        QVERIFY(!list.isEmpty());
        const std::string file = ReadAll(program.path() / "vt_debug.txt");
        QTRY_VERIFY(w->SelectFolder(Path(second)));
        fs::remove(second);
        w->FormKeyDown(Qt::Key_Escape);  // a stop asked for before the run does not count
        w->StartAnalyzingClick();
        QTRY_VERIFY(!w->Running());
        QCOMPARE(w.Messages->Shown, QStringList{"No folder selected."});
        QCOMPARE(w.Points(0), points);
        QCOMPARE(w.Text("RichEdit1")->toPlainText(), list);
        QCOMPARE(ReadAll(program.path() / "vt_debug.txt"), file);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void stopButtonEndsTheRunEarly_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Stop button") << false;
        QTest::newRow("Esc key") << true;
    }
    void stopButtonEndsTheRunEarly() {
        QFETCH(bool, escape);
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        const int total = MakeLongTree(photos.path());
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        w.PaceMs->store(20);  // the stop must land in the middle of the run
        w.Button("StartAnalyzing")->click();
        QVERIFY(w->Running());
        QTRY_VERIFY(w.Progress("ProgrBarCollect")->value() > 5);
        // While it runs: Stop in place of Start, the save buttons out of reach.
        QVERIFY(w.Button("StopAnalyzing")->isVisible());
        QVERIFY(w.Button("StartAnalyzing")->isHidden());
        QVERIFY(w->windowTitle().startsWith("Analyzing: "));
        for (QToolButton* button : w.SaveButtons()) QVERIFY(!button->isEnabled());
        if (escape) {
            QTest::keyClick(w.window.get(), Qt::Key_Escape);
        } else {
            w.Button("StopAnalyzing")->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w->Running(), 30000);
        QCOMPARE(w.Messages->Shown, QStringList{"Plot interrupted, graph not complete."});
        QVERIFY(w->LastResult().StopRequested);
        QVERIFY(w->LastResult().FilesFound < total);
        QVERIFY(!w.Points(0).isEmpty());  // what was gathered before the stop
        QCOMPARE(w->StatusPanelLook(), kIndicatorNeeded);
        QVERIFY(w.Button("StartAnalyzing")->isVisible());
    }

    // The top bar switches back in one step, and the indicator tells whether the charts are
    // complete, also when they were before the run.
    void theRunsEndSwitchesTheTopBarInOneStep_data() {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<IndicatorLook>("look");
        QTest::newRow("finished") << false << kIndicatorCurrent;
        QTest::newRow("stopped") << true << kIndicatorNeeded;
    }
    void theRunsEndSwitchesTheTopBarInOneStep() {
        QFETCH(bool, stop);
        QFETCH(IndicatorLook, look);
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        MakeLongTree(photos.path(), 60);
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        QVERIFY(w.RunAndWait());  // the charts current before the run
        w.PaceMs->store(stop ? 20 : 0);
        const QPoint idle = w.StatusPanel()->pos();
        TopBarRecorder recorder(w.Button("StartAnalyzing"), w.StatusPanel());
        w.Button("StartAnalyzing")->click();
        if (stop) {
            QTRY_VERIFY(w.Button("StopAnalyzing")->isVisible());
            w.Button("StopAnalyzing")->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w->Running(), 30000);
        QCOMPARE(w->LastResult().StopRequested, stop);
        QVERIFY(w.Button("StartAnalyzing")->isVisible());
        QCOMPARE(recorder.StartEnabledWhenShown, QList<bool>{true});
        QCOMPARE(recorder.IndicatorMovedTo, QList<QPoint>{});
        QCOMPARE(w.StatusPanel()->pos(), idle);
        QCOMPARE(w->StatusPanelLook(), look);
    }

    void stoppedFilteredRunReportsBothInOrder() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        MakeLongTree(photos.path());
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        w.Check("Cb_Custom")->setChecked(true);
        w.Edit("EditMake")->setText("nikon");
        w.PaceMs->store(20);  // the stop must land in the middle of the run
        w.Button("StartAnalyzing")->click();
        QTRY_VERIFY(w.Progress("ProgrBarCollect")->value() > 5);
        w.Button("StopAnalyzing")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->Running(), 30000);
        const auto& result = w->LastResult();
        QVERIFY(result.FilesAnalysed > 0);
        const std::string summary =
            quorvela::analysis::FilterSummaryText(result.FilesAnalysed, result.FilesFound, {"nikon", "", "", ""});
        QCOMPARE(w.Messages->Shown,
                 (QStringList{"Plot interrupted, graph not complete.", QString::fromStdString(summary)}));
    }

    void closingDuringARunStopsItAndWritesTheSettings() {
        if (!testdata::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        MakeLongTree(photos.path());
        WindowUnderTest w(program.path());
        w.Show();
        QTRY_VERIFY(w->SelectFolder(Path(photos.path())));
        w.Spin("SpinEdit2")->setValue(17);
        w.PaceMs->store(20);  // the stop must land in the middle of the run
        w.Button("StartAnalyzing")->click();
        QTRY_VERIFY(w.Progress("ProgrBarCollect")->value() > 5);
        QVERIFY(!w->close());  // not yet: the run stops first
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 30000);
        QVERIFY(!w->Running());
        QVERIFY(w->LastResult().StopRequested);
        QVERIFY(w.Messages->Shown.isEmpty());  // nothing pops up over a closing window
        const std::string ini = ReadAll(program.path() / "vintrop.ini");
        QVERIFY(ini.find("IgnoreWA=17") != std::string::npos);
        QVERIFY(ini.find("Path=" + photos.path().string()) != std::string::npos);
    }

    void closingWhileAMessageIsShowingEndsTheRunAndCloses() {
        // A sink that behaves like a modal box: it holds the run until the box is dismissed.
        class ModalMessages final : public MessageSink {
          public:
            void ShowMessage(const QString& text) override {
                Shown << text;
                QEventLoop box;
                showing = &box;
                QTimer::singleShot(0, &box, [this] { OnShown(); });
                box.exec();
                showing = nullptr;
            }
            void DismissShowing() override {
                if (showing != nullptr) showing->quit();
            }
            QStringList Shown;
            QEventLoop* showing = nullptr;
            std::function<void()> OnShown;
        };
        TempDir program;
        TempDir photos;
        auto messages = std::make_shared<ModalMessages>();
        WindowServices services;
        services.ProgramFolder = program.path();
        services.ExecutableFolder = QUORVELA_BIN_DIR;
        services.Messages = messages;
        TAnalyseLength w(services);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.SelectFolder(Path(photos.path())));
        bool refused = false;
        messages->OnShown = [&] { refused = !w.close(); };  // as a session logout would
        WindowPage(&w).Button("StartAnalyzing")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 30000);
        QVERIFY(refused);  // the first close waited for the run
        QVERIFY(!w.Running());
        QCOMPARE(messages->Shown, QStringList{"No jpeg files found."});
        QVERIFY(fs::exists(program.path() / "vintrop.ini"));
    }

    void runReadsTheSettingsOfTheControls() {
        TempDir program;
        WindowUnderTest w(program.path(), ',');
        w.Check("ChBoxSteps")->setChecked(false);
        w.Spin("SpinEdit1")->setValue(7);
        w.Spin("SpinEdit2")->setValue(3);
        w.Check("ChB_Subs")->setChecked(false);
        w.Check("ChB_Raw")->setChecked(true);
        w.SetPathListIndex(2);
        w.Check("CB_MakerNote")->setChecked(true);
        w.Tool("LbSetforRealLength")->setChecked(true);
        w.Edit("Edit1")->setText("7,1");
        w.Edit("EditModel")->setText("G2");
        const quorvela::analysis::AnalysisSettings s = w->CurrentAnalysisSettings();
        QVERIFY(!s.UseSteps);
        QCOMPARE(s.StepSize, 7);
        QCOMPARE(s.IgnoreUpTo, 3);
        QVERIFY(!s.IncludeSubfolders);
        QVERIFY(s.FractionShutter);
        QVERIFY(s.PathList == quorvela::Quantity::Aperture);
        QVERIFY(s.AddMakerNotes);
        QVERIFY(s.Lens.RealLength);
        QCOMPARE(s.Lens.Edit1, std::string("7,1"));
        QCOMPARE(s.Filter.Model, std::string("G2"));
        w.SetPathListIndex(-1);
        QVERIFY(w->CurrentAnalysisSettings().PathList == std::nullopt);
    }

    // A run that throws (out of memory, ICU that cannot be loaded) ends in a message and a
    // stopped result, never the end of the program, and the next Start works. The run sorts
    // with a collation of its own, not the one the window sorts its answers with meanwhile.
    void aRunThatThrowsIsSaidAndTheNextRunStarts() {
        using namespace quorvela::analysis;
        struct Observer final : QueuedObserver {
            void Message(MessageKind kind, const std::string& text) override {
                const std::lock_guard lock(Mutex);
                if (kind == MessageKind::RunFailed) Failures.push_back(text);
            }
            std::mutex Mutex;
            std::vector<std::string> Failures;
        } observer;
        const quorvela::library::Collation windowOrder;
        std::atomic<int> calls{0};
        std::atomic<const quorvela::library::Collation*> runOrder{nullptr};
        std::vector<AnalysisResult> finished;
        RunController controller(
            this, observer, [&](const AnalysisResult& result) { finished.push_back(result); },
            [&](const AnalysisSettings&, const RunEnvironment& environment, AnalysisObserver&) -> AnalysisResult {
                runOrder = environment.Order;
                if (calls++ == 0) throw std::bad_alloc();
                throw std::runtime_error("ICU collation is not available");
            });
        RunEnvironment environment;
        environment.Order = &windowOrder;
        const quorvela::equivalence::EquivalentList table;
        QVERIFY(controller.Start({}, environment, table));
        QVERIFY(!controller.Start({}, environment, table));  // one at a time
        QTRY_COMPARE(finished.size(), std::size_t{1});
        QVERIFY(!controller.Active());
        QVERIFY(finished[0].Outcome == RunOutcome::Stopped);
        QVERIFY(runOrder.load() != nullptr && runOrder.load() != &windowOrder);
        QVERIFY(controller.Start({}, environment, table));
        QTRY_COMPARE(finished.size(), std::size_t{2});
        const std::lock_guard lock(observer.Mutex);
        QCOMPARE(observer.Failures.size(), std::size_t{2});
        QVERIFY(observer.Failures[0].find("out of memory") != std::string::npos);
        QVERIFY(observer.Failures[1].find("ICU collation is not available") != std::string::npos);
        QCOMPARE(finished[1].Messages, std::vector<std::string>{observer.Failures[1]});
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
