#pragma once

#include "database.h"

#include <QList>
#include <QString>

namespace devserver {

// A demo account as printed at start and listed in the README.
struct DemoAccount {
    QString username;
    QString password;
    QString role;
    QString scope;
};

QList<DemoAccount> demoAccounts();

// The organisation every seed starts from: scopes, staff accounts, the
// reporter organisation, services, reasons and the people of the lookups.
void seedOrganisation(Database& db);
// The demo's tickets (with logs, participants, attachments) and notifications.
void seedDemoTickets(Database& db);
// N generated tickets for benchmarks, written in one transaction.
void seedBenchTickets(Database& db, int count);

// Seeds an empty database as `kind` says ("demo" or "bench:N"). Returns the
// number of tickets created.
int seedDatabase(Database& db, const QString& kind);

} // namespace devserver
