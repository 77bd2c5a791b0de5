// Every action of the protocol, answered by the real development server and
// read through the client's own request client and strict records; and the
// actions each role may take on a ticket, as the server offers and enforces them.

#include "e2esupport.h"
#include "testenv.h"

#include <QJsonArray>
#include <QtTest>

using namespace kalvorin;
using namespace kalvorin::e2e;

namespace {

QStringList flagsOf(TicketAvailableActions a) {
    QStringList out;
    a.fields([&out](const char* key, std::optional<bool>& flag) {
        if (flag.value_or(false))
            out << QString::fromLatin1(key);
    });
    return out;
}

const QStringList kOperations{
    QStringLiteral("comment"),          QStringLiteral("route"),        QStringLiteral("close"),
    QStringLiteral("reject"),           QStringLiteral("managerRoute"), QStringLiteral("jointProcessing"),
    QStringLiteral("temporaryPassword")};

} // namespace

class DevServerConformance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyActionDecodesStrictly_data();
    void everyActionDecodesStrictly();
    void availableActionsFollowRoleStateAndScope_data();
    void availableActionsFollowRoleStateAndScope();

private:
    RunningServer m_server;
};

void DevServerConformance::initTestCase() {
    QVERIFY2(m_server.start(), qPrintable(m_server.output()));
}

void DevServerConformance::everyActionDecodesStrictly_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<qint64>("service"); // one that the user's own scope processes
    QTest::newRow("agent") << kAgent << qint64(101);
    QTest::newRow("supervisor") << kSupervisor << qint64(101);
    QTest::newRow("administrator") << kAdmin << qint64(110);
    QTest::newRow("agent of facilities") << QStringLiteral("agent.fac") << qint64(109);
}

