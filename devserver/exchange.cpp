#include "exchange.h"

#include <QJsonDocument>

namespace devserver {

QByteArray ApiRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString ApiRequest::queryValue(const QString& name) const {
    for (const auto& [key, value] : query)
        if (key == name)
            return value;
    return {};
}

bool ApiRequest::hasQuery(const QString& name) const {
    for (const auto& item : query)
        if (item.first == name)
            return true;
    return false;
}

QHash<QString, QString> parseCookieHeader(const QByteArray& header) {
    QHash<QString, QString> out;
    for (const QByteArray& part : header.split(';')) {
        const QByteArray item = part.trimmed();
        const qsizetype eq = item.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray value = item.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        out.insert(QString::fromLatin1(item.left(eq).trimmed()), QString::fromLatin1(value));
    }
    return out;
}

ApiReply ApiReply::error(int status, const QString& message) {
    ApiReply r;
    r.status = status;
    r.json = {{QStringLiteral("ok"), false}, {QStringLiteral("message"), message}};
    return r;
}

QByteArray ApiReply::bodyBytes() const {
    if (raw)
        return *raw;
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

} // namespace devserver
