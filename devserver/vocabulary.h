#pragma once

// The server's fixed words: ticket states, priorities, roles, action-log keys,
// how times are written and how the service level is figured.

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace devserver {

namespace state {
inline const QString New = QStringLiteral("new");
inline const QString Processing = QStringLiteral("processing");
inline const QString AwaitingManager = QStringLiteral("awaiting_manager");
inline const QString Closed = QStringLiteral("closed");
inline const QString Rejected = QStringLiteral("rejected");
} // namespace state

namespace role {
inline const QString Agent = QStringLiteral("agent");
inline const QString Supervisor = QStringLiteral("supervisor");
inline const QString Admin = QStringLiteral("admin");
} // namespace role

// Action-log keys, as the client labels them; route has no label there and
// shows its key.
namespace logkey {
inline const QString Created = QStringLiteral("ticket.mobile.created");
inline const QString CreatedFull = QStringLiteral("government_ticket_created_full");
inline const QString Comment = QStringLiteral("ticket.comment");
inline const QString Close = QStringLiteral("ticket.close");
inline const QString Reject = QStringLiteral("ticket.reject");
inline const QString ParticipantAdded = QStringLiteral("ticket.participant.added");
inline const QString TempPassword = QStringLiteral("ticket.temp_password.sent");
inline const QString ManagerRoute = QStringLiteral("ticket.escalation_approval.requested");
inline const QString Route = QStringLiteral("ticket.route");
inline const QString Attachment = QStringLiteral("ticket.attachment.uploaded");
} // namespace logkey

QString stateName(const QString& code);
QStringList stateNames();
bool isOpenState(const QString& code);

// Priorities travel as Arabic names; stored as codes.
QString priorityName(const QString& code);
QStringList priorityNames();
// "حرجة", "حرجة جداً", "عالية", "متوسطة", "منخفضة" → code; nothing for others.
std::optional<QString> priorityCode(const QString& name);
// Minutes allowed before the service level is breached.
int slaMinutesFor(const QString& priorityCode);

QString roleLabel(const QString& role);

// Server times are local "yyyy-MM-dd HH:mm" texts.
QString formatTime(qint64 epochSeconds);
qint64 now();

struct SlaFigures {
    qint64 percent = 0;
    qint64 remaining = 0; // minutes, never below 0
    bool breached = false;
    bool near = false;
};
// Open tickets run against the clock; closed and rejected ones stop at their end.
SlaFigures slaFor(qint64 createdAt, std::optional<qint64> endedAt, int allowedMinutes, qint64 at);
QJsonObject slaJson(const SlaFigures& sla);

QJsonArray workflowFor(const QString& stateCode, bool hasHandler);

// Least number of characters of the trimmed note, per operation; -1 unknown.
int minimumNoteLength(const QString& operation);
// Characters as a reader counts them, not UTF-16 units.
qsizetype characterCount(const QString& text);

} // namespace devserver
