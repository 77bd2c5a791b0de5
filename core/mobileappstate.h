#pragma once

#include "dashboardoverview.h"
#include "kalvorinapi.h"
#include "notificationcenter.h"
#include "notificationlistmodel.h"
#include "records/records.h"
#include "ticketlistmodel.h"

#include <QMap>
#include <QObject>
#include <QSettings>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <optional>
#include <qcorotask.h>

class QTimer;

namespace kalvorin {

// The one application state: the five settings that outlive a run, the data
// fetched from the server, the UI-wide state that several screens share, and
// the request client. Screens read its properties and call its operations.
//
// Lists reach QML as models over the records (`tickets`, `notifications`, and
// the dashboard's derived `overview`), updated by difference so views keep their
// place; single records are exposed as maps (a field without value is left out).
// C++ rules and tests read the records themselves through the typed accessors.
// A setter given the value already held emits nothing.
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
    Q_PROPERTY(kalvorin::TicketListModel* tickets READ ticketModel CONSTANT)
    Q_PROPERTY(kalvorin::NotificationListModel* notifications READ notificationModel CONSTANT)
    Q_PROPERTY(kalvorin::DashboardOverview* overview READ overview CONSTANT)
    Q_PROPERTY(bool showsShell READ showsShell NOTIFY showsShellChanged)
    Q_PROPERTY(QVariant references READ referencesVariant NOTIFY referencesChanged)
    Q_PROPERTY(QVariantMap currentTicketParticipantScopes READ participantScopesVariant NOTIFY
                   currentTicketParticipantScopesChanged)
    Q_PROPERTY(int selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage WRITE setErrorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool sessionEnded READ sessionEnded NOTIFY sessionEndedChanged)
    Q_PROPERTY(QString resumeName READ resumeName NOTIFY sessionEndedChanged)

public:
    // Preference keys, exactly as stored.
    static inline const QString kServerURLKey = QStringLiteral("serverURL");
    static inline const QString kRememberedUsernameKey = QStringLiteral("rememberedUsername");
    static inline const QString kBiometricEnabledKey = QStringLiteral("biometricEnabled");
    static inline const QString kMobileDeviceIdKey = QStringLiteral("mobileDeviceId");
    static inline const QString kLastSeenNotificationIdKey = QStringLiteral("lastSeenNotificationId");

    static inline const QString kLoginFailed = QStringLiteral("تعذر تسجيل الدخول.");
    static inline const QString kDefaultNotificationTitle = QStringLiteral("إشعار KALVORIN");
    static inline const QString kDefaultNotificationBody = QStringLiteral("لديك إشعار جديد في النظام.");
    static inline const QString kTicketNotFound = QStringLiteral("لم يتم العثور على البلاغ.");
    static inline const QString kUploadDone = QStringLiteral("تم رفع المرفق.");
    static inline const QString kUploadFailed = QStringLiteral("تعذر رفع المرفق.");
    static constexpr int kMaxPostedPerPass = 5;
    static constexpr int kPollIntervalMs = 30000;

    // `notifications` null means the desktop's own notification service.
    explicit MobileAppState(QObject* parent = nullptr, NotificationCenter* notifications = nullptr);
    ~MobileAppState() override;

    // ---- session: status, sign-in, sign-out ----
    QCoro::Task<> checkStatus();
    QCoro::Task<> login(QString username, QString password, bool remember);
    QCoro::Task<> logout();

    // ---- data refresh ----
    QCoro::Task<> refreshAll();
    QCoro::Task<> loadDashboard();
    QCoro::Task<> loadTickets();
    QCoro::Task<> loadNotifications();
    QCoro::Task<> loadReferences();

    // ---- notifications and device registration ----
    QCoro::Task<bool> requestNotificationPermission();
    QCoro::Task<> prepareNotificationsAndRegisterDevice();
    QCoro::Task<> publishNewLocalNotifications(QList<MobileNotification> from);
    QCoro::Task<> acknowledgeNotification(MobileNotification notification);

    // ---- the new-ticket form's lookups ----
    // They never fail: a failed request comes back as an answer with `ok` and
    // `found` false and the failure's description as its `message`.
    QCoro::Task<LookupPersonResponse> lookupBeneficiary(QString nationalId);
    QCoro::Task<LookupPersonResponse> lookupAccount(QString account);
    // ---- ticket detail and closure evidence ----
    // One ticket in full; a reply without a ticket fails with its message (or
    // kTicketNotFound), domain "KALVORIN" and code 404. Keeps the ticket's
    // joint-processing scopes in currentTicketParticipantScopes.
    QCoro::Task<Result<TicketDetail>> ticketDetail(QString number);
    // What a write ended with: the text to show, and whether the server applied it.
    struct WriteOutcome {
        QString text;
        bool done = false;
    };
    // Sends the file at `fileURL` as the ticket's attachment, streamed from
    // the file as it leaves (never read whole). Never fails: the text to show.
    // `progress` hears the body's bytes sent and its total.
    QCoro::Task<WriteOutcome> uploadAttachment(QString number, QUrl fileURL, QString purpose,
                                               std::function<void(qint64, qint64)> progress = {});
    // The media type registered for a file name's extension, else "application/octet-stream".
    static QString mediaTypeForFileName(const QString& fileName);

