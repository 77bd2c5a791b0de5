#pragma once

// The ticket list narrowed and ordered on the device: a free-text search over the number, title
// and scope, whole-text filters on priority and state, a quick filter on the tickets whose service
// level is breached or near, and a choice of order. Nothing is sent to the server; it reads the
// typed rows of the state's ticket model and re-filters without resetting the view.
//     TicketFilter { sourceModel: AppState.tickets; references: AppState.references
//                    search: field.text; priority: "كل الأولويات"; state: "كل الحالات"
//                    atRiskOnly: false; order: TicketFilter.ServerOrder }
//
// A keystroke can hide thousands of rows scattered over the list. The filter applies such a
// change in one pass over the rows, however many separate runs it removes or inserts, and
// follows the ticket model's own changes (inserts, removals, moves, changed rows) row by row.
//
// The rows shown are ordered by a key per ticket (its remaining minutes, its priority's rank, or
// none for the server's order), and among equal keys by the server's order, so a refresh keeps
// the order stable and a ticket whose key changes moves to its new place. A new choice of order
// rearranges the rows in place (one layout change, the delegates kept).

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
    Q_PROPERTY(bool atRiskOnly READ atRiskOnly WRITE setAtRiskOnly NOTIFY atRiskOnlyChanged)
    Q_PROPERTY(int atRiskCount READ atRiskCount NOTIFY atRiskCountChanged)
    Q_PROPERTY(Sort order READ order WRITE setOrder NOTIFY orderChanged)
    Q_PROPERTY(QString orderLabel READ orderLabel WRITE setOrderLabel NOTIFY orderChanged)
    Q_PROPERTY(QStringList sortLabels READ sortLabels CONSTANT)

public:
    // The orders offered, in the menu's order.
    enum Sort { ServerOrder, LeastRemaining, PriorityRank };
    Q_ENUM(Sort)

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
    bool atRiskOnly() const { return m_atRiskOnly; }
    void setAtRiskOnly(bool value);
    // The tickets of the whole list that the quick filter would keep, whatever else is chosen.
    int atRiskCount() const { return m_source ? m_source->atRiskCount() : 0; }
    Sort order() const { return m_sort; }
    void setOrder(Sort value);
    QString orderLabel() const { return sortLabels().value(m_sort); }
    // A label of the menu; any other text leaves the order as it is.
    void setOrderLabel(const QString& label);
    static QStringList sortLabels();

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
    // The tests on one ticket; `searchText` is the ticket's searched text folded for search.
    static bool accepts(const TicketSummary& ticket, const QString& searchText, const QString& search,
                        const QString& priority, const QString& state, bool atRiskOnly = false);
    // Where a priority stands in the priority order: critical ("حرجة", or "حرجة جداً") 0, high 1,
    // medium 2, low 3, any other name or none 4.
    static int priorityRank(const std::optional<QString>& priority);
    // The ticket's place under an order, smaller first: its remaining minutes (none last), its
    // priority's rank, or 0 for every ticket in the server's order.
    static qint64 sortKey(const TicketSummary& ticket, Sort sort);

    static inline const QString kServerOrder = QStringLiteral("الترتيب الافتراضي");
    static inline const QString kLeastRemaining = QStringLiteral("الأقل وقتاً متبقياً");
    static inline const QString kByPriority = QStringLiteral("حسب الأولوية");

signals:
    void sourceModelChanged();
    void searchChanged();
    void priorityChanged();
    void stateChanged();
    void referencesChanged();
    void countChanged();
    void atRiskOnlyChanged();
    void atRiskCountChanged();
    void orderChanged();

private:
    static bool passes(const TicketSummary& ticket, const QString& searchText, bool searching,
                       const QString& foldedSearch, const QString& priority, const QString& state,
                       bool atRiskOnly);
    bool acceptsSourceRow(int row) const;
    // Whether ticket row `a` is shown before ticket row `b`: by key, then by the server's order.
    bool before(int a, int b) const {
        const qint64 ka = m_keys.at(a);
        const qint64 kb = m_keys.at(b);
        return ka < kb || (ka == kb && a < b);
    }
    // `before` where -1 stands for the place ahead of every row.
    bool after(int a, int b) const { return a != -1 && (b == -1 || before(b, a)); }
    // Shows `next` (ticket rows in the order shown) in place of the rows shown now.
    void showRows(QList<int> next);
    void refilter(bool narrowing);
    // The ticket rows the tests accept, in the order shown.
    QList<int> acceptedRows() const;
    void startOver();
    void computeKeys();
    // Moves rows shown out of their place (after a move in the ticket model) to where they belong.
    void restoreOrder();

    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsInserted(int first, int last);
    void sourceRowsMoved(int first, int last, int destination);
    void sourceDataChanged(int first, int last);
    // Where `sourceRow` is shown, or would be inserted, among the rows shown in [from, to).
    int lowerBound(int sourceRow, int from = 0, int to = -1) const;

    QPointer<TicketListModel> m_source;
    QList<QMetaObject::Connection> m_connections;
    // The ticket rows shown, in the order shown (see `before`). While a new set replaces it
    // (showRows), the rows shown are m_rows[0..m_kept) followed by m_next[m_from..].
    QList<int> m_rows;
    QList<int> m_next;
    int m_kept = 0;
    int m_from = 0;
    bool m_replacing = false;
    // The sort key of every ticket row under the current order.
    QList<qint64> m_keys;

    QString m_search;
    QString m_foldedSearch;
    bool m_searching = false; // the query holds more than white space
    QString m_priority = kAllPriorities;
    QString m_state = kAllStates;
    bool m_atRiskOnly = false;
    Sort m_sort = ServerOrder;
    QVariant m_referencesVariant;
    QStringList m_priorityValues;
    QStringList m_stateValues;
};

} // namespace kalvorin
