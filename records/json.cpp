#include "json.h"

#include <QJsonParseError>

namespace kalvorin::json {

QString describe(Problem problem, const QString& path) {
    switch (problem) {
    case Problem::NotJson:
        return QStringLiteral("تعذرت قراءة رد الخادم: الرد ليس بصيغة JSON صالحة.");
    case Problem::Missing:
        return QStringLiteral("تعذرت قراءة رد الخادم: الحقل %1 مفقود.").arg(path);
    case Problem::WrongType:
        if (path.isEmpty())
            return QStringLiteral("تعذرت قراءة رد الخادم: الرد ليس من النوع المتوقع.");
        return QStringLiteral("تعذرت قراءة رد الخادم: الحقل %1 ليس من النوع المتوقع.").arg(path);
    }
    return {};
}

QString Context::pathText() const {
    QString text;
    for (const Segment& s : m_path) {
        if (const auto* key = std::get_if<const char*>(&s)) {
            if (!text.isEmpty())
                text += QLatin1Char('.');
            text += QLatin1StringView(*key);
        } else if (const auto* index = std::get_if<qsizetype>(&s)) {
            text += QLatin1Char('[') + QString::number(*index) + QLatin1Char(']');
        } else {
            // A map member: its name is the server's own text, quoted so that
            // dots or brackets inside it cannot be mistaken for the path's own.
            text += QStringLiteral("[\"") + std::get<QString>(s) + QStringLiteral("\"]");
        }
    }
    return text;
}

bool Context::fail(Problem problem) {
    if (!m_failure)
        m_failure = Failure{kDecodingDomain, int(problem), describe(problem, pathText())};
    return false;
}

bool read(const QJsonValue& v, QString& out, Context& c) {
    if (!v.isString())
        return c.fail(Problem::WrongType);
    out = v.toString();
    return true;
}

bool read(const QJsonValue& v, qint64& out, Context& c) {
    if (!v.isDouble())
        return c.fail(Problem::WrongType);
    // toInteger() gives back its default when the number is fractional or lies
    // outside signed 64 bits; two different defaults tell that case apart.
    const qint64 a = v.toInteger(0);
    const qint64 b = v.toInteger(1);
    if (a != b)
        return c.fail(Problem::WrongType);
    out = a;
    return true;
}

bool read(const QJsonValue& v, bool& out, Context& c) {
    if (!v.isBool())
        return c.fail(Problem::WrongType);
    out = v.toBool();
    return true;
}

Result<QJsonDocument> parse(const QByteArray& body) {
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return Failure{kDecodingDomain, int(Problem::NotJson), describe(Problem::NotJson, {})};
    return doc;
}

} // namespace kalvorin::json
