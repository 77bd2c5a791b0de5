#include "notificationlistmodel.h"

#include <algorithm>

namespace kalvorin {

void NotificationListModel::setNotifications(QList<MobileNotification> notifications) {
    const int unread = int(std::count_if(notifications.cbegin(), notifications.cend(), isUnread));
    replaceRows(m_rows, std::move(notifications), [](const MobileNotification& n) { return n.id; });
    if (unread != m_unread) {
        m_unread = unread;
        emit unreadCountChanged();
    }
}

QVariant NotificationListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const MobileNotification& n = m_rows.at(index.row());
    auto optional = [](const auto& value) { return value ? QVariant(*value) : QVariant(); };
    switch (role) {
    case IdRole:
        return QVariant::fromValue(n.id);
    case TitleRole:
        return optional(n.title);
    case BodyRole:
        return optional(n.body);
    case TypeRole:
        return optional(n.type);
    case IsReadRole:
        return optional(n.isRead);
    case CreatedAtRole:
        return optional(n.createdAt);
    case UnreadRole:
        return isUnread(n);
    case TitleTextRole:
        return titleText(n);
    case BodyTextRole:
        return n.body.value_or(QString());
    case CreatedAtTextRole:
        return n.createdAt.value_or(QString());
    default:
        return {};
    }
}

QHash<int, QByteArray> NotificationListModel::roleNames() const {
    return {
        {IdRole, "id"},
        {TitleRole, "title"},
        {BodyRole, "body"},
        {TypeRole, "type"},
        {IsReadRole, "isRead"},
        {CreatedAtRole, "createdAt"},
        {UnreadRole, "unread"},
        {TitleTextRole, "titleText"},
        {BodyTextRole, "bodyText"},
        {CreatedAtTextRole, "createdAtText"},
    };
}

} // namespace kalvorin
