#pragma once

#include <QNetworkCookieJar>
#include <QString>

namespace kalvorin {

// Keeps every cookie the server sets for the life of the process, and those
// that carry an expiry also across launches, in a file that only the user can
// read. A missing, unreadable or corrupt file is ignored: the app then simply
// starts signed out.
//
// A server cannot lock us out with cookies: each is at most 4 KB, each host
// keeps at most 50 (the oldest go first), and a request never carries a Cookie
// header over 8 KB (the most recently set cookies that fit go out). The file
// holds only what is kept, so a restart carries nothing more forward.
class CookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    // `filePath` empty means the default file in the app's data folder.
    explicit CookieJar(const QString& filePath = {}, QObject* parent = nullptr);

    static constexpr qsizetype kMaxCookieBytes = 4096;
    static constexpr qsizetype kMaxCookiesPerHost = 50;
    static constexpr qsizetype kMaxHeaderBytes = 8192;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;

protected:
    bool validateCookie(const QNetworkCookie& cookie, const QUrl& url) const override;

private:
    void load();
    // Drops the oldest cookies of every host that holds more than it may.
    void keepPerHostLimit();
    void save() const;
    void dropExpired();

    QString m_filePath;
};

} // namespace kalvorin
