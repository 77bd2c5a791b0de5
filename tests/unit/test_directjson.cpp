// The one-pass reader must agree with the document-based reader: where it
// accepts an answer it gives the very same record, and whatever it declines
// is still decided (and explained) by the strict reader.

#include "records/records.h"

#include <QFile>
#include <QtTest>

using namespace kalvorin;

namespace {

QByteArray fixture(const QString& name) {
    QFile file(QStringLiteral(KALVORIN_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class T> void checkAgreement(const QByteArray& body, bool directExpected) {
    const std::optional<T> direct = json::direct::read<T>(body);
    const Result<T> strict = json::Decoder<T>::strict(body);
    const Result<T> decoded = json::decode<T>(body);
    QCOMPARE(direct.has_value(), directExpected);
    if (direct) {
        QVERIFY2(strict.ok(), qPrintable(strict.description()));
        QVERIFY(*direct == strict.value());
    }
    QCOMPARE(decoded.ok(), strict.ok());
    if (strict.ok())
        QVERIFY(decoded.value() == strict.value());
    else
        QCOMPARE(decoded.description(), strict.description());
}

} // namespace

class TestDirectJson : public QObject {
    Q_OBJECT

private slots:
    // Every full answer the server may give is read in one pass.
    void fixturesTakeTheDirectRoad() {
        checkAgreement<StatusResponse>(fixture("status.json"), true);
        checkAgreement<LoginResponse>(fixture("login.json"), true);
        checkAgreement<APIMessage>(fixture("apimessage.json"), true);
        checkAgreement<MobileDeviceResponse>(fixture("device.json"), true);
        checkAgreement<DashboardResponse>(fixture("dashboard.json"), true);
        checkAgreement<TicketsResponse>(fixture("tickets.json"), true);
        checkAgreement<TicketResponse>(fixture("ticket.json"), true);
        checkAgreement<ReferenceDataResponse>(fixture("reference.json"), true);
        checkAgreement<NotificationsResponse>(fixture("notifications.json"), true);
        checkAgreement<LookupPersonResponse>(fixture("lookup.json"), true);
        checkAgreement<CreateTicketResponse>(fixture("createticket.json"), true);
    }

    void notifications_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("direct");
        // Read in one pass, same record as the strict reader.
        QTest::newRow("escapes") << QByteArray("{\"ok\":true,\"notifications\":[{\"id\":1,\"title\":"
                                               "\"a\\\"b\\\\c\\/d\\n\\t\\u0041\\u0627\"}]}")
                                 << true;
        QTest::newRow("arabic after escape")
            << QByteArray(
                   "{\"ok\":true,\"notifications\":[{\"id\":1,\"body\":\"\\nبلاغ \\\"عاجل\\\" جديد\"}]}")
            << true;
        QTest::newRow("white space everywhere")
            << QByteArray(" {\n \"ok\" : true ,\r\n\t\"notifications\" : [ ] } \n") << true;
        QTest::newRow("unknown members of every kind")
            << QByteArray(
                   R"({"x":{"y":[1,-2.5e+3,true,false,null,"ع",{}]},"ok":true,"notifications":[{"z":[],"id":3}]})")
            << true;
        QTest::newRow("integer bounds")
            << QByteArray(
                   R"({"ok":true,"unread":-9223372036854775808,"notifications":[{"id":9223372036854775807}]})")
            << true;
        QTest::newRow("negative zero") << QByteArray(R"({"ok":true,"unread":-0,"notifications":[]})") << true;
        QTest::newRow("nulls for optional")
            << QByteArray(R"({"ok":true,"unread":null,"notifications":[{"id":1,"isRead":null}]})") << true;
        // Declined: the strict reader decides.
        QTest::newRow("whole with fraction")
            << QByteArray(R"({"ok":true,"notifications":[{"id":42.0}]})") << true;
        QTest::newRow("exponent") << QByteArray(R"({"ok":true,"notifications":[{"id":1e3}]})") << true;
        QTest::newRow("fraction and exponent")
            << QByteArray(R"({"ok":true,"notifications":[{"id":-4.20E+1}]})") << true;
        QTest::newRow("fraction") << QByteArray(R"({"ok":true,"notifications":[{"id":90.5}]})") << false;
        QTest::newRow("too large") << QByteArray(
                                          R"({"ok":true,"notifications":[{"id":9223372036854775808}]})")
                                   << false;
        QTest::newRow("duplicate key") << QByteArray(R"({"ok":true,"ok":false,"notifications":[]})") << false;
        QTest::newRow("surrogate pair")
            << QByteArray(R"({"ok":true,"notifications":[{"id":1,"title":"\ud83d\ude00"}]})") << false;
        QTest::newRow("lone surrogate")
            << QByteArray(R"({"ok":true,"notifications":[{"id":1,"title":"\ud800"}]})") << false;
        QTest::newRow("bad utf-8") << QByteArray(
                                          "{\"ok\":true,\"notifications\":[{\"id\":1,\"title\":\"\xd8\"}]}")
                                   << false;
        QTest::newRow("raw control character")
            << QByteArray("{\"ok\":true,\"notifications\":[{\"id\":1,\"title\":\"a\tb\"}]}") << false;
        QTest::newRow("trailing garbage") << QByteArray(R"({"ok":true,"notifications":[]} x)") << false;
        QTest::newRow("trailing comma") << QByteArray(R"({"ok":true,"notifications":[],})") << false;
        QTest::newRow("leading zero") << QByteArray(R"({"ok":true,"notifications":[{"id":01}]})") << false;
        QTest::newRow("missing required") << QByteArray(R"({"ok":true})") << false;
        QTest::newRow("null required") << QByteArray(R"({"ok":true,"notifications":[{"id":null}]})") << false;
        QTest::newRow("wrong type") << QByteArray(R"({"ok":"true","notifications":[]})") << false;
        QTest::newRow("bad unknown member")
            << QByteArray(R"({"ok":true,"x":[1,],"notifications":[]})") << false;
        QTest::newRow("array body") << QByteArray(R"([{"ok":true}])") << false;
        QTest::newRow("truncated") << QByteArray(R"({"ok":true,"notifications":[{"id":1)") << false;
        QTest::newRow("escaped key") << QByteArray(R"({"\u006fk":true,"notifications":[]})") << false;
    }
    void notifications() {
        QFETCH(QByteArray, body);
        QFETCH(bool, direct);
        checkAgreement<NotificationsResponse>(body, direct);
    }

    // Where the document has rounded a number into a whole one, the text decides.
    void numbersJudgedOnTheirText() {
        const QByteArray body = R"({"ok":true,"notifications":[{"id":3},{"id":1.0000000000000000001}]})";
        QVERIFY(json::Decoder<NotificationsResponse>::strict(body).ok());
        const Result<NotificationsResponse> decoded = json::decode<NotificationsResponse>(body);
        QVERIFY(!decoded.ok());
        QCOMPARE(decoded.description(),
                 QStringLiteral("تعذرت قراءة رد الخادم: الحقل notifications[1].id ليس من النوع المتوقع."));
    }

    void mapsAndNesting() {
        checkAgreement<ReferenceDataResponse>(
            R"({"ok":true,"handlersByScope":{"أ||ب":[{"username":"u"}],"":[]},"reporterOptions":{"adminsByDepartment":{"د":["x"]}}})",
            true);
        checkAgreement<ReferenceDataResponse>(R"({"ok":true,"handlersByScope":{"a":[],"a":[]}})", false);
        checkAgreement<DashboardResponse>(R"({"ok":true,"priorityDistribution":{"حرجة":3,"عالية":-1}})",
                                          true);
        checkAgreement<DashboardResponse>(R"({"ok":true,"priorityDistribution":{"حرجة":3.5}})", false);
    }
};

QTEST_GUILESS_MAIN(TestDirectJson)
#include "test_directjson.moc"
