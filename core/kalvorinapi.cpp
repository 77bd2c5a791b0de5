#include "kalvorinapi.h"

#include "records/session.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <memory>
#include <qcoronetworkreply.h>

namespace kalvorin {

namespace {

QString badURLDescription() {
    return QStringLiteral("رابط الخادم غير صالح.");
}

Failure badURL() {
    return Failure{QStringLiteral("URL"), -1000, badURLDescription()};
}

// Connection-level errors (below 200: refused, closed, time-out, cancelled,
// TLS, proxy) mean the exchange itself failed, even when a status line had
// already arrived; the other errors only restate the status of an answer.
bool isTransportError(QNetworkReply::NetworkError e) {
    return int(e) < 200;
}

struct ReplyDeleter {
    void operator()(QNetworkReply* r) const {
        if (r)
            r->deleteLater();
    }
};

} // namespace

KalvorinAPI::KalvorinAPI(const QString& cookieFile, QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)), m_cookies(new CookieJar(cookieFile)) {
    m_network->setCookieJar(m_cookies); // the manager takes ownership
    m_network->setTransferTimeout(kTimeoutMs);
}

QString KalvorinAPI::defaultBaseURL() {
    return QStringLiteral("http://localhost:8080/kalvorin/");
}

QString KalvorinAPI::endpointText(const QString& baseURL) {
    QString text = baseURL.trimmed();
    if (text.isEmpty())
        text = defaultBaseURL();
    if (!text.startsWith(QLatin1String("http://")) && !text.startsWith(QLatin1String("https://")))
        text.prepend(QLatin1String("https://"));
    if (!text.endsWith(u'/'))
        text.append(u'/');
    text.append(QLatin1String("api/mobile/index.php"));
    return text;
}

std::optional<QUrl> KalvorinAPI::endpoint(const QString& baseURL) {
    const QUrl url(endpointText(baseURL), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QUrl> KalvorinAPI::requestURL(const QString& baseURL, const QString& action,
                                            const Query& query) {
    std::optional<QUrl> url = endpoint(baseURL);
    if (!url)
        return std::nullopt;
    QByteArray encoded = "action=" + QUrl::toPercentEncoding(action);
    for (const auto& [name, value] : query)
        encoded += '&' + QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    url->setQuery(QString::fromLatin1(encoded), QUrl::StrictMode);
    if (!url->isValid())
        return std::nullopt;
    return url;
}

QCoro::Task<Result<KalvorinAPI::Answer>> KalvorinAPI::exchange(QString baseURL, QString action,
                                                               QString method, Query query,
                                                               std::optional<QJsonObject> body) {
    const std::optional<QUrl> url = requestURL(baseURL, action, query);
    if (!url)
        co_return badURL();

    QNetworkRequest request(*url);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", kUserAgent.toLatin1());

    QByteArray payload;
    if (body) {
        request.setRawHeader("Content-Type", "application/json; charset=utf-8");
        payload = QJsonDocument(*body).toJson(QJsonDocument::Compact);
    }

    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(
        body ? m_network->sendCustomRequest(request, method.toLatin1(), payload)
             : m_network->sendCustomRequest(request, method.toLatin1()));
    QPointer<QNetworkReply> guard(reply.get());
    co_await qCoro(reply.get()).waitForFinished();
    if (!guard) {
        reply.release(); // already gone with its manager
        co_return Failure{QStringLiteral("QNetworkReply"), int(QNetworkReply::OperationCanceledError),
                          QStringLiteral("أُلغي الطلب.")};
    }

    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    if (error != QNetworkReply::NoError && (!statusAttribute.isValid() || isTransportError(error)))
        co_return Failure{QStringLiteral("QNetworkReply"), int(error), reply->errorString()};

    Answer answer;
    answer.status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    answer.successful = !statusAttribute.isValid() || (answer.status >= 200 && answer.status <= 299);
    answer.body = reply->readAll();
    co_return answer;
}

Failure KalvorinAPI::refusal(const Answer& answer) {
    // The server explains a refusal in `message`; `error` is never shown.
    QString text = kFallbackMessage;
    const Result<APIMessage> message = json::decode<APIMessage>(answer.body);
    if (message && message->message)
        text = *message->message;
    return Failure{kErrorDomain, answer.status, text};
}

} // namespace kalvorin
