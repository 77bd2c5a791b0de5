#pragma once

// Small tools for the record tests: walk every member of a JSON answer, change
// or remove one of them, and write its path the way decoding failures name it
// (tickets[1].maintenanceNo, handlersByScope["SC-101"][0].username).

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>

namespace kalvorin::test {

struct Step {
    enum Kind { Key, Index, MapKey } kind = Key;
    QString key;
    qsizetype index = 0;
};
using Path = QList<Step>;

// Members whose JSON objects are maps (member names are data), not records.
inline bool isMapField(const QString& key) {
    static const QSet<QString> maps = {
        QStringLiteral("priorityDistribution"), QStringLiteral("handlersByScope"),
        QStringLiteral("adminsByDepartment"), QStringLiteral("divisionsByAdmin"),
        QStringLiteral("sectionsByAdminDivision")};
    return maps.contains(key);
}

inline QString pathText(const Path& path) {
    QString text;
    for (const Step& s : path) {
        switch (s.kind) {
        case Step::Key:
            if (!text.isEmpty())
                text += u'.';
            text += s.key;
            break;
        case Step::Index:
            text += QStringLiteral("[%1]").arg(s.index);
            break;
        case Step::MapKey:
            text += QStringLiteral("[\"%1\"]").arg(s.key);
            break;
        }
    }
    return text;
}

// The path with every index and map member name replaced by [*].
inline QString pathPattern(const Path& path) {
    QString text;
    for (const Step& s : path) {
        if (s.kind == Step::Key) {
            if (!text.isEmpty())
                text += u'.';
            text += s.key;
        } else {
            text += QStringLiteral("[*]");
        }
    }
    return text;
}

// Reads a path written as pathText() writes it.
inline Path parsePath(const QString& text) {
    Path path;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == u'.') {
            ++i;
        } else if (text.mid(i, 2) == QStringLiteral("[\"")) {
            const qsizetype end = text.indexOf(QStringLiteral("\"]"), i + 2);
            path.append(Step{Step::MapKey, text.mid(i + 2, end - i - 2), 0});
            i = end + 2;
        } else if (text.at(i) == u'[') {
            const qsizetype end = text.indexOf(u']', i);
            path.append(Step{Step::Index, {}, text.mid(i + 1, end - i - 1).toLongLong()});
            i = end + 1;
        } else {
            qsizetype end = i;
            while (end < text.size() && text.at(end) != u'.' && text.at(end) != u'[')
                ++end;
            path.append(Step{Step::Key, text.mid(i, end - i), 0});
            i = end;
        }
    }
    return path;
}

struct Node {
    Path path;
    QJsonValue value;
    bool isElement = false; // a list element rather than an object member
    bool isRecord = false;  // an object read as a record (not a map)
};

inline void walk(const QJsonValue& value, const Path& path, bool elementOfList, bool mapObject,
                 QList<Node>& out) {
    if (!path.isEmpty())
        out.append(Node{path, value, elementOfList, value.isObject() && !mapObject});
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            Path child = path;
            child.append(Step{mapObject ? Step::MapKey : Step::Key, it.key(), 0});
            walk(it.value(), child, false, !mapObject && isMapField(it.key()), out);
        }
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            Path child = path;
            child.append(Step{Step::Index, {}, i});
            walk(array.at(i), child, true, false, out);
        }
    }
}

// Every member and list element of an answer, depth first, root excluded.
inline QList<Node> nodes(const QJsonObject& root) {
    QList<Node> out;
    walk(root, {}, false, false, out);
    return out;
}

