#include "notificationlistmodel.h"

#include <algorithm>

namespace kalvorin {

void NotificationListModel::setNotifications(QList<MobileNotification> notifications) {
    const int unread = int(std::count_if(notifications.cbegin(), notifications.cend(), isUnread));
    QList<Row> next;
    next.reserve(notifications.size());
    for (MobileNotification& notification : notifications)
        next.append(Row{std::move(notification), {}});
    replaceRows(
        m_rows, std::move(next), [](const Row& row) { return row.notification.id; },
        [this](Row& row) { row.ticketNumber = m_ticketNumbers.namedBy(row.notification); });
    if (unread != m_unread) {
        m_unread = unread;
        emit unreadCountChanged();
    }
}

void NotificationListModel::setTicketNumbers(TicketNumberIndex numbers) {
    m_ticketNumbers = std::move(numbers);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        QString number = m_ticketNumbers.namedBy(m_rows.at(i).notification);
        if (number == m_rows.at(i).ticketNumber)
            continue;
        m_rows[i].ticketNumber = std::move(number);
        const QModelIndex changed = index(int(i));
        emit dataChanged(changed, changed, {TicketNumberRole});
    }
}

QString NotificationListModel::ticketNumberOf(qint64 id) const {
    for (const Row& row : m_rows)
        if (row.notification.id == id)
            return row.ticketNumber;
    return {};
}

QVariant NotificationListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const MobileNotification& n = m_rows.at(index.row()).notification;
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
    case TicketNumberRole:
        return m_rows.at(index.row()).ticketNumber;
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
        {TicketNumberRole, "ticketNumber"},
    };
}

} // namespace kalvorin
