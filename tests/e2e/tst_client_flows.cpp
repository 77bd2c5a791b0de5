// The client's flows end to end against the development server.

#include "e2esupport.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "testenv.h"

#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using namespace kalvorin::e2e;

class TestDevServerFlows : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningServer> server;

private slots:
    void initTestCase() {
        server = std::make_unique<RunningServer>();
        QVERIFY2(server->start(), qPrintable(server->output()));
    }
    void cleanupTestCase() { server.reset(); }

    void signInRefreshAcknowledgeSignOut() {
        auto* center = new test::RecordingNotificationCenter;
        MobileAppState state(nullptr, center);
        center->setParent(&state);
        state.setServerURL(server->baseURL());

        QCoro::waitFor(state.checkStatus());
        QVERIFY(state.status() && state.status()->ok);
        QCOMPARE(state.status()->authenticated, std::optional<bool>(false));

        QCoro::waitFor(state.login(kSupervisor, kSupervisorPassword, true));
        QVERIFY2(state.errorMessage().isEmpty(), qPrintable(state.errorMessage()));
        QVERIFY(state.user());
        QCOMPARE(state.status()->authenticated, std::optional<bool>(true));
        QVERIFY(state.dashboard() && state.dashboard()->summary);
        QVERIFY(!state.tickets().isEmpty());
        QVERIFY(!state.notifications().isEmpty());
        QVERIFY(state.references() && state.references()->services &&
                !state.references()->services->isEmpty());
        QCOMPARE(state.loading(), false);
        // Every notification about a ticket names it as the app reads it, and the ticket is in
        // the list, so its card opens it; the general announcement opens none.
        int aboutTickets = 0;
        for (const MobileNotification& n : state.notifications()) {
            const QString opens = state.notificationModel()->ticketNumberOf(n.id);
            if (n.type != QStringLiteral("announcement")) {
                QVERIFY2(!opens.isEmpty(), qPrintable(n.title.value_or(QString())));
                ++aboutTickets;
            } else {
                QVERIFY2(opens.isEmpty(), qPrintable(n.title.value_or(QString())));
            }
        }
        QVERIFY(aboutTickets > 0);
        QVERIFY(!center->posted.isEmpty());
        QVERIFY(center->posted.size() <= MobileAppState::kMaxPostedPerPass);

        // Acknowledge the first unread notification; the reloaded list shows it read.
        std::optional<MobileNotification> unread;
        for (const auto& n : state.notifications())
            if (!n.isRead.value_or(false))
                unread = n;
        QVERIFY(unread);
        QCoro::waitFor(state.acknowledgeNotification(*unread));
        QVERIFY2(state.errorMessage().isEmpty(), qPrintable(state.errorMessage()));
        bool nowRead = false;
        for (const auto& n : state.notifications())
            if (n.id == unread->id)
                nowRead = n.isRead.value_or(false);
        QVERIFY(nowRead);

        QCoro::waitFor(state.logout());
        QVERIFY(!state.user());
        QCOMPARE(state.status()->ok, true);
        QCOMPARE(state.status()->authenticated, std::optional<bool>(false));
    }
};

KALVORIN_TEST_MAIN(TestDevServerFlows)
#include "tst_client_flows.moc"
