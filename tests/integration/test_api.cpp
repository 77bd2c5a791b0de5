// The request envelope against a real HTTP server in this process.

#include "kalvorinapi.h"
#include "records/records.h"
#include "testenv.h"
#include "testserver.h"

#include <QFile>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrlQuery>
#include <QtTest>
#include <qcorotask.h>
#include <sys/stat.h>

using namespace kalvorin;
using kalvorin::test::TestServer;

class TestApi : public QObject {
    Q_OBJECT

private:
    template <class T>
    Result<T> run(KalvorinAPI& api, const QString& action, const QString& method = QStringLiteral("GET"),
                  KalvorinAPI::Query query = {}, std::optional<QJsonObject> body = std::nullopt) {
        return QCoro::waitFor(api.send<T>(server->baseURL(), action, method, query, body));
    }

    std::unique_ptr<TestServer> server;

private slots:
    void init() {
        kalvorin::test::resetStoredState();
        server = std::make_unique<TestServer>();
        QVERIFY(server->start());
    }
    void cleanup() { server.reset(); }

    void endpoint_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << ""
                               << "http://localhost:8080/kalvorin/api/mobile/index.php";
        QTest::newRow("blanks") << " \n\t "
                                << "http://localhost:8080/kalvorin/api/mobile/index.php";
        QTest::newRow("no scheme, trimmed") << "  192.0.2.10:8080/kalvorin \n"
                                            << "https://192.0.2.10:8080/kalvorin/api/mobile/index.php";
        QTest::newRow("slash kept") << "http://192.0.2.10/kalvorin/"
                                    << "http://192.0.2.10/kalvorin/api/mobile/index.php";
        QTest::newRow("https slash added") << "https://h.example/x"
                                           << "https://h.example/x/api/mobile/index.php";
        QTest::newRow("upper-case scheme is no scheme") << "HTTP://192.0.2.10/k/"
                                                        << "https://HTTP://192.0.2.10/k/api/mobile/index.php";
    }
    void endpoint() {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        QCOMPARE(KalvorinAPI::endpointText(base), expected);
    }

    void unusableBaseSendsNothing() {
        KalvorinAPI api;
        auto result =
            QCoro::waitFor(api.send<APIMessage>(QStringLiteral("http://exa mple/"), "status", "GET"));
        QVERIFY(!result.ok());
        QVERIFY(!result.description().isEmpty());
        QCOMPARE(server->requests().size(), 0);
    }

    void getHasNoBodyNorContentType() {
        KalvorinAPI api;
        server->setReply("status", 200, R"({"ok":true,"authenticated":false})");
        auto result = run<StatusResponse>(api, "status");
        QVERIFY2(result.ok(), qPrintable(result.description()));
        QCOMPARE(result->ok, true);
        QCOMPARE(result->authenticated, std::optional<bool>(false));

        QCOMPARE(server->requests().size(), 1);
        const auto& r = server->requests().first();
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.path, QStringLiteral("/kalvorin/api/mobile/index.php"));
        QCOMPARE(r.rawQuery, QByteArray("action=status"));
        QCOMPARE(r.header("Accept"), QByteArray("application/json"));
        QCOMPARE(r.header("User-Agent"), QByteArray("KALVORIN-iOS-Native/2.0"));
        QCOMPARE(r.header("Accept-Language"), QByteArray("ar"));
        QVERIFY(!r.hasHeader("Content-Type"));
        QVERIFY(r.body.isEmpty());
    }

    void queryValuesArriveIntact_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("plus") << "A+B";
        QTest::newRow("reserved") << "a&b=c#d%e/f?g";
        QTest::newRow("spaces and arabic") << "بلاغ رقم ١٢ + ج";
        QTest::newRow("percent sequence") << "%2B%20";
    }
    void queryValuesArriveIntact() {
        QFETCH(QString, value);
        KalvorinAPI api;
        run<APIMessage>(api, "ticket", "GET", {{"maintenanceNo", value}});
        const auto& r = server->requests().first();
        QVERIFY(r.rawQuery.startsWith("action=ticket&maintenanceNo="));
        // A PHP server reads "+" as a space: it must travel as %2B.
        QVERIFY(!r.rawQuery.contains('+'));
        QCOMPARE(
            QUrlQuery(QString::fromLatin1(r.rawQuery)).queryItemValue("maintenanceNo", QUrl::FullyDecoded),
            value);
        QCOMPARE(QUrl::fromPercentEncoding(r.rawQuery.mid(r.rawQuery.indexOf("maintenanceNo=") + 14)), value);
    }

    void postSendsCompactJson() {
        KalvorinAPI api;
        QJsonObject body{{"username", "ali.h"},
                         {"password", " p w "},
                         {"biometricAvailable", true},
                         {"notificationId", 42}};
        run<APIMessage>(api, "login", "POST", {}, body);
        const auto& r = server->requests().first();
        QCOMPARE(r.method, QByteArray("POST"));
        QCOMPARE(r.rawQuery, QByteArray("action=login"));
        QCOMPARE(r.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
        QVERIFY(!r.body.contains('\n'));
        QCOMPARE(QJsonDocument::fromJson(r.body).object(), body);
        QVERIFY(r.body.contains("\"notificationId\":42"));
    }

    void statusMapping_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("description");
        const QString fallback = QStringLiteral("تعذر تنفيذ الطلب من الخادم.");
        QTest::newRow("200 ok false is a record")
            << 200 << QByteArray(R"({"ok":false,"message":"لا"})") << true << "";
        QTest::newRow("201 is success") << 201 << QByteArray(R"({"ok":true})") << true << "";
        QTest::newRow("403 message") << 403 << QByteArray(R"({"ok":false,"message":"ليس لديك صلاحية."})")
                                     << false << QStringLiteral("ليس لديك صلاحية.");
        // From the server itself, not a proxy of ours: its message like any other.
        QTest::newRow("407 message") << 407 << QByteArray(R"({"ok":false,"message":"سجّل الدخول أولاً."})")
                                     << false << QStringLiteral("سجّل الدخول أولاً.");
        QTest::newRow("401 empty message shown as is")
            << 401 << QByteArray(R"({"message":""})") << false << "";
        QTest::newRow("500 html") << 500 << QByteArray("<html><body>Fatal</body></html>") << false
                                  << fallback;
        QTest::newRow("400 only error")
            << 400 << QByteArray(R"({"ok":false,"error":"bad"})") << false << fallback;
        QTest::newRow("404 message of wrong type")
            << 404 << QByteArray(R"({"message":12})") << false << fallback;
    }
    void statusMapping() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, succeeds);
        QFETCH(QString, description);
        KalvorinAPI api;
        server->setReply("logout", status, body);
        auto result = run<APIMessage>(api, "logout");
        QCOMPARE(result.ok(), succeeds);
        if (!succeeds) {
            QCOMPARE(result.failure().domain, QStringLiteral("KALVORIN"));
            QCOMPARE(result.failure().code, qint64(status));
            QCOMPARE(result.description(), description);
        }
    }

    void undecodableSuccessIsAFailure() {
        KalvorinAPI api;
        server->setReply("tickets", 200, R"({"ok":true,"tickets":[{"maintenanceNo":"A"},{"title":"x"}]})");
        auto result = run<TicketsResponse>(api, "tickets");
        QVERIFY(!result.ok());
        QCOMPARE(result.description(),
                 QStringLiteral("تعذرت قراءة رد الخادم: الحقل tickets[1].maintenanceNo مفقود."));
    }

    void nullReferenceBodyIsNoRecord() {
        KalvorinAPI api;
        server->setReply("reference_data", 200, "null");
        auto result = run<std::optional<ReferenceDataResponse>>(api, "reference_data");
        QVERIFY2(result.ok(), qPrintable(result.description()));
        QVERIFY(!result.value().has_value());
    }

    void loginCookieGoesWithNextRequest() {
        KalvorinAPI api;
        TestServer::Reply login;
        login.headers = {{"Set-Cookie", "KSESSION=abc123; Path=/; HttpOnly"},
                         {"Set-Cookie", "KPREF=dark; Path=/; Max-Age=3600"}};
        server->setReply("login", login);
        run<APIMessage>(api, "login", "POST", {}, QJsonObject{{"username", "u"}});
        run<APIMessage>(api, "dashboard");
        const QByteArray cookie = server->requestsFor("dashboard").first().header("Cookie");
        QVERIFY(cookie.contains("KSESSION=abc123"));
        QVERIFY(cookie.contains("KPREF=dark"));
    }

    void expiringCookieSurvivesRelaunch() {
        {
            KalvorinAPI api;
            TestServer::Reply login;
            login.headers = {{"Set-Cookie", "KSESSION=only-this-run; Path=/"},
                             {"Set-Cookie", "KKEEP=kept; Path=/; Max-Age=43200; HttpOnly"},
                             {"Set-Cookie", "KOLD=gone; Path=/; Expires=Thu, 01 Jan 2015 00:00:00 GMT"}};
            server->setReply("login", login);
            run<APIMessage>(api, "login", "POST", {}, QJsonObject{});
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(api.cookieJar()->filePath()).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0600));
        }
        KalvorinAPI relaunched;
        run<APIMessage>(relaunched, "status");
        const QByteArray cookie = server->requestsFor("status").first().header("Cookie");
        QVERIFY(cookie.contains("KKEEP=kept"));
        QVERIFY(!cookie.contains("KSESSION"));
        QVERIFY(!cookie.contains("KOLD"));
    }

    void damagedCookieFileIsIgnored_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("\x00\xff\xfe garbage ;;; ===\n\n", 21);
        QTest::newRow("no domain") << QByteArray("A=b; expires=Fri, 01-Jan-2100 00:00:00 GMT; path=/\n");
        QTest::newRow("expired") << QByteArray(
            "A=b; expires=Thu, 01-Jan-2015 00:00:00 GMT; domain=127.0.0.1; path=/\n");
    }
    void damagedCookieFileIsIgnored() {
        QFETCH(QByteArray, content);
        const QString path = CookieJar::defaultFilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        KalvorinAPI api;
        auto result = run<APIMessage>(api, "status");
        QVERIFY(result.ok());
        QVERIFY(!server->requests().first().hasHeader("Cookie"));
    }

    void timeoutIsAFailureWithText() {
        KalvorinAPI api;
        api.setTimeout(300);
        TestServer::Reply held;
        held.hold = true;
        server->setReply("dashboard", held);
        auto result = run<DashboardResponse>(api, "dashboard");
        QVERIFY(!result.ok());
        QVERIFY(result.failure().domain != QStringLiteral("KALVORIN"));
        QVERIFY(!result.description().isEmpty());
        server->release();
    }

    // Each class of transport failure reads as our own Arabic sentence, with
    // or without the platform's Arabic texts loaded.
    void transportFailuresReadInArabic_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:1/k/") << 60000
                                 << QStringLiteral("رفض الخادم الاتصال. تأكد من عنوان الخادم ومن أنه يعمل.");
        QTest::newRow("unknown host") << QStringLiteral("http://no-such-host.invalid/k/") << 60000
                                      << QStringLiteral("تعذر العثور على الخادم. تحقق من عنوان الخادم.");
        QTest::newRow("time-out") << QString() << 300
                                  << QStringLiteral("انتهت مهلة الاتصال: لم يرد الخادم في الوقت المحدد.");
    }
    void transportFailuresReadInArabic() {
        QFETCH(QString, base);
        QFETCH(int, timeoutMs);
        QFETCH(QString, text);
        QTranslator translator;
        QVERIFY(translator.load(QLocale(QLocale::Arabic), "qtbase", "_",
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&translator);
        KalvorinAPI api;
        api.setTimeout(timeoutMs);
        TestServer::Reply held;
        held.hold = true;
        server->setReply("status", held);
        auto result = QCoro::waitFor(
            api.send<StatusResponse>(base.isEmpty() ? server->baseURL() : base, "status", "GET"));
        QCoreApplication::removeTranslator(&translator);
        server->release();
        QVERIFY(!result.ok());
        QCOMPARE(result.description(), text);
    }

    void droppedConnectionIsAFailure() {
        KalvorinAPI api;
        TestServer::Reply drop;
        drop.drop = true;
        server->setReply("tickets", drop);
        auto result = run<TicketsResponse>(api, "tickets");
        QVERIFY(!result.ok());
        QCOMPARE(result.description(), QStringLiteral("أغلق الخادم الاتصال قبل اكتمال الرد."));
    }
};

KALVORIN_TEST_MAIN(TestApi)
#include "test_api.moc"
