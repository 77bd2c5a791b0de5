// The screenshot tour: the real window and screens, driven through the shared state against a
// running server, one PNG per screen.
//
//     kalvorin-tour OUTDIR SERVER_BASE_URL USER [--idle-cpu SECONDS]
//     (the password comes from the environment variable KALVORIN_TOUR_PASSWORD; a processing
//     agent's account, for the new-ticket form prefilled from its scope, from KALVORIN_TOUR_AGENT
//     and KALVORIN_TOUR_AGENT_PASSWORD when they are set)
//
// With --idle-cpu the tour ends by leaving the signed-in shell standing on its first tab and
// prints the process's CPU use over that many seconds (user + system time from /proc/self/stat,
// as a share of one core).

#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "records/records.h"
#include "shellnavigation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <qcorotask.h>
#include <unistd.h>
#include <utility>

namespace {

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        pause(50);
    }
    return true;
}

// utime + stime of this process, in clock ticks.
qint64 cpuTicks() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces: the fields that follow start after its closing ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // Field 3 of the line is fields[0] here; utime and stime are fields 14 and 15.
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

class Tour {
public:
    Tour(QString outDir, QQuickWindow& window) : m_outDir(std::move(outDir)), m_window(window) {}

    bool shoot(const QString& name) {
        pause(150);
        const QImage image = m_window.grabWindow();
        const QString path = QDir(m_outDir).filePath(name + QStringLiteral(".png"));
        const bool ok = !image.isNull() && image.save(path);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        std::fflush(stdout);
        return ok;
    }

    // Screens created by a Loader hang in the item tree, not always in the object tree.
    QQuickItem* find(const char* objectName) const {
        return kalvorin::ui::findItem(m_window.contentItem(), QLatin1String(objectName));
    }

    // A press and release at the item's centre, as a finger does.
    bool tap(QQuickItem* item) {
        if (!item)
            return false;
        pause(200);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(&m_window, Qt::LeftButton, {}, centre.toPoint());
        return true;
    }

    bool check(bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "tour: %s\n", what);
            m_failed = true;
        }
        return ok;
    }
    bool failed() const { return m_failed; }

private:
    QString m_outDir;
    QQuickWindow& m_window;
    bool m_failed = false;
};

// Scrolls a list view (found by object name) so that its first row stands at the top.
void showFirstRow(Tour& tour, const char* listName) {
    if (QQuickItem* list = tour.find(listName))
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, 0), Q_ARG(int, 1));
}

// The first notification that names a ticket of the list, its card tapped as a finger does: the
// ticket's detail over the notifications tab; then back to the list.
void tourNotificationOpensTicket(Tour& tour, kalvorin::MobileAppState& state) {
    pause(500);
    showFirstRow(tour, "notificationList");
    QQuickItem* card = nullptr;
    for (const kalvorin::MobileNotification& n : state.notifications()) {
        if (!state.notificationModel()->ticketNumberOf(n.id).isEmpty()) {
            card = tour.find(qPrintable(QStringLiteral("notification_%1").arg(n.id)));
            break;
        }
    }
    QQuickItem* stack = tour.find("navigation");
    if (!tour.check(card && stack, "no notification that names a ticket of the list"))
        return;
    tour.tap(card);
    if (!tour.check(waitFor([&] { return stack->property("depth").toInt() == 2; }),
                    "a tapped notification opens no ticket"))
        return;
    auto* screen = qvariant_cast<QQuickItem*>(stack->property("currentItem"));
    QObject* view = screen ? qvariant_cast<QObject*>(screen->property("view")) : nullptr;
    tour.check(view && waitFor([&] { return view->property("hasTicket").toBool(); }),
               "the notification's ticket does not load");
    pause(600);
    tour.shoot(QStringLiteral("48-notification-opens-ticket"));
    tour.tap(kalvorin::ui::findItem(screen, QStringLiteral("headerLeading")));
    tour.check(waitFor([&] { return stack->property("depth").toInt() == 1; }), "no way back to the list");
    pause(400);
}

