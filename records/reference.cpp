#include "reference.h"

namespace kalvorin {

QString compactScopeLabel(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return trimmed;
    static const QList<QChar> separators = {u'/', QChar(0x203A), QChar(0x00BB), u'>'};
    QString last;
    qsizetype start = 0;
    auto takePiece = [&](qsizetype end) {
        const QString piece = trimmed.mid(start, end - start).trimmed();
        if (!piece.isEmpty())
            last = piece;
    };
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (separators.contains(trimmed.at(i))) {
            takePiece(i);
            start = i + 1;
        }
    }
    takePiece(trimmed.size());
    return last.isEmpty() ? trimmed : last;
}

QString AssignmentScope::compactLabel() const {
    const QString trimmedName = name.value_or(QString()).trimmed();
    if (!trimmedName.isEmpty())
        return trimmedName;
    const QString trimmedPath = path.value_or(QString()).trimmed();
    if (!trimmedPath.isEmpty())
        return compactScopeLabel(trimmedPath);
    return id;
}

} // namespace kalvorin
