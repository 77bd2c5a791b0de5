#include "ticketlistmodel.h"

#include "records/reference.h"
#include "records/variant.h"

#include <QLocale>

namespace kalvorin {

void TicketListModel::setTickets(QList<TicketSummary> tickets) {
    QList<Row> next;
    next.reserve(tickets.size());
    for (TicketSummary& ticket : tickets)
        next.append(Row{std::move(ticket), {}});
    replaceRows(
        m_rows, std::move(next), [](const Row& row) { return row.ticket.maintenanceNo; },
        [](Row& row) { row.searchText = foldedForSearch(searchedText(row.ticket)); });
    // Counted over the whole list once per load: a refresh is one pass, not one per signal.
    int atRisk = 0;
    int breached = 0;
    for (const Row& row : std::as_const(m_rows)) {
        atRisk += isAtRisk(row.ticket);
        breached += isBreached(row.ticket);
    }
    if (atRisk != m_atRisk || breached != m_breached) {
        m_atRisk = atRisk;
        m_breached = breached;
        emit serviceLevelCountsChanged();
    }
}

bool TicketListModel::isBreached(const TicketSummary& ticket) {
    return ticket.sla && ticket.sla->breached.value_or(false);
}

bool TicketListModel::isAtRisk(const TicketSummary& ticket) {
    return ticket.sla && (ticket.sla->breached.value_or(false) || ticket.sla->near.value_or(false));
}

namespace {

QVariant optional(const std::optional<QString>& value) {
    return value ? QVariant(*value) : QVariant();
}

} // namespace

QVariant TicketListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TicketSummary& t = m_rows.at(index.row()).ticket;
    const QString priority = t.priority.value_or(QString());
    switch (role) {
    case MaintenanceNoRole:
        return t.maintenanceNo;
    case TitleRole:
        return optional(t.title);
    case StateRole:
        return optional(t.state);
    case PriorityRole:
        return optional(t.priority);
    case PriorityCodeRole:
        return optional(t.priorityCode);
    case ScopeRole:
        return optional(t.scope);
    case AssignedScopeIdRole:
        return optional(t.assignedScopeId);
    case AssignedScopeNameRole:
        return optional(t.assignedScopeName);
    case AssignedHandlerUserRole:
        return optional(t.assignedHandlerUser);
    case AssignedHandlerNameRole:
        return optional(t.assignedHandlerName);
    case BeneficiaryNameRole:
        return optional(t.beneficiaryName);
    case CreatedAtRole:
        return optional(t.createdAt);
    case UpdatedAtRole:
        return optional(t.updatedAt);
    case AttachmentCountRole:
        return t.attachmentCount ? QVariant::fromValue(*t.attachmentCount) : QVariant();
    case SlaRole:
        return toVariant(t.sla);
    case TintRole:
        return int(rowTint(priority));
    case BadgeToneRole:
        return int(badgeTone(priority));
    case BadgeTextRole:
        return badgeText(priority);
    case TitleTextRole:
        return titleText(t);
    case StateTextRole:
        return stateText(t);
    case ScopeTextRole:
        return scopeText(t);
    case AttachmentsRole:
        return QString::number(t.attachmentCount.value_or(0));
    default:
        return {};
    }
}

QHash<int, QByteArray> TicketListModel::roles() {
    return {
        {MaintenanceNoRole, "maintenanceNo"},
        {TitleRole, "title"},
        {StateRole, "state"},
        {PriorityRole, "priority"},
        {PriorityCodeRole, "priorityCode"},
        {ScopeRole, "scope"},
        {AssignedScopeIdRole, "assignedScopeId"},
        {AssignedScopeNameRole, "assignedScopeName"},
        {AssignedHandlerUserRole, "assignedHandlerUser"},
        {AssignedHandlerNameRole, "assignedHandlerName"},
        {BeneficiaryNameRole, "beneficiaryName"},
        {CreatedAtRole, "createdAt"},
        {UpdatedAtRole, "updatedAt"},
        {AttachmentCountRole, "attachmentCount"},
        {SlaRole, "sla"},
        {TintRole, "rowTone"},
        {BadgeToneRole, "badgeTone"},
        {BadgeTextRole, "badgeText"},
        {TitleTextRole, "titleText"},
        {StateTextRole, "stateText"},
        {ScopeTextRole, "scopeText"},
        {AttachmentsRole, "attachments"},
    };
}

namespace {

// The tests shared by the tint and the badge: "حرج", then "عالي", then "متوسط".
Tone priorityTone(const QString& priority, Tone medium) {
    if (priority.contains(u"حرج"))
        return Tone::Red;
    if (priority.contains(u"عالي"))
        return Tone::Orange;
    if (priority.contains(u"متوسط"))
        return medium;
    return Tone::Green;
}

} // namespace

// A medium-priority row is tinted teal while its badge is gold.
Tone TicketListModel::rowTint(const QString& priority) {
    return priorityTone(priority, Tone::Teal);
}

Tone TicketListModel::badgeTone(const QString& priority) {
    return priorityTone(priority, Tone::Gold);
}

QString TicketListModel::badgeText(const QString& priority) {
    return priority.isEmpty() ? kUnspecified : priority;
}

QString TicketListModel::titleText(const TicketSummary& ticket) {
    return ticket.title.value_or(kUntitled);
}

QString TicketListModel::stateText(const TicketSummary& ticket) {
    return ticket.state.value_or(kUnspecified);
}

QString TicketListModel::scopeText(const TicketSummary& ticket) {
    return compactScopeLabel(ticket.scope.value_or(kNoScope));
}

QString TicketListModel::searchedText(const TicketSummary& ticket) {
    return ticket.maintenanceNo + u' ' + ticket.title.value_or(QString()) + u' ' +
           ticket.scope.value_or(QString());
}

QString TicketListModel::foldedForSearch(const QString& text) {
    return QLocale().toLower(text);
}

} // namespace kalvorin
