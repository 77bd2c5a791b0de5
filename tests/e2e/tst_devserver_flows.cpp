// The development server behaves like a help-desk server: sessions held in a
// cookie, a created ticket shows in the lists and counters, each ticket action
// changes the ticket, leaves its log entry and notifies the other people concerned.

#include "e2esupport.h"
#include "testenv.h"
#include "ticketnumberindex.h"

#include <QJsonArray>
#include <QNetworkCookie>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace kalvorin;
using namespace kalvorin::e2e;

namespace {

qint64 unreadOf(Client& c) {
    auto r = c.call<NotificationsResponse>(QStringLiteral("notifications"));
    return r ? r->unread.value_or(-1) : -1;
}

// An unread notification that names the ticket as the client reads it (a whole token of its
// title or body), so that it opens the ticket in the app.
bool hasNotificationAbout(Client& c, const QString& number) {
    auto r = c.call<NotificationsResponse>(QStringLiteral("notifications"));
    if (!r)
        return false;
    const TicketNumberIndex ticket(QStringList{number});
    for (const MobileNotification& n : r->notifications)
        if (!n.isRead.value_or(true) && ticket.namedBy(n) == number)
            return true;
    return false;
}

} // namespace

class DevServerFlows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sessionCookieLifecycle();
    void wrongPasswordIsRefused();
    void createdTicketShowsInListsAndCounts();
    void createTicketChecksEachMember_data();
    void createTicketChecksEachMember();
    void ticketActionChangesTicketAndNotifies_data();
    void ticketActionChangesTicketAndNotifies();
    void shortNoteIsRefused();
    void unknownTicketHasNoTicket();
    void notificationsAreOwnAndDevicesStored();

private:
    RunningServer m_server;
};

void DevServerFlows::initTestCase() {
    QVERIFY2(m_server.start(), qPrintable(m_server.output()));
}

void DevServerFlows::sessionCookieLifecycle() {
    Client c(m_server.baseURL());
    auto before = c.call<DashboardResponse>(QStringLiteral("dashboard"));
    QVERIFY(!before);
    QCOMPARE(before.failure().code, 401);
    QVERIFY(before.description() != KalvorinAPI::kFallbackMessage); // the server's Arabic message

    QVERIFY(c.login(kAgent, kAgentPassword));
    const QList<QNetworkCookie> cookies = c.api().cookieJar()->cookiesForUrl(QUrl(m_server.baseURL()));
    QCOMPARE(cookies.size(), 1);
    const QNetworkCookie session = cookies.first();
    QVERIFY(session.isHttpOnly());
    QCOMPARE(session.path(), QStringLiteral("/"));
    QVERIFY(session.value().size() >= 32);
    // Max-Age of 12 hours: still valid after a restart of the app.
    const qint64 lifetime = QDateTime::currentDateTime().secsTo(session.expirationDate());
    QVERIFY2(lifetime > 12 * 3600 - 120 && lifetime <= 12 * 3600, qPrintable(QString::number(lifetime)));

    QCOMPARE(c.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(true));
    QVERIFY(c.call<DashboardResponse>(QStringLiteral("dashboard")));

    // A second phone has its own session; the first one's logout does not end it.
    Client other(m_server.baseURL());
    QVERIFY(other.login(kSupervisor, kSupervisorPassword));
    QVERIFY(c.call<APIMessage>(QStringLiteral("logout")));
    QCOMPARE(c.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(false));
    QCOMPARE(c.call<TicketsResponse>(QStringLiteral("tickets")).failure().code, 401);
    QCOMPARE(other.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(true));
}

void DevServerFlows::wrongPasswordIsRefused() {
    Client c(m_server.baseURL());
    auto r = c.login(kAgent, QStringLiteral("not-the-password"));
    QVERIFY(!r);
    QCOMPARE(r.failure().code, 401);
    QVERIFY(r.description() != KalvorinAPI::kFallbackMessage);
    QCOMPARE(c.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(false));
}

