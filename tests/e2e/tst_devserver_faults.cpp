// Fault injection, the request journal, the upload limit and robustness of
// the development server, all against the real binary.

#include "e2esupport.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSslCertificate>
#include <QTcpSocket>
#include <QtTest>

using namespace kalvorin;
using namespace kalvorin::e2e;

namespace {

bool control(Client& c, const QJsonObject& body) {
    auto r = c.post<APIMessage>(QStringLiteral("test_control"), body);
    return r && r->ok.value_or(false);
}

QList<QJsonObject> journalLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QJsonObject> out;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            out.append(QJsonDocument::fromJson(line).object());
    return out;
}

QJsonObject lastEntryFor(const QList<QJsonObject>& lines, const QString& action) {
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        if (it->value(QStringLiteral("action")).toString() == action)
            return *it;
    return {};
}

// One raw HTTP exchange, for what the client itself never sends.
int rawStatus(QNetworkAccessManager& nam, const QString& url, const QByteArray& contentType,
              const QByteArray& body) {
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    QNetworkReply* reply = nam.post(request, body);
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(10000);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    return status;
}

} // namespace

class DevServerFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void faultsChangedWhileRunning_data();
    void faultsChangedWhileRunning();
    void faultsFromTheCommandLine();
    void journalRecordsRequestsWithSecretsMasked();
    void closureEvidenceAboveTheLimitIsRefused();
    void badRequestsAreRefusedWithoutHarm();
    void concurrentAndAbandonedRequests();
    void localhostIsServed();
    void periodicNotificationsAndCleanStop();
    void servesHttpsWithTheGivenCertificate();

private:
    RunningServer m_server;
    std::unique_ptr<Client> m_control;
};

void DevServerFaults::initTestCase() {
    QVERIFY2(m_server.start({QStringLiteral("--test-controls"), QStringLiteral("--journal"),
                             m_server.journalPath(), QStringLiteral("--max-upload-mb"), QStringLiteral("1")}),
             qPrintable(m_server.output()));
    m_control = std::make_unique<Client>(m_server.baseURL());
}

void DevServerFaults::cleanup() {
    QVERIFY(control(*m_control, {{QStringLiteral("clear"), true}}));
}

void DevServerFaults::faultsChangedWhileRunning_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("expect"); // delay, status:N, message:M, transport, decoding
    QTest::newRow("latency for all") << QStringLiteral("latency") << QStringLiteral("400")
                                     << QStringLiteral("delay");
    QTest::newRow("latency for one action")
        << QStringLiteral("latency") << QStringLiteral("status=400") << QStringLiteral("delay");
    QTest::newRow("failure with our message")
        << QStringLiteral("fail") << QStringLiteral("status=503") << QStringLiteral("status:503");
    QTest::newRow("failure with an HTML body")
        << QStringLiteral("fail") << QStringLiteral("status=500:<html>down</html>")
        << QStringLiteral("message:fallback");
    QTest::newRow("failure with a JSON message")
        << QStringLiteral("fail") << QStringLiteral("status=409:{\"message\":\"الخادم مشغول\"}")
        << QStringLiteral("message:الخادم مشغول");
    QTest::newRow("failure for every action")
        << QStringLiteral("fail") << QStringLiteral("*=502") << QStringLiteral("status:502");
    QTest::newRow("dropped connection")
        << QStringLiteral("drop") << QStringLiteral("status") << QStringLiteral("transport");
    QTest::newRow("body that is not JSON")
        << QStringLiteral("garbage") << QStringLiteral("status") << QStringLiteral("decoding");
    QTest::newRow("JSON with wrong types")
        << QStringLiteral("garbage") << QStringLiteral("status=type") << QStringLiteral("decoding");
    QTest::newRow("fault on another action")
        << QStringLiteral("fail") << QStringLiteral("dashboard=503") << QStringLiteral("ok");
}

