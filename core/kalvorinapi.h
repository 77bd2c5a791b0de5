#pragma once

#include "cookiejar.h"
#include "httptransport.h"
#include "records/json.h"
#include "records/result.h"
#include "requestbody.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <qcorotask.h>
#include <utility>

namespace kalvorin {

// The one HTTP/JSON client: every exchange with the help-desk server goes
// through `send`, which frames the request (script URL, `action` query item,
// headers, JSON body, cookies, time-out) and turns the answer into a record or
// into a failure whose description is shown to the user.
class KalvorinAPI : public QObject {
    Q_OBJECT
public:
    using Query = QList<std::pair<QString, QString>>;

    static inline const QString kErrorDomain = QStringLiteral("KALVORIN");
    static inline const QString kFallbackMessage = QStringLiteral("تعذر تنفيذ الطلب من الخادم.");
    // The server tells its clients apart by this exact value: it names the
    // protocol generation, not the machine we run on. Keep it as it is.
    static inline const QString kUserAgent = QStringLiteral("KALVORIN-iOS-Native/2.0");
    // Inactivity: the request fails when nothing moves for this long.
    static constexpr int kTimeoutMs = 60000;
    // The whole request, however busy: a server dripping bytes cannot hold it for ever.
    static constexpr int kDeadlineMs = 120000;
    // An upload's deadline grows with its body at this pace (about 1 Mbit/s).
    static constexpr qint64 kSlowestUploadBytesPerSecond = 128 * 1024;
    // About eight times the largest real answer (the 10,000-row ticket list),
    // and what the process may hold of one answer while it arrives: the worst
    // answer a server can send grows the process by less than 64 MB.
    static constexpr qint64 kAnswerLimit = 56 * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    // `cookieFile` empty means the default file in the app's data folder.
    explicit KalvorinAPI(const QString& cookieFile = {}, QObject* parent = nullptr);

    // The base every fresh install talks to: this device's own loopback name.
    static QString defaultBaseURL();

    // The script URL for a base URL, as text: trimmed, defaulted, "https://"
    // put in front when neither "http://" nor "https://" starts it, one slash.
    static QString endpointText(const QString& baseURL);
    // The same, parsed; no value when it cannot be formed into a URL.
    static std::optional<QUrl> endpoint(const QString& baseURL);

    // The full request URL with "action" first, then the extra items, each
    // percent-encoded so that "+", "&", "=", "#", "%" and Arabic arrive unchanged.
    static std::optional<QUrl> requestURL(const QString& baseURL, const QString& action, const Query& query);

    template <class T>
    QCoro::Task<Result<T>> send(QString baseURL, QString action, QString method, Query query = {},
                                RequestBody body = {}) {
        Result<Answer> answer = co_await exchange(std::move(baseURL), std::move(action), std::move(method),
                                                  std::move(query), std::move(body));
        if (!answer)
            co_return answer.failure();
        if (!answer->successful)
            co_return refusal(*answer);
        co_return json::decode<T>(answer->body);
    }

    CookieJar* cookieJar() const { return m_cookies; }

    // Certificate authorities trusted besides the system's, for every client
    // of the process: a PEM file (a developer's own authority, a test's).
    static void addTrustedAuthorities(const QString& pemFile);

    // Tests shorten the limits; the app keeps the constants above.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setDeadline(int ms) { m_deadlineMs = ms; }

private:
    struct Answer {
        bool successful = false; // 200–299, or not an HTTP answer at all
        int status = 0;
        QByteArray body;
    };

    QCoro::Task<Result<Answer>> exchange(QString baseURL, QString action, QString method, Query query,
                                         RequestBody body);
    static Failure refusal(const Answer& answer);
    // The deadline of a request whose body has this many bytes.
    qint64 deadlineFor(qint64 bodyBytes) const;

    CookieJar* m_cookies;
    HttpTransport* m_transport;
    int m_timeoutMs = kTimeoutMs;
    int m_deadlineMs = kDeadlineMs;
};

} // namespace kalvorin
