#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "ui/analyse_length.h"
#include "window_page.h"

namespace quorvela::ui::testing {

// Records what the window would have shown in message boxes.
class RecordingMessages final : public MessageSink {
  public:
    void ShowMessage(const QString& text) override { Shown << text; }
    QStringList Shown;
};

// A window over its own program folder, with recorded messages, links and save dialogs. Its
// controls are found through the page (w.Button("StartAnalyzing")), its own functions through
// the arrow (w->SelectFolder(...)).
class WindowUnderTest : public WindowPage {
  public:
    // `adjust` changes the services the window is made with, after the fixture's own.
    explicit WindowUnderTest(std::filesystem::path programFolder, char decimalSeparator = '.',
                             const std::function<void(WindowServices&)>& adjust = {});
    ~WindowUnderTest();

    TAnalyseLength& operator*() { return *window; }
    TAnalyseLength* operator->() { return window.get(); }

    // Shows the window and waits for its first showing to be handled.
    void Show();
    // Starts a run and waits until it has ended; false when it did not end in time.
    bool RunAndWait(int timeoutMs = 120000);

    std::filesystem::path ProgramFolder;
    std::shared_ptr<RecordingMessages> Messages = std::make_shared<RecordingMessages>();
    std::vector<QUrl> Opened;
    QStringList AskedNames;
    QStringList AskedFilters;
    QString SaveAnswer;    // what the save dialog returns; empty is a cancel
    bool UrlOpens = true;  // whether opening a page succeeds, as on a desktop with a browser
    // The answer to closing the camera-table editor with unsaved edits, and how often it was asked.
    quorvela::viewer::UnsavedEdits EditsAnswer = quorvela::viewer::UnsavedEdits::Discard;
    int EditsAsked = 0;
    // The answer to "Forget every remembered photo?", and how often it was asked.
    bool ForgetAnswer = false;
    int ForgetAsked = 0;
    // Milliseconds the run waits after each folder: a stop then lands in the middle of a run
    // however fast the build is.
    std::shared_ptr<std::atomic<int>> PaceMs = std::make_shared<std::atomic<int>>(0);
    std::unique_ptr<TAnalyseLength> window;
};

// A settings file with the given text (lines joined with CR LF).
void WriteIni(const std::filesystem::path& file, const std::vector<std::string>& lines);
std::string ReadAll(const std::filesystem::path& file);
// The value of "Section/key" in a settings file's text; "<missing>" when the key is not there.
QString ValueOf(const std::string& text, const QString& sectionKey);

// A fresh folder under the temporary folder, removed with the object.
using quorvela::testing::TempDir;

}  // namespace quorvela::ui::testing
