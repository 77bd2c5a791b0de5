#include "kalvorinapi.h"

#include "records/session.h"
#include "servertext.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <chrono>
#include <memory>
#include <qcoronetworkreply.h>

namespace kalvorin {

namespace {

// How much the network layer may hold of an answer before we take it.
constexpr qint64 kReadBuffer = 1024 * 1024;

Failure badURL() {
    return Failure{QStringLiteral("URL"), -1000, QStringLiteral("رابط الخادم غير صالح.")};
}

Failure stopped(const QString& text) {
    return Failure{QStringLiteral("REQUEST"), -1, text};
}

Failure tooLarge() {
    return stopped(QStringLiteral("رد الخادم أكبر من الحد المسموح."));
}

Failure pastDeadline() {
    return stopped(QStringLiteral("استغرق رد الخادم أطول من المهلة المسموحة، فأُوقف الطلب."));
}

Failure refusedRedirect() {
    return stopped(QStringLiteral("رفض التطبيق إعادة توجيه الطلب إلى عنوان آخر."));
}

Failure unfinishedUpload() {
    return stopped(QStringLiteral("لم يكتمل إرسال الطلب إلى الخادم."));
}

// Our own sentence for each class of transport failure: the platform's texts
// are partly untranslated, and a user needs to know what to check.
Failure transportFailure(QNetworkReply::NetworkError error, bool certificateRejected) {
    QString text;
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        text = QStringLiteral("رفض الخادم الاتصال. تأكد من عنوان الخادم ومن أنه يعمل.");
        break;
    case QNetworkReply::HostNotFoundError:
        text = QStringLiteral("تعذر العثور على الخادم. تحقق من عنوان الخادم.");
        break;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the inactivity time-out ends this way
        text = QStringLiteral("انتهت مهلة الاتصال: لم يرد الخادم في الوقت المحدد.");
        break;
    case QNetworkReply::RemoteHostClosedError:
        text = QStringLiteral("أغلق الخادم الاتصال قبل اكتمال الرد.");
        break;
    case QNetworkReply::SslHandshakeFailedError:
        text = certificateRejected ? QStringLiteral("تعذر إنشاء اتصال آمن: شهادة الخادم غير موثوقة.")
                                   : QStringLiteral("تعذر إنشاء اتصال آمن بالخادم.");
        break;
    case QNetworkReply::TooManyRedirectsError:
        text = QStringLiteral("أعاد الخادم توجيه الطلب مرات كثيرة.");
        break;
    case QNetworkReply::InsecureRedirectError:
        return refusedRedirect();
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        text = QStringLiteral("الشبكة غير متاحة. تحقق من اتصال الجهاز.");
        break;
    case QNetworkReply::ProtocolFailure:
        text = QStringLiteral("رد الخادم ليس رداً صالحاً.");
        break;
    default:
        text = int(error) >= 101 && int(error) <= 199 ? QStringLiteral("تعذر الاتصال بالخادم عبر الوكيل.")
                                                      : QStringLiteral("تعذر الاتصال بالخادم.");
        break;
    }
    return Failure{QStringLiteral("QNetworkReply"), int(error), text};
}

// Connection-level errors (below 200: refused, closed, time-out, cancelled,
// TLS, proxy) mean the exchange itself failed, even when a status line had
// already arrived; the other errors only restate the status of an answer.
bool isTransportError(QNetworkReply::NetworkError e) {
    return int(e) < 200;
}

int portOf(const QUrl& url) {
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

// A redirect may only move within the origin the user chose, and never a body:
// a login re-sent elsewhere would hand the password to whoever asked.
bool mayFollow(const QUrl& from, const QUrl& to, bool hasBody) {
    return !hasBody && to.scheme() == from.scheme() &&
           to.host().compare(from.host(), Qt::CaseInsensitive) == 0 && portOf(to) == portOf(from);
}

struct ReplyDeleter {
    void operator()(QNetworkReply* r) const {
        if (r)
            r->deleteLater();
    }
};

// What the watchers of one reply learn while it runs.
struct Watch {
    std::optional<Failure> stop; // why we aborted it, when we did
    QByteArray body;
    bool certificateRejected = false;
    bool timedOut = false;
};

} // namespace

KalvorinAPI::KalvorinAPI(const QString& cookieFile, QObject* parent)
    : QObject(parent), m_cookies(new CookieJar(cookieFile, this)) {
    m_network = freshNetwork();
}

QNetworkAccessManager* KalvorinAPI::freshNetwork() {
    auto* network = new QNetworkAccessManager(this);
    network->setCookieJar(m_cookies);
    m_cookies->setParent(this); // shared by every manager, ours to keep
    network->setTransferTimeout(kTimeoutMs);
    return network;
}

void KalvorinAPI::retire(QNetworkAccessManager* network) {
    // Qt reads the answers of one manager on one thread, and a server that
    // never ends a header line keeps that thread busy after the request is
    // gone, stalling every later request of the manager. Later requests get a
    // fresh manager; the old one stays with us (deleting it would wait for its
    // thread on ours) and goes when the client does.
    if (network == m_network)
        m_network = freshNetwork();
}

void KalvorinAPI::addTrustedAuthorities(const QString& pemFile) {
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificates(pemFile);
    QSslConfiguration::setDefaultConfiguration(trusting);
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

qint64 KalvorinAPI::deadlineFor(qint64 bodyBytes) const {
    return m_deadlineMs + bodyBytes * 1000 / kSlowestUploadBytesPerSecond;
}

QCoro::Task<Result<KalvorinAPI::Answer>>
KalvorinAPI::exchange(QString baseURL, QString action, QString method, Query query, RequestBody body) {
    const std::optional<QUrl> url = requestURL(baseURL, action, query);
    if (!url)
        co_return badURL();

    QNetworkRequest request(*url);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", kUserAgent.toLatin1());
    // The server words its messages for an Arabic reader.
    request.setRawHeader("Accept-Language", "ar");

    QByteArray payload;
    std::unique_ptr<StreamedJsonDevice> device;
    qint64 bodyBytes = 0;
    if (body.object()) {
        payload = QJsonDocument(*body.object()).toJson(QJsonDocument::Compact);
        bodyBytes = payload.size();
    } else if (body.streamed()) {
        device = body.streamed()->open();
        if (device->failure())
            co_return *device->failure(); // nothing has left yet
        bodyBytes = device->size();
        request.setHeader(QNetworkRequest::ContentLengthHeader, bodyBytes);
    }
    if (!body.isEmpty())
        request.setRawHeader("Content-Type", "application/json; charset=utf-8");

    const QByteArray verb = method.toLatin1();
    QNetworkAccessManager* const network = m_network;
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(
        device          ? network->sendCustomRequest(request, verb, device.get())
        : body.object() ? network->sendCustomRequest(request, verb, payload)
                        : network->sendCustomRequest(request, verb));
    QNetworkReply* const r = reply.get();
    QPointer<StreamedJsonDevice> source(device.get());
    if (device)
        device.release()->setParent(r); // read until the reply ends, and gone with it
    r->setReadBufferSize(kReadBuffer);

    auto watch = std::make_shared<Watch>();
    auto stopWith = [r, watch](Failure failure) {
        if (watch->stop)
            return;
        watch->stop = std::move(failure);
        r->abort();
    };
    connect(r, &QNetworkReply::metaDataChanged, r, [r, watch, stopWith] {
        bool known = false;
        const qint64 announced = r->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && announced > kAnswerLimit)
            stopWith(tooLarge());
        else if (known && announced > 0)
            watch->body.reserve(announced);
    });
    connect(r, &QNetworkReply::readyRead, r, [r, watch, stopWith] {
        watch->body += r->read(kAnswerLimit + 1 - watch->body.size());
        if (watch->body.size() > kAnswerLimit) {
            watch->body.clear();
            watch->body.squeeze();
            stopWith(tooLarge());
        }
    });
    connect(r, &QNetworkReply::redirected, r,
            [r, from = *url, hasBody = !body.isEmpty(), stopWith](const QUrl& to) {
                if (mayFollow(from, to, hasBody))
                    emit r->redirectAllowed();
                else
                    stopWith(refusedRedirect());
            });
#ifndef QT_NO_SSL
    connect(r, &QNetworkReply::sslErrors, r, [watch] { watch->certificateRejected = true; });
#endif
    if (const auto& progress = body.streamed() ? body.streamed()->progress() : nullptr)
        connect(r, &QNetworkReply::uploadProgress, r, progress);
    QTimer::singleShot(std::chrono::milliseconds(deadlineFor(bodyBytes)), r, [watch, stopWith] {
        watch->timedOut = true;
        stopWith(pastDeadline());
    });

    QPointer<QNetworkReply> guard(r);
    co_await qCoro(r).waitForFinished();
    if (!guard) {
        reply.release(); // already gone with its manager
        co_return Failure{QStringLiteral("QNetworkReply"), int(QNetworkReply::OperationCanceledError),
                          QStringLiteral("أُلغي الطلب.")};
    }
    const QNetworkReply::NetworkError error = r->error();
    if (watch->timedOut || (!watch->stop && error == QNetworkReply::OperationCanceledError))
        retire(network);
    if (watch->stop)
        co_return *watch->stop;
    if (source && source->failure())
        co_return *source->failure();

    const QVariant statusAttribute = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (error != QNetworkReply::NoError && (!statusAttribute.isValid() || isTransportError(error)))
        co_return transportFailure(error, watch->certificateRejected);

    Answer answer;
    answer.status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    answer.successful = !statusAttribute.isValid() || (answer.status >= 200 && answer.status <= 299);
    answer.body = std::move(watch->body);
    answer.body += r->read(kAnswerLimit + 1 - answer.body.size());
    if (answer.body.size() > kAnswerLimit)
        co_return tooLarge();
    // A success that came back before the whole body left is not one.
    if (source && answer.successful && source->pos() < source->size())
        co_return unfinishedUpload();
    co_return answer;
}

Failure KalvorinAPI::refusal(const Answer& answer) {
    // The server explains a refusal in `message`; `error` is never shown.
    QString text = kFallbackMessage;
    const Result<APIMessage> message = json::decode<APIMessage>(answer.body);
    if (message && message->message)
        text = shownServerText(*message->message);
    return Failure{kErrorDomain, answer.status, text};
}

} // namespace kalvorin
