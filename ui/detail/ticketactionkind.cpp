#include "ticketactionkind.h"

#include "kalvorintheme.h"

namespace kalvorin {

namespace {

using K = TicketActionKind;
using A = TicketAvailableActions;

const TicketActionTraits kTraits[] = {
    {K::comment, "comment", "إضافة تعليق", "bubble.right", &KalvorinTheme::blue, &A::comment, "الشرح", 8,
     nullptr, false, nullptr},
    {K::route, "route", "إحالة البلاغ", "arrowshape.turn.up.left", &KalvorinTheme::teal, &A::route,
     "شرح الإحالة", 8, "جهة الإسناد", true, "سبب الإحالة"},
    {K::close, "close", "إغلاق البلاغ", "checkmark", &KalvorinTheme::green, &A::close, "شرح الإغلاق", 8,
     nullptr, false, nullptr},
    {K::reject, "reject", "رفض البلاغ", "xmark.octagon", &KalvorinTheme::red, &A::reject, "شرح الرفض", 0,
     nullptr, false, "سبب الرفض"},
    {K::managerRoute, "managerRoute", "طلب إحالة للإدارة", "person.crop.circle.badge.exclamationmark",
     &KalvorinTheme::gold, &A::managerRoute, "مبرر طلب الإحالة", 8, nullptr, false, "سبب الإحالة"},
    {K::temporaryPassword, "temporaryPassword", "كلمة مرور مؤقتة للمستفيد", "key", &KalvorinTheme::orange,
     &A::temporaryPassword, "تنبيه اختياري للرسالة", 4, nullptr, false, nullptr},
    {K::jointProcessing, "jointProcessing", "جهات المعالجة المشتركة", "person.2", &KalvorinTheme::gold,
     &A::jointProcessing, "سبب المشاركة", 4, "جهة معالجة مشتركة", false, nullptr},
};

// The detail screen's order of buttons.
constexpr K kButtonOrder[] = {K::close,           K::route,        K::comment,          K::reject,
                              K::jointProcessing, K::managerRoute, K::temporaryPassword};

} // namespace

const TicketActionTraits& traitsOf(TicketActionKind kind) {
    return kTraits[int(kind)];
}

QString rawValue(TicketActionKind kind) {
    return QString::fromLatin1(traitsOf(kind).rawValue);
}

std::optional<TicketActionKind> actionKindFromRaw(const QString& raw) {
    for (const TicketActionTraits& t : kTraits)
        if (raw == QLatin1String(t.rawValue))
            return t.kind;
    return std::nullopt;
}

bool requiresScope(TicketActionKind kind) {
    return traitsOf(kind).scopePickerTitle != nullptr;
}

bool needsReason(TicketActionKind kind) {
    return traitsOf(kind).reasonPickerTitle != nullptr;
}

QList<TicketActionKind> availableActionKinds(const std::optional<TicketAvailableActions>& flags) {
    if (!flags)
        return {K::comment};
    QList<TicketActionKind> out;
    for (K kind : kButtonOrder)
        if (((*flags).*(traitsOf(kind).flag)).value_or(false))
            out.append(kind);
    return out;
}

} // namespace kalvorin
