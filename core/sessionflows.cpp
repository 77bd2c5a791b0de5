// Status check, sign-in and sign-out.

#include "mobileappstate.h"
#include "records/json.h"
#include "servertext.h"

#include <QPointer>
#include <QRegularExpression>

namespace kalvorin {

namespace {

// The first rule the typed credentials break, or nothing.
std::optional<QString> credentialProblem(const QString& username, const QString& password) {
    if (username.isEmpty() && password.isEmpty())
        return QStringLiteral("أدخل اسم المستخدم وكلمة المرور.");
    if (username.isEmpty())
        return QStringLiteral("أدخل اسم المستخدم.");
    if (password.isEmpty())
        return QStringLiteral("أدخل كلمة المرور.");
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (!allowed.match(username).hasMatch())
        return QStringLiteral("اسم المستخدم يقبل حروف وأرقام إنجليزية والنقطة والشرطة فقط.");
    return std::nullopt;
}

// What the screens read as "the server does not answer".
StatusResponse unreachable() {
    return StatusResponse{false, false, std::nullopt, std::nullopt, std::nullopt};
}

} // namespace

QCoro::Task<> MobileAppState::checkStatus() {
    QPointer<MobileAppState> alive(this);
    Result<StatusResponse> answer =
        co_await request<StatusResponse>(QStringLiteral("status"), QStringLiteral("GET"));
    if (!alive)
        co_return;
    // Any failure means "unreachable": the screens show it from ok=false; no text.
    if (answer) {
        serverReached();
        if (m_user && answer->ok)
            setSessionEnded(answer->authenticated != true);
        setStatus(std::move(answer).value());
    } else
        setStatus(unreachable());
}

QCoro::Task<> MobileAppState::login(QString username, QString password, bool remember) {
    const QString name = username.trimmed();
    if (const auto problem = credentialProblem(name, password.trimmed())) {
        setErrorMessage(*problem);
        co_return;
    }
    setLoading(true);
    setErrorMessage(QString());

    // The password goes exactly as typed: blanks at its ends belong to it.
    const QJsonObject body{{QStringLiteral("username"), name},
                           {QStringLiteral("password"), password},
                           {QStringLiteral("biometricAvailable"), biometricEnabled()}};
    QPointer<MobileAppState> alive(this);
    Result<LoginResponse> answer =
        co_await request<LoginResponse>(QStringLiteral("login"), QStringLiteral("POST"), {}, body);
    if (!alive)
        co_return;
    if (!answer) {
        // A sign-in that failed short of the server's own refusal is news about the server too:
        // ask it again, so the connection dot does not stay green beside "connection refused".
        if (answer.failure().domain != KalvorinAPI::kErrorDomain)
            startCheckStatus();
        setErrorMessage(answer.description());
        setLoading(false);
        co_return;
    }
    if (!answer->ok) {
        setErrorMessage(answer->message ? shownServerText(*answer->message) : kLoginFailed);
        setLoading(false);
        co_return;
    }

    const bool otherAccount = m_user && name.compare(m_signedInName, Qt::CaseInsensitive) != 0;
    m_signedInName = name;
    if (otherAccount) {
        setDashboard(std::nullopt);
        setTickets({});
        setNotifications({});
        emit accountChanged();
    }
    // The user first, so the root view switches to the shell at once.
    setUser(answer->user);
    setSessionEnded(false);
    if (remember)
        setRememberedUsername(name);
    setBiometricEnabled(true);
    co_await prepareNotificationsAndRegisterDevice();
    if (!alive)
        co_return;
    co_await refreshAll();
    if (!alive)
        co_return;
    setLoading(false);
}

QCoro::Task<> MobileAppState::logout() {
    QPointer<MobileAppState> alive(this);
    // Whatever the server says, this device forgets the signed-in data.
    co_await request<APIMessage>(QStringLiteral("logout"), QStringLiteral("GET"));
    if (!alive)
        co_return;
    setUser(std::nullopt);
    setSessionEnded(false);
    m_signedInName.clear();
    setDashboard(std::nullopt);
    setTickets({});
    setNotifications({});
    setSelectedTab(0);
    co_await checkStatus();
}

void MobileAppState::startCheckStatus() {
    checkStatus();
}

void MobileAppState::startLogin(const QString& username, const QString& password, bool remember) {
    login(username, password, remember);
}

void MobileAppState::startResume(const QString& username, const QString& password) {
    login(username, password, !rememberedUsername().isEmpty());
}

void MobileAppState::startLogout() {
    logout();
}

} // namespace kalvorin
