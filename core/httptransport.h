#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <qcorotask.h>
#include <unordered_set>

class QIODevice;

namespace kalvorin {

// One HTTP/1.1 exchange as it goes on the wire: no cookies, no redirects
// followed, nothing retried. The caller decides what the answer means.
struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    QList<QByteArray> headers;   // "Name: value"
    QByteArray body;             // a body held in memory, or
    QIODevice* stream = nullptr; // one read as it leaves (random access, `streamSize` bytes)
    qint64 streamSize = 0;
    // A write goes on a connection of its own: a connection that was idle in
    // the pool may be dead, and a write must never be sent a second time to
    // find out.
    bool freshConnection = false;
    std::function<void(qint64 sent, qint64 total)> uploadProgress;
};

// What a transfer may cost before it is stopped.
struct HttpLimits {
    int inactivityMs;  // nothing moved for this long
    qint64 deadlineMs; // the whole exchange
    qint64 answerBytes;
    // A head may carry the 50 cookies of 4 KB a host may keep, and the rest.
    qint64 headBytes = 256 * 1024;
    // An answer that has begun must keep coming at this pace, measured over
    // the window (a silent one is left to the inactivity rule). A weak 2G
    // link still moves some 5 KB/s, twenty times this; a server that drips
    // is stopped after half a minute instead of holding the screen until the
    // deadline.
    qint64 slowBytesPerSecond = 256;
    int slowWindowMs = 30000;
};

enum class HttpError {
    None,
    BadURL,
    Refused,
    HostNotFound,
    NetworkDown,
    TimedOut,     // nothing moved for the inactivity time
    TooSlow,      // the answer trickles
    PastDeadline, // the whole exchange took too long
    Closed,       // the connection ended before the answer did
    Untrusted,    // the server's certificate is not trusted
    TlsFailed,
    TooLarge, // head or body over its limit
    Malformed,
    StreamFailed, // the streamed body could not be read
    Cancelled,
    Other,
};

struct HttpAnswer {
    HttpError error = HttpError::None;
    int status = 0;               // of the last status line, 0 before one
    bool headComplete = false;    // the final head arrived whole
    QList<QByteArray> setCookies; // values of its Set-Cookie lines
    QByteArray location;          // absolute, when it is a redirect
    QByteArray body;
};

// The transfers of one client on libcurl's multi interface, on this thread,
// driven by Qt's event loop: a socket notifier pair per socket, one timer for
// libcurl's time-outs. Connections are kept and reused between reads.
class HttpTransport : public QObject {
    Q_OBJECT
public:
    explicit HttpTransport(QObject* parent = nullptr);
    ~HttpTransport() override;

    QCoro::Task<HttpAnswer> perform(HttpRequest request, HttpLimits limits);

    // Authorities trusted besides the system's, by every transport of the process.
    static void addTrustedAuthorities(const QByteArray& pem);

    class Transfer;

private:
    void driveSocket(int socket, int events);
    void driveTimeout();
    void afterDriving();
    void finish(Transfer* transfer, int code);
    void stop(Transfer* transfer, HttpError why);
    static int onSocket(void* easy, int socket, int what, void* self, void* watch);
    static int onTimer(void* multi, long timeoutMs, void* self);

    void* m_multi;
    QTimer m_timer;
    bool m_driving = false;
    std::unordered_set<Transfer*> m_running;
};

} // namespace kalvorin
