// What the new-ticket form needs: reference data, the two lookups, and
// create_ticket itself.

#include "actions.h"
#include "vocabulary.h"

#include <QRegularExpression>

namespace devserver {

namespace {

constexpr qint64 kMaxTicketAttachmentBytes = 10LL * 1024 * 1024;
constexpr int kMaxTicketAttachments = 5;

QJsonValue textOrNull(const QVariant& v) {
    return v.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(v.toString());
}

QJsonObject personJson(const QSqlQuery& q) {
    // national_id, username, full_name, mobile, fixed_phone, email, ip, department, region, division, section
    QJsonObject o;
    const char* const keys[] = {
        "username",  "fullName",           "contactMobile",  "fixedPhone",       "email",
        "ipAddress", "reporterDepartment", "reporterRegion", "reporterDivision", "reporterSection"};
    for (int i = 0; i < 10; ++i)
        if (!q.value(i + 1).isNull())
            o.insert(QLatin1String(keys[i]), q.value(i + 1).toString());
    return o;
}

bool isDigits(const QString& s) {
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

// The reporter's organisation as the form's four lists: each level's choices hang off the level
// above, and a region's divisions (and a region and division's sections) are the same under every
// department that has that region. create_ticket accepts exactly the chains these lists offer.
QJsonObject Actions::reporterOptions() {
    QJsonArray departments, allAdmins;
    QJsonObject adminsByDepartment, divisionsByAdmin, sectionsByAdminDivision;
    auto appendUnique = [](QJsonObject& map, const QString& key, const QString& value) {
        QJsonArray list = map.value(key).toArray();
        if (!list.contains(value))
            list.append(value);
        map.insert(key, list);
    };
    QSqlQuery o =
        m_db.exec(QStringLiteral("SELECT department, admin, division, section FROM org_units ORDER BY sort"));
    while (o.next()) {
        const QString dep = o.value(0).toString(), admin = o.value(1).toString(), div = o.value(2).toString(),
                      sec = o.value(3).toString();
        if (!departments.contains(dep))
            departments.append(dep);
        if (!allAdmins.contains(admin))
            allAdmins.append(admin);
        appendUnique(adminsByDepartment, dep, admin);
        appendUnique(divisionsByAdmin, admin, div);
        appendUnique(sectionsByAdminDivision, admin + QStringLiteral("||") + div, sec);
    }
    return {{QStringLiteral("departments"), departments},
            {QStringLiteral("adminsByDepartment"), adminsByDepartment},
            {QStringLiteral("divisionsByAdmin"), divisionsByAdmin},
            {QStringLiteral("sectionsByAdminDivision"), sectionsByAdminDivision},
            {QStringLiteral("allAdmins"), allAdmins}};
}

namespace {

// Walks department, region, division and section down `options` as the form's cascade does and
// names the first level whose choice its list does not offer; empty when the whole chain fits.
QString reporterChainRefusal(const QJsonObject& options, const QString (&levels)[4]) {
    const QString &department = levels[0], &region = levels[1], &division = levels[2], &section = levels[3];
    if (!options.value(QStringLiteral("departments")).toArray().contains(department))
        return QStringLiteral("الوحدة التنظيمية المستقلة «%1» غير موجودة في الهيكل التنظيمي.")
            .arg(department);
    const QJsonObject adminsByDepartment = options.value(QStringLiteral("adminsByDepartment")).toObject();
    const QJsonArray admins = adminsByDepartment.contains(department)
                                  ? adminsByDepartment.value(department).toArray()
                                  : options.value(QStringLiteral("allAdmins")).toArray();
    if (!admins.contains(region))
        return QStringLiteral("الإدارة «%1» لا تتبع الوحدة التنظيمية المستقلة «%2».").arg(region, department);
    if (!options.value(QStringLiteral("divisionsByAdmin"))
             .toObject()
             .value(region)
             .toArray()
             .contains(division))
        return QStringLiteral("الشعبة «%1» لا تتبع الإدارة «%2».").arg(division, region);
    if (!options.value(QStringLiteral("sectionsByAdminDivision"))
             .toObject()
             .value(region + QStringLiteral("||") + division)
             .toArray()
             .contains(section))
        return QStringLiteral("الوحدة «%1» لا تتبع الشعبة «%2» في الإدارة «%3».")
            .arg(section, division, region);
    return {};
}

} // namespace

ApiReply Actions::referenceData(Call& call) {
    const Account& me = *call.account;
    QJsonArray routeReasons, rejectReasons;
    QSqlQuery r = m_db.exec(QStringLiteral("SELECT kind, text FROM reasons ORDER BY sort"));
    while (r.next())
        (r.value(0).toString() == QLatin1String("reject") ? rejectReasons : routeReasons)
            .append(r.value(1).toString());

    QJsonArray services;
    QSqlQuery s =
        m_db.exec(QStringLiteral("SELECT v.id, v.name, v.category, v.priority, v.scope_id, sc.name, v.region "
                                 "FROM services v LEFT JOIN scopes sc ON sc.id = v.scope_id ORDER BY v.id"));
    while (s.next())
        services.append(QJsonObject{{QStringLiteral("id"), s.value(0).toLongLong()},
                                    {QStringLiteral("name"), s.value(1).toString()},
                                    {QStringLiteral("category"), textOrNull(s.value(2))},
                                    {QStringLiteral("priority"), priorityName(s.value(3).toString())},
                                    {QStringLiteral("processingScopeId"), textOrNull(s.value(4))},
                                    {QStringLiteral("processingScopeName"), textOrNull(s.value(5))},
                                    {QStringLiteral("region"), textOrNull(s.value(6))}});

    QJsonArray scopes;
    QSqlQuery sc =
        m_db.exec(QStringLiteral("SELECT id, type, type_label, name, path FROM scopes ORDER BY sort"));
    while (sc.next())
        scopes.append(scopeJson(sc));

    QJsonObject handlersByScope;
    QSqlQuery h =
        m_db.exec(QStringLiteral("SELECT u.scope_id, u.username, u.name, u.role, s.path FROM users u JOIN "
                                 "scopes s ON s.id = u.scope_id WHERE u.role <> 'admin' ORDER BY s.sort, "
                                 "u.role DESC, u.username"));
    while (h.next()) {
        const QString scopeId = h.value(0).toString();
        QJsonArray list = handlersByScope.value(scopeId).toArray();
        list.append(QJsonObject{{QStringLiteral("username"), h.value(1).toString()},
                                {QStringLiteral("name"), h.value(2).toString()},
                                {QStringLiteral("role"), h.value(3).toString()},
                                {QStringLiteral("roleLabel"), roleLabel(h.value(3).toString())},
                                {QStringLiteral("organizationPath"), h.value(4).toString()}});
        handlersByScope.insert(scopeId, list);
    }

    QJsonObject context{{QStringLiteral("lockedByScope"), me.role == role::Agent}};
    if (me.role != role::Admin && !me.department.isEmpty()) {
        context.insert(QStringLiteral("reporterDepartment"), me.department);
        context.insert(QStringLiteral("reporterRegion"), me.region);
        context.insert(QStringLiteral("reporterDivision"), me.division);
        context.insert(QStringLiteral("reporterSection"), me.section);
        context.insert(
            QStringLiteral("reporterOrganizationPath"),
            QStringList{me.department, me.region, me.division, me.section}.join(QStringLiteral(" › ")));
        context.insert(QStringLiteral("reporterOrganizationId"), me.orgId);
    }

    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("statuses"), QJsonArray::fromStringList(stateNames())},
                         {QStringLiteral("priorities"), QJsonArray::fromStringList(priorityNames())},
                         {QStringLiteral("routeReasons"), routeReasons},
                         {QStringLiteral("rejectReasons"), rejectReasons},
                         {QStringLiteral("services"), services},
                         {QStringLiteral("assignmentScopes"), scopes},
                         {QStringLiteral("handlersByScope"), handlersByScope},
                         {QStringLiteral("createContext"), context},
                         {QStringLiteral("reporterOptions"), reporterOptions()}});
}

