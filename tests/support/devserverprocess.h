#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kalvorin::test {

// Runs the development server binary on a free port with a fresh database,
// for end-to-end tests and benchmarks.
class DevServerProcess {
public:
    // The demo accounts the server seeds.
    static inline const QString kAdmin = QStringLiteral("admin");
    static inline const QString kAdminPassword = QStringLiteral("Admin@2026");
    static inline const QString kSupervisor = QStringLiteral("sup.it");
    static inline const QString kSupervisorPassword = QStringLiteral("Super@2026");
    static inline const QString kAgent = QStringLiteral("agent.it");
    static inline const QString kAgentPassword = QStringLiteral("Agent@2026");

    explicit DevServerProcess(QString program) : m_program(std::move(program)) {}
    ~DevServerProcess();

    // Starts it with these extra options and waits for its listening line.
    bool start(const QStringList& extraArguments = {});
    void stop();

    // "http://127.0.0.1:PORT/kalvorin/"
    QString baseURL() const { return m_baseURL; }
    QString databasePath() const { return m_dir.path() + QStringLiteral("/devserver.sqlite"); }
    QString dataDir() const { return m_dir.path(); }
    QString output() const { return m_output; }

private:
    QString m_program;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_baseURL;
    QString m_output;
};

} // namespace kalvorin::test
