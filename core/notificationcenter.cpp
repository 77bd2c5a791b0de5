#include "notificationcenter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QPointer>
#include <QVariantMap>
#include <qcorodbuspendingcall.h>

namespace kalvorin {

DBusNotificationCenter::DBusNotificationCenter(QObject* parent) : NotificationCenter(parent) {}

bool DBusNotificationCenter::serviceAvailable() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    // Asking the bus itself is answered at once; only a running or activatable
    // notification service is worth a call.
    if (bus.interface()->isServiceRegistered(kService))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
}

QCoro::Task<bool> DBusNotificationCenter::requestAuthorization(int /*options*/) {
    // The desktop has no per-app permission prompt: permission is whether the
    // notification service answers.
    if (!serviceAvailable())
        co_return false;
    QPointer<DBusNotificationCenter> alive(this);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
    const QDBusMessage reply = co_await QDBusConnection::sessionBus().asyncCall(call, kCallTimeoutMs);
    if (!alive)
        co_return false;
    co_return reply.type() == QDBusMessage::ReplyMessage;
}

QCoro::Task<bool> DBusNotificationCenter::add(Content content) {
    if (!serviceAvailable())
        co_return false;
    QVariantMap hints;
    if (content.defaultSound)
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("kalvorin"));

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("KALVORIN") << m_serverIds.value(content.identifier, 0u) << QString()
         << content.title << content.body << QStringList() << hints << qint32(-1);
    QPointer<DBusNotificationCenter> alive(this);
    const QDBusMessage reply = co_await QDBusConnection::sessionBus().asyncCall(call, kCallTimeoutMs);
    if (!alive || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return false;
    m_serverIds.insert(content.identifier, reply.arguments().constFirst().toUInt());
    updateLauncherBadge(content.badge);
    co_return true;
}

void DBusNotificationCenter::updateLauncherBadge(qint64 count) const {
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/com/kalvorin/launcher"),
                                                     QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                     QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("count"), count);
    properties.insert(QStringLiteral("count-visible"), count > 0);
    signal << QStringLiteral("application://kalvorin.desktop") << properties;
    QDBusConnection::sessionBus().send(signal);
}

} // namespace kalvorin
