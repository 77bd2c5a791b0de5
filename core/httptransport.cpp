#include "httptransport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <coroutine>
#include <curl/curl.h>
#include <deque>
#include <memory>

namespace kalvorin {

namespace {

// The system's authorities and the ones added, as one PEM text; empty while
// none are added, and the system's file is used as libcurl was built to.
QByteArray& trustedAuthorities() {
    static QByteArray pem;
    return pem;
}

bool startsWithNoCase(const char* data, size_t size, const char* prefix) {
    const size_t n = qstrlen(prefix);
    return size >= n && qstrnicmp(data, prefix, n) == 0;
}

QByteArray trimmedLine(const char* data, size_t size) {
    return QByteArray(data, qsizetype(size)).trimmed();
}

constexpr qint64 kBodyPiece = 1024 * 1024;

// libcurl is initialised once for the process, before the first handle.
void initialiseOnce() {
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    Q_UNUSED(done);
}

} // namespace

// One exchange in flight: its easy handle, what it has sent and received so
// far, and the clocks that may stop it.
class HttpTransport::Transfer : public QObject {
public:
    Transfer(HttpTransport* owner, HttpRequest request, HttpLimits limits)
        : owner(owner), request(std::move(request)), limits(limits), easy(curl_easy_init()) {
        inactivity.setSingleShot(true);
        deadline.setSingleShot(true);
        errorText[0] = '\0';
    }
    ~Transfer() override {
        // A finished transfer is no longer the transport's (which may be gone by now).
        if (owner && !finished) {
            if (attached)
                curl_multi_remove_handle(owner->m_multi, easy);
            owner->m_running.erase(this);
        }
        curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
    }

    // Something moved: the inactivity clock starts again.
    void moved() {
        if (attached)
            inactivity.start();
    }

    HttpTransport* owner;
    HttpRequest request;
    HttpLimits limits;
    CURL* easy;
    curl_slist* headerList = nullptr;
    bool attached = false;
    bool finished = false;
    std::coroutine_handle<> waiter;

    HttpAnswer answer;
    HttpError stoppedFor = HttpError::None; // when a callback or a clock ended it
    qint64 headBytes = 0;
    qint64 sent = 0;
    qint64 reportedSent = -1;
    bool answerBegun = false;
    QElapsedTimer clock;
    // (ms since start, answer bytes) once a tick, for the pace of the answer.
    std::deque<std::pair<qint64, qint64>> pace;
    qint64 received = 0;
    QList<QByteArray> pieces; // the body so far
    QTimer inactivity{this};
    QTimer deadline{this};
    QTimer paceCheck{this};
    char errorText[CURL_ERROR_SIZE];

