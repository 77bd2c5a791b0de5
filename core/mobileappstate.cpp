#include "mobileappstate.h"

#include "records/variant.h"

namespace kalvorin {

MobileAppState::MobileAppState(QObject* parent, NotificationCenter* notifications)
    : QObject(parent), m_api(new KalvorinAPI({}, this)),
      m_notificationCenter(notifications ? notifications : new DBusNotificationCenter(this)) {}

MobileAppState::~MobileAppState() = default;

// ---- settings ------------------------------------------------------------

QString MobileAppState::serverURL() const {
    return m_settings.value(kServerURLKey, KalvorinAPI::defaultBaseURL()).toString();
}

void MobileAppState::setServerURL(const QString& value) {
    const bool changed = value != serverURL();
    m_settings.setValue(kServerURLKey, value);
    if (changed)
        emit serverURLChanged();
}

QString MobileAppState::rememberedUsername() const {
    return m_settings.value(kRememberedUsernameKey, QString()).toString();
}

void MobileAppState::setRememberedUsername(const QString& value) {
    const bool changed = value != rememberedUsername();
    m_settings.setValue(kRememberedUsernameKey, value);
    if (changed)
        emit rememberedUsernameChanged();
}

bool MobileAppState::biometricEnabled() const {
    return m_settings.value(kBiometricEnabledKey, false).toBool();
}

void MobileAppState::setBiometricEnabled(bool value) {
    const bool changed = value != biometricEnabled();
    m_settings.setValue(kBiometricEnabledKey, value);
    if (changed)
        emit biometricEnabledChanged();
}

QString MobileAppState::mobileDeviceId() const {
    return m_settings.value(kMobileDeviceIdKey, QString()).toString();
}

void MobileAppState::setMobileDeviceId(const QString& value) {
    const bool changed = value != mobileDeviceId();
    m_settings.setValue(kMobileDeviceIdKey, value);
    if (changed)
        emit mobileDeviceIdChanged();
}

qint64 MobileAppState::lastSeenNotificationId() const {
    return m_settings.value(kLastSeenNotificationIdKey, qint64(0)).toLongLong();
}

void MobileAppState::setLastSeenNotificationId(qint64 value) {
    const bool changed = value != lastSeenNotificationId();
    m_settings.setValue(kLastSeenNotificationIdKey, value);
    if (changed)
        emit lastSeenNotificationIdChanged();
}

// ---- fetched data and UI state -------------------------------------------

void MobileAppState::setStatus(std::optional<StatusResponse> value) {
    m_status = std::move(value);
    emit statusChanged();
}

void MobileAppState::setUser(std::optional<MobileUser> value) {
    m_user = std::move(value);
    emit userChanged();
}

void MobileAppState::setDashboard(std::optional<DashboardResponse> value) {
    m_dashboard = std::move(value);
    emit dashboardChanged();
}

void MobileAppState::setTickets(QList<TicketSummary> value) {
    m_tickets = std::move(value);
    emit ticketsChanged();
}

void MobileAppState::setNotifications(QList<MobileNotification> value) {
    m_notifications = std::move(value);
    emit notificationsChanged();
}

void MobileAppState::setReferences(std::optional<ReferenceDataResponse> value) {
    m_references = std::move(value);
    emit referencesChanged();
}

void MobileAppState::setParticipantScopes(const QString& maintenanceNo, QList<AssignmentScope> scopes) {
    m_participantScopes.insert(maintenanceNo, std::move(scopes));
    emit currentTicketParticipantScopesChanged();
}

void MobileAppState::setSelectedTab(int value) {
    if (value == m_selectedTab)
        return;
    m_selectedTab = value;
    emit selectedTabChanged();
}

void MobileAppState::setLoading(bool value) {
    if (value == m_loading)
        return;
    m_loading = value;
    emit loadingChanged();
}

void MobileAppState::setErrorMessage(const QString& value) {
    if (value == m_errorMessage)
        return;
    m_errorMessage = value;
    emit errorMessageChanged();
}

// ---- QML views of the records --------------------------------------------

QVariant MobileAppState::statusVariant() const {
    return toVariant(m_status);
}
QVariant MobileAppState::userVariant() const {
    return toVariant(m_user);
}
QVariant MobileAppState::dashboardVariant() const {
    return toVariant(m_dashboard);
}
QVariantList MobileAppState::ticketsVariant() const {
    return toVariant(m_tickets).toList();
}
QVariantList MobileAppState::notificationsVariant() const {
    return toVariant(m_notifications).toList();
}
QVariant MobileAppState::referencesVariant() const {
    return toVariant(m_references);
}
QVariantMap MobileAppState::participantScopesVariant() const {
    return toVariant(m_participantScopes).toMap();
}

} // namespace kalvorin
