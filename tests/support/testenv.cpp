#include "testenv.h"

#include "cookiejar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace kalvorin::test {

void prepareEnvironment() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KalvorinTests"));
    QCoreApplication::setApplicationName(QCoreApplication::applicationName() + QStringLiteral("-test"));
    const QString runtime = QDir::tempPath() + QStringLiteral("/kalvorin-run-") + QString::number(getuid());
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    resetStoredState();
}

void resetStoredState() {
    QSettings().clear();
    QSettings().sync();
    QFile::remove(CookieJar::defaultFilePath());
}

QString withIsolates(const QString& marked) {
    QString out = marked;
    out.replace(u'<', QChar(0x2066)).replace(u'{', QChar(0x2068));
    out.replace(u'>', QChar(0x2069)).replace(u'}', QChar(0x2069));
    return out;
}

} // namespace kalvorin::test
