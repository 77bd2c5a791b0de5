// The overview screens' rules without a window: the ticket filter and its menus, what a ticket
// row shows, the dashboard's counters, shares and ring, and the list models' updates by identity
// (checked by QAbstractItemModelTester and by the signals a view would receive).

#include "dashboardoverview.h"
#include "mobileappstate.h"
#include "notificationlistmodel.h"
#include "testenv.h"
#include "ticketfilter.h"
#include "ticketlistmodel.h"
#include "ticketnumberindex.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>
#include <limits>

using namespace kalvorin;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

TicketSummary ticket(const QString& number, std::optional<QString> title = {},
                     std::optional<QString> priority = {}, std::optional<QString> state = {},
                     std::optional<QString> scope = {}) {
    TicketSummary t;
    t.maintenanceNo = number;
    t.title = std::move(title);
    t.priority = std::move(priority);
    t.state = std::move(state);
    t.scope = std::move(scope);
    return t;
}

// What a view holds after the model's signals: the numbers in row order.
QStringList numbers(const QAbstractItemModel& model) {
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.index(row, 0).data(TicketListModel::MaintenanceNoRole).toString();
    return out;
}

QList<TicketSummary> numbered(const QStringList& numbers) {
    QList<TicketSummary> out;
    for (const QString& n : numbers)
        out << ticket(n, QStringLiteral("عنوان ") + n);
    return out;
}

} // namespace

class OverviewRulesTest : public QObject {
    Q_OBJECT

private slots:
    // ---- the ticket filter ------------------------------------------------------

