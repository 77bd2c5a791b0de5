// What the request client's limits cost in memory, beside the naive path.
//
// 1. An endless 1 GB answer: the client refuses it at its answer limit; the
//    naive path (Qt left to buffer, then readAll) takes the whole gigabyte.
// 2. A 200 MB file sent as the Base64 member of a JSON body: streamed from the
//    file as it leaves, beside the naive path (read whole, Base64, JSON document).
// Both against a local server that discards what it reads. Prints the peak
// resident growth of each (MB above idle) and the throughput; the last line is
// "peak_mb <streamed 200 MB body>". Asserts nothing.

#include "hostileserver.h"
#include "kalvorinapi.h"
#include "records/records.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <qcoronetworkreply.h>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::HostileServer;
namespace memory = kalvorin::test::memory;

namespace {

constexpr qint64 kAnswerBytes = 1ll << 30;
constexpr qint64 kFileBytes = 200ll << 20;

struct Figure {
    double peakMb = 0;
    qint64 ms = 0;
};

template <class Work> Figure measure(Work work) {
    malloc_trim(0);
    memory::resetPeak();
    const qint64 idle = memory::residentKb();
    QElapsedTimer clock;
    clock.start();
    work();
    return {double(memory::peakKb() - idle) / 1024.0, clock.elapsed()};
}

QCoro::Task<QByteArray> naiveGet(QNetworkAccessManager& network, QUrl url) {
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
    co_await qCoro(reply.get()).waitForFinished();
    co_return reply->readAll();
}

QCoro::Task<bool> naivePost(QNetworkAccessManager& network, QUrl url, QByteArray body) {
    QNetworkRequest request(url);
    request.setRawHeader("Content-Type", "application/json; charset=utf-8");
    std::unique_ptr<QNetworkReply> reply(network.post(request, body));
    co_await qCoro(reply.get()).waitForFinished();
    co_return reply->error() == QNetworkReply::NoError;
}

double mbPerSecond(qint64 bytes, qint64 ms) {
    return ms > 0 ? double(bytes) / (1 << 20) / (double(ms) / 1000.0) : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    HostileServer server;
    if (!dir.isValid() || !server.start())
        return 1;
    KalvorinAPI api(dir.filePath(QStringLiteral("cookies")));
    QNetworkAccessManager naive;
    const QUrl url(server.baseURL() + QStringLiteral("api/mobile/index.php?action=status"));

    // 1. The endless answer.
    server.setup({.plan = HostileServer::Plan::EndlessBody});
    QString refusal;
    const Figure refused = measure([&] {
        refusal = QCoro::waitFor(
                      api.send<APIMessage>(server.baseURL(), QStringLiteral("status"), QStringLiteral("GET")))
                      .description();
    });
    // 2. The 200 MB upload.
    const QString path = dir.filePath(QStringLiteral("evidence.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < block.size(); ++i)
            block[i] = char((i * 131) % 251);
        for (qint64 written = 0; written < kFileBytes; written += block.size())
            file.write(block);
    }
    server.setup({});
    bool sent = false;
    const Figure streamed = measure([&] {
        StreamedJson body;
        const Result<QString> content = body.fileAsBase64(path);
        if (!content)
            return;
        body.setDocument({{"maintenanceNo", "M-1"}, {"contentBase64", *content}});
        sent = QCoro::waitFor(api.send<APIMessage>(server.baseURL(), QStringLiteral("upload_attachment"),
                                                   QStringLiteral("POST"), {}, std::move(body)))
                   .ok();
    });
    const qint64 streamedBytes = server.seen().last().bodyBytes;

    // The naive paths last, so their freed memory cannot hide our growth.
    server.setup({.plan = HostileServer::Plan::SizedBody, .bytes = kAnswerBytes});
    qint64 naiveBytes = 0;
    const Figure whole = measure([&] { naiveBytes = QCoro::waitFor(naiveGet(naive, url)).size(); });
    std::printf("endless answer, refused at the %lld MiB limit: peak +%.1f MB in %lld ms (%s)\n",
                KalvorinAPI::kAnswerLimit >> 20, refused.peakMb, refused.ms, qPrintable(refusal));
    std::printf("naive: 1 GB answer read whole: peak +%.1f MB in %lld ms (%lld bytes)\n", whole.peakMb,
                whole.ms, naiveBytes);

    server.setup({});
    bool naiveSent = false;
    const Figure inMemory = measure([&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QJsonObject document{{"maintenanceNo", "M-1"},
                                   {"contentBase64", QString::fromLatin1(file.readAll().toBase64())}};
        naiveSent =
            QCoro::waitFor(naivePost(naive, url, QJsonDocument(document).toJson(QJsonDocument::Compact)));
    });
    std::printf("200 MB file streamed: peak +%.1f MB, %lld ms, %.0f MB/s of body (%s, %lld bytes)\n",
                streamed.peakMb, streamed.ms, mbPerSecond(streamedBytes, streamed.ms),
                sent ? "sent" : "FAILED", streamedBytes);
    std::printf("naive: read whole, Base64, JSON document: peak +%.1f MB, %lld ms, %.0f MB/s (%s)\n",
                inMemory.peakMb, inMemory.ms, mbPerSecond(server.seen().last().bodyBytes, inMemory.ms),
                naiveSent ? "sent" : "FAILED");
    std::printf("peak_mb %.1f\n", streamed.peakMb);
    return sent ? 0 : 1;
}
