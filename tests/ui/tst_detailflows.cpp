// The ticket detail's requests against a real local server: the detail load and its failures,
// the streamed closure-evidence upload with its exact body, the action sheet's submission with
// its exact body and outcomes, and screens and sheets closed while their request is in flight.

#include "fixtures.h"
#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"
#include "ticketactionform.h"
#include "ticketdetailview.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::TestServer;

namespace {

QByteArray fixtureTicket() {
    return kalvorin::test::fixture("ticket.json");
}

// The body as sent: a compact JSON object whose members are exactly `names`, every one a string.
QJsonObject exactStringBody(const QByteArray& body, QStringList names) {
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    if (QJsonDocument(object).toJson(QJsonDocument::Compact) != body)
        qWarning("body is not the compact serialisation of its document");
    else if (QStringList keys = object.keys(); (keys.sort(), names.sort(), keys != names))
        qWarning() << "members" << object.keys();
    else if (std::any_of(object.begin(), object.end(), [](const QJsonValue& v) { return !v.isString(); }))
        qWarning("a member is not a string");
    else
        return object;
    return {};
}

const QStringList kActionMembers{"maintenanceNo",   "operation",   "note",
                                 "assignmentScope", "handlerUser", "routeReason"};
const QStringList kUploadMembers{"maintenanceNo", "name", "mime", "purpose", "contentBase64"};

} // namespace

class DetailFlowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    QTemporaryDir files;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return file.fileName();
    }