    // The signed-in shell's background work: register the device, refresh,
    // then every interval the status check and the notifications load. It
    // ends as soon as it is stopped: no request leaves after the stop.
    QCoro::Task<> runShellSession(int intervalMs);
    bool shellSessionRunning() const { return m_shellSession != 0; }

    // For QML: the operations above started as tasks that are not waited for.
    Q_INVOKABLE void startCheckStatus();
    Q_INVOKABLE void startLogin(const QString& username, const QString& password, bool remember);
    Q_INVOKABLE void startLogout();
    // Signs in again after the server ended the session; whether the name is
    // remembered stays as the user chose at the first sign-in.
    Q_INVOKABLE void startResume(const QString& username, const QString& password);
    Q_INVOKABLE void startRefreshAll();
    Q_INVOKABLE void startLoadTickets();
    Q_INVOKABLE void startLoadNotifications();
    Q_INVOKABLE void startAcknowledgeNotification(qint64 id);
    Q_INVOKABLE void startShellSession(int intervalMs = kPollIntervalMs);
    Q_INVOKABLE void stopShellSession();

    NotificationCenter* notificationCenter() const { return m_notificationCenter; }

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

    TicketListModel* ticketModel() const { return m_ticketModel; }
    NotificationListModel* notificationModel() const { return m_notificationModel; }
    DashboardOverview* overview() const { return m_overview; }

    // The root view shows the signed-in shell when a user is signed in, or when
    // the server says the cookie's session is.
    bool showsShell() const { return showsShellFor(m_user, m_status); }
    static bool showsShellFor(const std::optional<MobileUser>& user,
                              const std::optional<StatusResponse>& status);

    // UI-wide state.
    int selectedTab() const { return m_selectedTab; }
    void setSelectedTab(int value);
    bool loading() const { return m_loading; }
    void setLoading(bool value);
    QString errorMessage() const { return m_errorMessage; }
    // A text of its own (sign-in, a dismissal): no load owns it.
    void setErrorMessage(const QString& value);
    void setSessionEnded(bool value);

    KalvorinAPI* api() const { return m_api; }

    // The server ended the session of the signed-in user (expiry, a restart,
    // a sign-in elsewhere): its status check answered, and not as signed in.
    // The screens stay; signing in again is the cure.
    bool sessionEnded() const { return m_sessionEnded; }
    // The name offered to sign in again: the remembered one, else the one
    // signed in with (kept in memory only).
    QString resumeName() const;

signals:
    // The shell's wait between two polling passes is over (or was cut short).
    void shellWaitElapsed();
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
    void showsShellChanged();
    void referencesChanged();
    void currentTicketParticipantScopesChanged();
    void selectedTabChanged();
    void loadingChanged();
    void errorMessageChanged();
    void sessionEndedChanged();
    // A sign-in as another account than the one signed in: what the screens
    // hold (a draft, an open ticket) belongs to the other one.
    void accountChanged();

private:
    // The loads whose failure the banner shows. The banner belongs to the load that failed: the
    // same load's later success takes it away, and so does a status check that reaches the
    // server again after the load could not reach it.
    enum class Load { None, Dashboard, Tickets, Acknowledgement };
    void showLoadFailure(Load load, const Failure& failure);
    void clearLoadFailure(Load load);
    void serverReached();

    void store(const QString& key, const QVariant& value);
    QVariant statusVariant() const;
    QVariant userVariant() const;
    QVariant dashboardVariant() const;
    void updateOverview();
    void updateShowsShell();
    QVariant referencesVariant() const;
    QVariantMap participantScopesVariant() const;

    // The request of an operation, always against the base URL stored now.
    template <class T>
    QCoro::Task<Result<T>> request(QString action, QString method, KalvorinAPI::Query query = {},
                                   RequestBody body = {}) {
        return m_api->send<T>(serverURL(), std::move(action), std::move(method), std::move(query),
                              std::move(body));
    }

    mutable QSettings m_settings;
    KalvorinAPI* m_api;
    NotificationCenter* m_notificationCenter;
    // Which shell session may still run (0: none); a stop bumps it, and the
    // running loop notices at its next step.
    quint64 m_shellSession = 0;
    quint64 m_shellGeneration = 0;
    QTimer* m_shellWait = nullptr;

    std::optional<StatusResponse> m_status;
    std::optional<MobileUser> m_user;
    std::optional<DashboardResponse> m_dashboard;
    QList<TicketSummary> m_tickets;
    QList<MobileNotification> m_notifications;
    std::optional<ReferenceDataResponse> m_references;
    QMap<QString, QList<AssignmentScope>> m_participantScopes;
    TicketListModel* m_ticketModel;
    NotificationListModel* m_notificationModel;
    DashboardOverview* m_overview;
    bool m_showsShell = false;
    int m_selectedTab = 0;
    bool m_loading = false;
    QString m_errorMessage;
    bool m_sessionEnded = false;
    QString m_signedInName;
    Load m_failedLoad = Load::None;
    bool m_failedUnreached = false;
};

} // namespace kalvorin
