#pragma once

// The server's notifications as the notifications screen shows them, in the server's order. Each
// field is a role, and so are the card's texts with their fallbacks, the unread rule and the
// ticket of the list that the notification names (see TicketNumberIndex), which its card opens.

#include "recordlistmodel.h"
#include "records/notifications.h"
#include "ticketnumberindex.h"

namespace kalvorin {

class NotificationListModel : public kalvorin::RecordListModel {
    Q_OBJECT
    Q_PROPERTY(int unreadCount READ unreadCount NOTIFY unreadCountChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        TitleRole,
        BodyRole,
        TypeRole,
        IsReadRole,
        CreatedAtRole,
        // What the card shows.
        UnreadRole,
        TitleTextRole,
        BodyTextRole,
        CreatedAtTextRole,
        // The maintenanceNo of the ticket of the list the notification names; empty when none.
        TicketNumberRole,
    };
    Q_ENUM(Role)

    using RecordListModel::RecordListModel;

    void setNotifications(QList<MobileNotification> notifications);
    // The tickets of the list changed: each row finds its ticket again, and the rows whose
    // ticket changed say so.
    void setTicketNumbers(TicketNumberIndex numbers);
    // The ticket the notification `id` names, empty when it names none or is not in the list.
    QString ticketNumberOf(qint64 id) const;

    int count() const override { return int(m_rows.size()); }
    // How many are not read: the tab bar's badge.
    int unreadCount() const { return m_unread; }

    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Only isRead true counts as read; false or absent is unread.
    static bool isUnread(const MobileNotification& notification) { return notification.isRead != true; }
    static QString titleText(const MobileNotification& notification) {
        return notification.title.value_or(kUntitled);
    }

    static inline const QString kUntitled = QStringLiteral("إشعار");

signals:
    void unreadCountChanged();

private:
    struct Row {
        MobileNotification notification;
        QString ticketNumber;
        bool operator==(const Row& other) const { return notification == other.notification; }
    };
    QList<Row> m_rows;
    TicketNumberIndex m_ticketNumbers;
    int m_unread = 0;
};

} // namespace kalvorin
