#pragma once

// The tickets as the screens show them: the rows of the ticket list and of the dashboard's latest
// tickets. Each field of a row is a role (an absent field is an undefined value), and so is each
// value the row view shows (its tint, its badge, the title, state and processing-unit texts with
// their fallbacks, the attachment count). It also counts the tickets whose service level is
// breached, and those breached or near it, for the list's quick filter and the dashboard.

#include "recordlistmodel.h"
#include "records/overview.h"
#include "tone.h"

namespace kalvorin {

class TicketListModel : public kalvorin::RecordListModel {
    Q_OBJECT
    Q_PROPERTY(int atRiskCount READ atRiskCount NOTIFY serviceLevelCountsChanged)
    Q_PROPERTY(int breachedCount READ breachedCount NOTIFY serviceLevelCountsChanged)

public:
    enum Role {
        MaintenanceNoRole = Qt::UserRole + 1,
        TitleRole,
        StateRole,
        PriorityRole,
        PriorityCodeRole,
        ScopeRole,
        AssignedScopeIdRole,
        AssignedScopeNameRole,
        AssignedHandlerUserRole,
        AssignedHandlerNameRole,
        BeneficiaryNameRole,
        CreatedAtRole,
        UpdatedAtRole,
        AttachmentCountRole,
        SlaRole,
        // What the row shows.
        TintRole,
        BadgeToneRole,
        BadgeTextRole,
        TitleTextRole,
        StateTextRole,
        ScopeTextRole,
        AttachmentsRole,
    };
    Q_ENUM(Role)

    using RecordListModel::RecordListModel;

    void setTickets(QList<TicketSummary> tickets);

    int count() const override { return int(m_rows.size()); }
    const TicketSummary& ticketAt(int row) const { return m_rows.at(row).ticket; }
    // The number, title and scope of the row, folded for a search (see foldedForSearch).
    const QString& searchTextAt(int row) const { return m_rows.at(row).searchText; }
    // Tickets whose `sla.breached` or `sla.near` is true, and those whose `sla.breached` is.
    int atRiskCount() const { return m_atRisk; }
    int breachedCount() const { return m_breached; }

    // ---- service level ----
    static bool isBreached(const TicketSummary& ticket);
    static bool isAtRisk(const TicketSummary& ticket);

    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override { return roles(); }
    static QHash<int, QByteArray> roles();

    // ---- what a row shows ----
    // The card's tint and the badge's colour, by substring tests on the priority in this order.
    static Tone rowTint(const QString& priority);
    static Tone badgeTone(const QString& priority);
    static QString badgeText(const QString& priority);
    static QString titleText(const TicketSummary& ticket);
    static QString stateText(const TicketSummary& ticket);
    static QString scopeText(const TicketSummary& ticket);
    // The text a search looks in: number, space, title, space, scope.
    static QString searchedText(const TicketSummary& ticket);
    // Case folded following the user's locale; the filter folds the query the same way.
    static QString foldedForSearch(const QString& text);

    static inline const QString kUntitled = QStringLiteral("بلاغ دعم فني");
    static inline const QString kUnspecified = QStringLiteral("غير محدد");
    static inline const QString kNoScope = QStringLiteral("لا توجد جهة");

signals:
    void serviceLevelCountsChanged();

private:
    struct Row {
        TicketSummary ticket;
        QString searchText;
        bool operator==(const Row& other) const { return ticket == other.ticket; }
    };
    QList<Row> m_rows;
    int m_atRisk = 0;
    int m_breached = 0;
};

} // namespace kalvorin