void overviewTour(Tour& tour, kalvorin::MobileAppState& state) {
    state.setSelectedTab(0);
    pause(600);
    showFirstRow(tour, "latestList");
    tour.shoot(QStringLiteral("40-dashboard-latest"));

    state.setSelectedTab(1);
    pause(600);
    QObject* tickets = tour.find("ticketsScreen");
    if (!tour.check(tickets && !state.tickets().isEmpty(), "no ticket list"))
        return;
    auto* filter = qvariant_cast<QObject*>(tickets->property("filter"));
    const kalvorin::TicketSummary first = state.tickets().constFirst();
    // A word of the first ticket's title, as someone would type it.
    filter->setProperty("search", first.title.value_or(first.maintenanceNo).section(u' ', 0, 0));
    pause(500);
    tour.shoot(QStringLiteral("41-tickets-search"));
    filter->setProperty("search", QString());
    // The state menu opened, then the first ticket's state chosen in it.
    if (QQuickItem* menu = tour.find("stateFilter")) {
        QMetaObject::invokeMethod(menu, "open");
        pause(500);
        tour.shoot(QStringLiteral("42-filter-menu"));
        QMetaObject::invokeMethod(menu, "choose", Q_ARG(QString, first.state.value_or(QString())));
    }
    pause(500);
    tour.shoot(QStringLiteral("43-tickets-by-state"));
    filter->setProperty("state", QStringLiteral("كل الحالات"));
    // The service-level quick filter tapped, the order's menu opened by a tap, and the least
    // remaining time first chosen in it.
    showFirstRow(tour, "ticketList");
    if (tour.check(tour.tap(tour.find("atRiskFilter")), "no quick filter") &&
        tour.check(tour.tap(tour.find("sortMenu")), "no order menu")) {
        pause(500);
        tour.shoot(QStringLiteral("46-order-menu"));
        QMetaObject::invokeMethod(tour.find("sortMenu"), "choose",
                                  Q_ARG(QString, QStringLiteral("الأقل وقتاً متبقياً")));
        pause(500);
        tour.shoot(QStringLiteral("47-tickets-at-risk-least-remaining"));
    }
    filter->setProperty("atRiskOnly", false);
    filter->setProperty("orderLabel", QStringLiteral("الترتيب الافتراضي"));

    state.setSelectedTab(3);
    pause(600);
    const QList<kalvorin::MobileNotification> notifications = state.notifications();
    state.setNotifications({});
    pause(500);
    tour.shoot(QStringLiteral("44-notifications-empty"));
    state.setNotifications(notifications);
    tourNotificationOpensTicket(tour, state);

    state.setSelectedTab(0);
    state.setErrorMessage(QStringLiteral("رفض الخادم الاتصال. تأكد من عنوان الخادم ومن أنه يعمل."));
    pause(600);
    tour.shoot(QStringLiteral("45-load-failure-banner"));
    state.setErrorMessage(QString());
}

// ---- the new-ticket form ---------------------------------------------------------------------
// The form's screens: empty (top, middle, bottom), the lookups' status line, the cascade with
// the lock note, an open drop-down, joint processing, attachments and the limit notice, and the
// result line after a success and after a refusal. The form is driven through its own object.

const QUrl kCreateScreenURL(QStringLiteral("qrc:/qt/qml/Kalvorin/Create/CreateTicketScreen.qml"));

// Scrolls the form so that the item named `name` is near the top (or to an end: "top", "bottom").
void scrollCreateFormTo(Tour& tour, const char* name) {
    QQuickItem* page = tour.find("createTicketPage");
    if (!tour.check(page != nullptr, "no new-ticket page"))
        return;
    pause(300); // the layout takes in what just changed before its height is read
    const qreal most = std::max<qreal>(0, page->property("contentHeight").toReal() - page->height());
    qreal y = 0;
    if (qstrcmp(name, "bottom") == 0) {
        y = most;
    } else if (qstrcmp(name, "middle") == 0) {
        y = most / 2;
    } else if (qstrcmp(name, "top") != 0) {
        QQuickItem* item = tour.find(name);
        auto* content = qvariant_cast<QQuickItem*>(page->property("contentItem"));
        if (!tour.check(item && content, name))
            return;
        y = std::clamp<qreal>(item->mapToItem(content, QPointF(0, 0)).y() - 16, 0, most);
    }
    page->setProperty("contentY", y);
}

