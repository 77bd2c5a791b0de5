// What a new ticket with five 10 MB attachments costs in memory to submit, beside the naive path.
//
// The form holds the five picked files (50 MB); its submission streams their Base64 into the
// create_ticket body as the request leaves. The naive path builds the same document with the
// Base64 texts in a QJsonObject, serialises it with toJson and posts that. Both go to the
// development server, signed in as a demo agent. Prints each peak resident growth above what is
// resident with the files held (MB) and the time; the last line is "create_peak_mb <streamed>".
// Asserts nothing.

#include "createticketform.h"
#include "e2esupport.h"
#include "hostileserver.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "requestbody.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <qcoronetworkreply.h>
#include <qcorotask.h>
#include <qcorotimer.h>

using namespace kalvorin;
namespace memory = kalvorin::test::memory;

namespace {

constexpr int kFiles = 5;

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

QCoro::Task<int> naivePost(QNetworkAccessManager& network, QUrl url, QByteArray body) {
    QNetworkRequest request(url);
    request.setRawHeader("Content-Type", "application/json; charset=utf-8");
    request.setRawHeader("Accept", "application/json");
    std::unique_ptr<QNetworkReply> reply(network.post(request, body));
    body.clear(); // the manager keeps its own copy while it sends
    co_await qCoro(reply.get()).waitForFinished();
    co_return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

void fill(create::CreateTicketForm& form) {
    form.applyCreateContextIfNeeded();
    form.setNationalId(QStringLiteral("1098765432"));
    form.setBeneficiaryUser(QStringLiteral("bench.beneficiary"));
    form.setBeneficiary(QStringLiteral("مستفيد القياس"));
    form.setContactMobile(QStringLiteral("0550000000"));
    form.setServiceIndex(1);
    form.setTitle(QStringLiteral("بلاغ بمرفقات كبيرة"));
    form.setDescription(QStringLiteral("خمسة مرفقات بحجم عشرة ميغابايت لكل منها"));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KalvorinBench"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_create"));
    QTemporaryDir dir;
    e2e::RunningServer server;
    if (!dir.isValid() || !server.start()) {
        std::fprintf(stderr, "bench_create: the development server did not start\n%s\n",
                     qPrintable(server.output()));
        return 1;
    }

    auto* center = new kalvorin::test::RecordingNotificationCenter;
    MobileAppState state(nullptr, center);
    center->setParent(&state);
    state.setServerURL(server.baseURL());
    QCoro::waitFor(state.login(e2e::kAgent, e2e::kAgentPassword, false));
    if (!state.user() || !state.references()) {
        std::fprintf(stderr, "bench_create: sign-in failed: %s\n", qPrintable(state.errorMessage()));
        return 1;
    }

    // Five files of exactly the limit, picked and held by the form.
    QList<QUrl> picked;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char((i * 131) % 251);
    for (int n = 0; n < kFiles; ++n) {
        QFile file(dir.filePath(QStringLiteral("evidence-%1.bin").arg(n + 1)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 written = 0; written < create::kMaxAttachmentBytes; written += block.size())
            file.write(block);
        picked << QUrl::fromLocalFile(file.fileName());
    }
    create::CreateTicketForm form;
    form.setAppState(&state);
    fill(form);
    form.handleCreateAttachments(picked);
    QCoro::waitFor(QCoro::sleepFor(std::chrono::milliseconds(800))); // the lookups settle first
    qint64 held = 0;
    for (const create::PendingAttachment& a : form.selectedAttachments()->items())
        held += a.data.size();
    if (!form.canSubmit()) {
        std::fprintf(stderr, "bench_create: the form is not complete (rule %d)\n", form.firstFailedRule());
        return 1;
    }

    // The document the naive path posts: the form's own, with the Base64 written out.
    StreamedJson unused;
    QJsonObject document = form.requestDocument(unused);
    QList<QByteArray> contents;
    for (const create::PendingAttachment& a : form.selectedAttachments()->items())
        contents << a.data;

    const Figure streamed = measure([&] { QCoro::waitFor(form.create()); });
    const QString result = form.message();
    const bool created = result.contains(QStringLiteral("تم"));

    QNetworkAccessManager naive;
    naive.setCookieJar(state.api()->cookieJar());
    state.api()->cookieJar()->setParent(state.api()); // still the client's
    const QUrl url = *KalvorinAPI::requestURL(server.baseURL(), QStringLiteral("create_ticket"), {});
    int naiveStatus = 0;
    const Figure inMemory = measure([&] {
        QJsonArray attachments = document.value(QStringLiteral("attachments")).toArray();
        for (qsizetype i = 0; i < attachments.size(); ++i) {
            QJsonObject a = attachments.at(i).toObject();
            a.insert(QStringLiteral("contentBase64"), QString::fromLatin1(contents.at(i).toBase64()));
            attachments.replace(i, a);
        }
        QJsonObject whole = document;
        whole.insert(QStringLiteral("attachments"), attachments);
        naiveStatus =
            QCoro::waitFor(naivePost(naive, url, QJsonDocument(whole).toJson(QJsonDocument::Compact)));
    });

    std::printf("held by the form: %d files, %.1f MB\n", kFiles, double(held) / (1 << 20));
    std::printf("streamed submission and refresh: peak +%.1f MB above the held files, %lld ms (%s)\n",
                streamed.peakMb, streamed.ms, qPrintable(result));
    std::printf("naive: Base64 strings in a QJsonObject, then toJson: peak +%.1f MB, %lld ms (HTTP %d)\n",
                inMemory.peakMb, inMemory.ms, naiveStatus);
    std::printf("create_peak_mb %.1f\n", streamed.peakMb);
    return created ? 0 : 1;
}
