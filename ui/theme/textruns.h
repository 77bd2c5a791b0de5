#pragma once
// Texts as the screens lay them out and count them.
//
// A line of Arabic that holds a number with its unit, a date, a ticket number, an e-mail address
// or a file name wraps each such run in invisible Unicode isolates, so the run is laid out as one
// unit and the line around it keeps its own order ("مرفق بلاغ · 202 KB · 2026-12-09 13:52" would
// otherwise read "KB · 2026-12-09 13:52 202 · مرفق بلاغ"). The isolates add no visible character.
//
//     QStringLiteral("البلاغ ") + leftToRight(number)        // our own left-to-right run
//     QStringLiteral("تعذر قراءة %1.").arg(isolated(name))   // a run whose direction is its own
//
// Isolate a run inside a line, not a whole text: a text that is one run already reads as one, and
// a text wholly isolated loses the direction its first letter gives it.

#include <QString>

namespace kalvorin {

inline constexpr char16_t kLeftToRightIsolate = u'\u2066';
inline constexpr char16_t kFirstStrongIsolate = u'\u2068';
inline constexpr char16_t kPopDirectionalIsolate = u'\u2069';

// FSI … PDI: the run takes the direction of its first strong character (left to right when it has
// none, as a date of digits); for texts of unknown script such as file names and the server's dates.
// An empty run stays empty.
QString isolated(const QString& run);
// LRI … PDI: always left to right; for runs we know to be such: numbers with units, ticket numbers,
// e-mail addresses. An empty run stays empty.
QString leftToRight(const QString& run);

// User-perceived characters (grapheme clusters): "شُكْرًا لك" is 7 characters (10 code points),
// a letter with its marks or an emoji sequence is one.
qsizetype characterCount(const QString& text);

} // namespace kalvorin