void DevServerFaults::faultsChangedWhileRunning() {
    QFETCH(QString, kind);
    QFETCH(QString, rule);
    QFETCH(QString, expect);
    QVERIFY(control(*m_control, {{kind, QJsonArray{rule}}}));

    Client c(m_server.baseURL());
    QElapsedTimer clock;
    clock.start();
    auto r = c.call<StatusResponse>(QStringLiteral("status"));
    const qint64 elapsed = clock.elapsed();

    if (expect == QLatin1String("ok") || expect == QLatin1String("delay")) {
        QVERIFY2(r, qPrintable(r.description()));
        QVERIFY(r->ok);
        if (expect == QLatin1String("delay"))
            QVERIFY2(elapsed >= 400, qPrintable(QString::number(elapsed)));
    } else if (expect.startsWith(QLatin1String("status:"))) {
        QVERIFY(!r);
        QCOMPARE(r.failure().domain, QStringLiteral("KALVORIN"));
        QCOMPARE(r.failure().code, expect.mid(7).toInt());
        QVERIFY(r.description().contains(expect.mid(7))); // the server's own Arabic text names it
    } else if (expect.startsWith(QLatin1String("message:"))) {
        QVERIFY(!r);
        const QString text = expect.mid(8);
        QCOMPARE(r.description(), text == QLatin1String("fallback") ? KalvorinAPI::kFallbackMessage : text);
    } else if (expect == QLatin1String("transport")) {
        QVERIFY(!r);
        QVERIFY(r.failure().domain != QStringLiteral("KALVORIN"));
        QVERIFY(r.failure().domain != json::kDecodingDomain);
    } else {
        QVERIFY(!r);
        QCOMPARE(r.failure().domain, json::kDecodingDomain);
    }

    // Cleared, the same request works again.
    QVERIFY(control(*m_control, {{QStringLiteral("clear"), true}}));
    QVERIFY(c.call<StatusResponse>(QStringLiteral("status")));
}

void DevServerFaults::faultsFromTheCommandLine() {
    RunningServer server;
    QVERIFY2(server.start({QStringLiteral("--fail"), QStringLiteral("dashboard=503"),
                           QStringLiteral("--drop"), QStringLiteral("tickets"), QStringLiteral("--garbage"),
                           QStringLiteral("notifications=type"), QStringLiteral("--latency"),
                           QStringLiteral("reference_data=300")}),
             qPrintable(server.output()));
    Client c(server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    QCOMPARE(c.call<DashboardResponse>(QStringLiteral("dashboard")).failure().code, 503);
    QVERIFY(c.call<TicketsResponse>(QStringLiteral("tickets")).failure().domain !=
            QStringLiteral("KALVORIN"));
    QCOMPARE(c.call<NotificationsResponse>(QStringLiteral("notifications")).failure().domain,
             json::kDecodingDomain);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(c.call<std::optional<ReferenceDataResponse>>(QStringLiteral("reference_data")));
    QVERIFY(clock.elapsed() >= 300);
    // Without --test-controls the control action does not exist.
    QCOMPARE(c.call<APIMessage>(QStringLiteral("test_control")).failure().code, 404);
}

void DevServerFaults::journalRecordsRequestsWithSecretsMasked() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kSupervisor, kSupervisorPassword));
    const QString cookie =
        QString::fromLatin1(c.api().cookieJar()->cookiesForUrl(QUrl(m_server.baseURL())).first().value());
    QVERIFY(c.call<DashboardResponse>(QStringLiteral("dashboard")));
    const QByteArray file("closure evidence of a ticket, long enough to be recognisable in a file");
    const QString content = QString::fromLatin1(file.toBase64());
    QJsonObject body = validTicketBody();
    body.insert(QStringLiteral("attachments"),
                QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("a.txt")},
                                       {QStringLiteral("mime"), QStringLiteral("text/plain")},
                                       {QStringLiteral("contentBase64"), content}}});
    auto created = c.post<CreateTicketResponse>(QStringLiteral("create_ticket"), body);
    QVERIFY(created);
    QVERIFY(c.ticket(*created->maintenanceNo));

    QFile raw(m_server.journalPath());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray text = raw.readAll();
    QVERIFY(!text.contains(kSupervisorPassword.toUtf8()));
    QVERIFY(!text.contains(cookie.toLatin1()));
    QVERIFY(!text.contains(content.toLatin1()));

    const QList<QJsonObject> lines = journalLines(m_server.journalPath());
    const QJsonObject login = lastEntryFor(lines, QStringLiteral("login"));
    QCOMPARE(login.value(QStringLiteral("method")).toString(), QStringLiteral("POST"));
    QCOMPARE(login[QStringLiteral("body")][QStringLiteral("password")].toInteger(),
             kSupervisorPassword.size());
    QCOMPARE(login[QStringLiteral("body")][QStringLiteral("username")].toString(), kSupervisor);
    QCOMPARE(login[QStringLiteral("body")][QStringLiteral("biometricAvailable")].toBool(true), false);
    QCOMPARE(login[QStringLiteral("headers")][QStringLiteral("Content-Type")].toString(),
             QStringLiteral("application/json; charset=utf-8"));
    QVERIFY(login.value(QStringLiteral("time")).toString().endsWith(u'Z'));

    const QJsonObject dashboard = lastEntryFor(lines, QStringLiteral("dashboard"));
    QCOMPARE(dashboard.value(QStringLiteral("method")).toString(), QStringLiteral("GET"));
    QCOMPARE(dashboard[QStringLiteral("headers")][QStringLiteral("Cookie")].toString(),
             QStringLiteral("KALVORIN_SESSION=***"));
    QCOMPARE(dashboard[QStringLiteral("headers")][QStringLiteral("User-Agent")].toString(),
             KalvorinAPI::kUserAgent);
    QCOMPARE(dashboard[QStringLiteral("headers")][QStringLiteral("Accept")].toString(),
             QStringLiteral("application/json"));
    QVERIFY(!dashboard.value(QStringLiteral("headers")).toObject().contains(QStringLiteral("Content-Type")));
    QVERIFY(!dashboard.contains(QStringLiteral("body")));

    const QJsonObject create = lastEntryFor(lines, QStringLiteral("create_ticket"));
    const QJsonObject attachment =
        create[QStringLiteral("body")][QStringLiteral("attachments")][0].toObject();
    QCOMPARE(attachment.value(QStringLiteral("contentBase64")).toInteger(), content.size());
    QCOMPARE(attachment.value(QStringLiteral("name")).toString(), QStringLiteral("a.txt"));
    QCOMPARE(create[QStringLiteral("body")][QStringLiteral("serviceCatalogId")].toInteger(), 101);
    QCOMPARE(create[QStringLiteral("body")].toObject().size(), 19);

    const QJsonObject ticket = lastEntryFor(lines, QStringLiteral("ticket"));
    QCOMPARE(ticket[QStringLiteral("query")][QStringLiteral("maintenanceNo")].toString(),
             *created->maintenanceNo);
}

