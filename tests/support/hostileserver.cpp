#include "hostileserver.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <zlib.h>

namespace kalvorin::test {

namespace {
constexpr qint64 kChunk = 256 * 1024;
constexpr qint64 kHighWater = 1024 * 1024;
constexpr qsizetype kMaxHead = 64 * 1024;

// The next piece of an answer, produced when the socket has room for it; an
// empty piece ends the answer.
using Source = std::function<QByteArray()>;

QByteArray statusLine(int status) {
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
}

// `total` bytes (-1: for ever) of `piece` repeated.
Source repeated(QByteArray piece, qint64 total) {
    return [piece = std::move(piece), left = total]() mutable {
        if (left == 0 || piece.isEmpty())
            return QByteArray();
        const qint64 n = left < 0 ? piece.size() : qMin<qint64>(left, piece.size());
        if (left > 0)
            left -= n;
        return n == piece.size() ? piece : piece.left(n);
    };
}

// Each piece of `inner` as one chunk of a chunked body (no last chunk).
Source chunked(Source inner) {
    return [inner = std::move(inner)]() mutable {
        const QByteArray piece = inner();
        return piece.isEmpty() ? piece : QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    };
}

// `inner`, then `tail`.
Source followedBy(Source inner, QByteArray tail) {
    return [inner = std::move(inner), tail = std::move(tail)]() mutable {
        QByteArray piece = inner();
        return piece.isEmpty() ? std::exchange(tail, {}) : piece;
    };
}

QByteArray littleEndian32(quint32 value) {
    QByteArray bytes(4, Qt::Uninitialized);
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

// A gzip member of 2 GB of zeros in about 2 MB, in three parts: the member's
// header, a run of raw deflate blocks (repeated to make the body) and its
// end. Each run is deflated from a fresh state and ends on a full flush, so
// runs stand on their own and may follow one another any number of times.
struct GzipBomb {
    static constexpr qint64 kRunBytes = 1 << 20; // zeros in one run
    static constexpr int kRunsPerPiece = 256;    // 256 MB per piece
    static constexpr int kPieces = 8;            // 2 GB in all
    QByteArray header = QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    QByteArray piece;
    QByteArray end;

    static QByteArray deflateRaw(const QByteArray& input, int flush) {
        z_stream z{};
        if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            qFatal("deflateInit2 failed");
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
        z.avail_in = uInt(input.size());
        QByteArray out;
        char buffer[64 * 1024];
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
        deflateEnd(&z);
        return out;
    }

    GzipBomb() {
        const QByteArray zeros(kRunBytes, '\0');
        piece = deflateRaw(zeros, Z_FULL_FLUSH).repeated(kRunsPerPiece);
        const uLong runCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(kRunBytes));
        uLong crc = crc32(0, nullptr, 0);
        for (int i = 0; i < kRunsPerPiece * kPieces; ++i)
            crc = crc32_combine(crc, runCrc, kRunBytes);
        // The last block (empty, marked final), the CRC and the size modulo 2^32.
        end = deflateRaw({}, Z_FINISH) + littleEndian32(quint32(crc)) +
              littleEndian32(quint32(kRunBytes * kRunsPerPiece * kPieces));
    }
    qint64 size() const { return header.size() + piece.size() * kPieces + end.size(); }
};

const GzipBomb& gzipBomb() {
    static const GzipBomb bomb;
    return bomb;
}

// Bytes written to the socket and not yet on the wire. A TLS socket moves
// what it is given into its encrypted buffer at once, so both count.
qint64 unsent(QTcpSocket* socket) {
    const auto* tls = qobject_cast<QSslSocket*>(socket);
    return socket->bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0);
}
} // namespace

struct HostileServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray head;
    bool inBody = false;
    qint64 bodyLeft = 0;
    Seen seen;
    QCryptographicHash hash{QCryptographicHash::Sha256};
    Source more; // what is still to be sent
    QTimer* drip = nullptr;
};

QByteArray HostileServer::Seen::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

HostileServer::HostileServer(QObject* parent) : QSslServer(parent) {
    connect(this, &QTcpServer::pendingConnectionAvailable, this, &HostileServer::onConnection);
}

