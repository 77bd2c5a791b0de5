#pragma once

#include "database.h"
#include "exchange.h"
#include "faults.h"
#include "options.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <optional>

namespace devserver {

inline const QString kSessionCookie = QStringLiteral("KALVORIN_SESSION");
constexpr qint64 kSessionSeconds = 12 * 60 * 60;

// A signed-in staff member, as the actions need them.
struct Account {
    QString username;
    QString name;
    QString role;
    QString scopeId; // empty for the administrator, who reaches everything
    QString scopeName;
    QString unit; // the processing unit (group of scopes) the user belongs to
    QString department, region, division, section, orgId;
};

// One ticket row with what its answers need from the joined tables.
struct TicketRow {
    qint64 id = 0;
    QString maintenanceNo, title, description, state, priority;
    qint64 serviceId = 0;
    QString serviceName, scopeId, scopeName, scopePath, scopeUnit, handlerUser, handlerName;
    QString beneficiaryName, beneficiaryUser, beneficiaryMobile, beneficiaryEmail, beneficiaryNationalId;
    QString entityName, departmentName, location, officeName, channel, createdBy;
    qint64 createdAt = 0, updatedAt = 0;
    std::optional<qint64> closedAt;
    int slaMinutes = 0;
    qint64 attachmentCount = 0;
};

// What one user may do on one ticket now.
struct Permissions {
    bool inReach = false;
    bool comment = false, route = false, close = false, reject = false, managerRoute = false,
         jointProcessing = false, temporaryPassword = false, signatureChain = false;

    bool allows(const QString& operation) const;
    QJsonObject toJson() const;
};

// One call of an action: the request, and the session's user when there is one.
struct Call {
    const ApiRequest& request;
    std::optional<Account> account;
    QString sessionToken;
};

// Every action of the protocol. One source file per group of actions:
// session (status, login, logout), overview (dashboard, tickets), ticket
// (the detail), ticket actions (ticket_action, upload_attachment), creation
// (reference_data, the lookups, create_ticket), notifications (notifications,
// ack_notification, register_device) and the test control.
// Ends every session of `username`, as an expiry or a sign-in elsewhere would:
// its next request is answered as signed out. Returns how many there were.
int endSessions(Database& db, const QString& username);

class Actions {
public:
    using Handler = ApiReply (Actions::*)(Call&);
    struct Route {
        QByteArray method;
        bool needsSession = true;
        Handler handler = nullptr;
    };

    Actions(Database& db, const Options& options, FaultPlan& faults);

    std::optional<Route> route(const QString& action) const;
    std::optional<Account> accountForSession(const QString& token);

    // session
    ApiReply status(Call& call);
    ApiReply login(Call& call);
    ApiReply logout(Call& call);
    // overview
    ApiReply dashboard(Call& call);
    ApiReply tickets(Call& call);
    // ticket detail
    ApiReply ticket(Call& call);
    // ticket actions
    ApiReply ticketAction(Call& call);
    ApiReply uploadAttachment(Call& call);
    // lookups and creation
    ApiReply referenceData(Call& call);
    ApiReply beneficiaryLookup(Call& call);
    ApiReply accountLookup(Call& call);
    ApiReply createTicket(Call& call);
    // notifications and device
    ApiReply notifications(Call& call);
    ApiReply ackNotification(Call& call);
    ApiReply registerDevice(Call& call);
    // tests only (--test-controls)
    ApiReply testControl(Call& call);

    // --notify-every: one realistic notification for each signed-in user.
    int notifyPeriodically();

private:
    // Tickets within reach: a WHERE fragment over `t` and its bindings.
    std::pair<QString, QVariantList> reachClause(const Account& account) const;
    std::optional<TicketRow> loadTicket(const QString& maintenanceNo);
    QList<TicketRow> loadTickets(const Account& account, int limit);
    // Visits the tickets within reach, newest first, without holding them all.
    template <class F> void forEachTicket(const Account& account, int limit, F&& visit) {
        QSqlQuery q = ticketsQuery(account, limit);
        while (q.next())
            visit(rowFrom(q));
    }
    QSqlQuery ticketsQuery(const Account& account, int limit);
    static TicketRow rowFrom(const QSqlQuery& q);
    static QString ticketSelect();

    Permissions permissionsFor(const Account& account, const TicketRow& ticket);
    bool scopeHandles(const Account& account, const TicketRow& ticket);
    bool isParticipant(const TicketRow& ticket, const QString& scopeId);

    QJsonObject summaryJson(const TicketRow& t) const;
    QJsonObject detailJson(const TicketRow& t, const Account& account);
    QJsonObject userJson(const Account& account) const;
    QJsonObject scopeJson(const QSqlQuery& q) const; // id, type, type_label, name, path

    Account accountFrom(const QSqlQuery& q) const;
    std::optional<Account> loadAccount(const QString& username);

    // Writes
    void addLog(const TicketRow& ticket, const QString& key, const Account& actor, const QString& stateCode,
                const QString& note = {}, const QString& reason = {});
    void notifyUsers(const QStringList& usernames, const QString& except, const QString& title,
                     const QString& body, const QString& type, const QString& maintenanceNo);
    // Everyone concerned with a ticket: its handler, its scope's staff and
    // supervisors, participants' scopes, its reporter, the administrators.
    QStringList concernedUsers(const TicketRow& ticket);
    QStringList scopeStaff(const QString& scopeId);
    QString nextMaintenanceNo();

    // The reference data's reporterOptions, from the organisation table.
    QJsonObject reporterOptions();

    static std::optional<QString> stringMember(const QJsonObject& o, const QString& key);

    Database& m_db;
    const Options& m_options;
    FaultPlan& m_faults;
};

} // namespace devserver
