// The request client against a server that misbehaves on purpose: every bad
// answer ends as one Arabic sentence, soon, and with memory bounded.

#include "hostileserver.h"
#include "kalvorinapi.h"
#include "records/records.h"
#include "testenv.h"
#include "testserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::HostileServer;
using Plan = HostileServer::Plan;
namespace memory = kalvorin::test::memory;

namespace {
const QString kTooLarge = QStringLiteral("رد الخادم أكبر من الحد المسموح.");
const QString kDeadline = QStringLiteral("استغرق رد الخادم أطول من المهلة المسموحة، فأُوقف الطلب.");
const QString kTimeout = QStringLiteral("انتهت مهلة الاتصال: لم يرد الخادم في الوقت المحدد.");
const QString kTooSlow = QStringLiteral("يرسل الخادم الرد ببطء شديد، فأُوقف الطلب.");
const QString kInvalid = QStringLiteral("رد الخادم ليس رداً صالحاً.");
const QString kClosed = QStringLiteral("أغلق الخادم الاتصال قبل اكتمال الرد.");
const QString kRedirect = QStringLiteral("رفض التطبيق إعادة توجيه الطلب إلى عنوان آخر.");

// Peak growth allowed to any bad answer, one held up to the answer limit included.
constexpr qint64 kGrowthMb = 64;

Result<APIMessage> call(KalvorinAPI& api, const QString& base, const QString& method = QStringLiteral("GET"),
                        RequestBody body = {}) {
    return QCoro::waitFor(api.send<APIMessage>(base, QStringLiteral("status"), method, {}, std::move(body)));
}

constexpr HostileServer::Scheme kSchemes[] = {HostileServer::Scheme::Http, HostileServer::Scheme::Https};
const char* nameOf(HostileServer::Scheme scheme) {
    return scheme == HostileServer::Scheme::Https ? "https" : "http";
}

int entries(const QString& folder) {
    return int(
        QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size());
}
} // namespace

