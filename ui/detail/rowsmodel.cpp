#include "rowsmodel.h"

#include <QSet>

namespace kalvorin {

RowsModel::RowsModel(QList<QByteArray> roles, QObject* parent)
    : QAbstractListModel(parent), m_roles(std::move(roles)) {}

void RowsModel::setRows(const QList<Row>& rows) {
    const int before = count();
    // 1. Rows whose identity is gone.
    QSet<QString> wanted;
    for (const Row& row : rows)
        wanted.insert(row.identity);
    for (int i = count() - 1; i >= 0; --i) {
        if (wanted.contains(m_rows[i].identity))
            continue;
        beginRemoveRows({}, i, i);
        m_rows.removeAt(i);
        endRemoveRows();
    }
    // 2. Position by position: the same identity is updated, anything else is inserted.
    for (int i = 0; i < rows.size(); ++i) {
        if (i < count() && m_rows[i].identity == rows[i].identity) {
            if (m_rows[i].values != rows[i].values) {
                m_rows[i] = rows[i];
                emit dataChanged(index(i), index(i));
            }
            continue;
        }
        beginInsertRows({}, i, i);
        m_rows.insert(i, rows[i]);
        endInsertRows();
    }
    // 3. Rows left behind by a change of order.
    if (count() > rows.size()) {
        beginRemoveRows({}, int(rows.size()), count() - 1);
        m_rows.resize(rows.size());
        endRemoveRows();
    }
    if (count() != before)
        emit countChanged();
}

QVariant RowsModel::value(int row, const QByteArray& role) const {
    const qsizetype column = m_roles.indexOf(role);
    if (row < 0 || row >= count() || column < 0 || column >= m_rows[row].values.size())
        return {};
    return m_rows[row].values[column];
}

int RowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const int column = role - Qt::UserRole;
    const QVariantList& values = m_rows[index.row()].values;
    return column >= 0 && column < values.size() ? values[column] : QVariant();
}

QHash<int, QByteArray> RowsModel::roleNames() const {
    QHash<int, QByteArray> names;
    for (int i = 0; i < m_roles.size(); ++i)
        names.insert(Qt::UserRole + i, m_roles[i]);
    return names;
}

} // namespace kalvorin
