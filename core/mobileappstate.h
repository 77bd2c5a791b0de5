#pragma once

#include "kalvorinapi.h"
#include "records/records.h"

#include <QMap>
#include <QObject>
#include <QSettings>
#include <QVariant>
#include <optional>

namespace kalvorin {

// The one application state: the five settings that outlive a run, the data
// fetched from the server, the UI-wide state that several screens share, and
// the request client. Screens read its properties and call its operations.
//
// Records are exposed to QML as maps (a field without value is left out); C++
// rules and tests read the records themselves through the typed accessors.
class MobileAppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString serverURL READ serverURL WRITE setServerURL NOTIFY serverURLChanged)
    Q_PROPERTY(QString rememberedUsername READ rememberedUsername NOTIFY rememberedUsernameChanged)
    Q_PROPERTY(bool biometricEnabled READ biometricEnabled NOTIFY biometricEnabledChanged)
    Q_PROPERTY(QString mobileDeviceId READ mobileDeviceId NOTIFY mobileDeviceIdChanged)
    Q_PROPERTY(qint64 lastSeenNotificationId READ lastSeenNotificationId NOTIFY lastSeenNotificationIdChanged)
    Q_PROPERTY(QVariant status READ statusVariant NOTIFY statusChanged)
    Q_PROPERTY(QVariant user READ userVariant NOTIFY userChanged)
    Q_PROPERTY(QVariant dashboard READ dashboardVariant NOTIFY dashboardChanged)
    Q_PROPERTY(QVariantList tickets READ ticketsVariant NOTIFY ticketsChanged)
    Q_PROPERTY(QVariantList notifications READ notificationsVariant NOTIFY notificationsChanged)
    Q_PROPERTY(QVariant references READ referencesVariant NOTIFY referencesChanged)
    Q_PROPERTY(QVariantMap currentTicketParticipantScopes READ participantScopesVariant NOTIFY
                   currentTicketParticipantScopesChanged)
    Q_PROPERTY(int selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage WRITE setErrorMessage NOTIFY errorMessageChanged)

public:
    // Preference keys, exactly as stored.
    static inline const QString kServerURLKey = QStringLiteral("serverURL");
    static inline const QString kRememberedUsernameKey = QStringLiteral("rememberedUsername");
    static inline const QString kBiometricEnabledKey = QStringLiteral("biometricEnabled");
    static inline const QString kMobileDeviceIdKey = QStringLiteral("mobileDeviceId");
    static inline const QString kLastSeenNotificationIdKey = QStringLiteral("lastSeenNotificationId");

    explicit MobileAppState(QObject* parent = nullptr);
    ~MobileAppState() override;

    // Settings: read from and written to the preference store on every access.
    QString serverURL() const;
    void setServerURL(const QString& value);
    QString rememberedUsername() const;
    void setRememberedUsername(const QString& value);
    bool biometricEnabled() const;
    void setBiometricEnabled(bool value);
    QString mobileDeviceId() const;
    void setMobileDeviceId(const QString& value);
    qint64 lastSeenNotificationId() const;
    void setLastSeenNotificationId(qint64 value);

    // Fetched data.
    const std::optional<StatusResponse>& status() const { return m_status; }
    void setStatus(std::optional<StatusResponse> value);
    const std::optional<MobileUser>& user() const { return m_user; }
    void setUser(std::optional<MobileUser> value);
    const std::optional<DashboardResponse>& dashboard() const { return m_dashboard; }
    void setDashboard(std::optional<DashboardResponse> value);
    const QList<TicketSummary>& tickets() const { return m_tickets; }
    void setTickets(QList<TicketSummary> value);
    const QList<MobileNotification>& notifications() const { return m_notifications; }
    void setNotifications(QList<MobileNotification> value);
    const std::optional<ReferenceDataResponse>& references() const { return m_references; }
    void setReferences(std::optional<ReferenceDataResponse> value);
    const QMap<QString, QList<AssignmentScope>>& currentTicketParticipantScopes() const {
        return m_participantScopes;
    }
    void setParticipantScopes(const QString& maintenanceNo, QList<AssignmentScope> scopes);

    // UI-wide state.
    int selectedTab() const { return m_selectedTab; }
    void setSelectedTab(int value);
    bool loading() const { return m_loading; }
    void setLoading(bool value);
    QString errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const QString& value);

    KalvorinAPI* api() const { return m_api; }

signals:
    void serverURLChanged();
    void rememberedUsernameChanged();
    void biometricEnabledChanged();
    void mobileDeviceIdChanged();
    void lastSeenNotificationIdChanged();
    void statusChanged();
    void userChanged();
    void dashboardChanged();
    void ticketsChanged();
    void notificationsChanged();
    void referencesChanged();
    void currentTicketParticipantScopesChanged();
    void selectedTabChanged();
    void loadingChanged();
    void errorMessageChanged();

private:
    QVariant statusVariant() const;
    QVariant userVariant() const;
    QVariant dashboardVariant() const;
    QVariantList ticketsVariant() const;
    QVariantList notificationsVariant() const;
    QVariant referencesVariant() const;
    QVariantMap participantScopesVariant() const;

    mutable QSettings m_settings;
    KalvorinAPI* m_api;

    std::optional<StatusResponse> m_status;
    std::optional<MobileUser> m_user;
    std::optional<DashboardResponse> m_dashboard;
    QList<TicketSummary> m_tickets;
    QList<MobileNotification> m_notifications;
    std::optional<ReferenceDataResponse> m_references;
    QMap<QString, QList<AssignmentScope>> m_participantScopes;
    int m_selectedTab = 0;
    bool m_loading = false;
    QString m_errorMessage;
};

} // namespace kalvorin
