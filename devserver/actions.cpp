#include "actions.h"

#include "vocabulary.h"

#include <QDate>
#include <QHash>
#include <QSet>

namespace devserver {

bool Permissions::allows(const QString& operation) const {
    static const QHash<QString, bool Permissions::*> flags{
        {QStringLiteral("comment"), &Permissions::comment},
        {QStringLiteral("route"), &Permissions::route},
        {QStringLiteral("close"), &Permissions::close},
        {QStringLiteral("reject"), &Permissions::reject},
        {QStringLiteral("managerRoute"), &Permissions::managerRoute},
        {QStringLiteral("jointProcessing"), &Permissions::jointProcessing},
        {QStringLiteral("temporaryPassword"), &Permissions::temporaryPassword},
    };
    const auto it = flags.constFind(operation);
    return it != flags.cend() && this->*(*it);
}

QJsonObject Permissions::toJson() const {
    return {{QStringLiteral("comment"), comment},
            {QStringLiteral("route"), route},
            {QStringLiteral("close"), close},
            {QStringLiteral("reject"), reject},
            {QStringLiteral("managerRoute"), managerRoute},
            {QStringLiteral("jointProcessing"), jointProcessing},
            {QStringLiteral("temporaryPassword"), temporaryPassword},
            {QStringLiteral("signatureChain"), signatureChain}};
}

Actions::Actions(Database& db, const Options& options, FaultPlan& faults)
    : m_db(db), m_options(options), m_faults(faults) {}

std::optional<Actions::Route> Actions::route(const QString& action) const {
    static const QHash<QString, Route> routes{
        {QStringLiteral("status"), {"GET", false, &Actions::status}},
        {QStringLiteral("login"), {"POST", false, &Actions::login}},
        {QStringLiteral("logout"), {"GET", false, &Actions::logout}},
        {QStringLiteral("dashboard"), {"GET", true, &Actions::dashboard}},
        {QStringLiteral("tickets"), {"GET", true, &Actions::tickets}},
        {QStringLiteral("notifications"), {"GET", true, &Actions::notifications}},
        {QStringLiteral("reference_data"), {"GET", true, &Actions::referenceData}},
        {QStringLiteral("register_device"), {"POST", true, &Actions::registerDevice}},
        {QStringLiteral("ack_notification"), {"POST", true, &Actions::ackNotification}},
        {QStringLiteral("ticket"), {"GET", true, &Actions::ticket}},
        {QStringLiteral("beneficiary_lookup"), {"GET", true, &Actions::beneficiaryLookup}},
        {QStringLiteral("account_lookup"), {"GET", true, &Actions::accountLookup}},
        {QStringLiteral("create_ticket"), {"POST", true, &Actions::createTicket}},
        {QStringLiteral("ticket_action"), {"POST", true, &Actions::ticketAction}},
        {QStringLiteral("upload_attachment"), {"POST", true, &Actions::uploadAttachment}},
    };
    if (action == QLatin1String("test_control") && m_options.testControls)
        return Route{"", false, &Actions::testControl}; // GET reads, POST changes
    if (auto it = routes.constFind(action); it != routes.cend())
        return *it;
    return std::nullopt;
}

std::optional<QString> Actions::stringMember(const QJsonObject& o, const QString& key) {
    const QJsonValue v = o.value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

// ---- accounts ----

Account Actions::accountFrom(const QSqlQuery& q) const {
    Account a;
    a.username = q.value(0).toString();
    a.name = q.value(1).toString();
    a.role = q.value(2).toString();
    a.scopeId = q.value(3).toString();
    a.scopeName = q.value(4).toString();
    a.unit = q.value(5).toString();
    a.department = q.value(6).toString();
    a.region = q.value(7).toString();
    a.division = q.value(8).toString();
    a.section = q.value(9).toString();
    a.orgId = q.value(10).toString();
    return a;
}

static const char* const kAccountColumns =
    "SELECT u.username, u.name, u.role, COALESCE(u.scope_id, ''), COALESCE(s.name, ''), COALESCE(u.unit, ''),"
    " u.department, u.region, u.division, u.section, u.org_id FROM users u LEFT JOIN scopes s ON s.id = "
    "u.scope_id ";

std::optional<Account> Actions::loadAccount(const QString& username) {
    QSqlQuery q =
        m_db.exec(QString::fromUtf8(kAccountColumns) + QStringLiteral("WHERE u.username = ?"), {username});
    if (!q.next())
        return std::nullopt;
    return accountFrom(q);
}

std::optional<Account> Actions::accountForSession(const QString& token) {
    if (token.isEmpty())
        return std::nullopt;
    QSqlQuery q =
        m_db.exec(QString::fromUtf8(kAccountColumns) +
                      QStringLiteral("JOIN sessions x ON x.username = u.username WHERE x.token = ? AND "
                                     "x.expires_at > ?"),
                  {token, now()});
    if (!q.next())
        return std::nullopt;
    return accountFrom(q);
}

QJsonObject Actions::userJson(const Account& a) const {
    return {{QStringLiteral("username"), a.username},
            {QStringLiteral("name"), a.name},
            {QStringLiteral("role"), roleLabel(a.role)},
            {QStringLiteral("scope"),
             a.scopeName.isEmpty() ? QStringLiteral("جميع جهات المعالجة") : a.scopeName}};
}

// ---- tickets ----

QString Actions::ticketSelect() {
    return QStringLiteral(
        "SELECT t.id, t.maintenance_no, t.title, t.description, t.state, t.priority, COALESCE(t.service_id, "
        "0),"
        " COALESCE(sv.name, ''), COALESCE(t.scope_id, ''), COALESCE(s.name, ''), COALESCE(s.path, ''),"
        " COALESCE(s.unit, ''), COALESCE(t.handler_user, ''), COALESCE(h.name, ''), t.beneficiary_name,"
        " t.beneficiary_user, t.beneficiary_mobile, t.beneficiary_email, t.beneficiary_national_id, "
        "t.entity_name,"
        " t.department_name, t.location, t.office_name, t.channel, COALESCE(t.created_by, ''), t.created_at,"
        " t.updated_at, t.closed_at, t.sla_minutes,"
        " (SELECT COUNT(*) FROM attachments a WHERE a.ticket_id = t.id)"
        " FROM tickets t LEFT JOIN services sv ON sv.id = t.service_id LEFT JOIN scopes s ON s.id = "
        "t.scope_id"
        " LEFT JOIN users h ON h.username = t.handler_user ");
}

TicketRow Actions::rowFrom(const QSqlQuery& q) {
    TicketRow t;
    int i = 0;
    t.id = q.value(i++).toLongLong();
    t.maintenanceNo = q.value(i++).toString();
    t.title = q.value(i++).toString();
    t.description = q.value(i++).toString();
    t.state = q.value(i++).toString();
    t.priority = q.value(i++).toString();
    t.serviceId = q.value(i++).toLongLong();
    t.serviceName = q.value(i++).toString();
    t.scopeId = q.value(i++).toString();
    t.scopeName = q.value(i++).toString();
    t.scopePath = q.value(i++).toString();
    t.scopeUnit = q.value(i++).toString();
    t.handlerUser = q.value(i++).toString();
    t.handlerName = q.value(i++).toString();
    t.beneficiaryName = q.value(i++).toString();
    t.beneficiaryUser = q.value(i++).toString();
    t.beneficiaryMobile = q.value(i++).toString();
    t.beneficiaryEmail = q.value(i++).toString();
    t.beneficiaryNationalId = q.value(i++).toString();
    t.entityName = q.value(i++).toString();
    t.departmentName = q.value(i++).toString();
    t.location = q.value(i++).toString();
    t.officeName = q.value(i++).toString();
    t.channel = q.value(i++).toString();
    t.createdBy = q.value(i++).toString();
    t.createdAt = q.value(i++).toLongLong();
    t.updatedAt = q.value(i++).toLongLong();
    if (!q.value(i).isNull())
        t.closedAt = q.value(i).toLongLong();
    ++i;
    t.slaMinutes = q.value(i++).toInt();
    t.attachmentCount = q.value(i++).toLongLong();
    return t;
}

std::pair<QString, QVariantList> Actions::reachClause(const Account& a) const {
    if (a.role == role::Admin)
        return {QStringLiteral("1 = 1"), {}};
    if (a.role == role::Supervisor)
        return {QStringLiteral("(t.scope_id IN (SELECT id FROM scopes WHERE unit = ?) OR t.created_by = ? OR "
                               "t.handler_user = ? OR EXISTS (SELECT 1 FROM participants p JOIN scopes ps ON "
                               "ps.id = p.scope_id WHERE p.ticket_id = t.id AND ps.unit = ?))"),
                {a.unit, a.username, a.username, a.unit}};
    return {
        QStringLiteral("(t.scope_id = ? OR t.handler_user = ? OR t.created_by = ? OR EXISTS (SELECT 1 FROM "
                       "participants p WHERE p.ticket_id = t.id AND p.scope_id = ?))"),
        {a.scopeId, a.username, a.username, a.scopeId}};
}

std::optional<TicketRow> Actions::loadTicket(const QString& maintenanceNo) {
    QSqlQuery q = m_db.exec(ticketSelect() + QStringLiteral("WHERE t.maintenance_no = ?"), {maintenanceNo});
    if (!q.next())
        return std::nullopt;
    return rowFrom(q);
}

QSqlQuery Actions::ticketsQuery(const Account& account, int limit) {
    auto [where, binds] = reachClause(account);
    QString sql = ticketSelect() + QStringLiteral("WHERE ") + where +
                  QStringLiteral(" ORDER BY t.created_at DESC, t.id DESC");
    if (limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(limit);
    return m_db.exec(sql, binds);
}

QList<TicketRow> Actions::loadTickets(const Account& account, int limit) {
    QList<TicketRow> out;
    forEachTicket(account, limit, [&out](TicketRow&& row) { out.append(std::move(row)); });
    return out;
}

bool Actions::isParticipant(const TicketRow& ticket, const QString& scopeId) {
    if (scopeId.isEmpty())
        return false;
    return m_db.scalar(
                   QStringLiteral("SELECT COUNT(*) FROM participants WHERE ticket_id = ? AND scope_id = ?"),
                   {ticket.id, scopeId})
               .toLongLong() > 0;
}

bool Actions::scopeHandles(const Account& a, const TicketRow& t) {
    if (a.role == role::Admin)
        return true;
    if (a.role == role::Supervisor) {
        if (t.scopeUnit == a.unit)
            return true;
        return m_db.scalar(QStringLiteral(
                               "SELECT COUNT(*) FROM participants p JOIN scopes s ON s.id = p.scope_id "
                               "WHERE p.ticket_id = ? AND s.unit = ?"),
                           {t.id, a.unit})
                   .toLongLong() > 0;
    }
    return t.scopeId == a.scopeId || t.handlerUser == a.username || isParticipant(t, a.scopeId);
}

Permissions Actions::permissionsFor(const Account& a, const TicketRow& t) {
    Permissions p;
    const bool handles = scopeHandles(a, t);
    p.inReach = handles || t.createdBy == a.username;
    if (!p.inReach)
        return p;
    const bool open = isOpenState(t.state);
    const bool owner = a.role != role::Agent || t.scopeId == a.scopeId || t.handlerUser == a.username;
    p.comment = open;
    p.route = open && handles && a.role != role::Agent;
    p.close = open && handles && owner && t.state != state::AwaitingManager;
    p.reject = open && handles && a.role != role::Agent;
    p.managerRoute = open && handles && a.role == role::Agent && t.state != state::AwaitingManager;
    p.jointProcessing = open && handles && owner;
    p.temporaryPassword = open && handles && owner && !t.beneficiaryNationalId.isEmpty();
    p.signatureChain = a.role != role::Agent;
    return p;
}

QJsonObject Actions::summaryJson(const TicketRow& t) const {
    QJsonObject o{
        {QStringLiteral("maintenanceNo"), t.maintenanceNo},
        {QStringLiteral("title"), t.title},
        {QStringLiteral("state"), stateName(t.state)},
        {QStringLiteral("priority"), priorityName(t.priority)},
        {QStringLiteral("priorityCode"), t.priority},
        {QStringLiteral("scope"), t.scopePath.isEmpty() ? t.scopeName : t.scopePath},
        {QStringLiteral("beneficiaryName"), t.beneficiaryName},
        {QStringLiteral("createdAt"), formatTime(t.createdAt)},
        {QStringLiteral("updatedAt"), formatTime(t.updatedAt)},
        {QStringLiteral("attachmentCount"), t.attachmentCount},
        {QStringLiteral("sla"), slaJson(slaFor(t.createdAt, t.closedAt, t.slaMinutes, now()))},
    };
    if (!t.scopeId.isEmpty()) {
        o.insert(QStringLiteral("assignedScopeId"), t.scopeId);
        o.insert(QStringLiteral("assignedScopeName"), t.scopeName);
    }
    if (!t.handlerUser.isEmpty()) {
        o.insert(QStringLiteral("assignedHandlerUser"), t.handlerUser);
        o.insert(QStringLiteral("assignedHandlerName"), t.handlerName);
    }
    return o;
}

QJsonObject Actions::scopeJson(const QSqlQuery& q) const {
    QJsonObject o{{QStringLiteral("id"), q.value(0).toString()}};
    const QString keys[] = {QStringLiteral("type"), QStringLiteral("typeLabel"), QStringLiteral("name"),
                            QStringLiteral("path")};
    for (int i = 0; i < 4; ++i)
        o.insert(keys[i], q.value(i + 1).isNull() ? QJsonValue(QJsonValue::Null)
                                                  : QJsonValue(q.value(i + 1).toString()));
    return o;
}

QJsonObject Actions::detailJson(const TicketRow& t, const Account& account) {
    QJsonObject o = summaryJson(t);
    o.remove(QStringLiteral("priorityCode"));
    auto put = [&o](const char* key, const QString& value) {
        if (!value.isEmpty())
            o.insert(QLatin1String(key), value);
    };
    put("beneficiaryMobile", t.beneficiaryMobile);
    put("beneficiaryEmail", t.beneficiaryEmail);
    put("beneficiaryNationalId", t.beneficiaryNationalId);
    put("beneficiaryEntityName", t.entityName);
    put("beneficiaryDepartment", t.departmentName);
    put("beneficiaryLocation", t.location);
    put("ticketOfficeName", t.officeName);
    put("serviceName", t.serviceName);
    put("description", t.description);
    put("channel", t.channel);
    put("office", t.scopeName.isEmpty() ? QString() : QStringLiteral("مكتب ") + t.scopeName);
    put("handler", t.handlerName);
    o.insert(QStringLiteral("workflow"), workflowFor(t.state, !t.handlerUser.isEmpty()));

    QJsonArray participants;
    QSqlQuery p =
        m_db.exec(QStringLiteral("SELECT username, name, role FROM participants WHERE ticket_id = ? ORDER "
                                 "BY created_at, scope_id"),
                  {t.id});
    while (p.next()) {
        QJsonObject e;
        if (!p.value(0).isNull())
            e.insert(QStringLiteral("username"), p.value(0).toString());
        if (!p.value(1).isNull())
            e.insert(QStringLiteral("name"), p.value(1).toString());
        if (!p.value(2).isNull())
            e.insert(QStringLiteral("role"), p.value(2).toString());
        participants.append(e);
    }
    o.insert(QStringLiteral("participants"), participants);

    // The chain is shown newest first.
    QJsonArray actions;
    QSqlQuery l =
        m_db.exec(QStringLiteral("SELECT key, actor, state, priority, created_at, note, reason FROM "
                                 "ticket_log WHERE ticket_id = ? ORDER BY created_at DESC, id DESC"),
                  {t.id});
    while (l.next()) {
        QJsonObject e{{QStringLiteral("key"), l.value(0).toString()},
                      {QStringLiteral("actor"), l.value(1).toString()},
                      {QStringLiteral("createdAt"), formatTime(l.value(4).toLongLong())}};
        if (!l.value(2).isNull())
            e.insert(QStringLiteral("state"), stateName(l.value(2).toString()));
        if (!l.value(3).isNull())
            e.insert(QStringLiteral("priority"), priorityName(l.value(3).toString()));
        if (!l.value(5).toString().isEmpty())
            e.insert(QStringLiteral("note"), l.value(5).toString());
        if (!l.value(6).toString().isEmpty())
            e.insert(QStringLiteral("reason"), l.value(6).toString());
        actions.append(e);
    }
    o.insert(QStringLiteral("actions"), actions);
    o.insert(QStringLiteral("availableActions"), permissionsFor(account, t).toJson());

    // Scopes that may still join: every scope but the assigned one and those already in.
    QJsonArray joinable;
    QSqlQuery s =
        m_db.exec(QStringLiteral("SELECT id, type, type_label, name, path FROM scopes WHERE id <> ? AND id "
                                 "NOT IN (SELECT scope_id FROM participants WHERE ticket_id = ?) ORDER BY "
                                 "sort"),
                  {t.scopeId, t.id});
    while (s.next())
        joinable.append(scopeJson(s));
    o.insert(QStringLiteral("participantScopes"), joinable);

    QJsonArray attachments;
    QSqlQuery a =
        m_db.exec(QStringLiteral("SELECT id, name, size, mime, purpose, created_at FROM attachments WHERE "
                                 "ticket_id = ? ORDER BY created_at, id"),
                  {t.id});
    while (a.next())
        attachments.append(QJsonObject{{QStringLiteral("id"), a.value(0).toLongLong()},
                                       {QStringLiteral("name"), a.value(1).toString()},
                                       {QStringLiteral("size"), a.value(2).toLongLong()},
                                       {QStringLiteral("mime"), a.value(3).toString()},
                                       {QStringLiteral("purpose"), a.value(4).toString()},
                                       {QStringLiteral("createdAt"), formatTime(a.value(5).toLongLong())}});
    o.insert(QStringLiteral("attachments"), attachments);
    return o;
}

// ---- writes ----

void Actions::addLog(const TicketRow& ticket, const QString& key, const Account& actor,
                     const QString& stateCode, const QString& note, const QString& reason) {
    const qint64 at = now();
    m_db.exec(QStringLiteral(
                  "INSERT INTO ticket_log(ticket_id, key, actor, actor_user, state, priority, note, reason, "
                  "created_at) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {ticket.id, key, actor.name, actor.username, stateCode, ticket.priority, note, reason, at});
    m_db.exec(QStringLiteral("UPDATE tickets SET updated_at = ? WHERE id = ?"), {at, ticket.id});
}

QStringList Actions::scopeStaff(const QString& scopeId) {
    QStringList out;
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT username FROM users WHERE scope_id = ? OR (role = 'supervisor' AND "
                                 "unit = (SELECT unit FROM scopes WHERE id = ?))"),
                  {scopeId, scopeId});
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList Actions::concernedUsers(const TicketRow& t) {
    QStringList users;
    if (!t.handlerUser.isEmpty())
        users << t.handlerUser;
    if (!t.createdBy.isEmpty())
        users << t.createdBy;
    if (t.handlerUser.isEmpty())
        users << scopeStaff(t.scopeId);
    else {
        QSqlQuery q =
            m_db.exec(QStringLiteral("SELECT username FROM users WHERE role = 'supervisor' AND unit = ?"),
                      {t.scopeUnit});
        while (q.next())
            users << q.value(0).toString();
    }
    QSqlQuery p = m_db.exec(QStringLiteral("SELECT scope_id FROM participants WHERE ticket_id = ?"), {t.id});
    while (p.next())
        users << scopeStaff(p.value(0).toString());
    users.removeDuplicates();
    return users;
}

void Actions::notifyUsers(const QStringList& usernames, const QString& except, const QString& title,
                          const QString& body, const QString& type, const QString& maintenanceNo) {
    const qint64 at = now();
    QStringList once = usernames;
    once.removeDuplicates(); // one notice per person, however many roles tie them to the ticket
    for (const QString& u : once) {
        if (u == except || u.isEmpty())
            continue;
        // Only staff accounts receive notifications.
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM users WHERE username = ?"), {u}).toLongLong() ==
            0)
            continue;
        m_db.exec(
            QStringLiteral("INSERT INTO notifications(username, title, body, type, is_read, created_at, "
                           "maintenance_no) VALUES(?, ?, ?, ?, 0, ?, ?)"),
            {u, title, body, type, at, maintenanceNo});
    }
}

QString Actions::nextMaintenanceNo() {
    const int year = QDate::currentDate().year();
    const QString key = QStringLiteral("ticket_sequence_%1").arg(year);
    qint64 next = m_db.meta(key, QStringLiteral("0")).toLongLong() + 1;
    QString number;
    // Skip numbers already taken (a bench seed may have used the same year).
    do {
        number = QStringLiteral("MNT-%1-%2").arg(year).arg(next, 5, 10, QLatin1Char('0'));
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM tickets WHERE maintenance_no = ?"), {number})
                .toLongLong() == 0)
            break;
        ++next;
    } while (true);
    m_db.setMeta(key, QString::number(next));
    return number;
}

} // namespace devserver
