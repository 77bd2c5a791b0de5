// Device registration, local notifications, acknowledgement, and the shell's
// background session.

#include "appdelegate.h"
#include "mobileappstate.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <qcorosignal.h>

namespace kalvorin {

QCoro::Task<bool> MobileAppState::requestNotificationPermission() {
    QPointer<NotificationCenter> center(m_notificationCenter);
    const bool granted = co_await m_notificationCenter->requestAuthorization(
        NotificationCenter::Alert | NotificationCenter::Sound | NotificationCenter::Badge);
    co_return center&& granted;
}

QCoro::Task<> MobileAppState::prepareNotificationsAndRegisterDevice() {
    if (mobileDeviceId().isEmpty())
        setMobileDeviceId(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    QPointer<MobileAppState> alive(this);
    const bool granted = co_await requestNotificationPermission();
    if (!alive)
        co_return;
    const QString version = QCoreApplication::applicationVersion();
    // "ios" is not a mistake on a Linux device: the server knows this client by that fixed
    // protocol value (as it knows the User-Agent "KALVORIN-iOS-Native/2.0") and sorts devices
    // by it. Keep it exactly as it is.
    const QJsonObject body{
        {QStringLiteral("deviceId"), mobileDeviceId()},
        {QStringLiteral("platform"), QStringLiteral("ios")},
        {QStringLiteral("appVersion"), version.isEmpty() ? QStringLiteral("1.0.0") : version},
        {QStringLiteral("serverURL"), serverURL()},
        {QStringLiteral("notificationsEnabled"), granted}};
    // Registration is best effort: its answer and any failure are ignored.
    co_await request<MobileDeviceResponse>(QStringLiteral("register_device"), QStringLiteral("POST"), {},
                                           body);
}

QCoro::Task<> MobileAppState::publishNewLocalNotifications(QList<MobileNotification> from) {
    const qint64 lastSeen = lastSeenNotificationId();
    QList<MobileNotification> fresh;
    for (const MobileNotification& n : from)
        if (!n.isRead.value_or(false) && n.id > lastSeen)
            fresh.append(n);
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const MobileNotification& a, const MobileNotification& b) { return a.id < b.id; });
    if (fresh.isEmpty())
        co_return;

    const qint64 badge = fresh.size();
    QPointer<MobileAppState> alive(this);
    for (qsizetype i = 0; i < std::min<qsizetype>(fresh.size(), kMaxPostedPerPass); ++i) {
        const MobileNotification& n = fresh.at(i);
        NotificationCenter::Content content{
            QStringLiteral("kalvorin-%1").arg(n.id),
            n.title.value_or(kDefaultNotificationTitle),
            n.body.value_or(kDefaultNotificationBody),
            badge,
            true,
            {{KalvorinAppDelegate::kAcknowledgeAction, KalvorinAppDelegate::kAcknowledgeLabel}}};
        // A refused post is ignored; the next one is still posted.
        co_await m_notificationCenter->add(std::move(content));
        if (!alive)
            co_return;
    }
    // Those beyond the first five are passed over for good.
    setLastSeenNotificationId(std::max(lastSeenNotificationId(), fresh.constLast().id));
}

QCoro::Task<> MobileAppState::acknowledgeNotification(MobileNotification notification) {
    QPointer<MobileAppState> alive(this);
    const QJsonObject body{{QStringLiteral("notificationId"), notification.id}};
    Result<APIMessage> answer =
        co_await request<APIMessage>(QStringLiteral("ack_notification"), QStringLiteral("POST"), {}, body);
    if (!alive)
        co_return;
    if (!answer) {
        showLoadFailure(Load::Acknowledgement, answer.failure());
        co_return;
    }
    clearLoadFailure(Load::Acknowledgement);
    co_await loadNotifications();
}

void MobileAppState::startAcknowledgeNotification(qint64 id) {
    for (const MobileNotification& n : m_notifications) {
        if (n.id == id) {
            acknowledgeNotification(n);
            return;
        }
    }
}

QCoro::Task<> MobileAppState::runShellSession(int intervalMs) {
    const quint64 session = ++m_shellGeneration;
    m_shellSession = session;
    if (!m_shellWait) {
        m_shellWait = new QTimer(this);
        m_shellWait->setSingleShot(true);
        // Awaited through a signal of ours: QTimer's own carries a private
        // argument that reaches the awaiting code as a null reference.
        connect(m_shellWait, &QTimer::timeout, this, [this] { emit shellWaitElapsed(); });
    }
    QPointer<MobileAppState> alive(this);
    // Once stopped, nothing more goes out: a pass cut short by the stop does
    // not run, so no request leaves without a session right after sign-out.
    auto running = [&] { return alive && m_shellSession == session; };

    co_await prepareNotificationsAndRegisterDevice();
    if (!running())
        co_return;
    co_await refreshAll();
    while (running()) {
        m_shellWait->start(intervalMs);
        co_await qCoro(this, &MobileAppState::shellWaitElapsed);
        if (!running())
            co_return;
        co_await checkStatus();
        if (!running())
            co_return;
        co_await loadNotifications();
    }
}

void MobileAppState::startShellSession(int intervalMs) {
    runShellSession(intervalMs);
}

void MobileAppState::stopShellSession() {
    m_shellSession = 0;
    // Wake the waiting loop so it ends now instead of at the next tick.
    if (m_shellWait && m_shellWait->isActive())
        m_shellWait->start(0);
}

} // namespace kalvorin
