#include "textruns.h"

#include <QTextBoundaryFinder>

namespace kalvorin {

namespace {
QString wrapped(char16_t opening, const QString& run) {
    if (run.isEmpty())
        return run;
    return QChar(opening) + run + QChar(kPopDirectionalIsolate);
}
} // namespace

QString isolated(const QString& run) {
    return wrapped(kFirstStrongIsolate, run);
}

QString leftToRight(const QString& run) {
    return wrapped(kLeftToRightIsolate, run);
}

qsizetype characterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace kalvorin
