#pragma once

#include <QNetworkCookieJar>
#include <QString>

namespace kalvorin {

// Keeps every cookie the server sets for the life of the process, and those
// that carry an expiry also across launches, in a file that only the user can
// read. A missing, unreadable or corrupt file is ignored: the app then simply
// starts signed out.
class CookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    // `filePath` empty means the default file in the app's data folder.
    explicit CookieJar(const QString& filePath = {}, QObject* parent = nullptr);

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;

private:
    void load();
    void save() const;
    void dropExpired();

    QString m_filePath;
};

} // namespace kalvorin