void DevServerFlows::createdTicketShowsInListsAndCounts() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    auto before = c.call<DashboardResponse>(QStringLiteral("dashboard"));
    QVERIFY(before);

    QJsonObject body = validTicketBody(103); // network outage: critical, network scope
    body.insert(QStringLiteral("priority"), QStringLiteral("حرجة"));
    body.insert(QStringLiteral("participantScopeIds"), QJsonArray{QStringLiteral("identity")});
    body.insert(QStringLiteral("participantReason"), QStringLiteral("تحقق من الصلاحيات"));
    const QByteArray small("a small text file");
    body.insert(
        QStringLiteral("attachments"),
        QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("ملاحظة.txt")},
                               {QStringLiteral("mime"), QStringLiteral("text/plain")},
                               {QStringLiteral("contentBase64"), QString::fromLatin1(small.toBase64())}},
                   QJsonObject{{QStringLiteral("name"), QStringLiteral("تالف.png")},
                               {QStringLiteral("mime"), QStringLiteral("image/png")},
                               {QStringLiteral("contentBase64"), QStringLiteral("@@not base64@@")}},
                   QJsonObject{{QStringLiteral("name"), QStringLiteral("كبير.bin")},
                               {QStringLiteral("mime"), QStringLiteral("application/octet-stream")},
                               {QStringLiteral("contentBase64"),
                                QString::fromLatin1(QByteArray(10 * 1024 * 1024 + 1, 'x').toBase64())}}});
    auto created = c.post<CreateTicketResponse>(QStringLiteral("create_ticket"), body);
    QVERIFY2(created, qPrintable(created.description()));
    QVERIFY(created->ok);
    const QString number = *created->maintenanceNo;
    QVERIFY(created->message->startsWith(QStringLiteral("تم إنشاء البلاغ")));
    QVERIFY(created->message->contains(number));
    QCOMPARE(created->attachmentsCount, std::optional<qint64>(1));
    QCOMPARE(created->attachmentErrors->size(), 2);
    QVERIFY(created->attachmentErrors->at(0).contains(QStringLiteral("تالف.png")));
    QVERIFY(created->attachmentErrors->at(1).contains(QStringLiteral("كبير.bin")));

    auto list = c.call<TicketsResponse>(QStringLiteral("tickets"));
    QVERIFY(list);
    QCOMPARE(list->tickets.first().maintenanceNo, number); // the reporter sees it, newest first
    QCOMPARE(list->tickets.first().priority, std::optional<QString>(QStringLiteral("حرجة")));
    QCOMPARE(list->tickets.first().assignedScopeId, std::optional<QString>(QStringLiteral("it-network")));
    QCOMPARE(list->tickets.first().attachmentCount, std::optional<qint64>(1));

    auto after = c.call<DashboardResponse>(QStringLiteral("dashboard"));
    QVERIFY(after);
    QCOMPARE(*after->summary->total, *before->summary->total + 1);
    QCOMPARE(*after->summary->open, *before->summary->open + 1);
    QCOMPARE(*after->summary->critical, *before->summary->critical + 1);
    const QString critical = QStringLiteral("حرجة");
    QCOMPARE(after->priorityDistribution->value(critical), before->priorityDistribution->value(critical) + 1);
    QCOMPARE(after->latest->first().maintenanceNo, number);

    // Its detail: the creation and the joint unit in the chain, the stored file.
    auto detail = c.ticket(number);
    QVERIFY(detail);
    QCOMPARE(detail->actions->last().key, QStringLiteral("ticket.mobile.created"));
    QCOMPARE(detail->participants->size(), 1);
    QCOMPARE(detail->attachments->first().size, std::optional<qint64>(small.size()));
    QCOMPARE(detail->beneficiaryNationalId, std::optional<QString>(QStringLiteral("1098765432")));

    // The network scope and the joint unit hear about it; the reporter does not.
    Client net(m_server.baseURL()), idm(m_server.baseURL());
    QVERIFY(net.login(QStringLiteral("agent.net"), kAgentPassword));
    QVERIFY(idm.login(QStringLiteral("agent.idm"), kAgentPassword));
    QVERIFY(hasNotificationAbout(net, number));
    QVERIFY(hasNotificationAbout(idm, number));
    QVERIFY(!hasNotificationAbout(c, number));
    // The beneficiary is remembered for the next lookup.
    auto person =
        c.call<LookupPersonResponse>(QStringLiteral("beneficiary_lookup"), QStringLiteral("GET"),
                                     {{QStringLiteral("nationalId"), QStringLiteral("1098765432")}});
    QVERIFY(person && person->found.value_or(false));
    QCOMPARE(person->beneficiary->fullName, std::optional<QString>(QStringLiteral("سالم التجريبي")));
}

