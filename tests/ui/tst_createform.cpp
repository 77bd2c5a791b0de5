// The new-ticket form's rules without a window: input clean-up, the reporter cascade, the save
// rule, the lookups' timing and outcomes, the attachment limits with real files, the exact
// create_ticket body and the result line, against a real local server.

#include "createrules.h"
#include "createticketform.h"
#include "fixtures.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"
#include "testserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using namespace kalvorin::create;
using kalvorin::test::fixture;
using kalvorin::test::TestServer;
using kalvorin::test::withIsolates;

namespace {

ReferenceDataResponse references() {
    return json::decode<ReferenceDataResponse>(fixture("reference.json")).value();
}

QString queryItem(const TestServer::Request& r, const QString& name) {
    return QUrlQuery(QString::fromUtf8(r.rawQuery)).queryItemValue(name, QUrl::FullyDecoded);
}

const QString kHR = QStringLiteral("الإدارة العامة للموارد البشرية");
const QString kStaff = QStringLiteral("إدارة شؤون الموظفين");
const QString kTraining = QStringLiteral("إدارة التدريب");
const QString kBudget = QStringLiteral("إدارة الميزانية");
const QString kHiring = QStringLiteral("شعبة التوظيف");
const QString kPayroll = QStringLiteral("شعبة الرواتب");
const QString kSpending = QStringLiteral("شعبة المصروفات");
const QString kRecruiting = QStringLiteral("وحدة الاستقطاب");
const QString kInterviews = QStringLiteral("وحدة المقابلات");
const QString kPayments = QStringLiteral("وحدة الصرف");
const QString kFinance = QStringLiteral("الإدارة العامة للشؤون المالية");

} // namespace

class CreateFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    std::unique_ptr<CreateTicketForm> form;
    QTemporaryDir dir;

    QUrl file(const QString& name, qint64 size) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || !f.resize(size)) // sparse beyond what is written
            return {};
        f.write(name.toUtf8().left(size));
        return QUrl::fromLocalFile(f.fileName());
    }

    // Every rule holds.
    void fillValid() {
        form->setNationalId(QStringLiteral("1098765432"));
        form->setBeneficiaryUser(QStringLiteral("s.test"));
        form->setBeneficiary(QStringLiteral("سالم التجريبي"));
        form->setReporterDepartment(kHR);
        form->setReporterRegion(kStaff);
        form->setReporterDivision(kHiring);
        form->setReporterSection(kRecruiting);
        form->setContactMobile(QStringLiteral("0551234567"));
        form->setSelectedServiceId(11);
        form->setTitle(QStringLiteral("تعطل الشبكة"));
        form->setDescription(QStringLiteral("لا يوجد اتصال في المكتب"));
        form->setParticipantScopeId(QStringLiteral("SC-202"));
        form->setParticipantReason(QStringLiteral("إفادة فنية"));
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        form = std::make_unique<CreateTicketForm>();
        form->setAppState(state.get());
    }
    void cleanup() {
        form.reset();
        state.reset();
        server.reset();
    }

    // ---- input clean-up ---------------------------------------------------

    void phoneDigits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ascii") << "0551234567"
                               << "0551234567";
        QTest::newRow("arabic-indic") << "٠٥٥١٢٣٤٥٦٧"
                                      << "0551234567";
        QTest::newRow("extended arabic-indic") << "۰۵۵۱۲۳"
                                               << "055123";
        QTest::newRow("devanagari") << "०५५१"
                                    << "0551";
        QTest::newRow("signs and spaces dropped") << "+966 55-123 45"
                                                  << "9665512345";
        QTest::newRow("eleventh digit cut") << "05512345678"
                                            << "0551234567";
        QTest::newRow("letters only") << "abc"
                                      << "";
    }
    void phoneDigits() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        form->setContactMobile(typed);
        form->setFixedPhone(typed);
        QCOMPARE(form->contactMobile(), stored);
        QCOMPARE(form->fixedPhone(), stored);
    }

    void ipFilter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("address") << "192.168.10.1"
                                 << "192.168.10.1";
        QTest::newRow("letters, spaces, colons") << "fe80::1 a.b"
                                                 << "801.";
        QTest::newRow("numerals kept as typed") << "١٠.٢"
                                                << "١٠.٢";
        QTest::newRow("sixteenth cut") << "1234567890.12345"
                                       << "1234567890.1234";
    }
    void ipFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        form->setIpAddress(typed);
        QCOMPARE(form->ipAddress(), stored);
    }

    // ---- the reporter cascade ---------------------------------------------

    void cascade_data() {
        QTest::addColumn<QStringList>("prefill");
        QTest::addColumn<QString>("sectionKeySeparator");
        QTest::addColumn<int>("changeLevel");
        QTest::addColumn<QString>("changeValue");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("departmentOptions");
        QTest::addColumn<QStringList>("regionOptions");
        QTest::addColumn<QStringList>("sectionOptions");
        const QStringList departments{kHR, kFinance};
        QTest::newRow("prefill that fits")
            << QStringList{kHR, kStaff, kHiring, kRecruiting} << "||" << 0 << ""
            << QStringList{kHR, kStaff, kHiring, kRecruiting} << departments << QStringList{kStaff, kTraining}
            << QStringList{kRecruiting, kInterviews};
        QTest::newRow("prefill undone by its department")
            << QStringList{kHR, kBudget, kSpending, kPayments} << "||" << 0 << ""
            << QStringList{kHR, "", "", ""} << departments << QStringList{kStaff, kTraining} << QStringList{};
        QTest::newRow("department unknown to the map: all admins, and offered itself")
            << QStringList{"قطاع غير مدرج", kTraining, "", ""} << "||" << 0 << ""
            << QStringList{"قطاع غير مدرج", kTraining, "", ""} << (departments + QStringList{"قطاع غير مدرج"})
            << QStringList{kStaff, kTraining, kBudget} << QStringList{};
        QTest::newRow("sections keyed region||division")
            << QStringList{kFinance, kBudget, kSpending, kPayments} << "||" << 0 << ""
            << QStringList{kFinance, kBudget, kSpending, kPayments} << departments << QStringList{kBudget}
            << QStringList{kPayments};
        QTest::newRow("sections keyed any other way")
            << QStringList{kFinance, kBudget, kSpending, kPayments} << " || " << 0 << ""
            << QStringList{kFinance, kBudget, kSpending, ""} << departments << QStringList{kBudget}
            << QStringList{};
        QTest::newRow("division change empties the section only")
            << QStringList{kHR, kStaff, kHiring, kRecruiting} << "||" << 3 << kPayroll
            << QStringList{kHR, kStaff, kPayroll, ""} << departments << QStringList{kStaff, kTraining}
            << QStringList{};
    }
    void cascade() {
        QFETCH(QStringList, prefill);
        QFETCH(QString, sectionKeySeparator);
        QFETCH(int, changeLevel);
        QFETCH(QString, changeValue);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, departmentOptions);
        QFETCH(QStringList, regionOptions);
        QFETCH(QStringList, sectionOptions);
        ReferenceDataResponse r = references();
        QMap<QString, QList<QString>> sections;
        for (auto it = r.reporterOptions->sectionsByAdminDivision->cbegin();
             it != r.reporterOptions->sectionsByAdminDivision->cend(); ++it)
            sections.insert(QString(it.key()).replace(QStringLiteral("||"), sectionKeySeparator), it.value());
        r.reporterOptions->sectionsByAdminDivision = sections;
        r.createContext = CreateTicketContext{prefill[0], prefill[1], prefill[2], prefill[3], {}, {}, true};
        state->setReferences(r);
        form->applyCreateContextIfNeeded();
        if (changeLevel > 0)
            form->setReporterField(changeLevel, changeValue);
        QCOMPARE((QStringList{form->reporterDepartment(), form->reporterRegion(), form->reporterDivision(),
                              form->reporterSection()}),
                 stored);
        QCOMPARE(form->departmentOptions(), departmentOptions);
        QCOMPARE(form->regionOptions(), regionOptions);
        QCOMPARE(form->sectionOptions(), sectionOptions);
        // The levels that hold text or have options are drop-downs.
        QCOMPARE(form->departmentLevel()->picker(), true);
        QCOMPARE(form->sectionLevel()->picker(), !sectionOptions.isEmpty());
    }

    // ---- the save rule ------------------------------------------------------

    void canSubmit_data() {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<int>("failedRule"); // 0: every rule holds
        QTest::newRow("valid") << QVariantMap{} << 0;
        QTest::newRow("national id of 9 digits") << QVariantMap{{"nationalId", "109876543"}} << 2;
        QTest::newRow("account blank") << QVariantMap{{"beneficiaryUser", " \n "}} << 3;
        QTest::newRow("name blank") << QVariantMap{{"beneficiary", " \n"}} << 4;
        QTest::newRow("section blank") << QVariantMap{{"reporterSection", "  "}} << 5;
        QTest::newRow("mobile not starting 05") << QVariantMap{{"contactMobile", "0651234567"}} << 6;
        QTest::newRow("mobile of 9 digits") << QVariantMap{{"contactMobile", "055123456"}} << 6;
        QTest::newRow("no mobile, no fixed phone")
            << QVariantMap{{"contactMobile", ""}, {"fixedPhone", ""}} << 0;
        QTest::newRow("fixed phone of 9 digits") << QVariantMap{{"fixedPhone", "011234567"}} << 7;
        QTest::newRow("no service") << QVariantMap{{"selectedServiceId", 0}} << 8;
        QTest::newRow("title of 3 letters") << QVariantMap{{"title", "عطل"}} << 9;
        QTest::newRow("title of 3 letters with marks") << QVariantMap{{"title", "عُطْل"}} << 9;
        QTest::newRow("title of 4 letters in spaces") << QVariantMap{{"title", "  عطلل  "}} << 0;
        QTest::newRow("description of 7") << QVariantMap{{"description", " 1234567 "}} << 10;
        QTest::newRow("joint on, all given") << QVariantMap{{"requiresParticipants", true}} << 0;
        QTest::newRow("joint on, no scope")
            << QVariantMap{{"requiresParticipants", true}, {"participantScopeId", ""}} << 11;
        QTest::newRow("joint on, blank reason")
            << QVariantMap{{"requiresParticipants", true}, {"participantReason", " "}} << 11;
        QTest::newRow("joint off ignores its fields")
            << QVariantMap{{"participantScopeId", ""}, {"participantReason", ""}} << 0;
    }
    void canSubmit() {
        QFETCH(QVariantMap, changes);
        QFETCH(int, failedRule);
        form->setAppState(nullptr); // the rule needs no server
        fillValid();
        for (auto it = changes.cbegin(); it != changes.cend(); ++it)
            QVERIFY(form->setProperty(qPrintable(it.key()), it.value()));
        QCOMPARE(form->firstFailedRule(), failedRule);
        QCOMPARE(form->canSubmit(), failedRule == 0);
    }

    // ---- lookups ------------------------------------------------------------

    void beneficiaryLookupAtTheTenthDigitOnce() {
        const QString id = QStringLiteral("١٠٩٨٧٦٥٤٣٢");
        for (int n = 1; n <= id.size(); ++n)
            form->setNationalId(id.left(n));
        QCOMPARE(form->nationalId(), QStringLiteral("1098765432"));
        QTRY_COMPARE(server->requestsFor("beneficiary_lookup").size(), 1);
        QCOMPARE(queryItem(server->requestsFor("beneficiary_lookup").first(), "nationalId"),
                 form->nationalId());
        form->setNationalId(QStringLiteral("109876543"));
        form->setNationalId(QStringLiteral("1098765432"));
        form->setNationalId(QStringLiteral("10987654327")); // an eleventh digit is cut
        form->setNationalId(QStringLiteral("1098765431"));
        QTRY_COMPARE(server->requestsFor("beneficiary_lookup").size(), 2);
        QTest::qWait(100);
        QCOMPARE(server->requestsFor("beneficiary_lookup").size(), 2);
    }

    void accountLookupAfterThePause() {
        form->setBeneficiaryUser(QStringLiteral(" ab"));
        QCOMPARE(form->beneficiaryUser(), QStringLiteral("ab"));
        QElapsedTimer clock;
        clock.start();
        form->setBeneficiaryUser(QStringLiteral("abc"));
        QTest::qWait(200);
        form->setBeneficiaryUser(QStringLiteral("abcd "));
        QTRY_COMPARE(server->requestsFor("account_lookup").size(), 1);
        QVERIFY2(clock.elapsed() >= 640, "the lookup waits for the pause");
        QCOMPARE(queryItem(server->requestsFor("account_lookup").first(), "account"), QStringLiteral("abcd"));
        QTest::qWait(CreateTicketForm::kAccountLookupPauseMs + 200);
        QCOMPARE(server->requestsFor("account_lookup").size(), 1);
        QCOMPARE(server->requests().size(), 1); // "ab" asked nothing
    }

    void beneficiaryOutcome_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("lookupMessage");
        QTest::addColumn<QString>("beneficiary"); // the name filled in
        const QByteArray person = R"("beneficiary":{"fullName":"نورة","contactMobile":"+966 55 123 4567 8"})";
        QTest::newRow("found, no message") << 200 << "{\"ok\":true,\"found\":true," + person + "}"
                                           << "تم جلب بيانات المستفيد السابقة."
                                           << "نورة";
        QTest::newRow("found with a message")
            << 200 << "{\"ok\":true,\"found\":true,\"message\":\"وجدناه\"," + person + "}"
            << "وجدناه"
            << "نورة";
        QTest::newRow("found but no record")
            << 200 << QByteArray(R"({"ok":true,"found":true})") << "لا توجد بيانات سابقة لهذه الهوية."
            << "";
        QTest::newRow("not ok") << 200 << "{\"ok\":false,\"found\":true," + person + "}"
                                << "لا توجد بيانات سابقة لهذه الهوية."
                                << "";
        QTest::newRow("refused") << 500 << QByteArray(R"({"message":"الخدمة متوقفة"})") << "الخدمة متوقفة"
                                 << "";
    }
    void beneficiaryOutcome() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, lookupMessage);
        QFETCH(QString, beneficiary);
        server->setReply("beneficiary_lookup", status, body);
        form->setNationalId(QStringLiteral("1098765432"));
        QCOMPARE(form->lookupMessage(), QStringLiteral("جاري البحث عن بيانات المستفيد السابقة..."));
        QTRY_COMPARE(form->lookupMessage(), lookupMessage);
        QCOMPARE(form->beneficiary(), beneficiary);
        QCOMPARE(form->contactMobile(), beneficiary.isEmpty() ? QString() : QStringLiteral("9665512345"));
    }

    void unreachableServerShowsTheConnectionError() {
        const quint16 port = server->port();
        server.reset();
        state->setServerURL(QStringLiteral("http://127.0.0.1:%1/kalvorin/").arg(port));
        form->setNationalId(QStringLiteral("1098765432"));
        QTRY_COMPARE(form->lookupMessage(),
                     QStringLiteral("رفض الخادم الاتصال. تأكد من عنوان الخادم ومن أنه يعمل."));
    }

    void foundBeneficiaryLeadsToTheAccountLookup() {
        server->setReply("beneficiary_lookup", 200, fixture("lookup.json"));
        server->setReply("account_lookup", 200, fixture("lookup.json"));
        state->setReferences(references());
        form->setNationalId(QStringLiteral("1098765432"));
        QTRY_COMPARE(form->beneficiaryUser(), QStringLiteral("n.alotaibi"));
        QCOMPARE(form->fixedPhone(), QStringLiteral("0114567890"));
        QCOMPARE(form->reporterSection(), kRecruiting); // the fixture's chain fits the options
        QTRY_COMPARE(server->requestsFor("account_lookup").size(), 1);
        QTRY_COMPARE(form->contactMobile(), QStringLiteral("0509876543")); // the account's data wins
        QCOMPARE(form->reporterSection(), kPayments);
        QCOMPARE(form->nationalId(), QStringLiteral("1098765432"));
    }

    // ---- attachments --------------------------------------------------------

    void attachmentLimits_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<qint64>>("sizes"); // -1: no such file
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("message");
        const QString limit = QStringLiteral("يسمح النظام بحد أقصى 5 مرفقات للبلاغ الواحد.");
        const QString tooLarge = QStringLiteral("تم تجاهل {clip.mov}: الحجم يتجاوز 10MB.");
        QTest::newRow("7 picked on an empty list")
            << 0 << QStringList{"1.pdf", "2.pdf", "3.pdf", "4.pdf", "5.pdf", "6.pdf", "7.pdf"}
            << QList<qint64>{10, 10, 10, 10, 10, 10, 10}
            << QStringList{"1.pdf", "2.pdf", "3.pdf", "4.pdf", "5.pdf"} << limit;
        QTest::newRow("a sparse 12 MB video")
            << 0 << QStringList{"clip.mov"} << QList<qint64>{12 << 20} << QStringList{} << tooLarge;
        QTest::newRow("a sparse 4 GB video, never read")
            << 0 << QStringList{"clip.mov"} << QList<qint64>{4LL << 30} << QStringList{} << tooLarge;
        QTest::newRow("the video beside a small PDF")
            << 0 << QStringList{"clip.mov", "a.pdf"} << QList<qint64>{12 << 20, 900} << QStringList{"a.pdf"}
            << tooLarge;
        QTest::newRow("exactly 10 MB") << 0 << QStringList{"big.bin"} << QList<qint64>{kMaxAttachmentBytes}
                                       << QStringList{"big.bin"} << "earlier";
        QTest::newRow("a skipped file still takes a place")
            << 2 << QStringList{"a.pdf", "clip.mov", "b.pdf", "c.pdf"} << QList<qint64>{5, 12 << 20, 5, 5}
            << QStringList{"a.pdf", "b.pdf"} << tooLarge + u'\n' + limit;
        QTest::newRow("unreadable") << 0 << QStringList{"gone.pdf"} << QList<qint64>{-1} << QStringList{}
                                    << "تعذر قراءة {gone.pdf}.";
        QTest::newRow("nothing picked")
            << 0 << QStringList{} << QList<qint64>{} << QStringList{} << "earlier";
    }
    void attachmentLimits() {
        QFETCH(int, present);
        QFETCH(QStringList, names);
        QFETCH(QList<qint64>, sizes);
        QFETCH(QStringList, added);
        QFETCH(QString, message);
        form->handleCreateAttachmentsFailure(QStringLiteral("earlier"));
        for (int i = 0; i < present; ++i)
            form->handleCreateAttachments({file(QStringLiteral("present.txt"), 3)});
        QList<QUrl> picked;
        for (qsizetype i = 0; i < names.size(); ++i)
            picked << (sizes[i] < 0 ? QUrl::fromLocalFile(dir.filePath(names[i])) : file(names[i], sizes[i]));
        form->handleCreateAttachments(picked);
        QStringList names_;
        for (const PendingAttachment& a : form->selectedAttachments()->items().mid(present))
            names_ << a.name;
        QCOMPARE(names_, added);
        QCOMPARE(form->message(), withIsolates(message));
        QCOMPARE(form->canAddAttachment(), form->selectedAttachments()->count() < 5);
    }

    void mediaTypes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mime");
        QTest::newRow("pdf") << "report.pdf"
                             << "application/pdf";
        QTest::newRow("png") << "shot.png"
                             << "image/png";
        QTest::newRow("jpg") << "photo.jpg"
                             << "image/jpeg";
        QTest::newRow("jpeg") << "photo.jpeg"
                              << "image/jpeg";
        QTest::newRow("docx") << "report.docx"
                              << "application/vnd.openxmlformats-officedocument.wordprocessingml.document";
        QTest::newRow("no extension") << "README"
                                      << "application/octet-stream";
        QTest::newRow("unknown extension") << "data.zzqx"
                                           << "application/octet-stream";
    }
    void mediaTypes() {
        QFETCH(QString, name);
        QFETCH(QString, mime);
        QCOMPARE(mimeTypeForName(name), mime);
    }

    void sizeLabels_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("label");
        QTest::newRow("1,536 bytes") << qint64(1536) << "2 KB";
        QTest::newRow("just under 1 MB") << qint64(1048575) << "1024 KB";
        QTest::newRow("1 MB") << qint64(1048576) << "1.0 MB";
        QTest::newRow("10 MB") << kMaxAttachmentBytes << "10.0 MB";
    }
    void sizeLabels() {
        QFETCH(qint64, bytes);
        QFETCH(QString, label);
        QCOMPARE(sizeLabel(bytes), label);
    }

    void sameFileTwiceIsTwoEntries() {
        const QUrl same = file(QStringLiteral("same.png"), 40);
        form->handleCreateAttachments({same, same});
        const QList<PendingAttachment> items = form->selectedAttachments()->items();
        QCOMPARE(items.size(), 2);
        QVERIFY(items[0].id != items[1].id);
        form->removeAttachment(items[0].id.toString());
        QCOMPARE(form->selectedAttachments()->items(), QList<PendingAttachment>{items[1]});
    }

    // ---- submission -----------------------------------------------------------

    void requestBody_data() {
        QTest::addColumn<bool>("joint");
        QTest::addColumn<bool>("optionals");
        QTest::newRow("joint on, every optional field, two files") << true << true;
        QTest::newRow("joint off after typing its fields, nothing optional") << false << false;
    }
    void requestBody() {
        QFETCH(bool, joint);
        QFETCH(bool, optionals);
        state->setReferences(references());
        fillValid();
        form->setTitle(QStringLiteral("  تعطل الشبكة  "));
        form->setRequiresParticipants(joint);
        if (optionals) {
            form->setFixedPhone(QStringLiteral("0114610000"));
            form->setEmail(QStringLiteral("s@x.example"));
            form->setIpAddress(QStringLiteral("10.0.0.7"));
            form->handleCreateAttachments(
                {file(QStringLiteral("a.pdf"), 1000), file(QStringLiteral("b"), 2)});
        } else {
            form->setContactMobile(QString());
        }
        server->setReply("create_ticket", 200, R"({"ok":true})");
        QCoro::waitFor(form->create());
        QCOMPARE(server->requestsFor("create_ticket").size(), 1);
        const TestServer::Request request = server->requestsFor("create_ticket").first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.rawQuery, QByteArray("action=create_ticket"));
        QJsonParseError error;
        const QJsonObject body = QJsonDocument::fromJson(request.body, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);

        QJsonArray attachments;
        if (optionals)
            for (const QString& name : {QStringLiteral("a.pdf"), QStringLiteral("b")}) {
                QFile f(dir.filePath(name));
                QVERIFY(f.open(QIODevice::ReadOnly));
                attachments.append(QJsonObject{
                    {"name", name},
                    {"mime", name == QLatin1String("b") ? "application/octet-stream" : "application/pdf"},
                    {"contentBase64", QString::fromLatin1(f.readAll().toBase64())}});
            }
        const QString mobile = optionals ? QStringLiteral("0551234567") : QString();
        const QJsonObject expected{
            {"nationalId", "1098765432"},
            {"beneficiaryUser", "s.test"},
            {"title", "  تعطل الشبكة  "},
            {"description", "لا يوجد اتصال في المكتب"},
            {"serviceCatalogId", 11},
            {"priority", "عالية"}, // the service's suggestion
            {"beneficiaryName", "سالم التجريبي"},
            {"contactMobile", mobile},
            {"mobile", mobile},
            {"fixedPhone", optionals ? "0114610000" : ""},
            {"email", optionals ? "s@x.example" : ""},
            {"ipAddress", optionals ? "10.0.0.7" : ""},
            {"reporterDepartment", kHR},
            {"reporterRegion", kStaff},
            {"reporterDivision", kHiring},
            {"reporterSection", kRecruiting},
            {"participantScopeIds", joint ? QJsonArray{"SC-202"} : QJsonArray()},
            {"participantReason", joint ? "إفادة فنية" : ""},
            {"attachments", attachments},
        };
        QCOMPARE(body.size(), 19);
        QCOMPARE(body, expected);
    }

    // Each server text is cut on its own before the line is put together.
    void resultTextCuts_data() {
        QTest::addColumn<QJsonValue>("message"); // undefined: absent
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("text");
        const QString longMessage(600, u'م'), shownMessage = QString(500, u'م') + u'…';
        const QString longError(501, u'خ'), shownError = QString(500, u'خ') + u'…';
        const QString created = QStringLiteral("تم إنشاء البلاغ.");
        QTest::newRow("a long message keeps the errors")
            << QJsonValue(longMessage) << QStringList{"b: too big"} << shownMessage + "\nb: too big";
        QTest::newRow("each long error cut") << QJsonValue("تم.") << QStringList{longError, "c", longError}
                                             << "تم.\n" + shownError + "\nc\n" + shownError;
        QTest::newRow("our text is not cut with an error")
            << QJsonValue(QJsonValue::Undefined) << QStringList{longError} << created + u'\n' + shownError;
        QTest::newRow("a long message alone") << QJsonValue(longMessage) << QStringList{} << shownMessage;
        QTest::newRow("500 characters stay whole")
            << QJsonValue(QString(500, u'م')) << QStringList{QString(500, u'خ')}
            << QString(500, u'م') + u'\n' + QString(500, u'خ');
    }
    void resultTextCuts() {
        QFETCH(QJsonValue, message);
        QFETCH(QStringList, errors);
        QFETCH(QString, text);
        QJsonObject answer{{"ok", true}, {"attachmentErrors", QJsonArray::fromStringList(errors)}};
        if (!message.isUndefined())
            answer.insert("message", message);
        const Result<CreateTicketResponse> decoded =
            json::decode<CreateTicketResponse>(QJsonDocument(answer).toJson());
        QVERIFY(decoded);
        QCOMPARE(CreateTicketForm::resultText(*decoded), text);
    }

    void outcome_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message"); // empty: any text
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("created, named in Arabic")
            << 200
            << QByteArray(
                   R"({"ok":true,"maintenanceNo":"MNT-9","message":"تم إنشاء البلاغ رقم MNT-9 بنجاح."})")
            << "تم إنشاء البلاغ رقم MNT-9 بنجاح." << true << true;
        QTest::newRow("created, English words")
            << 200 << QByteArray(R"({"ok":true,"message":"Ticket created"})") << "Ticket created" << false
            << true;
        QTest::newRow("created, one attachment refused")
            << 200 << QByteArray(R"({"ok":true,"attachmentErrors":["","b: too big"]})")
            << "تم إنشاء البلاغ.\nb: too big" << true << true;
        QTest::newRow("created, no message")
            << 200 << QByteArray(R"({"ok":true})") << "تم إنشاء البلاغ." << true << true;
        QTest::newRow("not ok, no message")
            << 200 << QByteArray(R"({"ok":false})") << "تعذر إنشاء البلاغ." << false << true;
        QTest::newRow("403 with a message")
            << 403 << QByteArray(R"({"message":"ليست لديك صلاحية"})") << "ليست لديك صلاحية" << false << false;
        QTest::newRow("422 whose words hold te-mim")
            << 422 << QByteArray(R"({"message":"تم رفض الطلب: العنوان قصير"})")
            << "تم رفض الطلب: العنوان قصير" << false << false;
        QTest::newRow("500 without a message")
            << 500 << QByteArray() << "تعذر تنفيذ الطلب من الخادم." << false << false;
        QTest::newRow("undecodable") << 200 << QByteArray(R"({"ok":"yes"})") << "" << false << false;
        QTest::newRow("time-out") << -1 << QByteArray() << "" << false << false;
    }
    void outcome() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(bool, cleared);
        QFETCH(bool, refreshed);
        ReferenceDataResponse r = references();
        server->setReply("reference_data", 200, fixture("reference.json"));
        state->setReferences(r);
        fillValid();
        form->setReporterSection(QString()); // the prefill after a success fills it again
        form->setRequiresParticipants(true);
        form->handleCreateAttachments({file(QStringLiteral("a.pdf"), 10)});
        QTRY_VERIFY(!form->lookupMessage().isEmpty() &&
                    !form->lookupMessage().startsWith(QStringLiteral("جاري")));
        if (status < 0) {
            state->api()->setTimeout(300);
            TestServer::Reply slow;
            slow.delayMs = 3000;
            server->setReply("create_ticket", slow);
        } else {
            server->setReply("create_ticket", status, body);
        }
        const int ticketLoads = int(server->requestsFor("tickets").size());
        QCoro::waitFor(form->create());
        QCOMPARE(form->running(), false);
        if (message.isEmpty())
            QVERIFY(!form->message().isEmpty());
        else
            QCOMPARE(form->message(), message);
        QCOMPARE(server->requestsFor("tickets").size(), ticketLoads + (refreshed ? 1 : 0));
        // Kept: every field, the attachment and the lookups' state; cleared: all but the chain,
        // the priority and the lookups' state.
        QCOMPARE(form->nationalId(), cleared ? QString() : QStringLiteral("1098765432"));
        QCOMPARE(form->title(), cleared ? QString() : QStringLiteral("تعطل الشبكة"));
        QCOMPARE(form->contactMobile(), cleared ? QString() : QStringLiteral("0551234567"));
        QCOMPARE(form->participantReason(), cleared ? QString() : QStringLiteral("إفادة فنية"));
        QCOMPARE(form->selectedServiceId(), cleared ? 0 : 11);
        QCOMPARE(form->requiresParticipants(), !cleared);
        QCOMPARE(form->selectedAttachments()->count(), cleared ? 0 : 1);
        QCOMPARE(form->reporterSection(), cleared ? kRecruiting : QString());
        QCOMPARE(form->reporterDivision(), kHiring);
        QCOMPARE(form->priority(), QStringLiteral("عالية"));
        QCOMPARE(form->lastNationalLookup(), QStringLiteral("1098765432"));
        QVERIFY(!form->lookupMessage().isEmpty());
    }

    void oneSubmissionAtATime() {
        fillValid();
        QVERIFY(form->canSubmit());
        TestServer::Reply held;
        held.hold = true;
        server->setReply("create_ticket", held);
        form->startCreate();
        QVERIFY(form->running());
        QVERIFY(!form->canSubmit());
        QTRY_COMPARE(server->heldCount(), 1);
        form->startCreate();
        form->setTitle(QStringLiteral("تعديل أثناء الإرسال"));
        server->release();
        QTRY_VERIFY(!form->running());
        QCOMPARE(server->requestsFor("create_ticket").size(), 1);
    }

    void formGoneMidSubmission() {
        fillValid();
        TestServer::Reply held;
        held.hold = true;
        server->setReply("create_ticket", held);
        form->startCreate();
        QTRY_COMPARE(server->heldCount(), 1);
        form.reset();
        server->release();
        // The lists still learn of the new ticket; nothing touches the form that went.
        QTRY_COMPARE(server->requestsFor("tickets").size(), 1);
    }
};

KALVORIN_TEST_MAIN(CreateFormTest)

#include "tst_createform.moc"
