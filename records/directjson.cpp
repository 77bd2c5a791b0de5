#include "directjson.h"

#include "json.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstdlib>
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

// The pieces of a number's text: its digits before and after the point and
// its exponent (held at a million at most, which is already out of any range).
struct NumberText {
    bool negative = false;
    QByteArrayView integer;
    QByteArrayView fraction;
    qint64 exponent = 0;
    const char* end = nullptr;
};

std::optional<NumberText> lexNumber(const char* p, const char* end) {
    NumberText number;
    auto digits = [&] {
        const char* first = p;
        while (p < end && isDigit(*p))
            ++p;
        return QByteArrayView(first, p - first);
    };
    number.negative = p < end && *p == '-';
    if (number.negative)
        ++p;
    if (p < end && *p == '0')
        number.integer = QByteArrayView(p++, 1);
    else if ((number.integer = digits()).isEmpty())
        return std::nullopt;
    if (p < end && *p == '.') {
        ++p;
        if ((number.fraction = digits()).isEmpty())
            return std::nullopt;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        const QByteArrayView exponent = digits();
        if (exponent.isEmpty())
            return std::nullopt;
        for (char c : exponent)
            number.exponent = std::min<qint64>(number.exponent * 10 + (c - '0'), 1000000);
        if (negativeExponent)
            number.exponent = -number.exponent;
    }
    number.end = p;
    return number;
}

// Whether a double surely holds the number's size. The document reader refuses
// a number beyond a double's range either way (1e400, 1e-400), so the one pass
// leaves everything near those limits to it.
bool fitsDouble(const NumberText& number) {
    const qsizetype integerZeros =
        std::find_if(number.integer.begin(), number.integer.end(), [](char c) { return c != '0'; }) -
        number.integer.begin();
    if (integerZeros < number.integer.size())
        return std::abs(number.integer.size() - integerZeros - 1 + number.exponent) <= 300;
    const qsizetype fractionZeros =
        std::find_if(number.fraction.begin(), number.fraction.end(), [](char c) { return c != '0'; }) -
        number.fraction.begin();
    if (fractionZeros < number.fraction.size())
        return std::abs(number.exponent - fractionZeros - 1) <= 300;
    return true; // zero
}

// The value of a number, judged on its text: the parsed double cannot tell
// -2^63 from a little below it, nor a whole number from one with a small
// fraction at that size.
std::optional<qint64> wholeValue(const NumberText& number) {
    std::string digits(number.integer.begin(), number.integer.end());
    digits.append(number.fraction.begin(), number.fraction.end());
    qint64 exponent = number.exponent - number.fraction.size();
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
    if (!number.negative && __builtin_mul_overflow(value, qint64(-1), &value))
        return std::nullopt;
    return value;
}

} // namespace

bool Scanner::readInteger(qint64& out) {
    if (peek() == '\0')
        return false;
    // Not a well-formed number: the strict reader names what it is.
    const std::optional<NumberText> number = lexNumber(m_p, m_end);
    if (!number)
        return false;
    const std::optional<qint64> value = wholeValue(*number);
    if (!value) {
        // A number, but not a whole one within 64 bits: certainly the wrong type.
        m_wrongInteger = true;
        return false;
    }
    out = *value;
    m_p = number->end;
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
    const std::optional<NumberText> number = lexNumber(m_p, m_end);
    if (!number || (m_checkNumberRange && !fitsDouble(*number)))
        return false;
    m_p = number->end;
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

bool wellFormedWithAnyNumbers(QByteArrayView body) {
    Scanner s(body, Scanner::NumberRange::Any);
    return (s.peek() == '{' || s.peek() == '[') && s.skipValue() && s.atEnd();
}

} // namespace kalvorin::json::direct
