#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <qcorotask.h>

namespace kalvorin {

class NotificationCenterDelegate;

// The device's local notifications: ask permission, post a notification at
// once (title, body, default sound, badge). Posting an identifier again
// replaces the earlier notification instead of adding a second one.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    // Authorisation options, as the phone platform numbers them.
    enum AuthorizationOption { Badge = 1, Sound = 2, Alert = 4 };
    // Presentation options for a notification shown while the app is in front.
    enum PresentationOption { PresentBadge = 1, PresentSound = 2, PresentBanner = 16 };

    struct Content {
        QString identifier; // "kalvorin-<id>"
        QString title;
        QString body;
        qint64 badge = 0;
        bool defaultSound = true;
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
};

// The Linux desktop's notification service (org.freedesktop.Notifications on
// the session bus), with the badge sent to the launcher where the desktop
// supports it (com.canonical.Unity.LauncherEntry). Without a session bus or a
// notification service, permission is refused at once and posting fails
// quietly: no call ever waits for D-Bus's own time-out.
class DBusNotificationCenter : public NotificationCenter {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static constexpr int kCallTimeoutMs = 3000;

    explicit DBusNotificationCenter(QObject* parent = nullptr);

    QCoro::Task<bool> requestAuthorization(int options) override;
    QCoro::Task<bool> add(Content content) override;

private:
    bool serviceAvailable() const;
    void updateLauncherBadge(qint64 count) const;

    // What the service called each identifier's notification, so a second
    // post of the same identifier replaces the first.
    QHash<QString, uint> m_serverIds;
};

} // namespace kalvorin
