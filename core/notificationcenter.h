#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <qcorotask.h>

namespace kalvorin {

class NotificationCenterDelegate;

// The device's local notifications: ask permission, post a notification at
// once (title, body, default sound, badge, actions). Posting an identifier again
// replaces the earlier notification instead of adding a second one. What the
// user does with a posted notification goes to the delegate.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    // The desktop entry (and application id) the notifications belong to.
    static inline const QString kDesktopEntry = QStringLiteral(KALVORIN_APP_ID);
    // The action reported when the notification itself is activated.
    static inline const QString kDefaultAction = QStringLiteral("default");

    // Authorisation options, as the phone platform numbers them.
    enum AuthorizationOption { Badge = 1, Sound = 2, Alert = 4 };
    // Presentation options for a notification shown while the app is in front.
    enum PresentationOption { PresentBadge = 1, PresentSound = 2, PresentBanner = 16 };

    // A button on the notification: `key` comes back to the delegate, `label` is shown.
    struct Action {
        QString key;
        QString label;
    };

    struct Content {
        QString identifier; // "kalvorin-<id>"
        QString title;
        QString body;
        qint64 badge = 0;
        bool defaultSound = true;
        QList<Action> actions = {};
    };

    using QObject::QObject;

    // Whether the user lets the app post notifications with these options.
    virtual QCoro::Task<bool> requestAuthorization(int options) = 0;
    // Posts at once; false when the centre refused or could not be reached.
    virtual QCoro::Task<bool> add(Content content) = 0;

    NotificationCenterDelegate* delegate() const { return m_delegate; }
    void setDelegate(NotificationCenterDelegate* delegate) { m_delegate = delegate; }

private:
    NotificationCenterDelegate* m_delegate = nullptr;
};

class NotificationCenterDelegate {
public:
    virtual ~NotificationCenterDelegate() = default;
    // Options with which a notification is shown while the app is in front.
    virtual int willPresent(const NotificationCenter::Content& content) = 0;
    // The user answered the posted notification `identifier`: chose the action
    // `action`, or activated the notification itself (kDefaultAction).
    virtual void didReceive(const QString& identifier, const QString& action) = 0;
};

// The Linux desktop's notification service (org.freedesktop.Notifications on
// the session bus), with the badge sent to the launcher where the desktop
// supports it (com.canonical.Unity.LauncherEntry). Without a session bus or a
// notification service, permission is refused at once and posting fails
// quietly: no call ever waits for D-Bus's own time-out. The service's
// ActionInvoked signal for one of our notifications reaches the delegate.
class DBusNotificationCenter : public NotificationCenter {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static constexpr int kCallTimeoutMs = 3000;

    explicit DBusNotificationCenter(QObject* parent = nullptr);

    QCoro::Task<bool> requestAuthorization(int options) override;
    QCoro::Task<bool> add(Content content) override;

private slots:
    void onActionInvoked(uint serverId, const QString& action);
    void onActivationToken(uint serverId, const QString& token);

private:
    bool serviceAvailable() const;
    void updateLauncherBadge(qint64 count) const;

    // What the service called each identifier's notification, so a second
    // post of the same identifier replaces the first.
    QHash<QString, uint> m_serverIds;
};

} // namespace kalvorin
