#pragma once

// Strict reading of the server's JSON answers into records.
//
// A record lists its fields once, in a member template `fields(v)` that calls
// `v("jsonKey", member)` for each of them. A plain member is required; a
// `std::optional` member is optional (absent and null both mean "no value").
// A wrong JSON type anywhere fails the whole answer, one bad element fails its
// whole list, keys a record does not list are ignored, and nothing is defaulted.
// The failure names the offending path (tickets[3].maintenanceNo) in an Arabic
// sentence, because that text is what the user is shown.

#include "directjson.h"
#include "recordtraits.h"
#include "result.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace kalvorin::json {

inline const QString kDecodingDomain = QStringLiteral("KalvorinDecoding");

enum class Problem { Missing, WrongType, NotJson };

// Where the reader is inside the answer. Segments are pushed and popped while
// reading; the text of the path is only built when something fails.
class Context {
public:
    using Segment = std::variant<const char*, qsizetype, QString>;

    void push(Segment s) { m_path.push_back(std::move(s)); }
    void pop() { m_path.pop_back(); }

    bool fail(Problem problem);
    bool failed() const { return m_failure.has_value(); }
    const Failure& failure() const { return *m_failure; }

    QString pathText() const;

private:
    std::vector<Segment> m_path;
    std::optional<Failure> m_failure;
};

QString describe(Problem problem, const QString& path);

bool read(const QJsonValue& v, QString& out, Context& c);
bool read(const QJsonValue& v, qint64& out, Context& c);
bool read(const QJsonValue& v, bool& out, Context& c);

template <class T> bool read(const QJsonValue& v, QList<T>& out, Context& c);
template <class T> bool read(const QJsonValue& v, QMap<QString, T>& out, Context& c);
template <Record T> bool read(const QJsonValue& v, T& out, Context& c);

// Reads one member of a JSON object into a field, required or optional.
template <class F> bool readMember(const QJsonValue& v, F& field, Context& c) {
    if constexpr (IsOptional<F>::value) {
        if (v.isUndefined() || v.isNull()) {
            field.reset();
            return true;
        }
        typename F::value_type value{};
        if (!read(v, value, c))
            return false;
        field = std::move(value);
        return true;
    } else {
        if (v.isUndefined() || v.isNull())
            return c.fail(Problem::Missing);
        return read(v, field, c);
    }
}

template <class T> bool read(const QJsonValue& v, QList<T>& out, Context& c) {
    if (!v.isArray())
        return c.fail(Problem::WrongType);
    const QJsonArray array = v.toArray();
    out.clear();
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        c.push(i);
        T element{};
        if (!readMember(array.at(i), element, c))
            return false;
        c.pop();
        out.append(std::move(element));
    }
    return true;
}

template <class T> bool read(const QJsonValue& v, QMap<QString, T>& out, Context& c) {
    if (!v.isObject())
        return c.fail(Problem::WrongType);
    const QJsonObject object = v.toObject();
    out.clear();
    for (auto it = object.begin(); it != object.end(); ++it) {
        c.push(it.key());
        T element{};
        if (!readMember(it.value(), element, c))
            return false;
        c.pop();
        out.insert(it.key(), std::move(element));
    }
    return true;
}

template <Record T> bool read(const QJsonValue& v, T& out, Context& c) {
    if (!v.isObject())
        return c.fail(Problem::WrongType);
    const QJsonObject object = v.toObject();
    bool ok = true;
    out.fields([&](const char* key, auto& field) {
        if (!ok)
            return;
        c.push(key);
        ok = readMember(object.value(QLatin1StringView(key)), field, c);
        if (ok)
            c.pop();
    });
    return ok;
}

// Parses a body; a body that is not JSON at all fails with its own sentence.
Result<QJsonDocument> parse(const QByteArray& body);

// Decodes a whole answer body as a record, or as an optional record where a
// JSON `null` body means "no record".
template <class T> struct Decoder {
    static Result<T> decode(const QByteArray& body) {
        // Well-formed answers are read in one pass; anything else is left to
        // the strict reader below, which names the problem.
        std::optional<QString> wrongIntegerPath;
        if (std::optional<T> record = direct::read<T>(body, &wrongIntegerPath))
            return std::move(*record);
        Result<T> checked = strict(body);
        // The document has either rounded a number such as -9223372036854775809
        // into range, or refused the whole answer for a number such as 1e400
        // that a double cannot hold; the member that should hold a whole number
        // is named all the same, as long as the rest of the answer is JSON.
        if (wrongIntegerPath && (checked.ok() || (checked.failure().code == int(Problem::NotJson) &&
                                                  direct::wellFormedWithAnyNumbers(body))))
            return Failure{kDecodingDomain, int(Problem::WrongType),
                           describe(Problem::WrongType, *wrongIntegerPath)};
        return checked;
    }

    // The document-based reader: slower, and the one that explains failures.
    static Result<T> strict(const QByteArray& body) {
        Result<QJsonDocument> doc = parse(body);
        if (!doc)
            return doc.failure();
        Context c;
        T record{};
        // Every answer is one JSON object; an array or a bare value is the wrong type.
        if (!doc->isObject()) {
            c.fail(Problem::WrongType);
            return c.failure();
        }
        if (!read(QJsonValue(doc->object()), record, c))
            return c.failure();
        return record;
    }
};

template <class T> struct Decoder<std::optional<T>> {
    static Result<std::optional<T>> decode(const QByteArray& body) {
        if (isNullBody(body))
            return std::optional<T>();
        Result<T> inner = Decoder<T>::decode(body);
        if (!inner)
            return inner.failure();
        return std::optional<T>(std::move(inner).value());
    }

private:
    static bool isNullBody(const QByteArray& body) { return body.trimmed() == "null"; }
};

template <class T> Result<T> decode(const QByteArray& body) {
    return Decoder<T>::decode(body);
}

// Reads one record from an already parsed object (used by tests and the dev server's checks).
template <Record T> Result<T> fromJson(const QJsonObject& object) {
    Context c;
    T record{};
    if (!read(QJsonValue(object), record, c))
        return c.failure();
    return record;
}

} // namespace kalvorin::json
