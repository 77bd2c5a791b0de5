// Writes on an existing ticket: the seven operations of ticket_action, and
// closure evidence through upload_attachment.

#include "actions.h"
#include "vocabulary.h"

namespace devserver {

namespace {

QString operationTitle(const QString& op) {
    if (op == QLatin1String("comment"))
        return QStringLiteral("تعليق جديد");
    if (op == QLatin1String("route"))
        return QStringLiteral("إحالة بلاغ");
    if (op == QLatin1String("close"))
        return QStringLiteral("إغلاق بلاغ");
    if (op == QLatin1String("reject"))
        return QStringLiteral("رفض بلاغ");
    if (op == QLatin1String("managerRoute"))
        return QStringLiteral("طلب إحالة للإدارة");
    if (op == QLatin1String("temporaryPassword"))
        return QStringLiteral("كلمة مرور مؤقتة");
    return QStringLiteral("جهة معالجة مشتركة");
}

QString maskedMobile(const QString& mobile) {
    if (mobile.size() < 4)
        return QStringLiteral("المسجل");
    return QString(mobile.size() - 3, u'•') + mobile.right(3);
}

} // namespace

ApiReply Actions::ticketAction(Call& call) {
    const QJsonObject& body = call.request.json;
    const Account& me = *call.account;
    for (const char* key :
         {"maintenanceNo", "operation", "note", "assignmentScope", "handlerUser", "routeReason"}) {
        const QJsonValue v = body.value(QLatin1String(key));
        if (!v.isString())
            return ApiReply::error(
                422, QStringLiteral("الحقل %1 مطلوب ويجب أن يكون نصاً.").arg(QLatin1String(key)));
    }
    const QString number = body.value(QStringLiteral("maintenanceNo")).toString().trimmed();
    const QString op = body.value(QStringLiteral("operation")).toString();
    const QString note = body.value(QStringLiteral("note")).toString();
    const QString scopeId = body.value(QStringLiteral("assignmentScope")).toString().trimmed();
    const QString handlerUser = body.value(QStringLiteral("handlerUser")).toString().trimmed();
    const QString reason = body.value(QStringLiteral("routeReason")).toString().trimmed();

    const int minimum = minimumNoteLength(op);
    if (minimum < 0)
        return ApiReply::error(422, QStringLiteral("الإجراء «%1» غير معروف.").arg(op));
    auto row = loadTicket(number);
    if (!row)
        return ApiReply::error(404, QStringLiteral("لم يتم العثور على البلاغ رقم %1.").arg(number));
    const Permissions allowed = permissionsFor(me, *row);
    if (!allowed.allows(op))
        return ApiReply::error(403,
                               QStringLiteral("لا تملك صلاحية تنفيذ «%1» على البلاغ %2 في حالته الحالية.")
                                   .arg(operationTitle(op), number));
    if (characterCount(note.trimmed()) < minimum)
        return ApiReply::error(422, QStringLiteral("الشرح قصير جداً: يلزم %1 أحرف على الأقل.").arg(minimum));

    const TicketRow& t = *row;
    QString message;
    QString newState = t.state;
    Transaction tx(m_db);
    if (op == QLatin1String("comment")) {
        addLog(t, logkey::Comment, me, t.state, note);
        notifyUsers(concernedUsers(t), me.username, QStringLiteral("تعليق جديد على البلاغ %1").arg(number),
                    QStringLiteral("أضاف %1 تعليقاً: %2").arg(me.name, note.trimmed().left(120)),
                    QStringLiteral("ticket.comment"), number);
        message = QStringLiteral("تم إضافة التعليق على البلاغ %1.").arg(number);
    } else if (op == QLatin1String("route")) {
        if (reason.isEmpty())
            return ApiReply::error(422, QStringLiteral("اختر سبب الإحالة."));
        QSqlQuery s = m_db.exec(QStringLiteral("SELECT name FROM scopes WHERE id = ?"), {scopeId});
        if (scopeId.isEmpty() || !s.next())
            return ApiReply::error(422, QStringLiteral("اختر جهة الإسناد من القائمة."));
        const QString scopeName = s.value(0).toString();
        if (!handlerUser.isEmpty() &&
            m_db.scalar(QStringLiteral(
                            "SELECT COUNT(*) FROM users WHERE username = ? AND scope_id = ? AND role <> "
                            "'admin'"),
                        {handlerUser, scopeId})
                    .toLongLong() == 0)
            return ApiReply::error(422, QStringLiteral("المعالج المختار لا يتبع جهة الإسناد."));
        newState = handlerUser.isEmpty() ? state::New : state::Processing;
        m_db.exec(QStringLiteral("UPDATE tickets SET scope_id = ?, handler_user = ?, state = ? WHERE id = ?"),
                  {scopeId,
                   handlerUser.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(handlerUser),
                   newState, t.id});
        addLog(t, logkey::Route, me, newState, note, reason);
        TicketRow routed = *loadTicket(number);
        notifyUsers(concernedUsers(routed), me.username, QStringLiteral("إحالة البلاغ %1").arg(number),
                    QStringLiteral("أحال %1 البلاغ إلى %2 (%3).").arg(me.name, scopeName, reason),
                    QStringLiteral("ticket.route"), number);
        message = QStringLiteral("تم إحالة البلاغ %1 إلى %2.").arg(number, scopeName);
    } else if (op == QLatin1String("close")) {
        newState = state::Closed;
        m_db.exec(QStringLiteral("UPDATE tickets SET state = ?, closed_at = ? WHERE id = ?"),
                  {newState, now(), t.id});
        addLog(t, logkey::Close, me, newState, note);
        notifyUsers(concernedUsers(t), me.username, QStringLiteral("إغلاق البلاغ %1").arg(number),
                    QStringLiteral("أغلق %1 البلاغ «%2».").arg(me.name, t.title),
                    QStringLiteral("ticket.close"), number);
        message = QStringLiteral("تم إغلاق البلاغ %1.").arg(number);
    } else if (op == QLatin1String("reject")) {
        if (reason.isEmpty())
            return ApiReply::error(422, QStringLiteral("اختر سبب الرفض."));
        newState = state::Rejected;
        m_db.exec(QStringLiteral("UPDATE tickets SET state = ?, closed_at = ? WHERE id = ?"),
                  {newState, now(), t.id});
        addLog(t, logkey::Reject, me, newState, note, reason);
        notifyUsers(concernedUsers(t), me.username, QStringLiteral("رفض البلاغ %1").arg(number),
                    QStringLiteral("رفض %1 البلاغ: %2").arg(me.name, reason), QStringLiteral("ticket.reject"),
                    number);
        message = QStringLiteral("تم رفض البلاغ %1.").arg(number);
    } else if (op == QLatin1String("managerRoute")) {
        if (reason.isEmpty())
            return ApiReply::error(422, QStringLiteral("اختر سبب الإحالة."));
        newState = state::AwaitingManager;
        m_db.exec(QStringLiteral("UPDATE tickets SET state = ? WHERE id = ?"), {newState, t.id});
        addLog(t, logkey::ManagerRoute, me, newState, note, reason);
        QStringList managers;
        QSqlQuery q =
            m_db.exec(QStringLiteral("SELECT username FROM users WHERE (role = 'supervisor' AND unit = ?) OR "
                                     "role = 'admin'"),
                      {t.scopeUnit});
        while (q.next())
            managers << q.value(0).toString();
        notifyUsers(managers, me.username, QStringLiteral("طلب إحالة للإدارة: %1").arg(number),
                    QStringLiteral("يطلب %1 إحالة البلاغ (%2).").arg(me.name, reason),
                    QStringLiteral("ticket.escalation"), number);
        message = QStringLiteral("تم رفع طلب الإحالة للإدارة للبلاغ %1.").arg(number);
    } else if (op == QLatin1String("temporaryPassword")) {
        addLog(t, logkey::TempPassword, me, t.state, note);
        message = QStringLiteral("تم إرسال كلمة مرور مؤقتة إلى المستفيد %1 على الجوال %2.")
                      .arg(t.beneficiaryName, maskedMobile(t.beneficiaryMobile));
    } else { // jointProcessing
        QSqlQuery s = m_db.exec(QStringLiteral("SELECT name, path FROM scopes WHERE id = ?"), {scopeId});
        if (scopeId.isEmpty() || !s.next())
            return ApiReply::error(422, QStringLiteral("اختر جهة المعالجة المشتركة من القائمة."));
        if (scopeId == t.scopeId || isParticipant(t, scopeId))
            return ApiReply::error(422, QStringLiteral("الجهة مشاركة في معالجة البلاغ مسبقاً."));
        const QString scopeName = s.value(0).isNull() ? s.value(1).toString() : s.value(0).toString();
        m_db.exec(
            QStringLiteral(
                "INSERT INTO participants(ticket_id, scope_id, username, name, role, reason, created_at) "
                "VALUES(?, ?, NULL, ?, ?, ?, ?)"),
            {t.id, scopeId, scopeName, QStringLiteral("جهة معالجة مشتركة"), note, now()});
        addLog(t, logkey::ParticipantAdded, me, t.state, note);
        notifyUsers(scopeStaff(scopeId) + concernedUsers(t), me.username,
                    QStringLiteral("مشاركة في معالجة البلاغ %1").arg(number),
                    QStringLiteral("أضاف %1 جهة «%2» للمعالجة المشتركة.").arg(me.name, scopeName),
                    QStringLiteral("ticket.participant"), number);
        message = QStringLiteral("تم إضافة %1 كجهة معالجة مشتركة.").arg(scopeName);
    }
    tx.commit();
    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("message"), message},
                         {QStringLiteral("state"), stateName(newState)}});
}