    // libcurl's callbacks. They only record and count: nothing here may call
    // back into libcurl or run the caller's code.
    static size_t onHeader(char* data, size_t, size_t size, void* self);
    static size_t onBody(char* data, size_t, size_t size, void* self);
    static size_t onRead(char* out, size_t, size_t size, void* self);
    static int onSeek(void* self, curl_off_t offset, int origin);
    QByteArray joinedBody();
};

size_t HttpTransport::Transfer::onHeader(char* data, size_t, size_t size, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->moved();
    t->answerBegun = true;
    t->headBytes += qint64(size);
    if (t->headBytes > t->limits.headBytes) {
        t->stoppedFor = HttpError::TooLarge;
        return 0;
    }
    if (startsWithNoCase(data, size, "HTTP/")) {
        // A new head (after a 100 Continue, say): only the last one counts.
        t->answer.headComplete = false;
        t->answer.setCookies.clear();
        const QList<QByteArray> parts = trimmedLine(data, size).split(' ');
        t->answer.status = parts.value(1).toInt();
    } else if (startsWithNoCase(data, size, "Set-Cookie:")) {
        t->answer.setCookies.append(trimmedLine(data + 11, size - 11));
    } else if (trimmedLine(data, size).isEmpty()) {
        t->answer.headComplete = t->answer.status >= 200;
    }
    return size;
}

size_t HttpTransport::Transfer::onBody(char* data, size_t, size_t size, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->moved();
    if (t->received + qint64(size) > t->limits.answerBytes) {
        // libcurl checks an announced length; an endless body announces none.
        t->pieces.clear();
        t->stoppedFor = HttpError::TooLarge;
        return 0;
    }
    t->received += qint64(size);
    if (t->pieces.isEmpty() || t->pieces.last().size() + qsizetype(size) > t->pieces.last().capacity()) {
        // The body grows in pieces: a buffer grown in place is copied on the
        // way and costs twice what it holds. An announced length is taken
        // at its word (within the limit) for the first piece.
        qint64 room = kBodyPiece;
        if (t->pieces.isEmpty()) {
            curl_off_t announced = -1;
            curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
            room = qMax<qint64>(room, qMin<qint64>(announced, t->limits.answerBytes));
        }
        t->pieces.append(QByteArray());
        t->pieces.last().reserve(qsizetype(qMax<qint64>(room, qint64(size))));
    }
    t->pieces.last().append(data, qsizetype(size));
    return size;
}

// The pieces as one buffer; each piece goes as soon as it is copied, and the
// untouched end of the buffer costs nothing until it is written.
QByteArray HttpTransport::Transfer::joinedBody() {
    if (pieces.size() == 1)
        return std::exchange(pieces, {}).first();
    QByteArray body;
    body.reserve(qsizetype(received));
    for (QByteArray& piece : pieces)
        body.append(std::exchange(piece, {}));
    pieces.clear();
    return body;
}

size_t HttpTransport::Transfer::onRead(char* out, size_t, size_t size, void* self) {
    auto* t = static_cast<Transfer*>(self);
    const qint64 n = t->request.stream->read(out, qint64(size));
    if (n < 0) {
        t->stoppedFor = HttpError::StreamFailed;
        return CURL_READFUNC_ABORT;
    }
    t->sent = t->request.stream->pos();
    t->moved();
    return size_t(n);
}

int HttpTransport::Transfer::onSeek(void* self, curl_off_t offset, int origin) {
    auto* t = static_cast<Transfer*>(self);
    if (origin != SEEK_SET || !t->request.stream->seek(qint64(offset)))
        return CURL_SEEKFUNC_CANTSEEK;
    t->sent = qint64(offset);
    return CURL_SEEKFUNC_OK;
}

HttpTransport::HttpTransport(QObject* parent) : QObject(parent) {
    initialiseOnce();
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &HttpTransport::onSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &HttpTransport::onTimer);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HttpTransport::driveTimeout);
}

HttpTransport::~HttpTransport() {
    // Whoever still waits learns that the exchange was cancelled.
    for (Transfer* t : std::unordered_set<Transfer*>(m_running)) {
        stop(t, HttpError::Cancelled);
        t->owner = nullptr;
    }
    m_running.clear();
    curl_multi_cleanup(m_multi);
}

void HttpTransport::addTrustedAuthorities(const QByteArray& pem) {
    QByteArray& all = trustedAuthorities();
    if (all.isEmpty()) {
        const curl_version_info_data* version = curl_version_info(CURLVERSION_NOW);
        QFile system(QString::fromLocal8Bit(version->cainfo ? version->cainfo : ""));
        if (system.open(QIODevice::ReadOnly))
            all = system.readAll();
    }
    all += '\n' + pem + '\n';
}

// Each socket libcurl watches has a notifier for reading and one for writing,
// children of the transport so that none outlives it.
namespace {
struct SocketWatch : QObject {
    SocketWatch(int socket, QObject* parent)
        : QObject(parent), read(socket, QSocketNotifier::Read, this),
          write(socket, QSocketNotifier::Write, this) {}
    QSocketNotifier read;
    QSocketNotifier write;
};
} // namespace

int HttpTransport::onSocket(void*, int socket, int what, void* self, void* watchData) {
    auto* transport = static_cast<HttpTransport*>(self);
    auto* watch = static_cast<SocketWatch*>(watchData);
    if (what == CURL_POLL_REMOVE) {
        if (watch) {
            // Called from inside a notifier's own signal at times: the
            // notifiers go once control is back in the event loop.
            watch->read.setEnabled(false);
            watch->write.setEnabled(false);
            watch->deleteLater();
            curl_multi_assign(transport->m_multi, socket, nullptr);
        }
        return 0;
    }
    if (!watch) {
        watch = new SocketWatch(socket, transport);
        connect(&watch->read, &QSocketNotifier::activated, transport,
                [transport, socket] { transport->driveSocket(socket, CURL_CSELECT_IN); });
        connect(&watch->write, &QSocketNotifier::activated, transport,
                [transport, socket] { transport->driveSocket(socket, CURL_CSELECT_OUT); });
        curl_multi_assign(transport->m_multi, socket, watch);
    }
    watch->read.setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch->write.setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    return 0;
}

