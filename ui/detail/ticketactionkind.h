#pragma once
// The seven actions a user may take on a ticket, and everything fixed about each: its raw value
// (the "operation" sent), the title of its button and sheet, its button's symbol and colour, the
// flag of TicketAvailableActions that offers it, its note label and minimum length, and which
// pickers its sheet shows.

#include "records/records.h"

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

namespace kalvorin {

// In declared order (not the order of the detail screen's buttons).
enum class TicketActionKind {
    comment,
    route,
    close,
    reject,
    managerRoute,
    temporaryPassword,
    jointProcessing
};

struct TicketActionTraits {
    TicketActionKind kind;
    const char* rawValue;
    const char* title; // the button's and the sheet's
    const char* icon;
    QColor (*color)();
    std::optional<bool> TicketAvailableActions::*flag;
    const char* noteLabel;
    int minimumNoteLength;
    const char* scopePickerTitle; // null: no scope picker, no scope needed
    bool handlerPicker;
    const char* reasonPickerTitle; // null: no reason picker, no reason needed
};

const TicketActionTraits& traitsOf(TicketActionKind kind);
QString rawValue(TicketActionKind kind);
std::optional<TicketActionKind> actionKindFromRaw(const QString& raw);
// True for route and jointProcessing: a scope picker, and a scope must be chosen.
bool requiresScope(TicketActionKind kind);
bool needsReason(TicketActionKind kind);

// The detail screen's buttons: the allowed kinds in the order close, route, comment, reject,
// jointProcessing, managerRoute, temporaryPassword; exactly [comment] without any flags record.
QList<TicketActionKind> availableActionKinds(const std::optional<TicketAvailableActions>& flags);

// Consecutive slices of `size` elements (the last may be shorter).
template <class T> QList<QList<T>> chunked(const QList<T>& list, qsizetype size) {
    QList<QList<T>> out;
    for (qsizetype start = 0; start < list.size(); start += size)
        out.append(list.mid(start, size));
    return out;
}

} // namespace kalvorin
