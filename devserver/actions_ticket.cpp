// The ticket detail: one ticket in full, with what the asking user may do.

#include "actions.h"

namespace devserver {

ApiReply Actions::ticket(Call& call) {
    const QString number = call.request.queryValue(QStringLiteral("maintenanceNo")).trimmed();
    if (number.isEmpty())
        return ApiReply::error(422, QStringLiteral("رقم البلاغ مطلوب."));
    const auto row = loadTicket(number);
    if (!row)
        return ApiReply::ok(
            {{QStringLiteral("ok"), false},
             {QStringLiteral("message"), QStringLiteral("لم يتم العثور على البلاغ رقم %1.").arg(number)}});
    if (!permissionsFor(*call.account, *row).inReach)
        return ApiReply::error(403, QStringLiteral("لا تملك صلاحية الاطلاع على البلاغ %1.").arg(number));
    return ApiReply::ok(
        {{QStringLiteral("ok"), true}, {QStringLiteral("ticket"), detailJson(*row, *call.account)}});
}

} // namespace devserver