static const char* const kPersonColumns =
    "SELECT national_id, username, full_name, mobile, fixed_phone, email, ip, "
    "department, region, division, section FROM people ";

ApiReply Actions::beneficiaryLookup(Call& call) {
    if (!call.request.hasQuery(QStringLiteral("nationalId")))
        return ApiReply::error(422, QStringLiteral("رقم الهوية مطلوب."));
    const QString id = call.request.queryValue(QStringLiteral("nationalId")).trimmed();
    if (id.size() != 10 || !isDigits(id))
        return ApiReply::ok(
            {{QStringLiteral("ok"), true},
             {QStringLiteral("found"), false},
             {QStringLiteral("message"), QStringLiteral("رقم الهوية يجب أن يتكون من 10 أرقام.")}});
    QSqlQuery q =
        m_db.exec(QString::fromUtf8(kPersonColumns) + QStringLiteral("WHERE national_id = ?"), {id});
    if (!q.next())
        return ApiReply::ok(
            {{QStringLiteral("ok"), true},
             {QStringLiteral("found"), false},
             {QStringLiteral("message"), QStringLiteral("لا توجد بيانات سابقة لهذه الهوية.")}});
    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("found"), true},
                         {QStringLiteral("message"), QStringLiteral("تم جلب بيانات المستفيد السابقة.")},
                         {QStringLiteral("beneficiary"), personJson(q)}});
}

