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

DBusNotificationCenter::DBusNotificationCenter(QObject* parent) : NotificationCenter(parent) {
    // Every client of the service hears these signals: only our own notifications count.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("ActivationToken"), this,
                SLOT(onActivationToken(uint, QString)));
}

void DBusNotificationCenter::onActionInvoked(uint serverId, const QString& action) {
    const QString identifier = m_serverIds.key(serverId);
    if (identifier.isEmpty() || !delegate())
        return;
    delegate()->didReceive(identifier, action);
}

void DBusNotificationCenter::onActivationToken(uint serverId, const QString& token) {
    // Sent just before the activation: a Wayland compositor raises a window only with the
    // token, which Qt takes from the environment at the next activation request.
    if (!m_serverIds.key(serverId).isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

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
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    // Activating the notification itself opens the app where it is about.
    QStringList actions{kDefaultAction, content.title};
    for (const Action& action : std::as_const(content.actions))
        actions << action.key << action.label;

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("KALVORIN") << m_serverIds.value(content.identifier, 0u) << kDesktopEntry
         << content.title << content.body << actions << hints << qint32(-1);
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
    signal << QStringLiteral("application://%1.desktop").arg(kDesktopEntry) << properties;
    QDBusConnection::sessionBus().send(signal);
}

} // namespace kalvorin