HostileServer::~HostileServer() {
    for (auto& c : m_connections)
        if (c->socket)
            c->socket->disconnect(this);
}

QString HostileServer::authorityFile() {
    return QStringLiteral(KALVORIN_TLS_DATA "/ca.pem");
}

bool HostileServer::start(Scheme scheme) {
    m_scheme = scheme;
    if (scheme == Scheme::Https) {
        // A certificate for 127.0.0.1 and localhost signed by an authority made
        // for these tests alone; its key is public in the repository, so
        // nothing outside the tests may ever trust it.
        QFile certificate(QStringLiteral(KALVORIN_TLS_DATA "/server.pem"));
        QFile key(QStringLiteral(KALVORIN_TLS_DATA "/server.key"));
        if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return false;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(certificate.readAll()));
        tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
        tls.setAllowedNextProtocols({QSslConfiguration::NextProtocolHttp1_1});
        if (tls.localCertificate().isNull() || tls.privateKey().isNull())
            return false;
        setSslConfiguration(tls);
    }
    return listen(QHostAddress::LocalHost, 0);
}

QString HostileServer::baseURL() const {
    return QStringLiteral("%1://127.0.0.1:%2/kalvorin/")
        .arg(m_scheme == Scheme::Https ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(serverPort());
}

int HostileServer::openConnections() const {
    int open = 0;
    for (const auto& c : m_connections)
        open += c->socket && c->socket->state() != QAbstractSocket::UnconnectedState;
    return open;
}

void HostileServer::incomingConnection(qintptr handle) {
    if (m_scheme == Scheme::Https) {
        QSslServer::incomingConnection(handle); // offered once its handshake is done
        return;
    }
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    addPendingConnection(socket);
}

void HostileServer::onConnection() {
    while (QTcpSocket* socket = nextPendingConnection()) {
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        Connection* raw = c.get();
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { onReadable(*raw); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, raw] { pump(*raw); });
        if (auto* tls = qobject_cast<QSslSocket*>(socket))
            connect(tls, &QSslSocket::encryptedBytesWritten, this, [this, raw] { pump(*raw); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [raw] {
            raw->socket = nullptr;
            raw->drip = nullptr; // went with its socket
        });
        m_connections.push_back(std::move(c));
        if (socket->bytesAvailable() > 0) // the request may have come with the handshake
            onReadable(*raw);
    }
}

void HostileServer::onReadable(Connection& c) {
    while (c.socket && c.socket->bytesAvailable() > 0) {
        if (!c.inBody) {
            c.head += c.socket->read(kMaxHead);
            const qsizetype end = c.head.indexOf("\r\n\r\n");
            if (end < 0) {
                if (c.head.size() > kMaxHead)
                    c.socket->abort();
                return;
            }
            const QByteArray extra = c.head.mid(end + 4);
            const QList<QByteArray> lines = c.head.left(end).split('\n');
            c.head.clear();
            const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
            c.seen = Seen{request.value(0), request.value(1), {}, 0, {}, {}};
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    c.seen.headers.append(
                        {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
            }
            c.bodyLeft = c.seen.header("Content-Length").toLongLong();
            c.hash.reset();
            c.inBody = true;
            if (!extra.isEmpty()) {
                // Put the bytes after the head back in line for the body.
                c.seen.bodyStart = extra.left(qMin(c.bodyLeft, qint64(extra.size())));
                c.hash.addData(c.seen.bodyStart);
                c.seen.bodyBytes = c.seen.bodyStart.size();
                c.bodyLeft -= c.seen.bodyBytes;
            }
        } else {
            const QByteArray part = c.socket->read(qMin<qint64>(c.bodyLeft, kChunk));
            c.hash.addData(part);
            if (c.seen.bodyStart.size() < 65536)
                c.seen.bodyStart += part.left(65536 - c.seen.bodyStart.size());
            c.seen.bodyBytes += part.size();
            c.bodyLeft -= part.size();
        }
        if (c.inBody && c.bodyLeft <= 0) {
            c.inBody = false;
            c.seen.bodyHash = c.hash.result();
            m_seen.append(c.seen);
            answer(c);
        }
    }
}

void HostileServer::answer(Connection& c) {
    const Setup s = m_setup;
    if (s.once)
        m_setup = Setup{};
    QByteArray head;
    c.more = nullptr;
    switch (s.plan) {
    case Plan::Answer:
        head = statusLine(s.status) +
               "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(s.body.size()) +
               "\r\n\r\n" + s.body;
        break;
    case Plan::EndlessBody:
        head = statusLine(200) + "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
        c.more = chunked(repeated(QByteArray(kChunk, ' '), -1));
        break;
    case Plan::SizedBody:
        head = statusLine(200) +
               "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(s.bytes) +
               "\r\n\r\n";
        c.more = repeated(QByteArray(kChunk, ' '), s.bytes);
        break;
    case Plan::HugeLength:
        head = statusLine(200) + "Content-Type: application/json\r\nContent-Length: 1099511627776\r\n\r\n";
        c.more = repeated(QByteArray(kChunk, ' '), -1);
        break;
    case Plan::Drip: {
        head = statusLine(200) + "Content-Type: application/json\r\nContent-Length: 1000000\r\n\r\n";
        c.drip = new QTimer(c.socket);
        QObject::connect(c.drip, &QTimer::timeout, c.socket, [&c] {
            if (c.socket)
                c.socket->write(" ");
        });
        c.drip->start(s.intervalMs);
        break;
    }
    case Plan::Redirect:
        head = statusLine(s.status) + "Location: " + s.location + "\r\nContent-Length: 0\r\n\r\n";
        break;
    case Plan::CookieFlood: {
        head = statusLine(200) + "Content-Type: application/json\r\n";
        const QByteArray attributes =
            '=' + QByteArray(qMax<qint64>(0, s.bytes - 4), 'v') + "; Path=/; Max-Age=86400\r\n";
        const QByteArray end = "Content-Length: " + QByteArray::number(s.body.size()) + "\r\n\r\n" + s.body;
        c.more = followedBy(
            [next = 0, count = s.count, name = s.cookieName, attributes]() mutable {
                QByteArray lines;
                for (; next < count && lines.size() < kChunk; ++next)
                    lines += "Set-Cookie: " + name + QByteArray::number(next) + attributes;
                return lines;
            },
            end);
        break;
    }
    case Plan::LongMessage: {
        const QByteArray open = "{\"ok\":false,\"message\":\"";
        const QByteArray close = "\"}";
        const qint64 length = s.bytes / 2 * 2;
        head = statusLine(s.status) + "Content-Type: application/json\r\nContent-Length: " +
               QByteArray::number(open.size() + length + close.size()) + "\r\n\r\n" + open;
        // "ب", two bytes each
        c.more = followedBy(repeated(QByteArray(kChunk / 2, 'x').replace("x", "\xd8\xa8"), length), close);
        break;
    }
    case Plan::EndlessHeaderLine:
        head = statusLine(200) + "X-Endless: ";
        c.more = repeated(QByteArray(kChunk, 'a'), -1);
        break;
    case Plan::EndlessChunkLine:
        head = statusLine(200) + "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
        c.more = repeated(QByteArray(kChunk, 'f'), -1);
        break;
    case Plan::GzipBomb: {
        const GzipBomb& bomb = gzipBomb();
        head = statusLine(200) +
               "Content-Type: application/json\r\nContent-Encoding: gzip\r\nContent-Length: " +
               QByteArray::number(bomb.size()) + "\r\n\r\n" + bomb.header;
        c.more = followedBy(repeated(bomb.piece, bomb.piece.size() * GzipBomb::kPieces), bomb.end);
        break;
    }
    case Plan::CloseAfterRequest:
        c.socket->disconnectFromHost();
        return;
    }
    c.socket->write(head);
    pump(c);
}

void HostileServer::pump(Connection& c) {
    while (c.socket && c.more && unsent(c.socket) < kHighWater) {
        const QByteArray piece = c.more();
        if (piece.isEmpty())
            c.more = nullptr;
        else
            c.socket->write(piece);
    }
}

namespace memory {
namespace {
qint64 statusField(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
} // namespace

qint64 residentKb() {
    return statusField("VmRSS:");
}
qint64 peakKb() {
    return statusField("VmHWM:");
}
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}
} // namespace memory

} // namespace kalvorin::test
