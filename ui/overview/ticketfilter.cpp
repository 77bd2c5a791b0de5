#include "ticketfilter.h"

#include "records/variant.h"
#include "ticketlistmodel.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <limits>
#include <utility>

namespace kalvorin {

TicketFilter::TicketFilter(QObject* parent)
    : QAbstractListModel(parent), m_priorityValues(priorityValuesFor(std::nullopt)),
      m_stateValues(stateValuesFor(std::nullopt)) {
    // The count follows every change of the rows shown; a whole replacement tells it once.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, [this] {
            if (!m_replacing)
                emit countChanged();
        });
    connect(this, &QAbstractItemModel::modelReset, this, &TicketFilter::countChanged);
}

void TicketFilter::setSourceModel(TicketListModel* source) {
    if (source == m_source)
        return;
    for (const auto& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    beginResetModel();
    m_source = source;
    if (source) {
        using M = QAbstractItemModel;
        m_connections = {
            connect(
                source, &M::rowsAboutToBeRemoved, this,
                [this](const QModelIndex&, int first, int last) { sourceRowsAboutToBeRemoved(first, last); }),
            connect(source, &M::rowsRemoved, this,
                    [this](const QModelIndex&, int first, int last) { sourceRowsRemoved(first, last); }),
            connect(source, &M::rowsInserted, this,
                    [this](const QModelIndex&, int first, int last) { sourceRowsInserted(first, last); }),
            connect(source, &M::rowsMoved, this,
                    [this](const QModelIndex&, int first, int last, const QModelIndex&, int destination) {
                        sourceRowsMoved(first, last, destination);
                    }),
            connect(source, &M::dataChanged, this,
                    [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                        sourceDataChanged(topLeft.row(), bottomRight.row());
                    }),
            // A reset or a new layout of the tickets (the ticket model makes neither) starts over.
            connect(source, &M::modelAboutToBeReset, this, &TicketFilter::beginResetModel),
            connect(source, &M::modelReset, this, &TicketFilter::startOver),
            connect(source, &M::layoutAboutToBeChanged, this, &TicketFilter::beginResetModel),
            connect(source, &M::layoutChanged, this, &TicketFilter::startOver),
            connect(source, &QObject::destroyed, this,
                    [this] {
                        beginResetModel();
                        m_rows.clear();
                        m_keys.clear();
                        endResetModel();
                        emit atRiskCountChanged();
                    }),
            connect(source, &TicketListModel::serviceLevelCountsChanged, this,
                    &TicketFilter::atRiskCountChanged),
        };
    }
    startOver();
    emit sourceModelChanged();
    emit atRiskCountChanged();
}

void TicketFilter::setSearch(const QString& value) {
    if (value == m_search)
        return;
    const QString folded = TicketListModel::foldedForSearch(value);
    // A query that holds the previous one can only hide rows: only the rows shown need a test.
    const bool narrowing = !m_searching || folded.contains(m_foldedSearch);
    m_search = value;
    m_foldedSearch = folded;
    m_searching = !value.trimmed().isEmpty();
    emit searchChanged();
    refilter(narrowing && m_searching);
}

void TicketFilter::setPriority(const QString& value) {
    if (value == m_priority)
        return;
    m_priority = value;
    emit priorityChanged();
    refilter(false);
}

void TicketFilter::setState(const QString& value) {
    if (value == m_state)
        return;
    m_state = value;
    emit stateChanged();
    refilter(false);
}

void TicketFilter::setAtRiskOnly(bool value) {
    if (value == m_atRiskOnly)
        return;
    m_atRiskOnly = value;
    emit atRiskOnlyChanged();
    refilter(value); // turned on, it can only hide rows
}

QStringList TicketFilter::sortLabels() {
    return {kServerOrder, kLeastRemaining, kByPriority};
}

void TicketFilter::setOrderLabel(const QString& label) {
    const qsizetype at = sortLabels().indexOf(label);
    if (at >= 0)
        setOrder(Sort(at));
}

// The rows shown stay the same; only their order changes. The view hears one layout change that
// keeps its delegates (a vertical sort), and a persistent index follows its ticket.
void TicketFilter::setOrder(Sort value) {
    if (value == m_sort)
        return;
    m_sort = value;
    if (m_source) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList persistent = persistentIndexList();
        QList<int> followed;
        followed.reserve(persistent.size());
        for (const QModelIndex& index : persistent)
            followed.append(m_rows.at(index.row()));
        computeKeys();
        std::sort(m_rows.begin(), m_rows.end(), [this](int a, int b) { return before(a, b); });
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (int row : std::as_const(followed))
            moved.append(index(lowerBound(row)));
        changePersistentIndexList(persistent, moved);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    emit orderChanged();
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

// ---- the rows shown ----

int TicketFilter::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_replacing ? m_kept + int(m_next.size()) - m_from : int(m_rows.size());
}

int TicketFilter::sourceRow(int row) const {
    return m_replacing && row >= m_kept ? m_next.at(m_from + row - m_kept) : m_rows.at(row);
}

QVariant TicketFilter::data(const QModelIndex& index, int role) const {
    if (!m_source || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return m_source->data(m_source->index(sourceRow(index.row())), role);
}

QHash<int, QByteArray> TicketFilter::roleNames() const {
    return TicketListModel::roles();
}

bool TicketFilter::acceptsSourceRow(int row) const {
    return passes(m_source->ticketAt(row), m_source->searchTextAt(row), m_searching, m_foldedSearch,
                  m_priority, m_state, m_atRiskOnly);
}

QList<int> TicketFilter::acceptedRows() const {
    QList<int> rows;
    for (int row = 0; m_source && row < m_source->count(); ++row)
        if (acceptsSourceRow(row))
            rows.append(row);
    if (m_sort != ServerOrder)
        std::sort(rows.begin(), rows.end(), [this](int a, int b) { return before(a, b); });
    return rows;
}

void TicketFilter::computeKeys() {
    const int rows = m_source ? m_source->count() : 0;
    m_keys.resize(rows);
    for (int row = 0; row < rows; ++row)
        m_keys[row] = sortKey(m_source->ticketAt(row), m_sort);
}

// Ends the reset that the caller began.
void TicketFilter::startOver() {
    computeKeys();
    m_rows = acceptedRows();
    endResetModel();
}

void TicketFilter::refilter(bool narrowing) {
    if (!m_source)
        return;
    if (!narrowing) {
        showRows(acceptedRows());
        return;
    }
    QList<int> next;
    for (int row : std::as_const(m_rows))
        if (acceptsSourceRow(row))
            next.append(row);
    showRows(std::move(next));
}

// Both lists follow the same order, so one walk from their ends meets every difference as a run:
// rows only in the old list are removed, rows only in the new one inserted. Walking from the end
// keeps the positions of the runs still to come valid, so each run costs its signal and nothing
// more.
void TicketFilter::showRows(QList<int> next) {
    const qsizetype shownBefore = m_rows.size();
    m_next = std::move(next);
    m_kept = int(m_rows.size());
    m_from = int(m_next.size());
    m_replacing = true;
    while (m_kept > 0 || m_from > 0) {
        const int shown = m_kept > 0 ? m_rows.at(m_kept - 1) : -1;
        const int wanted = m_from > 0 ? m_next.at(m_from - 1) : -1;
        if (shown == wanted) {
            --m_kept;
            --m_from;
        } else if (after(shown, wanted)) {
            int first = m_kept - 1;
            while (first > 0 && after(m_rows.at(first - 1), wanted))
                --first;
            beginRemoveRows({}, first, m_kept - 1);
            m_kept = first;
            endRemoveRows();
        } else {
            int first = m_from - 1;
            while (first > 0 && after(m_next.at(first - 1), shown))
                --first;
            beginInsertRows({}, m_kept, m_kept + (m_from - first) - 1);
            m_from = first;
            endInsertRows();
        }
    }
    m_rows = std::exchange(m_next, {});
    m_replacing = false;
    if (m_rows.size() != shownBefore)
        emit countChanged();
}

// ---- following the ticket model ----

int TicketFilter::lowerBound(int sourceRow, int from, int to) const {
    const auto begin = m_rows.cbegin();
    const auto end = to < 0 ? m_rows.cend() : begin + to;
    return int(std::lower_bound(begin + from, end, sourceRow, [this](int a, int b) { return before(a, b); }) -
               begin);
}

// Under an order the rows of a removed run stand scattered among the rows shown: each run of them
// that stands together goes with one signal (in the server's order, the whole run at once).
void TicketFilter::sourceRowsAboutToBeRemoved(int first, int last) {
    const auto gone = [&](int at) { return m_rows.at(at) >= first && m_rows.at(at) <= last; };
    for (int end = int(m_rows.size()); end > 0;) {
        if (!gone(end - 1)) {
            --end;
            continue;
        }
        int from = end - 1;
        while (from > 0 && gone(from - 1))
            --from;
        beginRemoveRows({}, from, end - 1);
        m_rows.remove(from, end - from);
        endRemoveRows();
        end = from;
    }
}

// Renumbering keeps the order: rows past the run all move down by the same amount.
void TicketFilter::sourceRowsRemoved(int first, int last) {
    const int removed = last - first + 1;
    for (int& row : m_rows)
        if (row > last)
            row -= removed;
    m_keys.remove(first, removed);
}

void TicketFilter::sourceRowsInserted(int first, int last) {
    const int inserted = last - first + 1;
    for (int& row : m_rows)
        if (row >= first)
            row += inserted;
    m_keys.insert(first, inserted, 0);
    QList<int> accepted;
    for (int row = first; row <= last; ++row) {
        m_keys[row] = sortKey(m_source->ticketAt(row), m_sort);
        if (acceptsSourceRow(row))
            accepted.append(row);
    }
    if (m_sort != ServerOrder)
        std::sort(accepted.begin(), accepted.end(), [this](int a, int b) { return before(a, b); });
    // Each run of new rows that lands between the same two rows shown goes in with one signal.
    for (qsizetype i = 0; i < accepted.size();) {
        const int at = lowerBound(accepted.at(i));
        qsizetype end = i + 1;
        while (end < accepted.size() && (at == m_rows.size() || before(accepted.at(end), m_rows.at(at))))
            ++end;
        beginInsertRows({}, at, at + int(end - i) - 1);
        m_rows.insert(at, end - i, 0);
        std::copy(accepted.cbegin() + i, accepted.cbegin() + end, m_rows.begin() + at);
        endInsertRows();
        i = end;
    }
}

// The rows shown keep their tickets through the renumbering, in their old order; then each row
// that the move put out of its place moves to it. The ticket model moves one row at a time, to
// an earlier place, so this is one move of the row shown at most.
void TicketFilter::sourceRowsMoved(int first, int last, int destination) {
    const int moved = last - first + 1;
    const auto placed = [&](int row) {
        if (destination > last) {
            if (row >= first && row <= last)
                return row - first + destination - moved;
            if (row > last && row < destination)
                return row - moved;
        } else {
            if (row >= first && row <= last)
                return row - first + destination;
            if (row >= destination && row < first)
                return row + moved;
        }
        return row;
    };
    for (int& row : m_rows)
        row = placed(row);
    const auto keys = m_keys.begin();
    if (destination > last)
        std::rotate(keys + first, keys + last + 1, keys + destination);
    else
        std::rotate(keys + destination, keys + first, keys + last + 1);
    restoreOrder();
}

void TicketFilter::restoreOrder() {
    for (int at = 1; at < m_rows.size(); ++at) {
        const int row = m_rows.at(at);
        if (!before(row, m_rows.at(at - 1)))
            continue;
        const int to = lowerBound(row, 0, at);
        beginMoveRows({}, at, at, {}, to);
        m_rows.move(at, to);
        endMoveRows();
    }
}

// A changed ticket may pass or fail the tests now, or take another place in the order.
void TicketFilter::sourceDataChanged(int first, int last) {
    for (int row = first; row <= last; ++row) {
        int at = lowerBound(row); // by the key the row had
        const bool shown = at < m_rows.size() && m_rows.at(at) == row;
        m_keys[row] = sortKey(m_source->ticketAt(row), m_sort);
        const bool accepted = acceptsSourceRow(row);
        if (shown && accepted) {
            if (at > 0 && before(row, m_rows.at(at - 1))) {
                const int to = lowerBound(row, 0, at);
                beginMoveRows({}, at, at, {}, to);
                m_rows.move(at, to);
                endMoveRows();
                at = to;
            } else if (at + 1 < m_rows.size() && before(m_rows.at(at + 1), row)) {
                const int to = lowerBound(row, at + 1);
                beginMoveRows({}, at, at, {}, to);
                m_rows.move(at, to - 1);
                endMoveRows();
                at = to - 1;
            }
            emit dataChanged(index(at), index(at));
        } else if (shown) {
            beginRemoveRows({}, at, at);
            m_rows.remove(at);
            endRemoveRows();
        } else if (accepted) {
            at = lowerBound(row);
            beginInsertRows({}, at, at);
            m_rows.insert(at, row);
            endInsertRows();
        }
    }
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

namespace {
const QString& orEmpty(const std::optional<QString>& text) {
    static const QString empty;
    return text ? *text : empty;
}
} // namespace

// The query is trimmed only to decide whether there is one; it is then matched as typed, so a
// trailing space finds only texts that hold that space. The two filters compare whole texts.
bool TicketFilter::passes(const TicketSummary& ticket, const QString& searchText, bool searching,
                          const QString& foldedSearch, const QString& priority, const QString& state,
                          bool atRiskOnly) {
    return (!atRiskOnly || TicketListModel::isAtRisk(ticket)) &&
           (!searching || QStringView(searchText).contains(foldedSearch)) &&
           (priority == kAllPriorities || orEmpty(ticket.priority) == priority) &&
           (state == kAllStates || orEmpty(ticket.state) == state);
}

bool TicketFilter::accepts(const TicketSummary& ticket, const QString& searchText, const QString& search,
                           const QString& priority, const QString& state, bool atRiskOnly) {
    return passes(ticket, searchText, !search.trimmed().isEmpty(), TicketListModel::foldedForSearch(search),
                  priority, state, atRiskOnly);
}

// The names as the server spells them; a name is compared whole, as the priority filter does.
int TicketFilter::priorityRank(const std::optional<QString>& priority) {
    static const QHash<QString, int> ranks = {
        {QStringLiteral("حرجة"), 0},   {QStringLiteral("حرجة جداً"), 0}, {QStringLiteral("عالية"), 1},
        {QStringLiteral("متوسطة"), 2}, {QStringLiteral("منخفضة"), 3},
    };
    return priority ? ranks.value(*priority, 4) : 4;
}

qint64 TicketFilter::sortKey(const TicketSummary& ticket, Sort sort) {
    constexpr qint64 none = std::numeric_limits<qint64>::max();
    switch (sort) {
    case LeastRemaining:
        // A ticket without a remaining time comes after every ticket with one, however long.
        return ticket.sla && ticket.sla->remaining ? std::min(*ticket.sla->remaining, none - 1) : none;
    case PriorityRank:
        return priorityRank(ticket.priority);
    case ServerOrder:
        break;
    }
    return 0;
}

} // namespace kalvorin