// A copy of `root` with the value at `path` replaced, or removed when `replacement` is empty.
inline QJsonValue changed(const QJsonValue& root, const Path& path,
                          const std::optional<QJsonValue>& replacement, qsizetype depth = 0) {
    const Step& step = path.at(depth);
    const bool last = depth == path.size() - 1;
    if (step.kind == Step::Index) {
        QJsonArray array = root.toArray();
        if (last && !replacement)
            array.removeAt(step.index);
        else
            array[step.index] =
                last ? *replacement : changed(array.at(step.index), path, replacement, depth + 1);
        return array;
    }
    QJsonObject object = root.toObject();
    if (last && !replacement)
        object.remove(step.key);
    else
        object[step.key] =
            last ? *replacement : changed(object.value(step.key), path, replacement, depth + 1);
    return object;
}

inline QJsonValue valueAt(const QJsonValue& root, const Path& path) {
    QJsonValue v = root;
    for (const Step& s : path)
        v = s.kind == Step::Index ? v.toArray().at(s.index) : v.toObject().value(s.key);
    return v;
}

inline QByteArray bodyOf(const QJsonValue& root) {
    return QJsonDocument(root.toObject()).toJson();
}

inline QJsonObject loadFixture(const QString& name) {
    QFile file(QStringLiteral(KALVORIN_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The value at `path` inside a record's variant form; invalid when left out.
inline QVariant variantAt(const QVariant& root, const Path& path) {
    QVariant current = root;
    for (const Step& s : path) {
        if (s.kind == Step::Index) {
            const QVariantList list = current.toList();
            if (current.typeId() != QMetaType::QVariantList || s.index >= list.size())
                return {};
            current = list.at(s.index);
        } else {
            const QVariantMap map = current.toMap();
            if (current.typeId() != QMetaType::QVariantMap || !map.contains(s.key))
                return {};
            current = map.value(s.key);
        }
    }
    return current;
}

// Compares a record's variant form with the JSON it was read from, strictly:
// integers must come back as 64-bit integers, texts as texts, and nothing may
// be missing or added. Returns the first difference, or an empty text.
inline QString differenceFrom(const QJsonValue& json, const QVariant& v, const QString& where = QString()) {
    const QString at = where.isEmpty() ? QStringLiteral("<root>") : where;
    switch (json.type()) {
    case QJsonValue::Bool:
        if (v.typeId() != QMetaType::Bool || v.toBool() != json.toBool())
            return at + QStringLiteral(": expected boolean ") +
                   (json.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        return {};
    case QJsonValue::Double:
        if (v.typeId() != QMetaType::LongLong || v.toLongLong() != json.toInteger())
            return at + QStringLiteral(": expected integer %1, got %2 (%3)")
                            .arg(json.toInteger())
                            .arg(v.toString(), QString::fromLatin1(v.typeName()));
        return {};
    case QJsonValue::String:
        if (v.typeId() != QMetaType::QString || v.toString() != json.toString())
            return at +
                   QStringLiteral(": expected text \"%1\", got \"%2\"").arg(json.toString(), v.toString());
        return {};
    case QJsonValue::Array: {
        const QJsonArray array = json.toArray();
        const QVariantList list = v.toList();
        if (v.typeId() != QMetaType::QVariantList || list.size() != array.size())
            return at + QStringLiteral(": expected a list of %1").arg(array.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString d = differenceFrom(array.at(i), list.at(i), where + QStringLiteral("[%1]").arg(i));
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    case QJsonValue::Object: {
        const QJsonObject object = json.toObject();
        const QVariantMap map = v.toMap();
        if (v.typeId() != QMetaType::QVariantMap)
            return at + QStringLiteral(": expected an object");
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!map.contains(it.key()))
                return at + QStringLiteral(": member %1 was not read").arg(it.key());
            const QString d = differenceFrom(it.value(), map.value(it.key()),
                                             where.isEmpty() ? it.key() : where + u'.' + it.key());
            if (!d.isEmpty())
                return d;
        }
        for (auto it = map.begin(); it != map.end(); ++it)
            if (!object.contains(it.key()))
                return at + QStringLiteral(": member %1 appeared from nowhere").arg(it.key());
        return {};
    }
    default:
        return at + QStringLiteral(": unexpected JSON value");
    }
}

} // namespace kalvorin::test
