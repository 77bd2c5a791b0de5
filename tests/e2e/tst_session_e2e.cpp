// The app's window against the development server, as a person uses it: a new-ticket draft
// outlives tab switches and an ended session; the server ending the session brings up the
// prompt; signing in again keeps the draft, signing in as someone else clears it.

#include "e2esupport.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "rootview.h"
#include "testenv.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>

using namespace kalvorin;
using namespace kalvorin::e2e;

class SessionEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningServer> server;
    std::unique_ptr<MobileAppState> state;
    test::RootView root;

    QQuickItem* visible(const char* name) const {
        return test::findVisible(root.view->contentItem(), QLatin1String(name));
    }
    QQuickItem* inputOf(const char* field) const {
        QQuickItem* item = visible(field);
        return item ? qvariant_cast<QQuickItem*>(item->property("input")) : nullptr;
    }
    QString textOf(const char* field) const {
        QQuickItem* item = visible(field);
        return item ? item->property("text").toString() : QStringLiteral("<hidden %1>").arg(field);
    }
    // A finger on the field, then the keys one by one.
    void typeInto(const char* field, const QString& text) {
        QQuickItem* input = inputOf(field);
        QVERIFY2(input, field);
        root.click(input);
        QTRY_VERIFY(input->hasActiveFocus());
        root.type(text);
    }
    // Empties the focused field as a keyboard does: select all, delete.
    void emptyField(const char* field) {
        QQuickItem* input = inputOf(field);
        QVERIFY2(input, field);
        root.click(input);
        QTRY_VERIFY(input->hasActiveFocus());
        QTest::keyClick(root.view.get(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(root.view.get(), Qt::Key_Backspace);
        QTRY_COMPARE(input->property("text").toString(), QString());
    }
    void tapTab(int index) {
        root.click(visible(qPrintable(QStringLiteral("tab%1").arg(index))));
        QTRY_COMPARE(state->selectedTab(), index);
    }
    void signIn(const char* nameField, const char* passwordField, const char* button, const QString& name,
                const QString& password) {
        if (!name.isEmpty()) {
            emptyField(nameField);
            typeInto(nameField, name);
        }
        emptyField(passwordField);
        typeInto(passwordField, password);
        root.click(visible(button));
    }
    // The topmost row of the list in the window.
    QQuickItem* firstTicketRow(QQuickItem* within) const {
        QQuickItem* first = nullptr;
        for (QQuickItem* child : within->childItems()) {
            if (!child->isVisible())
                continue;
            QQuickItem* row =
                child->objectName().startsWith(QLatin1String("ticketRow_")) ? child : firstTicketRow(child);
            const auto top = [](QQuickItem* i) { return i->mapToScene(QPointF(0, 0)).y(); };
            if (row && top(row) >= 0 && (!first || top(row) < top(first)))
                first = row;
        }
        return first;
    }
    QStringList draftTexts() const {
        return {textOf("nationalIdField"), textOf("beneficiaryUserField"), textOf("beneficiaryField")};
    }

private slots:
    void init() {
        test::resetStoredState();
        server = std::make_unique<RunningServer>();
        QVERIFY2(server->start({QStringLiteral("--test-controls")}), qPrintable(server->output()));
        state = std::make_unique<MobileAppState>();
        state->setServerURL(server->baseURL());
        ui::installAppState(state.get());
        QVERIFY(root.show(300)); // the status check every 300 ms
        QTRY_VERIFY(visible("signInButton"));
        // The sign-in card fades in before a finger can reach it.
        QTRY_VERIFY([this] {
            qreal opacity = 1;
            for (QQuickItem* i = visible("signInButton"); i; i = i->parentItem())
                opacity *= i->opacity();
            return opacity == 1;
        }());
        signIn("usernameField", "passwordField", "signInButton", kAgent, kAgentPassword);
        QTRY_VERIFY_WITH_TIMEOUT(root.find("shell") && !state->loading(), 10000);
    }
    void cleanup() {
        root.view.reset();
        state.reset();
        server.reset();
    }

    void aDraftOutlivesTabsAndAnEndedSession() {
        tapTab(2);
        QTRY_VERIFY(visible("createTicketScreen"));
        typeInto("nationalIdField", QStringLiteral("1012345678"));
        typeInto("beneficiaryUserField", QStringLiteral("m.ali"));
        typeInto("beneficiaryField", QStringLiteral("محمد علي"));
        const QStringList typed = draftTexts();
        // The picker's outcome (the platform's own dialog cannot be driven from here).
        QTemporaryFile picked(QDir::tempPath() + QStringLiteral("/evidence-XXXXXX.pdf"));
        QVERIFY(picked.open());
        picked.write("%PDF-1.4 kept");
        picked.flush();
        auto* form = qvariant_cast<QObject*>(visible("createTicketScreen")->property("form"));
        QMetaObject::invokeMethod(form, "handleCreateAttachments",
                                  Q_ARG(QList<QUrl>, {QUrl::fromLocalFile(picked.fileName())}));
        QTRY_VERIFY(root.find("removeAttachment"));

        // Another tab, a ticket opened from it, and back.
        tapTab(1);
        QTRY_VERIFY(visible("ticketsScreen") && !visible("createTicketScreen"));
        QTRY_VERIFY(firstTicketRow(root.view->contentItem()));
        root.click(firstTicketRow(root.view->contentItem()));
        QTRY_VERIFY(visible("detailPage"));
        tapTab(2);
        QTRY_COMPARE(draftTexts(), typed);
        QVERIFY(root.find("removeAttachment"));

        // The server ends the session from its command line; the next status check notices.
        QProcess end;
        end.start(QStringLiteral(KALVORIN_DEVSERVER_BIN),
                  {QStringLiteral("--db"), server->databasePath(), QStringLiteral("--end-sessions"), kAgent});
        QVERIFY(end.waitForFinished(10000));
        QVERIFY2(end.readAllStandardOutput().contains("ended 1"), "no session ended");
        QTRY_VERIFY_WITH_TIMEOUT(visible("resumeSignInButton"), 5000);
        QTRY_COMPARE(textOf("resumeUsernameField"), kAgent); // remembered
        QCOMPARE(textOf("resumePasswordField"), QString());
        signIn("resumeUsernameField", "resumePasswordField", "resumeSignInButton", {}, kAgentPassword);
        QTRY_VERIFY_WITH_TIMEOUT(!visible("resumeSignInButton") && !state->loading(), 10000);
        QCOMPARE(state->selectedTab(), 2);
        QCOMPARE(draftTexts(), typed);
        QVERIFY(root.find("removeAttachment"));
        QVERIFY(state->ticketModel()->rowCount() > 0); // refreshed

        // A wrong password keeps the prompt, with the server's reason.
        QVERIFY(
            Client(server->baseURL())
                .post<APIMessage>(QStringLiteral("test_control"), {{QStringLiteral("endSessions"), kAgent}}));
        QTRY_VERIFY_WITH_TIMEOUT(visible("resumeSignInButton"), 5000);
        signIn("resumeUsernameField", "resumePasswordField", "resumeSignInButton", {},
               QStringLiteral("wrong"));
        QTRY_VERIFY(!textOf("resumeError").isEmpty() && !state->loading());
        QVERIFY(visible("resumeSignInButton"));

        // Someone else signs in here: the draft was the other account's.
        signIn("resumeUsernameField", "resumePasswordField", "resumeSignInButton", kSupervisor,
               kSupervisorPassword);
        QTRY_VERIFY_WITH_TIMEOUT(!visible("resumeSignInButton") && !state->loading(), 10000);
        QTRY_COMPARE(draftTexts(), QStringList({QString(), QString(), QString()}));
        QCOMPARE(state->rememberedUsername(), kSupervisor); // "remember" kept from the first sign-in
        QVERIFY(!root.find("removeAttachment"));
    }

    // "مسح النموذج" asks first; "إلغاء" keeps everything, "مسح" empties the form.
    void clearingTheDraftAsksFirst() {
        tapTab(2);
        QTRY_VERIFY(visible("createTicketScreen"));
        typeInto("beneficiaryField", QStringLiteral("محمد علي"));
        auto* page = visible("createTicketPage");
        QQuickItem* clear = visible("clearDraftButton");
        QVERIFY(page && clear);
        // A finger scrolls the form down to the button.
        page->setProperty(
            "contentY",
            clear->mapToItem(page->property("contentItem").value<QQuickItem*>(), QPointF(0, 0)).y() - 200);
        root.click(clear);
        QTRY_VERIFY(visible("cancelClearButton"));
        root.click(visible("cancelClearButton"));
        QTRY_VERIFY(!visible("cancelClearButton"));
        root.click(visible("clearDraftButton"));
        QTRY_VERIFY(visible("confirmClearButton"));
        root.click(visible("confirmClearButton"));
        QTRY_VERIFY(!visible("cancelClearButton"));
        page->setProperty("contentY", 0);
        QTRY_COMPARE(textOf("beneficiaryField"), QString());
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    SessionEndToEnd tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_session_e2e.moc"
