// The new-ticket form against the development server: a demo beneficiary found by national id
// and then by account, two attachments, the submission, and the new ticket in the list; and the
// reporter chains the served lists offer are the ones the server takes.

#include "createrules.h"
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

namespace {

// The first reporter level (1 department … 4 section) that the form's cascade would not keep
// over the served lists, 0 when the four levels can be picked top to bottom.
int firstLevelNotOffered(const create::ReporterChain& chain, const std::optional<ReporterOptions>& options) {
    if (!create::serverDepartments(options).contains(chain.department))
        return 1;
    const create::ReporterChain kept = create::normalizeReporterChain(chain, 1, options);
    if (kept.region != chain.region)
        return 2;
    if (kept.division != chain.division)
        return 3;
    return kept.section != chain.section ? 4 : 0;
}

} // namespace

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

    void reporterChainsFollowTheServedLists_data() {
        QTest::addColumn<QStringList>("chain"); // department, region, division, section
        QTest::addColumn<int>("unfitLevel");    // 0: every level offered
        const QString tech = QStringLiteral("قطاع التقنية والتحول الرقمي");
        const QString shared = QStringLiteral("قطاع الخدمات المشتركة");
        const QString beneficiaries = QStringLiteral("قطاع خدمات المستفيدين");
        const QString riyadh = QStringLiteral("إدارة منطقة الرياض");
        const QString makkah = QStringLiteral("إدارة منطقة مكة المكرمة");
        const QString techOps = QStringLiteral("شعبة العمليات التقنية");
        QTest::newRow("a chain of one organisation row")
            << QStringList{tech, riyadh, techOps, QStringLiteral("قسم الدعم الفني")} << 0;
        QTest::newRow("department changed, its admins keep the region and the division")
            << QStringList{shared, riyadh, techOps, QStringLiteral("قسم الدعم الفني")} << 0;
        QTest::newRow("shared region with a division from another department")
            << QStringList{beneficiaries, makkah, QStringLiteral("شعبة الموارد البشرية"),
                           QStringLiteral("قسم شؤون الموظفين")}
            << 0;
        QTest::newRow("unknown department") << QStringList{QStringLiteral("قطاع غير معروف"), riyadh, techOps,
                                                           QStringLiteral("قسم الدعم الفني")}
                                            << 1;
        QTest::newRow("region of another department")
            << QStringList{tech, QStringLiteral("إدارة منطقة القصيم"), QStringLiteral("شعبة الاتصال الموحد"),
                           QStringLiteral("قسم الجودة")}
            << 2;
        QTest::newRow("division of another region")
            << QStringList{beneficiaries, QStringLiteral("إدارة منطقة المدينة المنورة"), techOps,
                           QStringLiteral("قسم الدعم الفني")}
            << 3;
        QTest::newRow("section of the same division under another region")
            << QStringList{tech, QStringLiteral("إدارة المنطقة الشرقية"), techOps,
                           QStringLiteral("قسم الشبكات")}
            << 4;
    }

    void reporterChainsFollowTheServedLists() {
        QFETCH(QStringList, chain);
        QFETCH(int, unfitLevel);
        Client c(m_server.baseURL());
        QVERIFY(c.login(kAgent, kAgentPassword));
        auto references = c.call<ReferenceDataResponse>(QStringLiteral("reference_data"));
        QVERIFY2(references && references->reporterOptions, qPrintable(references.description()));
        // The row's premise, walked with the form's own cascade over the lists just served.
        QCOMPARE(firstLevelNotOffered({chain[0], chain[1], chain[2], chain[3]}, references->reporterOptions),
                 unfitLevel);

        QJsonObject body = validTicketBody();
        const char* const members[] = {"reporterDepartment", "reporterRegion", "reporterDivision",
                                       "reporterSection"};
        for (int i = 0; i < 4; ++i)
            body.insert(QLatin1String(members[i]), chain[i]);
        auto created = c.post<CreateTicketResponse>(QStringLiteral("create_ticket"), body);
        if (unfitLevel == 0) {
            QVERIFY2(created && created->ok, qPrintable(created.description()));
            return;
        }
        QVERIFY(!created);
        QCOMPARE(created.failure().code, 422);
        // The refusal opens with the level as the form labels it and the choice that does not fit.
        create::CreateTicketForm form;
        const create::ReporterLevel* const levels[] = {form.departmentLevel(), form.regionLevel(),
                                                       form.divisionLevel(), form.sectionLevel()};
        const QString named =
            QStringLiteral("%1 «%2»").arg(levels[unfitLevel - 1]->label(), chain[unfitLevel - 1]);
        QVERIFY2(created.description().startsWith(named), qPrintable(created.description()));
    }
};

KALVORIN_TEST_MAIN(CreateFlow)

#include "tst_create_flow.moc"