ApiReply Actions::uploadAttachment(Call& call) {
    const QJsonObject& body = call.request.json;
    for (const char* key : {"maintenanceNo", "name", "mime", "purpose", "contentBase64"})
        if (!body.value(QLatin1String(key)).isString())
            return ApiReply::error(
                422, QStringLiteral("الحقل %1 مطلوب ويجب أن يكون نصاً.").arg(QLatin1String(key)));
    const QString number = body.value(QStringLiteral("maintenanceNo")).toString().trimmed();
    const QString name = body.value(QStringLiteral("name")).toString().trimmed();
    const QString mime = body.value(QStringLiteral("mime")).toString().trimmed();
    const QString purpose = body.value(QStringLiteral("purpose")).toString().trimmed();
    const QString base64 = body.value(QStringLiteral("contentBase64")).toString();
    if (name.isEmpty())
        return ApiReply::error(422, QStringLiteral("اسم الملف مطلوب."));

    // Decoded size is known from the text's length before decoding anything.
    const qint64 roughSize = base64.size() / 4 * 3;
    if (roughSize > m_options.maxUploadBytes + 2)
        return ApiReply::error(413, QStringLiteral("حجم المرفق يتجاوز الحد المسموح (%1 ميجابايت).")
                                        .arg(m_options.maxUploadBytes / (1024 * 1024)));
    const auto decoded =
        QByteArray::fromBase64Encoding(base64.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || base64.isEmpty())
        return ApiReply::error(422, QStringLiteral("محتوى المرفق ليس ترميز Base64 صالحاً."));
    if (decoded.decoded.size() > m_options.maxUploadBytes)
        return ApiReply::error(413, QStringLiteral("حجم المرفق يتجاوز الحد المسموح (%1 ميجابايت).")
                                        .arg(m_options.maxUploadBytes / (1024 * 1024)));

    const auto row = loadTicket(number);
    if (!row)
        return ApiReply::error(404, QStringLiteral("لم يتم العثور على البلاغ رقم %1.").arg(number));
    const Permissions allowed = permissionsFor(*call.account, *row);
    const bool evidence = purpose == QLatin1String("service_acceptance");
    if (evidence ? !allowed.close : !allowed.comment)
        return ApiReply::error(403, QStringLiteral("لا تملك صلاحية رفع مرفق على البلاغ %1.").arg(number));

    Transaction tx(m_db);
    m_db.exec(
        QStringLiteral("INSERT INTO attachments(ticket_id, name, mime, size, purpose, data, uploaded_by, "
                       "created_at) VALUES(?, ?, ?, ?, ?, ?, ?, ?)"),
        {row->id, name, mime.isEmpty() ? QStringLiteral("application/octet-stream") : mime,
         qint64(decoded.decoded.size()), purpose, decoded.decoded, call.account->username, now()});
    addLog(*row, logkey::Attachment, *call.account, row->state, name);
    if (evidence)
        notifyUsers(concernedUsers(*row), call.account->username,
                    QStringLiteral("إثبات إغلاق للبلاغ %1").arg(number),
                    QStringLiteral("رفع %1 الملف «%2».").arg(call.account->name, name),
                    QStringLiteral("ticket.attachment"), number);
    tx.commit();
    return ApiReply::ok(
        {{QStringLiteral("ok"), true},
         {QStringLiteral("message"), QStringLiteral("تم رفع المرفق «%1» على البلاغ %2.").arg(name, number)}});
}

} // namespace devserver
