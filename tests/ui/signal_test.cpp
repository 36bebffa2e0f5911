// SIGTERM and SIGINT close the window as the user's close does: settings written, a run
// stopped first.
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <csignal>

#include "close_on_signal.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;

class SignalTest : public QObject {
    Q_OBJECT

  private slots:
    void terminateClosesDuringARunAndWritesTheSettings() {
        if (!quorvela::testing::HaveCorpus()) QSKIP("photo corpus absent");
        TempDir program;
        TempDir photos;
        for (int f = 0; f < 300; ++f) {
            const fs::path folder = photos.path() / ("day" + std::to_string(f));
            fs::create_directories(folder);
            fs::copy_file(quorvela::testing::CorpusDir() / "nikon_d90_01.jpg", folder / "a.jpg");
        }
        WindowUnderTest w(program.path());
        quorvela::app::CloseOnSignal(*w);
        w.Show();
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(photos.path().string())));
        w.Spin("SpinEdit2")->setValue(21);
        w.PaceMs->store(20);  // the signal must land in the middle of the run
        w.Button("StartAnalyzing")->click();
        QTRY_VERIFY(w.Progress("ProgrBarCollect")->value() > 5);
        std::raise(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 30000);
        QVERIFY(!w->Running());
        QVERIFY(w->LastResult().StopRequested);
        const std::string ini = ReadAll(program.path() / "vintrop.ini");
        QVERIFY(ini.find("IgnoreWA=21") != std::string::npos);
    }
};

QTEST_MAIN(SignalTest)
#include "signal_test.moc"
