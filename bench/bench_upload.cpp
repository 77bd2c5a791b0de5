// What closure evidence of 200 MB costs the client, through its real path, beside the naive one.
//
// Against the development server: signed in as a supervisor, a fresh ticket, then
// 1. MobileAppState::uploadAttachment: the file's Base64 produced from the file as the request
//    leaves, then the refresh that follows every upload;
// 2. the naive path in the same run: read the whole file, Base64 it, build the JSON document,
//    post it.
// Prints the peak resident growth of this process (MB above idle) and the throughput of each;
// the last line is "upload_peak_mb <streamed>". Asserts nothing.

#include "e2esupport.h"
#include "hostileserver.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <qcoronetworkreply.h>
#include <qcorotask.h>

using namespace kalvorin;
namespace memory = kalvorin::test::memory;

namespace {

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

double mbPerSecond(qint64 bytes, qint64 ms) {
    return ms > 0 ? double(bytes) / (1 << 20) / (double(ms) / 1000.0) : 0.0;
}

QCoro::Task<QByteArray> naivePost(QNetworkAccessManager& network, QUrl url, QByteArray body) {
    QNetworkRequest request(url);
    request.setRawHeader("Content-Type", "application/json; charset=utf-8");
    std::unique_ptr<QNetworkReply> reply(network.post(request, body));
    co_await qCoro(reply.get()).waitForFinished();
    co_return reply->readAll();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    e2e::RunningServer server;
    if (!dir.isValid() || !server.start()) {
        std::fprintf(stderr, "devserver did not start: %s\n", qPrintable(server.output()));
        return 1;
    }
    e2e::Client reporter(server.baseURL());
    if (!reporter.login(QStringLiteral("agent.sys"), e2e::kAgentPassword))
        return 1;
    const QString number = e2e::createTicket(reporter, 101);

    auto* center = new test::RecordingNotificationCenter;
    MobileAppState state(nullptr, center);
    center->setParent(&state);
    state.setServerURL(server.baseURL());
    QCoro::waitFor(state.login(e2e::kSupervisor, e2e::kSupervisorPassword, false));
    if (!state.user() || number.isEmpty())
        return 1;

    const QString path = dir.filePath(QStringLiteral("evidence.pdf"));
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
    const qint64 bodyBytes = base64Length(kFileBytes);

    QString result;
    const Figure streamed = measure([&] {
        result = QCoro::waitFor(
            state.uploadAttachment(number, QUrl::fromLocalFile(path), QStringLiteral("service_acceptance")))
                     .text;
    });
    std::printf("200 MB evidence through uploadAttachment (streamed, refresh included): peak +%.1f MB, "
                "%lld ms, %.0f MB/s of Base64 (%s)\n",
                streamed.peakMb, streamed.ms, mbPerSecond(bodyBytes, streamed.ms), qPrintable(result));

    QNetworkAccessManager naive;
    const QUrl url(server.baseURL() + QStringLiteral("api/mobile/index.php?action=upload_attachment"));
    naive.cookieJar()->setCookiesFromUrl(state.api()->cookieJar()->cookiesForUrl(url), url);
    QByteArray naiveAnswer;
    const Figure inMemory = measure([&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QJsonObject document{{"maintenanceNo", number},
                                   {"name", "evidence.pdf"},
                                   {"mime", "application/pdf"},
                                   {"purpose", "service_acceptance"},
                                   {"contentBase64", QString::fromLatin1(file.readAll().toBase64())}};
        naiveAnswer =
            QCoro::waitFor(naivePost(naive, url, QJsonDocument(document).toJson(QJsonDocument::Compact)));
    });
    std::printf("naive: read whole, Base64, JSON document, post: peak +%.1f MB, %lld ms, %.0f MB/s (%s)\n",
                inMemory.peakMb, inMemory.ms, mbPerSecond(bodyBytes, inMemory.ms),
                naiveAnswer.left(120).constData());
    std::printf("upload_peak_mb %.1f\n", streamed.peakMb);
    return result.contains(QStringLiteral("تم")) ? 0 : 1;
}
