#include "cookiejar.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QSaveFile>
#include <QStandardPaths>

namespace kalvorin {

namespace {
constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kMaxFileSize = 1024 * 1024;

// A cookie without expiry lives as long as the process; one with an expiry until then.
bool isLive(const QNetworkCookie& cookie, const QDateTime& now) {
    return cookie.isSessionCookie() || cookie.expirationDate() > now;
}

// Worth keeping across launches: it carries an expiry that has not passed.
bool isLasting(const QNetworkCookie& cookie, const QDateTime& now) {
    return !cookie.isSessionCookie() && cookie.expirationDate() > now;
}
} // namespace

CookieJar::CookieJar(const QString& filePath, QObject* parent)
    : QNetworkCookieJar(parent), m_filePath(filePath.isEmpty() ? defaultFilePath() : filePath) {
    load();
}

QString CookieJar::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/cookies");
}

void CookieJar::load() {
    QFile file(m_filePath);
    if (file.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return;
    QList<QNetworkCookie> cookies;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        // A line that does not parse, or one that lost its domain, is skipped:
        // a damaged file costs at most a sign-in, never the start of the app.
        for (const QNetworkCookie& cookie : QNetworkCookie::parseCookies(line)) {
            if (isLasting(cookie, now) && !cookie.domain().isEmpty())
                cookies.append(cookie);
        }
    }
    setAllCookies(cookies);
}

void CookieJar::save() const {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QByteArray data;
    for (const QNetworkCookie& cookie : allCookies())
        if (isLasting(cookie, now))
            data += cookie.toRawForm(QNetworkCookie::Full) + '\n';
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    // Restrict the file before anything is written into it.
    file.setPermissions(kOwnerOnly);
    file.write(data);
    if (file.commit())
        QFile::setPermissions(m_filePath, kOwnerOnly);
}

void CookieJar::dropExpired() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> live = allCookies();
    const qsizetype before = live.size();
    live.removeIf([&](const QNetworkCookie& cookie) { return !isLive(cookie, now); });
    if (live.size() != before)
        setAllCookies(live);
}

bool CookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
    const bool changed = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    if (changed) {
        dropExpired();
        save();
    }
    return changed;
}

QList<QNetworkCookie> CookieJar::cookiesForUrl(const QUrl& url) const {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> out = QNetworkCookieJar::cookiesForUrl(url);
    out.removeIf([&](const QNetworkCookie& cookie) { return !isLive(cookie, now); });
    return out;
}

} // namespace kalvorin