class TestHostile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { KalvorinAPI::addTrustedAuthorities(HostileServer::authorityFile()); }
    void init() { kalvorin::test::resetStoredState(); }

    void badAnswersEndInOneSentence_data() {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("plan");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("deadlineMs");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("memoryMb"); // bound on the peak growth
        QTest::addColumn<int>("withinMs");    // bound on the time taken
        QTest::addColumn<int>("intervalMs");  // the drip's pace
        constexpr int timeout = KalvorinAPI::kTimeoutMs;
        constexpr int deadline = KalvorinAPI::kDeadlineMs;
        for (const HostileServer::Scheme scheme : kSchemes) {
            const auto row = [&](const char* name, Plan plan) -> QTestData& {
                return QTest::addRow("%s %s", nameOf(scheme), name) << int(scheme) << int(plan);
            };
            row("endless chunked body", Plan::EndlessBody)
                << 0ll << 0 << timeout << deadline << kTooLarge << kGrowthMb << 30000 << 0;
            row("chunk-size line without end", Plan::EndlessChunkLine)
                << 0ll << 0 << timeout << deadline << kInvalid << kGrowthMb << 15000 << 0;
            row("header line without end", Plan::EndlessHeaderLine)
                << 0ll << 0 << timeout << deadline << kTooLarge << kGrowthMb << 15000 << 0;
            row("1 TB Content-Length", Plan::HugeLength)
                << 0ll << 0 << timeout << deadline << kTooLarge << kGrowthMb << 15000 << 0;
            row("200 MB answer", Plan::SizedBody)
                << (200ll << 20) << 0 << timeout << deadline << kTooLarge << kGrowthMb << 30000 << 0;
            row("gzip bomb", Plan::GzipBomb)
                << 0ll << 0 << timeout << deadline << kTooLarge << kGrowthMb << 30000 << 0;
            row("10,000 Set-Cookie headers", Plan::CookieFlood)
                << 16ll << 10000 << timeout << deadline << kTooLarge << kGrowthMb << 15000 << 0;
            row("drip of one byte a second", Plan::Drip)
                << 0ll << 0 << timeout << deadline << kTooSlow << kGrowthMb << 60000 << 1000;
            row("drip past the deadline", Plan::Drip)
                << 0ll << 0 << timeout << 1500 << kDeadline << kGrowthMb << 15000 << 200;
            row("silence past the inactivity time-out", Plan::Drip)
                << 0ll << 0 << 400 << deadline << kTimeout << kGrowthMb << 15000 << 600000;
            row("50 MB message", Plan::LongMessage)
                << (50ll << 20) << 0 << timeout << deadline
                << QString(500, QChar(0x0628)) + QStringLiteral("…") << 300ll << 30000 << 0;
        }
    }
    void badAnswersEndInOneSentence() {
        QFETCH(int, scheme);
        QFETCH(int, plan);
        QFETCH(qint64, bytes);
        QFETCH(int, count);
        QFETCH(int, timeoutMs);
        QFETCH(int, deadlineMs);
        QFETCH(QString, text);
        QFETCH(qint64, memoryMb);
        QFETCH(int, withinMs);
        QFETCH(int, intervalMs);
        HostileServer server;
        QVERIFY(server.start(HostileServer::Scheme(scheme)));
        server.setup(
            {.plan = Plan(plan), .status = 400, .bytes = bytes, .count = count, .intervalMs = intervalMs});
        KalvorinAPI api;
        api.setTimeout(timeoutMs);
        api.setDeadline(deadlineMs);

        memory::resetPeak();
        const qint64 idle = memory::residentKb();
        QElapsedTimer clock;
        clock.start();
        const Result<APIMessage> result = call(api, server.baseURL());
        const qint64 took = clock.elapsed();
        const qint64 grewMb = (memory::peakKb() - idle) / 1024;
        qInfo("%s: %lld ms, +%lld MB: %s", QTest::currentDataTag(), took, grewMb,
              qPrintable(result.description().left(90)));
        QVERIFY(!result.ok());
        QCOMPARE(result.failure().domain == QStringLiteral("KALVORIN"), plan == int(Plan::LongMessage));
        QCOMPARE(result.description(), text);
        QVERIFY2(took < withinMs, qPrintable(QString::number(took)));
        if (memory::meaningful())
            QVERIFY2(grewMb < memoryMb, qPrintable(QString::number(grewMb)));
    }

    // A write whose connection closes before any answer fails, and is never
    // sent again: the server may have done it already.
    void aWriteLeavesOnce_data() {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QString>("action");
        for (const HostileServer::Scheme scheme : kSchemes)
            for (const char* action : {"login", "ticket_action", "upload_attachment", "create_ticket"})
                QTest::addRow("%s %s", nameOf(scheme), action) << int(scheme) << QString::fromLatin1(action);
    }
    void aWriteLeavesOnce() {
        QFETCH(int, scheme);
        QFETCH(QString, action);
        HostileServer server;
        QVERIFY(server.start(HostileServer::Scheme(scheme)));
        server.setup({.plan = Plan::CloseAfterRequest});
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("%PDF-1.4 evidence");
        file.flush();
        // Each body as the app sends it for this action.
        RequestBody body;
        if (action == u"login") {
            body = QJsonObject{{"username", "u"}, {"password", "secret"}};
        } else if (action == u"ticket_action") {
            body = QJsonObject{{"maintenanceNo", "م-١٢"}, {"operation", "close"}, {"note", "تم"}};
        } else {
            StreamedJson streamed;
            if (action == u"upload_attachment") {
                const Result<QString> content = streamed.fileAsBase64(file.fileName());
                QVERIFY(content.ok());
                streamed.setDocument(
                    {{"maintenanceNo", "م-١٢"}, {"name", "e.pdf"}, {"contentBase64", *content}});
            } else {
                streamed.setDocument({{"title", "عطل"}, {"attachments", QJsonArray()}});
            }
            body = std::move(streamed);
        }
        KalvorinAPI api;
        const Result<APIMessage> result =
            QCoro::waitFor(api.send<APIMessage>(server.baseURL(), action, QStringLiteral("POST"), {}, body));
        QVERIFY(!result.ok());
        QCOMPARE(result.description(), kClosed);
        // A second copy would come on a fresh connection at once, but nothing
        // announces that none comes: give it a second to show before counting.
        QTest::qWait(1000);
        QCOMPARE(server.seen().size(), 1);
    }

    // A request given up for silence takes its thread and its connection with
    // it: a hundred of them leave the process as they found it.
    void timeoutsLeakNothing() {
        HostileServer server;
        QVERIFY(server.start());
        server.setup({.plan = Plan::Drip, .intervalMs = 3600000}); // a head, then silence
        KalvorinAPI api;
        api.setTimeout(100);
        const auto attempt = [&] {
            const Result<APIMessage> result = call(api, server.baseURL());
            return result.ok() ? QStringLiteral("ok") : result.description();
        };
        QCOMPARE(attempt(), kTimeout); // whatever the client makes once is made now
        QVERIFY(QTest::qWaitFor([&] { return server.openConnections() == 0; }));
        const int threads = entries(QStringLiteral("/proc/self/task"));
        const int files = entries(QStringLiteral("/proc/self/fd"));
        for (int i = 0; i < 100; ++i)
            QCOMPARE(attempt(), kTimeout);
        // Our side of each connection closes once the client has closed its own.
        const bool allClosed = QTest::qWaitFor([&] { return server.openConnections() == 0; });
        const int threadsAfter = entries(QStringLiteral("/proc/self/task"));
        const int filesAfter = entries(QStringLiteral("/proc/self/fd"));
        qInfo("100 time-outs: threads %d -> %d, open files %d -> %d, connections left open %d", threads,
              threadsAfter, files, filesAfter, server.openConnections());
        QVERIFY(allClosed);
        QVERIFY2(qAbs(threadsAfter - threads) <= 1, qPrintable(QString::number(threadsAfter - threads)));
        QVERIFY2(qAbs(filesAfter - files) <= 1, qPrintable(QString::number(filesAfter - files)));
    }

    // While one answer misbehaves, the other requests still come and go; an
    // answer that holds the network layer's thread holds it only until it is
    // stopped.
    void oneBadAnswerBlocksNoOther_data() {
        QTest::addColumn<int>("plan");
        QTest::addColumn<bool>("meanwhile");
        QTest::newRow("drip") << int(Plan::Drip) << true;
        QTest::newRow("endless body") << int(Plan::EndlessBody) << true;
        QTest::newRow("endless header line") << int(Plan::EndlessHeaderLine) << false;
    }
    void oneBadAnswerBlocksNoOther() {
        QFETCH(int, plan);
        QFETCH(bool, meanwhile);
        HostileServer bad;
        HostileServer good;
        QVERIFY(bad.start() && good.start());
        bad.setup({.plan = Plan(plan), .intervalMs = 200});
        KalvorinAPI api;
        api.setDeadline(1500);
        QCoro::Task<Result<APIMessage>> stuck = api.send<APIMessage>(bad.baseURL(), "status", "GET");
        QTRY_COMPARE(bad.seen().size(), 1);
        if (!meanwhile)
            QVERIFY(!QCoro::waitFor(std::move(stuck)).ok());
        api.setDeadline(5000);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 5; ++i) {
            const Result<APIMessage> other = call(api, good.baseURL());
            QVERIFY2(other.ok(), qPrintable(other.description()));
        }
        qInfo("%s: five other requests in %lld ms", QTest::currentDataTag(), clock.elapsed());
        if (meanwhile)
            QVERIFY(!QCoro::waitFor(std::move(stuck)).ok());
    }

    void redirectsStayHomeAndCarryNoBody_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("sameOrigin");
        QTest::addColumn<bool>("followed");
        QTest::newRow("GET 302 same origin") << "GET" << 302 << true << true;
        QTest::newRow("GET 302 other port") << "GET" << 302 << false << false;
        QTest::newRow("POST 307 other port") << "POST" << 307 << false << false;
        QTest::newRow("POST 307 same origin") << "POST" << 307 << true << false;
        QTest::newRow("POST 302 other port") << "POST" << 302 << false << false;
    }
    void redirectsStayHomeAndCarryNoBody() {
        QFETCH(QString, method);
        QFETCH(int, status);
        QFETCH(bool, sameOrigin);
        QFETCH(bool, followed);
        HostileServer from;
        kalvorin::test::TestServer elsewhere; // answers anything with {"ok":true}
        QVERIFY(from.start() && elsewhere.start());
        const QString target = sameOrigin
                                   ? from.baseURL() + QStringLiteral("api/mobile/index.php?action=x")
                                   : elsewhere.baseURL() + QStringLiteral("api/mobile/index.php?action=x");
        from.setup({.plan = Plan::Redirect, .status = status, .location = target.toLatin1(), .once = true});
        KalvorinAPI api;
        const RequestBody body = method == u"POST"
                                     ? RequestBody(QJsonObject{{"username", "u"}, {"password", "secret"}})
                                     : RequestBody();
        const Result<APIMessage> result = call(api, from.baseURL(), method, body);
        QCOMPARE(result.ok(), followed);
        if (!followed)
            QCOMPARE(result.description(), kRedirect);
        QCOMPARE(elsewhere.requests().size(), 0);
        for (const HostileServer::Seen& seen : from.seen().mid(1))
            QCOMPARE(seen.bodyBytes, 0); // a followed redirect never re-sends the body
    }

    void cookieFloodCannotLockUsOut() {
        HostileServer server;
        QVERIFY(server.start());
        const auto flood = [&](KalvorinAPI& api, const QByteArray& name, int count, qint64 bytes) {
            server.setup({.plan = Plan::CookieFlood, .bytes = bytes, .count = count, .cookieName = name});
            QVERIFY(call(api, server.baseURL()).ok());
        };
        const auto sentCookies = [&](KalvorinAPI& api) {
            server.setup({});
            return call(api, server.baseURL()).ok() ? server.seen().last().header("Cookie")
                                                    : QByteArray("failed");
        };
        {
            KalvorinAPI api;
            flood(api, "S", 1, 40); // the session
            flood(api, "A", 30, 4000);
            flood(api, "B", 10, 100);
            flood(api, "C", 1, 5000); // over 4 KB: never kept
            // Far more than 8 KB are kept: the newest that fit go, the old session too.
            const QByteArray sent = sentCookies(api);
            QVERIFY2(sent.size() <= CookieJar::kMaxHeaderBytes, qPrintable(QString::number(sent.size())));
            for (const char* name : {"S0=", "B0=", "B9=", "A29="})
                QVERIFY2(sent.contains(name), name);
            QVERIFY(!sent.contains("A28=") && !sent.contains("C0="));

            flood(api, "D", 80, 100); // more than a host may keep: the oldest go
            const QByteArray after = sentCookies(api);
            QVERIFY(after.contains("D79=") && after.contains("D30="));
            QVERIFY(!after.contains("D29=") && !after.contains("S0=") && !after.contains("A29="));
        }
        // The file holds only the kept cookies, so a restart starts within the limits.
        QFile file(CookieJar::defaultFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), CookieJar::kMaxCookiesPerHost);
        KalvorinAPI relaunched;
        const QByteArray sent = sentCookies(relaunched);
        QVERIFY(sent.contains("D79=") && !sent.contains("D29="));
    }

    // The streamed document is byte for byte the compact document built in
    // memory, with the Base64 in place.
    void streamedBodyIsTheCompactDocument_data() {
        QTest::addColumn<qint64>("fileBytes");
        QTest::addColumn<qint64>("heldBytes");
        QTest::newRow("empty file") << 0ll << 0ll;
        QTest::newRow("one byte, two held") << 1ll << 2ll;
        QTest::newRow("across runs of Base64") << 3ll * 48 * 1024 + 2 << 100001ll;
        QTest::newRow("3 MB") << (3ll << 20) << 5ll;
    }
    void streamedBodyIsTheCompactDocument() {
        QFETCH(qint64, fileBytes);
        QFETCH(qint64, heldBytes);
        QByteArray content(fileBytes, Qt::Uninitialized);
        for (qint64 i = 0; i < fileBytes; ++i)
            content[i] = char((i * 7919) % 251);
        const QByteArray held =
            content.left(heldBytes).append(QByteArray(qMax(0ll, heldBytes - fileBytes), 'h'));
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(content);
        file.flush();

        StreamedJson streamed;
        const Result<QString> fromFile = streamed.fileAsBase64(file.fileName());
        QVERIFY(fromFile.ok());
        const QJsonObject template_{
            {"maintenanceNo", "م-١٢"},
            {"contentBase64", *fromFile},
            {"attachments", QJsonArray{QJsonObject{{"name", "a \"b\".pdf"},
                                                   {"contentBase64", streamed.bytesAsBase64(held)}}}},
            {"note", "kalvorin-stream-not-ours"}};
        streamed.setDocument(template_);
        QJsonObject naive = template_;
        naive["contentBase64"] = QString::fromLatin1(content.toBase64());
        naive["attachments"] = QJsonArray{
            QJsonObject{{"name", "a \"b\".pdf"}, {"contentBase64", QString::fromLatin1(held.toBase64())}}};
        const QByteArray expected = QJsonDocument(naive).toJson(QJsonDocument::Compact);

        HostileServer server;
        QVERIFY(server.start());
        KalvorinAPI api;
        QVERIFY(call(api, server.baseURL(), QStringLiteral("POST"), std::move(streamed)).ok());
        const HostileServer::Seen& seen = server.seen().first();
        QCOMPARE(seen.bodyBytes, qint64(expected.size()));
        QCOMPARE(seen.bodyHash, QCryptographicHash::hash(expected, QCryptographicHash::Sha256));
        QCOMPARE(seen.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
    }

    // A file that goes away or shrinks is the user's failure, never a success.
    void streamedFileThatChangesFails_data() {
        QTest::addColumn<bool>("removed");
        QTest::newRow("removed before sending") << true;
        QTest::newRow("shrunk before sending") << false;
    }
    void streamedFileThatChangesFails() {
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("evidence.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300000, 'x'));
        file.close();
        StreamedJson streamed;
        const Result<QString> content = streamed.fileAsBase64(path);
        QVERIFY(content.ok());
        streamed.setDocument({{"contentBase64", *content}});
        if (removed)
            QVERIFY(QFile::remove(path));
        else
            QVERIFY(QFile::resize(path, 1000));
        HostileServer server;
        QVERIFY(server.start());
        KalvorinAPI api;
        const Result<APIMessage> result =
            call(api, server.baseURL(), QStringLiteral("POST"), std::move(streamed));
        QVERIFY(!result.ok());
        QVERIFY2(result.description().contains(QStringLiteral("evidence.pdf")),
                 qPrintable(result.description()));
        QCOMPARE(server.seen().size(), 0);
        QVERIFY(!StreamedJson().fileAsBase64(dir.filePath(QStringLiteral("missing.pdf"))).ok());
    }

    void streamedBodyKeepsMemoryBounded() {
        QTemporaryFile file;
        QVERIFY(file.open());
        QVERIFY(file.resize(100ll << 20)); // sparse: costs no memory to make
        StreamedJson streamed;
        const Result<QString> content = streamed.fileAsBase64(file.fileName());
        QVERIFY(content.ok());
        streamed.setDocument({{"contentBase64", *content}});
        HostileServer server;
        QVERIFY(server.start());
        KalvorinAPI api;
        memory::resetPeak();
        const qint64 idle = memory::residentKb();
        QVERIFY(call(api, server.baseURL(), QStringLiteral("POST"), std::move(streamed)).ok());
        const qint64 grewMb = (memory::peakKb() - idle) / 1024;
        qInfo("100 MB file streamed: +%lld MB", grewMb);
        QCOMPARE(server.seen().first().bodyBytes, qint64(base64Length(100ll << 20)) + 20);
        if (memory::meaningful())
            QVERIFY2(grewMb < 48, qPrintable(QString::number(grewMb)));
    }
};

KALVORIN_TEST_MAIN(TestHostile)
#include "test_hostile.moc"
