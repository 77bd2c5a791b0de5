#include "rowsmodel.h"

namespace kalvorin {

RowsModel::RowsModel(QList<QByteArray> roles, QObject* parent)
    : RecordListModel(parent), m_roles(std::move(roles)) {}

void RowsModel::setRows(const QList<Row>& rows) {
    replaceRows(m_rows, rows, [](const Row& row) { return row.identity; });
}

QVariant RowsModel::value(int row, const QByteArray& role) const {
    const qsizetype column = m_roles.indexOf(role);
    if (row < 0 || row >= count() || column < 0 || column >= m_rows[row].values.size())
        return {};
    return m_rows[row].values[column];
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
