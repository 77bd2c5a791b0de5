#pragma once

#include "kalvorinapi.h"
#include "records/records.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace kalvorin::e2e {

inline const QString kAgent = QStringLiteral("agent.it");
inline const QString kAgentPassword = QStringLiteral("Agent@2026");
inline const QString kSupervisor = QStringLiteral("sup.it");
inline const QString kSupervisorPassword = QStringLiteral("Super@2026");
inline const QString kAdmin = QStringLiteral("admin");
inline const QString kAdminPassword = QStringLiteral("Admin@2026");

// The password of a seeded account, by its role's naming.
QString passwordOf(const QString& username);

// The real devserver binary on a free port with a fresh database in a
// temporary folder. Stops it (SIGTERM) when destroyed.
class RunningServer {
public:
    RunningServer();
    ~RunningServer();

    bool start(const QStringList& extraArguments = {});
    // SIGTERM, then the exit code (-1 when it had to be killed).
    int stop();

    QString baseURL() const { return m_baseURL; } // http://127.0.0.1:PORT/kalvorin/
    quint16 port() const { return m_port; }
    QString dir() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.path() + QStringLiteral("/devserver.sqlite"); }
    QString journalPath() const { return m_dir.path() + QStringLiteral("/journal.jsonl"); }
    QString output() const { return m_output; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_baseURL;
    quint16 m_port = 0;
    QString m_output;
};

// One signed-in phone: its own request client and cookie file.
class Client {
public:
    explicit Client(QString baseURL);

    template <class T>
    Result<T> call(const QString& action, const QString& method = QStringLiteral("GET"),
                   const KalvorinAPI::Query& query = {}, std::optional<QJsonObject> body = std::nullopt) {
        return QCoro::waitFor(m_api->send<T>(m_baseURL, action, method, query, std::move(body)));
    }
    template <class T> Result<T> post(const QString& action, const QJsonObject& body) {
        return call<T>(action, QStringLiteral("POST"), {}, body);
    }

    Result<LoginResponse> login(const QString& username, const QString& password);
    Result<TicketDetail> ticket(const QString& number);

    KalvorinAPI& api() { return *m_api; }
    QString baseURL() const { return m_baseURL; }

private:
    QTemporaryDir m_dir;
    QString m_baseURL;
    std::unique_ptr<KalvorinAPI> m_api;
};

// A create_ticket body that the server accepts, for service `serviceId`.
QJsonObject validTicketBody(qint64 serviceId = 101,
                            const QString& title = QStringLiteral("تعطل جهاز الحاسب في المكتب"));

// Creates a ticket and returns its number (empty on failure).
QString createTicket(Client& client, qint64 serviceId = 101);

// The body of a ticket_action request with every member present.
QJsonObject actionBody(const QString& number, const QString& operation, const QString& note,
                       const QString& scope = {}, const QString& handler = {}, const QString& reason = {});

} // namespace kalvorin::e2e