void DevServerFaults::closureEvidenceAboveTheLimitIsRefused() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    const QString number = createTicket(c, 101);
    auto upload = [&](qsizetype bytes) {
        return c.post<APIMessage>(
            QStringLiteral("upload_attachment"),
            {{QStringLiteral("maintenanceNo"), number},
             {QStringLiteral("name"), QStringLiteral("صورة.jpg")},
             {QStringLiteral("mime"), QStringLiteral("image/jpeg")},
             {QStringLiteral("purpose"), QStringLiteral("service_acceptance")},
             {QStringLiteral("contentBase64"), QString::fromLatin1(QByteArray(bytes, 'j').toBase64())}});
    };
    auto big = upload(1024 * 1024 + 512 * 1024); // --max-upload-mb 1
    QVERIFY(!big);
    QCOMPARE(big.failure().code, 413);
    QVERIFY(big.description() != KalvorinAPI::kFallbackMessage);
    auto fits = upload(512 * 1024);
    QVERIFY2(fits && fits->ok.value_or(false), qPrintable(fits.description()));
    auto detail = c.ticket(number);
    QCOMPARE(detail->attachments->size(), 1);
    QCOMPARE(detail->attachments->first().purpose,
             std::optional<QString>(QStringLiteral("service_acceptance")));
    QCOMPARE(detail->attachments->first().size, std::optional<qint64>(512 * 1024));
}

void DevServerFaults::badRequestsAreRefusedWithoutHarm() {
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    auto unknown = c.call<APIMessage>(QStringLiteral("no_such_action"));
    QCOMPARE(unknown.failure().code, 404);
    QVERIFY(unknown.description() != KalvorinAPI::kFallbackMessage);
    QCOMPARE(c.call<APIMessage>(QStringLiteral("ticket_action")).failure().code, 405); // a GET for a write

    QNetworkAccessManager nam;
    const QString url = m_server.baseURL() + QStringLiteral("api/mobile/index.php?action=login");
    QCOMPARE(rawStatus(nam, url, "application/json", "{\"username\": \"agent.it\", "), 400);
    QCOMPARE(rawStatus(nam, url, "application/json", "[1, 2]"), 400);
    QCOMPARE(rawStatus(nam, url, "text/plain", "{}"), 415);
    QCOMPARE(rawStatus(nam, url, "application/json", "{\"username\": 5, \"password\": \"x\"}"), 422);

    // A body above 100 MB gets 413 before it is kept anywhere.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_server.port());
    QVERIFY(socket.waitForConnected(5000));
    const qint64 size = 100LL * 1024 * 1024 + 1;
    socket.write("POST /kalvorin/api/mobile/index.php?action=create_ticket HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                 "Content-Type: application/json\r\nContent-Length: " +
                 QByteArray::number(size) + "\r\n\r\n");
    const QByteArray chunk(1024 * 1024, ' ');
    for (qint64 sent = 0; sent < size;) {
        const qint64 n = std::min<qint64>(chunk.size(), size - sent);
        socket.write(chunk.constData(), n);
        sent += n;
        while (socket.bytesToWrite() > 4 * chunk.size())
            socket.waitForBytesWritten(5000);
    }
    QByteArray answer;
    for (int i = 0; i < 100 && !answer.contains("\r\n\r\n"); ++i) {
        socket.waitForReadyRead(200);
        answer += socket.readAll();
    }
    QVERIFY2(answer.startsWith("HTTP/1.1 413"), answer.left(80).constData());

    QVERIFY(c.call<StatusResponse>(QStringLiteral("status")));
}

