// devserver: the development help-desk server. See README.md.

#include "database.h"
#include "options.h"
#include "seed.h"
#include "server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

void printLine(const QString& line) {
    fputs(line.toUtf8().constData(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvorin-devserver"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVORIN_DEVSERVER_VERSION));

    devserver::ParsedOptions parsed = devserver::parseOptions(app.arguments());
    if (parsed.exitCleanly)
        return 0;
    if (!parsed.options) {
        fprintf(stderr, "devserver: %s\n", qPrintable(parsed.error));
        return 2;
    }
    devserver::Options& options = *parsed.options;

    devserver::Database db;
    QString error;
    if (!db.open(options.dbPath, options.reset, &error)) {
        fprintf(stderr, "devserver: cannot open %s: %s\n", qPrintable(options.dbPath), qPrintable(error));
        return 1;
    }
    try {
        if (db.isEmpty()) {
            const QString kind = options.seed.isEmpty() ? QStringLiteral("demo") : options.seed;
            QElapsedTimer timer;
            timer.start();
            const int tickets = devserver::seedDatabase(db, kind);
            if (!options.quiet)
                printLine(QStringLiteral("seeded %1 (%2 tickets) in %3 ms")
                              .arg(kind)
                              .arg(tickets)
                              .arg(timer.elapsed()));
        } else if (!options.seed.isEmpty()) {
            printLine(
                QStringLiteral("database already holds data; --seed ignored (add --reset to start over)"));
        }
    } catch (const devserver::DatabaseError& e) {
        fprintf(stderr, "devserver: seeding failed: %s\n", e.what());
        return 1;
    }

    devserver::DevServer server(options, db);
    QString url;
    if (!server.start(&url, &error)) {
        fprintf(stderr, "devserver: cannot listen on %s:%d: %s\n", qPrintable(options.host), options.port,
                qPrintable(error));
        return 1;
    }

    // SIGINT/SIGTERM end the event loop through a socket pair.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
            notifier->setEnabled(false);
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
            printLine(QStringLiteral("stopping"));
            QCoreApplication::quit();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }

    if (!options.quiet) {
        printLine(QStringLiteral("KALVORIN development server — database %1").arg(db.path()));
        printLine(QStringLiteral("demo accounts (user name / password — role — scope):"));
        for (const devserver::DemoAccount& a : devserver::demoAccounts())
            printLine(QStringLiteral("  %1 / %2 — %3 — %4")
                          .arg(a.username.leftJustified(12), a.password, a.role, a.scope));
        if (options.testControls)
            printLine(QStringLiteral("test controls on: action=test_control"));
    }
    printLine(QStringLiteral("listening on %1").arg(url));

    QTimer notifyTimer;
    if (options.notifyEverySeconds > 0) {
        QObject::connect(&notifyTimer, &QTimer::timeout, &server, [&server] {
            try {
                server.actions().notifyPeriodically();
            } catch (const devserver::DatabaseError& e) {
                qWarning("notify: %s", e.what());
            }
        });
        notifyTimer.start(options.notifyEverySeconds * 1000);
    }

    const int rc = QCoreApplication::exec();
    db.close();
    return rc;
}