ApiReply Actions::accountLookup(Call& call) {
    if (!call.request.hasQuery(QStringLiteral("account")))
        return ApiReply::error(422, QStringLiteral("اسم الحساب مطلوب."));
    const QString account = call.request.queryValue(QStringLiteral("account")).trimmed();
    QSqlQuery q = m_db.exec(
        QString::fromUtf8(kPersonColumns) + QStringLiteral("WHERE lower(username) = lower(?)"), {account});
    if (account.isEmpty() || !q.next())
        return ApiReply::ok(
            {{QStringLiteral("ok"), true},
             {QStringLiteral("found"), false},
             {QStringLiteral("message"), QStringLiteral("لم يتم العثور على حساب بهذا الاسم.")}});
    return ApiReply::ok({{QStringLiteral("ok"), true},
                         {QStringLiteral("found"), true},
                         {QStringLiteral("message"), QStringLiteral("تم التحقق من حساب المستخدم.")},
                         {QStringLiteral("account"), personJson(q)}});
}

ApiReply Actions::createTicket(Call& call) {
    const QJsonObject& body = call.request.json;
    const Account& me = *call.account;

    // Shape first: all 19 members, each of its type.
    static const char* const textMembers[] = {
        "nationalId",       "beneficiaryUser",    "title",          "description",      "priority",
        "beneficiaryName",  "contactMobile",      "mobile",         "fixedPhone",       "email",
        "ipAddress",        "reporterDepartment", "reporterRegion", "reporterDivision", "reporterSection",
        "participantReason"};
    auto missing = [](const char* key) {
        return QStringLiteral("الحقل «%1» مفقود من الطلب.").arg(QLatin1String(key));
    };
    for (const char* key : textMembers) {
        const QJsonValue v = body.value(QLatin1String(key));
        if (v.isUndefined())
            return ApiReply::error(422, missing(key));
        if (!v.isString())
            return ApiReply::error(422,
                                   QStringLiteral("الحقل «%1» يجب أن يكون نصاً.").arg(QLatin1String(key)));
    }
    const QJsonValue serviceValue = body.value(QStringLiteral("serviceCatalogId"));
    if (serviceValue.isUndefined())
        return ApiReply::error(422, missing("serviceCatalogId"));
    const double serviceNumber = serviceValue.toDouble(-1);
    if (!serviceValue.isDouble() || serviceNumber != double(qint64(serviceNumber)))
        return ApiReply::error(422, QStringLiteral("الحقل «serviceCatalogId» يجب أن يكون رقماً صحيحاً."));
    for (const char* key : {"participantScopeIds", "attachments"}) {
        const QJsonValue v = body.value(QLatin1String(key));
        if (v.isUndefined())
            return ApiReply::error(422, missing(key));
        if (!v.isArray())
            return ApiReply::error(422,
                                   QStringLiteral("الحقل «%1» يجب أن يكون قائمة.").arg(QLatin1String(key)));
    }
    QStringList participantIds;
    for (const QJsonValue& v : body.value(QStringLiteral("participantScopeIds")).toArray()) {
        if (!v.isString())
            return ApiReply::error(422, QStringLiteral("عناصر «participantScopeIds» يجب أن تكون نصوصاً."));
        if (!v.toString().trimmed().isEmpty())
            participantIds << v.toString().trimmed();
    }
    const QJsonArray attachments = body.value(QStringLiteral("attachments")).toArray();
    for (const QJsonValue& v : attachments) {
        const QJsonObject a = v.toObject();
        if (!v.isObject() || !a.value(QStringLiteral("name")).isString() ||
            !a.value(QStringLiteral("mime")).isString() ||
            !a.value(QStringLiteral("contentBase64")).isString())
            return ApiReply::error(422,
                                   QStringLiteral("كل مرفق يجب أن يحمل name و mime و contentBase64 نصوصاً."));
    }

    auto text = [&body](const char* key) { return body.value(QLatin1String(key)).toString(); };
    const QString nationalId = text("nationalId").trimmed();
    const QString beneficiaryUser = text("beneficiaryUser").trimmed();
    const QString title = text("title").trimmed();
    const QString description = text("description").trimmed();
    const QString beneficiaryName = text("beneficiaryName").trimmed();
    const QString mobile = text("contactMobile").trimmed();
    const QString fixedPhone = text("fixedPhone").trimmed();
    const QString levels[] = {text("reporterDepartment").trimmed(), text("reporterRegion").trimmed(),
                              text("reporterDivision").trimmed(), text("reporterSection").trimmed()};

    // Then content, as the form's own rules hold it.
    if (nationalId.size() != 10 || !isDigits(nationalId))
        return ApiReply::error(422, QStringLiteral("رقم الهوية يجب أن يتكون من 10 أرقام."));
    if (beneficiaryUser.isEmpty())
        return ApiReply::error(422, QStringLiteral("حساب المستفيد مطلوب."));
    if (beneficiaryName.isEmpty())
        return ApiReply::error(422, QStringLiteral("اسم المستفيد مطلوب."));
    for (const QString& level : levels)
        if (level.isEmpty())
            return ApiReply::error(
                422, QStringLiteral("أكمل بيانات جهة المبلّغ: الإدارة والمنطقة والشعبة والقسم."));
    if (const QString refusal = reporterChainRefusal(reporterOptions(), levels); !refusal.isEmpty())
        return ApiReply::error(422, refusal);
    if (!mobile.isEmpty() &&
        (mobile.size() != 10 || !mobile.startsWith(QLatin1String("05")) || !isDigits(mobile)))
        return ApiReply::error(422, QStringLiteral("رقم الجوال يجب أن يبدأ بـ 05 ويتكون من 10 أرقام."));
    if (!fixedPhone.isEmpty() && (fixedPhone.size() != 10 || !isDigits(fixedPhone)))
        return ApiReply::error(422, QStringLiteral("رقم الهاتف الثابت يجب أن يتكون من 10 أرقام."));
    if (characterCount(title) < 4)
        return ApiReply::error(422, QStringLiteral("عنوان البلاغ قصير: 4 أحرف على الأقل."));
    if (characterCount(description) < 8)
        return ApiReply::error(422, QStringLiteral("وصف البلاغ قصير: 8 أحرف على الأقل."));

    QSqlQuery svc = m_db.exec(QStringLiteral("SELECT priority, scope_id FROM services WHERE id = ?"),
                              {qint64(serviceNumber)});
    if (!svc.next())
        return ApiReply::error(422, QStringLiteral("الخدمة المختارة غير موجودة في الكتالوج."));
    QString priority = svc.value(0).toString();
    const QString scopeId = svc.value(1).toString();
    if (!text("priority").trimmed().isEmpty()) {
        const auto code = priorityCode(text("priority"));
        if (!code)
            return ApiReply::error(422, QStringLiteral("الأولوية «%1» غير معروفة.").arg(text("priority")));
        priority = *code;
    }
    for (const QString& id : participantIds)
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM scopes WHERE id = ?"), {id}).toLongLong() == 0)
            return ApiReply::error(422, QStringLiteral("جهة المعالجة المشتركة «%1» غير معروفة.").arg(id));
    if (!participantIds.isEmpty() && text("participantReason").trimmed().isEmpty())
        return ApiReply::error(422, QStringLiteral("اذكر سبب إشراك جهة المعالجة المشتركة."));

    // Attachments: each one is checked on its own; a bad one is reported, the ticket still stands.
    struct Stored {
        QString name, mime;
        QByteArray data;
    };
    QList<Stored> stored;
    QJsonArray attachmentErrors;
    for (qsizetype i = 0; i < attachments.size(); ++i) {
        const QJsonObject a = attachments.at(i).toObject();
        const QString name = a.value(QStringLiteral("name")).toString().trimmed();
        const QString label = name.isEmpty() ? QStringLiteral("رقم %1").arg(i + 1) : name;
        if (i >= kMaxTicketAttachments) {
            attachmentErrors.append(
                QStringLiteral("المرفق «%1»: تجاوز عدد المرفقات الحد المسموح (5).").arg(label));
            continue;
        }
        const QString base64 = a.value(QStringLiteral("contentBase64")).toString();
        const auto decoded =
            QByteArray::fromBase64Encoding(base64.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || base64.isEmpty()) {
            attachmentErrors.append(
                QStringLiteral("المرفق «%1»: تعذر قراءة محتواه (ترميز Base64 غير صالح).").arg(label));
            continue;
        }
        if (decoded.decoded.size() > kMaxTicketAttachmentBytes) {
            attachmentErrors.append(QStringLiteral("المرفق «%1»: الحجم يتجاوز 10 ميجابايت.").arg(label));
            continue;
        }
        QString mime = a.value(QStringLiteral("mime")).toString().trimmed();
        stored.append(
            {label, mime.isEmpty() ? QStringLiteral("application/octet-stream") : mime, decoded.decoded});
    }

    const qint64 at = now();
    Transaction tx(m_db);
    const QString number = nextMaintenanceNo();
    QSqlQuery ins = m_db.exec(
        QStringLiteral(
            "INSERT INTO tickets(maintenance_no, title, description, state, priority, service_id, scope_id, "
            "beneficiary_name, beneficiary_user, beneficiary_mobile, beneficiary_fixed, beneficiary_email, "
            "beneficiary_ip, beneficiary_national_id, entity_name, department_name, location, office_name, "
            "channel, created_by, created_at, updated_at, sla_minutes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {number,
         title,
         description,
         state::New,
         priority,
         qint64(serviceNumber),
         scopeId,
         beneficiaryName,
         beneficiaryUser,
         mobile,
         fixedPhone,
         text("email").trimmed(),
         text("ipAddress").trimmed(),
         nationalId,
         levels[0],
         levels[2] + QStringLiteral(" / ") + levels[3],
         levels[1],
         QStringLiteral("نقطة الاستقبال الإلكترونية"),
         QStringLiteral("تطبيق الجوال"),
         me.username,
         at,
         at,
         slaMinutesFor(priority)});
    const qint64 ticketId = m_db.lastInsertId(ins);
    for (const Stored& s : stored)
        m_db.exec(
            QStringLiteral("INSERT INTO attachments(ticket_id, name, mime, size, purpose, data, uploaded_by, "
                           "created_at) VALUES(?, ?, ?, ?, 'ticket_attachment', ?, ?, ?)"),
            {ticketId, s.name, s.mime, qint64(s.data.size()), s.data, me.username, at});
    TicketRow row = *loadTicket(number);
    addLog(row, logkey::Created, me, state::New, description);
    for (const QString& id : participantIds) {
        const QString name =
            m_db.scalar(QStringLiteral("SELECT COALESCE(name, path) FROM scopes WHERE id = ?"), {id})
                .toString();
        m_db.exec(QStringLiteral(
                      "INSERT OR IGNORE INTO participants(ticket_id, scope_id, username, name, role, reason, "
                      "created_at) VALUES(?, ?, NULL, ?, ?, ?, ?)"),
                  {ticketId, id, name, QStringLiteral("جهة معالجة مشتركة"),
                   text("participantReason").trimmed(), at});
        addLog(row, logkey::ParticipantAdded, me, state::New, text("participantReason").trimmed());
    }

    // The beneficiary is remembered for the next lookup.
    const bool known =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM people WHERE national_id = ?"), {nationalId})
            .toLongLong() > 0;
    const bool nameTaken =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM people WHERE lower(username) = lower(?) AND "
                                   "national_id <> ?"),
                    {beneficiaryUser, nationalId})
            .toLongLong() > 0;
    const QVariant username = nameTaken ? QVariant(QMetaType(QMetaType::QString)) : QVariant(beneficiaryUser);
    if (!known)
        m_db.exec(QStringLiteral(
                      "INSERT INTO people(national_id, username, full_name, mobile, fixed_phone, email, ip, "
                      "department, region, division, section) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {nationalId, username, beneficiaryName, mobile, fixedPhone, text("email").trimmed(),
                   text("ipAddress").trimmed(), levels[0], levels[1], levels[2], levels[3]});
    else
        m_db.exec(QStringLiteral(
                      "UPDATE people SET full_name = ?, mobile = COALESCE(NULLIF(?, ''), mobile), "
                      "fixed_phone = COALESCE(NULLIF(?, ''), fixed_phone), email = COALESCE(NULLIF(?, ''), "
                      "email), department = ?, region = ?, division = ?, section = ? WHERE national_id = ?"),
                  {beneficiaryName, mobile, fixedPhone, text("email").trimmed(), levels[0], levels[1],
                   levels[2], levels[3], nationalId});

    row = *loadTicket(number);
    notifyUsers(concernedUsers(row), me.username, QStringLiteral("بلاغ جديد %1").arg(number),
                QStringLiteral("%1 — %2 (الأولوية: %3)").arg(title, beneficiaryName, priorityName(priority)),
                QStringLiteral("ticket.created"), number);
    tx.commit();

    QJsonObject out{{QStringLiteral("ok"), true},
                    {QStringLiteral("maintenanceNo"), number},
                    {QStringLiteral("message"), QStringLiteral("تم إنشاء البلاغ رقم %1 بنجاح.").arg(number)},
                    {QStringLiteral("attachmentsCount"), qint64(stored.size())}};
    if (!attachmentErrors.isEmpty())
        out.insert(QStringLiteral("attachmentErrors"), attachmentErrors);
    return ApiReply::ok(out);
}

} // namespace devserver
