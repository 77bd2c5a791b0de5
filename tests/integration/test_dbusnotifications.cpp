// The desktop notification centre over a real, private D-Bus session (the test
// runs under dbus-run-session), with a small notification service of our own
// that records the calls.

#include "appdelegate.h"
#include "mobileappstate.h"
#include "notificationcenter.h"
#include "testenv.h"
#include "testserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;

namespace {

// Stands in for the desktop's notification daemon.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        uint replacesId;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Call> calls;
    QMap<uint, QString> shown; // what is on screen now, by id
    QList<qint64> badges;
    uint nextId = 100;

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("sound")}; }
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int) {
        calls.append({replacesId, summary, body, actions, hints});
        const uint id = replacesId ? replacesId : nextId++;
        shown.insert(id, summary);
        return id;
    }
    void launcherUpdate(const QString&, const QVariantMap& properties) {
        badges.append(properties.value(QStringLiteral("count")).toLongLong());
    }
};

} // namespace

class TestDBusNotifications : public QObject {
    Q_OBJECT

    QDBusConnection serviceBus{QStringLiteral("unconnected")};
    std::unique_ptr<FakeNotificationService> service;

    void startService() {
        service = std::make_unique<FakeNotificationService>();
        serviceBus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-service"));
        QVERIFY(serviceBus.isConnected());
        QVERIFY(serviceBus.registerObject(DBusNotificationCenter::kPath, service.get(),
                                          QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(DBusNotificationCenter::kService));
        QVERIFY(serviceBus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                   QStringLiteral("Update"), service.get(),
                                   SLOT(launcherUpdate(QString, QVariantMap))));
    }
    // What the desktop sends when the user clicks a notification or one of its buttons.
    void invoke(uint serverId, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(
            DBusNotificationCenter::kPath, DBusNotificationCenter::kService, QStringLiteral("ActionInvoked"));
        signal << serverId << action;
        QVERIFY(serviceBus.send(signal));
    }
    void stopService() {
        serviceBus.unregisterService(DBusNotificationCenter::kService);
        serviceBus.unregisterObject(DBusNotificationCenter::kPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-service"));
        service.reset();
    }

private slots:
    // Each test starts as a first launch: nothing announced yet.
    void init() { test::resetStoredState(); }

    void noServiceRefusesAtOnce() {
        DBusNotificationCenter center;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(QCoro::waitFor(center.requestAuthorization(7)), false);
        QCOMPARE(QCoro::waitFor(center.add({QStringLiteral("kalvorin-1"), "t", "b", 1, true})), false);
        // Far below D-Bus's own 25-second time-out: nothing waited for an answer.
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    void grantsWhenTheServiceAnswers() {
        startService();
        DBusNotificationCenter center;
        QCOMPARE(QCoro::waitFor(center.requestAuthorization(7)), true);
        stopService();
    }

    void postsAndReplacesByIdentifier() {
        startService();
        DBusNotificationCenter center;
        QVERIFY(QCoro::waitFor(center.add({QStringLiteral("kalvorin-42"), "عنوان", "نص", 3, true})));
        QVERIFY(QCoro::waitFor(center.add({QStringLiteral("kalvorin-43"), "آخر", "نص", 3, true})));
        QVERIFY(QCoro::waitFor(center.add({QStringLiteral("kalvorin-42"), "عنوان محدث", "نص", 2, true})));
        QCOMPARE(service->calls.size(), 3);
        QCOMPARE(service->calls[0].summary, QStringLiteral("عنوان"));
        QCOMPARE(service->calls[0].body, QStringLiteral("نص"));
        QVERIFY(service->calls[0].hints.contains(QStringLiteral("sound-name")));
        QCOMPARE(service->calls[0].replacesId, 0u);
        QCOMPARE(service->calls[2].replacesId, service->shown.firstKey());
        // Two notifications on screen, the first one updated in place.
        QCOMPARE(service->shown.size(), 2);
        QCOMPARE(service->shown.first(), QStringLiteral("عنوان محدث"));
        QTRY_COMPARE(service->badges, (QList<qint64>{3, 3, 2}));
        stopService();
    }

    // Installed at launch, the app's delegate has notifications shown in front
    // as a banner with sound and badge.
    void delegatePresentsInFront() {
        DBusNotificationCenter center;
        MobileAppState state;
        KalvorinAppDelegate delegate(state);
        QVERIFY(delegate.didFinishLaunching(center));
        QVERIFY(center.delegate() == &delegate);
        QCOMPARE(center.delegate()->willPresent({QStringLiteral("kalvorin-1"), "t", "b", 1, true}), 19);
    }

    // The posted notification offers "تأكيد القراءة"; the desktop's answer reaches the delegate:
    // the button acknowledges on the server, a click on the notification opens the notifications
    // tab and raises the window, and asks for the ticket it names when that ticket is in the list.
    // Signals about other programs' notifications change nothing.
    void notificationActions_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("ours");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("acknowledged");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("raised");
        QTest::addColumn<QString>("opened");
        const QString names = QStringLiteral("إغلاق البلاغ MNT-2026-00045");
        QTest::newRow("confirm reading") << names << true << "acknowledge" << 1 << 0 << 0 << "";
        QTest::newRow("activation") << "بلاغ" << true << "default" << 0 << 3 << 1 << "";
        QTest::newRow("activation, a ticket of the list")
            << names << true << "default" << 0 << 3 << 1 << "MNT-2026-00045";
        QTest::newRow("activation, a ticket not in the list")
            << QStringLiteral("إغلاق البلاغ MNT-2026-00046") << true << "default" << 0 << 3 << 1 << "";
        QTest::newRow("another program's") << names << false << "default" << 0 << 0 << 0 << "";
    }
    void notificationActions() {
        QFETCH(QString, title);
        QFETCH(bool, ours);
        QFETCH(QString, action);
        QFETCH(int, acknowledged);
        QFETCH(int, tab);
        QFETCH(int, raised);
        QFETCH(QString, opened);
        startService();
        test::TestServer server;
        QVERIFY(server.start());
        server.setReply("notifications", 200,
                        QJsonDocument(QJsonObject{{"ok", true},
                                                  {"notifications",
                                                   QJsonArray{QJsonObject{{"id", 7}, {"title", title}}}}})
                            .toJson());
        server.setReply("tickets", 200, R"({"ok":true,"tickets":[{"maintenanceNo":"MNT-2026-00045"}]})");
        MobileAppState state;
        state.setServerURL(server.baseURL());
        KalvorinAppDelegate delegate(state);
        delegate.didFinishLaunching(*state.notificationCenter());
        QSignalSpy raise(&delegate, &KalvorinAppDelegate::raiseRequested);
        QSignalSpy ticket(&delegate, &KalvorinAppDelegate::ticketRequested);
        QCoro::waitFor(state.loadTickets());
        QCoro::waitFor(state.loadNotifications());
        QCOMPARE(service->calls.size(), 1);
        QCOMPARE(service->calls[0].actions, (QStringList{"default", title, "acknowledge", "تأكيد القراءة"}));

        invoke(ours ? service->shown.firstKey() : 12345, action);
        if (acknowledged)
            QTRY_COMPARE(server.requestsFor("notifications").size(), 2); // reloaded after the ack
        else
            QTest::qWait(200);
        const QList<test::TestServer::Request> acks = server.requestsFor("ack_notification");
        QCOMPARE(acks.size(), acknowledged);
        if (acknowledged)
            QCOMPARE(QJsonDocument::fromJson(acks[0].body).object().value("notificationId"), QJsonValue(7));
        QCOMPARE(state.selectedTab(), tab);
        QCOMPARE(raise.size(), raised);
        QCOMPARE(ticket.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty())
            QCOMPARE(ticket.first().first().toString(), opened);
        stopService();
    }

    void stateAnnouncesThroughTheDesktop() {
        startService();
        test::TestServer server;
        QVERIFY(server.start());
        server.setReply(
            "notifications", 200,
            R"({"ok":true,"notifications":[{"id":5,"title":"بلاغ جديد"},{"id":6,"isRead":true}]})");
        MobileAppState state; // with the desktop notification centre
        state.setServerURL(server.baseURL());
        QCoro::waitFor(state.loadNotifications());
        QCOMPARE(service->calls.size(), 1);
        QCOMPARE(service->calls[0].summary, QStringLiteral("بلاغ جديد"));
        QCOMPARE(service->calls[0].body, QStringLiteral("لديك إشعار جديد في النظام."));
        QCOMPARE(state.lastSeenNotificationId(), qint64(5));
        stopService();
    }
};

KALVORIN_TEST_MAIN(TestDBusNotifications)
#include "test_dbusnotifications.moc"