int HttpTransport::onTimer(void*, long timeoutMs, void* self) {
    auto* transport = static_cast<HttpTransport*>(self);
    // libcurl must not be driven from inside this callback: the timer fires
    // from the event loop, even when libcurl asks for zero.
    if (timeoutMs < 0)
        transport->m_timer.stop();
    else
        transport->m_timer.start(int(qMin<long>(timeoutMs, 24 * 3600 * 1000)));
    return 0;
}

void HttpTransport::driveSocket(int socket, int events) {
    if (m_driving)
        return;
    m_driving = true;
    int running = 0;
    curl_multi_socket_action(m_multi, curl_socket_t(socket), events, &running);
    m_driving = false;
    afterDriving();
}

void HttpTransport::driveTimeout() {
    if (m_driving)
        return;
    m_driving = true;
    int running = 0;
    curl_multi_socket_action(m_multi, CURL_SOCKET_TIMEOUT, 0, &running);
    m_driving = false;
    afterDriving();
}

void HttpTransport::afterDriving() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        Transfer* t = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &t);
        if (t)
            finish(t, int(message->data.result));
    }
    // Progress goes to the caller from here, outside libcurl.
    for (Transfer* t : std::unordered_set<Transfer*>(m_running)) {
        if (t->request.uploadProgress && t->sent != t->reportedSent) {
            t->reportedSent = t->sent;
            t->request.uploadProgress(t->sent, t->request.streamSize);
        }
    }
}

namespace {

HttpError classify(CURLcode code, long osErrno, const char* text, const HttpAnswer& answer) {
    switch (code) {
    case CURLE_OK:
        return HttpError::None;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return HttpError::BadURL;
    case CURLE_COULDNT_RESOLVE_HOST:
        return HttpError::HostNotFound;
    case CURLE_COULDNT_CONNECT:
        return osErrno == ENETUNREACH || osErrno == EHOSTUNREACH ? HttpError::NetworkDown
                                                                 : HttpError::Refused;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpError::TimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
        return HttpError::Untrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_USE_SSL_FAILED:
        return HttpError::TlsFailed;
    case CURLE_FILESIZE_EXCEEDED:
        return HttpError::TooLarge;
    case CURLE_OUT_OF_MEMORY:
        // libcurl refuses a head line longer than it holds this way.
        return answer.headComplete ? HttpError::Other : HttpError::TooLarge;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_HTTP3:
        return HttpError::Malformed;
    case CURLE_RECV_ERROR:
        // A broken chunked framing ends as a receive error; its text names it.
        if (answer.headComplete && QByteArray(text).contains("chunk"))
            return HttpError::Malformed;
        return HttpError::Closed;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
        return HttpError::Closed;
    default:
        return HttpError::Other;
    }
}

} // namespace