void DevServerFaults::concurrentAndAbandonedRequests() {
    QVERIFY(control(*m_control, {{QStringLiteral("latency"),
                                  QJsonArray{QStringLiteral("tickets=300"), QStringLiteral("status=300")}}}));
    Client c(m_server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));

    // Five requests of one client in flight together, as a refresh sends them.
    std::vector<QCoro::Task<Result<TicketsResponse>>> tasks;
    for (int i = 0; i < 5; ++i)
        tasks.push_back(
            c.api().send<TicketsResponse>(c.baseURL(), QStringLiteral("tickets"), QStringLiteral("GET")));
    for (auto& task : tasks) {
        auto r = QCoro::waitFor(task);
        QVERIFY2(r, qPrintable(r.description()));
        QVERIFY(!r->tickets.isEmpty());
    }

    // Clients that leave: one while its answer is held back, one in the middle of its request.
    for (const QByteArray& request :
         {QByteArray("GET /kalvorin/api/mobile/index.php?action=status HTTP/1.1\r\nHost: x\r\n\r\n"),
          QByteArray("POST /kalvorin/api/mobile/index.php?action=login HTTP/1.1\r\nHost: x\r\nContent-Type: "
                     "application/json\r\nContent-Length: 500\r\n\r\n{\"username\":")}) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_server.port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(request);
        socket.waitForBytesWritten(1000);
        socket.abort();
    }
    QTest::qWait(500); // the held answer comes due with nobody to take it
    QVERIFY(control(*m_control, {{QStringLiteral("clear"), true}}));
    QVERIFY(c.call<StatusResponse>(QStringLiteral("status")));

    // The file is whole.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(m_server.databasePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

void DevServerFaults::localhostIsServed() {
    // The client's default base names "localhost", whichever address it resolves to first.
    Client c(QStringLiteral("http://localhost:%1/kalvorin/").arg(m_server.port()));
    auto r = c.call<StatusResponse>(QStringLiteral("status"));
    QVERIFY2(r, qPrintable(r.description()));
    QVERIFY(r->ok);
}

void DevServerFaults::periodicNotificationsAndCleanStop() {
    RunningServer server;
    QVERIFY2(server.start({QStringLiteral("--notify-every"), QStringLiteral("1")}),
             qPrintable(server.output()));
    Client c(server.baseURL());
    QVERIFY(c.login(kAgent, kAgentPassword));
    const qint64 before = c.call<NotificationsResponse>(QStringLiteral("notifications"))->unread.value_or(0);
    QTRY_VERIFY_WITH_TIMEOUT(
        c.call<NotificationsResponse>(QStringLiteral("notifications"))->unread.value_or(0) > before, 5000);
    QCOMPARE(server.stop(), 0); // SIGTERM ends it cleanly
    QVERIFY(server.output().contains(QStringLiteral("stopping")));
}

void DevServerFaults::servesHttpsWithTheGivenCertificate() {
    const QString data = QStringLiteral(KALVORIN_E2E_DATA);
    RunningServer server;
    QVERIFY2(server.start({QStringLiteral("--tls-cert"), data + QStringLiteral("/localhost.crt"),
                           QStringLiteral("--tls-key"), data + QStringLiteral("/localhost.key")}),
             qPrintable(server.output()));
    QVERIFY(server.baseURL().startsWith(QLatin1String("https://")));

    // Not trusted yet: the client refuses the connection, as it must.
    Client untrusted(server.baseURL());
    auto refused = untrusted.call<StatusResponse>(QStringLiteral("status"));
    QVERIFY(!refused);
    QVERIFY(refused.failure().domain != QStringLiteral("KALVORIN"));
    QCOMPARE(refused.description(), QStringLiteral("تعذر إنشاء اتصال آمن: شهادة الخادم غير موثوقة."));

    // Trusted as a certificate authority (what a developer installs on the phone): it works.
    KalvorinAPI::addTrustedAuthorities(data + QStringLiteral("/localhost.crt"));
    Client c(server.baseURL());
    auto status = c.call<StatusResponse>(QStringLiteral("status"));
    QVERIFY2(status, qPrintable(status.description()));
    QVERIFY(c.login(kAgent, kAgentPassword));
    QVERIFY(c.call<DashboardResponse>(QStringLiteral("dashboard")));
}

KALVORIN_TEST_MAIN(DevServerFaults)
#include "tst_devserver_faults.moc"
