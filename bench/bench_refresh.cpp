// How long a full refresh takes next to one single request, against the
// development server with 200 ms of latency on every action. The five
// requests of a refresh travel together, so the ratio should stay near 1.

#include "e2esupport.h"
#include "mobileappstate.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <qcorotask.h>

using namespace kalvorin;

namespace {

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

template <class F> QList<double> timeRuns(int runs, F&& body) {
    QList<double> out;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        body();
        out.append(clock.nsecsElapsed() / 1e6);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::prepareEnvironment();
    QTextStream out(stdout);
#ifndef KALVORIN_DEVSERVER_BIN
    out << "the development server is not part of this build\n";
    return 1;
#else
    const int latencyMs = 200;
    const int runs = 7;
    e2e::RunningServer server;
    if (!server.start({QStringLiteral("--latency"), QString::number(latencyMs)})) {
        out << "could not start the development server:\n" << server.output() << "\n";
        return 1;
    }
    MobileAppState state;
    state.setServerURL(server.baseURL());
    QCoro::waitFor(state.login(e2e::kAdmin, e2e::kAdminPassword, true));
    if (!state.user()) {
        out << "sign-in failed: " << state.errorMessage() << "\n";
        return 1;
    }

    const QList<double> single = timeRuns(runs, [&] {
        QCoro::waitFor(state.api()->send<StatusResponse>(state.serverURL(), QStringLiteral("status"),
                                                         QStringLiteral("GET")));
    });
    const QList<double> refresh = timeRuns(runs, [&] { QCoro::waitFor(state.refreshAll()); });

    const double singleMs = median(single);
    const double refreshMs = median(refresh);
    out << "server latency per action: " << latencyMs << " ms, runs: " << runs << "\n";
    out << "single request (status), median: " << QString::number(singleMs, 'f', 1) << " ms\n";
    out << "refreshAll (5 requests), median: " << QString::number(refreshMs, 'f', 1) << " ms\n";
    out << "tickets loaded: " << state.tickets().size() << ", notifications: " << state.notifications().size()
        << "\n";
    out << "ratio " << QString::number(refreshMs / singleMs, 'f', 3) << "\n";
    return 0;
#endif
}
