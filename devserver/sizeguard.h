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

// Watches one accepted connection (connects to readyRead before Qt does).
void guardBodySize(QTcpSocket* socket, qint64 limit);

class GuardedTcpServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QTcpServer::nextPendingConnection();
        if (socket)
            guardBodySize(socket, kMaxRequestBodyBytes);
        return socket;
    }
};

class GuardedSslServer : public QSslServer {
public:
    using QSslServer::QSslServer;
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QSslServer::nextPendingConnection();
        if (socket)
            guardBodySize(socket, kMaxRequestBodyBytes);
        return socket;
    }
};

} // namespace devserver
