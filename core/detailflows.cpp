// The ticket detail and the upload of closure evidence.

#include "mobileappstate.h"
#include "servertext.h"

#include <QMimeDatabase>
#include <QPointer>

namespace kalvorin {

QCoro::Task<Result<TicketDetail>> MobileAppState::ticketDetail(QString number) {
    QPointer<MobileAppState> alive(this);
    KalvorinAPI::Query query;
    query.append({QStringLiteral("maintenanceNo"), number});
    Result<TicketResponse> answer =
        co_await request<TicketResponse>(QStringLiteral("ticket"), QStringLiteral("GET"), std::move(query));
    if (!answer)
        co_return answer.failure();
    // `ok` is not consulted: a ticket present is a ticket shown.
    if (!answer->ticket)
        co_return Failure{KalvorinAPI::kErrorDomain, 404,
                          answer->message ? shownServerText(*answer->message) : kTicketNotFound};
    TicketDetail ticket = *answer->ticket;
    if (alive)
        setParticipantScopes(number, ticket.participantScopes.value_or(QList<AssignmentScope>()));
    co_return ticket;
}

QString MobileAppState::mediaTypeForFileName(const QString& fileName) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return QStringLiteral("application/octet-stream");
    return type.name();
}

QCoro::Task<MobileAppState::WriteOutcome>
MobileAppState::uploadAttachment(QString number, QUrl fileURL, QString purpose,
                                 std::function<void(qint64, qint64)> progress) {
    const QString path = fileURL.isLocalFile() ? fileURL.toLocalFile() : fileURL.path();
    const QString name = fileURL.fileName();
    // The file's Base64 is produced from the file while the request leaves, so
    // a file of any size costs the same few buffers; one that cannot be opened
    // fails here, before anything is sent.
    StreamedJson body;
    const Result<QString> content = body.fileAsBase64(path);
    if (!content)
        co_return WriteOutcome{content.description()};
    body.setDocument({{QStringLiteral("maintenanceNo"), number},
                      {QStringLiteral("name"), name},
                      {QStringLiteral("mime"), mediaTypeForFileName(name)},
                      {QStringLiteral("purpose"), purpose},
                      {QStringLiteral("contentBase64"), *content}});
    body.setProgress(std::move(progress));

    QPointer<MobileAppState> alive(this);
    const Result<APIMessage> answer = co_await request<APIMessage>(
        QStringLiteral("upload_attachment"), QStringLiteral("POST"), {}, std::move(body));
    if (!answer)
        co_return WriteOutcome{answer.description()};
    if (!alive)
        co_return WriteOutcome{};
    co_await refreshAll();
    const bool done = answer->ok.value_or(false);
    if (answer->message)
        co_return WriteOutcome{shownServerText(*answer->message), done};
    co_return WriteOutcome{done ? kUploadDone : kUploadFailed, done};
}

} // namespace kalvorin
