#pragma once
// The rows of a card as a list model: each row a fixed set of display values (texts, colours,
// flags) under named roles, and an identity. setRows() changes the model by identity (rows kept
// in place are updated, others inserted or removed), never by a reset, so a reload leaves the
// views that show it, and the screen's scroll position, where they were.
//
//     RowsModel rows({"title", "value"});
//     rows.setRows({{"0", {"الحالة", "جديد"}}});   // QML: model.title, model.value

#include "recordlistmodel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace kalvorin {

class RowsModel : public kalvorin::RecordListModel {
    Q_OBJECT
    QML_ANONYMOUS

public:
    struct Row {
        QString identity;
        QVariantList values; // in the order of the role names
        bool operator==(const Row&) const = default;
    };

    explicit RowsModel(QList<QByteArray> roles, QObject* parent = nullptr);

    void setRows(const QList<Row>& rows);
    const QList<Row>& rows() const { return m_rows; }
    int count() const override { return int(m_rows.size()); }
    // The value of `role` (by name) in row `row`, for C++ callers and tests.
    QVariant value(int row, const QByteArray& role) const;

    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<QByteArray> m_roles;
    QList<Row> m_rows;
};

} // namespace kalvorin
