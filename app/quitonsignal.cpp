#include "quitonsignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kalvorin {

namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
int wakeFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    if (::write(wakeFds[0], &byte, 1) < 0) {
        // Nothing else is safe to do inside a signal handler.
    }
}

} // namespace

void quitOnTerminationSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte;
        if (::read(wakeFds[1], &byte, 1) > 0)
            QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace kalvorin
