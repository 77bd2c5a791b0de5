#include "appdelegate.h"

#include "mobileappstate.h"

namespace kalvorin {

KalvorinAppDelegate::KalvorinAppDelegate(MobileAppState& state, QObject* parent)
    : QObject(parent), m_state(state) {}

bool KalvorinAppDelegate::didFinishLaunching(NotificationCenter& center) {
    center.setDelegate(this);
    return true;
}

std::optional<qint64> KalvorinAppDelegate::notificationId(const QString& identifier) {
    static const QString prefix = QStringLiteral("kalvorin-");
    if (!identifier.startsWith(prefix))
        return std::nullopt;
    bool ok = false;
    const qint64 id = identifier.mid(prefix.size()).toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

void KalvorinAppDelegate::didReceive(const QString& identifier, const QString& action) {
    if (action == kAcknowledgeAction) {
        if (const std::optional<qint64> id = notificationId(identifier)) {
            MobileNotification notification;
            notification.id = *id;
            m_state.acknowledgeNotification(notification);
        }
        return;
    }
    if (action == NotificationCenter::kDefaultAction) {
        m_state.setSelectedTab(kNotificationsTab);
        emit raiseRequested();
        // The list as it stands now: a notification gone from it, or one whose ticket left the
        // list, only opens the tab.
        const std::optional<qint64> id = notificationId(identifier);
        const QString number = id ? m_state.notificationModel()->ticketNumberOf(*id) : QString();
        if (!number.isEmpty())
            emit ticketRequested(number);
    }
}

} // namespace kalvorin
