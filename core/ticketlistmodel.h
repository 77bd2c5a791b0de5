#pragma once

// The tickets as the screens show them: the rows of the ticket list and of the dashboard's latest
// tickets. Each field of a row is a role (an absent field is an undefined value), and so is each
// value the row view shows (its tint, its badge, the title, state and processing-unit texts with
// their fallbacks, the attachment count).

#include "recordlistmodel.h"
#include "records/overview.h"
#include "tone.h"

namespace kalvorin {

class TicketListModel : public kalvorin::RecordListModel {
    Q_OBJECT

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

private:
    struct Row {
        TicketSummary ticket;
        QString searchText;
        bool operator==(const Row& other) const { return ticket == other.ticket; }
    };
    QList<Row> m_rows;
};

} // namespace kalvorin
