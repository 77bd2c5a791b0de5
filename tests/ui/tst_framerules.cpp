// The app frame's rules without a window: the root switch, the tab badge, the header actions,
// the user strip's lines, and the connection-settings save against a real local server.

#include "connectionsettingsform.h"
#include "framerules.h"
#include "kalvorinsymbols.h"
#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QSignalSpy>
#include <QtTest>

using namespace kalvorin;
using kalvorin::test::RecordingNotificationCenter;
using kalvorin::test::TestServer;

Q_DECLARE_METATYPE(std::optional<MobileUser>)
Q_DECLARE_METATYPE(std::optional<StatusResponse>)
Q_DECLARE_METATYPE(QList<MobileNotification>)

namespace {

StatusResponse statusWith(std::optional<bool> authenticated, bool ok = true) {
    StatusResponse s;
    s.ok = ok;
    s.authenticated = authenticated;
    return s;
}

MobileNotification note(qint64 id, std::optional<bool> isRead) {
    MobileNotification n;
    n.id = id;
    n.isRead = isRead;
    return n;
}

} // namespace

class FrameRulesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;

private slots:
    void init() { QVERIFY(kalvorin::test::startStateWithServer(server, state)); }
    void cleanup() {
        state.reset();
        server.reset();
    }

    // ---- root view ----------------------------------------------------------

    void rootSwitch_data() {
        QTest::addColumn<std::optional<MobileUser>>("user");
        QTest::addColumn<std::optional<StatusResponse>>("status");
        QTest::addColumn<bool>("shell");
        MobileUser someone;
        someone.name = QStringLiteral("علي");
        QTest::newRow("nobody, no answer")
            << std::optional<MobileUser>() << std::optional<StatusResponse>() << false;
        QTest::newRow("nobody, session not signed in")
            << std::optional<MobileUser>() << std::optional(statusWith(false)) << false;
        QTest::newRow("nobody, authenticated absent")
            << std::optional<MobileUser>() << std::optional(statusWith(std::nullopt)) << false;
        QTest::newRow("still-valid session, no user record")
            << std::optional<MobileUser>() << std::optional(statusWith(true)) << true;
        QTest::newRow("signed in, server unreachable")
            << std::optional(someone) << std::optional(statusWith(false, false)) << true;
        QTest::newRow("signed in with an empty user record")
            << std::optional(MobileUser{}) << std::optional<StatusResponse>() << true;
    }
    void rootSwitch() {
        QFETCH(std::optional<MobileUser>, user);
        QFETCH(std::optional<StatusResponse>, status);
        QFETCH(bool, shell);
        QCOMPARE(MobileAppState::showsShellFor(user, status), shell);
        // As QML reads it: the state's property, announced when it flips.
        QSignalSpy flips(state.get(), &MobileAppState::showsShellChanged);
        state->setUser(user);
        state->setStatus(status);
        QCOMPARE(state->property("showsShell").toBool(), shell);
        QCOMPARE(flips.size(), shell ? 1 : 0);
    }

    void connectionDot() {
        QVERIFY(!FrameRules::serverOnline(QVariant()));
        state->setStatus(statusWith(std::nullopt, false));
        QVERIFY(!FrameRules::serverOnline(state->property("status")));
        state->setStatus(statusWith(false, true));
        QVERIFY(FrameRules::serverOnline(state->property("status")));
        QCOMPARE(FrameRules::connectionColor(true), KalvorinTheme::green());
        QCOMPARE(FrameRules::connectionColor(false), KalvorinTheme::red());
    }

    // ---- tab bar ------------------------------------------------------------

    void badge_data() {
        QTest::addColumn<QList<MobileNotification>>("notifications");
        QTest::addColumn<int>("unread");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QList<MobileNotification>{} << 0 << false << QStringLiteral("0");
        QTest::newRow("all read") << QList{note(1, true), note(2, true)} << 0 << false << QStringLiteral("0");
        QTest::newRow("absent isRead counts")
            << QList{note(1, std::nullopt), note(2, true)} << 1 << true << QStringLiteral("1");
        QTest::newRow("false counts")
            << QList{note(1, false), note(2, std::nullopt)} << 2 << true << QStringLiteral("2");
        QList<MobileNotification> nine, ten, twelve;
        for (int i = 0; i < 12; ++i) {
            const auto n = note(i, i % 2 ? std::optional<bool>() : std::optional<bool>(false));
            if (i < 9)
                nine << n;
            if (i < 10)
                ten << n;
            twelve << n;
        }
        QTest::newRow("nine") << nine << 9 << true << QStringLiteral("9");
        QTest::newRow("ten shows nine") << ten << 10 << true << QStringLiteral("9");
        QTest::newRow("twelve shows nine") << twelve << 12 << true << QStringLiteral("9");
    }
    void badge() {
        QFETCH(QList<MobileNotification>, notifications);
        QFETCH(int, unread);
        QFETCH(bool, visible);
        QFETCH(QString, text);
        state->setNotifications(notifications);
        QCOMPARE(state->notificationModel()->unreadCount(), unread);
        QCOMPARE(FrameRules::badgeVisible(unread), visible);
        if (visible)
            QCOMPARE(FrameRules::badgeText(unread), text);
    }

    void tabs() {
        const QStringList labels{QStringLiteral("الرئيسية"), QStringLiteral("متابعة"),
                                 QStringLiteral("بلاغ جديد"), QStringLiteral("الإشعارات"),
                                 QStringLiteral("المزيد")};
        const QStringList symbols{QStringLiteral("house.fill"), QStringLiteral("ticket.fill"),
                                  QStringLiteral("plus"), QStringLiteral("bell.fill"),
                                  QStringLiteral("ellipsis")};
        const QList<QColor> tints{KalvorinTheme::teal(), KalvorinTheme::blue(), KalvorinTheme::teal(),
                                  KalvorinTheme::gold(), KalvorinTheme::muted()};
        for (int i = 0; i < FrameRules::kTabCount; ++i) {
            QCOMPARE(FrameRules::tabLabel(i), labels[i]);
            QCOMPARE(FrameRules::tabSymbol(i), symbols[i]);
            QVERIFY2(KalvorinSymbols::has(FrameRules::tabSymbol(i)), qPrintable(symbols[i]));
            QCOMPARE(FrameRules::tabTint(i), tints[i]);
            QCOMPARE(FrameRules::tabSymbolColor(i, true), tints[i]);
            QCOMPARE(FrameRules::tabSymbolColor(i, false), KalvorinTheme::muted());
            QCOMPARE(FrameRules::tabOutline(i, false), KalvorinTheme::stroke());
            QCOMPARE(FrameRules::tabCircleSize(i), i == 2 ? 46 : 34);
            QCOMPARE(FrameRules::tabSymbolSize(i), i == 2 ? 20 : 17);
            QCOMPARE(FrameRules::shownTab(i), i);
        }
        QCOMPARE(qRound(FrameRules::tabFill(1, true).alphaF() * 100), 10);
        QCOMPARE(qRound(FrameRules::tabFill(1, false).alphaF() * 100), 4);
        QCOMPARE(FrameRules::tabFill(2, false), KalvorinTheme::alpha(KalvorinTheme::teal(), 0.28));
        // Any other selection shows the dashboard.
        QCOMPARE(FrameRules::shownTab(-1), 0);
        QCOMPARE(FrameRules::shownTab(5), 0);
        QCOMPARE(FrameRules::shownTab(99), 0);
    }

    // ---- header -------------------------------------------------------------

    void headerActions_data() {
        QTest::addColumn<int>("action");
        // The button's accessible name says what it does.
        QTest::addColumn<QString>("name");
        QTest::newRow("bell") << int(FrameRules::ShowNotifications) << "الإشعارات";
        QTest::newRow("gearshape") << int(FrameRules::ShowMore) << "المزيد";
        QTest::newRow("arrow.clockwise") << int(FrameRules::RefreshAll) << "تحديث البيانات";
        QTest::newRow("back arrow") << int(FrameRules::Dismiss) << "رجوع";
        QTest::newRow("empty slot") << int(FrameRules::NoAction) << "";
    }
    void headerActions() {
        QFETCH(int, action);
        QFETCH(QString, name);
        QCOMPARE(FrameRules::headerActionName(FrameRules::HeaderAction(action)), name);
    }

    void headerActionsRunOnTheState() {
        state->setSelectedTab(1);
        QVERIFY(!FrameRules::runHeaderAction(state.get(), FrameRules::ShowNotifications));
        QCOMPARE(state->selectedTab(), 3);
        QVERIFY(!FrameRules::runHeaderAction(state.get(), FrameRules::ShowMore));
        QCOMPARE(state->selectedTab(), 4);
        QVERIFY(FrameRules::runHeaderAction(state.get(), FrameRules::Dismiss));
        QCOMPARE(state->selectedTab(), 4);
        QVERIFY(!FrameRules::runHeaderAction(state.get(), FrameRules::RefreshAll));
        // The full refresh went out.
        QTRY_COMPARE(server->requestsFor(QStringLiteral("dashboard")).size(), 1);
        QTRY_COMPARE(server->requestsFor(QStringLiteral("reference_data")).size(), 1);
        QTRY_VERIFY(!state->loading());
    }

    // ---- user strip ---------------------------------------------------------

    void userStrip_data() {
        QTest::addColumn<QVariant>("user");
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("scope");
        const QString nobody = QStringLiteral("مرحباً، مستخدم النظام");
        const QString noRole = QStringLiteral("الدور غير محدد");
        QTest::newRow("nobody") << QVariant() << nobody << noRole << QString();
        QTest::newRow("empty record") << QVariant(QVariantMap{}) << nobody << noRole << QString();
        QTest::newRow("empty name and scope")
            << QVariant(QVariantMap{{"name", ""}, {"scope", ""}, {"role", "مشرف"}}) << nobody
            << QStringLiteral("مشرف") << QString();
        QTest::newRow("full") << QVariant(QVariantMap{
                                     {"name", "سارة"}, {"role", "مشرف"}, {"scope", "الدعم الفني"}})
                              << QStringLiteral("مرحباً، سارة") << QStringLiteral("مشرف")
                              << QStringLiteral("الدعم الفني");
    }
    void userStrip() {
        QFETCH(QVariant, user);
        QFETCH(QString, greeting);
        QFETCH(QString, role);
        QFETCH(QString, scope);
        QCOMPARE(FrameRules::greeting(user), greeting);
        QCOMPARE(FrameRules::roleLine(user), role);
        QCOMPARE(FrameRules::scopeLine(user), scope);
    }

    void bottomSpace() { QCOMPARE(FrameRules().property("mobileBottomReachablePadding").toInt(), 150); }

    // ---- connection settings ------------------------------------------------

    void savedURL_data() {
        QTest::addColumn<QString>("draft");
        QTest::addColumn<QString>("stored"); // empty: the old URL stays
        QTest::newRow("no scheme, blanks around")
            << " 192.0.2.10:8080/kalvorin " << QStringLiteral("http://192.0.2.10:8080/kalvorin/");
        QTest::newRow("line breaks around") << "\n\t192.0.2.10/k/\n"
                                            << QStringLiteral("http://192.0.2.10/k/");
        QTest::newRow("https kept, slash added")
            << "https://192.0.2.10/x" << QStringLiteral("https://192.0.2.10/x/");
        QTest::newRow("http kept") << "http://192.0.2.10:8080/kalvorin/"
                                   << QStringLiteral("http://192.0.2.10:8080/kalvorin/");
        QTest::newRow("another scheme gets http in front")
            << "ftp://host" << QStringLiteral("http://ftp://host/");
        QTest::newRow("empty keeps the old URL") << "" << QString();
        QTest::newRow("blanks only keep the old URL") << "  \n " << QString();
    }
    void savedURL() {
        QFETCH(QString, draft);
        QFETCH(QString, stored);
        const QString old = server->baseURL();
        const QString expected = stored.isEmpty() ? old : stored;
        QCOMPARE(ConnectionSettingsForm::savedServerURL(draft, old), expected);

        // Saving from the sheet's form stores it and closes; an empty draft rechecks the status at
        // the old server (the recheck at a new server is the next test).
        ConnectionSettingsForm form;
        form.setAppState(state.get());
        form.open();
        QCOMPARE(form.draft(), old);
        form.setDraft(draft);
        QSignalSpy closed(&form, &ConnectionSettingsForm::closed);
        form.save();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(state->serverURL(), expected);
        if (stored.isEmpty()) {
            QTRY_COMPARE(server->requestsFor(QStringLiteral("status")).size(), 1);
            QTRY_VERIFY(state->status().has_value());
        } else {
            QTest::qWait(50);
            QCOMPARE(server->requests().size(), 0);
        }
    }

    void savingRechecksTheStatusAtTheNewServer() {
        TestServer other;
        QVERIFY(other.start());
        other.setReply(QStringLiteral("status"), 200, R"({"ok":true,"authenticated":false})");
        ConnectionSettingsForm form;
        form.setAppState(state.get());
        form.open();
        form.setDraft(QStringLiteral("  ") + other.baseURL().chopped(1).mid(7) + QStringLiteral(" "));
        form.save();
        QCOMPARE(state->serverURL(), other.baseURL());
        QTRY_COMPARE(other.requestsFor(QStringLiteral("status")).size(), 1);
        QTRY_VERIFY(state->status() && state->status()->ok);
        QCOMPARE(server->requests().size(), 0);
    }

    void closeKeepsTheURL() {
        const QString before = state->serverURL();
        ConnectionSettingsForm form;
        form.setAppState(state.get());
        form.open();
        form.setDraft(QStringLiteral("192.0.2.99"));
        QSignalSpy closed(&form, &ConnectionSettingsForm::closed);
        form.close();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(state->serverURL(), before);
        QTest::qWait(50);
        QCOMPARE(server->requests().size(), 0);
    }
};

KALVORIN_TEST_MAIN(FrameRulesTest)
#include "tst_framerules.moc"
