// The state object's flows (status, sign-in, sign-out, refresh, notifications,
// device registration, the shell's background session) against a real HTTP
// server in this process.

#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::RecordingNotificationCenter;
using kalvorin::test::TestServer;

namespace {

QJsonObject bodyOf(const TestServer::Request& r) {
    return QJsonDocument::fromJson(r.body).object();
}

QByteArray notificationsBody(const QList<std::pair<qint64, QByteArray>>& rows) {
    QByteArray items;
    for (const auto& [id, extra] : rows)
        items += (items.isEmpty() ? "" : ",") + QByteArray("{\"id\":") + QByteArray::number(id) + extra + "}";
    return "{\"ok\":true,\"notifications\":[" + items + "]}";
}

const QByteArray kDashboard = R"({"ok":true,"summary":{"total":7},"user":{"name":"سارة","role":"مشرف"}})";
const QByteArray kTickets = R"({"ok":true,"tickets":[{"maintenanceNo":"MNT-1"},{"maintenanceNo":"MNT-2"}]})";
const QByteArray kReferences = R"({"ok":true,"priorities":["حرجة","عالية"]})";

} // namespace

class TestFlows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    RecordingNotificationCenter* center = nullptr;
    std::unique_ptr<MobileAppState> state;

    void serveAll() {
        server->setReply("status", 200, R"({"ok":true,"authenticated":true})");
        server->setReply("login", 200, R"({"ok":true,"user":{"username":"ali","name":"علي"}})");
        server->setReply("dashboard", 200, kDashboard);
        server->setReply("tickets", 200, kTickets);
        server->setReply("notifications", 200, notificationsBody({{1, ",\"isRead\":true"}}));
        server->setReply("reference_data", 200, kReferences);
    }

