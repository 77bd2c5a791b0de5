#pragma once

// A single-pass reader that takes well-formed JSON straight into records,
// without building a document first. It only ever accepts what the strict
// reader of json.h would accept, with the same result; anything unusual (a
// wrong type, a missing member, a duplicate key, a number near or beyond a
// double's range, an escape it does not handle, bad UTF-8, deep nesting) makes it
// give up, and the strict reader then decides and names the problem. Answers
// that are fine — nearly all of them — are read several times faster that way.

#include "recordtraits.h"

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace kalvorin::json::direct {

class Scanner {
public:
    // Numbers beyond a double's range are refused like the document reader
    // refuses them, unless only the text's form is being checked.
    enum class NumberRange { Checked, Any };
    explicit Scanner(QByteArrayView text, NumberRange range = NumberRange::Checked)
        : m_p(text.data()), m_end(text.data() + text.size()),
          m_checkNumberRange(range == NumberRange::Checked) {}

    // Skips white space; the next byte, or 0 at the end.
    char peek() {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
        return m_p < m_end ? *m_p : '\0';
    }
    bool consume(char c) {
        if (peek() != c)
            return false;
        ++m_p;
        return true;
    }
    bool atEnd() { return peek() == '\0' && m_p == m_end; }

    // A member name made of plain ASCII without escapes, as a view into the text.
    bool readKey(QByteArrayView& key);
    bool readString(QString& out);
    bool readInteger(qint64& out);
    bool readBool(bool& out);
    bool readNull();
    // Reads over any value, checking that it is well formed.
    bool skipValue(int depth = 0);

    bool enter() { return ++m_depth <= kMaxDepth; }
    void leave() { --m_depth; }

    // Set when a member meant to hold an integer holds a number that is not a
    // whole one within 64 bits: then the answer is certainly undecodable, and
    // the members passed on the way out name where.
    using Segment = std::variant<const char*, qsizetype, QString>;
    bool wrongInteger() const { return m_wrongInteger; }
    void noteFailedMember(Segment segment);
    QString wrongIntegerPath() const;

private:
    static constexpr int kMaxDepth = 200;
    bool readEscaped(const char* start, QString& out);
    bool readLiteral(const char* word, qsizetype length);
    bool skipNumber();

    const char* m_p;
    const char* m_end;
    bool m_checkNumberRange;
    int m_depth = 0;
    bool m_wrongInteger = false;
    std::vector<Segment> m_trail; // innermost first
};

// The member names of a record in declared order, and which of them are required.
struct FieldTable {
    std::vector<QByteArrayView> names;
    std::vector<const char*> keys;
    std::uint64_t requiredMask = 0;

    int find(QByteArrayView key) const {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i].size() == key.size() && names[i] == key)
                return int(i);
        return -1;
    }

    template <class T> static FieldTable of() {
        FieldTable table;
        T probe{};
        probe.fields([&](const char* name, auto& field) {
            if (!IsOptional<std::decay_t<decltype(field)>>::value && table.names.size() < 64)
                table.requiredMask |= std::uint64_t(1) << table.names.size();
            table.names.push_back(QByteArrayView(name));
            table.keys.push_back(name);
        });
        return table;
    }
};

inline bool readValue(Scanner& s, QString& out) {
    return s.readString(out);
}
inline bool readValue(Scanner& s, qint64& out) {
    return s.readInteger(out);
}
inline bool readValue(Scanner& s, bool& out) {
    return s.readBool(out);
}
template <class T> bool readValue(Scanner& s, QList<T>& out);
template <class T> bool readValue(Scanner& s, QMap<QString, T>& out);
template <Record T> bool readValue(Scanner& s, T& out);

template <class F> bool readMember(Scanner& s, F& field) {
    if constexpr (IsOptional<F>::value) {
        if (s.peek() == 'n') {
            field.reset();
            return s.readNull();
        }
        typename F::value_type value{};
        if (!readValue(s, value))
            return false;
        field = std::move(value);
        return true;
    } else {
        return s.peek() != 'n' && readValue(s, field);
    }
}

template <class T> bool readValue(Scanner& s, QList<T>& out) {
    if (!s.consume('[') || !s.enter())
        return false;
    out.clear();
    if (!s.consume(']')) {
        do {
            T element{};
            if (!readMember(s, element)) {
                s.noteFailedMember(out.size());
                return false;
            }
            out.append(std::move(element));
        } while (s.consume(','));
        if (!s.consume(']'))
            return false;
    }
    s.leave();
    return true;
}

template <class T> bool readValue(Scanner& s, QMap<QString, T>& out) {
    if (!s.consume('{') || !s.enter())
        return false;
    out.clear();
    if (!s.consume('}')) {
        do {
            QString key;
            if (!s.readString(key) || !s.consume(':') || out.contains(key))
                return false;
            T element{};
            if (!readMember(s, element)) {
                s.noteFailedMember(key);
                return false;
            }
            out.insert(key, std::move(element));
        } while (s.consume(','));
        if (!s.consume('}'))
            return false;
    }
    s.leave();
    return true;
}

template <Record T> bool readValue(Scanner& s, T& out) {
    static const FieldTable table = FieldTable::of<T>();
    if (table.names.size() > 64 || !s.consume('{') || !s.enter())
        return false;
    std::uint64_t seen = 0;
    if (!s.consume('}')) {
        do {
            QByteArrayView key;
            if (!s.readKey(key) || !s.consume(':'))
                return false;
            const int index = table.find(key);
            if (index < 0) {
                if (!s.skipValue())
                    return false;
                continue;
            }
            const std::uint64_t bit = std::uint64_t(1) << index;
            if (seen & bit)
                return false;
            seen |= bit;
            bool ok = false;
            int position = 0;
            out.fields([&](const char*, auto& field) {
                if (position++ == index)
                    ok = readMember(s, field);
            });
            if (!ok) {
                s.noteFailedMember(table.keys[size_t(index)]);
                return false;
            }
        } while (s.consume(','));
        if (!s.consume('}'))
            return false;
    }
    s.leave();
    return (seen & table.requiredMask) == table.requiredMask;
}

// Whether the body is one well-formed JSON object or array when numbers may have any size:
// tells a number too large for a double from an answer that is not JSON at all.
bool wellFormedWithAnyNumbers(QByteArrayView body);

// The whole body as one record; no value when the strict reader has to decide.
// `wrongIntegerPath`, when given, receives the path of a member whose number is
// certainly not a whole one within 64 bits.
template <Record T>
std::optional<T> read(QByteArrayView body, std::optional<QString>* wrongIntegerPath = nullptr) {
    Scanner s(body);
    T record{};
    if (s.peek() != '{' || !readValue(s, record) || !s.atEnd()) {
        if (wrongIntegerPath && s.wrongInteger())
            *wrongIntegerPath = s.wrongIntegerPath();
        return std::nullopt;
    }
    return record;
}

} // namespace kalvorin::json::direct
