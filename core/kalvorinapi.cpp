#include "kalvorinapi.h"

#include "records/session.h"
#include "servertext.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkCookie>
#include <QPointer>
#include <memory>

namespace kalvorin {

namespace {

Failure badURL() {
    return Failure{QStringLiteral("URL"), -1000, QStringLiteral("رابط الخادم غير صالح.")};
}

Failure stopped(const QString& text) {
    return Failure{QStringLiteral("REQUEST"), -1, text};
}

Failure tooLarge() {
    return stopped(QStringLiteral("رد الخادم أكبر من الحد المسموح."));
}

Failure refusedRedirect() {
    return stopped(QStringLiteral("رفض التطبيق إعادة توجيه الطلب إلى عنوان آخر."));
}

Failure unfinishedUpload() {
    return stopped(QStringLiteral("لم يكتمل إرسال الطلب إلى الخادم."));
}

// Our own sentence for each way an exchange can fail on the wire: the
// library's texts are English and technical, and a user needs to know what
// to check.
Failure transportFailure(HttpError error) {
    QString text;
    switch (error) {
    case HttpError::None:
    case HttpError::StreamFailed: // the body's own failure is told instead
    case HttpError::Other:
        text = QStringLiteral("تعذر الاتصال بالخادم.");
        break;
    case HttpError::BadURL:
        return badURL();
    case HttpError::Refused:
        text = QStringLiteral("رفض الخادم الاتصال. تأكد من عنوان الخادم ومن أنه يعمل.");
        break;
    case HttpError::HostNotFound:
        text = QStringLiteral("تعذر العثور على الخادم. تحقق من عنوان الخادم.");
        break;
    case HttpError::NetworkDown:
        text = QStringLiteral("الشبكة غير متاحة. تحقق من اتصال الجهاز.");
        break;
    case HttpError::TimedOut:
        text = QStringLiteral("انتهت مهلة الاتصال: لم يرد الخادم في الوقت المحدد.");
        break;
    case HttpError::TooSlow:
        return stopped(QStringLiteral("يرسل الخادم الرد ببطء شديد، فأُوقف الطلب."));
    case HttpError::PastDeadline:
        return stopped(QStringLiteral("استغرق رد الخادم أطول من المهلة المسموحة، فأُوقف الطلب."));
    case HttpError::Closed:
        text = QStringLiteral("أغلق الخادم الاتصال قبل اكتمال الرد.");
        break;
    case HttpError::Untrusted:
        text = QStringLiteral("تعذر إنشاء اتصال آمن: شهادة الخادم غير موثوقة.");
        break;
    case HttpError::TlsFailed:
        text = QStringLiteral("تعذر إنشاء اتصال آمن بالخادم.");
        break;
    case HttpError::TooLarge:
        return tooLarge();
    case HttpError::Malformed:
        text = QStringLiteral("رد الخادم ليس رداً صالحاً.");
        break;
    case HttpError::Cancelled:
        text = QStringLiteral("أُلغي الطلب.");
        break;
    }
    return Failure{QStringLiteral("HTTP"), int(error), text};
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

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The Cookie header the jar gives for `url`, in its order.
QByteArray cookieHeader(const QList<QNetworkCookie>& cookies) {
    QByteArray header;
    for (const QNetworkCookie& cookie : cookies) {
        if (!header.isEmpty())
            header += "; ";
        header += cookie.name() + '=' + cookie.value();
    }
    return header;
}

} // namespace

KalvorinAPI::KalvorinAPI(const QString& cookieFile, QObject* parent)
    : QObject(parent), m_cookies(new CookieJar(cookieFile, this)), m_transport(new HttpTransport(this)) {}

void KalvorinAPI::addTrustedAuthorities(const QString& pemFile) {
    QFile file(pemFile);
    if (file.open(QIODevice::ReadOnly))
        HttpTransport::addTrustedAuthorities(file.readAll());
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
    std::optional<QUrl> url = requestURL(baseURL, action, query);
    if (!url)
        co_return badURL();

    HttpRequest request;
    request.method = method.toLatin1();
    request.headers = {"Accept: application/json", "User-Agent: " + kUserAgent.toLatin1(),
                       // The server words its messages for an Arabic reader.
                       "Accept-Language: ar"};
    std::unique_ptr<StreamedJsonDevice> device;
    qint64 bodyBytes = 0;
    if (body.object()) {
        request.body = QJsonDocument(*body.object()).toJson(QJsonDocument::Compact);
        bodyBytes = request.body.size();
    } else if (body.streamed()) {
        device = body.streamed()->open();
        if (device->failure())
            co_return *device->failure(); // nothing has left yet
        bodyBytes = device->size();
        request.stream = device.get();
        request.streamSize = bodyBytes;
        request.uploadProgress = body.streamed()->progress();
    }
    if (!body.isEmpty())
        request.headers.append("Content-Type: application/json; charset=utf-8");
    // Anything but a read changes something on the server: it goes out once,
    // on a connection of its own.
    request.freshConnection = request.method != "GET" && request.method != "HEAD";

    const HttpLimits limits{
        .inactivityMs = m_timeoutMs, .deadlineMs = deadlineFor(bodyBytes), .answerBytes = kAnswerLimit};

    const QList<QByteArray> fixedHeaders = request.headers;
    for (int redirects = 0;; ++redirects) {
        request.url = *url;
        request.headers = fixedHeaders;
        if (const QByteArray cookies = cookieHeader(m_cookies->cookiesForUrl(*url)); !cookies.isEmpty())
            request.headers.append("Cookie: " + cookies);

        QPointer<KalvorinAPI> alive(this);
        HttpAnswer answer = co_await m_transport->perform(request, limits);
        if (!alive)
            co_return transportFailure(HttpError::Cancelled);
        if (answer.headComplete && !answer.setCookies.isEmpty()) {
            QList<QNetworkCookie> cookies;
            for (const QByteArray& line : std::as_const(answer.setCookies))
                cookies += QNetworkCookie::parseCookies(line);
            m_cookies->setCookiesFromUrl(cookies, *url);
        }
        if (device && device->failure())
            co_return *device->failure();
        if (answer.error != HttpError::None)
            co_return transportFailure(answer.error);

        if (isRedirect(answer.status) && !answer.location.isEmpty()) {
            const QUrl to = url->resolved(QUrl::fromEncoded(answer.location));
            if (!mayFollow(*url, to, !body.isEmpty()))
                co_return refusedRedirect();
            if (redirects == kMaxRedirects)
                co_return stopped(QStringLiteral("أعاد الخادم توجيه الطلب مرات كثيرة."));
            url = to;
            continue;
        }

        Answer result;
        result.status = answer.status;
        result.successful = answer.status >= 200 && answer.status <= 299;
        result.body = std::move(answer.body);
        // A success that came back before the whole body left is not one.
        if (device && result.successful && device->pos() < device->size())
            co_return unfinishedUpload();
        co_return result;
    }
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