void DevServerFlows::createTicketChecksEachMember_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<QJsonValue>("value"); // undefined: left out
    const QJsonObject valid = validTicketBody();
    for (auto it = valid.begin(); it != valid.end(); ++it) {
        QTest::addRow("%s missing", qPrintable(it.key())) << it.key() << QJsonValue(QJsonValue::Undefined);
        // A value of the wrong JSON type: text where a number or list belongs, a number for text.
        const QJsonValue wrong = it.value().isString() ? QJsonValue(7) : QJsonValue(QStringLiteral("7"));
        QTest::addRow("%s mistyped", qPrintable(it.key())) << it.key() << wrong;
    }
    QTest::newRow("national id of 9 digits")
        << QStringLiteral("nationalId") << QJsonValue(QStringLiteral("109876543"));
    QTest::newRow("mobile not starting 05")
        << QStringLiteral("contactMobile") << QJsonValue(QStringLiteral("0651234567"));
    QTest::newRow("title of 3 letters") << QStringLiteral("title") << QJsonValue(QStringLiteral("  عطل "));
    QTest::newRow("unknown service") << QStringLiteral("serviceCatalogId") << QJsonValue(999);
    QTest::newRow("fractional service") << QStringLiteral("serviceCatalogId") << QJsonValue(101.5);
    QTest::newRow("unknown priority") << QStringLiteral("priority") << QJsonValue(QStringLiteral("عاجل"));
    QTest::newRow("section outside the organisation")
        << QStringLiteral("reporterSection") << QJsonValue(QStringLiteral("قسم وهمي"));
    QTest::newRow("joint unit without a reason")
        << QStringLiteral("participantScopeIds") << QJsonValue(QJsonArray{QStringLiteral("identity")});
}

void DevServerFlows::createTicketChecksEachMember() {
    QFETCH(QString, member);
    QFETCH(QJsonValue, value);
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    const qint64 total = c.call<TicketsResponse>(QStringLiteral("tickets"))->tickets.size();
    QJsonObject body = validTicketBody();
    if (value.isUndefined())
        body.remove(member);
    else
        body.insert(member, value);
    auto r = c.post<CreateTicketResponse>(QStringLiteral("create_ticket"), body);
    QVERIFY(!r);
    QCOMPARE(r.failure().code, 422);
    QVERIFY2(r.description() != KalvorinAPI::kFallbackMessage, qPrintable(r.description()));
    QCOMPARE(c.call<TicketsResponse>(QStringLiteral("tickets"))->tickets.size(), total); // nothing stored
}

