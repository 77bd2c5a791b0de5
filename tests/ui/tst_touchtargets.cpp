// Every screen state of the app, reached by taps and keys as a person reaches it, at a narrow
// phone, a common phone and a phone on its side: every control a finger can press is at least
// the touch target in size, lies inside the window once scrolled to, and is what a tap at its
// centre reaches.

#include "appwindow.h"
#include "fixtures.h"
#include "focusinview.h"
#include "frameui.h"
#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QGuiApplication>
#include <QPointer>
#include <QtTest>

using namespace kalvorin;
using kalvorin::test::AppWindow;
using kalvorin::test::fixture;
using kalvorin::test::TestServer;

namespace {

enum class State {
    SignIn,
    Settings,
    Dashboard,
    Tickets,
    FilterMenu,
    SortMenu,
    TicketsAtRiskOrdered,
    NewTicket,
    NewTicketLookedUp,
    Notifications,
    More,
    Detail,
    ActionSheet
};

} // namespace

class TouchTargetsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    AppWindow app;

    QQuickItem* overlay() const {
        for (QQuickItem* child : app.window->contentItem()->childItems())
            if (child->inherits("QQuickOverlay"))
                return child;
        return nullptr;
    }

    // Signed in, the shell's first refresh over, then the tab tapped.
    bool openTab(int tab) {
        QSignalSpy loading(state.get(), &MobileAppState::loadingChanged);
        if (!QTest::qWaitFor([&] { return app.find("shell") && loading.size() >= 2 && !state->loading(); },
                             10000))
            return false;
        const QByteArray name = "tab" + QByteArray::number(tab);
        return app.tap(name.constData()) && QTest::qWaitFor([&] { return state->selectedTab() == tab; });
    }

    // Reaches the state the way a person does. The root to check is the open popup's layer for a
    // state that shows one (what lies under it is out of reach), else the whole window.
    QQuickItem* reach(State which) {
        const bool signedIn = which != State::SignIn && which != State::Settings;
        server->setReply(QStringLiteral("status"), 200,
                         signedIn ? R"({"ok":true,"authenticated":true})"
                                  : R"({"ok":true,"authenticated":false})");
        if (!app.show(width, height))
            return nullptr;
        switch (which) {
        case State::SignIn:
            return QTest::qWaitFor([&] { return app.find("loginScreen"); }) ? app.window->contentItem()
                                                                            : nullptr;
        case State::Settings:
            if (!QTest::qWaitFor([&] { return app.find("settingsButton"); }) || !app.tap("settingsButton"))
                return nullptr;
            return QTest::qWaitFor([&] {
                QObject* settings =
                    app.find("loginScreen")->findChild<QObject*>(QStringLiteral("settingsSheet"));
                return settings && settings->property("opened").toBool();
            })
                       ? overlay()
                       : nullptr;
        case State::Dashboard:
            return openTab(0) ? app.window->contentItem() : nullptr;
        case State::Tickets:
            return openTab(1) ? app.window->contentItem() : nullptr;
        case State::FilterMenu:
            if (!openTab(1) || !app.tap("priorityFilter"))
                return nullptr;
            return QTest::qWaitFor([&] { return app.find("filterEntry1"); }) ? overlay() : nullptr;
        case State::SortMenu:
            if (!openTab(1) || !app.tap("sortMenu"))
                return nullptr;
            return QTest::qWaitFor([&] { return kalvorin::test::findVisible(overlay(), "filterEntry2"); })
                       ? overlay()
                       : nullptr;
        case State::TicketsAtRiskOrdered: {
            // The quick filter on, then the least remaining time chosen from the order's menu.
            if (!openTab(1) || !app.tap("atRiskFilter") || !app.tap("sortMenu"))
                return nullptr;
            QQuickItem* entry = nullptr;
            if (!QTest::qWaitFor(
                    [&] { return (entry = kalvorin::test::findVisible(overlay(), "filterEntry1")); }) ||
                !app.tap(entry))
                return nullptr;
            return QTest::qWaitFor([&] {
                return app.find("sortMenu")->property("title").toString() ==
                       QStringLiteral("الأقل وقتاً متبقياً");
            })
                       ? app.window->contentItem()
                       : nullptr;
        }
        case State::NewTicket:
            return openTab(2) ? app.window->contentItem() : nullptr;
        case State::NewTicketLookedUp: {
            if (!openTab(2))
                return nullptr;
            QQuickItem* field = app.find("nationalIdField");
            if (!field || !app.tap(qvariant_cast<QQuickItem*>(field->property("input"))))
                return nullptr;
            app.type(QStringLiteral("1098765432"));
            return QTest::qWaitFor(
                       [&] { return !app.find("beneficiaryField")->property("text").toString().isEmpty(); })
                       ? app.window->contentItem()
                       : nullptr;
        }
        case State::Notifications:
            return openTab(3) ? app.window->contentItem() : nullptr;
        case State::More:
            return openTab(4) ? app.window->contentItem() : nullptr;
        case State::Detail:
        case State::ActionSheet: {
            if (!openTab(1) || !QTest::qWaitFor([&] { return app.find("ticketRow_MNT-2024-00917"); }))
                return nullptr;
            // On its side the list's header fills the window: the row is scrolled to first.
            reveal(app.find("ticketRow_MNT-2024-00917"));
            if (!app.tap("ticketRow_MNT-2024-00917"))
                return nullptr;
            if (!QTest::qWaitFor([&] { return app.find("action-route"); }))
                return nullptr;
            if (which == State::Detail)
                return app.window->contentItem();
            QQuickItem* button = app.find(qPrintable(QStringLiteral("action-") + sheet));
            if (!button)
                return nullptr;
            reveal(button);
            if (!app.tap(button))
                return nullptr;
            return QTest::qWaitFor([&] { return app.find("noteEditor"); }) ? overlay() : nullptr;
        }
        }
        return nullptr;
    }

    void reveal(QQuickItem* item) {
        FocusInView scroller;
        scroller.setWindow(app.window);
        scroller.reveal(item);
        app.settle();
    }

    // Every shown popup has finished coming in (its controls stand where they stay).
    bool popupsSettled() const {
        const QList<QObject*> objects = app.window->contentItem()->findChildren<QObject*>();
        for (QObject* object : objects)
            if (object->inherits("QQuickPopup") && object->property("visible").toBool() &&
                !object->property("opened").toBool())
                return false;
        return true;
    }

    void collect(QQuickItem* item, QList<QPointer<QQuickItem>>& into) const {
        if (!item->isVisible() || item->opacity() <= 0)
            return;
        if (kalvorin::test::isInteractive(item))
            into.append(item);
        for (QQuickItem* child : item->childItems())
            collect(child, into);
    }

    int width = 390;
    int height = 844;
    // The action whose sheet the ActionSheet state opens.
    QString sheet;

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        server->setReply(QStringLiteral("login"), 200,
                         R"({"ok":true,"user":{"username":"ali","name":"علي"}})");
        server->setReply(QStringLiteral("tickets"), 200, fixture("tickets.json"));
        server->setReply(QStringLiteral("dashboard"), 200, fixture("dashboard.json"));
        server->setReply(QStringLiteral("notifications"), 200, fixture("notifications.json"));
        server->setReply(QStringLiteral("reference_data"), 200, fixture("reference.json"));
        server->setReply(QStringLiteral("ticket"), 200, kalvorin::test::ticketWithEveryAction());
        server->setReply(QStringLiteral("beneficiary_lookup"), 200, fixture("lookup.json"));
    }
    void cleanup() {
        app.close();
        state.reset();
        server.reset();
    }

    void everyControlCanBeTapped_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("windowHeight");
        QTest::addColumn<QString>("sheetKind");
        const std::pair<const char*, State> states[] = {
            {"sign-in", State::SignIn},
            {"connection settings", State::Settings},
            {"dashboard", State::Dashboard},
            {"tickets", State::Tickets},
            {"filter menu", State::FilterMenu},
            {"order menu", State::SortMenu},
            {"tickets at risk, ordered", State::TicketsAtRiskOrdered},
            {"new ticket", State::NewTicket},
            {"new ticket, beneficiary found", State::NewTicketLookedUp},
            {"notifications", State::Notifications},
            {"more", State::More},
            {"ticket", State::Detail},
        };
        const std::tuple<const char*, int, int> sizes[] = {
            {"300", 300, 700}, {"390", 390, 844}, {"landscape", 844, 390}};
        for (const auto& [stateName, which] : states)
            for (const auto& [sizeName, w, h] : sizes)
                QTest::addRow("%s at %s", stateName, sizeName) << int(which) << w << h << QString();
        for (const char* kind :
             {"comment", "route", "close", "reject", "managerRoute", "temporaryPassword", "jointProcessing"})
            for (const auto& [sizeName, w, h] : sizes)
                QTest::addRow("%s sheet at %s", kind, sizeName)
                    << int(State::ActionSheet) << w << h << QString::fromLatin1(kind);
    }
    void everyControlCanBeTapped() {
        QFETCH(int, state);
        QFETCH(int, windowWidth);
        QFETCH(int, windowHeight);
        QFETCH(QString, sheetKind);
        width = windowWidth;
        height = windowHeight;
        sheet = sheetKind;
        QQuickItem* root = reach(State(state));
        QVERIFY2(root, "the state could not be reached by taps");
        QTRY_VERIFY(popupsSettled());
        app.settle();
        QList<QPointer<QQuickItem>> controls;
        collect(root, controls);
        QVERIFY(!controls.isEmpty());
        const int target = KalvorinTheme::touchTarget();
        QStringList faults;
        for (const QPointer<QQuickItem>& control : controls) {
            if (!control || !control->isVisible())
                continue; // a list row the scrolling put away
            reveal(control);
            if (!control)
                continue;
            const QRectF shown = control->mapRectToScene(QRectF(0, 0, control->width(), control->height()));
            const QString name = kalvorin::test::describe(control);
            if (shown.width() < target || shown.height() < target)
                faults << QStringLiteral("%1 is %2×%3").arg(name).arg(shown.width()).arg(shown.height());
            if (shown.left() < -0.5 || shown.top() < -0.5 || shown.right() > width + 0.5 ||
                shown.bottom() > height + 0.5)
                faults << QStringLiteral("%1 lies at %2,%3 %4×%5, outside the window")
                              .arg(name)
                              .arg(shown.x())
                              .arg(shown.y())
                              .arg(shown.width())
                              .arg(shown.height());
            QQuickItem* hit = kalvorin::test::itemAt(app.window->contentItem(), app.centreOf(control));
            if (hit != control && !control->isAncestorOf(hit)) {
                const QRectF over =
                    hit ? hit->mapRectToScene(QRectF(0, 0, hit->width(), hit->height())) : QRectF();
                faults << QStringLiteral("a tap on %1 at %2,%3 %4×%5 reaches %6 at %7,%8 %9×%10")
                              .arg(name)
                              .arg(shown.x())
                              .arg(shown.y())
                              .arg(shown.width())
                              .arg(shown.height())
                              .arg(hit ? kalvorin::test::describe(hit) : QStringLiteral("nothing"))
                              .arg(over.x())
                              .arg(over.y())
                              .arg(over.width())
                              .arg(over.height());
            }
        }
        qInfo("%lld controls", qlonglong(controls.size()));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    TouchTargetsTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_touchtargets.moc"
