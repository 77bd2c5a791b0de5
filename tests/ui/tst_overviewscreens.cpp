// The overview screens offscreen in the signed-in shell, against a real local server: what the
// rows show, typing in the search, the service-level quick filter and the orders, pulling a list
// down, a row's tap, acknowledging, a notification that opens its ticket (tapped, or activated on
// the desktop), the empty notifications, the load-failure banner, and the ticket list at 10,000
// rows.

#include "appdelegate.h"
#include "appwindow.h"
#include "fixtures.h"
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
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::TestServer;

class OverviewScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    kalvorin::test::RecordingNotificationCenter* center = nullptr;
    kalvorin::test::RootView root;

    // Three unread notifications: one names a ticket of the list, one names none, one names a
    // ticket the list does not hold. The ticket's detail answers for MNT-1.
    void serveNotificationsAboutTickets() {
        server->setReply(
            QStringLiteral("notifications"), 200,
            R"({"ok":true,"notifications":[{"id":7,"title":"تم إسناد البلاغ MNT-1 إليك","body":"يرجى المعالجة قبل نهاية الدوام."},{"id":8,"title":"صيانة مجدولة للأنظمة","body":"تتوقف الأنظمة يوم الجمعة."},{"id":9,"title":"إغلاق البلاغ MNT-77"}]})");
        server->setReply(QStringLiteral("ticket"), 200,
                         kalvorin::test::fixture("ticket.json").replace("MNT-2024-00917", "MNT-1"));
    }

    // Signed in on the given tab, the shell's first refresh over: its loading went on and off
    // again, so no load of its own can still land after the test has set up its answers.
    QQuickItem* shellOn(int tab, const char* screen) {
        state->setSelectedTab(tab);
        QSignalSpy loading(state.get(), &MobileAppState::loadingChanged);
        if (!root.show())
            return nullptr;
        const bool ready = QTest::qWaitFor(
            [&] { return root.find(screen) && loading.size() >= 2 && !state->loading(); }, 10000);
        return ready ? root.find(screen) : nullptr;
    }

    QString textOf(QQuickItem* within, const char* name) const {
        QQuickItem* item = within ? kalvorin::ui::findItem(within, QLatin1String(name)) : nullptr;
        return item ? item->property("text").toString() : QStringLiteral("<missing %1>").arg(name);
    }

    // The ticket numbers of the rows the list shows, top to bottom as they stand in the window.
    QStringList rowsInWindow(QQuickItem* list) const {
        auto* content = list->property("contentItem").value<QQuickItem*>();
        QList<QQuickItem*> rows;
        for (QQuickItem* item : content->childItems())
            if (item->isVisible() && item->objectName().startsWith(QLatin1String("ticketRow_")))
                rows << item;
        std::sort(rows.begin(), rows.end(), [](QQuickItem* a, QQuickItem* b) { return a->y() < b->y(); });
        QStringList numbers;
        for (QQuickItem* row : std::as_const(rows))
            numbers << textOf(row, "ticketNumber");
        return numbers;
    }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state, &center));
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

    // Key by key the list narrows under the field, and the field keeps the keyboard throughout:
    // through every change of the rows, and while it is cleared again.
    void typingNarrowsTheListAndKeepsTheKeyboard_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a number") << "10012";
        QTest::newRow("an Arabic word") << "الشبكة";
    }
    void typingNarrowsTheListAndKeepsTheKeyboard() {
        QFETCH(QString, typed);
        server->setReply(QStringLiteral("tickets"), 200, kalvorin::test::ticketsAnswer(2000));
        QQuickItem* screen = shellOn(1, "ticketsScreen");
        QVERIFY(screen);
        auto* list = qvariant_cast<QQuickItem*>(screen->property("list"));
        QTRY_COMPARE(list->property("count").toInt(), 2000);
        auto* input = qvariant_cast<QQuickItem*>(root.find("searchField")->property("input"));
        root.click(input);
        QTRY_VERIFY(input->hasActiveFocus());
        auto shown = [&](const QString& query) {
            int n = 0;
            for (const TicketSummary& t : state->tickets())
                n += (t.maintenanceNo + u' ' + t.title.value_or(QString()) + u' ' +
                      t.scope.value_or(QString()))
                         .contains(query, Qt::CaseInsensitive);
            return n;
        };
        for (qsizetype i = 1; i <= typed.size(); ++i) {
            root.type(typed.mid(i - 1, 1));
            QTRY_COMPARE(list->property("count").toInt(), shown(typed.left(i)));
            root.settle();
            QVERIFY2(input->hasActiveFocus(),
                     qPrintable(QStringLiteral("focus lost after ") + typed.left(i)));
        }
        QCOMPARE(input->property("text").toString(), typed);
        QVERIFY(list->property("count").toInt() < 2000);
        for (qsizetype i = 0; i < typed.size(); ++i) {
            QTest::keyClick(root.view.get(), Qt::Key_Backspace);
            root.settle();
        }
        QCOMPARE(input->property("text").toString(), QString());
        QTRY_COMPARE(list->property("count").toInt(), 2000);
        QVERIFY(input->hasActiveFocus());
    }

    // The at-risk quick filter tapped, a query typed key by key, then an order picked from its
    // menu: the rows in the window are the tickets at risk that match, in that order; the
    // dashboard counts the breached ones.
    void atRiskTicketsTypedAndOrdered() {
        server->setReply(
            QStringLiteral("tickets"), 200,
            R"({"ok":true,"tickets":[)"
            R"({"maintenanceNo":"MNT-11","title":"طابعة الإدارة","priority":"منخفضة","sla":{"remaining":20,"near":true}},)"
            R"({"maintenanceNo":"MNT-12","title":"شبكة المبنى","priority":"حرجة","sla":{"remaining":0,"breached":true}},)"
            R"({"maintenanceNo":"MNT-13","title":"طابعة القسم","priority":"عالية","sla":{"remaining":300,"near":false}},)"
            R"({"maintenanceNo":"MNT-14","title":"طابعة المستودع","priority":"حرجة","sla":{"remaining":5,"near":true}},)"
            R"({"maintenanceNo":"MNT-15","title":"طابعة الاستقبال"},)"
            R"({"maintenanceNo":"MNT-16","title":"طابعة ملونة","priority":"متوسطة","sla":{"breached":true}}]})");
        QQuickItem* screen = shellOn(1, "ticketsScreen");
        QVERIFY(screen);
        auto* list = qvariant_cast<QQuickItem*>(screen->property("list"));
        QTRY_COMPARE(list->property("count").toInt(), 6);
        QQuickItem* quick = root.find("atRiskFilter");
        QCOMPARE(textOf(quick, "atRiskCount"), QStringLiteral("4"));
        QCOMPARE(textOf(quick, "atRiskLabel"), QStringLiteral("قريبة من التجاوز أو متجاوزة"));

        root.click(quick);
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-11", "MNT-12", "MNT-14", "MNT-16"}));
        auto* input = qvariant_cast<QQuickItem*>(root.find("searchField")->property("input"));
        root.click(input);
        QTRY_VERIFY(input->hasActiveFocus());
        for (const QChar c : QStringLiteral("طابعة"))
            root.type(QString(c));
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-11", "MNT-14", "MNT-16"}));

        const auto pick = [&](int entry, const QString& label) {
            root.click(root.find("sortMenu"));
            QQuickItem* choice = nullptr;
            QTRY_VERIFY((choice = kalvorin::test::findVisible(root.view->contentItem(),
                                                              QStringLiteral("filterEntry%1").arg(entry))));
            QCOMPARE(choice->property("modelData").toString(), label);
            root.click(choice);
            QTRY_COMPARE(textOf(root.find("sortMenu"), "filterTitle"), label);
        };
        pick(1, QStringLiteral("الأقل وقتاً متبقياً"));
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-14", "MNT-11", "MNT-16"}));
        pick(2, QStringLiteral("حسب الأولوية"));
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-14", "MNT-16", "MNT-11"}));
        pick(0, QStringLiteral("الترتيب الافتراضي"));
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-11", "MNT-14", "MNT-16"}));
        // Tapped again, the quick filter lets every ticket that matches the query back in.
        root.click(quick);
        QTRY_COMPARE(rowsInWindow(list), (QStringList{"MNT-11", "MNT-13", "MNT-14", "MNT-15", "MNT-16"}));
        QCOMPARE(input->property("text").toString(), QStringLiteral("طابعة"));

        root.click(root.find("tab0"));
        QTRY_VERIFY(root.find("breachedLine") && root.find("breachedLine")->isVisible());
        QCOMPARE(textOf(root.find("breachedLine"), "breachedCount"), QStringLiteral("2"));
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
        root.pullDown(250, 115); // a short pull is enough: the content follows the finger
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
        // How the user goes back: the header's arrow (0), or a key with its modifiers.
        QTest::addColumn<int>("backKey");
        QTest::addColumn<int>("backModifiers");
        QTest::newRow("ticket list, the arrow") << 1 << "ticketsScreen" << 0 << 0;
        QTest::newRow("dashboard's latest, Escape") << 0 << "dashboardScreen" << int(Qt::Key_Escape) << 0;
        QTest::newRow("ticket list, Alt+Left")
            << 1 << "ticketsScreen" << int(Qt::Key_Left) << int(Qt::AltModifier);
        QTest::newRow("ticket list, the Back key") << 1 << "ticketsScreen" << int(Qt::Key_Back) << 0;
    }
    void aRowTapReachesTheNavigation() {
        QFETCH(int, tab);
        QFETCH(QString, screen);
        QFETCH(int, backKey);
        QFETCH(int, backModifiers);
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
        if (backKey == 0)
            root.click(kalvorin::ui::findItem(detail, QStringLiteral("headerLeading")));
        else
            QTest::keyClick(root.view.get(), Qt::Key(backKey), Qt::KeyboardModifiers(backModifiers));
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

    // A tap on the card of a notification that names a ticket of the list opens that ticket over
    // the notifications tab, and back returns to the list. Its "تأكيد القراءة" acknowledges and
    // opens nothing; a card that names no ticket of the list opens nothing either.
    void aNotificationCardOpensItsTicket() {
        serveNotificationsAboutTickets();
        QVERIFY(shellOn(3, "notificationsScreen"));
        QTRY_VERIFY(root.find("notification_9"));
        QQuickItem* stack = root.find("navigation");
        QQuickItem* card = root.find("notification_7");
        QTRY_VERIFY(kalvorin::ui::findItem(card, QStringLiteral("ticketLink"))->isVisible());
        QCOMPARE(textOf(card, "ticketLinkNumber"), QStringLiteral("MNT-1"));
        for (const char* other : {"notification_8", "notification_9"})
            QVERIFY(!kalvorin::ui::findItem(root.find(other), QStringLiteral("ticketLink"))->isVisible());

        // The acknowledge button of the card that opens a ticket only acknowledges.
        TestServer::Reply held;
        held.hold = true;
        server->setReply(QStringLiteral("ack_notification"), held);
        root.click(kalvorin::ui::findItem(card, QStringLiteral("acknowledgeButton")));
        QTRY_COMPARE(server->heldCount(), 1);
        QCOMPARE(QByteArray(server->requestsFor(QStringLiteral("ack_notification")).first().body),
                 QByteArray(R"({"notificationId":7})"));
        // The cards that name no ticket of the list: a finger on them changes nothing.
        for (const char* other : {"notification_8", "notification_9"}) {
            QQuickItem* item = root.find(other);
            QTest::mouseClick(root.view.get(), Qt::LeftButton, {},
                              item->mapToScene(QPointF(item->width() / 2, item->height() / 3)).toPoint());
        }
        root.settle();
        QCOMPARE(stack->property("depth").toInt(), 1);
        QCOMPARE(server->requestsFor(QStringLiteral("ticket")).size(), 0);
        server->release();

        // The card itself opens its ticket, over the notifications tab.
        root.click(card);
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        QCOMPARE(state->selectedTab(), 3);
        auto* detail = stack->property("currentItem").value<QQuickItem*>();
        QTRY_COMPARE(textOf(detail, "ticketNumber"), QStringLiteral("MNT-1"));
        QCOMPARE(server->requestsFor(QStringLiteral("ticket")).size(), 1);
        QVERIFY(
            server->requestsFor(QStringLiteral("ticket")).first().rawQuery.contains("maintenanceNo=MNT-1"));
        QCOMPARE(server->requestsFor(QStringLiteral("ack_notification")).size(), 1);
        QTRY_VERIFY(!stack->property("busy").toBool());
        root.click(kalvorin::ui::findItem(detail, QStringLiteral("headerLeading")));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QTRY_VERIFY(root.find("notificationsScreen") && root.find("notificationsScreen")->isVisible());
        QVERIFY(root.find("notification_7"));
    }

    // Activating a desktop notification brings the app's window to the front on the notifications
    // tab, with the ticket it names opened over it when that ticket is in the list.
    void activatingTheDesktopNotificationOpensItsTicket_data() {
        QTest::addColumn<int>("fromTab");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("opened");
        QTest::newRow("from the dashboard") << 0 << "kalvorin-7"
                                            << "MNT-1";
        QTest::newRow("on the notifications tab") << 3 << "kalvorin-7"
                                                  << "MNT-1";
        QTest::newRow("no ticket named") << 1 << "kalvorin-8"
                                         << "";
        QTest::newRow("a ticket not in the list") << 0 << "kalvorin-9"
                                                  << "";
    }
    void activatingTheDesktopNotificationOpensItsTicket() {
        QFETCH(int, fromTab);
        QFETCH(QString, identifier);
        QFETCH(QString, opened);
        serveNotificationsAboutTickets();
        state->setSelectedTab(fromTab);
        kalvorin::test::AppWindow app;
        QVERIFY(app.show());
        KalvorinAppDelegate delegate(*state);
        delegate.didFinishLaunching(*center);
        kalvorin::ui::followNotificationActivation(delegate, *app.engine);
        QTRY_VERIFY(center->postedIdentifiers().contains(identifier));
        QTRY_VERIFY(!state->tickets().isEmpty() && !state->loading());

        // Another window in front, as when the user works in another program.
        QQuickWindow other;
        other.resize(200, 200);
        other.show();
        other.requestActivate();
        QTRY_VERIFY(other.isActive());

        QVERIFY(center->answer(identifier, NotificationCenter::kDefaultAction));
        QTRY_VERIFY(app.window->isActive());
        QCOMPARE(state->selectedTab(), 3);
        QQuickItem* stack = app.find("navigation");
        QTRY_VERIFY(app.find("notificationsScreen"));
        if (opened.isEmpty()) {
            app.settle();
            QCOMPARE(stack->property("depth").toInt(), 1);
            QCOMPARE(server->requestsFor(QStringLiteral("ticket")).size(), 0);
            return;
        }
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        auto* detail = stack->property("currentItem").value<QQuickItem*>();
        QTRY_COMPARE(textOf(detail, "ticketNumber"), opened);
        QTRY_VERIFY(!stack->property("busy").toBool());
        // Activated again while it is open: the same ticket is not stacked twice.
        QVERIFY(center->answer(identifier, NotificationCenter::kDefaultAction));
        app.settle();
        QCOMPARE(stack->property("depth").toInt(), 2);
        QVERIFY(app.tap(kalvorin::ui::findItem(detail, QStringLiteral("headerLeading"))));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QVERIFY(app.find("notificationsScreen")->isVisible());
    }

    void noNotificationsShowTheEmptyState() {
        server->setReply(QStringLiteral("notifications"), 200, R"({"ok":true,"notifications":[]})");
        QVERIFY(shellOn(3, "notificationsScreen"));
        QTRY_VERIFY(root.find("emptyNotifications") && root.find("emptyNotifications")->isVisible());
        QCOMPARE(textOf(root.find("emptyNotifications"), "emptyStateText"),
                 QStringLiteral("لا توجد إشعارات حالياً"));
    }

    // A failed load shows under the header until it is closed, or until the load that failed
    // succeeds, or (when the server could not be reached) until the status check reaches it. A
    // load that failed on the server's answer stays while the server merely answers its status.
    void aLoadFailureShowsUntilItsCauseEnds_data() {
        QTest::addColumn<bool>("unreached");
        QTest::addColumn<QString>("ends");
        QTest::addColumn<bool>("gone");
        QTest::newRow("closed by a tap") << false << "tap" << true;
        QTest::newRow("the same load succeeds") << false << "tickets" << true;
        QTest::newRow("refused, the status answers") << false << "status" << false;
        QTest::newRow("unreached, the status answers") << true << "status" << true;
        QTest::newRow("unreached, another load succeeds") << true << "notifications" << false;
    }
    void aLoadFailureShowsUntilItsCauseEnds() {
        QFETCH(bool, unreached);
        QFETCH(QString, ends);
        QFETCH(bool, gone);
        QVERIFY(shellOn(1, "ticketsScreen"));
        QQuickItem* banner = root.find("loadFailureBanner");
        QVERIFY(banner && !banner->isVisible());
        TestServer::Reply failing;
        failing.status = 503;
        failing.body = "";
        failing.drop = unreached;
        server->setReply(QStringLiteral("tickets"), failing);
        state->startLoadTickets();
        QTRY_VERIFY(banner->isVisible());
        QVERIFY(!state->errorMessage().isEmpty());
        QCOMPARE(textOf(banner, "loadFailureText"), state->errorMessage());
        server->setReply(QStringLiteral("tickets"), 200, R"({"ok":true,"tickets":[]})");
        if (ends == QLatin1String("tap"))
            root.click(root.find("loadFailureDismiss"));
        else if (ends == QLatin1String("tickets"))
            QCoro::waitFor(state->loadTickets());
        else if (ends == QLatin1String("status"))
            QCoro::waitFor(state->checkStatus());
        else
            QCoro::waitFor(state->loadNotifications());
        QTRY_COMPARE(banner->isVisible(), !gone);
        QCOMPARE(state->errorMessage().isEmpty(), gone);
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