void DevServerConformance::everyActionDecodesStrictly() {
    QFETCH(QString, user);
    QFETCH(qint64, service);
    Client c(m_server.baseURL());

    auto status = c.call<StatusResponse>(QStringLiteral("status"));
    QVERIFY2(status, qPrintable(status.description()));
    QVERIFY(status->ok);
    QCOMPARE(status->authenticated, std::optional<bool>(false));
    QVERIFY(status->database && status->database->ok.value_or(false));
    QVERIFY(status->serverTime && status->system);

    auto login = c.login(user, passwordOf(user));
    QVERIFY2(login, qPrintable(login.description()));
    QVERIFY(login->ok);
    QCOMPARE(login->user->username, std::optional<QString>(user));
    QVERIFY(!login->user->name->isEmpty() && !login->user->role->isEmpty() && !login->user->scope->isEmpty());
    QCOMPARE(c.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(true));

    auto dashboard = c.call<DashboardResponse>(QStringLiteral("dashboard"));
    QVERIFY2(dashboard, qPrintable(dashboard.description()));
    QVERIFY(dashboard->ok && dashboard->summary && dashboard->priorityDistribution && dashboard->latest);
    QCOMPARE(dashboard->user->username, std::optional<QString>(user));
    for (const QString& name : {QStringLiteral("حرجة"), QStringLiteral("عالية"), QStringLiteral("متوسطة"),
                                QStringLiteral("منخفضة")})
        QVERIFY2(dashboard->priorityDistribution->contains(name), qPrintable(name));

    auto tickets = c.call<TicketsResponse>(QStringLiteral("tickets"));
    QVERIFY2(tickets, qPrintable(tickets.description()));
    QVERIFY(!tickets->tickets.isEmpty());
    QCOMPARE(qint64(tickets->tickets.size()), *dashboard->summary->total);
    // Newest first, in both lists.
    QCOMPARE(dashboard->latest->first().maintenanceNo, tickets->tickets.first().maintenanceNo);

    // The full detail of every ticket within reach decodes, and carries what the screens need.
    QString nationalId;
    for (const TicketSummary& row : tickets->tickets) {
        auto detail = c.ticket(row.maintenanceNo);
        QVERIFY2(detail, qPrintable(row.maintenanceNo + QStringLiteral(": ") + detail.description()));
        QCOMPARE(detail->maintenanceNo, row.maintenanceNo);
        QVERIFY(detail->availableActions && detail->participantScopes && detail->workflow && detail->actions);
        QVERIFY(!detail->actions->isEmpty());
        QCOMPARE(detail->attachmentCount, row.attachmentCount);
        if (detail->beneficiaryNationalId)
            nationalId = *detail->beneficiaryNationalId;
    }
    QVERIFY(!nationalId.isEmpty());

    auto notifications = c.call<NotificationsResponse>(QStringLiteral("notifications"));
    QVERIFY2(notifications, qPrintable(notifications.description()));
    QVERIFY(!notifications->notifications.isEmpty());
    const auto unreadBefore = notifications->unread.value_or(-1);
    QVERIFY(unreadBefore > 0);
    qint64 unreadId = -1;
    for (const MobileNotification& n : notifications->notifications)
        if (!n.isRead.value_or(true))
            unreadId = n.id;
    auto ack = c.post<APIMessage>(QStringLiteral("ack_notification"),
                                  {{QStringLiteral("notificationId"), unreadId}});
    QVERIFY2(ack, qPrintable(ack.description()));
    QCOMPARE(ack->ok, std::optional<bool>(true));
    QCOMPARE(c.call<NotificationsResponse>(QStringLiteral("notifications"))->unread, unreadBefore - 1);

    auto references = c.call<std::optional<ReferenceDataResponse>>(QStringLiteral("reference_data"));
    QVERIFY2(references, qPrintable(references.description()));
    QVERIFY(references->has_value());
    const ReferenceDataResponse& ref = **references;
    QVERIFY(ref.services->size() >= 12 && ref.assignmentScopes->size() >= 8);
    QVERIFY(ref.reporterOptions && ref.reporterOptions->allAdmins && ref.createContext);
    QCOMPARE(ref.createContext->lockedByScope, std::optional<bool>(user.startsWith(QLatin1String("agent"))));

    auto device = c.post<MobileDeviceResponse>(
        QStringLiteral("register_device"),
        {{QStringLiteral("deviceId"), QStringLiteral("3F2504E0-4F89-41D3-9A0C-0305E82C3301")},
         {QStringLiteral("platform"), QStringLiteral("ios")},
         {QStringLiteral("appVersion"), QStringLiteral("1.0.0")},
         {QStringLiteral("serverURL"), m_server.baseURL()},
         {QStringLiteral("notificationsEnabled"), true}});
    QVERIFY2(device, qPrintable(device.description()));
    QVERIFY(device->ok);

    auto person = c.call<LookupPersonResponse>(QStringLiteral("beneficiary_lookup"), QStringLiteral("GET"),
                                               {{QStringLiteral("nationalId"), nationalId}});
    QVERIFY2(person, qPrintable(person.description()));
    QVERIFY(person->ok && person->found.value_or(false) && person->beneficiary);
    const QString account = *person->beneficiary->username;
    auto byAccount = c.call<LookupPersonResponse>(QStringLiteral("account_lookup"), QStringLiteral("GET"),
                                                  {{QStringLiteral("account"), account}});
    QVERIFY2(byAccount, qPrintable(byAccount.description()));
    QVERIFY(byAccount->found.value_or(false) && byAccount->account);
    QCOMPARE(byAccount->account->fullName, person->beneficiary->fullName);
    auto nobody =
        c.call<LookupPersonResponse>(QStringLiteral("beneficiary_lookup"), QStringLiteral("GET"),
                                     {{QStringLiteral("nationalId"), QStringLiteral("1999999999")}});
    QVERIFY(nobody && nobody->ok && !nobody->found.value_or(true) && !nobody->beneficiary);

    auto created = c.post<CreateTicketResponse>(QStringLiteral("create_ticket"), validTicketBody(service));
    QVERIFY2(created, qPrintable(created.description()));
    QVERIFY(created->ok);
    const QString number = *created->maintenanceNo;
    QVERIFY(QRegularExpression(QStringLiteral("^MNT-\\d{4}-\\d{5}$")).match(number).hasMatch());

    auto comment =
        c.post<APIMessage>(QStringLiteral("ticket_action"),
                           actionBody(number, QStringLiteral("comment"), QStringLiteral("ملاحظة للمتابعة")));
    QVERIFY2(comment, qPrintable(comment.description()));
    QCOMPARE(comment->ok, std::optional<bool>(true));

    auto upload = c.post<APIMessage>(
        QStringLiteral("upload_attachment"),
        {{QStringLiteral("maintenanceNo"), number},
         {QStringLiteral("name"), QStringLiteral("محضر.pdf")},
         {QStringLiteral("mime"), QStringLiteral("application/pdf")},
         {QStringLiteral("purpose"), QStringLiteral("service_acceptance")},
         {QStringLiteral("contentBase64"), QString::fromLatin1(QByteArray("%PDF-1.4").toBase64())}});
    QVERIFY2(upload, qPrintable(upload.description()));
    QCOMPARE(upload->ok, std::optional<bool>(true));
    QVERIFY(upload->message->startsWith(QStringLiteral("تم")));

    auto logout = c.call<APIMessage>(QStringLiteral("logout"));
    QVERIFY2(logout, qPrintable(logout.description()));
    QCOMPARE(c.call<StatusResponse>(QStringLiteral("status"))->authenticated, std::optional<bool>(false));
}

