#include "testserver.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace kalvorin::test {

struct TestServer::Pending {
    QHttpServerResponder responder;
    QPointer<QTcpSocket> socket;
    Reply reply;
};

QByteArray TestServer::Request::header(const QByteArray& name) const {
    const QList<QByteArray> values = headerValues(name);
    return values.isEmpty() ? QByteArray() : values.first();
}

bool TestServer::Request::hasHeader(const QByteArray& name) const {
    return !headerValues(name).isEmpty();
}

QList<QByteArray> TestServer::Request::headerValues(const QByteArray& name) const {
    QList<QByteArray> out;
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            out.append(value);
    return out;
}

TestServer::TestServer(QObject* parent) : QAbstractHttpServer(parent) {}

TestServer::~TestServer() = default;

bool TestServer::start() {
    m_port = listen(QHostAddress::LocalHost, 0);
    return m_port != 0;
}

QString TestServer::baseURL() const {
    return QStringLiteral("http://127.0.0.1:%1/kalvorin/").arg(m_port);
}

QList<TestServer::Request> TestServer::requestsFor(const QString& action) const {
    QList<Request> out;
    for (const Request& r : m_requests)
        if (r.action == action)
            out.append(r);
    return out;
}

bool TestServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    Request record;
    const QUrl url = request.url();
    record.path = url.path();
    record.rawQuery = url.query(QUrl::FullyEncoded).toLatin1();
    record.headers = request.headers();
    record.body = request.body();
    record.action = QUrlQuery(url).queryItemValue(QStringLiteral("action"), QUrl::FullyDecoded);
    switch (request.method()) {
    case QHttpServerRequest::Method::Get:
        record.method = "GET";
        break;
    case QHttpServerRequest::Method::Post:
        record.method = "POST";
        break;
    case QHttpServerRequest::Method::Put:
        record.method = "PUT";
        break;
    case QHttpServerRequest::Method::Delete:
        record.method = "DELETE";
        break;
    default:
        record.method = "OTHER";
        break;
    }
    ++m_open;
    m_peakOpen = std::max(m_peakOpen, m_open);
    record.openAtArrival = m_open;
    m_requests.append(record);

    auto pending = std::make_shared<Pending>(Pending{
        makeResponder(request, socket), QPointer<QTcpSocket>(socket), m_replies.value(record.action)});
    emit requestArrived();

    if (pending->reply.hold)
        m_held.append(pending);
    else if (pending->reply.delayMs > 0)
        QTimer::singleShot(pending->reply.delayMs, this, [this, pending] { answer(pending); });
    else
        answer(pending);
    return true;
}

void TestServer::missingHandler(const QHttpServerRequest&, QTcpSocket*) {}

void TestServer::answer(std::shared_ptr<Pending> pending) {
    --m_open;
    if (!pending->socket)
        return;
    if (pending->reply.drop) {
        pending->socket->abort();
        return;
    }
    QHttpServerResponder& out = pending->responder;
    out.writeStatusLine(QHttpServerResponder::StatusCode(pending->reply.status));
    bool hasType = false;
    for (const auto& [key, value] : pending->reply.headers) {
        out.writeHeader(key, value);
        hasType = hasType || key.compare("Content-Type", Qt::CaseInsensitive) == 0;
    }
    if (!hasType)
        out.writeHeader("Content-Type", "application/json");
    out.writeHeader("Content-Length", QByteArray::number(pending->reply.body.size()));
    out.writeBody(pending->reply.body);
}

void TestServer::release() {
    const auto held = std::exchange(m_held, {});
    for (const auto& pending : held)
        answer(pending);
}

} // namespace kalvorin::test