void DevServerFlows::ticketActionChangesTicketAndNotifies_data() {
    QTest::addColumn<QString>("actor");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("scope");
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("logKey");
    QTest::addColumn<QString>("state");    // after the action
    QTest::addColumn<QString>("notified"); // someone else who must hear of it
    QTest::newRow("comment") << kAgent << QStringLiteral("comment") << QStringLiteral("")
                             << QStringLiteral("") << QStringLiteral("") << QStringLiteral("ticket.comment")
                             << QStringLiteral("جديد") << kSupervisor;
    QTest::newRow("route") << kSupervisor << QStringLiteral("route") << QStringLiteral("it-network")
                           << QStringLiteral("agent.net") << QStringLiteral("خارج نطاق اختصاص الجهة")
                           << QStringLiteral("ticket.route") << QStringLiteral("قيد المعالجة")
                           << QStringLiteral("agent.net");
    QTest::newRow("close") << kAgent << QStringLiteral("close") << QStringLiteral("") << QStringLiteral("")
                           << QStringLiteral("") << QStringLiteral("ticket.close") << QStringLiteral("مغلق")
                           << kSupervisor;
    QTest::newRow("reject") << kSupervisor << QStringLiteral("reject") << QStringLiteral("")
                            << QStringLiteral("") << QStringLiteral("البلاغ مكرر")
                            << QStringLiteral("ticket.reject") << QStringLiteral("مرفوض")
                            << QStringLiteral("agent.it");
    QTest::newRow("manager route") << kAgent << QStringLiteral("managerRoute") << QStringLiteral("")
                                   << QStringLiteral("") << QStringLiteral("يتطلب خبرة فنية متخصصة")
                                   << QStringLiteral("ticket.escalation_approval.requested")
                                   << QStringLiteral("بانتظار اعتماد الإحالة") << kAdmin;
    QTest::newRow("temporary password")
        << kAgent << QStringLiteral("temporaryPassword") << QStringLiteral("") << QStringLiteral("")
        << QStringLiteral("") << QStringLiteral("ticket.temp_password.sent") << QStringLiteral("جديد")
        << QStringLiteral("");
    QTest::newRow("joint processing")
        << kAgent << QStringLiteral("jointProcessing") << QStringLiteral("hr-services") << QStringLiteral("")
        << QStringLiteral("") << QStringLiteral("ticket.participant.added") << QStringLiteral("جديد")
        << QStringLiteral("agent.hr");
}

void DevServerFlows::ticketActionChangesTicketAndNotifies() {
    QFETCH(QString, actor);
    QFETCH(QString, operation);
    QFETCH(QString, scope);
    QFETCH(QString, handler);
    QFETCH(QString, reason);
    QFETCH(QString, logKey);
    QFETCH(QString, state);
    QFETCH(QString, notified);

    Client reporter(m_server.baseURL());
    QVERIFY(reporter.login(QStringLiteral("agent.sys"), kAgentPassword));
    const QString number = createTicket(reporter, 101);
    QVERIFY(!number.isEmpty());

    Client c(m_server.baseURL());
    QVERIFY(c.login(actor, passwordOf(actor)));
    std::unique_ptr<Client> other;
    qint64 unreadBefore = 0;
    if (!notified.isEmpty()) {
        other = std::make_unique<Client>(m_server.baseURL());
        QVERIFY(other->login(notified, passwordOf(notified)));
        unreadBefore = unreadOf(*other);
    }
    const qint64 actorUnread = unreadOf(c);

    auto r = c.post<APIMessage>(
        QStringLiteral("ticket_action"),
        actionBody(number, operation, QStringLiteral("شرح الإجراء للمتابعة"), scope, handler, reason));
    QVERIFY2(r, qPrintable(r.description()));
    QCOMPARE(r->ok, std::optional<bool>(true));
    QVERIFY(r->message->contains(QStringLiteral("تم")));

    Client admin(m_server.baseURL()); // sees every ticket, whatever the action did to its reach
    QVERIFY(admin.login(kAdmin, kAdminPassword));
    auto detail = admin.ticket(number);
    QVERIFY2(detail, qPrintable(detail.description()));
    QCOMPARE(detail->actions->first().key, logKey); // newest first
    QCOMPARE(detail->actions->first().state, std::optional<QString>(state));
    QCOMPARE(detail->state, std::optional<QString>(state));
    if (operation == QLatin1String("route")) {
        QCOMPARE(detail->assignedScopeId, std::optional<QString>(scope));
        QCOMPARE(detail->assignedHandlerUser, std::optional<QString>(handler));
    }
    if (operation == QLatin1String("jointProcessing")) {
        QCOMPARE(detail->participants->size(), 1);
        for (const AssignmentScope& s : *detail->participantScopes)
            QVERIFY(s.id != scope); // no longer offered
    }
    if (other) {
        QCOMPARE(unreadOf(*other), unreadBefore + 1);
        QVERIFY(hasNotificationAbout(*other, number));
    }
    QCOMPARE(unreadOf(c), actorUnread); // nobody is told about their own action
}