void DevServerConformance::availableActionsFollowRoleStateAndScope_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("state");       // new, awaiting (an agent asked for a manager), closed
    QTest::addColumn<QStringList>("allowed"); // empty with "forbidden" true: not even visible
    QTest::addColumn<bool>("forbidden");
    const QStringList agentOnNew{"comment", "close", "managerRoute", "jointProcessing", "temporaryPassword"};
    const QStringList managerOnNew{"comment",           "route",         "close", "reject", "jointProcessing",
                                   "temporaryPassword", "signatureChain"};
    QTest::newRow("agent of the scope, new") << kAgent << QStringLiteral("new") << agentOnNew << false;
    QTest::newRow("second agent of the scope, new")
        << QStringLiteral("agent.it2") << QStringLiteral("new") << agentOnNew << false;
    QTest::newRow("supervisor of the unit, new")
        << kSupervisor << QStringLiteral("new") << managerOnNew << false;
    QTest::newRow("administrator, new") << kAdmin << QStringLiteral("new") << managerOnNew << false;
    QTest::newRow("reporter from another scope, new")
        << QStringLiteral("agent.net") << QStringLiteral("new") << QStringList{"comment"} << false;
    QTest::newRow("agent of an unrelated scope")
        << QStringLiteral("agent.fac") << QStringLiteral("new") << QStringList() << true;
    QTest::newRow("supervisor of another unit")
        << QStringLiteral("sup.fac") << QStringLiteral("new") << QStringList() << true;
    QTest::newRow("agent, awaiting a manager")
        << kAgent << QStringLiteral("awaiting")
        << QStringList{"comment", "jointProcessing", "temporaryPassword"} << false;
    QTest::newRow("supervisor, awaiting a manager")
        << kSupervisor << QStringLiteral("awaiting")
        << QStringList{"comment", "route", "reject", "jointProcessing", "temporaryPassword", "signatureChain"}
        << false;
    QTest::newRow("agent, closed") << kAgent << QStringLiteral("closed") << QStringList() << false;
    QTest::newRow("supervisor, closed")
        << kSupervisor << QStringLiteral("closed") << QStringList{"signatureChain"} << false;
    QTest::newRow("administrator, closed")
        << kAdmin << QStringLiteral("closed") << QStringList{"signatureChain"} << false;
}

void DevServerConformance::availableActionsFollowRoleStateAndScope() {
    QFETCH(QString, user);
    QFETCH(QString, state);
    QFETCH(QStringList, allowed);
    QFETCH(bool, forbidden);

    // A fresh ticket for the IT support scope, raised by an agent of the network scope.
    Client reporter(m_server.baseURL());
    QVERIFY(reporter.login(QStringLiteral("agent.net"), kAgentPassword));
    const QString number = createTicket(reporter, 101);
    QVERIFY(!number.isEmpty());
    if (state == QLatin1String("awaiting")) {
        Client agent(m_server.baseURL());
        QVERIFY(agent.login(kAgent, kAgentPassword));
        auto r = agent.post<APIMessage>(QStringLiteral("ticket_action"),
                                        actionBody(number, QStringLiteral("managerRoute"),
                                                   QStringLiteral("يحتاج اعتماد الإدارة"), {}, {},
                                                   QStringLiteral("يتطلب خبرة فنية متخصصة")));
        QVERIFY2(r && r->ok.value_or(false), qPrintable(r.description()));
    } else if (state == QLatin1String("closed")) {
        Client supervisor(m_server.baseURL());
        QVERIFY(supervisor.login(kSupervisor, kSupervisorPassword));
        auto r = supervisor.post<APIMessage>(
            QStringLiteral("ticket_action"),
            actionBody(number, QStringLiteral("close"), QStringLiteral("تم الحل مع المستفيد")));
        QVERIFY2(r && r->ok.value_or(false), qPrintable(r.description()));
    }

    Client c(m_server.baseURL());
    QVERIFY(c.login(user, passwordOf(user)));
    auto detail = c.ticket(number);
    if (forbidden) {
        QVERIFY(!detail);
        QCOMPARE(detail.failure().code, 403);
        QVERIFY(!detail.description().isEmpty());
    } else {
        QVERIFY2(detail, qPrintable(detail.description()));
        QCOMPARE(flagsOf(*detail->availableActions), allowed);
    }

    // What is not offered is refused: 403 with the server's Arabic message.
    for (const QString& op : kOperations) {
        if (allowed.contains(op))
            continue;
        auto r =
            c.post<APIMessage>(QStringLiteral("ticket_action"),
                               actionBody(number, op, QStringLiteral("محاولة غير مسموحة"),
                                          QStringLiteral("hr-services"), {}, QStringLiteral("البلاغ مكرر")));
        QVERIFY2(!r, qPrintable(op));
        QCOMPARE(r.failure().domain, QStringLiteral("KALVORIN"));
        QCOMPARE(r.failure().code, 403);
        QVERIFY2(r.description() != KalvorinAPI::kFallbackMessage, qPrintable(r.description()));
    }
}

KALVORIN_TEST_MAIN(DevServerConformance)
#include "tst_devserver_conformance.moc"
