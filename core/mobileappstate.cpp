#include "mobileappstate.h"

#include "records/json.h"
#include "records/variant.h"

namespace kalvorin {

MobileAppState::MobileAppState(QObject* parent, NotificationCenter* notifications)
    : QObject(parent), m_api(new KalvorinAPI({}, this)),
      m_notificationCenter(notifications ? notifications : new DBusNotificationCenter(this)),
      m_ticketModel(new TicketListModel(this)), m_notificationModel(new NotificationListModel(this)),
      m_overview(new DashboardOverview(this)) {}

MobileAppState::~MobileAppState() = default;

// ---- settings ------------------------------------------------------------

// A write reaches the preference file at once: a crash right after it must not lose it (an
// unsaved last-announced id would announce old notifications again).
void MobileAppState::store(const QString& key, const QVariant& value) {
    m_settings.setValue(key, value);
    m_settings.sync();
}

QString MobileAppState::serverURL() const {
    return m_settings.value(kServerURLKey, KalvorinAPI::defaultBaseURL()).toString();
}

void MobileAppState::setServerURL(const QString& value) {
    const bool changed = value != serverURL();
    store(kServerURLKey, value);
    if (changed)
        emit serverURLChanged();
}

QString MobileAppState::rememberedUsername() const {
    return m_settings.value(kRememberedUsernameKey, QString()).toString();
}

void MobileAppState::setRememberedUsername(const QString& value) {
    const bool changed = value != rememberedUsername();
    store(kRememberedUsernameKey, value);
    if (changed)
        emit rememberedUsernameChanged();
}

bool MobileAppState::biometricEnabled() const {
    return m_settings.value(kBiometricEnabledKey, false).toBool();
}

void MobileAppState::setBiometricEnabled(bool value) {
    const bool changed = value != biometricEnabled();
    store(kBiometricEnabledKey, value);
    if (changed)
        emit biometricEnabledChanged();
}

QString MobileAppState::mobileDeviceId() const {
    return m_settings.value(kMobileDeviceIdKey, QString()).toString();
}

void MobileAppState::setMobileDeviceId(const QString& value) {
    const bool changed = value != mobileDeviceId();
    store(kMobileDeviceIdKey, value);
    if (changed)
        emit mobileDeviceIdChanged();
}

qint64 MobileAppState::lastSeenNotificationId() const {
    return m_settings.value(kLastSeenNotificationIdKey, qint64(0)).toLongLong();
}

void MobileAppState::setLastSeenNotificationId(qint64 value) {
    const bool changed = value != lastSeenNotificationId();
    store(kLastSeenNotificationIdKey, value);
    if (changed)
        emit lastSeenNotificationIdChanged();
}

// ---- fetched data and UI state -------------------------------------------

void MobileAppState::setStatus(std::optional<StatusResponse> value) {
    if (value == m_status)
        return;
    m_status = std::move(value);
    emit statusChanged();
    updateOverview();
    updateShowsShell();
}

void MobileAppState::setSessionEnded(bool value) {
    if (value == m_sessionEnded)
        return;
    m_sessionEnded = value;
    emit sessionEndedChanged();
}

QString MobileAppState::resumeName() const {
    const QString remembered = rememberedUsername();
    return remembered.isEmpty() ? m_signedInName : remembered;
}

void MobileAppState::setUser(std::optional<MobileUser> value) {
    if (value == m_user)
        return;
    m_user = std::move(value);
    emit userChanged();
    updateOverview();
    updateShowsShell();
}

void MobileAppState::setDashboard(std::optional<DashboardResponse> value) {
    if (value == m_dashboard)
        return;
    m_dashboard = std::move(value);
    emit dashboardChanged();
    updateOverview();
}

void MobileAppState::setTickets(QList<TicketSummary> value) {
    if (value == m_tickets)
        return;
    m_tickets = value;
    m_ticketModel->setTickets(std::move(value));
    // A notification opens its ticket only while the ticket is in the list.
    m_notificationModel->setTicketNumbers(TicketNumberIndex(m_tickets));
    emit ticketsChanged();
}

void MobileAppState::setNotifications(QList<MobileNotification> value) {
    if (value == m_notifications)
        return;
    m_notifications = value;
    m_notificationModel->setNotifications(std::move(value));
    emit notificationsChanged();
}

void MobileAppState::setReferences(std::optional<ReferenceDataResponse> value) {
    if (value == m_references)
        return;
    m_references = std::move(value);
    emit referencesChanged();
}

void MobileAppState::updateOverview() {
    m_overview->update(m_dashboard, m_user, m_status);
}

bool MobileAppState::showsShellFor(const std::optional<MobileUser>& user,
                                   const std::optional<StatusResponse>& status) {
    return user.has_value() || (status && status->authenticated == true);
}

void MobileAppState::updateShowsShell() {
    const bool shows = showsShell();
    if (shows == m_showsShell)
        return;
    m_showsShell = shows;
    emit showsShellChanged();
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
    m_failedLoad = Load::None;
    if (value == m_errorMessage)
        return;
    m_errorMessage = value;
    emit errorMessageChanged();
}

void MobileAppState::showLoadFailure(Load load, const Failure& failure) {
    setErrorMessage(failure.description);
    m_failedLoad = load;
    // Neither the server's refusal nor its unreadable answer: the server was not reached.
    m_failedUnreached =
        failure.domain != KalvorinAPI::kErrorDomain && failure.domain != json::kDecodingDomain;
}

void MobileAppState::clearLoadFailure(Load load) {
    if (m_failedLoad == load)
        setErrorMessage(QString());
}

void MobileAppState::serverReached() {
    if (m_failedLoad != Load::None && m_failedUnreached)
        setErrorMessage(QString());
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
QVariant MobileAppState::referencesVariant() const {
    return toVariant(m_references);
}
QVariantMap MobileAppState::participantScopesVariant() const {
    return toVariant(m_participantScopes).toMap();
}

} // namespace kalvorin
