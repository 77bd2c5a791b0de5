#include "journal.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace devserver {

namespace {

QJsonValue masked(const QJsonValue& v) {
    if (v.isObject()) {
        QJsonObject out;
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            const bool secret =
                it.key() == QLatin1String("password") || it.key() == QLatin1String("contentBase64");
            if (secret && it.value().isString())
                out.insert(it.key(), qint64(it.value().toString().size()));
            else if (secret)
                out.insert(it.key(), QStringLiteral("***"));
            else
                out.insert(it.key(), masked(it.value()));
        }
        return out;
    }
    if (v.isArray()) {
        QJsonArray out;
        for (const QJsonValue& e : v.toArray())
            out.append(masked(e));
        return out;
    }
    return v;
}

QString maskCookies(const QByteArray& header) {
    QStringList parts;
    for (const QByteArray& part : header.split(';')) {
        const QByteArray item = part.trimmed();
        const qsizetype eq = item.indexOf('=');
        if (item.isEmpty())
            continue;
        parts << (eq < 0 ? QStringLiteral("***")
                         : QString::fromLatin1(item.left(eq)) + QStringLiteral("=***"));
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

bool Journal::open(const QString& path, QString* error) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::Append | QIODevice::Text)) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

QJsonObject Journal::entryFor(const ApiRequest& request) {
    QJsonObject headers;
    for (const auto& [key, value] : request.headers) {
        const QString name = QString::fromLatin1(key);
        QString text;
        if (key.compare("cookie", Qt::CaseInsensitive) == 0)
            text = maskCookies(value);
        else if (key.compare("authorization", Qt::CaseInsensitive) == 0)
            text = QStringLiteral("***");
        else
            text = QString::fromUtf8(value);
        // Repeated headers are joined as HTTP allows.
        if (headers.contains(name))
            text = headers.value(name).toString() + QStringLiteral(", ") + text;
        headers.insert(name, text);
    }
    QJsonObject query;
    for (const auto& [key, value] : request.query)
        query.insert(key, value);

    QJsonObject entry{
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("method"), QString::fromLatin1(request.method)},
        {QStringLiteral("path"), request.path},
        {QStringLiteral("action"), request.action},
        {QStringLiteral("query"), query},
        {QStringLiteral("headers"), headers},
        {QStringLiteral("bodyBytes"), qint64(request.body.size())},
    };
    if (!request.body.isEmpty()) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(request.body, &error);
        if (error.error != QJsonParseError::NoError)
            entry.insert(QStringLiteral("bodyNotJson"), true);
        else if (doc.isObject())
            entry.insert(QStringLiteral("body"), masked(doc.object()));
        else if (doc.isArray())
            entry.insert(QStringLiteral("body"), masked(doc.array()));
        else
            entry.insert(QStringLiteral("body"), QJsonValue::Null);
    }
    return entry;
}

void Journal::record(const ApiRequest& request) {
    if (!m_file.isOpen())
        return;
    m_file.write(QJsonDocument(entryFor(request)).toJson(QJsonDocument::Compact));
    m_file.write("\n");
    m_file.flush();
}

} // namespace devserver
