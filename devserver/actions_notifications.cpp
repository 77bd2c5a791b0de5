// Notifications, their acknowledgement, device registration, and the
// periodic notifications of --notify-every.

#include "actions.h"
#include "vocabulary.h"

#include <QRandomGenerator>

namespace devserver {

ApiReply Actions::notifications(Call& call) {
    const QString& me = call.account->username;
    QJsonArray list;
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT id, title, body, type, is_read, created_at FROM notifications WHERE "
                                 "username = ? ORDER BY created_at DESC, id DESC LIMIT 100"),
                  {me});
    while (q.next())
        list.append(QJsonObject{{QStringLiteral("id"), q.value(0).toLongLong()},
                                {QStringLiteral("title"), q.value(1).toString()},
                                {QStringLiteral("body"), q.value(2).toString()},
                                {QStringLiteral("type"), q.value(3).toString()},
                                {QStringLiteral("isRead"), q.value(4).toInt() != 0},
                                {QStringLiteral("createdAt"), formatTime(q.value(5).toLongLong())}});
    const qint64 unread =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM notifications WHERE username = ? AND is_read = 0"),
                    {me})
            .toLongLong();
    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("unread"), unread},
                         {QStringLiteral("notifications"), list}});
}

ApiReply Actions::ackNotification(Call& call) {
    const QJsonValue v = call.request.json.value(QStringLiteral("notificationId"));
    if (!v.isDouble() || v.toDouble() != double(v.toInteger()))
        return ApiReply::error(422, QStringLiteral("رقم الإشعار مطلوب ويجب أن يكون رقماً صحيحاً."));
    const qint64 id = v.toInteger();
    Transaction t(m_db);
    QSqlQuery q =
        m_db.exec(QStringLiteral("UPDATE notifications SET is_read = 1 WHERE id = ? AND username = ?"),
                  {id, call.account->username});
    if (q.numRowsAffected() < 1)
        return ApiReply::error(404, QStringLiteral("الإشعار غير موجود ضمن إشعاراتك."));
    t.commit();
    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("message"), QStringLiteral("تم تأكيد قراءة الإشعار.")}});
}

ApiReply Actions::registerDevice(Call& call) {
    const QJsonObject& body = call.request.json;
    for (const char* key : {"deviceId", "platform", "appVersion", "serverURL"})
        if (!body.value(QLatin1String(key)).isString())
            return ApiReply::error(
                422, QStringLiteral("الحقل %1 مطلوب ويجب أن يكون نصاً.").arg(QLatin1String(key)));
    if (!body.value(QStringLiteral("notificationsEnabled")).isBool())
        return ApiReply::error(422, QStringLiteral("الحقل notificationsEnabled مطلوب ويجب أن يكون منطقياً."));
    const QString deviceId = body.value(QStringLiteral("deviceId")).toString().trimmed();
    if (deviceId.isEmpty())
        return ApiReply::error(422, QStringLiteral("معرّف الجهاز مطلوب."));
    const qint64 at = now();
    Transaction t(m_db);
    m_db.exec(QStringLiteral(
                  "INSERT INTO devices(device_id, username, platform, app_version, server_url, "
                  "notifications_enabled, registered_at, updated_at) VALUES(?, ?, ?, ?, ?, ?, ?, ?) "
                  "ON CONFLICT(device_id) DO UPDATE SET username = excluded.username, platform = "
                  "excluded.platform, app_version = excluded.app_version, server_url = excluded.server_url, "
                  "notifications_enabled = excluded.notifications_enabled, updated_at = excluded.updated_at"),
              {deviceId, call.account->username, body.value(QStringLiteral("platform")).toString(),
               body.value(QStringLiteral("appVersion")).toString(),
               body.value(QStringLiteral("serverURL")).toString(),
               body.value(QStringLiteral("notificationsEnabled")).toBool() ? 1 : 0, at, at});
    t.commit();
    return ApiReply::ok(
        {{QStringLiteral("ok"), true}, {QStringLiteral("message"), QStringLiteral("تم تسجيل الجهاز.")}});
}

int Actions::notifyPeriodically() {
    static const QList<std::pair<QString, QString>> kinds{
        {QStringLiteral("تذكير بمستوى الخدمة"),
         QStringLiteral("البلاغ %1 «%2» يقترب من تجاوز مستوى الخدمة.")},
        {QStringLiteral("تحديث على بلاغ"),
         QStringLiteral("طرأ تحديث على البلاغ %1 «%2»، راجع سلسلة المعالجة.")},
        {QStringLiteral("متابعة من المشرف"),
         QStringLiteral("يرجى تحديث حالة البلاغ %1 «%2» قبل نهاية الدوام.")},
    };
    QStringList users;
    QSqlQuery s =
        m_db.exec(QStringLiteral("SELECT DISTINCT username FROM sessions WHERE expires_at > ?"), {now()});
    while (s.next())
        users << s.value(0).toString();
    int created = 0;
    Transaction t(m_db);
    for (const QString& u : users) {
        const auto account = loadAccount(u);
        if (!account)
            continue;
        const QList<TicketRow> reach = loadTickets(*account, 20);
        if (reach.isEmpty())
            continue;
        const TicketRow& ticket = reach.at(QRandomGenerator::global()->bounded(int(reach.size())));
        const auto& kind = kinds.at(QRandomGenerator::global()->bounded(int(kinds.size())));
        notifyUsers({u}, QString(), kind.first, kind.second.arg(ticket.maintenanceNo, ticket.title),
                    QStringLiteral("reminder"), ticket.maintenanceNo);
        ++created;
    }
    t.commit();
    return created;
}

} // namespace devserver