    void filterTests_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("shown");
        const QString all = TicketFilter::kAllPriorities;
        const QString allStates = TicketFilter::kAllStates;
        QTest::newRow("nothing typed")
            << "" << all << allStates << QStringList{"MNT-1001", "MNT-2002", "X-3"};
        QTest::newRow("only spaces and a line break")
            << "  \n " << all << allStates << QStringList{"MNT-1001", "MNT-2002", "X-3"};
        QTest::newRow("lower-case Latin finds upper-case")
            << "printer" << all << allStates << QStringList{"MNT-1001"};
        QTest::newRow("middle digits of the number")
            << "00" << all << allStates << QStringList{"MNT-1001", "MNT-2002"};
        QTest::newRow("the scope text is searched")
            << "الشبكات" << all << allStates << QStringList{"MNT-2002"};
        QTest::newRow("the beneficiary is not") << "نورة" << all << allStates << QStringList{};
        QTest::newRow("the state is not") << "مغلق" << all << allStates << QStringList{};
        QTest::newRow("a trailing space matches only where one stands")
            << "MNT-1001 " << all << allStates << QStringList{"MNT-1001"};
        QTest::newRow("a trailing space after the last word")
            << "الشبكات " << all << allStates << QStringList{};
        QTest::newRow("whole-text priority") << ""
                                             << "عالية" << allStates << QStringList{"MNT-2002"};
        QTest::newRow("no priority is hidden by a filter") << ""
                                                           << "حرجة" << allStates << QStringList{};
        QTest::newRow("any priority text, compared whole") << ""
                                                           << "high" << allStates << QStringList{"X-3"};
        QTest::newRow("whole-text state") << "" << all << "مغلق" << QStringList{"MNT-1001"};
        QTest::newRow("all three") << "mnt"
                                   << "عالية"
                                   << "جديد" << QStringList{"MNT-2002"};
    }
    void filterTests() {
        QFETCH(QString, search);
        QFETCH(QString, priority);
        QFETCH(QString, state);
        QFETCH(QStringList, shown);
        TicketSummary first =
            ticket("MNT-1001", QStringLiteral("PRINTER لا تعمل"), QStringLiteral("عالية جداً"),
                   QStringLiteral("مغلق"), QStringLiteral("إدارة الدعم / قسم الأجهزة"));
        first.beneficiaryName = QStringLiteral("نورة العتيبي");
        const TicketSummary second = ticket("MNT-2002", QStringLiteral("بطء"), QStringLiteral("عالية"),
                                            QStringLiteral("جديد"), QStringLiteral("إدارة الشبكات"));
        const TicketSummary third = ticket("X-3", std::nullopt, QStringLiteral("high"));
        TicketListModel model;
        model.setTickets({first, second, third});
        TicketFilter filter;
        QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&model);
        QSignalSpy resets(&filter, &QAbstractItemModel::modelReset);
        filter.setSearch(search);
        filter.setPriority(priority);
        filter.setState(state);
        QCOMPARE(numbers(filter), shown);
        QCOMPARE(filter.count(), shown.size());
        QCOMPARE(resets.size(), 0);
        // The rule on a single ticket agrees with the list.
        for (int row = 0; row < model.count(); ++row)
            QCOMPARE(
                TicketFilter::accepts(model.ticketAt(row), model.searchTextAt(row), search, priority, state),
                shown.contains(model.ticketAt(row).maintenanceNo));
    }

    // The quick filter and the orders, alone and with the search and the two filters. Each row is
    // applied twice: the order chosen before the rest, and after it.
    void serviceLevel_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("atRisk");
        QTest::addColumn<int>("sort");
        QTest::addColumn<QStringList>("shown");
        const QString all = TicketFilter::kAllPriorities;
        const QString allStates = TicketFilter::kAllStates;
        const QString fresh = QStringLiteral("جديد");
        QTest::newRow("the server's order")
            << "" << all << allStates << false << int(TicketFilter::ServerOrder)
            << QStringList{"S-1", "S-2", "S-3", "S-4", "S-5", "S-6", "S-7", "S-8"};
        QTest::newRow("breached or near") << "" << all << allStates << true << int(TicketFilter::ServerOrder)
                                          << QStringList{"S-1", "S-2", "S-6", "S-7", "S-8"};
        QTest::newRow("least remaining first, none last, ties as the server sent them")
            << "" << all << allStates << false << int(TicketFilter::LeastRemaining)
            << QStringList{"S-7", "S-2", "S-1", "S-6", "S-3", "S-4", "S-5", "S-8"};
        QTest::newRow("priority rank, unknown and absent names last")
            << "" << all << allStates << false << int(TicketFilter::PriorityRank)
            << QStringList{"S-2", "S-6", "S-3", "S-8", "S-7", "S-1", "S-4", "S-5"};
        QTest::newRow("at risk, least remaining")
            << "" << all << allStates << true << int(TicketFilter::LeastRemaining)
            << QStringList{"S-7", "S-2", "S-1", "S-6", "S-8"};
        QTest::newRow("at risk, searched, least remaining")
            << "شبكة" << all << allStates << true << int(TicketFilter::LeastRemaining)
            << QStringList{"S-2", "S-6", "S-8"};
        QTest::newRow("at risk, one state, by priority")
            << "" << all << fresh << true << int(TicketFilter::PriorityRank)
            << QStringList{"S-2", "S-8", "S-7", "S-1"};
        QTest::newRow("one priority, by priority: the server's order")
            << "" << QStringLiteral("عالية") << allStates << false << int(TicketFilter::PriorityRank)
            << QStringList{"S-3", "S-8"};
        QTest::newRow("everything at once") << "طابعة" << QStringLiteral("متوسطة") << fresh << true
                                            << int(TicketFilter::LeastRemaining) << QStringList{"S-7"};
        QTest::newRow("nothing at risk matches")
            << "طلب" << all << allStates << true << int(TicketFilter::PriorityRank) << QStringList{};
    }
    void serviceLevel() {
        QFETCH(QString, search);
        QFETCH(QString, priority);
        QFETCH(QString, state);
        QFETCH(bool, atRisk);
        QFETCH(int, sort);
        QFETCH(QStringList, shown);
        const auto sla = [](std::optional<qint64> remaining, std::optional<bool> breached,
                            std::optional<bool> near) {
            TicketSLA s;
            s.remaining = remaining;
            s.breached = breached;
            s.near = near;
            return s;
        };
        const QString fresh = QStringLiteral("جديد");
        QList<TicketSummary> tickets = {
            ticket("S-1", QStringLiteral("طابعة القسم"), QStringLiteral("منخفضة"), fresh),
            ticket("S-2", QStringLiteral("انقطاع الشبكة"), QStringLiteral("حرجة"), fresh),
            ticket("S-3", QStringLiteral("الشبكة بطيئة"), QStringLiteral("عالية"), fresh),
            ticket("S-4", QStringLiteral("طلب جهاز")),
            ticket("S-5", QStringLiteral("الشبكة"), QStringLiteral("عاجلة"), fresh),
            ticket("S-6", QStringLiteral("شبكة المبنى"), QStringLiteral("حرجة جداً"), QStringLiteral("مغلق")),
            ticket("S-7", QStringLiteral("طابعة"), QStringLiteral("متوسطة"), fresh),
            ticket("S-8", QStringLiteral("الشبكة اللاسلكية"), QStringLiteral("عالية"), fresh),
        };
        tickets[0].sla = sla(30, std::nullopt, true);
        tickets[1].sla = sla(0, true, false);
        tickets[2].sla = sla(600, false, false);
        tickets[4].sla = sla(std::nullopt, std::nullopt, std::nullopt);
        tickets[4].sla->percent = 50;
        tickets[5].sla = sla(30, false, true);
        tickets[6].sla = sla(-15, true, std::nullopt);
        tickets[7].sla = sla(std::nullopt, true, std::nullopt);
        TicketListModel model;
        model.setTickets(tickets);
        QCOMPARE(model.atRiskCount(), 5);
        QCOMPARE(model.breachedCount(), 3);
        for (bool sortFirst : {true, false}) {
            TicketFilter filter;
            QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
            filter.setSourceModel(&model);
            QSignalSpy resets(&filter, &QAbstractItemModel::modelReset);
            if (sortFirst)
                filter.setOrder(TicketFilter::Sort(sort));
            filter.setAtRiskOnly(atRisk);
            filter.setSearch(search);
            filter.setPriority(priority);
            filter.setState(state);
            if (!sortFirst)
                filter.setOrderLabel(TicketFilter::sortLabels().at(sort));
            QCOMPARE(filter.order(), TicketFilter::Sort(sort));
            QCOMPARE(numbers(filter), shown);
            QCOMPARE(filter.count(), shown.size());
            QCOMPARE(filter.atRiskCount(), 5);
            QCOMPARE(resets.size(), 0);
        }
        for (int row = 0; row < model.count(); ++row)
            QCOMPARE(TicketFilter::accepts(model.ticketAt(row), model.searchTextAt(row), search, priority,
                                           state, atRisk),
                     shown.contains(model.ticketAt(row).maintenanceNo));
    }

    // With an order chosen, the filter follows the list: a refresh keeps the order, a ticket whose
    // time changes takes its new place. A letter is a ticket, upper case shown and lower case
    // hidden, followed by its remaining minutes ("-" for none).
    void orderFollowsTheList_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing changes") << "A3 B1 C3 D-"
                                         << "A3 B1 C3 D-"
                                         << "BACD";
        QTest::newRow("a time falls") << "A3 B1 C5"
                                      << "A3 B1 C0"
                                      << "CBA";
        QTest::newRow("a time rises") << "A0 B1 C2"
                                      << "A9 B1 C2"
                                      << "BCA";
        QTest::newRow("a time is lost") << "A1 B2"
                                        << "A- B2"
                                        << "BA";
        QTest::newRow("equal times follow the server's new order") << "A1 B1 C1 d1"
                                                                   << "C1 d1 A1 B1"
                                                                   << "CAB";
        QTest::newRow("inserted and removed") << "A2 B4 C6"
                                              << "X5 A2 Y1 C6"
                                              << "YAXC";
        QTest::newRow("hidden and shown swap") << "A2 b1 C3"
                                               << "a2 B1 C0"
                                               << "CB";
        QTest::newRow("a moved row changes its time") << "A1 B2 C3 D4"
                                                      << "D0 A1 C3 B2"
                                                      << "DABC";
    }
    void orderFollowsTheList() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, shown);
        const auto tickets = [](const QString& list) {
            QList<TicketSummary> out;
            for (const QString& item : list.split(u' ')) {
                const QChar letter = item.at(0);
                TicketSummary t = ticket(QString(letter.toUpper()), {}, {},
                                         letter.isUpper() ? QStringLiteral("جديد") : QStringLiteral("مغلق"));
                t.sla = TicketSLA{};
                if (item.at(1) != u'-')
                    t.sla->remaining = item.mid(1).toLongLong();
                out << t;
            }
            return out;
        };
        TicketListModel model;
        model.setTickets(tickets(before));
        TicketFilter filter;
        QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&model);
        filter.setState(QStringLiteral("جديد"));
        QSignalSpy resets(&filter, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&filter, &QAbstractItemModel::layoutChanged);
        // Choosing the order rearranges the rows in place: a row held by a view keeps its ticket.
        const QPersistentModelIndex held = filter.index(0);
        const QString heldNumber = held.data(TicketListModel::MaintenanceNoRole).toString();
        filter.setOrder(TicketFilter::LeastRemaining);
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(held.data(TicketListModel::MaintenanceNoRole).toString(), heldNumber);
        model.setTickets(tickets(after));
        QCOMPARE(numbers(filter).join(QString()), shown);
        QCOMPARE(filter.count(), shown.size());
        QCOMPARE(resets.size(), 0);
        QCOMPARE(layouts.size(), 1);
        // Back to the server's order: the list as sent.
        filter.setOrder(TicketFilter::ServerOrder);
        QString sent;
        for (const QString& item : after.split(u' '))
            if (item.at(0).isUpper())
                sent += item.at(0);
        QCOMPARE(numbers(filter).join(QString()), sent);
    }

    void filterMenus_data() {
        QTest::addColumn<QVariant>("references");
        QTest::addColumn<QStringList>("priorities");
        QTest::addColumn<QStringList>("states");
        const QStringList builtIn = {"كل الأولويات", "حرجة", "عالية", "متوسطة", "منخفضة"};
        QTest::newRow("before reference data") << QVariant() << builtIn << QStringList{"كل الحالات"};
        QTest::newRow("no lists held")
            << QVariant(QVariantMap{{"ok", true}}) << builtIn << QStringList{"كل الحالات"};
        QTest::newRow("the server's lists, repeats once, first place kept")
            << QVariant(QVariantMap{{"ok", true},
                                    {"priorities", QStringList{"عاجل", "كل الأولويات", "عادي", "عاجل"}},
                                    {"statuses", QStringList{"جديد", "مغلق", "جديد"}}})
            << QStringList{"كل الأولويات", "عاجل", "عادي"} << QStringList{"كل الحالات", "جديد", "مغلق"};
        QTest::newRow("an empty list is the server's")
            << QVariant(QVariantMap{{"ok", true}, {"priorities", QStringList{}}})
            << QStringList{"كل الأولويات"} << QStringList{"كل الحالات"};
    }
    void filterMenus() {
        QFETCH(QVariant, references);
        QFETCH(QStringList, priorities);
        QFETCH(QStringList, states);
        TicketFilter filter;
        filter.setReferences(references);
        QCOMPARE(filter.priorityValues(), priorities);
        QCOMPARE(filter.stateValues(), states);
    }

    // ---- a ticket row -------------------------------------------------------------

    void rowValues_data() {
        QTest::addColumn<std::optional<QString>>("priority");
        QTest::addColumn<int>("tint");
        QTest::addColumn<int>("badge");
        QTest::addColumn<QString>("badgeText");
        QTest::newRow("critical") << std::optional<QString>("حرجة") << int(Tone::Red) << int(Tone::Red)
                                  << "حرجة";
        QTest::newRow("very critical")
            << std::optional<QString>("حرجة جداً") << int(Tone::Red) << int(Tone::Red) << "حرجة جداً";
        QTest::newRow("high") << std::optional<QString>("عالية") << int(Tone::Orange) << int(Tone::Orange)
                              << "عالية";
        QTest::newRow("medium: teal row, gold badge")
            << std::optional<QString>("متوسطة") << int(Tone::Teal) << int(Tone::Gold) << "متوسطة";
        QTest::newRow("low") << std::optional<QString>("منخفضة") << int(Tone::Green) << int(Tone::Green)
                             << "منخفضة";
        QTest::newRow("absent") << std::optional<QString>() << int(Tone::Green) << int(Tone::Green)
                                << "غير محدد";
        QTest::newRow("empty") << std::optional<QString>("") << int(Tone::Green) << int(Tone::Green)
                               << "غير محدد";
    }
    void rowValues() {
        QFETCH(std::optional<QString>, priority);
        QFETCH(int, tint);
        QFETCH(int, badge);
        QFETCH(QString, badgeText);
        TicketListModel model;
        model.setTickets({ticket("A", std::nullopt, priority)});
        const QModelIndex row = model.index(0);
        QCOMPARE(row.data(TicketListModel::TintRole).toInt(), tint);
        QCOMPARE(row.data(TicketListModel::BadgeToneRole).toInt(), badge);
        QCOMPARE(row.data(TicketListModel::BadgeTextRole).toString(), badgeText);
        // The fallbacks of a ticket that carries nothing else.
        QCOMPARE(row.data(TicketListModel::TitleTextRole).toString(), QStringLiteral("بلاغ دعم فني"));
        QCOMPARE(row.data(TicketListModel::StateTextRole).toString(), QStringLiteral("غير محدد"));
        QCOMPARE(row.data(TicketListModel::ScopeTextRole).toString(), QStringLiteral("لا توجد جهة"));
        QCOMPARE(row.data(TicketListModel::AttachmentsRole).toString(), QStringLiteral("0"));
        QVERIFY(!row.data(TicketListModel::TitleRole).isValid());
    }

    void rowScopeIsCompact() {
        TicketSummary t = ticket("A", QStringLiteral(""), std::nullopt, QStringLiteral("جديد"),
                                 QStringLiteral("إدارة الدعم الفني › قسم صيانة الأجهزة"));
        t.attachmentCount = 3;
        TicketListModel model;
        model.setTickets({t});
        QCOMPARE(model.index(0).data(TicketListModel::ScopeTextRole).toString(),
                 QStringLiteral("قسم صيانة الأجهزة"));
        QCOMPARE(model.index(0).data(TicketListModel::TitleTextRole).toString(), QString()); // present, empty
        QCOMPARE(model.index(0).data(TicketListModel::StateTextRole).toString(), QStringLiteral("جديد"));
        QCOMPARE(model.index(0).data(TicketListModel::AttachmentsRole).toString(), QStringLiteral("3"));
    }

    // ---- the dashboard ------------------------------------------------------------

    void distribution_data() {
        QTest::addColumn<QVariantMap>("distribution");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QStringList>("texts");
        // Arcs as "start+sweep", "-" when not drawn.
        QTest::addColumn<QStringList>("arcs");
        QTest::newRow("nothing yet") << QVariantMap{} << qint64(0)
                                     << QStringList{"0 (0%)", "0 (0%)", "0 (0%)", "0 (0%)"}
                                     << QStringList{"-", "-", "-", "-"};
        QTest::newRow("very critical stands for critical")
            << QVariantMap{{"حرجة جداً", 3}} << qint64(12)
            << QStringList{"3 (25%)", "0 (0%)", "0 (0%)", "0 (0%)"} << QStringList{"-90+90", "-", "-", "-"};
        QTest::newRow("critical wins over very critical")
            << QVariantMap{{"حرجة", 1}, {"حرجة جداً", 3}} << qint64(4)
            << QStringList{"1 (25%)", "0 (0%)", "0 (0%)", "0 (0%)"} << QStringList{"-90+90", "-", "-", "-"};
        QTest::newRow("shares truncated; arcs follow each other")
            << QVariantMap{{"عالية", 1}, {"متوسطة", 2}} << qint64(3)
            << QStringList{"0 (0%)", "1 (33%)", "2 (66%)", "0 (0%)"}
            << QStringList{"-", "-90+120", "30+240", "-"};
        QTest::newRow("counts above the total: a full ring, shares past 100%")
            << QVariantMap{{"منخفضة", 5}, {"عالية", 1}} << qint64(2)
            << QStringList{"0 (0%)", "1 (50%)", "0 (0%)", "5 (250%)"}
            << QStringList{"-", "-90+180", "-", "90+360"};
        QTest::newRow("a total of 0 with counts: an empty ring, 0% shares")
            << QVariantMap{{"حرجة", 4}} << qint64(0) << QStringList{"4 (0%)", "0 (0%)", "0 (0%)", "0 (0%)"}
            << QStringList{"-", "-", "-", "-"};
        QTest::newRow("negative counts draw nothing")
            << QVariantMap{{"حرجة", -2}, {"عالية", 2}} << qint64(4)
            << QStringList{"-2 (-50%)", "2 (50%)", "0 (0%)", "0 (0%)"}
            << QStringList{"-", "-90+180", "-", "-"};
    }
    void distribution() {
        QFETCH(QVariantMap, distribution);
        QFETCH(qint64, total);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, arcs);
        QMap<QString, qint64> counts;
        for (auto it = distribution.begin(); it != distribution.end(); ++it)
            counts.insert(it.key(), it.value().toLongLong());
        const QList<OverviewRow> rows = DashboardOverview::distributionRows(counts, total);
        QStringList gotTexts, gotArcs, labels;
        for (const OverviewRow& row : rows) {
            labels << row.label;
            gotTexts << row.countText;
            gotArcs << (row.drawn ? QStringLiteral("%1+%2").arg(row.startAngle).arg(row.sweepAngle) : "-");
        }
        QCOMPARE(labels, (QStringList{"حرجة", "عالية", "متوسطة", "منخفضة"}));
        QCOMPARE(gotTexts, texts);
        QCOMPARE(gotArcs, arcs);
    }

    void shareBeyond64Bits() {
        constexpr qint64 max = std::numeric_limits<qint64>::max();
        QCOMPARE(DashboardOverview::share(max, 1), max);
        QCOMPARE(DashboardOverview::share(std::numeric_limits<qint64>::min(), 1),
                 std::numeric_limits<qint64>::min());
        QCOMPARE(DashboardOverview::share(max / 10, 1), max);
        QCOMPARE(DashboardOverview::share(-(max / 10), 1), std::numeric_limits<qint64>::min());
        QCOMPARE(DashboardOverview::share(1, max), qint64(0));
    }

    void overviewFollowsItsData() {
        DashboardOverview overview;
        QCOMPARE(overview.metrics()->rowCount(), 4);
        for (const OverviewRow& row : overview.metrics()->rows())
            QCOMPARE(row.countText, QStringLiteral("0"));
        QVERIFY(!overview.connected());

        DashboardResponse answer;
        answer.ok = true;
        answer.summary = DashboardSummary{
            .total = 9, .critical = 2, .processing = std::nullopt, .closedToday = 1, .open = 7};
        MobileUser fromDashboard;
        fromDashboard.name = QStringLiteral("سارة");
        answer.user = fromDashboard;
        MobileUser signedIn;
        signedIn.name = QStringLiteral("علي");
        StatusResponse status;
        status.ok = true;
        overview.update(answer, signedIn, status);
        QStringList values;
        for (const OverviewRow& row : overview.metrics()->rows())
            values << row.label + u'=' + row.countText;
        QCOMPARE(values, (QStringList{"البلاغات المفتوحة=7", "البلاغات الحرجة=2", "قيد المعالجة=0",
                                      "مغلقة اليوم=1"}));
        QCOMPARE(overview.totalText(), QStringLiteral("9"));
        QCOMPARE(overview.user()->name, fromDashboard.name);
        QVERIFY(overview.connected());

        // The same data again changes nothing on the screens.
        QSignalSpy total(&overview, &DashboardOverview::totalChanged);
        QSignalSpy user(&overview, &DashboardOverview::userChanged);
        QSignalSpy metrics(overview.metrics(), &QAbstractItemModel::dataChanged);
        overview.update(answer, signedIn, status);
        QCOMPARE(total.size() + user.size() + metrics.size(), 0);

        answer.user.reset();
        status.ok = false;
        overview.update(answer, signedIn, status);
        QCOMPARE(overview.user()->name, signedIn.name);
        QVERIFY(!overview.connected());
    }

    // ---- updates by identity --------------------------------------------------------

    void replaceByIdentity_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("changed"); // numbers whose content changes
        QTest::addColumn<int>("dataChanges");
        QTest::newRow("the same list")
            << QStringList{"A", "B", "C"} << QStringList{"A", "B", "C"} << QStringList{} << 0;
        QTest::newRow("one row changed")
            << QStringList{"A", "B", "C"} << QStringList{"A", "B", "C"} << QStringList{"B"} << 1;
        QTest::newRow("first load") << QStringList{} << QStringList{"A", "B"} << QStringList{} << 0;
        QTest::newRow("inserted and removed")
            << QStringList{"A", "B", "C", "D"} << QStringList{"X", "A", "C", "Y"} << QStringList{"C"} << 1;
        QTest::newRow("reordered") << QStringList{"A", "B", "C", "D"} << QStringList{"D", "C", "B", "A"}
                                   << QStringList{} << 0;
        QTest::newRow("duplicates from the server")
            << QStringList{"A", "A", "B"} << QStringList{"B", "A", "A", "A"} << QStringList{} << 0;
        QTest::newRow("emptied") << QStringList{"A", "B"} << QStringList{} << QStringList{} << 0;
    }
    void replaceByIdentity() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, changed);
        QFETCH(int, dataChanges);
        TicketListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TicketFilter filter; // a proxy over it stays consistent too
        QAbstractItemModelTester proxyTester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&model);
        model.setTickets(numbered(before));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        QList<TicketSummary> next = numbered(after);
        for (TicketSummary& t : next)
            if (changed.contains(t.maintenanceNo))
                t.title = QStringLiteral("عنوان جديد");
        model.setTickets(next);
        QCOMPARE(numbers(model), after);
        QCOMPARE(numbers(filter), after);
        for (int row = 0; row < model.count(); ++row) {
            QCOMPARE(model.ticketAt(row), next.at(row));
            // Inserted and changed rows are searched by their new texts.
            QCOMPARE(model.searchTextAt(row),
                     TicketListModel::foldedForSearch(TicketListModel::searchedText(next.at(row))));
        }
        QCOMPARE(resets.size() + layouts.size(), 0);
        QCOMPARE(changes.size(), dataChanges);
    }

    // The filter follows the list's inserts, removals, moves and changed rows while it hides
    // some: an upper-case letter is a shown ticket, its lower-case twin the same ticket hidden.
    void filterFollowsTheList_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("reversed with hidden rows between") << "AbCdE"
                                                           << "EdCbA";
        QTest::newRow("a shown row hidden, a hidden one shown") << "AbC"
                                                                << "aBC";
        QTest::newRow("inserted and removed around hidden rows") << "AbCd"
                                                                 << "XbyCZ";
        QTest::newRow("only a hidden row moves") << "AbC"
                                                 << "bAC";
        QTest::newRow("a shown row moves past hidden ones") << "AbcdE"
                                                            << "bcdEA";
        QTest::newRow("duplicates from the server") << "AaB"
                                                    << "aAAb";
        QTest::newRow("all hidden, then all shown") << "abc"
                                                    << "CBA";
    }
    void filterFollowsTheList() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const auto tickets = [](const QString& letters) {
            QList<TicketSummary> out;
            for (QChar letter : letters)
                out << ticket(QString(letter.toUpper()), {}, {},
                              letter.isUpper() ? QStringLiteral("جديد") : QStringLiteral("مغلق"));
            return out;
        };
        TicketListModel model;
        model.setTickets(tickets(before));
        TicketFilter filter;
        QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&model);
        filter.setState(QStringLiteral("جديد"));
        QSignalSpy resets(&filter, &QAbstractItemModel::modelReset);
        model.setTickets(tickets(after));
        QStringList shown;
        for (QChar letter : after)
            if (letter.isUpper())
                shown << QString(letter);
        QCOMPARE(numbers(filter), shown);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(filter.count(), shown.size());
    }

    // Typing forwards and back over rows that match in scattered runs: after every keystroke
    // the filter shows exactly the rows the rule accepts, with one count change at most.
    void typingOverScatteredRows() {
        QList<TicketSummary> rows;
        for (int i = 0; i < 300; ++i)
            rows << ticket(QStringLiteral("MNT-%1").arg(i * 7919 % 1000, 3, 10, QLatin1Char('0')), {},
                           i % 3 ? QStringLiteral("عالية") : QStringLiteral("منخفضة"));
        TicketListModel model;
        model.setTickets(rows);
        TicketFilter filter;
        QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&model);
        QSignalSpy resets(&filter, &QAbstractItemModel::modelReset);
        const QList<std::pair<QString, QString>> steps = {
            {"1", TicketFilter::kAllPriorities},      {"12", TicketFilter::kAllPriorities},
            {"1", TicketFilter::kAllPriorities},      {"1", QStringLiteral("عالية")},
            {"13", QStringLiteral("عالية")},          {"", QStringLiteral("عالية")},
            {" ", TicketFilter::kAllPriorities},      {"mnt-0", TicketFilter::kAllPriorities},
            {"mnt-09", TicketFilter::kAllPriorities}, {"9", TicketFilter::kAllPriorities}};
        for (const auto& [search, priority] : steps) {
            QSignalSpy counts(&filter, &TicketFilter::countChanged);
            filter.setSearch(search);
            filter.setPriority(priority);
            QStringList expected;
            for (int row = 0; row < model.count(); ++row)
                if (TicketFilter::accepts(model.ticketAt(row), model.searchTextAt(row), search, priority,
                                          TicketFilter::kAllStates))
                    expected << model.ticketAt(row).maintenanceNo;
            QCOMPARE(numbers(filter), expected);
            QVERIFY2(counts.size() <= 2, qPrintable(search));
        }
        QCOMPARE(resets.size(), 0);
    }

    void notificationsCountUnread() {
        NotificationListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy unread(&model, &NotificationListModel::unreadCountChanged);
        MobileNotification absent, read, unreadOne;
        absent.id = 1;
        read.id = 2;
        read.isRead = true;
        unreadOne.id = 3;
        unreadOne.isRead = false;
        unreadOne.title = QStringLiteral("بلاغ");
        model.setNotifications({absent, read, unreadOne});
        QCOMPARE(model.unreadCount(), 2);
        QCOMPARE(model.index(0).data(NotificationListModel::UnreadRole).toBool(), true);
        QCOMPARE(model.index(1).data(NotificationListModel::UnreadRole).toBool(), false);
        QCOMPARE(model.index(0).data(NotificationListModel::TitleTextRole).toString(),
                 QStringLiteral("إشعار"));
        QCOMPARE(model.index(0).data(NotificationListModel::BodyTextRole).toString(), QString());
        QCOMPARE(model.index(2).data(NotificationListModel::TitleTextRole).toString(),
                 QStringLiteral("بلاغ"));
        // Read on the next load: the card changes in place.
        absent.isRead = true;
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.setNotifications({absent, read, unreadOne});
        QCOMPARE(model.unreadCount(), 1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(unread.size(), 2);
    }

    // ---- the ticket a notification names ---------------------------------------------------

    // Whole tokens only, against the numbers of the list; the first named in reading order.
    void ticketNamedInText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        const QString n45 = QStringLiteral("MNT-2026-00045");
        QTest::newRow("Arabic around") << QStringLiteral("تم إسناد البلاغ MNT-2026-00045 إليك") << n45;
        QTest::newRow("first word") << QStringLiteral("MNT-2026-00045 أغلق") << n45;
        QTest::newRow("full stop") << QStringLiteral("أغلق البلاغ MNT-2026-00045.") << n45;
        QTest::newRow("Arabic comma") << QStringLiteral("البلاغ MNT-2026-00045، يرجى المتابعة") << n45;
        QTest::newRow("brackets") << QStringLiteral("بلاغ («MNT-2026-00045»)") << n45;
        QTest::newRow("colon, no space") << QStringLiteral("طلب إحالة:MNT-2026-00045") << n45;
        QTest::newRow("isolates around") << QStringLiteral("البلاغ \u2068MNT-2026-00045\u2069 جديد") << n45;
        QTest::newRow("marks, no spaces") << QStringLiteral("البلاغ\u200EMNT-2026-00045\u200F.") << n45;
        QTest::newRow("a longer number") << QStringLiteral("البلاغ MNT-2026-000451 جديد") << QString();
        QTest::newRow("a number after a hyphen") << QStringLiteral("البلاغ MNT-2026-00045-2") << QString();
        QTest::newRow("a digit before") << QStringLiteral("2MNT-2026-00045") << QString();
        QTest::newRow("glued to a word") << QStringLiteral("البلاغMNT-2026-00045") << QString();
        QTest::newRow("another case") << QStringLiteral("mnt-2026-00045") << QString();
        QTest::newRow("the shorter number of the list")
            << QStringLiteral("البلاغ MNT-2026-0004 مغلق") << QStringLiteral("MNT-2026-0004");
        QTest::newRow("two numbers, the first")
            << QStringLiteral("دمج MNT-2026-00046 في MNT-2026-00045") << QStringLiteral("MNT-2026-00046");
        QTest::newRow("unknown, then known") << QStringLiteral("MNT-2026-99999 ثم MNT-2026-00045") << n45;
        QTest::newRow("none") << QStringLiteral("صيانة مجدولة للأنظمة يوم الجمعة") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("a number of two words")
            << QStringLiteral("تحديث على REQ 77 اليوم") << QStringLiteral("REQ 77");
        QTest::newRow("a number of two words, longer") << QStringLiteral("تحديث على REQ 778") << QString();
        QTest::newRow("a number with a sign") << QStringLiteral("الطلب #12 مغلق") << QStringLiteral("#12");
        QTest::newRow("a number with a sign, longer") << QStringLiteral("الطلب #123 مغلق") << QString();
        QTest::newRow("the signed number after another")
            << QStringLiteral("MNT-2026-00046 و #12") << QStringLiteral("MNT-2026-00046");
    }
    void ticketNamedInText() {
        QFETCH(QString, text);
        QFETCH(QString, named);
        const TicketNumberIndex index(
            QStringList{"MNT-2026-00045", "MNT-2026-0004", "MNT-2026-00046", "REQ 77", "#12", ""});
        QCOMPARE(index.namedIn(text), named);
    }

    // The card's ticket: the title's first, else the body's; it follows the list of tickets, and
    // only the rows whose ticket changed tell the view.
    void notificationsFindTheirTicket() {
        MobileAppState state;
        QAbstractItemModelTester tester(state.notificationModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto notification = [](qint64 id, std::optional<QString> title, std::optional<QString> body) {
            MobileNotification n;
            n.id = id;
            n.title = std::move(title);
            n.body = std::move(body);
            return n;
        };
        state.setNotifications(
            {notification(1, QStringLiteral("إغلاق البلاغ MNT-1"), QStringLiteral("وبعده MNT-2")),
             notification(2, QStringLiteral("تحديث على بلاغ"), QStringLiteral("طرأ تحديث على MNT-2.")),
             notification(3, {}, QStringLiteral("أُغلق MNT-3")),
             notification(4, QStringLiteral("صيانة مجدولة"), {})});
        auto ticketNumbers = [&] {
            QStringList out;
            for (int row = 0; row < state.notificationModel()->count(); ++row)
                out << state.notificationModel()
                           ->index(row)
                           .data(NotificationListModel::TicketNumberRole)
                           .toString();
            return out;
        };
        QCOMPARE(ticketNumbers(), (QStringList{"", "", "", ""}));
        QSignalSpy changes(state.notificationModel(), &QAbstractItemModel::dataChanged);
        state.setTickets(numbered({"MNT-1", "MNT-2"}));
        QCOMPARE(ticketNumbers(), (QStringList{"MNT-1", "MNT-2", "", ""}));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.first().at(2).value<QList<int>>(),
                 QList<int>{NotificationListModel::TicketNumberRole});
        QCOMPARE(state.notificationModel()->ticketNumberOf(2), QStringLiteral("MNT-2"));
        QCOMPARE(state.notificationModel()->ticketNumberOf(99), QString());
        // MNT-1 leaves the list: its notification falls back to the body's ticket; MNT-3 arrives.
        changes.clear();
        state.setTickets(numbered({"MNT-2", "MNT-3"}));
        QCOMPARE(ticketNumbers(), (QStringList{"MNT-2", "MNT-2", "MNT-3", ""}));
        QCOMPARE(changes.size(), 2);
        // A notification that arrives later finds its ticket at once.
        state.setNotifications({notification(5, QStringLiteral("بلاغ جديد MNT-3"), {})});
        QCOMPARE(ticketNumbers(), QStringList{"MNT-3"});
    }

    void stateSettersIgnoreEqualValues() {
        MobileAppState state;
        state.setTickets(numbered({"A", "B"}));
        DashboardResponse dashboard;
        dashboard.ok = true;
        state.setDashboard(dashboard);
        QSignalSpy tickets(&state, &MobileAppState::ticketsChanged);
        QSignalSpy dashboards(&state, &MobileAppState::dashboardChanged);
        QSignalSpy rows(state.ticketModel(), &QAbstractItemModel::dataChanged);
        state.setTickets(numbered({"A", "B"}));
        state.setDashboard(dashboard);
        QCOMPARE(tickets.size() + dashboards.size() + rows.size(), 0);
    }
};

KALVORIN_TEST_MAIN(OverviewRulesTest)

#include "tst_overviewrules.moc"
