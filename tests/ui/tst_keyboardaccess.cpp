// The app's own window offscreen, used as a keyboard and a screen reader use it: every control
// of every screen has a name and a role, decorative symbols stay hidden, the focus goes where a
// new user types, Tab follows the reading order, alerts and sheets close from the keyboard and
// give the focus back, Ctrl+Q quits, and a wide window keeps the phone layout centred.

#include "appwindow.h"
#include "fixtures.h"
#include "framerules.h"
#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QAccessible>
#include <QFile>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::TestServer;

namespace {

using kalvorin::test::describe;
using kalvorin::test::isInteractive;

// The nearest named item at or above the focus: what a test can call the focused control.
QString focusName(QQuickWindow& window) {
    for (QQuickItem* i = window.activeFocusItem(); i; i = i->parentItem())
        if (!i->objectName().isEmpty())
            return i->objectName();
    return QString();
}

bool isPrivateUse(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF; });
}

} // namespace

class KeyboardAccessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    kalvorin::test::AppWindow app;
    QQuickWindow* window = nullptr;
    int namedControls = 0;

    void serveSignedOut() {
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":false})");
        server->setReply(QStringLiteral("login"), 200,
                         R"({"ok":true,"user":{"username":"ali","name":"علي"}})");
        server->setReply(QStringLiteral("notifications"), 200,
                         R"({"ok":true,"notifications":[{"id":1,"title":"بلاغ"},{"id":2,"isRead":true}]})");
    }

    // The app's window, as main() shows it, active so that keys reach it.
    bool showWindow(int width = 390) {
        if (!app.show(width, 844))
            return false;
        window = app.window;
        return QTest::qWaitFor([&] { return state->status().has_value(); });
    }

    QQuickItem* find(const char* name) const { return app.find(name); }
    // A popup of the sign-in screen (popups are objects, not items).
    QObject* loginPopup(const char* name) const {
        QQuickItem* login = find("loginScreen");
        return login ? login->findChild<QObject*>(QLatin1String(name)) : nullptr;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(window, k, modifiers); }
    void type(const char* text) {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(window, *c);
    }

    // Every visible interactive item under `item` needs a role and a name.
    void checkNames(QQuickItem* item, QStringList& unnamed, int& named) {
        if (!item->isVisible())
            return;
        if (isInteractive(item)) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(item);
            const bool ok = iface && iface->isValid() && iface->role() != QAccessible::NoRole &&
                            iface->role() != QAccessible::Client && !iface->text(QAccessible::Name).isEmpty();
            if (ok)
                ++named;
            else
                unnamed.append(describe(item) + QStringLiteral(" role %1 name \"%2\"")
                                                    .arg(iface ? int(iface->role()) : -1)
                                                    .arg(iface ? iface->text(QAccessible::Name) : QString()));
        }
        const QList<QQuickItem*> children = item->childItems();
        for (QQuickItem* child : children)
            checkNames(child, unnamed, named);
    }

    // What a screen reader is shown: no symbol glyph among the names.
    void checkNoGlyphs(QAccessibleInterface* iface, QStringList& leaks) {
        if (!iface)
            return;
        if (isPrivateUse(iface->text(QAccessible::Name)))
            leaks.append(
                QStringLiteral("%1 in a %2").arg(iface->text(QAccessible::Name)).arg(int(iface->role())));
        for (int i = 0; i < iface->childCount(); ++i)
            checkNoGlyphs(iface->child(i), leaks);
    }

    void checkScreen(const QString& screen) {
        QStringList unnamed;
        int named = 0;
        checkNames(window->contentItem(), unnamed, named);
        QStringList leaks;
        checkNoGlyphs(QAccessible::queryAccessibleInterface(window), leaks);
        qInfo("%s: %d named controls", qPrintable(screen), named);
        namedControls += named;
        QVERIFY2(unnamed.isEmpty(),
                 qPrintable(screen + QStringLiteral(": no name or role: ") + unnamed.join(u", ")));
        QVERIFY2(leaks.isEmpty(),
                 qPrintable(screen + QStringLiteral(": symbol glyphs exposed: ") + leaks.join(u", ")));
    }

    // The screen, then each sheet, alert and menu it can open.
    void checkScreenAndItsPopups(const QString& screen, QObject* root) {
        checkScreen(screen);
        if (QTest::currentTestFailed())
            return;
        const QObjectList popups = root->findChildren<QObject*>();
        for (QObject* popup : popups) {
            if (!popup->inherits("QQuickPopup"))
                continue;
            QMetaObject::invokeMethod(popup, "open");
            QTRY_VERIFY(popup->property("opened").toBool());
            checkScreen(screen + QStringLiteral(" + ") +
                        (popup->objectName().isEmpty() ? QString::fromLatin1(popup->metaObject()->className())
                                                       : popup->objectName()));
            QMetaObject::invokeMethod(popup, "close");
            QTRY_VERIFY(!popup->property("visible").toBool());
            if (QTest::currentTestFailed())
                return;
        }
    }

    QStringList tabCycle(int presses, Qt::KeyboardModifiers modifiers = {}) {
        QStringList order;
        for (int i = 0; i < presses; ++i) {
            key(Qt::Key_Tab, modifiers);
            order.append(focusName(*window));
        }
        return order;
    }

