#include "ticketfilter.h"

#include "records/variant.h"
#include "ticketlistmodel.h"

#include <QSet>

namespace kalvorin {

TicketFilter::TicketFilter(QObject* parent)
    : QSortFilterProxyModel(parent), m_priorityValues(priorityValuesFor(std::nullopt)),
      m_stateValues(stateValuesFor(std::nullopt)) {
    // The list's rows change under the filter without a reset; its count follows.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &TicketFilter::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &TicketFilter::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &TicketFilter::countChanged);
}

void TicketFilter::setSearch(const QString& value) {
    if (value == m_search)
        return;
    m_search = value;
    m_foldedSearch = TicketListModel::foldedForSearch(value);
    emit searchChanged();
    refilter();
}

void TicketFilter::setPriority(const QString& value) {
    if (value == m_priority)
        return;
    m_priority = value;
    emit priorityChanged();
    refilter();
}

void TicketFilter::setState(const QString& value) {
    if (value == m_state)
        return;
    m_state = value;
    emit stateChanged();
    refilter();
}

void TicketFilter::setReferences(const QVariant& value) {
    const auto references = fromVariant<std::optional<ReferenceDataResponse>>(value);
    m_referencesVariant = value;
    const QStringList priorities = priorityValuesFor(references);
    const QStringList states = stateValuesFor(references);
    if (priorities == m_priorityValues && states == m_stateValues)
        return;
    m_priorityValues = priorities;
    m_stateValues = states;
    emit referencesChanged();
}

void TicketFilter::refilter() {
    invalidateRowsFilter();
}

QStringList TicketFilter::distinct(const QStringList& values) {
    QStringList out;
    QSet<QString> seen;
    for (const QString& value : values) {
        if (!seen.contains(value)) {
            seen.insert(value);
            out.append(value);
        }
    }
    return out;
}

QStringList TicketFilter::priorityValuesFor(const std::optional<ReferenceDataResponse>& references) {
    static const QStringList builtIn = {QStringLiteral("حرجة"), QStringLiteral("عالية"),
                                        QStringLiteral("متوسطة"), QStringLiteral("منخفضة")};
    const QStringList names = references && references->priorities ? *references->priorities : builtIn;
    return distinct(QStringList{kAllPriorities} + names);
}

QStringList TicketFilter::stateValuesFor(const std::optional<ReferenceDataResponse>& references) {
    const QStringList names = references && references->statuses ? *references->statuses : QStringList{};
    return distinct(QStringList{kAllStates} + names);
}

// The query is trimmed only to decide whether there is one; it is then matched as typed, so a
// trailing space finds only texts that hold that space. The two filters compare whole texts.
bool TicketFilter::passes(const TicketSummary& ticket, const QString& searchText, const QString& search,
                          const QString& foldedSearch, const QString& priority, const QString& state) {
    return (search.trimmed().isEmpty() || QStringView(searchText).contains(foldedSearch)) &&
           (priority == kAllPriorities || ticket.priority.value_or(QString()) == priority) &&
           (state == kAllStates || ticket.state.value_or(QString()) == state);
}

bool TicketFilter::accepts(const TicketSummary& ticket, const QString& searchText, const QString& search,
                           const QString& priority, const QString& state) {
    return passes(ticket, searchText, search, TicketListModel::foldedForSearch(search), priority, state);
}

bool TicketFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* tickets = qobject_cast<const TicketListModel*>(sourceModel());
    if (!tickets)
        return true;
    return passes(tickets->ticketAt(sourceRow), tickets->searchTextAt(sourceRow), m_search, m_foldedSearch,
                  m_priority, m_state);
}

} // namespace kalvorin