void HttpTransport::finish(Transfer* t, int code) {
    if (t->finished)
        return;
    t->finished = true;
    if (t->attached) {
        curl_multi_remove_handle(m_multi, t->easy);
        t->attached = false;
    }
    m_running.erase(t);
    t->inactivity.stop();
    t->deadline.stop();
    t->paceCheck.stop();
    if (t->stoppedFor != HttpError::None) {
        t->answer.error = t->stoppedFor;
    } else {
        long osErrno = 0;
        curl_easy_getinfo(t->easy, CURLINFO_OS_ERRNO, &osErrno);
        t->answer.error = classify(CURLcode(code), osErrno, t->errorText, t->answer);
    }
    if (t->answer.error == HttpError::None) {
        const char* location = nullptr;
        if (curl_easy_getinfo(t->easy, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location)
            t->answer.location = location;
    }
    if (t->answer.error == HttpError::None)
        t->answer.body = t->joinedBody();
    else
        t->pieces.clear();
    if (t->waiter)
        QMetaObject::invokeMethod(
            t, [h = t->waiter] { h.resume(); }, Qt::QueuedConnection);
}

void HttpTransport::stop(Transfer* t, HttpError why) {
    if (t->finished)
        return;
    t->stoppedFor = why;
    finish(t, int(CURLE_ABORTED_BY_CALLBACK));
}

namespace {
struct Finished {
    HttpTransport::Transfer* transfer;
    bool ready;
    bool await_ready() const noexcept { return ready; }
    void await_suspend(std::coroutine_handle<> h) noexcept;
    void await_resume() const noexcept {}
};
} // namespace

QCoro::Task<HttpAnswer> HttpTransport::perform(HttpRequest request, HttpLimits limits) {
    auto t = std::make_unique<Transfer>(this, std::move(request), limits);
    CURL* e = t->easy;
    if (!e) {
        t->answer.error = HttpError::Other;
        co_return std::move(t->answer);
    }
    const HttpRequest& r = t->request;
    const QByteArray url = r.url.toEncoded();
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_PROXY, ""); // the server is reached directly, as the user typed it
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.answerBytes));
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->errorText);
    curl_easy_setopt(e, CURLOPT_PRIVATE, t.get());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
    if (const QByteArray& pem = trustedAuthorities(); !pem.isEmpty()) {
        curl_blob blob{const_cast<char*>(pem.constData()), size_t(pem.size()), CURL_BLOB_NOCOPY};
        curl_easy_setopt(e, CURLOPT_CAINFO_BLOB, &blob);
    }
    if (r.freshConnection)
        curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);

    for (const QByteArray& header : r.headers)
        t->headerList = curl_slist_append(t->headerList, header.constData());
    // The body leaves at once with its length; libcurl would otherwise wait
    // for a "100 Continue" first on a large one.
    t->headerList = curl_slist_append(t->headerList, "Expect:");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, t->headerList);

    const bool hasBody = r.stream || !r.body.isNull();
    if (r.method == "GET" && !hasBody) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else if (r.method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else {
        if (r.method != "POST")
            curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, r.method.constData());
        if (r.stream) {
            curl_easy_setopt(e, CURLOPT_POST, 1L);
            curl_easy_setopt(e, CURLOPT_READFUNCTION, &Transfer::onRead);
            curl_easy_setopt(e, CURLOPT_READDATA, t.get());
            curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, &Transfer::onSeek);
            curl_easy_setopt(e, CURLOPT_SEEKDATA, t.get());
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(r.streamSize));
        } else if (hasBody || r.method == "POST") {
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(r.body.size()));
            curl_easy_setopt(e, CURLOPT_POSTFIELDS, r.body.constData() ? r.body.constData() : "");
        }
    }

    Transfer* const raw = t.get();
    connect(&t->inactivity, &QTimer::timeout, this, [this, raw] { stop(raw, HttpError::TimedOut); });
    connect(&t->deadline, &QTimer::timeout, this, [this, raw] { stop(raw, HttpError::PastDeadline); });
    // The pace of an answer that has begun, sampled thirty times a window.
    connect(&t->paceCheck, &QTimer::timeout, this, [this, raw] {
        if (!raw->answerBegun)
            return;
        const qint64 now = raw->clock.elapsed();
        auto& pace = raw->pace;
        pace.emplace_back(now, raw->received);
        const qint64 window = raw->limits.slowWindowMs;
        while (pace.size() > 1 && now - pace[1].first >= window)
            pace.pop_front();
        if (now - pace.front().first < window)
            return;
        const qint64 moved = raw->received - pace.front().second;
        if (moved > 0 && moved < raw->limits.slowBytesPerSecond * window / 1000)
            stop(raw, HttpError::TooSlow);
    });
    t->inactivity.setInterval(limits.inactivityMs);
    t->deadline.setInterval(int(qMin<qint64>(limits.deadlineMs, INT_MAX)));
    t->paceCheck.setInterval(qMax(1, limits.slowWindowMs / 30));

    if (curl_multi_add_handle(m_multi, e) != CURLM_OK) {
        t->answer.error = HttpError::Other;
        co_return std::move(t->answer);
    }
    t->attached = true;
    m_running.insert(raw);
    t->clock.start();
    t->inactivity.start();
    t->deadline.start();
    t->paceCheck.start();

    co_await Finished{raw, raw->finished};
    co_return std::move(t->answer);
}

namespace {
void Finished::await_suspend(std::coroutine_handle<> h) noexcept {
    transfer->waiter = h;
}
} // namespace

} // namespace kalvorin
