// The new-ticket form against the development server: a demo beneficiary found by national id
// and then by account, two attachments, the submission, and the new ticket in the list.

#include "createticketform.h"
#include "e2esupport.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using namespace kalvorin::e2e;

class CreateFlow : public QObject {
    Q_OBJECT

    RunningServer m_server;

private slots:
    void initTestCase() { QVERIFY2(m_server.start(), qPrintable(m_server.output())); }

    void fullFormCreatesATicketTheListShows() {
        kalvorin::test::resetStoredState();
        auto* center = new kalvorin::test::RecordingNotificationCenter;
        MobileAppState state(nullptr, center);
        center->setParent(&state);
        state.setServerURL(m_server.baseURL());
        QCoro::waitFor(state.login(kAgent, kAgentPassword, false));
        QVERIFY2(state.user() && state.references(), qPrintable(state.errorMessage()));

        create::CreateTicketForm form;
        form.setAppState(&state);
        form.applyCreateContextIfNeeded();
        QVERIFY(!form.reporterSection().isEmpty()); // the agent's own organisation

        // A demo beneficiary (devserver/README.md): found, then checked by account.
        form.setNationalId(QStringLiteral("1104472113"));
        QTRY_COMPARE(form.beneficiary(), QStringLiteral("محمد القحطاني"));
        QCOMPARE(form.beneficiaryUser(), QStringLiteral("m.alqahtani"));
        QTRY_COMPARE(form.lookupMessage(), QStringLiteral("تم التحقق من حساب المستخدم."));
        QCOMPARE(form.reporterSection(), QStringLiteral("قسم شؤون الموظفين"));
        QCOMPARE(form.contactMobile().size(), 10);

        QTemporaryDir dir;
        QList<QUrl> files;
        for (const auto& [name, size] : {std::pair{"لقطة.png", 2048}, std::pair{"تقرير.pdf", 300000}}) {
            QFile f(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(size, 'k'));
            files << QUrl::fromLocalFile(f.fileName());
        }
        form.handleCreateAttachments(files);
        QCOMPARE(form.selectedAttachments()->count(), 2);
        form.setServiceIndex(1);
        form.setTitle(QStringLiteral("تعطل الطابعة"));
        form.setDescription(QStringLiteral("الطابعة لا تستجيب منذ الصباح"));
        QCOMPARE(form.firstFailedRule(), 0);

        QCoro::waitFor(form.create());
        QVERIFY2(form.message().startsWith(QStringLiteral("تم إنشاء البلاغ")), qPrintable(form.message()));
        QVERIFY(!state.tickets().isEmpty());
        const TicketSummary& newest = state.tickets().first();
        QVERIFY(form.message().contains(newest.maintenanceNo));
        QCOMPARE(newest.title, std::optional<QString>(QStringLiteral("تعطل الطابعة")));
        QCOMPARE(newest.attachmentCount, std::optional<qint64>(2));
        QCOMPARE(form.nationalId(), QString()); // cleared for the next ticket
        QCOMPARE(form.selectedAttachments()->count(), 0);
    }

    void refusedSubmissionKeepsTheForm() {
        kalvorin::test::resetStoredState();
        auto* center = new kalvorin::test::RecordingNotificationCenter;
        MobileAppState state(nullptr, center);
        center->setParent(&state);
        state.setServerURL(m_server.baseURL());
        QCoro::waitFor(state.login(kAgent, kAgentPassword, false));
        create::CreateTicketForm form;
        form.setAppState(&state);
        form.applyCreateContextIfNeeded();
        form.setNationalId(QStringLiteral("1104472113"));
        QTRY_COMPARE(form.lookupMessage(), QStringLiteral("تم التحقق من حساب المستخدم."));
        form.setSelectedServiceId(999); // not in the catalogue: the server refuses with 422
        form.setTitle(QStringLiteral("عنوان صالح"));
        form.setDescription(QStringLiteral("وصف صالح للبلاغ"));
        QCoro::waitFor(form.create());
        QCOMPARE(form.message(), QStringLiteral("الخدمة المختارة غير موجودة في الكتالوج."));
        QCOMPARE(form.nationalId(), QStringLiteral("1104472113"));
        QCOMPARE(form.title(), QStringLiteral("عنوان صالح"));
    }
};

KALVORIN_TEST_MAIN(CreateFlow)

#include "tst_create_flow.moc"
