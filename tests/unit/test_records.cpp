// Strict decoding of every server answer, driven by one full answer per record
// in tests/data: each member of each answer is removed, nulled and given the
// wrong type in turn, and the failure must name exactly that member.

#include "jsontree.h"
#include "records/records.h"
#include "records/variant.h"
#include "testenv.h"

#include <QtTest>
#include <functional>
#include <limits>

using namespace kalvorin;
using namespace kalvorin::test;

namespace {

const QString kMissing = QStringLiteral("تعذرت قراءة رد الخادم: الحقل %1 مفقود.");
const QString kWrongType = QStringLiteral("تعذرت قراءة رد الخادم: الحقل %1 ليس من النوع المتوقع.");
const QString kNotJson = QStringLiteral("تعذرت قراءة رد الخادم: الرد ليس بصيغة JSON صالحة.");
const QString kWrongRoot = QStringLiteral("تعذرت قراءة رد الخادم: الرد ليس من النوع المتوقع.");

struct Outcome {
    bool ok = false;
    QString description;
    QVariant variant; // the record as QML sees it
};

struct Kind {
    QString fixture;
    // Required members, by path pattern; every other member is optional.
    QSet<QString> required;
    std::function<Outcome(const QByteArray&)> decode;
    // Whether two bodies decode to records that compare equal.
    std::function<bool(const QByteArray&, const QByteArray&)> same;
};

template <class T> Kind kind(const QString& fixture, QSet<QString> required) {
    Kind k;
    k.fixture = fixture;
    k.required = std::move(required);
    k.decode = [](const QByteArray& body) {
        const Result<T> r = json::decode<T>(body);
        return r ? Outcome{true, {}, toVariant(r.value())} : Outcome{false, r.description(), {}};
    };
    k.same = [](const QByteArray& a, const QByteArray& b) {
        const Result<T> ra = json::decode<T>(a);
        const Result<T> rb = json::decode<T>(b);
        return ra && rb && ra.value() == rb.value();
    };
    return k;
}

// The required members as the server's answers define them, written out here
// independently of the records' declarations.
const QMap<QString, Kind>& kinds() {
    static const QMap<QString, Kind> all = {
        {"APIMessage", kind<APIMessage>("apimessage.json", {})},
        {"StatusResponse", kind<StatusResponse>("status.json", {"ok"})},
        {"LoginResponse", kind<LoginResponse>("login.json", {"ok"})},
        {"MobileDeviceResponse", kind<MobileDeviceResponse>("device.json", {"ok"})},
        {"DashboardResponse", kind<DashboardResponse>("dashboard.json", {"ok", "latest[*].maintenanceNo"})},
        {"TicketsResponse",
         kind<TicketsResponse>("tickets.json", {"ok", "tickets", "tickets[*].maintenanceNo"})},
        {"TicketResponse",
         kind<TicketResponse>("ticket.json", {"ok", "ticket.maintenanceNo", "ticket.workflow[*].label",
                                              "ticket.actions[*].key", "ticket.actions[*].actor",
                                              "ticket.actions[*].createdAt", "ticket.participantScopes[*].id",
                                              "ticket.attachments[*].id"})},
        {"ReferenceDataResponse",
         kind<ReferenceDataResponse>("reference.json",
                                     {"ok", "services[*].id", "services[*].name", "assignmentScopes[*].id",
                                      "handlersByScope[*][*].username"})},
        {"NotificationsResponse",
         kind<NotificationsResponse>("notifications.json", {"ok", "notifications", "notifications[*].id"})},
        {"LookupPersonResponse", kind<LookupPersonResponse>("lookup.json", {"ok"})},
        {"CreateTicketResponse", kind<CreateTicketResponse>("createticket.json", {"ok"})},
    };
    return all;
}

QJsonObject fixtureOf(const QString& kindName) {
    return loadFixture(kinds().value(kindName).fixture);
}

// Two values of a different JSON type than the one given, per type.
QList<QJsonValue> wrongTypesFor(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::String:
        return {42, true};
    case QJsonValue::Double:
        return {QStringLiteral("42"), false};
    case QJsonValue::Bool:
        return {QStringLiteral("true"), 1};
    case QJsonValue::Array:
        return {QJsonObject(), QStringLiteral("[]")};
    case QJsonValue::Object:
        return {QJsonArray(), QStringLiteral("{}")};
    default:
        return {};
    }
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void fullAnswer_data() {
        QTest::addColumn<QString>("kindName");
        for (const QString& name : kinds().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    // Every member of the full answer is read under its exact key, with its
    // JSON type kept (integers stay 64-bit integers), and nothing is added.
    void fullAnswer() {
        QFETCH(QString, kindName);
        const QJsonObject fixture = fixtureOf(kindName);
        QVERIFY2(!fixture.isEmpty(), "fixture missing");
        const Outcome out = kinds().value(kindName).decode(bodyOf(fixture));
        QVERIFY2(out.ok, qPrintable(out.description));
        const QString difference = differenceFrom(fixture, out.variant);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void sampleFields_data() {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVariant>("expected");
        auto row = [](const char* k, const char* path, const QVariant& value) {
            QTest::addRow("%s %s", k, path) << QString::fromLatin1(k) << QString::fromUtf8(path) << value;
        };
        row("StatusResponse", "database.source", QStringLiteral("الخادم الرئيسي - مركز البيانات بالرياض"));
        row("LoginResponse", "user.scope",
            QStringLiteral("الإدارة العامة لتقنية المعلومات / قسم الدعم الفني"));
        row("APIMessage", "ok", false);
        row("DashboardResponse", "priorityDistribution[\"حرجة جداً\"]", qint64(1));
        row("DashboardResponse", "summary.closedToday", qint64(9));
        row("DashboardResponse", "latest[1].sla.remaining", qint64(2880));
        row("TicketsResponse", "tickets[1].maintenanceNo", QStringLiteral("MNT-2024-00912"));
        row("TicketsResponse", "tickets[1].sla.remaining", qint64(-45));
        row("TicketsResponse", "tickets[1].sla.breached", true);
        row("TicketsResponse", "tickets[2].assignedHandlerName", QStringLiteral("فهد الدوسري"));
        row("TicketResponse", "ticket.actions[1].actor", QStringLiteral("محمد القحطاني"));
        row("TicketResponse", "ticket.workflow[2].done", false);
        row("TicketResponse", "ticket.availableActions.jointProcessing", true);
        row("TicketResponse", "ticket.attachments[1].purpose", QStringLiteral("service_acceptance"));
        row("TicketResponse", "ticket.attachments[0].size", qint64(482133));
        row("TicketResponse", "ticket.participantScopes[0].path",
            QStringLiteral("الإدارة العامة لتقنية المعلومات / إدارة التطبيقات › قسم الأنظمة الإدارية"));
        row("ReferenceDataResponse", "handlersByScope[\"SC-101\"][1].username", QStringLiteral("s.alanazi"));
        row("ReferenceDataResponse", "services[1].id", qint64(27));
        row("ReferenceDataResponse",
            "reporterOptions.sectionsByAdminDivision[\"إدارة الميزانية||شعبة المصروفات\"][0]",
            QStringLiteral("وحدة الصرف"));
        row("ReferenceDataResponse", "createContext.lockedByScope", true);
        row("NotificationsResponse", "notifications[2].id", qint64(9012));
        row("NotificationsResponse", "unread", qint64(2));
        row("LookupPersonResponse", "account.reporterSection", QStringLiteral("وحدة الصرف"));
        row("CreateTicketResponse", "attachmentErrors[0]", QString(""));
    }

    void sampleFields() {
        QFETCH(QString, kindName);
        QFETCH(QString, path);
        QFETCH(QVariant, expected);
        const Outcome out = kinds().value(kindName).decode(bodyOf(fixtureOf(kindName)));
        QVERIFY2(out.ok, qPrintable(out.description));
        const QVariant actual = variantAt(out.variant, parsePath(path));
        QCOMPARE(actual.typeId(), expected.typeId());
        QCOMPARE(actual, expected);
    }

    // The records themselves, not only their variant form, hold the values.
    void typedRecords() {
        const Result<TicketResponse> ticket =
            json::decode<TicketResponse>(bodyOf(fixtureOf("TicketResponse")));
        QVERIFY2(ticket, qPrintable(ticket.description()));
        QVERIFY(ticket->ticket);
        const TicketDetail& detail = *ticket->ticket;
        QCOMPARE(detail.maintenanceNo, QStringLiteral("MNT-2024-00917"));
        QCOMPARE(detail.actions->at(2).key, QStringLiteral("ticket.comment"));
        QCOMPARE(detail.sla->remaining, std::optional<qint64>(95));
        QCOMPARE(detail.availableActions->signatureChain, std::optional<bool>(false));
        QCOMPARE(detail.participants->size(), 2);

        const Result<ReferenceDataResponse> refs =
            json::decode<ReferenceDataResponse>(bodyOf(fixtureOf("ReferenceDataResponse")));
        QVERIFY2(refs, qPrintable(refs.description()));
        QCOMPARE(refs->handlersByScope->value("SC-202").at(0).roleLabel, std::optional<QString>("فني دعم"));
        const QString key = ReporterOptions::adminDivisionKey("إدارة شؤون الموظفين", "شعبة التوظيف");
        QCOMPARE(refs->reporterOptions->sectionsByAdminDivision->value(key),
                 QList<QString>({"وحدة الاستقطاب", "وحدة المقابلات"}));
        QCOMPARE(refs->services->at(0).id, qint64(11));

        // Reading an already parsed object gives the same record.
        const Result<ReferenceDataResponse> again =
            json::fromJson<ReferenceDataResponse>(fixtureOf("ReferenceDataResponse"));
        QVERIFY(again);
        QVERIFY(again.value() == refs.value());
    }

    void removedMember_data() { memberRows(false); }

    // A removed required member fails the answer and is named; a removed
    // optional one decodes as "no value" and is left out of the variant.
    void removedMember() {
        QFETCH(QString, kindName);
        QFETCH(QString, path);
        checkAbsent(kindName, parsePath(path), std::nullopt);
    }

    void nullMember_data() { memberRows(true); }

    // null reads exactly like absent; a null list element is a missing element.
    void nullMember() {
        QFETCH(QString, kindName);
        QFETCH(QString, path);
        checkAbsent(kindName, parsePath(path), QJsonValue(QJsonValue::Null));
    }

    void wrongType_data() {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("replacement");
        for (const QString& name : kinds().keys()) {
            for (const Node& node : nodes(fixtureOf(name))) {
                const QString path = pathText(node.path);
                for (const QJsonValue& bad : wrongTypesFor(node.value)) {
                    const QByteArray shown = QJsonDocument(QJsonArray{bad}).toJson(QJsonDocument::Compact);
                    QTest::addRow("%s %s = %s", qPrintable(name), qPrintable(path), shown.constData())
                        << name << path << bad;
                }
            }
        }
    }

    // A value of the wrong JSON type fails the whole answer wherever it is:
    // required or optional member, list element or map member.
    void wrongType() {
        QFETCH(QString, kindName);
        QFETCH(QString, path);
        QFETCH(QJsonValue, replacement);
        const Kind& k = kinds()[kindName];
        const Outcome out = k.decode(bodyOf(changed(fixtureOf(kindName), parsePath(path), replacement)));
        QVERIFY(!out.ok);
        QCOMPARE(out.description, kWrongType.arg(path));
    }

    void unknownMembers_data() {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QString>("path");
        for (const QString& name : kinds().keys()) {
            QTest::addRow("%s <root>", qPrintable(name)) << name << QString();
            for (const Node& node : nodes(fixtureOf(name)))
                if (node.isRecord)
                    QTest::addRow("%s %s", qPrintable(name), qPrintable(pathText(node.path)))
                        << name << pathText(node.path);
        }
    }

    // Keys a record does not list are ignored, and keys are case-sensitive: a
    // capitalised twin of a real key, holding a value of the wrong type, is
    // just another unknown key.
    void unknownMembers() {
        QFETCH(QString, kindName);
        QFETCH(QString, path);
        const QJsonObject fixture = fixtureOf(kindName);
        const Path where = parsePath(path);
        QJsonObject target = valueAt(fixture, where).toObject();
        QVERIFY(!target.isEmpty());
        QString twin = target.begin().key();
        twin[0] = twin.at(0).toUpper();
        QVERIFY(!target.contains(twin));
        target.insert(twin, QJsonArray{QJsonObject{{"x", 1.5}}});
        target.insert("unknownMember", QJsonObject{{"nested", QJsonArray{1, QJsonValue(), "نص"}}});
        const QJsonValue augmented = where.isEmpty() ? QJsonValue(target) : changed(fixture, where, target);
        const Kind& k = kinds()[kindName];
        const Outcome out = k.decode(bodyOf(augmented));
        QVERIFY2(out.ok, qPrintable(out.description));
        QVERIFY(k.same(bodyOf(augmented), bodyOf(fixture)));
    }

    void answers_data() {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");  // empty: decodes
        QTest::addColumn<QString>("path");   // then checked in the variant form
        QTest::addColumn<QVariant>("value"); // invalid: left out (no value)

        auto ok = [](const char* name, const char* k, const char* body, const char* path,
                     const QVariant& value) {
            QTest::newRow(name) << QString::fromLatin1(k) << QByteArray(body) << QString()
                                << QString::fromUtf8(path) << value;
        };
        auto fails = [](const char* name, const char* k, const char* body, const QString& error) {
            QTest::newRow(name) << QString::fromLatin1(k) << QByteArray(body) << error << QString()
                                << QVariant();
        };
        const QVariantMap emptyMap;

        // {} is a complete APIMessage, and nothing else.
        ok("{} APIMessage", "APIMessage", "{}", "ok", {});
        for (const char* k : {"StatusResponse", "LoginResponse", "MobileDeviceResponse", "DashboardResponse",
                              "TicketsResponse", "TicketResponse", "ReferenceDataResponse",
                              "NotificationsResponse", "LookupPersonResponse", "CreateTicketResponse"})
            QTest::addRow("{} %s", k) << QString::fromLatin1(k) << QByteArray("{}") << kMissing.arg("ok")
                                      << QString() << QVariant();

        ok("status database null", "StatusResponse", R"({"ok":true,"database":null})", "database", {});
        ok("status database empty", "StatusResponse", R"({"ok":true,"database":{}})", "database", emptyMap);
        fails("status ok as text", "StatusResponse", R"({"ok":"true"})", kWrongType.arg("ok"));
        fails("status ok as number", "StatusResponse", R"({"ok":1})", kWrongType.arg("ok"));
        ok("dashboard only ok", "DashboardResponse", R"({"ok":true})", "summary", {});
        ok("dashboard latest empty", "DashboardResponse", R"({"ok":true,"latest":[]})", "latest",
           QVariantList());
        fails("dashboard fraction in map", "DashboardResponse",
              R"({"ok":true,"priorityDistribution":{"حرجة":2,"عالية":2.5}})",
              kWrongType.arg(QStringLiteral("priorityDistribution[\"عالية\"]")));
        ok("tickets empty list", "TicketsResponse", R"({"ok":false,"tickets":[]})", "tickets",
           QVariantList());
        fails("tickets row without number", "TicketsResponse",
              R"({"ok":true,"tickets":[{"maintenanceNo":"A"},{"title":"ب"},{"maintenanceNo":"C"}]})",
              kMissing.arg("tickets[1].maintenanceNo"));
        fails("tickets as object", "TicketsResponse", R"({"ok":true,"tickets":{"0":{"maintenanceNo":"A"}}})",
              kWrongType.arg("tickets"));
        fails("tickets attachmentCount text", "TicketsResponse",
              R"({"ok":true,"tickets":[{"maintenanceNo":"A","attachmentCount":"2"}]})",
              kWrongType.arg("tickets[0].attachmentCount"));
        ok("tickets attachmentCount null", "TicketsResponse",
           R"({"ok":true,"tickets":[{"maintenanceNo":"A","attachmentCount":null}]})",
           "tickets[0].attachmentCount", {});
        ok("ticket absent", "TicketResponse", R"({"ok":false,"message":"البلاغ غير موجود"})", "ticket", {});
        fails(
            "ticket action without actor", "TicketResponse",
            R"({"ok":true,"ticket":{"maintenanceNo":"A","actions":[{"key":"ticket.route","createdAt":"t"}]}})",
            kMissing.arg("ticket.actions[0].actor"));
        fails(
            "ticket action without createdAt", "TicketResponse",
            R"({"ok":true,"ticket":{"maintenanceNo":"A","actions":[{"key":"k","actor":"أ","createdAt":"t"},)"
            R"({"key":"k","actor":"ب"}]}})",
            kMissing.arg("ticket.actions[1].createdAt"));
        ok("ticket empty availableActions", "TicketResponse",
           R"({"ok":true,"ticket":{"maintenanceNo":"A","availableActions":{}}})", "ticket.availableActions",
           emptyMap);
        fails("ticket sla remaining 90.5", "TicketResponse",
              R"({"ok":true,"ticket":{"maintenanceNo":"A","sla":{"remaining":90.5}}})",
              kWrongType.arg("ticket.sla.remaining"));
        ok("reference only ok", "ReferenceDataResponse", R"({"ok":true})", "handlersByScope", {});
        fails("reference service id as text", "ReferenceDataResponse",
              R"({"ok":true,"services":[{"id":"11","name":"خدمة"}]})", kWrongType.arg("services[0].id"));
        fails("reference service without name", "ReferenceDataResponse",
              R"({"ok":true,"services":[{"id":11,"name":"خدمة"},{"id":12}]})",
              kMissing.arg("services[1].name"));
        fails(
            "reference handler without username", "ReferenceDataResponse",
            R"({"ok":true,"handlersByScope":{"SC-1":[{"username":"a"}],"SC-2":[{"username":"b"},{"name":"ج"}]}})",
            kMissing.arg("handlersByScope[\"SC-2\"][1].username"));
        fails("reference map key with dots and brackets", "ReferenceDataResponse",
              R"({"ok":true,"handlersByScope":{"a.b[0]":[{}]}})",
              kMissing.arg("handlersByScope[\"a.b[0]\"][0].username"));
        fails("reference null handler list", "ReferenceDataResponse",
              R"({"ok":true,"handlersByScope":{"S":null}})", kMissing.arg("handlersByScope[\"S\"]"));
        fails("reference null text in list", "ReferenceDataResponse",
              R"({"ok":true,"statuses":["جديد",null]})", kMissing.arg("statuses[1]"));
        fails("reference admin list element", "ReferenceDataResponse",
              R"({"ok":true,"reporterOptions":{"adminsByDepartment":{"إدارة":["أ",5]}}})",
              kWrongType.arg(QStringLiteral("reporterOptions.adminsByDepartment[\"إدارة\"][1]")));
        ok("reference empty map", "ReferenceDataResponse", R"({"ok":true,"handlersByScope":{}})",
           "handlersByScope", emptyMap);
        fails("notification id as text", "NotificationsResponse",
              R"({"ok":true,"notifications":[{"id":1},{"id":"2"}]})", kWrongType.arg("notifications[1].id"));
        fails("notifications missing", "NotificationsResponse", R"({"ok":true,"unread":3})",
              kMissing.arg("notifications"));
        ok("notifications empty", "NotificationsResponse", R"({"ok":true,"notifications":[]})", "unread", {});
        ok("lookup not found", "LookupPersonResponse", R"({"ok":true,"found":false})", "beneficiary", {});
        ok("create errors", "CreateTicketResponse", R"({"ok":true,"attachmentErrors":["","كبير"]})",
           "attachmentErrors", QVariantList({QString(""), QStringLiteral("كبير")}));
        fails("create errors element", "CreateTicketResponse", R"({"ok":true,"attachmentErrors":["",{}]})",
              kWrongType.arg("attachmentErrors[1]"));
        // The first failure in declared order is the one reported.
        fails("first failure wins", "TicketsResponse", R"({"tickets":5})", kMissing.arg("ok"));
    }

    void answers() {
        QFETCH(QString, kindName);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        QFETCH(QString, path);
        QFETCH(QVariant, value);
        const Outcome out = kinds().value(kindName).decode(body);
        if (!error.isEmpty()) {
            QVERIFY(!out.ok);
            QCOMPARE(out.description, error);
            return;
        }
        QVERIFY2(out.ok, qPrintable(out.description));
        const QVariant actual = variantAt(out.variant, parsePath(path));
        QCOMPARE(actual.isValid(), value.isValid());
        if (value.isValid())
            QCOMPARE(actual, value);
    }

    void integers_data() {
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<qint64>("value");
        QTest::newRow("42") << QByteArray("42") << true << qint64(42);
        QTest::newRow("42.0") << QByteArray("42.0") << true << qint64(42);
        QTest::newRow("4.2e1") << QByteArray("4.2e1") << true << qint64(42);
        QTest::newRow("1e3") << QByteArray("1e3") << true << qint64(1000);
        QTest::newRow("0") << QByteArray("0") << true << qint64(0);
        QTest::newRow("-7") << QByteArray("-7") << true << qint64(-7);
        QTest::newRow("90.5") << QByteArray("90.5") << false << qint64(0);
        QTest::newRow("-0.25") << QByteArray("-0.25") << false << qint64(0);
        QTest::newRow("1e-3") << QByteArray("1e-3") << false << qint64(0);
        QTest::newRow("int64 max") << QByteArray("9223372036854775807") << true
                                   << std::numeric_limits<qint64>::max();
        QTest::newRow("int64 max + 1") << QByteArray("9223372036854775808") << false << qint64(0);
        QTest::newRow("int64 min") << QByteArray("-9223372036854775808") << true
                                   << std::numeric_limits<qint64>::min();
        QTest::newRow("int64 min - 1") << QByteArray("-9223372036854775809") << false << qint64(0);
        QTest::newRow("int64 min - 0.5") << QByteArray("-9223372036854775808.5") << false << qint64(0);
        QTest::newRow("int64 min + 0.5") << QByteArray("-9223372036854775807.5") << false << qint64(0);
        QTest::newRow("int64 max as exponent")
            << QByteArray("9.223372036854775807e18") << true << std::numeric_limits<qint64>::max();
        QTest::newRow("zero with exponent") << QByteArray("-0.0e7") << true << qint64(0);
        QTest::newRow("-2^53 as exponent")
            << QByteArray("-9.007199254740992e15") << true << qint64(-9007199254740992);
        QTest::newRow("1e19") << QByteArray("1e19") << false << qint64(0);
        QTest::newRow("1e300") << QByteArray("1e300") << false << qint64(0);
    }

    // Integers must be whole numbers within signed 64 bits, in an optional
    // member, a required member and a map member alike.
    void integers() {
        QFETCH(QByteArray, number);
        QFETCH(bool, accepted);
        QFETCH(qint64, value);
        struct Place {
            const char* kind;
            QByteArray body;
            QString path;
        };
        const QList<Place> places = {
            {"TicketsResponse",
             R"({"ok":true,"tickets":[{"maintenanceNo":"A"},{"maintenanceNo":"B","sla":{"remaining":%1}}]})",
             "tickets[1].sla.remaining"},
            {"NotificationsResponse", R"({"ok":true,"notifications":[{"id":%1}]})", "notifications[0].id"},
            {"DashboardResponse", R"({"ok":true,"priorityDistribution":{"عالية":%1}})",
             QStringLiteral("priorityDistribution[\"عالية\"]")},
        };
        for (const Place& place : places) {
            QByteArray body = place.body;
            body.replace("%1", number);
            const Outcome out = kinds().value(place.kind).decode(body);
            if (!accepted) {
                QVERIFY2(!out.ok, place.kind);
                QCOMPARE(out.description, kWrongType.arg(place.path));
                continue;
            }
            QVERIFY2(out.ok, qPrintable(out.description));
            const QVariant actual = variantAt(out.variant, parsePath(place.path));
            QCOMPARE(actual.typeId(), QMetaType::LongLong);
            QCOMPARE(actual.toLongLong(), value);
        }
    }

    void wholeBody_data() {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << "APIMessage" << QByteArray() << kNotJson;
        QTest::newRow("plain text") << "APIMessage" << QByteArray("تم") << kNotJson;
        QTest::newRow("html page") << "APIMessage"
                                   << QByteArray(
                                          "<html><body><h1>500 Internal Server Error</h1></body></html>")
                                   << kNotJson;
        QTest::newRow("cut short") << "TicketsResponse" << QByteArray(R"({"ok":true,"tickets":[)")
                                   << kNotJson;
        QTest::newRow("single quotes") << "APIMessage" << QByteArray("{'ok':true}") << kNotJson;
        QTest::newRow("trailing garbage") << "APIMessage" << QByteArray(R"({"ok":true} <br>)") << kNotJson;
        QTest::newRow("two objects") << "APIMessage" << QByteArray("{}{}") << kNotJson;
        QTest::newRow("empty array") << "APIMessage" << QByteArray("[]") << kWrongRoot;
        QTest::newRow("array of answers") << "StatusResponse" << QByteArray(R"([{"ok":true}])") << kWrongRoot;
    }

    // The body as a whole: not JSON at all, or JSON that is not an object.
    void wholeBody() {
        QFETCH(QString, kindName);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        const Outcome out = kinds().value(kindName).decode(body);
        QVERIFY(!out.ok);
        QCOMPARE(out.description, error);
    }

    void optionalReference_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("hasValue");
        QTest::newRow("null") << QByteArray("null") << true << false;
        QTest::newRow("null with spaces") << QByteArray(" null \n") << true << false;
        QTest::newRow("null with tabs and CRLF") << QByteArray("\tnull\r\n") << true << false;
        QTest::newRow("object") << QByteArray(R"({"ok":true,"statuses":["جديد"]})") << true << true;
        QTest::newRow("empty object") << QByteArray("{}") << false << false;
        QTest::newRow("nul") << QByteArray("nul") << false << false;
        QTest::newRow("NULL") << QByteArray("NULL") << false << false;
        QTest::newRow("array of null") << QByteArray("[null]") << false << false;
        QTest::newRow("empty") << QByteArray("") << false << false;
    }

    // The reference-data answer may be the JSON literal null: no record, no failure.
    void optionalReference() {
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(bool, hasValue);
        const Result<std::optional<ReferenceDataResponse>> r =
            json::decode<std::optional<ReferenceDataResponse>>(body);
        QCOMPARE(r.ok(), ok);
        if (ok) {
            QCOMPARE(r->has_value(), hasValue);
        } else {
            QVERIFY(!r.description().isEmpty());
            QVERIFY(r.description().startsWith(QStringLiteral("تعذرت قراءة رد الخادم: ")));
        }
        // A plain (not optional) reference answer never accepts null.
        if (ok && !hasValue)
            QVERIFY(!json::decode<ReferenceDataResponse>(body));
    }

private:
    // One row per member (and, for nulls, per list element) of every fixture.
    static void memberRows(bool withElements) {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QString>("path");
        for (const QString& name : kinds().keys())
            for (const Node& node : nodes(fixtureOf(name)))
                if (withElements || !node.isElement)
                    QTest::addRow("%s %s", qPrintable(name), qPrintable(pathText(node.path)))
                        << name << pathText(node.path);
    }

    static void checkAbsent(const QString& kindName, const Path& path,
                            const std::optional<QJsonValue>& replacement) {
        const Kind& k = kinds()[kindName];
        // Elements of lists and maps are never optional: a null one is missing.
        const bool required =
            k.required.contains(pathPattern(path)) || (replacement && path.last().kind != Step::Key);
        const Outcome out = k.decode(bodyOf(changed(fixtureOf(kindName), path, replacement)));
        if (required) {
            QVERIFY2(!out.ok, "a required member was not missed");
            QCOMPARE(out.description, kMissing.arg(pathText(path)));
        } else {
            QVERIFY2(out.ok, qPrintable(out.description));
            QVERIFY2(!variantAt(out.variant, path).isValid(), "an absent value appeared");
        }
    }
};

KALVORIN_TEST_MAIN(TestRecords)
#include "test_records.moc"
