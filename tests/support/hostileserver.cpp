#include "hostileserver.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>

namespace kalvorin::test {

namespace {
constexpr qint64 kChunk = 256 * 1024;
constexpr qint64 kHighWater = 1024 * 1024;
constexpr qsizetype kMaxHead = 64 * 1024;

QByteArray statusLine(int status) {
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
}
} // namespace

struct HostileServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray head;
    bool inBody = false;
    qint64 bodyLeft = 0;
    Seen seen;
    QCryptographicHash hash{QCryptographicHash::Sha256};
    // What is still to be sent after the head: `left` bytes (-1: for ever) of
    // `filler`, then `tail`.
    qint64 left = 0;
    QByteArray filler;
    QByteArray tail;
    bool chunked = false;
    QTimer* drip = nullptr;
};

QByteArray HostileServer::Seen::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

HostileServer::HostileServer(QObject* parent) : QTcpServer(parent) {
    connect(this, &QTcpServer::newConnection, this, &HostileServer::onConnection);
}

HostileServer::~HostileServer() {
    for (auto& c : m_connections)
        if (c->socket)
            c->socket->disconnect(this);
}

bool HostileServer::start() {
    return listen(QHostAddress::LocalHost, 0);
}

QString HostileServer::baseURL() const {
    return QStringLiteral("http://127.0.0.1:%1/kalvorin/").arg(serverPort());
}

void HostileServer::onConnection() {
    while (QTcpSocket* socket = nextPendingConnection()) {
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        Connection* raw = c.get();
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { onReadable(*raw); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, raw] { pump(*raw); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [raw] {
            raw->socket = nullptr;
            raw->drip = nullptr; // went with its socket
        });
        m_connections.push_back(std::move(c));
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
    c.left = 0;
    c.tail.clear();
    c.chunked = false;
    switch (s.plan) {
    case Plan::Answer:
        head = statusLine(s.status) +
               "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(s.body.size()) +
               "\r\n\r\n" + s.body;
        break;
    case Plan::EndlessBody:
        head = statusLine(200) + "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
        c.chunked = true;
        c.left = -1;
        c.filler = QByteArray(kChunk, ' ');
        break;
    case Plan::SizedBody:
        head = statusLine(200) +
               "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(s.bytes) +
               "\r\n\r\n";
        c.left = s.bytes;
        c.filler = QByteArray(kChunk, ' ');
        break;
    case Plan::HugeLength:
        head = statusLine(200) + "Content-Type: application/json\r\nContent-Length: 1099511627776\r\n\r\n";
        c.left = -1;
        c.filler = QByteArray(kChunk, ' ');
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
    case Plan::CookieFlood:
        head = statusLine(200) + "Content-Type: application/json\r\n";
        for (int i = 0; i < s.count; ++i)
            head += "Set-Cookie: " + s.cookieName + QByteArray::number(i) + '=' +
                    QByteArray(qMax<qint64>(0, s.bytes - 4), 'v') + "; Path=/; Max-Age=86400\r\n";
        head += "Content-Length: " + QByteArray::number(s.body.size()) + "\r\n\r\n" + s.body;
        break;
    case Plan::LongMessage: {
        const QByteArray open = "{\"ok\":false,\"message\":\"";
        c.tail = "\"}";
        c.left = s.bytes / 2 * 2;
        c.filler = QByteArray(kChunk / 2, 'x').replace("x", "\xd8\xa8"); // "ب", two bytes each
        head = statusLine(s.status) + "Content-Type: application/json\r\nContent-Length: " +
               QByteArray::number(open.size() + c.left + c.tail.size()) + "\r\n\r\n" + open;
        break;
    }
    case Plan::EndlessHeaderLine:
        head = statusLine(200) + "X-Endless: ";
        c.left = -1;
        c.filler = QByteArray(kChunk, 'a');
        break;
    }
    c.socket->write(head);
    pump(c);
}

void HostileServer::pump(Connection& c) {
    while (c.socket && c.socket->bytesToWrite() < kHighWater && c.left != 0) {
        const qint64 n = c.left < 0 ? c.filler.size() : qMin<qint64>(c.left, c.filler.size());
        const QByteArray piece = c.filler.left(n);
        if (c.chunked)
            c.socket->write(QByteArray::number(n, 16) + "\r\n" + piece + "\r\n");
        else
            c.socket->write(piece);
        if (c.left > 0)
            c.left -= n;
        if (c.left == 0 && !c.tail.isEmpty())
            c.socket->write(std::exchange(c.tail, {}));
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
