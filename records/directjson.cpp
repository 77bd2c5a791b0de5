#include "directjson.h"

#include "json.h"

#include <QStringDecoder>
#include <algorithm>
#include <string>

namespace kalvorin::json::direct {

namespace {

// Converts UTF-8 that must be valid; invalid bytes make the caller give up.
bool fromUtf8(const char* begin, const char* end, bool ascii, QString& out) {
    const QByteArrayView bytes(begin, end - begin);
    if (ascii) {
        out = QString::fromLatin1(bytes);
        return true;
    }
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    out = decoder(bytes);
    return !decoder.hasError();
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool Scanner::readKey(QByteArrayView& key) {
    if (!consume('"'))
        return false;
    const char* start = m_p;
    while (m_p < m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_p);
        if (c == '"') {
            key = QByteArrayView(start, m_p - start);
            ++m_p;
            return true;
        }
        if (c == '\\' || c < 0x20 || c >= 0x80)
            return false;
        ++m_p;
    }
    return false;
}

bool Scanner::readString(QString& out) {
    if (!consume('"'))
        return false;
    const char* start = m_p;
    bool ascii = true;
    while (m_p < m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_p);
        if (c == '"') {
            const char* end = m_p++;
            return fromUtf8(start, end, ascii, out);
        }
        if (c == '\\')
            return readEscaped(start, out);
        if (c < 0x20)
            return false;
        ascii = ascii && c < 0x80;
        ++m_p;
    }
    return false;
}

bool Scanner::readEscaped(const char* start, QString& out) {
    // The plain run before the first escape, then piece by piece.
    if (!fromUtf8(start, m_p, false, out))
        return false;
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '"') {
            ++m_p;
            return true;
        }
        if (c != '\\') {
            const char* run = m_p;
            while (m_p < m_end && *m_p != '"' && *m_p != '\\') {
                if (static_cast<unsigned char>(*m_p) < 0x20)
                    return false;
                ++m_p;
            }
            QString piece;
            if (!fromUtf8(run, m_p, false, piece))
                return false;
            out += piece;
            continue;
        }
        if (++m_p >= m_end)
            return false;
        switch (*m_p++) {
        case '"':
            out += u'"';
            break;
        case '\\':
            out += u'\\';
            break;
        case '/':
            out += u'/';
            break;
        case 'b':
            out += u'\b';
            break;
        case 'f':
            out += u'\f';
            break;
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case 'u': {
            if (m_end - m_p < 4)
                return false;
            int code = 0;
            for (int i = 0; i < 4; ++i) {
                const int h = hexValue(*m_p++);
                if (h < 0)
                    return false;
                code = code * 16 + h;
            }
            // Surrogates (paired or not) are left to the strict reader.
            if (code >= 0xD800 && code <= 0xDFFF)
                return false;
            out += QChar(char16_t(code));
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a number written with a fraction or an exponent, judged on its
// text: the parsed double cannot tell -2^63 from a little below it, nor a
// whole number from one with a small fraction at that size.
std::optional<qint64> wholeValue(bool negative, std::string digits, qint64 exponent) {
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return qint64(0);
    digits.erase(0, first);
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (exponent < 0 || qint64(digits.size()) + exponent > 19)
        return std::nullopt;
    // Accumulated as a negative number so that the lowest value fits too.
    qint64 value = 0;
    for (char c : digits)
        if (__builtin_mul_overflow(value, qint64(10), &value) ||
            __builtin_sub_overflow(value, qint64(c - '0'), &value))
            return std::nullopt;
    for (qint64 i = 0; i < exponent; ++i)
        if (__builtin_mul_overflow(value, qint64(10), &value))
            return std::nullopt;
    if (!negative && __builtin_mul_overflow(value, qint64(-1), &value))
        return std::nullopt;
    return value;
}

} // namespace

bool Scanner::readInteger(qint64& out) {
    if (peek() == '\0')
        return false;
    const char* p = m_p;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    // Not a well-formed number: the strict reader names what it is.
    if (p >= m_end || !isDigit(*p) || (*p == '0' && p + 1 < m_end && isDigit(p[1])))
        return false;
    const char* integerStart = p;
    while (p < m_end && isDigit(*p))
        ++p;
    const char* integerEnd = p;
    const char* fractionStart = p;
    if (p < m_end && *p == '.') {
        fractionStart = ++p;
        while (p < m_end && isDigit(*p))
            ++p;
        if (p == fractionStart)
            return false;
    }
    const char* fractionEnd = p;
    qint64 exponent = 0;
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < m_end && *p == '-';
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        const char* digits = p;
        for (; p < m_end && isDigit(*p); ++p)
            exponent = std::min<qint64>(exponent * 10 + (*p - '0'), 1000000);
        if (p == digits)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    std::string digits(integerStart, integerEnd);
    digits.append(fractionStart, fractionEnd);
    const std::optional<qint64> value =
        wholeValue(negative, std::move(digits), exponent - qint64(fractionEnd - fractionStart));
    if (!value) {
        // A number, but not a whole one within 64 bits: certainly the wrong type.
        m_wrongInteger = true;
        return false;
    }
    out = *value;
    m_p = p;
    return true;
}

void Scanner::noteFailedMember(Segment segment) {
    if (m_wrongInteger)
        m_trail.push_back(std::move(segment));
}

QString Scanner::wrongIntegerPath() const {
    Context path;
    for (auto it = m_trail.rbegin(); it != m_trail.rend(); ++it)
        path.push(*it);
    return path.pathText();
}

bool Scanner::readLiteral(const char* word, qsizetype length) {
    if (peek() == '\0' || m_end - m_p < length || QByteArrayView(m_p, length) != QByteArrayView(word, length))
        return false;
    m_p += length;
    return true;
}

bool Scanner::readBool(bool& out) {
    if (readLiteral("true", 4)) {
        out = true;
        return true;
    }
    if (readLiteral("false", 5)) {
        out = false;
        return true;
    }
    return false;
}

bool Scanner::readNull() {
    return readLiteral("null", 4);
}

bool Scanner::skipNumber() {
    const char* p = m_p;
    auto digits = [&] {
        const char* first = p;
        while (p < m_end && *p >= '0' && *p <= '9')
            ++p;
        return p > first;
    };
    if (p < m_end && *p == '-')
        ++p;
    if (p < m_end && *p == '0')
        ++p;
    else if (!digits())
        return false;
    if (p < m_end && *p == '.') {
        ++p;
        if (!digits())
            return false;
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        if (!digits())
            return false;
    }
    m_p = p;
    return true;
}

bool Scanner::skipValue(int depth) {
    if (depth > kMaxDepth)
        return false;
    switch (peek()) {
    case '"': {
        QString ignored;
        return readString(ignored);
    }
    case '{':
        ++m_p;
        if (consume('}'))
            return true;
        do {
            QString ignored;
            if (!readString(ignored) || !consume(':') || !skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume('}');
    case '[':
        ++m_p;
        if (consume(']'))
            return true;
        do {
            if (!skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume(']');
    case 't':
        return readLiteral("true", 4);
    case 'f':
        return readLiteral("false", 5);
    case 'n':
        return readNull();
    default:
        return skipNumber();
    }
}

} // namespace kalvorin::json::direct
