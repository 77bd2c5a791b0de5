#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QSslServer>
#include <QString>
#include <functional>
#include <memory>

class QTcpSocket;

namespace kalvorin::test {

// A raw HTTP/1.1 server that misbehaves on purpose, as a careless or
// compromised server (or a broken proxy) would. It reads each request whole
// (head, then the body it announces, hashed and counted but not kept), then
// answers with the current plan. Everything it sends is generated as the
// socket drains, so it costs the test process almost no memory of its own.
// It speaks plain HTTP or, with the test authority's certificate, HTTPS; the
// plans are the same over both.
class HostileServer : public QSslServer {
    Q_OBJECT
public:
    enum class Scheme { Http, Https };
    enum class Plan {
        Answer,            // `status` with `body`, plain and well formed
        EndlessBody,       // a chunked 200 answer that never ends
        SizedBody,         // a 200 answer of `bytes` bytes with Content-Length, then done
        HugeLength,        // announces a terabyte, then streams
        Drip,              // one byte of a valid-looking answer every `intervalMs`
        Redirect,          // `status` (a 3xx) to `location`
        CookieFlood,       // `count` Set-Cookie headers of `bytes` bytes each, then `body`
        LongMessage,       // `status` with a JSON `message` of `bytes` bytes
        EndlessHeaderLine, // a header line that never ends
        EndlessChunkLine,  // a chunked 200 answer whose first chunk-size line never ends
        GzipBomb,          // a gzip-encoded 200 answer of about 2 MB that inflates to 2 GB
        CloseAfterRequest, // reads the request, then closes without a byte of answer
    };
    struct Setup {
        Plan plan = Plan::Answer;
        int status = 200;
        QByteArray body = "{\"ok\":true}";
        QByteArray location{};
        qint64 bytes = 0;
        int count = 0;
        int intervalMs = 100;
        QByteArray cookieName = "F"; // flooded cookies are named this and a number
        bool once = false;           // then plain answers
    };
    struct Seen {
        QByteArray method;
        QByteArray target;
        QList<std::pair<QByteArray, QByteArray>> headers;
        qint64 bodyBytes = 0;
        QByteArray bodyHash;  // SHA-256 of the whole body
        QByteArray bodyStart; // its first 64 KB
        QByteArray header(const QByteArray& name) const;
    };

    explicit HostileServer(QObject* parent = nullptr);
    ~HostileServer() override;

    bool start(Scheme scheme = Scheme::Http);
    QString baseURL() const; // "http(s)://127.0.0.1:PORT/kalvorin/"
    void setup(Setup setup) { m_setup = std::move(setup); }
    const QList<Seen>& seen() const { return m_seen; }
    // Connections whose socket is still open on our side.
    int openConnections() const;

    // The authority that signs the HTTPS certificate (PEM), for clients to trust.
    static QString authorityFile();

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Connection;
    void onConnection();
    void onReadable(Connection& c);
    void answer(Connection& c);
    void pump(Connection& c);

    Scheme m_scheme = Scheme::Http;
    Setup m_setup;
    QList<Seen> m_seen;
    std::vector<std::unique_ptr<Connection>> m_connections;
};

// The process's memory, as the kernel counts it (kB), for bounds in tests and
// figures in benchmarks. `resetPeak` starts a new peak from what is resident now.
namespace memory {
// Under AddressSanitizer freed memory stays resident in its quarantine, so
// growth figures say nothing about the code; bounds are checked only without it.
constexpr bool meaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}
qint64 residentKb();
qint64 peakKb();
void resetPeak();
} // namespace memory

} // namespace kalvorin::test
