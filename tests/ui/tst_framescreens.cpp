// The app frame's screens loaded offscreen against a real local server: the root switch, the
// sign-in screen's wiring, the connection-settings sheet, and the shell's polling, which runs
// while signed in and stops at sign-out.

#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "rootview.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::RecordingNotificationCenter;
using kalvorin::test::TestServer;

namespace {} // namespace

class FrameScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;

    void serveSignedIn() {
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":true})");
        server->setReply(QStringLiteral("login"), 200,
                         R"({"ok":true,"user":{"username":"ali","name":"علي"}})");
        server->setReply(
            QStringLiteral("notifications"), 200,
            R"({"ok":true,"notifications":[{"id":1},{"id":2,"isRead":false},{"id":3,"isRead":true}]})");
    }

    kalvorin::test::RootView root;

    QQuickItem* showRoot(int pollIntervalMs = 30000) { return root.show(pollIntervalMs); }
    QQuickItem* find(const char* name) const { return root.find(name); }
    void type(const QString& text) { root.type(text); }
    void click(QQuickItem* item) { root.click(item); }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
    }
    void cleanup() {
        root.view.reset();
        state.reset();
        server.reset();
    }

    // ---- root view ----------------------------------------------------------

    void rootRunsTheStatusCheckOnceAndSwitches_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QString>("screen");
        QTest::newRow("session signed in") << QByteArray(R"({"ok":true,"authenticated":true})") << "shell";
        QTest::newRow("session not signed in")
            << QByteArray(R"({"ok":true,"authenticated":false})") << "loginScreen";
        QTest::newRow("no authenticated member") << QByteArray(R"({"ok":true})") << "loginScreen";
    }
    void rootRunsTheStatusCheckOnceAndSwitches() {
        QFETCH(QByteArray, status);
        QFETCH(QString, screen);
        server->setReply(QStringLiteral("status"), 200, status);
        QVERIFY(showRoot());
        QVERIFY(find("loginScreen")); // before the server answers
        QTRY_VERIFY(state->status().has_value());
        QTRY_VERIFY(find(qPrintable(screen)));
        if (screen == QLatin1String("loginScreen")) {
            QTest::qWait(100);
            QCOMPARE(server->requestsFor(QStringLiteral("status")).size(), 1);
        }
    }

    // ---- sign-in screen -----------------------------------------------------

    void signInStartsWithTheRememberedName_data() {
        QTest::addColumn<QString>("remembered");
        QTest::newRow("remembered") << QStringLiteral("sara.k");
        QTest::newRow("none") << QString();
    }
    void signInStartsWithTheRememberedName() {
        QFETCH(QString, remembered);
        state->setRememberedUsername(remembered);
        QVERIFY(showRoot());
        QQuickItem* login = find("loginScreen");
        QVERIFY(login);
        QCOMPARE(login->property("username").toString(), remembered);
        QCOMPARE(find("usernameField")->property("text").toString(), remembered);
        QCOMPARE(login->property("remember").toBool(), true);
        QCOMPARE(login->property("password").toString(), QString());
    }

    void rememberBoxFlips() {
        QVERIFY(showRoot());
        QQuickItem* login = find("loginScreen");
        QTRY_COMPARE(find("rememberButton")->opacity(), 1.0); // inside the card, once it has faded in
        QTest::qWait(1300);
        click(find("rememberButton"));
        QCOMPARE(login->property("remember").toBool(), false);
        click(find("rememberButton"));
        QCOMPARE(login->property("remember").toBool(), true);
    }

    void signInButtonIgnoresTapsWhileLoading() {
        serveSignedIn();
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":false})");
        TestServer::Reply held;
        held.hold = true;
        held.body = R"({"ok":true,"user":{"username":"ali","name":"علي"}})";
        server->setReply(QStringLiteral("login"), held);
        QVERIFY(showRoot());
        QTRY_VERIFY(state->status().has_value());
        QQuickItem* login = find("loginScreen");
        QQuickItem* button = find("signInButton");
        QVERIFY(login && button && button->isEnabled());
        QTest::qWait(1300); // the card's entrance
        click(qvariant_cast<QQuickItem*>(find("usernameField")->property("input")));
        type(QStringLiteral("ali"));
        click(find("passwordInput"));
        type(QStringLiteral("pw"));
        QCOMPARE(login->property("username").toString(), QStringLiteral("ali"));
        click(button);
        QTRY_COMPARE(server->heldCount(), 1);
        QVERIFY(state->loading());
        QVERIFY(!button->isEnabled());
        QVERIFY(find("signInSpinner")->isVisible());
        // The spinner shows at full colour: the button does not fade while it signs in.
        QCOMPARE(button->opacity(), 1.0);
        click(button);
        click(button);
        QTest::qWait(100);
        QCOMPARE(server->requestsFor(QStringLiteral("login")).size(), 1);
        server->release();
        QTRY_VERIFY(find("shell"));
    }

    void alertShowsAndClearsTheError() {
        QVERIFY(showRoot());
        QVERIFY(find("loginScreen"));
        auto* alert = find("loginScreen")->findChild<QObject*>(QStringLiteral("errorAlert"));
        QVERIFY(alert);
        QVERIFY(!alert->property("visible").toBool());
        state->setErrorMessage(QStringLiteral("يرجى إدخال اسم المستخدم"));
        QTRY_VERIFY(alert->property("opened").toBool());
        QCOMPARE(find("inlineError")->property("text").toString(), QStringLiteral("يرجى إدخال اسم المستخدم"));
        QVERIFY(find("inlineError")->isVisible());
        click(find("alertOkButton"));
        QTRY_COMPARE(state->errorMessage(), QString());
        QTRY_VERIFY(!alert->property("visible").toBool());
        QVERIFY(!find("inlineError")->isVisible());

        // Any other dismissal clears it too.
        state->setErrorMessage(QStringLiteral("تعذر تسجيل الدخول."));
        QTRY_VERIFY(alert->property("opened").toBool());
        QTest::keyClick(root.view.get(), Qt::Key_Escape);
        QTRY_COMPARE(state->errorMessage(), QString());
    }

    // ---- connection settings ------------------------------------------------

    void settingsSheetSavesTypedURL() {
        QVERIFY(showRoot());
        QTRY_COMPARE(server->requestsFor(QStringLiteral("status")).size(), 1);
        TestServer other;
        QVERIFY(other.start());
        QQuickItem* login = find("loginScreen");
        QTest::qWait(300);
        click(find("settingsButton"));
        QVERIFY(login->property("showSettings").toBool());
        QObject* sheet = login->findChild<QObject*>(QStringLiteral("settingsSheet"));
        QTRY_VERIFY(sheet->property("opened").toBool());
        QQuickItem* field = find("urlField");
        QCOMPARE(field->property("text").toString(), server->baseURL());
        // Type the new address with blanks around it and no scheme.
        click(qvariant_cast<QQuickItem*>(field->property("input")));
        QTest::keySequence(root.view.get(), QKeySequence::SelectAll);
        type(QStringLiteral(" ") + other.baseURL().mid(7).chopped(1) + QStringLiteral(" "));
        click(find("saveButton"));
        QCOMPARE(state->serverURL(), other.baseURL());
        QTRY_COMPARE(other.requestsFor(QStringLiteral("status")).size(), 1);
        QTRY_VERIFY(!sheet->property("visible").toBool());
        QVERIFY(!login->property("showSettings").toBool());
    }

    void settingsCloseKeepsTheURL() {
        QVERIFY(showRoot());
        QTRY_COMPARE(server->requestsFor(QStringLiteral("status")).size(), 1);
        QQuickItem* login = find("loginScreen");
        QTest::qWait(300);
        click(find("settingsButton"));
        QObject* sheet = login->findChild<QObject*>(QStringLiteral("settingsSheet"));
        QTRY_VERIFY(sheet->property("opened").toBool());
        click(qvariant_cast<QQuickItem*>(find("urlField")->property("input")));
        type(QStringLiteral("x"));
        click(find("closeButton"));
        QTRY_VERIFY(!sheet->property("visible").toBool());
        QCOMPARE(state->serverURL(), server->baseURL());
        QTest::qWait(100);
        QCOMPARE(server->requestsFor(QStringLiteral("status")).size(), 1);
    }

    // ---- shell --------------------------------------------------------------

    void shellPollsWhileSignedInAndStopsAtSignOut() {
        serveSignedIn();
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":false})");
        QVERIFY(showRoot(60));
        QTRY_VERIFY(state->status().has_value());
        QVERIFY(find("loginScreen"));
        // Signed in, the server knows the session.
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":true})");
        QCoro::waitFor(state->login(QStringLiteral("ali"), QStringLiteral("pw"), true));
        QTRY_VERIFY(find("shell"));
        // The shell registers the device again, refreshes, then polls status and notifications.
        QTRY_VERIFY(server->requestsFor(QStringLiteral("register_device")).size() >= 2);
        const qsizetype statusBefore = server->requestsFor(QStringLiteral("status")).size();
        QTRY_VERIFY(server->requestsFor(QStringLiteral("status")).size() >= statusBefore + 3);
        QTRY_VERIFY(server->requestsFor(QStringLiteral("notifications")).size() >= 4);
        // Any tab keeps it running.
        state->setSelectedTab(4);
        QTRY_VERIFY(find("signOutEntry"));
        const qsizetype onMore = server->requestsFor(QStringLiteral("status")).size();
        QTRY_VERIFY(server->requestsFor(QStringLiteral("status")).size() >= onMore + 2);
        // The badge counts the two unread notifications (one without isRead).
        QTRY_COMPARE(find("tabBar")->property("unread").toInt(), 2);

        // Sign out from the More screen (the server forgets the session): the shell goes, and
        // nothing more is polled.
        server->setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":false})");
        click(find("signOutEntry"));
        QTRY_VERIFY(find("loginScreen"));
        QVERIFY(!find("shell"));
        QCOMPARE(state->selectedTab(), 0);
        QTest::qWait(100);
        const qsizetype settled = server->requests().size();
        QTest::qWait(400);
        for (qsizetype i = settled; i < server->requests().size(); ++i)
            qWarning() << "sent after sign-out:" << server->requests().at(i).action;
        QCOMPARE(server->requests().size(), settled);
    }

    void headerButtonsRunTheirActions() {
        serveSignedIn();
        QVERIFY(showRoot());
        QTRY_VERIFY(find("shell"));
        QTRY_VERIFY(find("dashboardScreen"));
        QTRY_VERIFY(state->dashboard().has_value()); // the shell's first refresh has answered
        // The dashboard's header: bell on the leading side, refresh on the trailing side.
        click(find("headerLeading"));
        QCOMPARE(state->selectedTab(), 3);
        const qsizetype dashboards = server->requestsFor(QStringLiteral("dashboard")).size();
        click(find("headerTrailing"));
        QTRY_COMPARE(server->requestsFor(QStringLiteral("dashboard")).size(), dashboards + 1);
        // A tab tap selects it.
        click(find("tab1"));
        QCOMPARE(state->selectedTab(), 1);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    FrameScreensTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_framescreens.moc"