private slots:
    void init() { QVERIFY(kalvorin::test::startStateWithServer(server, state)); }
    void cleanup() {
        state.reset();
        server.reset();
    }

    // ---- the detail load ----------------------------------------------------------------------

    void ticketDetail_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("failure"); // empty: the ticket loads
        QTest::addColumn<qint64>("code");
        QTest::addColumn<int>("scopes"); // -1: none stored
        QTest::newRow("full ticket") << 200 << fixtureTicket() << "" << qint64(0) << 2;
        QTest::newRow("ok false, ticket present")
            << 200 << QByteArray(R"({"ok":false,"ticket":{"maintenanceNo":"M 1+2"}})") << "" << qint64(0)
            << 0;
        QTest::newRow("no ticket, a message") << 200 << QByteArray(R"({"ok":true,"message":"البلاغ مؤرشف."})")
                                              << "البلاغ مؤرشف." << qint64(404) << -1;
        QTest::newRow("no ticket, no message")
            << 200 << QByteArray(R"({"ok":false})") << "لم يتم العثور على البلاغ." << qint64(404) << -1;
        QTest::newRow("refusal passes through")
            << 403 << QByteArray(R"({"ok":false,"message":"لا تملك صلاحية."})") << "لا تملك صلاحية."
            << qint64(403) << -1;
    }
    void ticketDetail() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, failure);
        QFETCH(qint64, code);
        QFETCH(int, scopes);
        server->setReply("ticket", status, body);
        QSignalSpy published(state.get(), &MobileAppState::currentTicketParticipantScopesChanged);
        const Result<TicketDetail> answer = QCoro::waitFor(state->ticketDetail("M 1+2"));
        const TestServer::Request sent = server->requestsFor("ticket").value(0);
        QCOMPARE(sent.method, QByteArray("GET"));
        QCOMPARE(sent.rawQuery, QByteArray("action=ticket&maintenanceNo=M%201%2B2"));
        QCOMPARE(sent.body, QByteArray());
        QCOMPARE(answer.description(), failure);
        if (!failure.isEmpty()) {
            QCOMPARE(answer.failure().domain, QStringLiteral("KALVORIN"));
            QCOMPARE(answer.failure().code, code);
        }
        QCOMPARE(state->currentTicketParticipantScopes().contains("M 1+2"), scopes >= 0);
        QCOMPARE(state->currentTicketParticipantScopes().value("M 1+2").size(), std::max(scopes, 0));
        QCOMPARE(published.size(), scopes >= 0 ? 1 : 0);
    }

    // Loads are not serialised: the one that finishes last decides.
    void lastLoadToFinishDecides() {
        TicketDetailView view;
        view.setAppState(state.get());
        view.setNumber("M");
        TestServer::Reply slow;
        slow.body = R"({"ok":true,"ticket":{"maintenanceNo":"M","title":"الأبطأ"}})";
        slow.delayMs = 300;
        server->setReply("ticket", slow);
        view.load();
        QTRY_COMPARE(server->requests().size(), 1);
        server->setReply("ticket", 200, R"({"ok":true,"ticket":{"maintenanceNo":"M","title":"الأسرع"}})");
        view.load();
        QTRY_COMPARE(view.title(), QStringLiteral("الأسرع"));
        QCOMPARE(view.loading(), false);
        QTRY_COMPARE(view.title(), QStringLiteral("الأبطأ"));
        // A failed reload keeps the ticket and only changes the message.
        server->setReply("ticket", 200, R"({"ok":true})");
        QCoro::waitFor(view.loadNow());
        QCOMPARE(view.title(), QStringLiteral("الأبطأ"));
        QCOMPARE(view.message(), QStringLiteral("لم يتم العثور على البلاغ."));
    }

    // ---- closure evidence ----------------------------------------------------------------------

    void uploadBody_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mime");
        QTest::newRow("pdf") << "محضر الاستلام.pdf"
                             << "application/pdf";
        QTest::newRow("png") << "صورة.PNG"
                             << "image/png";
        QTest::newRow("no extension") << "evidence"
                                      << "application/octet-stream";
        QTest::newRow("unregistered extension") << "evidence.kvq9"
                                                << "application/octet-stream";
    }
    void uploadBody() {
        QFETCH(QString, name);
        QFETCH(QString, mime);
        QByteArray bytes(70001, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 % 256);
        const QString path = writeFile(name, bytes);
        QVERIFY(!path.isEmpty());
        const QString text =
            QCoro::waitFor(state->uploadAttachment("MNT-9", QUrl::fromLocalFile(path), "service_acceptance"))
                .text;
        QCOMPARE(text, QStringLiteral("تم رفع المرفق."));
        const QJsonObject body =
            exactStringBody(server->requestsFor("upload_attachment").value(0).body, kUploadMembers);
        QCOMPARE(body.value("maintenanceNo").toString(), QStringLiteral("MNT-9"));
        QCOMPARE(body.value("name").toString(), name);
        QCOMPARE(body.value("mime").toString(), mime);
        QCOMPARE(body.value("purpose").toString(), QStringLiteral("service_acceptance"));
        QCOMPARE(QByteArray::fromBase64(body.value("contentBase64").toString().toLatin1()), bytes);
    }

    void uploadOutcome_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refreshed");
        QTest::addColumn<bool>("done");
        QTest::newRow("ok, no message")
            << 200 << QByteArray(R"({"ok":true})") << "تم رفع المرفق." << true << true;
        QTest::newRow("refused, no message")
            << 200 << QByteArray(R"({"ok":false})") << "تعذر رفع المرفق." << true << false;
        QTest::newRow("no ok at all") << 200 << QByteArray("{}") << "تعذر رفع المرفق." << true << false;
        QTest::newRow("server's refusal")
            << 200 << QByteArray(R"({"ok":false,"message":"الملف كبير."})") << "الملف كبير." << true << false;
        QTest::newRow("server's confirmation")
            << 200 << QByteArray(R"({"ok":true,"message":"حُفظ المرفق."})") << "حُفظ المرفق." << true << true;
        QTest::newRow("HTTP refusal, no refresh")
            << 413 << QByteArray(R"({"ok":false,"message":"حجم المرفق يتجاوز الحد."})")
            << "حجم المرفق يتجاوز الحد." << false << false;
    }
    void uploadOutcome() {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        QFETCH(bool, refreshed);
        QFETCH(bool, done);
        server->setReply("upload_attachment", status, reply);
        const QString path = writeFile("a.jpg", "jpeg");
        const MobileAppState::WriteOutcome outcome =
            QCoro::waitFor(state->uploadAttachment("M", QUrl::fromLocalFile(path), "service_acceptance"));
        QCOMPARE(outcome.text, text);
        QCOMPARE(outcome.done, done);
        // The refresh has run by the time the text comes back.
        QCOMPARE(server->requestsFor("dashboard").size(), refreshed ? 1 : 0);
    }

    void unreadableFileSendsNothing() {
        const QString text =
            QCoro::waitFor(state->uploadAttachment("M", QUrl::fromLocalFile(files.filePath("gone.pdf")),
                                                   "service_acceptance"))
                .text;
        QCOMPARE(text, QStringLiteral("تعذرت قراءة الملف gone.pdf."));
        QVERIFY(server->requests().isEmpty());
    }

    // The detail view around the upload: busy while it runs, the text kept, the ticket reloaded.
    void viewUploadsThenReloads() {
        server->setReply("ticket", 200, fixtureTicket());
        TestServer::Reply held;
        held.hold = true;
        server->setReply("upload_attachment", held);
        TicketDetailView view;
        view.setAppState(state.get());
        view.setNumber("MNT-2024-00917");
        view.uploadClosureEvidence(QUrl::fromLocalFile(writeFile("x.pdf", QByteArray(300000, 'x'))));
        QVERIFY(view.uploadingAttachment());
        QTRY_COMPARE(server->heldCount(), 1);
        QVERIFY(view.uploadProgress() > 0); // the whole body has left
        server->release();
        QTRY_VERIFY(!view.uploadingAttachment());
        QCOMPARE(view.message(), QStringLiteral("تم رفع المرفق."));
        QTRY_VERIFY(view.hasTicket());
        QCOMPARE(server->requestsFor("ticket").size(), 1);
    }

    // ---- the action sheet's submission -------------------------------------------------------

    void actionBody() {
        TicketDetailView view;
        TicketActionForm form;
        form.setAppState(state.get());
        form.setDetail(&view);
        form.setKind("route");
        form.setTicketNumber("MNT-7");
        form.setNote("  إحالة للاختصاص \n");
        form.setSelectedScope("S1");
        form.setSelectedReason("طلب المستفيد");
        QCoro::waitFor(form.submitNow());
        const QJsonObject body =
            exactStringBody(server->requestsFor("ticket_action").value(0).body, kActionMembers);
        QCOMPARE(body, (QJsonObject{{"maintenanceNo", "MNT-7"},
                                    {"operation", "route"},
                                    {"note", "  إحالة للاختصاص \n"},
                                    {"assignmentScope", "S1"},
                                    {"handlerUser", ""},
                                    {"routeReason", "طلب المستفيد"}}));
    }

    void actionOutcome_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok, no message") << 200 << QByteArray(R"({"ok":true})") << true << "تم تنفيذ الإجراء.";
        QTest::newRow("ok with message")
            << 200 << QByteArray(R"({"ok":true,"message":"تمت الإحالة."})") << true << "تمت الإحالة.";
        QTest::newRow("ok false, no message")
            << 200 << QByteArray(R"({"ok":false})") << false << "تعذر تنفيذ الإجراء.";
        QTest::newRow("no ok") << 200 << QByteArray(R"({"message":"مرفوض"})") << false << "مرفوض";
        // A failure is red whatever its words: these hold te-mim, at the start and inside a word.
        QTest::newRow("failure that says تم")
            << 200 << QByteArray(R"({"ok":false,"message":"تم إيقاف الحساب"})") << false << "تم إيقاف الحساب";
        QTest::newRow("connection dropped")
            << 0 << QByteArray() << false << "أغلق الخادم الاتصال قبل اكتمال الرد.";
        QTest::newRow("HTTP refusal") << 403 << QByteArray(R"({"ok":false,"message":"الإجراء غير مسموح"})")
                                      << false << "الإجراء غير مسموح";
    }
    void actionOutcome() {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(bool, success);
        QFETCH(QString, text);
        if (status == 0) {
            TestServer::Reply drop;
            drop.drop = true;
            server->setReply("ticket_action", drop);
        } else {
            server->setReply("ticket_action", status, reply);
        }
        server->setReply("ticket", 200, fixtureTicket());
        TicketDetailView view;
        view.setAppState(state.get());
        TicketActionForm form;
        form.setAppState(state.get());
        form.setDetail(&view);
        form.setNote("تعليق واضح وكاف");
        QSignalSpy done(&form, &TicketActionForm::done);
        int dashboardsAtDone = -1;
        connect(&form, &TicketActionForm::done, this,
                [&] { dashboardsAtDone = int(server->requestsFor("dashboard").size()); });
        QCoro::waitFor(form.submitNow());
        QCOMPARE(form.running(), false);
        QCOMPARE(done.size(), success ? 1 : 0);
        QCOMPARE(form.formMessage(), success ? QString() : text);
        QCOMPARE(view.message(), success ? text : QString());
        if (success)
            QCOMPARE(dashboardsAtDone, 1); // refreshed before the sheet is told
        else
            QCOMPARE(form.formMessageColor(), KalvorinTheme::red());
        // Success reloads the ticket through the detail view.
        QTRY_COMPARE(server->requestsFor("ticket").size(), success ? 1 : 0);
    }

    // ---- closed mid-request ------------------------------------------------------------------

    // The sheet closed (its form destroyed) while the request runs: nothing freed is touched, and
    // the submission still completes: the refresh runs and the detail view gets the text.
    void sheetClosedMidSubmission() {
        TestServer::Reply held;
        held.hold = true;
        held.body = R"({"ok":true,"message":"تم إضافة التعليق."})";
        server->setReply("ticket_action", held);
        server->setReply("ticket", 200, fixtureTicket());
        TicketDetailView view;
        view.setAppState(state.get());
        auto* form = new TicketActionForm;
        form->setAppState(state.get());
        form->setDetail(&view);
        form->setNote("تعليق واضح وكاف");
        form->submit();
        QVERIFY(form->running());
        QTRY_COMPARE(server->heldCount(), 1);
        delete form;
        server->release();
        QTRY_VERIFY(view.hasTicket()); // reloaded after the text arrived
        QCOMPARE(view.message(), QStringLiteral("تم إضافة التعليق."));
        QCOMPARE(server->requestsFor("dashboard").size(), 1);
    }

    // The detail screen popped while its load or upload runs: the answers arrive to nobody.
    void screenPoppedMidRequest() {
        TestServer::Reply held;
        held.hold = true;
        server->setReply("ticket", held);
        server->setReply("upload_attachment", held);
        auto* view = new TicketDetailView;
        view->setAppState(state.get());
        view->setNumber("M");
        view->load();
        view->uploadClosureEvidence(QUrl::fromLocalFile(writeFile("y.pdf", "pdf")));
        QTRY_COMPARE(server->heldCount(), 2);
        delete view;
        server->release();
        QTRY_COMPARE(server->requestsFor("dashboard").size(), 1); // the upload's refresh still ran
        QTRY_VERIFY(!state->loading());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    DetailFlowsTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_detailflows.moc"
