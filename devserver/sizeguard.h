#pragma once

#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

namespace devserver {

// Qt's HTTP server reads a whole request body into memory. A request that
// announces more than the limit is answered here instead, before Qt sees it:
// its body is read and thrown away, then 413 with an Arabic message, and the
// connection closes.
constexpr qint64 kMaxRequestBodyBytes = 100LL * 1024 * 1024;

// The limit for a server that accepts attachments of up to `maxUploadBytes`:
// their Base64 text and the other members fit, and never less than the above.
qint64 requestBodyLimit(qint64 maxUploadBytes);

// Watches one accepted connection (connects to readyRead before Qt does).
void guardBodySize(QTcpSocket* socket, qint64 limit);

class GuardedTcpServer : public QTcpServer {
public:
    GuardedTcpServer(qint64 limit, QObject* parent) : QTcpServer(parent), m_limit(limit) {}
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QTcpServer::nextPendingConnection();
        if (socket)
            guardBodySize(socket, m_limit);
        return socket;
    }

private:
    qint64 m_limit;
};

class GuardedSslServer : public QSslServer {
public:
    GuardedSslServer(qint64 limit, QObject* parent) : QSslServer(parent), m_limit(limit) {}
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QSslServer::nextPendingConnection();
        if (socket)
            guardBodySize(socket, m_limit);
        return socket;
    }

private:
    qint64 m_limit;
};

} // namespace devserver
