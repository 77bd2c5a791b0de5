#include "server.h"

#include "sizeguard.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTimer>
#include <QUrlQuery>

namespace devserver {

namespace {

const QString kScriptPath = QStringLiteral("/api/mobile/index.php");

QByteArray methodName(QHttpServerRequest::Method m) {
    switch (m) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    default:
        return "OTHER";
    }
}

bool isJsonContentType(const QByteArray& value) {
    const QByteArray type = value.split(';').first().trimmed().toLower();
    return type == "application/json";
}

} // namespace

DevServer::DevServer(Options& options, Database& db, QObject* parent)
    : QAbstractHttpServer(parent), m_options(options), m_db(db), m_actions(db, options, options.faults) {}

DevServer::~DevServer() = default;

bool DevServer::start(QString* url, QString* error) {
    if (!m_options.journalPath.isEmpty() && !m_journal.open(m_options.journalPath, error))
        return false;

    const bool tls = !m_options.tlsCert.isEmpty();
    QSslConfiguration ssl;
    if (tls) {
        QFile certFile(m_options.tlsCert), keyFile(m_options.tlsKey);
        if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read --tls-cert/--tls-key");
            return false;
        }
        const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
        const QByteArray keyPem = keyFile.readAll();
        QSslKey key(keyPem, QSsl::Rsa, QSsl::Pem);
        if (key.isNull())
            key = QSslKey(keyPem, QSsl::Ec, QSsl::Pem);
        if (chain.isEmpty() || key.isNull()) {
            *error = QStringLiteral("--tls-cert/--tls-key are not a PEM certificate and key");
            return false;
        }
        ssl = QSslConfiguration::defaultConfiguration();
        ssl.setLocalCertificateChain(chain);
        ssl.setPrivateKey(key);
    }

    auto listenOn = [&](const QHostAddress& address, quint16 port) -> quint16 {
        QTcpServer* server = nullptr;
        if (tls) {
            auto* s = new GuardedSslServer(requestBodyLimit(m_options.maxUploadBytes), this);
            s->setSslConfiguration(ssl);
            server = s;
        } else {
            server = new GuardedTcpServer(requestBodyLimit(m_options.maxUploadBytes), this);
        }
        if (!server->listen(address, port)) {
            *error = server->errorString();
            delete server;
            return 0;
        }
        bind(server);
        return server->serverPort();
    };

    QHostAddress address;
    const QString host = m_options.host;
    if (host == QLatin1String("localhost"))
        address = QHostAddress::LocalHost;
    else if (!address.setAddress(host)) {
        *error = QStringLiteral("--host wants an IP address, got %1").arg(host);
        return false;
    }
    m_port = listenOn(address, quint16(m_options.port));
    if (m_port == 0)
        return false;
    // The client's default base URL names "localhost", which may resolve to
    // ::1 first: answer there too when serving the loopback.
    if (address == QHostAddress::LocalHost && (!m_options.hostGiven || host == QLatin1String("localhost"))) {
        QString ignored;
        std::swap(ignored, *error);
        listenOn(QHostAddress::LocalHostIPv6, m_port);
        std::swap(ignored, *error);
    }

    const QString shownHost = address.protocol() == QAbstractSocket::IPv6Protocol
                                  ? QStringLiteral("[%1]").arg(address.toString())
                                  : address.toString();
    *url = QStringLiteral("%1://%2:%3/kalvorin%4")
               .arg(tls ? QStringLiteral("https") : QStringLiteral("http"), shownHost)
               .arg(m_port)
               .arg(kScriptPath);
    return true;
}

bool DevServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    auto pending = std::make_shared<Pending>(
        Pending{makeResponder(request, socket), QPointer<QTcpSocket>(socket), {}, {}});
    ApiRequest& r = pending->request;
    const QUrl url = request.url();
    r.method = methodName(request.method());
    r.path = url.path();
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        r.query.append({key, value});
    r.action = r.queryValue(QStringLiteral("action"));
    r.headers = request.headers();
    r.body = request.body();
    r.cookies = parseCookieHeader(r.header("Cookie"));
    m_journal.record(r);

    if (r.action != QLatin1String("test_control"))
        pending->faults = m_options.faults.decide(r.action);
    if (pending->faults.delayMs > 0)
        QTimer::singleShot(pending->faults.delayMs, this, [this, pending] { answer(pending); });
    else
        answer(pending);
    return true;
}

void DevServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder out = makeResponder(request, socket);
    write(out, ApiReply::error(404, QStringLiteral("المسار المطلوب غير موجود.")));
}

void DevServer::answer(const std::shared_ptr<Pending>& pending) {
    if (!pending->socket || pending->socket->state() != QAbstractSocket::ConnectedState)
        return; // the client went away while we waited
    const FaultPlan::Decision& f = pending->faults;
    if (f.drop) {
        pending->socket->abort();
        return;
    }
    if (f.failure) {
        ApiReply r = ApiReply::error(f.failure->status,
                                     QStringLiteral("خطأ مفتعل للاختبار (%1).").arg(f.failure->status));
        if (f.failure->body)
            r.raw = *f.failure->body;
        write(pending->responder, r);
        return;
    }
    if (f.garbage) {
        ApiReply r;
        if (*f.garbage == FaultPlan::Garbage::NotJson) {
            r.raw = QByteArray("<html><body>Gateway says hello — this is not JSON</body></html>");
            r.contentType = "text/html; charset=utf-8";
        } else {
            // Valid JSON whose members have the wrong types for every record.
            r.raw = QByteArray(R"({"ok":"true","message":7,"tickets":{},"notifications":"none","ticket":[],)"
                               R"("user":"agent","unread":"3","found":"yes","maintenanceNo":41})");
        }
        write(pending->responder, r);
        return;
    }
    write(pending->responder, dispatch(pending->request));
}

ApiReply DevServer::dispatch(const ApiRequest& request) {
    if (!request.path.endsWith(kScriptPath))
        return ApiReply::error(404, QStringLiteral("المسار المطلوب غير موجود."));
    if (request.action.isEmpty())
        return ApiReply::error(404, QStringLiteral("لم يحدد الطلب الإجراء المطلوب."));
    const auto route = m_actions.route(request.action);
    if (!route)
        return ApiReply::error(404, QStringLiteral("الإجراء «%1» غير معروف لدى الخادم.").arg(request.action));
    if (!route->method.isEmpty() && request.method != route->method)
        return ApiReply::error(405, QStringLiteral("الإجراء «%1» يُطلب بالطريقة %2.")
                                        .arg(request.action, QString::fromLatin1(route->method)));

    ApiRequest parsed = request;
    if (request.method == "POST") {
        if (!isJsonContentType(request.header("Content-Type")))
            return ApiReply::error(415, QStringLiteral("نوع محتوى الطلب يجب أن يكون application/json."));
        QJsonParseError problem;
        const QJsonDocument doc = QJsonDocument::fromJson(request.body, &problem);
        if (problem.error != QJsonParseError::NoError || !doc.isObject())
            return ApiReply::error(400,
                                   QStringLiteral("تعذر قراءة بيانات الطلب: يجب أن تكون كائن JSON صالحاً."));
        parsed.json = doc.object();
    }

    try {
        Call call{parsed, std::nullopt, parsed.cookies.value(kSessionCookie)};
        call.account = m_actions.accountForSession(call.sessionToken);
        if (route->needsSession && !call.account)
            return ApiReply::error(401,
                                   QStringLiteral("انتهت الجلسة أو لم يتم تسجيل الدخول. يرجى تسجيل الدخول."));
        return (m_actions.*(route->handler))(call);
    } catch (const DatabaseError& e) {
        qWarning("database: %s", e.what());
        return ApiReply::error(500, QStringLiteral("حدث خطأ داخلي في الخادم، ولم يُحفظ أي تغيير."));
    }
}

void DevServer::write(QHttpServerResponder& out, const ApiReply& reply) {
    const QByteArray body = reply.bodyBytes();
    out.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    out.writeHeader("Content-Type", reply.contentType);
    out.writeHeader("Cache-Control", "no-store");
    for (const auto& [key, value] : reply.headers)
        out.writeHeader(key, value);
    out.writeHeader("Content-Length", QByteArray::number(body.size()));
    out.writeBody(body);
}

} // namespace devserver
