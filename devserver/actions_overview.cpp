// Overview actions: dashboard and ticket list.

#include "actions.h"
#include "vocabulary.h"

#include <QDate>
#include <QDateTime>
#include <QJsonDocument>

namespace devserver {

ApiReply Actions::dashboard(Call& call) {
    const Account& a = *call.account;
    auto [where, binds] = reachClause(a);
    const qint64 startOfDay = QDate::currentDate().startOfDay().toSecsSinceEpoch();
    QVariantList counterBinds{startOfDay};
    counterBinds += binds;
    QSqlQuery c = m_db.exec(
        QStringLiteral("SELECT COUNT(*),"
                       " SUM(CASE WHEN t.priority = 'critical' AND t.state NOT IN ('closed', 'rejected') "
                       "THEN 1 ELSE 0 END),"
                       " SUM(CASE WHEN t.state IN ('processing', 'awaiting_manager') THEN 1 ELSE 0 END),"
                       " SUM(CASE WHEN t.state = 'closed' AND t.closed_at >= ? THEN 1 ELSE 0 END),"
                       " SUM(CASE WHEN t.state NOT IN ('closed', 'rejected') THEN 1 ELSE 0 END)"
                       " FROM tickets t WHERE ") +
            where,
        counterBinds);
    c.next();
    const QJsonObject summary{{QStringLiteral("total"), c.value(0).toLongLong()},
                              {QStringLiteral("critical"), c.value(1).toLongLong()},
                              {QStringLiteral("processing"), c.value(2).toLongLong()},
                              {QStringLiteral("closedToday"), c.value(3).toLongLong()},
                              {QStringLiteral("open"), c.value(4).toLongLong()}};

    QJsonObject distribution;
    for (const QString& name : priorityNames())
        distribution.insert(name, 0);
    QSqlQuery d = m_db.exec(QStringLiteral("SELECT t.priority, COUNT(*) FROM tickets t WHERE ") + where +
                                QStringLiteral(" GROUP BY t.priority"),
                            binds);
    while (d.next())
        distribution.insert(priorityName(d.value(0).toString()), d.value(1).toLongLong());

    QJsonArray latest;
    for (const TicketRow& t : loadTickets(a, 8))
        latest.append(summaryJson(t));

    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("summary"), summary},
                         {QStringLiteral("priorityDistribution"), distribution},
                         {QStringLiteral("user"), userJson(a)},
                         {QStringLiteral("latest"), latest}});
}

ApiReply Actions::tickets(Call& call) {
    // A bench database answers 100,000 rows: the body is written row by row
    // rather than built as one JSON tree, which would hold every row twice.
    QByteArray body = QByteArrayLiteral("{\"ok\":true,\"tickets\":[");
    bool first = true;
    forEachTicket(*call.account, 0, [&](const TicketRow& t) {
        if (!first)
            body += ',';
        first = false;
        body += QJsonDocument(summaryJson(t)).toJson(QJsonDocument::Compact);
    });
    body += "]}";
    ApiReply r;
    r.raw = std::move(body);
    return r;
}

} // namespace devserver
