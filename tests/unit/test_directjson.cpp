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
        // A number a double cannot hold is refused by both, even where ignored.
        QTest::newRow("ignored too large")
            << QByteArray(R"({"ok":true,"uptime":1e400,"notifications":[]})") << false;
        QTest::newRow("ignored too small")
            << QByteArray(R"({"ok":true,"x":[-1e-400],"notifications":[]})") << false;
        QTest::newRow("ignored long digits")
            << QByteArray("{\"ok\":true,\"x\":1" + QByteArray(400, '0') + ",\"notifications\":[]}") << false;
        QTest::newRow("ignored near the limit")
            << QByteArray(R"({"ok":true,"x":{"y":1.8e308},"notifications":[]})") << false;
        QTest::newRow("ignored below normal")
            << QByteArray(R"({"ok":true,"x":4.9e-324,"notifications":[]})") << false;
        QTest::newRow("ignored large but in range")
            << QByteArray(R"({"ok":true,"x":[-1.5e300,0.00012e-296,0e99999],"notifications":[]})") << true;
        QTest::newRow("escaped key") << QByteArray(R"({"\u006fk":true,"notifications":[]})") << false;
    }
    void notifications() {
        QFETCH(QByteArray, body);
        QFETCH(bool, direct);
        checkAgreement<NotificationsResponse>(body, direct);
    }

    // A member meant to hold a whole number is named, whether the document
    // rounded its number into range or refused it; an answer broken elsewhere
    // too is simply not JSON.
    void wrongIntegersNamed_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("description");
        const QString notJson = QStringLiteral("تعذرت قراءة رد الخادم: الرد ليس بصيغة JSON صالحة.");
        QTest::newRow("rounded by the document")
            << QByteArray(R"({"ok":true,"notifications":[{"id":3},{"id":1.0000000000000000001}]})")
            << QStringLiteral("تعذرت قراءة رد الخادم: الحقل notifications[1].id ليس من النوع المتوقع.");
        QTest::newRow("too large") << QByteArray(R"({"ok":true,"unread":1e400,"notifications":[]})")
                                   << QStringLiteral(
                                          "تعذرت قراءة رد الخادم: الحقل unread ليس من النوع المتوقع.");
        QTest::newRow("too small, in a list")
            << QByteArray(R"({"ok":true,"notifications":[{"id":-1e-400}],"x":[]})")
            << QStringLiteral("تعذرت قراءة رد الخادم: الحقل notifications[0].id ليس من النوع المتوقع.");
        QTest::newRow("broken after it")
            << QByteArray(R"({"ok":true,"unread":1e400,"notifications":[})") << notJson;
        QTest::newRow("only in an ignored member") << QByteArray(R"({"ok":true,"x":1e400})") << notJson;
    }
    void wrongIntegersNamed() {
        QFETCH(QByteArray, body);
        QFETCH(QString, description);
        QCOMPARE(json::decode<NotificationsResponse>(body).description(), description);
    }

    void mapsAndNesting() {
        checkAgreement<ReferenceDataResponse>(
            R"({"ok":true,"handlersByScope":{"أ||ب":[{"username":"u"}],"":[]},"reporterOptions":{"adminsByDepartment":{"د":["x"]}}})",
            true);
        checkAgreement<ReferenceDataResponse>(R"({"ok":true,"handlersByScope":{"a":[],"a":[]}})", false);
        checkAgreement<DashboardResponse>(R"({"ok":true,"priorityDistribution":{"حرجة":3,"عالية":-1}})",
                                          true);
        checkAgreement<DashboardResponse>(R"({"ok":true,"priorityDistribution":{"حرجة":3.5}})", false);
        QCOMPARE(json::decode<DashboardResponse>(R"({"ok":true,"priorityDistribution":{"حرجة":1e999}})")
                     .description(),
                 QStringLiteral("تعذرت قراءة رد الخادم: الحقل priorityDistribution[\"حرجة\"] ليس من النوع "
                                "المتوقع."));
    }
};

QTEST_GUILESS_MAIN(TestDirectJson)
#include "test_directjson.moc"
