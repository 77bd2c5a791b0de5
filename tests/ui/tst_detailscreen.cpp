// The ticket detail screen and its action sheets loaded offscreen over a fixture ticket served
// by a local server: the loading and failure lines, the cards and action rows, each sheet with
// its enabling rule driven by typing, the back control, and a screen closed mid-load.

#include "appwindow.h"
#include "fixtures.h"
#include "focusinview.h"
#include "frameui.h"
#include "kalvorintheme.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace kalvorin;

// A step of a test through a helper that verifies: the test ends at the step's failure.
#define STEP(call)                                                                                           \
    do {                                                                                                     \
        call;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)
using kalvorin::test::TestServer;

class DetailScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    std::unique_ptr<QQuickView> view;
    QQuickItem* screen = nullptr;

    void show() {
        view = std::make_unique<QQuickView>();
        kalvorin::ui::addImportPaths(*view->engine());
        QQmlComponent component(view->engine());
        component.setData(
            "import QtQuick\nimport Kalvorin.Detail\nTicketDetailScreen { width: 390; height: 844; "
            "maintenanceNo: \"MNT-2024-00917\"; LayoutMirroring.enabled: true; "
            "LayoutMirroring.childrenInherit: true }",
            QUrl(QStringLiteral("qrc:/detail-test/Screen.qml")));
        screen = qobject_cast<QQuickItem*>(component.create());
        QVERIFY2(screen, qPrintable(component.errorString()));
        view->setContent(QUrl(), &component, screen);
        view->resize(390, 844);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    QQuickItem* find(const QString& name) const {
        // Sheets live in the window's overlay, outside the screen's tree.
        return kalvorin::ui::findItem(view->contentItem()->parentItem() ? view->contentItem()->parentItem()
                                                                        : view->contentItem(),
                                      name);
    }
    bool shown(const QString& name) const {
        QQuickItem* item = find(name);
        return item && item->isVisible();
    }
    // Scrolls the item into view, then taps its centre as a finger does.
    void tap(const QString& name) {
        QQuickItem* item = find(name);
        QVERIFY2(item, qPrintable(name));
        // Laid out first: a control is scrolled to where it will stand, not where it was made.
        QTRY_VERIFY(item->width() > 0 && item->height() > 0);
        kalvorin::test::settle(view.get());
        FocusInView scroller;
        scroller.setWindow(view.get());
        scroller.reveal(item);
        QVERIFY2(kalvorin::test::tap(view.get(), item), qPrintable(name));
    }
    // Opens an action's sheet by its button.
    void openSheet(const QString& kind) {
        tap(QStringLiteral("action-") + kind);
        QTRY_VERIFY(shown("noteEditor"));
    }
    void typeNote(const QString& text) {
        tap(QStringLiteral("noteEditor"));
        QVERIFY(find("noteEditor"));
        QTRY_VERIFY(find("noteEditor")->hasActiveFocus());
        kalvorin::test::typeInto(view.get(), text);
        QTRY_COMPARE(find("noteEditor")->property("text").toString(), text);
    }
    // Opens a sheet's picker by a tap and taps its option at `index`.
    void choose(const QString& picker, int index) {
        tap(picker);
        const QString name = QStringLiteral("pickerChoice%1").arg(index);
        QTRY_VERIFY(kalvorin::test::findVisible(view->contentItem(), name));
        QVERIFY(kalvorin::test::tap(view.get(), kalvorin::test::findVisible(view->contentItem(), name)));
        QTRY_VERIFY(!kalvorin::test::findVisible(view->contentItem(), name));
    }

    // The text item showing exactly `text`, anywhere under `item`.
    static QQuickItem* textShowing(QQuickItem* item, const QString& text) {
        if (item->inherits("QQuickText") && item->property("text").toString() == text)
            return item;
        for (QQuickItem* child : item->childItems())
            if (QQuickItem* found = textShowing(child, text))
                return found;
        return nullptr;
    }

    static QByteArray read(const char* name) { return kalvorin::test::fixture(name); }
    static QByteArray fixture() { return read("ticket.json"); }
    static QByteArray everyAction() { return kalvorin::test::ticketWithEveryAction(); }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        state->setReferences(json::decode<ReferenceDataResponse>(
                                 R"({"ok":true,"routeReasons":["سبب"],"rejectReasons":["مكرر"]})")
                                 .value());
    }
    void cleanup() {
        view.reset();
        state.reset();
        server.reset();
    }

    void loadingThenCards() {
        TestServer::Reply held;
        held.hold = true;
        held.body = fixture();
        server->setReply("ticket", held);
        show();
        QTRY_VERIFY(shown("loadingLine"));
        QVERIFY(!shown("ticketCards") && !shown("failureLine"));
        QTRY_COMPARE(server->heldCount(), 1);
        server->release();
        QTRY_VERIFY(shown("ticketCards"));
        QVERIFY(!shown("loadingLine"));
        QCOMPARE(find("ticketNumber")->property("text").toString(), QStringLiteral("MNT-2024-00917"));
        QCOMPARE(find("slaPercent")->property("text").toString(), QStringLiteral("64%"));
        // An e-mail address wider than its chip is elided on one line, not broken in two.
        QQuickItem* email = textShowing(screen, QStringLiteral("n.alotaibi@kalvorin.example"));
        QVERIFY(email);
        QTRY_VERIFY(email->width() > 0 && email->property("lineCount").toInt() == 1 &&
                    email->property("truncated").toBool());
        QVERIFY(shown("uploadEvidence"));
        // close+route, then comment+jointProcessing; reject is not allowed.
        for (const char* kind : {"action-close", "action-route", "action-comment", "action-jointProcessing"})
            QVERIFY2(shown(kind), kind);
        QVERIFY(!find("action-reject"));
        // Once laid out: the two buttons of a row share it equally.
        QTRY_VERIFY(find("action-close")->width() > 100);
        QTRY_COMPARE(find("action-close")->width(), find("action-route")->width());
    }

    void failureLine() {
        server->setReply("ticket", 200, R"({"ok":false,"message":"البلاغ غير متاح."})");
        show();
        QTRY_VERIFY(shown("failureLine"));
        QCOMPARE(find("failureLine")->property("text").toString(), QStringLiteral("البلاغ غير متاح."));
    }

    void sheets_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enabledAfter");
        QTest::newRow("comment") << "comment"
                                 << "إضافة تعليق"
                                 << "abcdefgh" << true;
        QTest::newRow("comment, too short") << "comment"
                                            << "إضافة تعليق"
                                            << "abcdefg" << false;
        QTest::newRow("close") << "close"
                               << "إغلاق البلاغ"
                               << "abcdefgh" << true;
        QTest::newRow("reject: reason chosen on appearance") << "reject"
                                                             << "رفض البلاغ"
                                                             << "" << true;
        QTest::newRow("manager route") << "managerRoute"
                                       << "طلب إحالة للإدارة"
                                       << "abcdefgh" << true;
        QTest::newRow("temporary password") << "temporaryPassword"
                                            << "كلمة مرور مؤقتة للمستفيد"
                                            << "abcd" << true;
        QTest::newRow("route needs a scope") << "route"
                                             << "إحالة البلاغ"
                                             << "abcdefgh" << false;
        QTest::newRow("joint processing needs a scope") << "jointProcessing"
                                                        << "جهات المعالجة المشتركة"
                                                        << "abcd" << false;
    }
    void sheets() {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(QString, typed);
        QFETCH(bool, enabledAfter);
        server->setReply("ticket", 200, everyAction());
        show();
        QTRY_VERIFY(shown("ticketCards"));
        STEP(openSheet(kind));
        QCOMPARE(find("sheetTitle")->property("text").toString(), title);
        QCOMPARE(find("scopePicker")->isVisible(), kind == "route" || kind == "jointProcessing");
        QCOMPARE(find("handlerPicker")->isVisible(), kind == "route");
        QVERIFY(!find("submitAction")->isEnabled() || typed.isEmpty());
        if (!typed.isEmpty())
            STEP(typeNote(typed));
        QCOMPARE(find("submitAction")->isEnabled(), enabledAfter);
        STEP(tap(QStringLiteral("sheetClose")));
        QTRY_COMPARE(screen->property("actionKind").toString(), QString());
        QTRY_VERIFY(!find("sheetTitle"));
    }

    // The scope changes under a chosen handler: the handler stays held and sent, and its box
    // shows it, not the empty choice.
    void routeShowsTheKeptHandler() {
        state->setReferences(json::decode<ReferenceDataResponse>(read("reference.json")).value());
        server->setReply("ticket", 200, fixture());
        show();
        QTRY_VERIFY(shown("ticketCards"));
        STEP(openSheet(QStringLiteral("route")));
        STEP(choose(QStringLiteral("scopePicker"), 1));   // قسم البنية التحتية
        STEP(choose(QStringLiteral("handlerPicker"), 1)); // خالد الشهري
        STEP(choose(QStringLiteral("scopePicker"), 2));   // قسم الدعم الفني
        QCOMPARE(find("handlerPicker")->property("displayText").toString(), QStringLiteral("خالد الشهري"));
        QCOMPARE(find("scopePicker")->property("displayText").toString(), QStringLiteral("قسم الدعم الفني"));
        STEP(typeNote(QStringLiteral("إحالة للاختصاص")));
        STEP(tap(QStringLiteral("submitAction")));
        QTRY_COMPARE(server->requestsFor("ticket_action").size(), 1);
        const QJsonObject body =
            QJsonDocument::fromJson(server->requestsFor("ticket_action").first().body).object();
        QCOMPARE(body.value("assignmentScope").toString(), QStringLiteral("SC-202"));
        QCOMPARE(body.value("handlerUser").toString(), QStringLiteral("k.alshehri"));
    }

    // What an action or an upload ended with shows on the screen, in green when the server
    // applied it and in red when not, until its close button is tapped.
    void resultLine_data() {
        QTest::addColumn<QString>("write");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("done");
        QTest::newRow("comment applied")
            << "comment" << 200 << QByteArray(R"({"ok":true})") << false << "تم تنفيذ الإجراء." << true;
        QTest::newRow("upload applied")
            << "upload" << 200 << QByteArray(R"({"ok":true})") << false << "تم رفع المرفق." << true;
        QTest::newRow("upload refused")
            << "upload" << 200 << QByteArray(R"({"ok":false})") << false << "تعذر رفع المرفق." << false;
        QTest::newRow("upload, connection dropped")
            << "upload" << 200 << QByteArray() << true << QString() << false;
    }
    void resultLine() {
        QFETCH(QString, write);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(bool, dropped);
        QFETCH(QString, text);
        QFETCH(bool, done);
        server->setReply("ticket", 200, fixture());
        TestServer::Reply answer;
        answer.status = status;
        answer.body = reply;
        answer.drop = dropped;
        server->setReply(write == "upload" ? "upload_attachment" : "ticket_action", answer);
        show();
        QTRY_VERIFY(shown("ticketCards"));
        QVERIFY(!shown("outcomeLine"));
        QTemporaryDir files;
        if (write == "upload") {
            QFile file(files.filePath("evidence.pdf"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4") > 0);
            file.close();
            // What the file chooser hands over when a file is picked.
            QMetaObject::invokeMethod(screen->property("view").value<QObject*>(), "uploadClosureEvidence",
                                      Q_ARG(QUrl, QUrl::fromLocalFile(file.fileName())));
        } else {
            STEP(openSheet(write));
            STEP(typeNote(QStringLiteral("تعليق واضح وكاف")));
            STEP(tap(QStringLiteral("submitAction")));
        }
        QTRY_VERIFY(shown("outcomeLine"));
        const QString shownText = find("outcomeText")->property("text").toString();
        QVERIFY(!shownText.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(shownText, text);
        QCOMPARE(find("outcomeText")->property("color").value<QColor>().rgba(),
                 (done ? KalvorinTheme::green() : KalvorinTheme::red()).rgba());
        STEP(tap(QStringLiteral("outcomeDismiss")));
        QTRY_VERIFY(!shown("outcomeLine"));
    }

    // A failure stays in the open sheet, in red, whatever its words: our own transport sentences
    // hold "تم" inside a word.
    void sheetShowsFailureInRed_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("refused") << QByteArray(R"({"ok":false,"message":"الإجراء مرفوض."})") << false;
        QTest::newRow("connection dropped") << QByteArray() << true;
    }
    void sheetShowsFailureInRed() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, dropped);
        server->setReply("ticket", 200, fixture());
        TestServer::Reply answer;
        answer.body = reply;
        answer.drop = dropped;
        server->setReply("ticket_action", answer);
        show();
        QTRY_VERIFY(shown("ticketCards"));
        STEP(openSheet(QStringLiteral("comment")));
        STEP(typeNote(QStringLiteral("تعليق واضح وكاف")));
        STEP(tap(QStringLiteral("submitAction")));
        QTRY_VERIFY(shown("formMessage"));
        QVERIFY(!find("formMessage")->property("text").toString().isEmpty());
        if (!dropped)
            QCOMPARE(find("formMessage")->property("text").toString(), QStringLiteral("الإجراء مرفوض."));
        QCOMPARE(find("formMessage")->property("color").value<QColor>().rgba(), KalvorinTheme::red().rgba());
        QVERIFY(shown("sheetTitle")); // the sheet stays open
    }

    void backControlAndClosedMidLoad() {
        TestServer::Reply held;
        held.hold = true;
        server->setReply("ticket", held);
        show();
        QSignalSpy closing(screen, SIGNAL(closeRequested()));
        STEP(tap(QStringLiteral("headerLeading")));
        QCOMPARE(closing.size(), 1);
        QTRY_COMPARE(server->heldCount(), 1);
        view.reset(); // the screen goes while its load runs
        server->release();
        QTest::qWait(50);
        QVERIFY(state->currentTicketParticipantScopes().isEmpty());
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    DetailScreenTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_detailscreen.moc"
