#include "ticketnumberindex.h"

#include <QVarLengthArray>

namespace kalvorin {

namespace {

// A letter, digit or mark; a character outside the basic plane counts by its code point (both
// halves of the pair alike).
bool isWord(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        const char32_t u = QChar::surrogateToUcs4(c, text[i + 1]);
        return QChar::isLetterOrNumber(u) || QChar::isMark(u);
    }
    if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
        const char32_t u = QChar::surrogateToUcs4(text[i - 1], c);
        return QChar::isLetterOrNumber(u) || QChar::isMark(u);
    }
    return c.isLetterOrNumber() || c.isMark();
}

// What may stand inside a number between two letters or digits.
bool isConnector(QChar c) {
    switch (c.unicode()) {
    case u'-':
    case u'_':
    case u'/':
    case u'.':
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
        return true;
    default:
        return false;
    }
}

using Membership = QVarLengthArray<bool, 256>;

// For each character, whether it belongs to a token.
Membership tokenMembership(QStringView text) {
    const qsizetype n = text.size();
    Membership word(n);
    for (qsizetype i = 0; i < n; ++i)
        word[i] = isWord(text, i);
    Membership in(n);
    for (qsizetype i = 0; i < n; ++i)
        in[i] = word[i] || (isConnector(text[i]) && i > 0 && i + 1 < n && word[i - 1] && word[i + 1]);
    return in;
}

// Whether a token runs across the boundary just before position `i`.
bool joinedAt(const Membership& in, qsizetype i) {
    return i > 0 && i < in.size() && in[i - 1] && in[i];
}

struct Found {
    qsizetype at = -1;
    QString number;
    // Earlier in the text wins; at the same place, the longer number.
    bool beats(const Found& other) const {
        return other.at < 0 || at < other.at || (at == other.at && number.size() > other.number.size());
    }
};

} // namespace

TicketNumberIndex::TicketNumberIndex(const QList<TicketSummary>& tickets) {
    m_tokens.reserve(tickets.size());
    for (const TicketSummary& ticket : tickets)
        add(ticket.maintenanceNo);
}

TicketNumberIndex::TicketNumberIndex(const QStringList& numbers) {
    m_tokens.reserve(numbers.size());
    for (const QString& number : numbers)
        add(number);
}

void TicketNumberIndex::add(const QString& number) {
    if (number.isEmpty())
        return;
    const Membership in = tokenMembership(number);
    qsizetype first = 0;
    while (first < in.size() && in[first])
        ++first;
    if (first == number.size())
        m_tokens.insert(number);
    else if (first > 0)
        m_multiToken[number.left(first)].append(number);
    else if (!m_unusual.contains(number))
        m_unusual.append(number);
}

QString TicketNumberIndex::namedIn(QStringView text) const {
    if (text.isEmpty() || isEmpty())
        return {};
    const Membership in = tokenMembership(text);
    const qsizetype n = text.size();
    auto standsAlone = [&](qsizetype at, qsizetype length) {
        return !joinedAt(in, at) && !joinedAt(in, at + length);
    };

    Found best;
    for (const QString& number : m_unusual) {
        for (qsizetype at = text.indexOf(number); at >= 0; at = text.indexOf(number, at + 1)) {
            if (standsAlone(at, number.size())) {
                if (Found found{at, number}; found.beats(best))
                    best = found;
                break;
            }
        }
    }

    for (qsizetype i = 0; i < n;) {
        if (!in[i]) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < n && in[i])
            ++i;
        if (best.at >= 0 && start > best.at)
            break;
        const QString token = text.mid(start, i - start).toString();
        Found here;
        if (m_tokens.contains(token))
            here = {start, token};
        const auto several = m_multiToken.constFind(token);
        if (several != m_multiToken.cend()) {
            for (const QString& number : *several) {
                if (text.mid(start).startsWith(number) && standsAlone(start, number.size()) &&
                    number.size() > here.number.size())
                    here = {start, number};
            }
        }
        if (here.at >= 0) {
            if (here.beats(best))
                best = here;
            break;
        }
    }
    return best.number;
}

QString TicketNumberIndex::namedBy(const MobileNotification& notification) const {
    if (notification.title) {
        if (QString number = namedIn(*notification.title); !number.isEmpty())
            return number;
    }
    return notification.body ? namedIn(*notification.body) : QString();
}

} // namespace kalvorin
