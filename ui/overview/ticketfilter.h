#pragma once

// The ticket list narrowed on the device: a free-text search over the number, title and scope,
// and whole-text filters on priority and state. Nothing is sent to the server; it reads the
// typed rows of the state's ticket model and re-filters without resetting the view.
//     TicketFilter { sourceModel: AppState.tickets; references: AppState.references
//                    search: field.text; priority: "كل الأولويات"; state: "كل الحالات" }
//
// A keystroke can hide thousands of rows scattered over the list. The filter applies such a
// change in one pass over the rows, however many separate runs it removes or inserts, and
// follows the ticket model's own changes (inserts, removals, moves, changed rows) row by row.

#include "records/records.h"
#include "ticketlistmodel.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace kalvorin {

class TicketFilter : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(kalvorin::TicketListModel* sourceModel READ sourceModel WRITE setSourceModel NOTIFY
                   sourceModelChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(QString priority READ priority WRITE setPriority NOTIFY priorityChanged)
    Q_PROPERTY(QString state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(QVariant references READ references WRITE setReferences NOTIFY referencesChanged)
    Q_PROPERTY(QStringList priorityValues READ priorityValues NOTIFY referencesChanged)
    Q_PROPERTY(QStringList stateValues READ stateValues NOTIFY referencesChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    static inline const QString kAllPriorities = QStringLiteral("كل الأولويات");
    static inline const QString kAllStates = QStringLiteral("كل الحالات");

    explicit TicketFilter(QObject* parent = nullptr);

    TicketListModel* sourceModel() const { return m_source; }
    void setSourceModel(TicketListModel* source);
    QString search() const { return m_search; }
    void setSearch(const QString& value);
    QString priority() const { return m_priority; }
    void setPriority(const QString& value);
    QString state() const { return m_state; }
    void setState(const QString& value);
    QVariant references() const { return m_referencesVariant; }
    void setReferences(const QVariant& value);
    QStringList priorityValues() const { return m_priorityValues; }
    QStringList stateValues() const { return m_stateValues; }
    int count() const { return rowCount(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    // The ticket model's row shown at `row`.
    int sourceRow(int row) const;

    // ---- the rules ----
    // The priority menu: "كل الأولويات", then the server's priorities, or the four built-in names
    // when none are held. The state menu: "كل الحالات", then the server's states, if any.
    // Both without repeats, keeping each value's first place.
    static QStringList priorityValuesFor(const std::optional<ReferenceDataResponse>& references);
    static QStringList stateValuesFor(const std::optional<ReferenceDataResponse>& references);
    static QStringList distinct(const QStringList& values);
    // The three tests on one ticket; `searchText` is the ticket's searched text folded for search.
    static bool accepts(const TicketSummary& ticket, const QString& searchText, const QString& search,
                        const QString& priority, const QString& state);

signals:
    void sourceModelChanged();
    void searchChanged();
    void priorityChanged();
    void stateChanged();
    void referencesChanged();
    void countChanged();

private:
    static bool passes(const TicketSummary& ticket, const QString& searchText, bool searching,
                       const QString& foldedSearch, const QString& priority, const QString& state);
    bool acceptsSourceRow(int row) const;
    // Shows `next` (ascending ticket rows) in place of the rows shown now.
    void showRows(QList<int> next);
    void refilter(bool narrowing);
    // The ticket rows the three tests accept, ascending.
    QList<int> acceptedRows() const;
    void startOver();

    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsInserted(int first, int last);
    void sourceRowsAboutToBeMoved(int first, int last, int destination);
    void sourceRowsMoved(int first, int last, int destination);
    void sourceDataChanged(int first, int last);
    // Where `sourceRow` is shown, or would be inserted.
    int lowerBound(int sourceRow) const;

    QPointer<TicketListModel> m_source;
    QList<QMetaObject::Connection> m_connections;
    // The ticket rows shown, ascending. While a new set replaces it (showRows), the rows shown are
    // m_rows[0..m_kept) followed by m_next[m_from..].
    QList<int> m_rows;
    QList<int> m_next;
    int m_kept = 0;
    int m_from = 0;
    bool m_replacing = false;
    std::optional<int> m_moveTarget; // the proxy row a pending move of ticket rows goes to

    QString m_search;
    QString m_foldedSearch;
    bool m_searching = false; // the query holds more than white space
    QString m_priority = kAllPriorities;
    QString m_state = kAllStates;
    QVariant m_referencesVariant;
    QStringList m_priorityValues;
    QStringList m_stateValues;
};

} // namespace kalvorin