void tourCreateForm(Tour& tour, kalvorin::MobileAppState& state) {
    QTemporaryDir scratch;
    state.setSelectedTab(2);
    pause(400);
    QQuickItem* loader = tour.find("tabScreen");
    if (!tour.check(loader != nullptr, "no tab screen"))
        return;
    if (!tour.find("createTicketScreen"))
        loader->setProperty("source", kCreateScreenURL);
    tour.check(waitFor([&] { return tour.find("createTicketScreen") != nullptr; }), "no new-ticket screen");
    QObject* form = qvariant_cast<QObject*>(tour.find("createTicketScreen")->property("form"));
    if (!tour.check(form != nullptr, "no new-ticket form"))
        return;
    pause(600);
    for (const char* where : {"top", "middle", "bottom"}) {
        scrollCreateFormTo(tour, where);
        tour.shoot(QStringLiteral("13-new-ticket-empty-%1").arg(QLatin1String(where)));
    }

    // A demo beneficiary: found by national id, then checked by account.
    scrollCreateFormTo(tour, "top");
    form->setProperty("nationalId", QStringLiteral("1104472113"));
    tour.check(waitFor([&] {
                   return form->property("lookupMessage").toString() ==
                          QStringLiteral("تم التحقق من حساب المستخدم.");
               }),
               "no account check after the beneficiary lookup");
    tour.shoot(QStringLiteral("14-new-ticket-lookup-found"));
    form->setProperty("serviceIndex", 2);
    form->setProperty("title", QStringLiteral("تعطل الطابعة في المكتب"));
    scrollCreateFormTo(tour, "reporterCard");
    tour.shoot(QStringLiteral("15-new-ticket-cascade"));

    // The region's drop-down, open.
    if (QQuickItem* picker = tour.find("reporterPicker2")) {
        auto* menu = qvariant_cast<QObject*>(picker->property("menu"));
        auto* popup = menu ? qvariant_cast<QObject*>(menu->property("popup")) : nullptr;
        if (tour.check(popup != nullptr, "no drop-down popup")) {
            QMetaObject::invokeMethod(popup, "open");
            pause(400);
            tour.shoot(QStringLiteral("16-new-ticket-open-drop-down"));
            QMetaObject::invokeMethod(popup, "close");
        }
    }

    // Another department chosen: the region's drop-down shows the region the form keeps.
    if (QObject* department = qvariant_cast<QObject*>(form->property("departmentLevel"))) {
        const int options = department->property("options").toStringList().size();
        const int current = department->property("currentIndex").toInt();
        if (options > 1) {
            department->setProperty("currentIndex", current % options + 1);
            scrollCreateFormTo(tour, "reporterCard");
            tour.shoot(QStringLiteral("23-new-ticket-region-after-department-change"));
        }
    }

    form->setProperty("requiresParticipants", true);
    form->setProperty("participantIndex", 1);
    form->setProperty("participantReason", QStringLiteral("يحتاج إفادة من الشبكات"));
    scrollCreateFormTo(tour, "jointCard");
    tour.shoot(QStringLiteral("17-new-ticket-joint-processing"));

    // Three attachments, then four more than the list can take.
    QList<QUrl> files;
    for (const char* name :
         {"صورة-العطل.png", "تقرير-الفني.pdf", "ملاحظات.docx", "a.pdf", "b.pdf", "c.pdf", "d.pdf"}) {
        QFile file(scratch.filePath(QString::fromUtf8(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(int(qstrlen(name)) * 9000, 'k'));
        files << QUrl::fromLocalFile(file.fileName());
    }
    QMetaObject::invokeMethod(form, "handleCreateAttachments", Q_ARG(QList<QUrl>, files.mid(0, 3)));
    scrollCreateFormTo(tour, "attachmentsCard");
    tour.shoot(QStringLiteral("18-new-ticket-three-attachments"));
    QMetaObject::invokeMethod(form, "handleCreateAttachments", Q_ARG(QList<QUrl>, files.mid(3)));
    scrollCreateFormTo(tour, "bottom");
    tour.shoot(QStringLiteral("19-new-ticket-limit-notice"));

    // A refusal (a service the catalogue does not hold), then the success.
    form->setProperty("description", QStringLiteral("الطابعة لا تستجيب منذ الصباح"));
    form->setProperty("selectedServiceId", 999);
    QMetaObject::invokeMethod(form, "startCreate");
    tour.check(waitFor([&] { return !form->property("running").toBool(); }), "the refused submission hangs");
    scrollCreateFormTo(tour, "bottom");
    tour.shoot(QStringLiteral("20-new-ticket-refused"));
    form->setProperty("serviceIndex", 2);
    QMetaObject::invokeMethod(form, "startCreate");
    tour.check(
        waitFor([&] { return form->property("message").toString().contains(QStringLiteral("تم إنشاء")); }),
        "no success line");
    scrollCreateFormTo(tour, "bottom");
    tour.shoot(QStringLiteral("21-new-ticket-created"));
    state.setSelectedTab(0);
    pause(400);
}
// A draft typed, kept across a tab switch; the confirmation of "مسح النموذج"; the server ending
// the session (its test control) and the prompt over the shell; signed in again, the draft still
// there.
void tourDraftAndEndedSession(Tour& tour, kalvorin::MobileAppState& state, const QString& password) {
    state.setSelectedTab(2);
    tour.check(waitFor([&] { return tour.find("createTicketScreen") != nullptr; }), "no new-ticket screen");
    QObject* form = qvariant_cast<QObject*>(tour.find("createTicketScreen")->property("form"));
    if (!tour.check(form != nullptr, "no new-ticket form"))
        return;
    form->setProperty("beneficiary", QStringLiteral("محمد عبدالله"));
    form->setProperty("email", QStringLiteral("m.abdullah@example.org"));
    form->setProperty("title", QStringLiteral("انقطاع الشبكة في الدور الثاني"));
    state.setSelectedTab(1);
    pause(400);
    state.setSelectedTab(2);
    pause(400);
    scrollCreateFormTo(tour, "top");
    tour.shoot(QStringLiteral("31-new-ticket-draft-kept"));
    scrollCreateFormTo(tour, "clearDraftButton");
    tour.check(tour.tap(tour.find("clearDraftButton")), "no clear button");
    pause(400);
    tour.shoot(QStringLiteral("32-new-ticket-clear-confirmation"));
    tour.check(tour.tap(tour.find("cancelClearButton")), "no cancel button");
    pause(300);

    const QString user = state.rememberedUsername();
    QCoro::waitFor(state.api()->send<kalvorin::APIMessage>(
        state.serverURL(), QStringLiteral("test_control"), QStringLiteral("POST"), {},
        QJsonObject{{QStringLiteral("endSessions"), user}}));
    state.startCheckStatus();
    tour.check(waitFor([&] { return state.sessionEnded(); }), "the ended session is not noticed");
    pause(500);
    tour.shoot(QStringLiteral("33-session-ended-prompt"));
    if (QQuickItem* prompt = tour.find("resumePasswordField"))
        prompt->setProperty("text", password);
    state.startLogin(user, password, true);
    tour.check(waitFor([&] { return !state.sessionEnded() && !state.loading(); }), "no sign-in again");
    pause(500);
    scrollCreateFormTo(tour, "top");
    tour.shoot(QStringLiteral("34-new-ticket-after-signing-in-again"));
    QMetaObject::invokeMethod(form, "clearDraft");
    state.setSelectedTab(0);
    pause(400);
}
} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: kalvorin-tour OUTDIR SERVER_BASE_URL USER [--idle-cpu SECONDS]\n"
                             "       (password in KALVORIN_TOUR_PASSWORD)\n");
        return 2;
    }
    const QString outDir = args.at(1);
    const QString serverURL = args.at(2);
    const QString user = args.at(3);
    const QString password = qEnvironmentVariable("KALVORIN_TOUR_PASSWORD");
    const int idleIndex = int(args.indexOf(QStringLiteral("--idle-cpu")));
    const int idleSeconds = idleIndex > 0 ? args.value(idleIndex + 1).toInt() : 0;
    QDir().mkpath(outDir);

    // A first launch with settings of its own, never the developer's.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KalvorinTour"));
    QCoreApplication::setApplicationName(QStringLiteral("KalvorinMobileTour"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVORIN_VERSION));
    QSettings().clear();
    kalvorin::ui::prepareApplication(app);

    kalvorin::MobileAppState state;
    state.setServerURL(serverURL);
    kalvorin::ui::installAppState(&state);

    QQmlApplicationEngine engine;
    kalvorin::ui::addImportPaths(engine);
    // The app's own window, through its module as the app's Main.qml has it.
    engine.loadData("import Kalvorin.Frame\nAppWindow {}\n",
                    QUrl(QStringLiteral("qrc:/kalvorin-tour/Main.qml")));
    if (engine.rootObjects().isEmpty()) {
        std::fprintf(stderr, "tour: the window could not be created\n");
        return 1;
    }
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (!window)
        return 1;
    Tour tour(outDir, *window);

    // Sign-in, empty, once the server has answered and the entrance is over.
    tour.check(waitFor([&] { return state.status().has_value(); }), "no status answer");
    pause(1600);
    tour.shoot(QStringLiteral("01-sign-in"));

    // Sign-in with the server's refusal in the alert.
    state.startLogin(user, QStringLiteral("not-the-password"), true);
    tour.check(waitFor([&] { return !state.errorMessage().isEmpty() && !state.loading(); }),
               "no error for a bad password");
    pause(500);
    tour.shoot(QStringLiteral("02-sign-in-error"));
    state.setErrorMessage(QString());
    pause(400);

    // The connection-settings sheet over the sign-in screen.
    if (QObject* login = tour.find("loginScreen")) {
        login->setProperty("showSettings", true);
        pause(700);
        tour.shoot(QStringLiteral("03-connection-settings"));
        login->setProperty("showSettings", false);
        pause(500);
    } else {
        tour.check(false, "no sign-in screen");
    }

    // Signed in: the shell on each of its five tabs.
    state.startLogin(user, password, true);
    tour.check(waitFor([&] { return state.user().has_value(); }), "sign-in failed");
    tour.check(waitFor([&] { return tour.find("shell") != nullptr; }), "no shell");
    tour.check(waitFor([&] { return !state.loading() && !state.notifications().isEmpty(); }),
               "no notifications");
    pause(800);
    const char* const tabs[] = {"04-shell-home", "05-shell-tickets", "06-shell-new-ticket",
                                "07-shell-notifications", "08-more"};
    for (int tab = 0; tab < 5; ++tab) {
        state.setSelectedTab(tab);
        pause(700);
        tour.shoot(QString::fromLatin1(tabs[tab]));
    }

    // The overview screens: the dashboard scrolled to its latest tickets, the ticket list searched
    // and filtered, the filter menu, the notifications and their empty state, the load-failure
    // banner.
    overviewTour(tour, state);
    tourCreateForm(tour, state);
    tourDraftAndEndedSession(tour, state, password);

    // The connection settings opened from the More screen.
    if (QQuickItem* more = tour.find("tabScreen")) {
        QObject* screen = qvariant_cast<QObject*>(more->property("item"));
        if (tour.check(screen != nullptr, "no More screen")) {
            screen->setProperty("showSettings", true);
            pause(700);
            tour.shoot(QStringLiteral("09-more-connection-settings"));
            screen->setProperty("showSettings", false);
            pause(500);
        }
    }

    // A ticket opened from the list, pushed over the tickets tab as a tap does: the top, the
    // attachments, the processing chain, each action sheet empty and filled, a sheet's red
    // failure, then the failure and loading lines of tickets opened after it.
    state.setSelectedTab(1);
    pause(500);
    auto* navigation = engine.singletonInstance<kalvorin::ShellNavigation*>(
        qmlTypeId("Kalvorin.Frame", 1, 0, "ShellNavigation"));
    const auto openTicket = [&](const QString& number) -> QQuickItem* {
        navigation->openTicket(number);
        pause(600); // the push transition
        QQuickItem* stack = tour.find("navigation");
        return stack ? qvariant_cast<QQuickItem*>(stack->property("currentItem")) : nullptr;
    };
    if (tour.check(!state.tickets().isEmpty() && navigation, "no ticket to open")) {
        QQuickItem* screen = openTicket(state.tickets().constFirst().maintenanceNo);
        QObject* view = screen ? qvariant_cast<QObject*>(screen->property("view")) : nullptr;
        if (tour.check(view != nullptr, "no detail screen")) {
            tour.check(waitFor([&] { return view->property("hasTicket").toBool(); }), "detail not loaded");
            pause(600);
            tour.shoot(QStringLiteral("50-detail-top"));
            auto scrollTo = [&](const char* name) {
                QQuickItem* page = tour.find("detailPage");
                QQuickItem* item = tour.find(name);
                if (page && item)
                    page->setProperty("contentY",
                                      item->mapToItem(page->childItems().constFirst(), QPointF()).y() - 16);
            };
            scrollTo("attachmentsCard");
            tour.shoot(QStringLiteral("51-detail-attachments"));
            scrollTo("processingChain");
            tour.shoot(QStringLiteral("52-detail-processing-chain"));
            int shot = 53;
            for (const char* kind : {"comment", "route", "close", "reject", "managerRoute",
                                     "temporaryPassword", "jointProcessing"}) {
                screen->setProperty("actionKind", QString::fromLatin1(kind));
                pause(500);
                tour.shoot(QStringLiteral("%1-sheet-%2").arg(shot++).arg(QLatin1String(kind)));
                if (QQuickItem* editor = tour.find("noteEditor"))
                    editor->setProperty("text", QStringLiteral("تمت معاينة الموقع والتواصل مع المستفيد."));
                // The first real option of each picker shown, chosen as a tap would.
                for (const char* picker : {"scopePicker", "reasonPicker", "handlerPicker"}) {
                    QQuickItem* menu = tour.find(picker);
                    if (!menu || !menu->isVisible() || menu->property("count").toInt() < 2)
                        continue;
                    menu->setProperty("currentIndex", 1);
                    QMetaObject::invokeMethod(menu, "activated", Q_ARG(int, 1));
                    pause(100);
                }
                pause(300);
                tour.shoot(QStringLiteral("%1-sheet-%2-filled").arg(shot++).arg(QLatin1String(kind)));
                screen->setProperty("actionKind", QString());
                pause(400);
            }
            // A sheet closed by a tap on its "إغلاق".
            screen->setProperty("actionKind", QStringLiteral("route"));
            pause(500);
            tour.check(tour.tap(tour.find("sheetClose")), "no close button on the sheet");
            tour.check(waitFor([&] { return screen->property("actionKind").toString().isEmpty(); }),
                       "a tap on the close button leaves the sheet open");
            pause(400);
            tour.shoot(QStringLiteral("70-sheet-closed-by-tap"));
            // A closure evidence the server cannot take: the red result line.
            {
                QTemporaryDir scratch;
                QFile evidence(scratch.filePath(QStringLiteral("محضر-الإغلاق.pdf")));
                if (evidence.open(QIODevice::WriteOnly))
                    evidence.write(QByteArray(20000, 'p'));
                evidence.close();
                const QString reachable = state.serverURL();
                state.setServerURL(QStringLiteral("http://127.0.0.1:9/kalvorin/"));
                QMetaObject::invokeMethod(view, "uploadClosureEvidence",
                                          Q_ARG(QUrl, QUrl::fromLocalFile(evidence.fileName())));
                tour.check(waitFor([&] { return !view->property("outcome").toString().isEmpty(); }),
                           "no result line after a failed upload");
                state.setServerURL(reachable);
                scrollTo("attachmentsCard");
                tour.shoot(QStringLiteral("71-detail-upload-failed"));
                QMetaObject::invokeMethod(view, "dismissOutcome");
            }
            // A failure inside the sheet: the server cannot be reached.
            const QString realServer = state.serverURL();
            screen->setProperty("actionKind", QStringLiteral("comment"));
            pause(400);
            if (QQuickItem* editor = tour.find("noteEditor"))
                editor->setProperty("text", QStringLiteral("تعليق لن يصل إلى الخادم."));
            state.setServerURL(QStringLiteral("http://127.0.0.1:9/kalvorin/"));
            if (QQuickItem* submit = tour.find("submitAction"))
                QMetaObject::invokeMethod(submit, "clicked");
            tour.check(
                waitFor([&] { return tour.find("formMessage") && tour.find("formMessage")->isVisible(); }),
                "no failure in the sheet");
            tour.shoot(QStringLiteral("67-sheet-failure"));
            screen->setProperty("actionKind", QString());
            state.setServerURL(realServer);
            pause(400);
            // A number the server does not know: the failure line.
            QQuickItem* failing = openTicket(QStringLiteral("MNT-0000-00000"));
            QObject* failingView = failing ? qvariant_cast<QObject*>(failing->property("view")) : nullptr;
            if (tour.check(failingView != nullptr, "no second detail screen")) {
                tour.check(waitFor([&] { return !failingView->property("loading").toBool(); }),
                           "no failure line");
                tour.shoot(QStringLiteral("68-detail-failure"));
            }
            // A server that takes the connection and never answers: the loading line.
            QTcpServer silent;
            silent.listen(QHostAddress::LocalHost);
            state.setServerURL(QStringLiteral("http://127.0.0.1:%1/kalvorin/").arg(silent.serverPort()));
            if (tour.check(openTicket(QStringLiteral("MNT-0000-00001")) != nullptr, "no third detail screen"))
                tour.shoot(QStringLiteral("69-detail-loading"));
            state.setServerURL(realServer);
        }
    }

    // A narrow phone and a desktop window: nothing clipped at 300 px, the phone width centred at 800.
    state.setSelectedTab(0);
    for (const auto& [width, name] : {std::pair{300, "11-narrow-300"}, std::pair{800, "12-wide-800"}}) {
        window->resize(width, window->height());
        pause(700);
        tour.shoot(QString::fromLatin1(name));
    }
    // At 300 px: the dashboard's overview card, and the priority filter's menu opened by a tap.
    window->resize(300, window->height());
    pause(500);
    if (QQuickItem* list = tour.find("latestList")) {
        if (QQuickItem* card = tour.find("donutChart"))
            list->setProperty(
                "contentY",
                card->mapToItem(list->property("contentItem").value<QQuickItem*>(), QPointF(0, 0)).y() - 80);
    }
    pause(400);
    tour.shoot(QStringLiteral("24-dashboard-overview-300"));
    // The ring scrolled under the tab bar: the bar stays on top of it.
    if (QQuickItem* list = tour.find("latestList")) {
        if (QQuickItem* ring = tour.find("donutChart")) {
            auto* content = list->property("contentItem").value<QQuickItem*>();
            list->setProperty("contentY",
                              ring->mapToItem(content, QPointF(0, 0)).y() - window->height() + 110);
        }
    }
    pause(400);
    tour.shoot(QStringLiteral("28-dashboard-ring-under-tab-bar"));
    // The counters and the line of breached tickets under them.
    if (QQuickItem* list = tour.find("latestList")) {
        if (QQuickItem* line = tour.find("breachedLine"))
            list->setProperty(
                "contentY",
                line->mapToItem(list->property("contentItem").value<QQuickItem*>(), QPointF(0, 0)).y() - 330);
    }
    pause(400);
    tour.shoot(QStringLiteral("29-dashboard-breached-300"));
    state.setSelectedTab(1);
    pause(700);
    // The quick filter and an order at 300 px: the two stand one above the other.
    if (QObject* tickets = tour.find("ticketsScreen")) {
        auto* filter = qvariant_cast<QObject*>(tickets->property("filter"));
        showFirstRow(tour, "ticketList");
        tour.check(tour.tap(tour.find("atRiskFilter")), "no quick filter at 300 px");
        filter->setProperty("orderLabel", QStringLiteral("حسب الأولوية"));
        pause(500);
        tour.shoot(QStringLiteral("30-tickets-at-risk-by-priority-300"));
        filter->setProperty("atRiskOnly", false);
        filter->setProperty("orderLabel", QStringLiteral("الترتيب الافتراضي"));
        pause(300);
    }
    if (tour.check(tour.tap(tour.find("priorityFilter")), "no priority filter")) {
        pause(500);
        tour.shoot(QStringLiteral("25-filter-menu-300"));
        QTest::keyClick(window, Qt::Key_Escape);
        pause(300);
    }
    // On its side: the dashboard and the ticket list.
    window->resize(844, 390);
    for (const auto& [tab, name] :
         {std::pair{0, "26-landscape-dashboard"}, std::pair{1, "27-landscape-tickets"}}) {
        state.setSelectedTab(tab);
        pause(700);
        tour.shoot(QString::fromLatin1(name));
    }
    window->resize(390, 844);
    state.setSelectedTab(0);
    pause(300);

    if (idleSeconds > 0) {
        state.setSelectedTab(0);
        pause(3000);
        const qint64 before = cpuTicks();
        QElapsedTimer clock;
        clock.start();
        pause(idleSeconds * 1000);
        const qint64 ticks = cpuTicks() - before;
        const double seconds = double(ticks) / double(sysconf(_SC_CLK_TCK));
        std::printf("idle signed-in shell: %.2f s of CPU in %.1f s = %.2f %% of one core\n", seconds,
                    clock.elapsed() / 1000.0, 100.0 * seconds / (clock.elapsed() / 1000.0));
    }

    // Sign-out returns to the sign-in screen.
    state.startLogout();
    tour.check(waitFor([&] { return tour.find("loginScreen") != nullptr; }),
               "no sign-in screen after sign-out");
    pause(1600);
    tour.shoot(QStringLiteral("10-signed-out"));

    // A processing agent's new-ticket form: the reporter levels come from the agent's own scope,
    // with the note that says so.
    const QString agent = qEnvironmentVariable("KALVORIN_TOUR_AGENT");
    if (!agent.isEmpty()) {
        state.startLogin(agent, qEnvironmentVariable("KALVORIN_TOUR_AGENT_PASSWORD"), true);
        tour.check(waitFor([&] { return state.user().has_value() && tour.find("shell") != nullptr; }),
                   "the agent's sign-in failed");
        // The form prefills when it appears, from the reference data the refresh brings (the
        // previous account's stay held until then).
        tour.check(waitFor([&] {
                       return state.references() && state.references()->createContext &&
                              state.references()->createContext->lockedByScope.value_or(false);
                   }),
                   "no reference data for the agent");
        state.setSelectedTab(2);
        tour.check(waitFor([&] {
                       const QQuickItem* note = tour.find("lockNote");
                       return note && note->isVisible();
                   }),
                   "no lock note for an agent");
        scrollCreateFormTo(tour, "reporterCard");
        tour.shoot(QStringLiteral("22-new-ticket-lock-note"));
    }

    return tour.failed() ? 1 : 0;
}
