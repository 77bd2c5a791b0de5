#pragma once

// The ticket list narrowed on the device: a free-text search over the number, title and scope,
// and whole-text filters on priority and state. Nothing is sent to the server; it reads the
// typed rows of the state's ticket model and re-filters without resetting the view.
//     TicketFilter { sourceModel: AppState.tickets; references: AppState.references
//                    search: field.text; priority: "كل الأولويات"; state: "كل الحالات" }

#include "records/records.h"

#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace kalvorin {

class TicketFilter : public QSortFilterProxyModel {
    Q_OBJECT
    QML_ELEMENT
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
    void searchChanged();
    void priorityChanged();
    void stateChanged();
    void referencesChanged();
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    static bool passes(const TicketSummary& ticket, const QString& searchText, const QString& search,
                       const QString& foldedSearch, const QString& priority, const QString& state);
    void refilter();

    QString m_search;
    QString m_foldedSearch;
    QString m_priority = kAllPriorities;
    QString m_state = kAllStates;
    QVariant m_referencesVariant;
    QStringList m_priorityValues;
    QStringList m_stateValues;
};

} // namespace kalvorin
