// The ticket detail screen and its action sheets loaded offscreen over a fixture ticket served
// by a local server: the loading and failure lines, the cards and action rows, each sheet with
// its enabling rule driven by typing, the back control, and a screen closed mid-load.

#include "frameui.h"
#include "kalvorintheme.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QtTest>

using namespace kalvorin;
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
    void click(const QString& name) {
        QQuickItem* item = find(name);
        QVERIFY2(item, qPrintable(name));
        QMetaObject::invokeMethod(item, "clicked");
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

    static QByteArray fixture() {
        QFile file(QStringLiteral(KALVORIN_TEST_DATA "/ticket.json"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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
        server->setReply("ticket", 200, fixture());
        show();
        QTRY_VERIFY(shown("ticketCards"));
        screen->setProperty("actionKind", kind);
        QTRY_VERIFY(shown("sheetTitle"));
        QCOMPARE(find("sheetTitle")->property("text").toString(), title);
        QCOMPARE(find("scopePicker")->isVisible(), kind == "route" || kind == "jointProcessing");
        QCOMPARE(find("handlerPicker")->isVisible(), kind == "route");
        QVERIFY(!find("submitAction")->isEnabled() || typed.isEmpty());
        QQuickItem* editor = find("noteEditor");
        editor->forceActiveFocus();
        for (const QChar c : typed)
            QTest::keyClick(view.get(), c.toLatin1());
        QTRY_COMPARE(editor->property("text").toString(), typed);
        QCOMPARE(find("submitAction")->isEnabled(), enabledAfter);
        click("sheetClose");
        QTRY_COMPARE(screen->property("actionKind").toString(), QString());
        QTRY_VERIFY(!find("sheetTitle"));
    }

    void sheetShowsFailureInRed() {
        server->setReply("ticket", 200, fixture());
        server->setReply("ticket_action", 200, R"({"ok":false,"message":"الإجراء مرفوض."})");
        show();
        QTRY_VERIFY(shown("ticketCards"));
        screen->setProperty("actionKind", "comment");
        QTRY_VERIFY(shown("noteEditor"));
        find("noteEditor")->setProperty("text", QStringLiteral("تعليق واضح وكاف"));
        click("submitAction");
        QTRY_VERIFY(shown("formMessage"));
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
        QQuickItem* back = find("headerLeading");
        QVERIFY(back);
        const QPointF centre = back->mapToScene(QPointF(back->width() / 2, back->height() / 2));
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, centre.toPoint());
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
