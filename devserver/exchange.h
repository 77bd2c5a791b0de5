#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace devserver {

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// One request as the actions see it: copied out of Qt's request object, so it
// outlives the call that delivered it (latency holds answers back).
struct ApiRequest {
    QByteArray method;
    QString path;
    QString action;
    QList<std::pair<QString, QString>> query; // decoded, in order
    HeaderList headers;
    QByteArray body;
    QHash<QString, QString> cookies;
    QJsonObject json; // the body, when it is a JSON object

    QByteArray header(const QByteArray& name) const;
    QString queryValue(const QString& name) const;
    bool hasQuery(const QString& name) const;
};

// Parses "a=1; b=2" the way browsers send it.
QHash<QString, QString> parseCookieHeader(const QByteArray& header);

// One answer: a status, extra headers and a body (JSON unless `raw` is set).
struct ApiReply {
    int status = 200;
    HeaderList headers;
    QJsonObject json;
    std::optional<QByteArray> raw;
    QByteArray contentType = "application/json; charset=utf-8";

    static ApiReply ok(QJsonObject json) {
        ApiReply r;
        r.json = std::move(json);
        return r;
    }
    // {"ok": false, "message": ...}: every refusal carries an Arabic message.
    static ApiReply error(int status, const QString& message);
    QByteArray bodyBytes() const;
};

} // namespace devserver
