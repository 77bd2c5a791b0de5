#include "options.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

namespace devserver {

QString Options::defaultDatabasePath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return dir + QStringLiteral("/kalvorin-devserver/devserver.sqlite");
}

std::optional<int> benchTicketCount(const QString& seed) {
    if (seed == QLatin1String("demo"))
        return 0;
    if (!seed.startsWith(QLatin1String("bench:")))
        return std::nullopt;
    bool ok = false;
    const int n = seed.mid(6).toInt(&ok);
    if (!ok || n < 1 || n > 100000)
        return std::nullopt;
    return n;
}

ParsedOptions parseOptions(const QStringList& arguments) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "KALVORIN development server: the help-desk server the phone client talks to, with Arabic demo "
        "data, cookie sessions, fault injection and a request journal."));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption host(
        QStringLiteral("host"), QStringLiteral("Address to listen on (default 127.0.0.1, and ::1 with it)."),
        QStringLiteral("address"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port (default 8080; 0 takes a free one)."),
                                  QStringLiteral("port"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("SQLite file (default in the user's data folder)."),
                                QStringLiteral("path"));
    const QCommandLineOption reset(QStringLiteral("reset"),
                                   QStringLiteral("Delete the database and start over."));
    const QCommandLineOption seed(
        QStringLiteral("seed"),
        QStringLiteral("Seed an empty database: demo (default) or bench:N (N tickets, "
                       "up to 100000)."),
        QStringLiteral("kind"));
    const QCommandLineOption journal(
        QStringLiteral("journal"),
        QStringLiteral("Append one JSON line per request to this file (secrets masked)."),
        QStringLiteral("file"));
    const QCommandLineOption latency(
        QStringLiteral("latency"),
        QStringLiteral("Delay answers: MS for every action, or ACTION=MS. Repeatable."),
        QStringLiteral("rule"));
    const QCommandLineOption fail(
        QStringLiteral("fail"),
        QStringLiteral("Answer ACTION with STATUS (and BODY): ACTION=STATUS[:BODY]. "
                       "Repeatable."),
        QStringLiteral("rule"));
    const QCommandLineOption drop(
        QStringLiteral("drop"),
        QStringLiteral("Close the connection of ACTION without an answer. Repeatable."),
        QStringLiteral("action"));
    const QCommandLineOption garbage(
        QStringLiteral("garbage"),
        QStringLiteral("Answer ACTION with 200 and a body that is not JSON "
                       "(ACTION or ACTION=text), or has a wrong type (ACTION=type). "
                       "Repeatable."),
        QStringLiteral("rule"));
    const QCommandLineOption controls(
        QStringLiteral("test-controls"),
        QStringLiteral("Enable the test_control action that changes faults while "
                       "running."));
    const QCommandLineOption notifyEvery(QStringLiteral("notify-every"),
                                         QStringLiteral("Create a realistic notification every SECONDS."),
                                         QStringLiteral("seconds"));
    const QCommandLineOption maxUpload(
        QStringLiteral("max-upload-mb"),
        QStringLiteral("Largest closure evidence accepted, in MB (default 256)."), QStringLiteral("mb"));
    const QCommandLineOption tlsCert(QStringLiteral("tls-cert"),
                                     QStringLiteral("PEM certificate: serve HTTPS."), QStringLiteral("file"));
    const QCommandLineOption tlsKey(
        QStringLiteral("tls-key"), QStringLiteral("PEM private key for --tls-cert."), QStringLiteral("file"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("Print only the listening line (no account table)."));
    const QCommandLineOption endSessions(
        QStringLiteral("end-sessions"),
        QStringLiteral("End every session of USER in the database and exit; a server running on the "
                       "same database answers that user's next request as signed out."),
        QStringLiteral("user"));
    p.addOptions({host, port, db, reset, seed, journal, latency, fail, drop, garbage, controls, notifyEvery,
                  maxUpload, tlsCert, tlsKey, quiet, endSessions});

    ParsedOptions out;
    if (!p.parse(arguments)) {
        out.error = p.errorText();
        return out;
    }
    if (p.isSet(QStringLiteral("help"))) {
        fputs(qPrintable(p.helpText()), stdout);
        out.exitCleanly = true;
        return out;
    }
    if (p.isSet(QStringLiteral("version"))) {
        fputs("devserver " KALVORIN_DEVSERVER_VERSION "\n", stdout);
        out.exitCleanly = true;
        return out;
    }

    Options o;
    if (p.isSet(host)) {
        o.host = p.value(host);
        o.hostGiven = true;
    }
    if (p.isSet(port)) {
        bool ok = false;
        o.port = p.value(port).toInt(&ok);
        if (!ok || o.port < 0 || o.port > 65535) {
            out.error = QStringLiteral("--port wants a number from 0 to 65535");
            return out;
        }
    }
    o.dbPath = p.isSet(db) ? p.value(db) : Options::defaultDatabasePath();
    o.reset = p.isSet(reset);
    if (p.isSet(seed)) {
        o.seed = p.value(seed);
        if (!benchTicketCount(o.seed)) {
            out.error = QStringLiteral("--seed wants demo or bench:N with N from 1 to 100000");
            return out;
        }
    }
    o.journalPath = p.value(journal);
    o.testControls = p.isSet(controls);
    o.quiet = p.isSet(quiet);
    o.endSessionsOf = p.value(endSessions);
    if (p.isSet(notifyEvery)) {
        bool ok = false;
        o.notifyEverySeconds = p.value(notifyEvery).toInt(&ok);
        if (!ok || o.notifyEverySeconds < 1) {
            out.error = QStringLiteral("--notify-every wants a positive number of seconds");
            return out;
        }
    }
    if (p.isSet(maxUpload)) {
        bool ok = false;
        const double mb = p.value(maxUpload).toDouble(&ok);
        if (!ok || mb <= 0) {
            out.error = QStringLiteral("--max-upload-mb wants a positive number");
            return out;
        }
        o.maxUploadBytes = qint64(mb * 1024 * 1024);
    }
    o.tlsCert = p.value(tlsCert);
    o.tlsKey = p.value(tlsKey);
    if (o.tlsCert.isEmpty() != o.tlsKey.isEmpty()) {
        out.error = QStringLiteral("--tls-cert and --tls-key go together");
        return out;
    }

    QString problem;
    for (const QString& v : p.values(latency))
        if (!o.faults.addLatency(v, &problem)) {
            out.error = QStringLiteral("--latency ") + problem;
            return out;
        }
    for (const QString& v : p.values(fail))
        if (!o.faults.addFailure(v, &problem)) {
            out.error = QStringLiteral("--fail ") + problem;
            return out;
        }
    for (const QString& v : p.values(drop))
        if (!o.faults.addDrop(v, &problem)) {
            out.error = QStringLiteral("--drop ") + problem;
            return out;
        }
    for (const QString& v : p.values(garbage))
        if (!o.faults.addGarbage(v, &problem)) {
            out.error = QStringLiteral("--garbage ") + problem;
            return out;
        }
    out.options = std::move(o);
    return out;
}

} // namespace devserver
