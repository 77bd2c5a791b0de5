#include "dashboardoverview.h"

#include "records/variant.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalvorin {

void OverviewRowsModel::setRows(QList<OverviewRow> rows) {
    replaceRows(m_rows, std::move(rows), [](const OverviewRow& row) { return row.label; });
}

QVariant OverviewRowsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const OverviewRow& row = m_rows.at(index.row());
    switch (role) {
    case LabelRole:
        return row.label;
    case CountRole:
        return QVariant::fromValue(row.count);
    case ToneRole:
        return int(row.tone);
    case CaptionRole:
        return row.caption;
    case SymbolRole:
        return row.symbol;
    case CountTextRole:
        return row.countText;
    case StartAngleRole:
        return row.startAngle;
    case SweepAngleRole:
        return row.sweepAngle;
    case DrawnRole:
        return row.drawn;
    default:
        return {};
    }
}

QHash<int, QByteArray> OverviewRowsModel::roleNames() const {
    return {{LabelRole, "label"},           {CountRole, "count"},           {ToneRole, "tone"},
            {CaptionRole, "caption"},       {SymbolRole, "symbol"},         {CountTextRole, "countText"},
            {StartAngleRole, "startAngle"}, {SweepAngleRole, "sweepAngle"}, {DrawnRole, "drawn"}};
}

DashboardOverview::DashboardOverview(QObject* parent)
    : QObject(parent), m_metrics(new OverviewRowsModel(this)), m_distribution(new OverviewRowsModel(this)),
      m_latest(new TicketListModel(this)) {
    update(std::nullopt, std::nullopt, std::nullopt);
}

void DashboardOverview::update(const std::optional<DashboardResponse>& dashboard,
                               const std::optional<MobileUser>& user,
                               const std::optional<StatusResponse>& status) {
    const std::optional<DashboardSummary> summary = dashboard ? dashboard->summary : std::nullopt;
    const qint64 total = summary ? summary->total.value_or(0) : 0;
    m_metrics->setRows(metricRows(summary));
    m_distribution->setRows(
        distributionRows(dashboard ? dashboard->priorityDistribution.value_or(QMap<QString, qint64>{})
                                   : QMap<QString, qint64>{},
                         total));
    m_latest->setTickets(dashboard ? dashboard->latest.value_or(QList<TicketSummary>{})
                                   : QList<TicketSummary>{});
    if (total != m_total) {
        m_total = total;
        emit totalChanged();
    }
    const std::optional<MobileUser> shown = dashboard && dashboard->user ? dashboard->user : user;
    if (shown != m_user) {
        m_user = shown;
        emit userChanged();
    }
    const bool connected = status && status->ok;
    if (connected != m_connected) {
        m_connected = connected;
        emit connectedChanged();
    }
}

QVariant DashboardOverview::userVariant() const {
    return toVariant(m_user);
}

QList<OverviewRow> DashboardOverview::metricRows(const std::optional<DashboardSummary>& summary) {
    auto counter = [&](std::optional<qint64> DashboardSummary::*member) {
        return summary ? ((*summary).*member).value_or(0) : 0;
    };
    QList<OverviewRow> rows = {
        {.label = QStringLiteral("البلاغات المفتوحة"),
         .count = counter(&DashboardSummary::open),
         .tone = Tone::Teal,
         .caption = QStringLiteral("منذ آخر تحديث"),
         .symbol = QStringLiteral("tray.full")},
        {.label = QStringLiteral("البلاغات الحرجة"),
         .count = counter(&DashboardSummary::critical),
         .tone = Tone::Red,
         .caption = QStringLiteral("تحتاج تدخل فوري"),
         .symbol = QStringLiteral("exclamationmark.triangle")},
        {.label = QStringLiteral("قيد المعالجة"),
         .count = counter(&DashboardSummary::processing),
         .tone = Tone::Gold,
         .caption = QStringLiteral("جاري المعالجة"),
         .symbol = QStringLiteral("gearshape")},
        {.label = QStringLiteral("مغلقة اليوم"),
         .count = counter(&DashboardSummary::closedToday),
         .tone = Tone::Green,
         .caption = QStringLiteral("تم الإغلاق اليوم"),
         .symbol = QStringLiteral("checkmark.circle")},
    };
    for (OverviewRow& row : rows)
        row.countText = QString::number(row.count);
    return rows;
}

qint64 DashboardOverview::share(qint64 count, qint64 total) {
    if (total < 1)
        return 0;
    const double value = double(count) / double(total) * 100.0;
    // 2^63 is the first double past the 64-bit range.
    if (value >= 0x1p63)
        return std::numeric_limits<qint64>::max();
    if (value < -0x1p63)
        return std::numeric_limits<qint64>::min();
    return qint64(value); // truncates toward zero
}

QList<OverviewRow> DashboardOverview::distributionRows(const QMap<QString, qint64>& distribution,
                                                       qint64 total) {
    const qint64 critical = distribution.contains(kCritical) ? distribution.value(kCritical)
                                                             : distribution.value(kVeryCritical, 0);
    QList<OverviewRow> rows = {
        {.label = kCritical, .count = critical, .tone = Tone::Red},
        {.label = QStringLiteral("عالية"),
         .count = distribution.value(QStringLiteral("عالية"), 0),
         .tone = Tone::Orange},
        {.label = QStringLiteral("متوسطة"),
         .count = distribution.value(QStringLiteral("متوسطة"), 0),
         .tone = Tone::Gold},
        {.label = QStringLiteral("منخفضة"),
         .count = distribution.value(QStringLiteral("منخفضة"), 0),
         .tone = Tone::Green},
    };
    // The ring starts at the top and runs on by each positive count's sweep. With a total below 1
    // no sweep is finite: the ring stays empty, as the shares all read 0%. A sweep past a full
    // turn (a count above the total) draws the whole ring; the next arc starts where the sweep
    // really ends.
    double angle = -90.0;
    for (OverviewRow& row : rows) {
        row.countText = QString::number(row.count) + QStringLiteral(" (") +
                        QString::number(share(row.count, total)) + QStringLiteral("%)");
        if (total < 1 || row.count <= 0)
            continue;
        const double sweep = double(row.count) / double(total) * 360.0;
        row.startAngle = angle;
        row.sweepAngle = std::min(sweep, 360.0);
        row.drawn = true;
        angle = std::fmod(angle + sweep, 360.0);
    }
    return rows;
}

} // namespace kalvorin
