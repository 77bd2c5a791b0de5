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
        QVariantMap hints;
    };
    QList<Call> calls;
    QMap<uint, QString> shown; // what is on screen now, by id
    QList<qint64> badges;
    uint nextId = 100;

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("sound")}; }
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        calls.append({replacesId, summary, body, hints});
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
    void stopService() {
        serviceBus.unregisterService(DBusNotificationCenter::kService);
        serviceBus.unregisterObject(DBusNotificationCenter::kPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-service"));
        service.reset();
    }

private slots:
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
        KalvorinAppDelegate delegate;
        QVERIFY(delegate.didFinishLaunching(center));
        QVERIFY(center.delegate() == &delegate);
        QCOMPARE(center.delegate()->willPresent({QStringLiteral("kalvorin-1"), "t", "b", 1, true}), 19);
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