private slots:
    void initTestCase() { QAccessible::setActive(true); }
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        serveSignedOut();
    }
    void cleanup() {
        app.close();
        window = nullptr;
        state.reset();
        server.reset();
    }
    void cleanupTestCase() { qInfo("every screen: %d named controls", namedControls); }

    // ---- accessible names ---------------------------------------------------

    void everyControlOfEveryScreenIsNamed() {
        QVERIFY(showWindow());
        QTRY_VERIFY(find("loginScreen"));
        checkScreenAndItsPopups(QStringLiteral("sign-in"), find("loginScreen"));
        if (QTest::currentTestFailed())
            return;
        QCoro::waitFor(state->login(QStringLiteral("ali"), QStringLiteral("pw"), true));
        QTRY_VERIFY(find("shell"));
        for (int tab = 0; tab < FrameRules::kTabCount; ++tab) {
            state->setSelectedTab(tab);
            QQuickItem* shell = find("shell");
            QObject* screen = nullptr;
            QTRY_VERIFY((screen = qvariant_cast<QObject*>(shell->property("shownScreen"))));
            checkScreenAndItsPopups(QStringLiteral("tab %1").arg(tab), screen);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // ---- keyboard -----------------------------------------------------------

    void typingGoesToTheFirstEmptyField_data() {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("property");
        QTest::newRow("nothing remembered") << QString() << "username";
        QTest::newRow("name remembered") << "sara.k"
                                         << "password";
    }
    void typingGoesToTheFirstEmptyField() {
        QFETCH(QString, remembered);
        QFETCH(QString, property);
        state->setRememberedUsername(remembered);
        QVERIFY(showWindow());
        type("ab");
        QCOMPARE(find("loginScreen")->property(qPrintable(property)).toString(), QStringLiteral("ab"));
    }

    void tabFollowsTheReadingOrder() {
        QVERIFY(showWindow());
        QCOMPARE(focusName(*window), QStringLiteral("usernameField"));
        const QStringList forward{"passwordInput", "eyeButton",      "rememberButton",
                                  "signInButton",  "settingsButton", "usernameField"};
        QCOMPARE(tabCycle(6), forward);
        QStringList backward(forward.rbegin() + 1, forward.rend());
        backward.append(forward.last());
        QCOMPARE(tabCycle(6, Qt::ShiftModifier), backward);
        // Tab keeps the next character: it lands in the password.
        key(Qt::Key_Tab);
        type("x");
        QCOMPARE(find("loginScreen")->property("password").toString(), QStringLiteral("x"));
        // A screen reader is told it is a password field.
        QAccessibleInterface* password = QAccessible::queryAccessibleInterface(find("passwordInput"));
        QVERIFY(password && password->state().passwordEdit);
    }

    void enterSignsInAndTheAlertClosesFromTheKeyboard_data() {
        QTest::addColumn<int>("enter");
        QTest::addColumn<int>("close");
        QTest::newRow("Return, Return") << int(Qt::Key_Return) << int(Qt::Key_Return);
        QTest::newRow("keypad Enter, Escape") << int(Qt::Key_Enter) << int(Qt::Key_Escape);
    }
    void enterSignsInAndTheAlertClosesFromTheKeyboard() {
        QFETCH(int, enter);
        QFETCH(int, close);
        server->setReply(QStringLiteral("login"), 401, R"({"message":"كلمة المرور غير صحيحة."})");
        QVERIFY(showWindow());
        type("ali");
        key(Qt::Key_Tab);
        type("pw");
        key(Qt::Key(enter));
        QTRY_COMPARE(server->requestsFor(QStringLiteral("login")).size(), 1);
        QObject* alert = loginPopup("errorAlert");
        QVERIFY(alert);
        QTRY_VERIFY(alert->property("opened").toBool());
        key(Qt::Key(close));
        QTRY_VERIFY(!alert->property("visible").toBool());
        QCOMPARE(state->errorMessage(), QString());
        QCOMPARE(focusName(*window), QStringLiteral("passwordInput"));
    }

    void escapeClosesTheSheet() {
        QVERIFY(showWindow());
        find("settingsButton")->forceActiveFocus(Qt::TabFocusReason);
        key(Qt::Key_Space);
        QObject* sheet = loginPopup("settingsSheet");
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->property("opened").toBool());
        QTRY_COMPARE(focusName(*window), QStringLiteral("urlField"));
        key(Qt::Key_Escape);
        QTRY_VERIFY(!sheet->property("visible").toBool());
        QCOMPARE(focusName(*window), QStringLiteral("settingsButton"));
    }

    // Header buttons and the tab bar are reached with Tab, in reading order, and pressed with Space.
    void shellControlsAreReachable() {
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":true})");
        QVERIFY(showWindow());
        QTRY_VERIFY(find("shell"));
        const QStringList order = tabCycle(7);
        QCOMPARE(order,
                 (QStringList{"headerLeading", "headerTrailing", "tab0", "tab1", "tab2", "tab3", "tab4"}));
        key(Qt::Key_Backtab);
        QCOMPARE(focusName(*window), QStringLiteral("tab3"));
        key(Qt::Key_Space);
        QCOMPARE(state->selectedTab(), 3);
    }

    // Tab brings what it reaches into view, clear of the tab bar: a row of the latest tickets
    // below the fold is scrolled up before Return could open it unseen.
    void tabScrollsTheFocusIntoView() {
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":true})");
        server->setReply(QStringLiteral("dashboard"), 200, kalvorin::test::fixture("dashboard.json"));
        QVERIFY(showWindow());
        QTRY_VERIFY(find("shell") && state->dashboard().has_value());
        QString name;
        for (int i = 0; i < 20 && !name.startsWith(QLatin1String("ticketRow_")); ++i) {
            key(Qt::Key_Tab);
            name = focusName(*window);
        }
        QVERIFY2(name.startsWith(QLatin1String("ticketRow_")), qPrintable(name));
        QQuickItem* row = window->activeFocusItem();
        const QRectF shown = row->mapRectToScene(QRectF(0, 0, row->width(), row->height()));
        QVERIFY2(shown.top() >= 0 && shown.bottom() <= window->height() - find("tabBar")->height(),
                 qPrintable(QStringLiteral("%1..%2").arg(shown.top()).arg(shown.bottom())));
    }

    void ctrlQQuits() {
        QVERIFY(showWindow());
        QSignalSpy quit(app.engine.get(), &QQmlEngine::quit);
        key(Qt::Key_Q, Qt::ControlModifier);
        QTRY_COMPARE(quit.size(), 1);
    }

    // ---- window -------------------------------------------------------------

    void wideWindowKeepsThePhoneWidthCentred_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("screenWidth");
        QTest::newRow("narrow") << 300 << 300;
        QTest::newRow("phone") << 390 << 390;
        QTest::newRow("desktop") << 800 << FrameRules::kContentWidthLimit;
    }
    void wideWindowKeepsThePhoneWidthCentred() {
        QFETCH(int, width);
        QFETCH(int, screenWidth);
        QVERIFY(showWindow(width));
        QTRY_COMPARE(window->width(), width);
        QQuickItem* screen = find("loginScreen");
        QTRY_COMPARE(int(screen->width()), screenWidth);
        QCOMPARE(int(screen->mapToScene(QPointF(0, 0)).x()), (width - screenWidth) / 2);
        QCOMPARE(int(find("contentView")->width()), width); // the background spans the window
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    KeyboardAccessTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_keyboardaccess.moc"
