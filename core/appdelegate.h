#pragma once

#include "notificationcenter.h"

#include <QObject>
#include <optional>

namespace kalvorin {

class MobileAppState;

// The application delegate: it takes the notification centre's delegate role
// at launch so that notifications also show while the app is in front, as a
// banner with sound and badge, like those that arrive in the background. It
// also answers what the user does with a posted notification: "تأكيد القراءة"
// acknowledges it on the server, and activating it opens the notifications tab,
// asks for the window to come to the front and, when the notification names a
// ticket of the list, asks for that ticket's detail over the tab.
class KalvorinAppDelegate : public QObject, public NotificationCenterDelegate {
    Q_OBJECT
public:
    static constexpr int kForegroundPresentation = NotificationCenter::PresentBanner |
                                                   NotificationCenter::PresentSound |
                                                   NotificationCenter::PresentBadge;
    static inline const QString kAcknowledgeAction = QStringLiteral("acknowledge");
    static inline const QString kAcknowledgeLabel = QStringLiteral("تأكيد القراءة");
    static constexpr int kNotificationsTab = 3;

    explicit KalvorinAppDelegate(MobileAppState& state, QObject* parent = nullptr);

    bool didFinishLaunching(NotificationCenter& center);

    int willPresent(const NotificationCenter::Content&) override { return kForegroundPresentation; }
    void didReceive(const QString& identifier, const QString& action) override;

    // The server notification's id of a local notification's identifier ("kalvorin-42" → 42).
    static std::optional<qint64> notificationId(const QString& identifier);

signals:
    // The window should come to the front (the user activated a notification).
    void raiseRequested();
    // The activated notification names this ticket of the list: its detail should open.
    void ticketRequested(const QString& maintenanceNo);

private:
    MobileAppState& m_state;
};

} // namespace kalvorin
