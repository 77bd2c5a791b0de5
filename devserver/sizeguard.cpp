#include "sizeguard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <algorithm>
#include <memory>

namespace devserver {

namespace {

bool startsRequest(const QByteArray& chunk) {
    static const char* const methods[] = {"GET ", "POST ", "PUT ", "DELETE ", "PATCH ", "HEAD ", "OPTIONS "};
    for (const char* m : methods)
        if (chunk.startsWith(m))
            return true;
    return false;
}

// Content-Length of a request whose header block is complete in `chunk`; -1 if none.
qint64 announcedLength(const QByteArray& chunk) {
    const qsizetype end = chunk.indexOf("\r\n\r\n");
    if (end < 0)
        return -1;
    for (const QByteArray& line : chunk.left(end).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare("content-length", Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qint64 n = line.mid(colon + 1).trimmed().toLongLong(&ok);
            return ok ? n : -1;
        }
    }
    return -1;
}

void refuse(QTcpSocket* socket, qint64 headerBytes, qint64 bodyBytes, qint64 limit) {
    // Qt's reader must not see this request at all.
    QObject::disconnect(socket, &QIODevice::readyRead, nullptr, nullptr);
    auto left = std::make_shared<qint64>(headerBytes + bodyBytes);
    QPointer<QTcpSocket> guarded(socket);
    auto drain = [guarded, left, limit] {
        if (!guarded)
            return;
        while (*left > 0 && guarded->bytesAvailable() > 0)
            *left -= guarded->read(std::min<qint64>(*left, 1 << 20)).size();
        if (*left > 0)
            return;
        QObject::disconnect(guarded, &QIODevice::readyRead, nullptr, nullptr);
        const QByteArray body =
            QJsonDocument(QJsonObject{{QStringLiteral("ok"), false},
                                      {QStringLiteral("message"),
                                       QStringLiteral("حجم الطلب يتجاوز الحد المسموح (%1 ميجابايت).")
                                           .arg(limit / (1024 * 1024))}})
                .toJson(QJsonDocument::Compact);
        guarded->write("HTTP/1.1 413 Payload Too Large\r\nContent-Type: application/json; charset=utf-8\r\n"
                       "Connection: close\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\n\r\n" + body);
        guarded->disconnectFromHost();
    };
    QObject::connect(socket, &QIODevice::readyRead, socket, drain);
    drain();
}

} // namespace

qint64 requestBodyLimit(qint64 maxUploadBytes) {
    const qint64 base64 = (maxUploadBytes + 2) / 3 * 4;
    return std::max(kMaxRequestBodyBytes, base64 + 1024 * 1024);
}

void guardBodySize(QTcpSocket* socket, qint64 limit) {
    QObject::connect(socket, &QIODevice::readyRead, socket, [socket, limit] {
        const QByteArray chunk = socket->peek(64 * 1024);
        if (!startsRequest(chunk))
            return;
        const qint64 length = announcedLength(chunk);
        if (length > limit)
            refuse(socket, chunk.indexOf("\r\n\r\n") + 4, length, limit);
    });
}

} // namespace devserver
