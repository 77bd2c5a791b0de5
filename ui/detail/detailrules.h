#pragma once
// What the ticket detail's cards show, computed from the ticket record: texts with their
// placeholders, tints, the service-level ring, the processing chain's labels and the
// attachments' lines. TicketDetailView publishes these values to QML; tests check them here.

#include "records/records.h"

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

namespace kalvorin::detail {

inline const QString kUnspecified = QStringLiteral("غير محدد");
constexpr int kShownChainEntries = 6;

struct InfoItem {
    QString title;
    QString value; // as the chip shows it
    bool operator==(const InfoItem&) const = default;
};

// A chip's value: trimmed of white space and line breaks, "غير محدد" when nothing remains.
QString normalized(const QString& value);

// ---- header card ----
// Red when the priority contains "حرج", teal otherwise.
QColor ticketHeaderTint(const TicketDetail& ticket);
QString ticketTitle(const TicketDetail& ticket);
QList<InfoItem> ticketHeaderItems(const TicketDetail& ticket);

// ---- beneficiary and processing cards ----
QList<InfoItem> beneficiaryItems(const TicketDetail& ticket);
QList<InfoItem> treatmentItems(const TicketDetail& ticket);

// ---- service level ----
struct SlaRing {
    QString percentText; // P unclamped, followed by "%"
    double fraction = 0; // of the circle the arc covers
    QString statusText;  // the minutes an isolated run
    QColor statusColor;
};
SlaRing slaRing(const std::optional<TicketSLA>& sla);

// ---- processing chain ----
// The Arabic label of an action-log key; an unknown key is shown as it is.
QString chainLabel(const QString& key);
// "actor · createdAt", the date an isolated run (textruns.h).
QString chainDetail(const TicketActionLog& entry);
QString participantRole(const Participant& participant);
QString participantName(const Participant& participant);

// ---- attachments ----
// "N مرفقات" with N the larger of the list's length and the ticket's count.
QString attachmentsTitle(qsizetype listed, qint64 count);
QString attachmentsStatus(bool empty);
bool isClosureEvidence(const TicketAttachment& attachment);
// Bytes / 1024, truncated; 0 without a size or with a negative one.
qint64 wholeKilobytes(const std::optional<qint64>& size);
QString attachmentName(const TicketAttachment& attachment);
// "purpose · K KB · createdAt", "K KB" and the date each an isolated run (textruns.h).
QString attachmentDetail(const TicketAttachment& attachment);
bool canUploadClosureEvidence(const TicketDetail& ticket);

} // namespace kalvorin::detail
