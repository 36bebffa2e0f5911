// quorvela: the desktop program, one window over a folder of photos.
//   quorvela [FOLDER]    with a folder, the window opens with it selected and analysed
#include <QApplication>
#include <QCommandLineParser>
#include <utility>

#include "close_on_signal.h"
#include "common/version.h"
#include "ui/analyse_length.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorvela");
    QApplication::setApplicationVersion(quorvela::common::kVersion);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Charts how often each focal length, ISO, aperture, shutter speed, lens and rating "
        "a folder of photos used.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("folder", "The folder to analyse at start.", "[FOLDER]");
    parser.process(app);
    quorvela::ui::WindowServices services;
    services.AnalyseFirstStart = true;  // the demo photos' charts show at a first start
    if (!parser.positionalArguments().isEmpty()) services.StartFolder = parser.positionalArguments().constFirst();
    quorvela::ui::TAnalyseLength window(std::move(services));
    quorvela::app::CloseOnSignal(window);
    window.show();
    return QApplication::exec();
}
