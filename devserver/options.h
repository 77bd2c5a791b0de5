#pragma once

#include "faults.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace devserver {

// Everything the command line can say. Parsed once in main; the server and
// the seeding read it.
struct Options {
    QString host = QStringLiteral("127.0.0.1");
    bool hostGiven = false;
    int port = 8080;
    QString dbPath; // empty: the default file in the user's data folder
    bool reset = false;
    QString seed; // "demo", "bench:N" or empty (demo when the database is empty)
    QString journalPath;
    QString tlsCert;
    QString tlsKey;
    int notifyEverySeconds = 0;
    // Closure evidence up to this size; request bodies grow with it (sizeguard.h).
    qint64 maxUploadBytes = 256LL * 1024 * 1024;
    bool testControls = false;
    bool quiet = false;
    QString endSessionsOf; // set: end that user's sessions in the database, then exit
    FaultPlan faults;

    static QString defaultDatabasePath();
};

struct ParsedOptions {
    std::optional<Options> options;
    QString error;            // set when options is empty and the run should stop with an error
    bool exitCleanly = false; // --help / --version already printed
};

ParsedOptions parseOptions(const QStringList& arguments);

// "demo" → 0 tickets extra; "bench:N" → N; no value for text that is neither.
std::optional<int> benchTicketCount(const QString& seed);

} // namespace devserver