private slots:
    void init() { QVERIFY(kalvorin::test::startStateWithServer(server, state, &center)); }
    void cleanup() {
        state.reset();
        server.reset();
    }

    // ---- settings ---------------------------------------------------------

    void firstLaunch() {
        kalvorin::test::resetStoredState();
        MobileAppState fresh;
        QCOMPARE(fresh.serverURL(), QStringLiteral("http://localhost:8080/kalvorin/"));
        QCOMPARE(fresh.rememberedUsername(), QString());
        QCOMPARE(fresh.biometricEnabled(), false);
        QCOMPARE(fresh.mobileDeviceId(), QString());
        QCOMPARE(fresh.lastSeenNotificationId(), qint64(0));
        QVERIFY(!fresh.status() && !fresh.user() && !fresh.dashboard() && !fresh.references());
        QVERIFY(fresh.tickets().isEmpty() && fresh.notifications().isEmpty());
        QCOMPARE(fresh.selectedTab(), 0);
        QCOMPARE(fresh.loading(), false);
        QCOMPARE(fresh.errorMessage(), QString());
    }

    // Each write is in the preference file the moment it is made, not when the object goes.
    void aSettingsWriteReachesTheFileAtOnce() {
        const QString file = QSettings().fileName();
        state->setLastSeenNotificationId(4242);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("lastSeenNotificationId=4242"));
    }

    void settingsOutliveTheObject() {
        state->setRememberedUsername("ali.h");
        state->setBiometricEnabled(true);
        state->setMobileDeviceId("ABC");
        state->setLastSeenNotificationId(9007199254740993);
        state.reset();
        QSettings settings;
        QCOMPARE(settings.value("serverURL").toString(), server->baseURL());
        QCOMPARE(settings.value("rememberedUsername").toString(), QStringLiteral("ali.h"));
        MobileAppState next;
        QCOMPARE(next.serverURL(), server->baseURL());
        QCOMPARE(next.rememberedUsername(), QStringLiteral("ali.h"));
        QCOMPARE(next.biometricEnabled(), true);
        QCOMPARE(next.mobileDeviceId(), QStringLiteral("ABC"));
        QCOMPARE(next.lastSeenNotificationId(), qint64(9007199254740993));
    }

    void changedServerIsTheNextTarget() {
        TestServer other;
        QVERIFY(other.start());
        QCoro::waitFor(state->checkStatus());
        state->setServerURL(other.baseURL());
        QCoro::waitFor(state->checkStatus());
        QCOMPARE(server->requests().size(), 1);
        QCOMPARE(other.requests().size(), 1);
    }

    // ---- status, sign-in, sign-out ----------------------------------------

    void statusFailureMeansUnreachable_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("refusal") << 500 << QByteArray(R"({"message":"x"})");
        QTest::newRow("undecodable") << 200 << QByteArray(R"({"ok":"yes"})");
    }
    void statusFailureMeansUnreachable() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        server->setReply("status", status, body);
        QCoro::waitFor(state->checkStatus());
        QVERIFY(state->status());
        QCOMPARE(*state->status(), (StatusResponse{false, false, {}, {}, {}}));
        QCOMPARE(state->errorMessage(), QString());
    }

    void loginValidation_data() {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("both blank") << " \n"
                                    << "  "
                                    << "أدخل اسم المستخدم وكلمة المرور.";
        QTest::newRow("no name") << ""
                                 << "secret"
                                 << "أدخل اسم المستخدم.";
        QTest::newRow("no password") << "a.b"
                                     << ""
                                     << "أدخل كلمة المرور.";
        QTest::newRow("arabic letter") << "علي"
                                       << "x"
                                       << "اسم المستخدم يقبل حروف وأرقام إنجليزية والنقطة والشرطة فقط.";
        QTest::newRow("blank inside") << "ali h"
                                      << "x"
                                      << "اسم المستخدم يقبل حروف وأرقام إنجليزية والنقطة والشرطة فقط.";
        QTest::newRow("at sign") << "ali@h"
                                 << "x"
                                 << "اسم المستخدم يقبل حروف وأرقام إنجليزية والنقطة والشرطة فقط.";
    }
    void loginValidation() {
        QFETCH(QString, username);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QCoro::waitFor(state->login(username, password, true));
        QCOMPARE(state->errorMessage(), message);
        QCOMPARE(state->loading(), false);
        QCOMPARE(server->requests().size(), 0);
    }

    void loginSendsTrimmedNameAndTypedPassword() {
        serveAll();
        QCoro::waitFor(state->login("  ali_h-2.x \n", "  p a s s ", true));
        const QJsonObject first = bodyOf(server->requestsFor("login").first());
        QCOMPARE(first.value("username").toString(), QStringLiteral("ali_h-2.x"));
        QCOMPARE(first.value("password").toString(), QStringLiteral("  p a s s "));
        QCOMPARE(first.value("biometricAvailable"), QJsonValue(false));
        QCOMPARE(state->biometricEnabled(), true);
        QCOMPARE(state->rememberedUsername(), QStringLiteral("ali_h-2.x"));

        QCoro::waitFor(state->login("other", "pw", false));
        QCOMPARE(bodyOf(server->requestsFor("login").last()).value("biometricAvailable"), QJsonValue(true));
        // Remember off keeps the earlier remembered name.
        QCOMPARE(state->rememberedUsername(), QStringLiteral("ali_h-2.x"));
    }

    void loginRefused_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("ok false with message")
            << 200 << QByteArray(R"({"ok":false,"message":"كلمة المرور غير صحيحة."})")
            << "كلمة المرور غير صحيحة.";
        QTest::newRow("ok false without message")
            << 200 << QByteArray(R"({"ok":false})") << "تعذر تسجيل الدخول.";
        QTest::newRow("401 with message")
            << 401 << QByteArray(R"({"ok":false,"message":"انتهت الجلسة."})") << "انتهت الجلسة.";
        QTest::newRow("500 html") << 500 << QByteArray("<html/>") << "تعذر تنفيذ الطلب من الخادم.";
    }
    void loginRefused() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        server->setReply("login", status, body);
        QCoro::waitFor(state->login("ali", "pw", true));
        QCOMPARE(state->errorMessage(), message);
        QCOMPARE(state->loading(), false);
        QVERIFY(!state->user());
        QCOMPARE(state->rememberedUsername(), QString());
        QCOMPARE(server->requests().size(), 1);
    }

    // A sign-in that gets no answer rechecks the status, so the dot turns red; a refusal does not.
    void loginFailureAndServerStatus_data() {
        QTest::addColumn<bool>("serverDown");
        QTest::newRow("server down") << true;
        QTest::newRow("refusal") << false;
    }
    void loginFailureAndServerStatus() {
        QFETCH(bool, serverDown);
        server->setReply("status", 200, R"({"ok":true,"authenticated":false})");
        server->setReply("login", 401, R"({"message":"x"})");
        QCoro::waitFor(state->checkStatus());
        if (serverDown)
            state->setServerURL(QStringLiteral("http://127.0.0.1:1/kalvorin/"));
        QCoro::waitFor(state->login("ali", "pw", true));
        QVERIFY(!state->errorMessage().isEmpty());
        QCOMPARE(state->loading(), false);
        QTRY_COMPARE(state->status()->ok, !serverDown);
        QTest::qWait(50);
        QCOMPARE(server->requestsFor("status").size(), 1);
    }

    void loginSetsUserBeforeAnythingElse() {
        serveAll();
        bool userBeforeRegistration = false;
        bool loadingDuringRefresh = false;
        connect(server.get(), &TestServer::requestArrived, this, [&] {
            const QString action = server->requests().last().action;
            if (action == "register_device")
                userBeforeRegistration = state->user().has_value();
            if (action == "dashboard")
                loadingDuringRefresh = state->loading();
        });
        QCoro::waitFor(state->login("ali", "pw", true));
        QVERIFY(userBeforeRegistration);
        QVERIFY(loadingDuringRefresh);
        QCOMPARE(state->loading(), false);
        QStringList actions;
        for (const auto& r : server->requests())
            actions.append(r.action);
        QCOMPARE(actions.mid(0, 2), (QStringList{"login", "register_device"}));
        QCOMPARE(QSet<QString>(actions.begin() + 2, actions.end()),
                 (QSet<QString>{"status", "dashboard", "tickets", "notifications", "reference_data"}));
        // The dashboard's embedded user replaces the one of the sign-in answer.
        QCOMPARE(state->user()->name, std::optional<QString>(QStringLiteral("سارة")));
    }

    void logoutWithServerDown() {
        serveAll();
        QCoro::waitFor(state->refreshAll());
        state->setUser(MobileUser{QStringLiteral("ali"), {}, {}, {}});
        state->setSelectedTab(3);
        state->setErrorMessage("قديم");
        state->setRememberedUsername("ali");
        state->setServerURL(QStringLiteral("http://127.0.0.1:1/kalvorin/"));
        QCoro::waitFor(state->logout());
        QVERIFY(!state->user());
        QVERIFY(!state->dashboard());
        QVERIFY(state->tickets().isEmpty());
        QVERIFY(state->notifications().isEmpty());
        QCOMPARE(state->selectedTab(), 0);
        QCOMPARE(state->status()->ok, false);
        QCOMPARE(state->status()->authenticated, std::optional<bool>(false));
        // Kept: references, the error text and the settings.
        QVERIFY(state->references());
        QCOMPARE(state->errorMessage(), QStringLiteral("قديم"));
        QCOMPARE(state->rememberedUsername(), QStringLiteral("ali"));
    }

    // ---- refresh ----------------------------------------------------------

    void refreshRunsFiveRequestsAtOnce() {
        TestServer::Reply held;
        held.hold = true;
        for (const auto& [action, body] :
             QList<std::pair<QString, QByteArray>>{{"status", R"({"ok":true})"},
                                                   {"dashboard", kDashboard},
                                                   {"tickets", kTickets},
                                                   {"notifications", R"({"ok":true,"notifications":[]})"},
                                                   {"reference_data", kReferences}}) {
            held.body = body;
            server->setReply(action, held);
        }
        QCoro::Task<> refresh = state->refreshAll();
        QVERIFY(state->loading());
        QTRY_COMPARE(server->heldCount(), 5);
        // The server's own record: all five were open at the same moment.
        QCOMPARE(server->peakOpen(), 5);
        QCOMPARE(server->requests().last().openAtArrival, 5);
        QVERIFY(state->loading());
        server->release();
        QCoro::waitFor(std::move(refresh));
        QCOMPARE(state->loading(), false);
        QVERIFY(state->status() && state->dashboard() && state->references());
        QCOMPARE(state->tickets().size(), 2);
        QVERIFY(center->posted.isEmpty());
    }

    void eachLoadFailsInItsOwnWay() {
        serveAll();
        QCoro::waitFor(state->refreshAll());
        const auto dashboardBefore = state->dashboard();
        const auto ticketsBefore = state->tickets();
        QVERIFY(!state->notifications().isEmpty());

        server->setReply("dashboard", 500, R"({"message":"تعذر حساب اللوحة."})");
        server->setReply("tickets", 200, R"({"ok":true,"tickets":[{"title":"بلا رقم"}]})");
        server->setReply("notifications", 503, "");
        server->setReply("reference_data", 200, R"({"ok":true,"services":[{"id":"7","name":"x"}]})");
        QCoro::waitFor(state->refreshAll());
        QCOMPARE(state->dashboard(), dashboardBefore);
        QCOMPARE(state->tickets(), ticketsBefore);
        QVERIFY(state->notifications().isEmpty());
        QVERIFY(!state->references());
        // One of the two failures that touch the text is left, whichever came last.
        QVERIFY(state->errorMessage() == QStringLiteral("تعذر حساب اللوحة.") ||
                state->errorMessage() ==
                    QStringLiteral("تعذرت قراءة رد الخادم: الحقل tickets[0].maintenanceNo مفقود."));
        QCOMPARE(state->loading(), false);
    }

    void quietAnswers() {
        state->setUser(MobileUser{QStringLiteral("kept"), {}, {}, {}});
        server->setReply("dashboard", 200, R"({"ok":true})");
        server->setReply("tickets", 200, R"({"ok":false,"tickets":[]})");
        server->setReply("reference_data", 200, "null");
        TicketSummary old;
        old.maintenanceNo = QStringLiteral("old");
        state->setTickets({old});
        QCoro::waitFor(state->refreshAll());
        QCOMPARE(state->user()->username, std::optional<QString>(QStringLiteral("kept")));
        QVERIFY(state->tickets().isEmpty());
        QVERIFY(!state->references());
        QCOMPARE(state->errorMessage(), QString());
    }

    void dashboardBeforeItsUser() {
        server->setReply("dashboard", 200, kDashboard);
        bool dashboardFirst = false;
        connect(state.get(), &MobileAppState::userChanged, this,
                [&] { dashboardFirst = state->dashboard().has_value(); });
        QCoro::waitFor(state->loadDashboard());
        QVERIFY(dashboardFirst);
    }

    // ---- notifications and device registration ---------------------------

    void announcesNewNotifications_data() {
        QTest::addColumn<qint64>("lastSeen");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("posted");
        QTest::addColumn<qint64>("badge");
        QTest::addColumn<qint64>("lastSeenAfter");
        QTest::newRow("five of six, lowest first")
            << qint64(10)
            << notificationsBody(
                   {{12, ""}, {11, ",\"isRead\":false"}, {15, ""}, {13, ""}, {14, ""}, {16, ""}})
            << QStringList{"kalvorin-11", "kalvorin-12", "kalvorin-13", "kalvorin-14", "kalvorin-15"}
            << qint64(6) << qint64(16);
        QTest::newRow("read ones never count")
            << qint64(10) << notificationsBody({{99, ",\"isRead\":true"}, {11, ""}, {5, ""}})
            << QStringList{"kalvorin-11"} << qint64(1) << qint64(11);
        QTest::newRow("nothing new") << qint64(10)
                                     << notificationsBody({{10, ""}, {3, ""}, {50, ",\"isRead\":true"}})
                                     << QStringList{} << qint64(0) << qint64(10);
        QTest::newRow("empty list") << qint64(4) << notificationsBody({}) << QStringList{} << qint64(0)
                                    << qint64(4);
    }
    void announcesNewNotifications() {
        QFETCH(qint64, lastSeen);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, posted);
        QFETCH(qint64, badge);
        QFETCH(qint64, lastSeenAfter);
        state->setLastSeenNotificationId(lastSeen);
        server->setReply("notifications", 200, body);
        QCoro::waitFor(state->loadNotifications());
        QCOMPARE(center->postedIdentifiers(), posted);
        for (const auto& content : center->posted)
            QCOMPARE(content.badge, badge);
        QCOMPARE(state->lastSeenNotificationId(), lastSeenAfter);
    }

    void notificationTexts() {
        server->setReply(
            "notifications", 200,
            notificationsBody({{1, ""}, {2, R"(,"title":"","body":"")"}, {3, R"(,"title":"ت","body":"ب")"}}));
        center->refused = {"kalvorin-1"};
        QCoro::waitFor(state->loadNotifications());
        QCOMPARE(center->posted.size(), 3);
        QCOMPARE(center->posted[0].title, QStringLiteral("إشعار KALVORIN"));
        QCOMPARE(center->posted[0].body, QStringLiteral("لديك إشعار جديد في النظام."));
        QCOMPARE(center->posted[1].title, QString());
        QCOMPARE(center->posted[1].body, QString());
        QCOMPARE(center->posted[2].title, QStringLiteral("ت"));
        QVERIFY(center->posted[2].defaultSound);
        // A refused post does not hold back the last-seen mark.
        QCOMPARE(state->lastSeenNotificationId(), qint64(3));
    }

    void registersDevice() {
        QCoreApplication::setApplicationVersion(QString());
        center->granted = false;
        QCoro::waitFor(state->prepareNotificationsAndRegisterDevice());
        QCoreApplication::setApplicationVersion("2.3.1");
        center->granted = true;
        QCoro::waitFor(state->prepareNotificationsAndRegisterDevice());

        QCOMPARE(center->lastOptions, 7);
        const auto requests = server->requestsFor("register_device");
        QCOMPARE(requests.size(), 2);
        const QJsonObject first = bodyOf(requests[0]);
        const QJsonObject second = bodyOf(requests[1]);
        const QString id = first.value("deviceId").toString();
        QVERIFY(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$")
                    .match(id)
                    .hasMatch());
        QCOMPARE(state->mobileDeviceId(), id);
        QCOMPARE(second.value("deviceId").toString(), id);
        QCOMPARE(first.value("platform").toString(), QStringLiteral("ios"));
        QCOMPARE(first.value("appVersion").toString(), QStringLiteral("1.0.0"));
        QCOMPARE(second.value("appVersion").toString(), QStringLiteral("2.3.1"));
        QCOMPARE(first.value("serverURL").toString(), server->baseURL());
        QCOMPARE(first.value("notificationsEnabled"), QJsonValue(false));
        QCOMPARE(second.value("notificationsEnabled"), QJsonValue(true));
    }

    void acknowledge() {
        server->setReply("notifications", 200, notificationsBody({{8, ",\"isRead\":true"}}));
        MobileNotification n;
        n.id = 8;
        QCoro::waitFor(state->acknowledgeNotification(n));
        QCOMPARE(bodyOf(server->requestsFor("ack_notification").first()).value("notificationId"),
                 QJsonValue(8));
        QCOMPARE(server->requestsFor("notifications").size(), 1);

        server->setReply("ack_notification", 403, R"({"message":"ليس إشعارك."})");
        QCoro::waitFor(state->acknowledgeNotification(n));
        QCOMPARE(state->errorMessage(), QStringLiteral("ليس إشعارك."));
        QCOMPARE(server->requestsFor("notifications").size(), 1);
    }

    // ---- the shell's background session -----------------------------------

    void shellSessionPollsUntilStopped() {
        serveAll();
        state->startShellSession(40);
        QVERIFY(state->shellSessionRunning());
        QTRY_VERIFY(server->requestsFor("status").size() >= 3);
        QCOMPARE(server->requests().first().action, QStringLiteral("register_device"));
        const int notificationsLoads = int(server->requestsFor("notifications").size());
        QVERIFY(notificationsLoads >= 2);

        state->stopShellSession();
        QVERIFY(!state->shellSessionRunning());
        // Let any pass that was in flight finish, then nothing more may leave.
        QTest::qWait(100);
        const qsizetype settled = server->requests().size();
        QTest::qWait(300);
        QCOMPARE(server->requests().size(), settled);
    }

    void stopDuringTheWaitSendsNothing() {
        serveAll();
        state->startShellSession(60000);
        QTRY_COMPARE(server->requestsFor("reference_data").size(), 1);
        QTest::qWait(50);
        const qsizetype before = server->requests().size();
        state->stopShellSession();
        QTest::qWait(200);
        QCOMPARE(server->requests().size(), before);
    }
};

KALVORIN_TEST_MAIN(TestFlows)
#include "test_flows.moc"
