// quorvela: the desktop program, one window over a folder of photos.
#include <QApplication>

#include "close_on_signal.h"
#include "common/version.h"
#include "ui/analyse_length.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorvela");
    QApplication::setApplicationVersion(quorvela::common::kVersion);
    quorvela::ui::TAnalyseLength window;
    quorvela::app::CloseOnSignal(window);
    window.show();
    return QApplication::exec();
}
