#include "close_on_signal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace quorvela::app {

namespace {

// A signal handler may only do async-signal-safe work: it writes one byte to a socket that
// the window's event loop watches.
int gSignalSockets[2] = {-1, -1};
volatile std::sig_atomic_t gSignalsSeen = 0;

extern "C" void OnCloseSignal(int signal) {
    gSignalsSeen = gSignalsSeen + 1;
    if (gSignalsSeen > 1) {
        // Asked twice: the user means it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalSockets[0], &byte, 1);
}

}  // namespace

void CloseOnSignal(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalSockets) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [target = QPointer<QWidget>(&window)] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(gSignalSockets[1], &byte, 1);
        if (target) target->close();
    });
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace quorvela::app
