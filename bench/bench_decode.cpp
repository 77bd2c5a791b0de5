// How much the strict reading into records costs on top of parsing the JSON.
//
// Builds a `tickets` answer of 10,000 rows with every member of a row present
// (the generator of tests/support/ticketrows.h),
// then times on the same bytes QJsonDocument::fromJson alone and the whole
// strict decode into TicketsResponse. Prints both medians, their throughput,
// and as the last line "ratio <full/parse>" (of thread CPU time). Asserts nothing.

#include "records/records.h"
#include "ticketrows.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kalvorin;

namespace {

constexpr int kRows = 10000;
constexpr int kRepetitions = 15;

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Timing {
    double wallMs = 0; // what a user waits on an idle machine
    double cpuMs = 0;  // this thread's own time: steady while other programs load the machine
};

// Times only `run`; whatever it produced is destroyed outside the measured span.
template <class F> Timing measure(F&& run) {
    QList<double> wall, cpu;
    for (int r = 0; r < kRepetitions; ++r) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        [[maybe_unused]] auto produced = run();
        wall.append(timer.nsecsElapsed() / 1e6);
        cpu.append(threadCpuMs() - cpuStart);
    }
    return {median(wall), median(cpu)};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray body = kalvorin::test::ticketsAnswer(kRows);
    const double megabytes = body.size() / 1e6;

    // Both runs must really read the answer; a failure makes the figures meaningless.
    const Result<TicketsResponse> check = json::decode<TicketsResponse>(body);
    if (!check || check->tickets.size() != kRows || !check->tickets.last().sla) {
        std::fprintf(stderr, "decode failed: %s\n", qPrintable(check.description()));
        return 1;
    }

    // One untimed run of each warms the allocator and the caches.
    (void)QJsonDocument::fromJson(body);
    (void)json::decode<TicketsResponse>(body);

    // The full decode parses and then frees its document, so parsing alone is
    // timed the same way: the document is freed inside the measured span.
    const Timing parse = measure([&] { return QJsonDocument::fromJson(body).isObject(); });
    const Timing full = measure([&] { return json::decode<TicketsResponse>(body); });

    std::printf("answer %.2f MB, %d rows, median of %d runs\n", megabytes, kRows, kRepetitions);
    std::printf("parse only   wall %7.2f ms %6.1f MB/s   cpu %7.2f ms %6.1f MB/s\n", parse.wallMs,
                megabytes / (parse.wallMs / 1000), parse.cpuMs, megabytes / (parse.cpuMs / 1000));
    std::printf("full decode  wall %7.2f ms %6.1f MB/s   cpu %7.2f ms %6.1f MB/s\n", full.wallMs,
                megabytes / (full.wallMs / 1000), full.cpuMs, megabytes / (full.cpuMs / 1000));
    std::printf("wall ratio %.2f\n", full.wallMs / parse.wallMs);
    // The ratio of thread time: wall times swing with whatever else runs on the machine.
    std::printf("ratio %.2f\n", full.cpuMs / parse.cpuMs);
    return 0;
}
