#include "cookiejar.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QNetworkCookie>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <numeric>

namespace kalvorin {

namespace {
constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kMaxFileSize = 1024 * 1024;

// A cookie without expiry lives as long as the process; one with an expiry until then.
bool isLive(const QNetworkCookie& cookie, const QDateTime& now) {
    return cookie.isSessionCookie() || cookie.expirationDate() > now;
}

bool fitsSize(const QNetworkCookie& cookie) {
    return cookie.name().size() + cookie.value().size() <= CookieJar::kMaxCookieBytes;
}

QString hostOf(const QNetworkCookie& cookie) {
    QString domain = cookie.domain().toLower();
    if (domain.startsWith(u'.'))
        domain.remove(0, 1);
    return domain;
}

// The bytes a cookie takes in the Cookie header, with its "; " separator.
qsizetype headerBytes(const QNetworkCookie& cookie) {
    return cookie.name().size() + 1 + cookie.value().size() + 2;
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
            if (isLasting(cookie, now) && !cookie.domain().isEmpty() && fitsSize(cookie))
                cookies.append(cookie);
        }
    }
    setAllCookies(cookies);
    keepPerHostLimit();
}

bool CookieJar::validateCookie(const QNetworkCookie& cookie, const QUrl& url) const {
    return fitsSize(cookie) && QNetworkCookieJar::validateCookie(cookie, url);
}

void CookieJar::keepPerHostLimit() {
    // allCookies() runs from the oldest set to the newest.
    QList<QNetworkCookie> cookies = allCookies();
    QHash<QString, qsizetype> left;
    for (const QNetworkCookie& cookie : cookies)
        ++left[hostOf(cookie)];
    const qsizetype before = cookies.size();
    cookies.removeIf([&](const QNetworkCookie& cookie) {
        qsizetype& count = left[hostOf(cookie)];
        if (count <= kMaxCookiesPerHost)
            return false;
        --count;
        return true;
    });
    if (cookies.size() != before)
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
        keepPerHostLimit();
        save();
    }
    return changed;
}

QList<QNetworkCookie> CookieJar::cookiesForUrl(const QUrl& url) const {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> out = QNetworkCookieJar::cookiesForUrl(url);
    out.removeIf([&](const QNetworkCookie& cookie) { return !isLive(cookie, now); });
    qsizetype total = 0;
    for (const QNetworkCookie& cookie : out)
        total += headerBytes(cookie);
    if (total <= kMaxHeaderBytes)
        return out;

    // Too many to send: the most recently set ones that fit go, in the order
    // the header would have had.
    const QList<QNetworkCookie> all = allCookies();
    QList<qsizetype> recency; // position of each of `out` among all, newest highest
    for (const QNetworkCookie& cookie : out)
        recency.append(all.indexOf(cookie));
    QList<qsizetype> byRecency(out.size());
    std::iota(byRecency.begin(), byRecency.end(), 0);
    std::sort(byRecency.begin(), byRecency.end(),
              [&](qsizetype a, qsizetype b) { return recency[a] > recency[b]; });
    QList<bool> sent(out.size(), false);
    total = 0;
    for (const qsizetype i : byRecency) {
        if (total + headerBytes(out[i]) > kMaxHeaderBytes)
            continue;
        total += headerBytes(out[i]);
        sent[i] = true;
    }
    QList<QNetworkCookie> fitting;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (sent[i])
            fitting.append(out[i]);
    return fitting;
}

} // namespace kalvorin
