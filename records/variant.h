#pragma once

// Records as QVariant maps, for QML to read. A field without value is left out
// of the map, so QML sees `undefined` for it, never an invented default.
// `fromVariant` reads such a map back into its record, for C++ rules that QML
// calls with the values it holds.

#include "json.h"

#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace kalvorin {

inline QVariant toVariant(const QString& v) {
    return v;
}
inline QVariant toVariant(qint64 v) {
    return QVariant::fromValue(v);
}
inline QVariant toVariant(bool v) {
    return v;
}

template <class T> QVariant toVariant(const std::optional<T>& v);
template <class T> QVariant toVariant(const QList<T>& list);
template <class T> QVariant toVariant(const QMap<QString, T>& map);
template <json::Record T> QVariant toVariant(const T& record);

template <class T> QVariant toVariant(const std::optional<T>& v) {
    return v ? toVariant(*v) : QVariant();
}

template <class T> QVariant toVariant(const QList<T>& list) {
    QVariantList out;
    out.reserve(list.size());
    for (const T& element : list)
        out.append(toVariant(element));
    return out;
}

template <class T> QVariant toVariant(const QMap<QString, T>& map) {
    QVariantMap out;
    for (auto it = map.begin(); it != map.end(); ++it)
        out.insert(it.key(), toVariant(it.value()));
    return out;
}

template <json::Record T> QVariant toVariant(const T& record) {
    QVariantMap out;
    // fields() is written once for reading; here it only reads the members.
    const_cast<T&>(record).fields([&](const char* key, const auto& field) {
        QVariant value = toVariant(field);
        if (value.isValid())
            out.insert(QString::fromLatin1(key), value);
    });
    return out;
}

inline void fromVariant(const QVariant& v, QString& out) {
    out = v.toString();
}
inline void fromVariant(const QVariant& v, qint64& out) {
    out = v.toLongLong();
}
inline void fromVariant(const QVariant& v, bool& out) {
    out = v.toBool();
}
template <class T> void fromVariant(const QVariant& v, std::optional<T>& out);
template <class T> void fromVariant(const QVariant& v, QList<T>& out);
template <class T> void fromVariant(const QVariant& v, QMap<QString, T>& out);
template <json::Record T> void fromVariant(const QVariant& v, T& out);

template <class T> void fromVariant(const QVariant& v, std::optional<T>& out) {
    if (!v.isValid() || v.isNull()) {
        out.reset();
        return;
    }
    T value{};
    fromVariant(v, value);
    out = std::move(value);
}

template <class T> void fromVariant(const QVariant& v, QList<T>& out) {
    const QVariantList list = v.toList();
    out.clear();
    out.reserve(list.size());
    for (const QVariant& element : list) {
        T value{};
        fromVariant(element, value);
        out.append(std::move(value));
    }
}

template <class T> void fromVariant(const QVariant& v, QMap<QString, T>& out) {
    const QVariantMap map = v.toMap();
    out.clear();
    for (auto it = map.begin(); it != map.end(); ++it) {
        T value{};
        fromVariant(it.value(), value);
        out.insert(it.key(), std::move(value));
    }
}

template <json::Record T> void fromVariant(const QVariant& v, T& out) {
    const QVariantMap map = v.toMap();
    out.fields(
        [&](const char* key, auto& field) { fromVariant(map.value(QString::fromLatin1(key)), field); });
}

template <class T> T fromVariant(const QVariant& v) {
    T out{};
    fromVariant(v, out);
    return out;
}

} // namespace kalvorin
