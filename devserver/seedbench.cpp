// Many tickets for benchmarks: one prepared statement, one transaction
// (opened by the caller), one log entry per ticket.

#include "seed.h"
#include "seeddata.h"
#include "vocabulary.h"

#include <QDate>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

namespace devserver {

void seedBenchTickets(Database& db, int count) {
    using namespace seeddata;
    QRandomGenerator random(20260101); // the same data on every run
    const qint64 at = now();
    const int year = QDate::currentDate().year();
    static const QString states[] = {
        state::New,    state::Processing, state::Processing, state::AwaitingManager,
        state::Closed, state::Closed,     state::Closed,     state::Rejected};
    static const QString priorities[] = {QStringLiteral("critical"), QStringLiteral("high"),
                                         QStringLiteral("medium"), QStringLiteral("medium"),
                                         QStringLiteral("low")};

    QSqlQuery ticket(db.handle());
    ticket.prepare(QStringLiteral(
        "INSERT INTO tickets(id, maintenance_no, title, description, state, priority, service_id, scope_id, "
        "beneficiary_name, beneficiary_user, beneficiary_mobile, beneficiary_national_id, entity_name, "
        "department_name, "
        "location, office_name, channel, created_by, created_at, updated_at, closed_at, sla_minutes) "
        "VALUES(?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery log(db.handle());
    log.prepare(QStringLiteral(
        "INSERT INTO ticket_log(ticket_id, key, actor, actor_user, state, priority, created_at) "
        "VALUES(?, ?, ?, ?, ?, ?, ?)"));
    const qint64 firstId =
        db.scalar(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM tickets")).toLongLong() + 1;

    for (int i = 0; i < count; ++i) {
        const Service& svc = services().at(random.bounded(int(services().size())));
        const OrgUnit& org = orgUnits().at(random.bounded(int(orgUnits().size())));
        const QString st = states[random.bounded(8)];
        const QString priority = priorities[random.bounded(5)];
        // Spread over the last year in number order, as a real desk numbers its tickets.
        const qint64 created = at - (qint64(count - i) * 365 * 24 * 3600) / count;
        const QString name = QString::fromUtf8(firstNames().at(random.bounded(int(firstNames().size())))) +
                             u' ' +
                             QString::fromUtf8(familyNames().at(random.bounded(int(familyNames().size()))));
        const qint64 id = firstId + i;
        const QVariantList values{
            id,
            QStringLiteral("MNT-%1-%2").arg(year).arg(i + 1, 5, 10, QLatin1Char('0')),
            QString::fromUtf8(svc.titles[i % 3]),
            QString::fromUtf8(svc.description),
            st,
            priority,
            svc.id,
            QString::fromUtf8(svc.scopeId),
            name,
            QStringLiteral("user%1").arg(i),
            QStringLiteral("05%1").arg(random.bounded(100000000), 8, 10, QLatin1Char('0')),
            QStringLiteral("1%1").arg(random.bounded(1000000000), 9, 10, QLatin1Char('0')),
            QString::fromUtf8(org.department),
            QString::fromUtf8(org.division) + QStringLiteral(" / ") + QString::fromUtf8(org.section),
            QString::fromUtf8(org.admin),
            QStringLiteral("نقطة الاستقبال الإلكترونية"),
            QStringLiteral("تطبيق الجوال"),
            QStringLiteral("admin"),
            created,
            created,
            isOpenState(st) ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(created + 3600),
            slaMinutesFor(priority),
        };
        for (int k = 0; k < values.size(); ++k)
            ticket.bindValue(k, values.at(k));
        if (!ticket.exec())
            throw DatabaseError(ticket.lastError().text().toStdString());
        const QVariantList entry{id,
                                 logkey::Created,
                                 QStringLiteral("م. سلطان بن فهد العتيبي"),
                                 QStringLiteral("admin"),
                                 state::New,
                                 priority,
                                 created};
        for (int k = 0; k < entry.size(); ++k)
            log.bindValue(k, entry.at(k));
        if (!log.exec())
            throw DatabaseError(log.lastError().text().toStdString());
    }
    db.setMeta(QStringLiteral("ticket_sequence_%1").arg(year), QString::number(count));
}

} // namespace devserver
