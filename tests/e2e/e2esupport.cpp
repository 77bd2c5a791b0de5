#include "e2esupport.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QRegularExpression>

namespace kalvorin::e2e {

QString passwordOf(const QString& username) {
    if (username == kAdmin)
        return kAdminPassword;
    if (username.startsWith(QLatin1String("sup.")))
        return kSupervisorPassword;
    return kAgentPassword;
}

RunningServer::RunningServer() = default;

RunningServer::~RunningServer() {
    stop();
}

bool RunningServer::start(const QStringList& extraArguments) {
    QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"),       QStringLiteral("--db"),
                          databasePath(),           QStringLiteral("--reset"), QStringLiteral("--quiet")};
    arguments += extraArguments;
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral(KALVORIN_DEVSERVER_BIN), arguments);
    if (!m_process.waitForStarted(10000))
        return false;
    static const QRegularExpression listening(
        QStringLiteral("listening on (https?://127\\.0\\.0\\.1:(\\d+)/kalvorin/)api/mobile/index\\.php"));
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(100);
        m_output += QString::fromUtf8(m_process.readAll());
        const QRegularExpressionMatch match = listening.match(m_output);
        if (match.hasMatch()) {
            m_baseURL = match.captured(1);
            m_port = quint16(match.captured(2).toUInt());
            return true;
        }
    }
    m_output += QString::fromUtf8(m_process.readAll());
    return false;
}

int RunningServer::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
        return -1;
    }
    m_output += QString::fromUtf8(m_process.readAll());
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

Client::Client(QString baseURL)
    : m_baseURL(std::move(baseURL)),
      m_api(std::make_unique<KalvorinAPI>(m_dir.path() + QStringLiteral("/cookies"))) {}

Result<LoginResponse> Client::login(const QString& username, const QString& password) {
    return post<LoginResponse>(QStringLiteral("login"), {{QStringLiteral("username"), username},
                                                         {QStringLiteral("password"), password},
                                                         {QStringLiteral("biometricAvailable"), false}});
}

Result<TicketDetail> Client::ticket(const QString& number) {
    Result<TicketResponse> r = call<TicketResponse>(QStringLiteral("ticket"), QStringLiteral("GET"),
                                                    {{QStringLiteral("maintenanceNo"), number}});
    if (!r)
        return r.failure();
    if (!r->ticket)
        return Failure{QStringLiteral("KALVORIN"), 404, r->message.value_or(QStringLiteral("no ticket"))};
    return *r->ticket;
}

QJsonObject validTicketBody(qint64 serviceId, const QString& title) {
    return {{QStringLiteral("nationalId"), QStringLiteral("1098765432")},
            {QStringLiteral("beneficiaryUser"), QStringLiteral("test.beneficiary")},
            {QStringLiteral("title"), title},
            {QStringLiteral("description"), QStringLiteral("الجهاز يتوقف عن العمل بعد دقائق من التشغيل")},
            {QStringLiteral("serviceCatalogId"), serviceId},
            {QStringLiteral("priority"), QStringLiteral("عالية")},
            {QStringLiteral("beneficiaryName"), QStringLiteral("سالم التجريبي")},
            {QStringLiteral("contactMobile"), QStringLiteral("0551234567")},
            {QStringLiteral("mobile"), QStringLiteral("0551234567")},
            {QStringLiteral("fixedPhone"), QString()},
            {QStringLiteral("email"), QString()},
            {QStringLiteral("ipAddress"), QString()},
            {QStringLiteral("reporterDepartment"), QStringLiteral("قطاع التقنية والتحول الرقمي")},
            {QStringLiteral("reporterRegion"), QStringLiteral("إدارة منطقة الرياض")},
            {QStringLiteral("reporterDivision"), QStringLiteral("شعبة العمليات التقنية")},
            {QStringLiteral("reporterSection"), QStringLiteral("قسم الدعم الفني")},
            {QStringLiteral("participantScopeIds"), QJsonArray()},
            {QStringLiteral("participantReason"), QString()},
            {QStringLiteral("attachments"), QJsonArray()}};
}

QString createTicket(Client& client, qint64 serviceId) {
    Result<CreateTicketResponse> r =
        client.post<CreateTicketResponse>(QStringLiteral("create_ticket"), validTicketBody(serviceId));
    return r && r->ok ? r->maintenanceNo.value_or(QString()) : QString();
}

QJsonObject actionBody(const QString& number, const QString& operation, const QString& note,
                       const QString& scope, const QString& handler, const QString& reason) {
    return {{QStringLiteral("maintenanceNo"), number},
            {QStringLiteral("operation"), operation},
            {QStringLiteral("note"), note},
            {QStringLiteral("assignmentScope"), scope},
            {QStringLiteral("handlerUser"), handler},
            {QStringLiteral("routeReason"), reason}};
}

} // namespace kalvorin::e2e