void DevServerFlows::shortNoteIsRefused() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    const QString number = createTicket(c, 101);
    // Seven characters, and eight spaces around four letters: both too short for a comment.
    for (const QString& note : {QStringLiteral("سبعة حر"), QStringLiteral("    عطل.    ")}) {
        auto r = c.post<APIMessage>(QStringLiteral("ticket_action"),
                                    actionBody(number, QStringLiteral("comment"), note));
        QVERIFY(!r);
        QCOMPARE(r.failure().code, 422);
    }
    // A rejection needs no note, only a reason; it is the supervisor's to make.
    Client sup(m_server.baseURL());
    QVERIFY(sup.login(kSupervisor, kSupervisorPassword));
    auto r = sup.post<APIMessage>(
        QStringLiteral("ticket_action"),
        actionBody(number, QStringLiteral("reject"), QString(), {}, {}, QStringLiteral("البلاغ مكرر")));
    QVERIFY2(r && r->ok.value_or(false), qPrintable(r.description()));
}

void DevServerFlows::unknownTicketHasNoTicket() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    auto r = c.call<TicketResponse>(QStringLiteral("ticket"), QStringLiteral("GET"),
                                    {{QStringLiteral("maintenanceNo"), QStringLiteral("MNT-1999-00001")}});
    QVERIFY2(r, qPrintable(r.description()));
    QVERIFY(!r->ok);
    QVERIFY(!r->ticket);
    QVERIFY(r->message && !r->message->isEmpty());
}

void DevServerFlows::notificationsAreOwnAndDevicesStored() {
    Client agent(m_server.baseURL()), supervisor(m_server.baseURL());
    QVERIFY(agent.login(kAgent, kAgentPassword));
    QVERIFY(supervisor.login(kSupervisor, kSupervisorPassword));
    auto theirs = supervisor.call<NotificationsResponse>(QStringLiteral("notifications"));
    QVERIFY(theirs);
    qint64 unreadId = -1;
    for (const MobileNotification& n : theirs->notifications)
        if (!n.isRead.value_or(true))
            unreadId = n.id;
    QVERIFY(unreadId > 0);
    // Someone else's notification cannot be marked read.
    auto refused = agent.post<APIMessage>(QStringLiteral("ack_notification"),
                                          {{QStringLiteral("notificationId"), unreadId}});
    QVERIFY(!refused);
    QCOMPARE(refused.failure().code, 404);
    QCOMPARE(unreadOf(supervisor), theirs->unread.value_or(-1));

    const QString deviceId = QStringLiteral("9C5B94B1-35AD-49BB-B118-8E8FC24ABF80");
    auto registered = agent.post<MobileDeviceResponse>(
        QStringLiteral("register_device"), {{QStringLiteral("deviceId"), deviceId},
                                            {QStringLiteral("platform"), QStringLiteral("ios")},
                                            {QStringLiteral("appVersion"), QStringLiteral("1.0.0")},
                                            {QStringLiteral("serverURL"), m_server.baseURL()},
                                            {QStringLiteral("notificationsEnabled"), false}});
    QVERIFY2(registered && registered->ok, qPrintable(registered.description()));
    auto mistyped =
        agent.post<MobileDeviceResponse>(QStringLiteral("register_device"),
                                         {{QStringLiteral("deviceId"), deviceId},
                                          {QStringLiteral("platform"), QStringLiteral("ios")},
                                          {QStringLiteral("appVersion"), QStringLiteral("1.0.0")},
                                          {QStringLiteral("serverURL"), m_server.baseURL()},
                                          {QStringLiteral("notificationsEnabled"), QStringLiteral("true")}});
    QCOMPARE(mistyped.failure().code, 422);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("devices"));
        db.setDatabaseName(m_server.databasePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(
            QStringLiteral("SELECT username, platform, app_version, server_url, notifications_enabled FROM "
                           "devices WHERE device_id = '%1'")
                .arg(deviceId)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), kAgent);
        QCOMPARE(q.value(1).toString(), QStringLiteral("ios"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("1.0.0"));
        QCOMPARE(q.value(3).toString(), m_server.baseURL());
        QCOMPARE(q.value(4).toInt(), 0);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("devices"));
}

KALVORIN_TEST_MAIN(DevServerFlows)
#include "tst_devserver_flows.moc"
