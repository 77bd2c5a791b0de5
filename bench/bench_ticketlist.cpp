// The ticket list at 10,000 realistic rows (the generator of tests/support/ticketrows.h):
//   - loading the decoded records into the state's model;
//   - typing an 8-character query into the filter, per keystroke (filter and proxy update),
//     median, p95 and max, beside a bare QStringView::contains loop over the same folded texts;
//   - the same query with the quick filter on the tickets breached or near their service level
//     and an order chosen (least remaining time, priority rank), per keystroke; the cost of
//     choosing an order; a refresh that changes 10 rows' remaining times with an order on;
//   - a refresh with 10 changed rows, and the signals a view receives from it (no reset);
//   - the time from setTickets to the first frame of the tickets screen, offscreen;
//   - the memory the rows hold, beside the size of the answer.
// Prints figures and asserts nothing; the last line is "filter_p95_ms <value>".

#include "frameui.h"
#include "hostileserver.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "records/records.h"
#include "testenv.h"
#include "ticketfilter.h"
#include "ticketrows.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>

using namespace kalvorin;

namespace {

constexpr int kRows = 10000;
constexpr int kRounds = 25;

double ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

struct Spread {
    double median, p95, max;
};

Spread spread(QList<double> values) {
    std::sort(values.begin(), values.end());
    return {values.at(values.size() / 2), values.at(int(values.size() * 0.95)), values.last()};
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    test::prepareEnvironment();
    ui::prepareApplication(app);

    const QByteArray answer = test::ticketsAnswer(kRows);
    Result<TicketsResponse> decoded = json::decode<TicketsResponse>(answer);
    if (!decoded) {
        std::fprintf(stderr, "decode failed: %s\n", qPrintable(decoded.description()));
        return 1;
    }

    // ---- load, and the memory the rows hold ----
    MobileAppState state;
    ui::installAppState(&state);
    const qint64 before = test::memory::residentKb();
    QElapsedTimer timer;
    timer.start();
    state.setTickets(decoded->tickets);
    const double loadMs = ms(timer);
    const double heldMb = (test::memory::residentKb() - before) / 1024.0;
    const double answerMb = answer.size() / 1048576.0;

    // ---- typing ----
    TicketFilter filter;
    filter.setSourceModel(state.ticketModel());
    const QString query = QStringLiteral("الشبكة ف"); // 8 keystrokes
    QList<double> keystrokes, bare;
    QList<double> perLength(query.size());
    int shown = 0;
    for (int round = 0; round < kRounds; ++round) {
        filter.setSearch(QString());
        for (int length = 1; length <= query.size(); ++length) {
            const QString typed = query.left(length);
            timer.restart();
            filter.setSearch(typed);
            keystrokes << ms(timer);
            shown = filter.rowCount();

            const QString folded = TicketListModel::foldedForSearch(typed);
            timer.restart();
            int found = 0;
            for (int row = 0; row < state.ticketModel()->count(); ++row)
                found += QStringView(state.ticketModel()->searchTextAt(row)).contains(folded);
            bare << ms(timer);
            perLength[length - 1] += keystrokes.last();
            if (round == 0)
                std::printf("  \"%s\": %d rows contain it\n", qPrintable(typed), found);
        }
    }
    filter.setSearch(QString());
    std::printf("keystroke means:");
    for (double total : perLength)
        std::printf(" %.2f", total / kRounds);
    std::printf(" ms\n");

    // ---- typing with the quick filter and an order on ----
    const auto typeQuery = [&](TicketFilter& into) {
        QList<double> times;
        for (int round = 0; round < kRounds; ++round) {
            into.setSearch(QString());
            for (int length = 1; length <= query.size(); ++length) {
                timer.restart();
                into.setSearch(query.left(length));
                times << ms(timer);
            }
        }
        return times;
    };
    struct Ordered {
        const char* name;
        TicketFilter::Sort sort;
        Spread keystroke;
        int shown;
    };
    QList<Ordered> ordered = {{"least remaining", TicketFilter::LeastRemaining, {}, 0},
                              {"priority rank", TicketFilter::PriorityRank, {}, 0}};
    for (Ordered& o : ordered) {
        TicketFilter atRisk;
        atRisk.setSourceModel(state.ticketModel());
        atRisk.setAtRiskOnly(true);
        atRisk.setOrder(o.sort);
        o.keystroke = spread(typeQuery(atRisk));
        o.shown = atRisk.rowCount();
    }
    // Choosing an order over the whole list, back and forth.
    QList<double> sortChanges;
    {
        TicketFilter sorted;
        sorted.setSourceModel(state.ticketModel());
        for (int round = 0; round < kRounds; ++round)
            for (TicketFilter::Sort sort :
                 {TicketFilter::LeastRemaining, TicketFilter::PriorityRank, TicketFilter::ServerOrder}) {
                timer.restart();
                sorted.setOrder(sort);
                sortChanges << ms(timer);
            }
    }

    // ---- a refresh with 10 changed rows ----
    QList<TicketSummary> refreshed = decoded->tickets;
    for (int i = 0; i < 10; ++i)
        refreshed[i * 997].state = QStringLiteral("مغلق بعد التحديث");
    QSignalSpy resets(state.ticketModel(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(state.ticketModel(), &QAbstractItemModel::dataChanged);
    QSignalSpy inserts(state.ticketModel(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removals(state.ticketModel(), &QAbstractItemModel::rowsRemoved);
    timer.restart();
    state.setTickets(refreshed);
    const double refreshMs = ms(timer);
    const qlonglong refreshChanges = changes.size(), refreshInserts = inserts.size(),
                    refreshRemovals = removals.size(), refreshResets = resets.size();

    // ---- a refresh with 10 rows' remaining times changed, with an order on ----
    double sortedRefreshMs = 0;
    qlonglong sortedMoves = 0, sortedResets = 0;
    {
        TicketFilter sorted;
        sorted.setSourceModel(state.ticketModel());
        sorted.setAtRiskOnly(true);
        sorted.setOrder(TicketFilter::LeastRemaining);
        QList<TicketSummary> later = refreshed;
        for (int i = 0; i < 10; ++i)
            if (later[i * 997 + 1].sla)
                later[i * 997 + 1].sla->remaining = 5 + i;
        QSignalSpy moves(&sorted, &QAbstractItemModel::rowsMoved);
        QSignalSpy sortedReset(&sorted, &QAbstractItemModel::modelReset);
        timer.restart();
        state.setTickets(later);
        sortedRefreshMs = ms(timer);
        sortedMoves = moves.size();
        sortedResets = sortedReset.size();
    }

    // ---- the first frame of the tickets screen ----
    MobileAppState fresh;
    ui::installAppState(&fresh);
    QQuickView view;
    ui::addImportPaths(*view.engine());
    QQmlComponent component(view.engine());
    component.setData("import QtQuick\nimport Kalvorin.Overview\nTicketsScreen { width: 390; height: 844; "
                      "LayoutMirroring.enabled: true; LayoutMirroring.childrenInherit: true }",
                      QUrl(QStringLiteral("qrc:/bench/Tickets.qml")));
    auto* screen = qobject_cast<QQuickItem*>(component.create());
    if (!screen) {
        std::fprintf(stderr, "the tickets screen could not be created\n");
        return 1;
    }
    view.setContent(QUrl(), &component, screen);
    view.resize(390, 844);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    QTest::qWait(300);
    bool framed = false;
    QObject::connect(&view, &QQuickWindow::frameSwapped, [&] { framed = true; });
    timer.restart();
    fresh.setTickets(decoded->tickets);
    framed = QTest::qWaitFor([&] { return framed; }, 5000);
    const double firstFrameMs = ms(timer);

    // ---- typing into the screen's own filter, with its list view taking every change ----
    auto* screenFilter = qvariant_cast<TicketFilter*>(screen->property("filter"));
    QList<double> viewed;
    for (int round = 0; screenFilter && round < 5; ++round) {
        screenFilter->setSearch(QString());
        QTest::qWait(20);
        for (int length = 1; length <= query.size(); ++length) {
            timer.restart();
            screenFilter->setSearch(query.left(length));
            viewed << ms(timer);
            QTest::qWait(20); // the view lays itself out and draws between keystrokes
        }
    }

    const Spread typed = spread(keystrokes);
    const Spread loop = spread(bare);
    std::printf("rows %d, answer %.1f MB\n", kRows, answerMb);
    std::printf("load into the model      %7.2f ms\n", loadMs);
    std::printf(
        "keystroke (filter+proxy) median %6.2f  p95 %6.2f  max %6.2f ms  (%d of %d rows shown at the end)\n",
        typed.median, typed.p95, typed.max, shown, kRows);
    const Spread withView = spread(viewed);
    std::printf("keystroke with the view median %6.2f  p95 %6.2f  max %6.2f ms  (model signals taken by "
                "the list; its layout and drawing come after)\n",
                withView.median, withView.p95, withView.max);
    std::printf("bare contains loop       median %6.2f  p95 %6.2f  max %6.2f ms\n", loop.median, loop.p95,
                loop.max);
    for (const Ordered& o : ordered)
        std::printf("keystroke, at risk only, %s first: median %6.2f  p95 %6.2f  max %6.2f ms  (%d rows "
                    "shown at the end)\n",
                    o.name, o.keystroke.median, o.keystroke.p95, o.keystroke.max, o.shown);
    const Spread sorting = spread(sortChanges);
    std::printf("choosing an order over %d rows: median %6.2f  p95 %6.2f  max %6.2f ms (one layout change)\n",
                kRows, sorting.median, sorting.p95, sorting.max);
    std::printf("refresh, 10 remaining times changed, at risk and least remaining first: %7.2f ms (filter "
                "included): %lld moves, %lld resets\n",
                sortedRefreshMs, sortedMoves, sortedResets);
    std::printf(
        "refresh, 10 rows changed %7.2f ms: %lld dataChanged, %lld inserted, %lld removed, %lld resets\n",
        refreshMs, refreshChanges, refreshInserts, refreshRemovals, refreshResets);
    std::printf("setTickets to first frame %6.2f ms%s\n", firstFrameMs, framed ? "" : " (no frame seen)");
    std::printf("rows held %.1f MB = %.2f x the answer%s\n", heldMb, heldMb / answerMb,
                test::memory::meaningful() ? "" : " (not meaningful under AddressSanitizer)");
    std::printf("filter_p95_ms %.2f\n", typed.p95);
    return 0;
}
