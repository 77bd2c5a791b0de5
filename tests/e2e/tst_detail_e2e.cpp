// The ticket detail end to end: the client's own detail view and action form against the
// development server, signed in as a supervisor: route with a handler, comment, a 20 MB
// closure evidence stored byte for byte, close (then nothing is left to do), and reject.

#include "e2esupport.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "testenv.h"
#include "ticketactionform.h"
#include "ticketdetailview.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using namespace kalvorin::e2e;

class DetailEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningServer> server;
    std::unique_ptr<MobileAppState> state;
    std::unique_ptr<Client> reporter;

    // A new ticket, raised by someone else, open in a fresh detail view.
    std::unique_ptr<TicketDetailView> openNewTicket() {
        const QString number = createTicket(*reporter, 101);
        auto view = std::make_unique<TicketDetailView>();
        view->setAppState(state.get());
        view->setNumber(number);
        QCoro::waitFor(view->loadNow());
        return view;
    }

    // Runs one action through the sheet's form; its text as the detail view received it.
    QString act(TicketDetailView& view, const QString& kind, const QString& note, const QString& scope = {},
                const QString& handler = {}) {
        TicketActionForm form;
        form.setAppState(state.get());
        form.setDetail(&view);
        form.setKind(kind);
        form.setTicketNumber(view.number());
        form.appear();
        form.setNote(note);
        form.setSelectedScope(scope);
        form.setSelectedHandler(handler);
        if (!form.canSubmit())
            return QStringLiteral("not enabled");
        QCoro::waitFor(form.submitNow());
        if (!form.formMessage().isEmpty())
            return form.formMessage();
        // The reload the result started.
        if (!QTest::qWaitFor([&] { return !view.loading(); }, 10000))
            return QStringLiteral("not reloaded");
        return view.message();
    }

    static QString chip(const RowsModel* items, int index) { return items->value(index, "value").toString(); }

private slots:
    void initTestCase() {
        server = std::make_unique<RunningServer>();
        QVERIFY2(server->start(), qPrintable(server->output()));
        reporter = std::make_unique<Client>(server->baseURL());
        QVERIFY(reporter->login(QStringLiteral("agent.sys"), kAgentPassword));
        auto* center = new test::RecordingNotificationCenter;
        state = std::make_unique<MobileAppState>(nullptr, center);
        center->setParent(state.get());
        state->setServerURL(server->baseURL());
        QCoro::waitFor(state->login(kSupervisor, kSupervisorPassword, false));
        QVERIFY2(state->user(), qPrintable(state->errorMessage()));
    }
    void cleanupTestCase() {
        state.reset();
        reporter.reset();
        server.reset();
    }

    void routeCommentUploadClose() {
        auto view = openNewTicket();
        QVERIFY2(view->hasTicket(), qPrintable(view->message()));
        QVERIFY(view->canUploadClosureEvidence());

        QVERIFY(act(*view, "route", "إحالة إلى فريق الشبكات", "it-network", "agent.net").contains("تم"));
        QCOMPARE(chip(view->headerItems(), 0), QStringLiteral("قيد المعالجة"));
        QCOMPARE(chip(view->treatmentItems(), 0), QStringLiteral("الشبكات والاتصالات"));
        QVERIFY(!chip(view->treatmentItems(), 1).isEmpty() && chip(view->treatmentItems(), 1) != "لم يسند");

        QVERIFY(act(*view, "comment", "تمت مراجعة الشبكة في الموقع").contains("تم"));
        QCOMPARE(view->chainEntries()->value(0, "label").toString(), QStringLiteral("تعليق"));

        // 20 MB of evidence, streamed, stored byte for byte.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("محضر-الإغلاق.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCryptographicHash sent(QCryptographicHash::Sha256);
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (int m = 0; m < 20; ++m) {
            for (qsizetype i = 0; i < block.size(); ++i)
                block[i] = char((i * 31 + m * 17) % 253);
            sent.addData(block);
            file.write(block);
        }
        file.close();
        QCoro::waitFor(view->uploadNow(QUrl::fromLocalFile(path)));
        QVERIFY2(view->message().contains("تم"), qPrintable(view->message()));
        QCOMPARE(view->attachmentRows()->value(0, "name").toString(), QStringLiteral("محضر-الإغلاق.pdf"));
        QVERIFY(view->attachmentRows()
                    ->value(0, "detail")
                    .toString()
                    .startsWith(test::withIsolates("إثبات إغلاق · <20480 KB> · {")));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stored"));
            db.setDatabaseName(server->databasePath());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT data, mime, size, purpose FROM attachments WHERE name = "
                                          "'محضر-الإغلاق.pdf'")) &&
                    q.next());
            QCOMPARE(QCryptographicHash::hash(q.value(0).toByteArray(), QCryptographicHash::Sha256),
                     sent.result());
            QCOMPARE(q.value(1).toString(), QStringLiteral("application/pdf"));
            QCOMPARE(q.value(2).toLongLong(), 20ll << 20);
            QCOMPARE(q.value(3).toString(), QStringLiteral("service_acceptance"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("stored"));

        QVERIFY(act(*view, "close", "تم حل المشكلة والتحقق").contains("تم"));
        QCOMPARE(chip(view->headerItems(), 0), QStringLiteral("مغلق"));
        QCOMPARE(view->actionRows()->count(), 0);
        QVERIFY(!view->canUploadClosureEvidence());
    }

    void rejectWithReason() {
        auto view = openNewTicket();
        QVERIFY(view->hasTicket());
        // The form picks the first reject reason on appearance; the note may stay empty.
        QVERIFY(act(*view, "reject", QString()).contains("تم"));
        QCOMPARE(chip(view->headerItems(), 0), QStringLiteral("مرفوض"));
        QCOMPARE(view->chainEntries()->value(0, "label").toString(), QStringLiteral("رفض البلاغ"));
        QCOMPARE(view->actionRows()->count(), 0);
    }
};

KALVORIN_TEST_MAIN(DetailEndToEnd)

#include "tst_detail_e2e.moc"
