#include "ticketfilter.h"

#include "records/variant.h"
#include "ticketlistmodel.h"

#include <QSet>
#include <algorithm>
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
            connect(source, &M::rowsAboutToBeMoved, this,
                    [this](const QModelIndex&, int first, int last, const QModelIndex&, int destination) {
                        sourceRowsAboutToBeMoved(first, last, destination);
                    }),
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
                        endResetModel();
                    }),
        };
    }
    startOver();
    emit sourceModelChanged();
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
                  m_priority, m_state);
}

QList<int> TicketFilter::acceptedRows() const {
    QList<int> rows;
    for (int row = 0; m_source && row < m_source->count(); ++row)
        if (acceptsSourceRow(row))
            rows.append(row);
    return rows;
}

// Ends the reset that the caller began.
void TicketFilter::startOver() {
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

// Both lists ascend, so one walk from their ends meets every difference as a run: rows only in
// the old list are removed, rows only in the new one inserted. Walking from the end keeps the
// positions of the runs still to come valid, so each run costs its signal and nothing more.
void TicketFilter::showRows(QList<int> next) {
    const qsizetype before = m_rows.size();
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
        } else if (shown > wanted) {
            int first = m_kept - 1;
            while (first > 0 && m_rows.at(first - 1) > wanted)
                --first;
            beginRemoveRows({}, first, m_kept - 1);
            m_kept = first;
            endRemoveRows();
        } else {
            int first = m_from - 1;
            while (first > 0 && m_next.at(first - 1) > shown)
                --first;
            beginInsertRows({}, m_kept, m_kept + (m_from - first) - 1);
            m_from = first;
            endInsertRows();
        }
    }
    m_rows = std::exchange(m_next, {});
    m_replacing = false;
    if (m_rows.size() != before)
        emit countChanged();
}

// ---- following the ticket model ----

int TicketFilter::lowerBound(int sourceRow) const {
    return int(std::lower_bound(m_rows.cbegin(), m_rows.cend(), sourceRow) - m_rows.cbegin());
}

void TicketFilter::sourceRowsAboutToBeRemoved(int first, int last) {
    const int from = lowerBound(first);
    const int to = lowerBound(last + 1);
    if (from == to)
        return;
    beginRemoveRows({}, from, to - 1);
    m_rows.remove(from, to - from);
    endRemoveRows();
}

void TicketFilter::sourceRowsRemoved(int first, int last) {
    const int removed = last - first + 1;
    for (qsizetype i = lowerBound(first); i < m_rows.size(); ++i)
        m_rows[i] -= removed;
}

void TicketFilter::sourceRowsInserted(int first, int last) {
    const int inserted = last - first + 1;
    const int at = lowerBound(first);
    for (qsizetype i = at; i < m_rows.size(); ++i)
        m_rows[i] += inserted;
    QList<int> accepted;
    for (int row = first; row <= last; ++row)
        if (acceptsSourceRow(row))
            accepted.append(row);
    if (accepted.isEmpty())
        return;
    beginInsertRows({}, at, at + int(accepted.size()) - 1);
    m_rows.insert(at, accepted.size(), 0);
    std::copy(accepted.cbegin(), accepted.cend(), m_rows.begin() + at);
    endInsertRows();
}

void TicketFilter::sourceRowsAboutToBeMoved(int first, int last, int destination) {
    const int from = lowerBound(first);
    const int to = lowerBound(last + 1);
    const int target = lowerBound(destination);
    m_moveTarget.reset();
    // Rows shown move with their tickets; with nothing shown in between, nothing moves here.
    if (from < to && (target < from || target > to) && beginMoveRows({}, from, to - 1, {}, target))
        m_moveTarget = target;
}

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
    if (m_moveTarget) {
        const auto begin = m_rows.begin();
        const int from = lowerBound(first);
        const int to = lowerBound(last + 1);
        if (*m_moveTarget > to)
            std::rotate(begin + from, begin + to, begin + *m_moveTarget);
        else
            std::rotate(begin + *m_moveTarget, begin + from, begin + to);
    }
    for (int& row : m_rows)
        row = placed(row);
    if (std::exchange(m_moveTarget, std::nullopt))
        endMoveRows();
}

void TicketFilter::sourceDataChanged(int first, int last) {
    for (int row = first; row <= last; ++row) {
        const int at = lowerBound(row);
        const bool shown = at < m_rows.size() && m_rows.at(at) == row;
        const bool accepted = acceptsSourceRow(row);
        if (shown && accepted) {
            emit dataChanged(index(at), index(at));
        } else if (shown) {
            beginRemoveRows({}, at, at);
            m_rows.remove(at);
            endRemoveRows();
        } else if (accepted) {
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
                          const QString& foldedSearch, const QString& priority, const QString& state) {
    return (!searching || QStringView(searchText).contains(foldedSearch)) &&
           (priority == kAllPriorities || orEmpty(ticket.priority) == priority) &&
           (state == kAllStates || orEmpty(ticket.state) == state);
}

bool TicketFilter::accepts(const TicketSummary& ticket, const QString& searchText, const QString& search,
                           const QString& priority, const QString& state) {
    return passes(ticket, searchText, !search.trimmed().isEmpty(), TicketListModel::foldedForSearch(search),
                  priority, state);
}

} // namespace kalvorin
