#pragma once

// The JSON answers under tests/data, read by name ("ticket.json"). Header-only: each test target
// is compiled with its own KALVORIN_TEST_DATA.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kalvorin::test {

inline QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(KALVORIN_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fixture ticket with every action allowed, so that each action's button and sheet exist.
inline QByteArray ticketWithEveryAction() {
    QByteArray ticket = fixture("ticket.json");
    for (const char* flag : {"reject", "managerRoute", "temporaryPassword"})
        ticket.replace(QByteArray("\"") + flag + "\": false", QByteArray("\"") + flag + "\": true");
    return ticket;
}

} // namespace kalvorin::test
