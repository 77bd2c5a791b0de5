#pragma once

// Records as QVariant maps, for QML to read. A field without value is left out
// of the map, so QML sees `undefined` for it, never an invented default.

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

} // namespace kalvorin
