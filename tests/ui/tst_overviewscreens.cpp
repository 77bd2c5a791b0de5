// The overview screens offscreen in the signed-in shell, against a real local server: what the
// rows show, typing in the search, pulling a list down, a row's tap, acknowledging, the empty
// notifications, the load-failure banner, and the ticket list at 10,000 rows.

#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "rootview.h"
#include "shellnavigation.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"
#include "ticketfilter.h"
#include "ticketrows.h"

#include <QGuiApplication>
#include <QtTest>

using namespace kalvorin;
using kalvorin::test::TestServer;

class OverviewScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    kalvorin::test::RootView root;

    // Signed in on the given tab, the first refresh done.
    QQuickItem* shellOn(int tab, const char* screen) {
        state->setSelectedTab(tab);
        if (!root.show())
            return nullptr;
        const bool ready = QTest::qWaitFor(
            [&] {
                return root.find(screen) && !state->loading() &&
                       !server->requestsFor(QStringLiteral("reference_data")).isEmpty();
            },
            10000);
        return ready ? root.find(screen) : nullptr;
    }

    QString textOf(QQuickItem* within, const char* name) const {
        QQuickItem* item = within ? kalvorin::ui::findItem(within, QLatin1String(name)) : nullptr;
        return item ? item->property("text").toString() : QStringLiteral("<missing %1>").arg(name);
    }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":true})");
        server->setReply(
            QStringLiteral("tickets"), 200,
            R"({"ok":true,"tickets":[{"maintenanceNo":"MNT-1","title":"Printer down","priority":"متوسطة","state":"جديد","scope":"إدارة / قسم الأجهزة","attachmentCount":2},{"maintenanceNo":"MNT-2"}]})");
        server->setReply(
            QStringLiteral("notifications"), 200,
            R"({"ok":true,"notifications":[{"id":7,"body":"نص"},{"id":8,"title":"مقروء","isRead":true}]})");
    }
    void cleanup() {
        root.view.reset();
        state.reset();
        server.reset();
    }

    void rowsShowTheirTexts() {
        QVERIFY(shellOn(1, "ticketsScreen"));
        QTRY_VERIFY(root.find("ticketRow_MNT-2"));
        QQuickItem* full = root.find("ticketRow_MNT-1");
        QQuickItem* bare = root.find("ticketRow_MNT-2");
        QCOMPARE(textOf(full, "ticketTitle"), QStringLiteral("Printer down"));
        QCOMPARE(textOf(full, "priorityBadgeText"), QStringLiteral("متوسطة"));
        QCOMPARE(textOf(full, "ticketState"), QStringLiteral("جديد"));
        QCOMPARE(textOf(full, "ticketScope"), QStringLiteral("قسم الأجهزة"));
        QCOMPARE(textOf(full, "ticketAttachments"), QStringLiteral("2"));
        QCOMPARE(textOf(bare, "ticketTitle"), QStringLiteral("بلاغ دعم فني"));
        QCOMPARE(textOf(bare, "priorityBadgeText"), QStringLiteral("غير محدد"));
        QCOMPARE(textOf(bare, "ticketScope"), QStringLiteral("لا توجد جهة"));
    }

    void typingNarrowsTheList() {
        QQuickItem* screen = shellOn(1, "ticketsScreen");
        QVERIFY(screen);
        auto* list = qvariant_cast<QQuickItem*>(screen->property("list"));
        QTRY_COMPARE(list->property("count").toInt(), 2);
        auto* input = qvariant_cast<QQuickItem*>(root.find("searchField")->property("input"));
        input->forceActiveFocus();
        root.type(QStringLiteral("printer"));
        QTRY_COMPARE(list->property("count").toInt(), 1);
        QTRY_VERIFY(root.find("ticketRow_MNT-1"));
        QTRY_VERIFY(!root.find("ticketRow_MNT-2"));
    }

    void pullingDownReloadsItsList_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("reloaded");
        QTest::addColumn<QStringList>("untouched");
        QTest::newRow("tickets") << 1 << "ticketsScreen" << QStringList{"tickets"}
                                 << QStringList{"dashboard", "notifications", "reference_data"};
        QTest::newRow("notifications") << 3 << "notificationsScreen" << QStringList{"notifications"}
                                       << QStringList{"dashboard", "tickets", "reference_data"};
        QTest::newRow("dashboard") << 0 << "dashboardScreen"
                                   << QStringList{"dashboard", "tickets", "notifications", "reference_data"}
                                   << QStringList{};
    }
    void pullingDownReloadsItsList() {
        QFETCH(int, tab);
        QFETCH(QString, screen);
        QFETCH(QStringList, reloaded);
        QFETCH(QStringList, untouched);
        QVERIFY(shellOn(tab, qPrintable(screen)));
        QHash<QString, qsizetype> before;
        for (const QString& action : reloaded + untouched)
            before[action] = server->requestsFor(action).size();
        // Held, so the indicator can be seen waiting for the answer.
        TestServer::Reply held;
        held.hold = true;
        held.body = R"({"ok":true,"tickets":[],"notifications":[]})";
        server->setReply(reloaded.first(), held);
        root.pullDown(250, 260);
        QTRY_COMPARE(server->heldCount(), 1);
        QQuickItem* indicator = root.find("pullIndicator");
        QVERIFY(indicator && indicator->property("running").toBool());
        server->release();
        QTRY_VERIFY(!indicator->property("running").toBool());
        for (const QString& action : reloaded)
            QTRY_COMPARE(server->requestsFor(action).size(), before[action] + 1);
        for (const QString& action : untouched)
            QCOMPARE(server->requestsFor(action).size(), before[action]);
    }

    void aRowTapReachesTheNavigation_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("screen");
        QTest::newRow("ticket list") << 1 << "ticketsScreen";
        QTest::newRow("dashboard's latest") << 0 << "dashboardScreen";
    }
    void aRowTapReachesTheNavigation() {
        QFETCH(int, tab);
        QFETCH(QString, screen);
        server->setReply(QStringLiteral("dashboard"), 200,
                         R"({"ok":true,"latest":[{"maintenanceNo":"MNT-1","title":"Printer down"}]})");
        QVERIFY(shellOn(tab, qPrintable(screen)));
        auto* navigation = root.view->engine()->singletonInstance<ShellNavigation*>(
            qmlTypeId("Kalvorin.Frame", 1, 0, "ShellNavigation"));
        QVERIFY(navigation);
        QSignalSpy requested(navigation, &ShellNavigation::ticketRequested);
        // The row sits below the header; bring it into view first.
        auto* list = qvariant_cast<QQuickItem*>(root.find(qPrintable(screen))->property("list"));
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, 0), Q_ARG(int, 1));
        QTRY_VERIFY(root.find("ticketRow_MNT-1"));
        root.click(root.find("ticketRow_MNT-1"));
        QTRY_COMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().toString(), QStringLiteral("MNT-1"));
        // The shell pushes the ticket's detail over the tab; its back arrow pops it.
        QQuickItem* stack = root.find("navigation");
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        auto* detail = stack->property("currentItem").value<QQuickItem*>();
        QCOMPARE(detail->property("maintenanceNo").toString(), QStringLiteral("MNT-1"));
        QTRY_COMPARE(server->requestsFor(QStringLiteral("ticket")).size(), 1);
        QTRY_VERIFY(!stack->property("busy").toBool()); // the push transition is over
        root.click(kalvorin::ui::findItem(detail, QStringLiteral("headerLeading")));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
    }

    void acknowledgingStartsAndChangesNothingAtTheTap() {
        QVERIFY(shellOn(3, "notificationsScreen"));
        QTRY_VERIFY(root.find("notification_7"));
        QQuickItem* card = root.find("notification_7");
        QCOMPARE(textOf(card, "notificationTitle"), QStringLiteral("إشعار"));
        QCOMPARE(textOf(card, "notificationBody"), QStringLiteral("نص"));
        QVERIFY(!kalvorin::ui::findItem(root.find("notification_8"), QStringLiteral("acknowledgeButton"))
                     ->isVisible());
        TestServer::Reply held;
        held.hold = true;
        server->setReply(QStringLiteral("ack_notification"), held);
        QQuickItem* button = kalvorin::ui::findItem(card, QStringLiteral("acknowledgeButton"));
        root.click(button);
        root.click(button);
        QTRY_COMPARE(server->heldCount(), 2);
        QVERIFY(button->isVisible());
        QVERIFY(kalvorin::ui::findItem(card, QStringLiteral("newCapsule"))->isVisible());
        for (const auto& request : server->requestsFor(QStringLiteral("ack_notification")))
            QCOMPARE(request.body, QByteArray(R"({"notificationId":7})"));
        server->release();
    }

    void noNotificationsShowTheEmptyState() {
        server->setReply(QStringLiteral("notifications"), 200, R"({"ok":true,"notifications":[]})");
        QVERIFY(shellOn(3, "notificationsScreen"));
        QTRY_VERIFY(root.find("emptyNotifications") && root.find("emptyNotifications")->isVisible());
        QCOMPARE(textOf(root.find("emptyNotifications"), "emptyStateText"),
                 QStringLiteral("لا توجد إشعارات حالياً"));
    }

    void aLoadFailureShowsUntilDismissed() {
        QVERIFY(shellOn(1, "ticketsScreen"));
        QQuickItem* banner = root.find("loadFailureBanner");
        QVERIFY(banner && !banner->isVisible());
        server->setReply(QStringLiteral("tickets"), 503, "");
        state->startLoadTickets();
        QTRY_VERIFY(banner->isVisible());
        QVERIFY(!state->errorMessage().isEmpty());
        QCOMPARE(textOf(banner, "loadFailureText"), state->errorMessage());
        root.click(root.find("loadFailureDismiss"));
        QTRY_COMPARE(state->errorMessage(), QString());
        QTRY_VERIFY(!banner->isVisible());
    }

    void tenThousandRowsFilterAsTheRuleSays() {
        server->setReply(QStringLiteral("tickets"), 200, kalvorin::test::ticketsAnswer(10000));
        QQuickItem* screen = shellOn(1, "ticketsScreen");
        QVERIFY(screen);
        QTRY_COMPARE(state->tickets().size(), 10000);
        auto* list = qvariant_cast<QQuickItem*>(screen->property("list"));
        QTRY_COMPARE(list->property("count").toInt(), 10000);
        auto* filter = qvariant_cast<TicketFilter*>(screen->property("filter"));
        filter->setSearch(QStringLiteral("10012"));
        filter->setState(QStringLiteral("مغلق"));
        int expected = 0;
        for (const TicketSummary& t : state->tickets())
            expected +=
                (t.maintenanceNo + u' ' + t.title.value_or(QString()) + u' ' + t.scope.value_or(QString()))
                    .contains(QStringLiteral("10012")) &&
                t.state == QStringLiteral("مغلق");
        QVERIFY(expected > 0);
        QTRY_COMPARE(list->property("count").toInt(), expected);
        // Delegates are made for what is on screen, not for every row.
        auto delegates = [&] {
            int rows = 0;
            for (QQuickItem* item : list->property("contentItem").value<QQuickItem*>()->childItems())
                rows += item->objectName().startsWith(QLatin1String("ticketRow_"));
            return rows;
        };
        QTRY_VERIFY(delegates() > 0);
        QVERIFY(delegates() < 30);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    OverviewScreensTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_overviewscreens.moc"
