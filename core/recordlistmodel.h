#pragma once

// The base of the list models that carry server records to the screens. A new list replaces the
// old one by difference on each row's identity: rows that went away are removed, new rows are
// inserted, rows that moved are moved and rows whose content changed emit dataChanged. A view
// over the model keeps its delegates and its scroll position across a refresh; it is never reset.
//
// Identities need not be unique (a server may send the same ticket number twice): rows with the
// same identity are matched in their order of appearance, and every one of them shows.

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <type_traits>

namespace kalvorin {

class RecordListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count(); }
    virtual int count() const = 0;

signals:
    void countChanged();

protected:
    // Turns `rows` into `next` with the fewest signals that keep the views' items: one removal
    // per run of vanished rows, one insertion per run of new rows, one move per displaced row and
    // one dataChanged per changed row. Rows equal to their old self emit nothing.
    // `complete` fills what a row derives from its record (a search text, say) on the rows that
    // are shown anew, inserted or changed, just before the views hear of them: a refresh that
    // changes ten rows derives ten rows.
    template <class Row, class KeyOf, class Complete = void (*)(Row&)>
    void replaceRows(
        QList<Row>& rows, QList<Row> next, KeyOf keyOf, Complete complete = [](Row&) {}) {
        using Key = std::decay_t<decltype(keyOf(next.first()))>;
        const int before = int(rows.size());

        // 1. Remove the rows the new list no longer holds (each identity as often as it occurs).
        QHash<Key, int> wanted;
        for (const Row& row : next)
            ++wanted[keyOf(row)];
        QList<bool> keep(rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            int& left = wanted[keyOf(rows.at(i))];
            keep[i] = left > 0;
            if (left > 0)
                --left;
        }
        for (qsizetype last = rows.size() - 1; last >= 0;) {
            if (keep.at(last)) {
                --last;
                continue;
            }
            qsizetype first = last;
            while (first > 0 && !keep.at(first - 1))
                --first;
            beginRemoveRows({}, int(first), int(last));
            rows.remove(first, last - first + 1);
            endRemoveRows();
            last = first - 1;
        }

        // 2. Walk the new list: every remaining old row has its place in it.
        QHash<Key, int> remaining; // identities among rows[i..]
        for (const Row& row : rows)
            ++remaining[keyOf(row)];
        for (qsizetype i = 0; i < next.size(); ++i) {
            const Key key = keyOf(next.at(i));
            if (remaining.value(key) == 0) {
                qsizetype end = i + 1;
                while (end < next.size() && remaining.value(keyOf(next.at(end))) == 0)
                    ++end;
                beginInsertRows({}, int(i), int(end - 1));
                for (qsizetype k = i; k < end; ++k) {
                    Row row = next.at(k);
                    complete(row);
                    rows.insert(k, std::move(row));
                }
                endInsertRows();
                i = end - 1;
                continue;
            }
            if (keyOf(rows.at(i)) != key) {
                qsizetype from = i + 1;
                while (keyOf(rows.at(from)) != key)
                    ++from;
                beginMoveRows({}, int(from), int(from), {}, int(i));
                rows.move(from, i);
                endMoveRows();
            }
            --remaining[key];
            if (!(rows.at(i) == next.at(i))) {
                rows[i] = std::move(next[i]);
                complete(rows[i]);
                const QModelIndex changed = index(int(i));
                emit dataChanged(changed, changed);
            }
        }
        if (rows.size() != before)
            emit countChanged();
    }
};

} // namespace kalvorin
