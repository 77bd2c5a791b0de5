#pragma once

#include <QString>

namespace kalvorin {

// The longest server text we show as it came; a server that sends more (by
// mistake or on purpose) is cut here, where its text becomes the user's.
inline constexpr qsizetype kShownServerTextLength = 500;

inline QString shownServerText(const QString& text) {
    if (text.size() <= kShownServerTextLength)
        return text;
    qsizetype cut = kShownServerTextLength;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never split a character in two
    return text.left(cut) + QStringLiteral("…");
}

} // namespace kalvorin
