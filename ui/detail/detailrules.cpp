#include "detailrules.h"

#include "kalvorintheme.h"
#include "textruns.h"

#include <QHash>
#include <algorithm>
#include <initializer_list>

namespace kalvorin::detail {

namespace {

// The first present value, else the placeholder.
QString firstOf(std::initializer_list<const std::optional<QString>*> values, const QString& otherwise) {
    for (const auto* value : values)
        if (*value)
            return **value;
    return otherwise;
}

QList<InfoItem> chips(std::initializer_list<std::pair<const char*, QString>> items) {
    QList<InfoItem> out;
    for (const auto& [title, value] : items)
        out.append({QString::fromUtf8(title), normalized(value)});
    return out;
}

} // namespace

QString normalized(const QString& value) {
    const QString trimmed = value.trimmed();
    return trimmed.isEmpty() ? kUnspecified : trimmed;
}

QColor ticketHeaderTint(const TicketDetail& ticket) {
    return ticket.priority && ticket.priority->contains(QStringLiteral("حرج")) ? KalvorinTheme::red()
                                                                               : KalvorinTheme::teal();
}

QString ticketTitle(const TicketDetail& ticket) {
    return ticket.title.value_or(QStringLiteral("بلاغ دعم فني"));
}

QList<InfoItem> ticketHeaderItems(const TicketDetail& t) {
    return chips({{"الحالة", firstOf({&t.state}, kUnspecified)},
                  {"الأولوية", firstOf({&t.priority}, kUnspecified)},
                  {"تصنيف الخدمة", firstOf({&t.serviceName, &t.title}, kUnspecified)},
                  {"تاريخ البلاغ", firstOf({&t.createdAt}, kUnspecified)}});
}

QList<InfoItem> beneficiaryItems(const TicketDetail& t) {
    return chips({{"المستفيد", firstOf({&t.beneficiaryName}, kUnspecified)},
                  {"رقم الهوية", firstOf({&t.beneficiaryNationalId}, kUnspecified)},
                  {"الجوال", firstOf({&t.beneficiaryMobile}, kUnspecified)},
                  {"البريد", firstOf({&t.beneficiaryEmail}, kUnspecified)},
                  {"الجهة المستفيدة", firstOf({&t.beneficiaryEntityName}, kUnspecified)},
                  {"الإدارة/القسم", firstOf({&t.beneficiaryDepartment}, kUnspecified)},
                  {"الموقع", firstOf({&t.beneficiaryLocation}, kUnspecified)},
                  {"نقطة استقبال البلاغ", firstOf({&t.ticketOfficeName, &t.office}, kUnspecified)}});
}

QList<InfoItem> treatmentItems(const TicketDetail& t) {
    return chips({{"جهة المعالجة", firstOf({&t.assignedScopeName, &t.scope}, QStringLiteral("غير مسند"))},
                  {"المعالج", firstOf({&t.handler, &t.assignedHandlerName, &t.assignedHandlerUser},
                                      QStringLiteral("لم يسند"))},
                  {"قناة البلاغ", firstOf({&t.channel}, kUnspecified)},
                  {"آخر تحديث", firstOf({&t.updatedAt}, kUnspecified)}});
}

SlaRing slaRing(const std::optional<TicketSLA>& sla) {
    SlaRing ring;
    const std::optional<qint64> percent = sla ? sla->percent : std::nullopt;
    const qint64 p = percent.value_or(0);
    ring.percentText = QString::number(p) + u'%';
    ring.fraction = !percent || p < 1 ? 0.0 : double(std::min<qint64>(p, 100)) / 100.0;
    if (sla && sla->breached.value_or(false)) {
        ring.statusText = QStringLiteral("متجاوز مستوى الخدمة");
        ring.statusColor = KalvorinTheme::red();
    } else {
        const qint64 remaining = sla ? sla->remaining.value_or(0) : 0;
        // The number alone is a left-to-right run: a negative one keeps its sign in front.
        ring.statusText = QStringLiteral("الوقت المتبقي: ") + leftToRight(QString::number(remaining)) +
                          QStringLiteral(" د");
        ring.statusColor = KalvorinTheme::green();
    }
    return ring;
}

QString chainLabel(const QString& key) {
    static const QHash<QString, QString> labels = {
        {QStringLiteral("government_ticket_created_full"), QStringLiteral("فتح البلاغ")},
        {QStringLiteral("ticket.mobile.created"), QStringLiteral("فتح البلاغ")},
        {QStringLiteral("ticket.comment"), QStringLiteral("تعليق")},
        {QStringLiteral("ticket.close"), QStringLiteral("إغلاق البلاغ")},
        {QStringLiteral("ticket.reject"), QStringLiteral("رفض البلاغ")},
        {QStringLiteral("ticket.participant.added"), QStringLiteral("إضافة جهة معالجة مشتركة")},
        {QStringLiteral("ticket.temp_password.sent"), QStringLiteral("إرسال كلمة مرور مؤقتة")},
        {QStringLiteral("ticket.escalation_approval.requested"), QStringLiteral("طلب إحالة للإدارة")},
    };
    return labels.value(key, key);
}

QString chainDetail(const TicketActionLog& entry) {
    return entry.actor + QStringLiteral(" \u00B7 ") + isolated(entry.createdAt);
}

QString participantRole(const Participant& participant) {
    return participant.role.value_or(QStringLiteral("جهة مشاركة"));
}

QString participantName(const Participant& p) {
    return firstOf({&p.name, &p.username}, QStringLiteral("جهة معالجة مشتركة"));
}

QString attachmentsTitle(qsizetype listed, qint64 count) {
    return QString::number(std::max<qint64>(listed, count)) + QStringLiteral(" مرفقات");
}

QString attachmentsStatus(bool empty) {
    return empty ? QStringLiteral("لا توجد مرفقات") : QStringLiteral("محفوظة على البلاغ");
}

bool isClosureEvidence(const TicketAttachment& attachment) {
    return attachment.purpose == QStringLiteral("service_acceptance");
}

qint64 wholeKilobytes(const std::optional<qint64>& size) {
    return size && *size > 0 ? *size / 1024 : 0;
}

QString attachmentName(const TicketAttachment& attachment) {
    return attachment.name.value_or(QStringLiteral("مرفق"));
}

QString attachmentDetail(const TicketAttachment& a) {
    const QString purpose =
        isClosureEvidence(a) ? QStringLiteral("إثبات إغلاق") : QStringLiteral("مرفق بلاغ");
    // The size with its unit and the server's date are runs of their own: beside the Arabic
    // purpose they would otherwise be read in the wrong order.
    return purpose + QStringLiteral(" · ") +
           leftToRight(QString::number(wholeKilobytes(a.size)) + QStringLiteral(" KB")) +
           QStringLiteral(" · ") + isolated(a.createdAt.value_or(QString()));
}

bool canUploadClosureEvidence(const TicketDetail& ticket) {
    return ticket.availableActions && ticket.availableActions->close.value_or(false);
}

} // namespace kalvorin::detail
