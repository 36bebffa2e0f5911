#include "window_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace quorvela::ui::testing {

WindowUnderTest::WindowUnderTest(std::filesystem::path programFolder, char decimalSeparator,
                                 const std::function<void(WindowServices&)>& adjust)
    : ProgramFolder(std::move(programFolder)) {
    WindowServices services;
    services.ProgramFolder = ProgramFolder;
    // The build's program folder holds the camera table seed and the help pages.
    services.ExecutableFolder = QUORVELA_BIN_DIR;
    services.Messages = Messages;
    services.OpenUrl = [this](const QUrl& url) {
        Opened.push_back(url);
        return UrlOpens;
    };
    services.AskSaveEdits = [this] {
        ++EditsAsked;
        return EditsAnswer;
    };
    services.DecimalSeparator = decimalSeparator;
    services.CacheFile = ProgramFolder / "photos.db";
    services.AskForgetPhotos = [this] {
        ++ForgetAsked;
        return ForgetAnswer;
    };
    services.RunServicePoint = [pace = PaceMs] {
        if (const int ms = pace->load(); ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    services.AskSaveFile = [this](const QString& name, const QString& filter) {
        AskedNames << name;
        AskedFilters << filter;
        return SaveAnswer;
    };
    if (adjust) adjust(services);
    window = std::make_unique<TAnalyseLength>(services);
    SetWindow(window.get());
}

WindowUnderTest::~WindowUnderTest() = default;

void WindowUnderTest::Show() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

bool WindowUnderTest::RunAndWait(int timeoutMs) {
    Button("StartAnalyzing")->click();
    if (!window->Running()) return true;  // nothing started (button disabled)
    return QTest::qWaitFor([this] { return !window->Running(); }, timeoutMs);
}

void WriteIni(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
}

QString ValueOf(const std::string& text, const QString& sectionKey) {
    QString section;
    for (const QString& line : QString::fromStdString(text).split("\r\n")) {
        if (line.startsWith('[')) {
            section = line.mid(1, line.indexOf(']') - 1);
        } else if (line.contains('=') && section + "/" + line.left(line.indexOf('=')) == sectionKey) {
            return line.mid(line.indexOf('=') + 1);
        }
    }
    return "<missing>";
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace quorvela::ui::testing
