// devserver: the development help-desk server. See README.md.

#include "actions.h"
#include "database.h"
#include "options.h"
#include "quitonsignal.h"
#include "seed.h"
#include "server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {

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
    if (!options.endSessionsOf.isEmpty()) {
        const int ended = devserver::endSessions(db, options.endSessionsOf);
        printLine(QStringLiteral("ended %1 session(s) of %2").arg(ended).arg(options.endSessionsOf));
        return 0;
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

    // SIGINT/SIGTERM end the event loop, as in the app.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { printLine(QStringLiteral("stopping")); });
    kalvorin::quitOnTerminationSignals(app);

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
