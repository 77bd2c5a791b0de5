#pragma once

// The server's notifications as the notifications screen shows them, in the server's order. Each
// field is a role, and so are the card's texts with their fallbacks and the unread rule.

#include "recordlistmodel.h"
#include "records/notifications.h"

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
    };
    Q_ENUM(Role)

    using RecordListModel::RecordListModel;

    void setNotifications(QList<MobileNotification> notifications);

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
    QList<MobileNotification> m_rows;
    int m_unread = 0;
};

} // namespace kalvorin
