#pragma once

// What the dashboard shows, derived from the state's dashboard answer, user and status: the four
// counter cards, the distribution by priority with its shares and the ring's arcs, the latest
// tickets, the user of the strip and the connection pills. Recomputed when that data changes;
// an update that changes nothing emits nothing.

#include "recordlistmodel.h"
#include "records/records.h"
#include "ticketlistmodel.h"
#include "tone.h"

#include <QVariant>

namespace kalvorin {

// A row of the counters or of the distribution.
struct OverviewRow {
    QString label{};
    qint64 count = 0;
    Tone tone = Tone::Muted;
    // Counters: the caption and symbol of the card.
    QString caption{};
    QString symbol{};
    // The count in decimal; for the distribution "count (share%)". Distribution: and the row's arc on the
    // ring, in degrees from the positive x axis with y pointing down; no arc when `drawn` is false.
    QString countText{};
    double startAngle = 0;
    double sweepAngle = 0;
    bool drawn = false;

    bool operator==(const OverviewRow&) const = default;
};

class OverviewRowsModel : public kalvorin::RecordListModel {
    Q_OBJECT

public:
    enum Role {
        LabelRole = Qt::UserRole + 1,
        CountRole,
        ToneRole,
        CaptionRole,
        SymbolRole,
        CountTextRole,
        StartAngleRole,
        SweepAngleRole,
        DrawnRole
    };
    Q_ENUM(Role)

    using RecordListModel::RecordListModel;

    void setRows(QList<OverviewRow> rows);
    const QList<OverviewRow>& rows() const { return m_rows; }
    int count() const override { return int(m_rows.size()); }
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<OverviewRow> m_rows;
};

class DashboardOverview : public QObject {
    Q_OBJECT
    Q_PROPERTY(kalvorin::OverviewRowsModel* metrics READ metrics CONSTANT)
    Q_PROPERTY(kalvorin::OverviewRowsModel* distribution READ distribution CONSTANT)
    Q_PROPERTY(kalvorin::TicketListModel* latest READ latest CONSTANT)
    Q_PROPERTY(QString totalText READ totalText NOTIFY totalChanged)
    Q_PROPERTY(QVariant user READ userVariant NOTIFY userChanged)
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)

public:
    explicit DashboardOverview(QObject* parent = nullptr);

    void update(const std::optional<DashboardResponse>& dashboard, const std::optional<MobileUser>& user,
                const std::optional<StatusResponse>& status);

    OverviewRowsModel* metrics() const { return m_metrics; }
    OverviewRowsModel* distribution() const { return m_distribution; }
    TicketListModel* latest() const { return m_latest; }
    qint64 total() const { return m_total; }
    QString totalText() const { return QString::number(m_total); }
    // The strip's user: the dashboard answer's when it carries one, else the signed-in user.
    const std::optional<MobileUser>& user() const { return m_user; }
    // Both pills: a status answer is held and its ok is true.
    bool connected() const { return m_connected; }

    // ---- the rules, for any answer ----
    static QList<OverviewRow> metricRows(const std::optional<DashboardSummary>& summary);
    // The four priority rows in their fixed order, with shares of `total` and the ring's arcs.
    static QList<OverviewRow> distributionRows(const QMap<QString, qint64>& distribution, qint64 total);
    // count ÷ total × 100 truncated toward zero; 0 when total is below 1; a value beyond 64 bits
    // is held at the nearest 64-bit bound.
    static qint64 share(qint64 count, qint64 total);

    static inline const QString kCritical = QStringLiteral("حرجة");
    static inline const QString kVeryCritical = QStringLiteral("حرجة جداً");

signals:
    void totalChanged();
    void userChanged();
    void connectedChanged();

private:
    QVariant userVariant() const;

    OverviewRowsModel* m_metrics;
    OverviewRowsModel* m_distribution;
    TicketListModel* m_latest;
    qint64 m_total = 0;
    std::optional<MobileUser> m_user;
    bool m_connected = false;
};

} // namespace kalvorin
