#include "devserverprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace kalvorin::test {

DevServerProcess::~DevServerProcess() {
    stop();
}

bool DevServerProcess::start(const QStringList& extraArguments) {
    QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                          databasePath(), QStringLiteral("--reset")};
    arguments += extraArguments;
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(m_program, arguments);
    if (!m_process.waitForStarted(10000))
        return false;
    static const QRegularExpression listening(
        QStringLiteral("listening on (http\\S+/)api/mobile/index\\.php"));
    QDeadlineTimer deadline(120000); // a large seed takes a while
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        m_output += QString::fromUtf8(m_process.readAll());
        const QRegularExpressionMatch match = listening.match(m_output);
        if (match.hasMatch()) {
            m_baseURL = match.captured(1);
            return true;
        }
    }
    m_output += QString::fromUtf8(m_process.readAll());
    return false;
}

void DevServerProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

} // namespace kalvorin::test
