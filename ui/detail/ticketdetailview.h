#pragma once
// The ticket detail screen's state and everything its cards show. The screen gives it the
// shared state and the ticket's number and calls load() each time it appears:
//
//     TicketDetailView { id: view; appState: AppState; number: screen.maintenanceNo }
//     Text { text: view.slaStatusText; color: view.slaStatusColor }
//     Repeater { model: view.beneficiaryItems; InfoChip { title: model.title; value: model.value } }
//
// Loads are not serialised: each one that finishes writes the ticket (or the message) and clears
// `loading`, so the last to finish decides. A load or upload that finishes after the screen is
// gone touches nothing (the coroutines hold only guarded pointers).

#include "records/records.h"
#include "rowsmodel.h"
#include "ticketlistmodel.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <qcorotask.h>

namespace kalvorin {

class MobileAppState;

class TicketDetailView : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QObject* appState READ appState WRITE setAppState NOTIFY appStateChanged)
    Q_PROPERTY(QString number READ number WRITE setNumber NOTIFY numberChanged)
    // screen state
    Q_PROPERTY(bool hasTicket READ hasTicket NOTIFY ticketChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(QString failureText READ failureText NOTIFY messageChanged)
    Q_PROPERTY(QString loadingText READ loadingText CONSTANT)
    Q_PROPERTY(bool uploadingAttachment READ uploadingAttachment NOTIFY uploadingChanged)
    // 0..1 while the platform reports it, -1 while unknown.
    Q_PROPERTY(double uploadProgress READ uploadProgress NOTIFY uploadProgressChanged)
    // What the last action or upload ended with, shown until dismissed or until the next one
    // starts: green when the server applied it, red when not.
    Q_PROPERTY(QString outcome READ outcome NOTIFY outcomeChanged)
    Q_PROPERTY(QColor outcomeColor READ outcomeColor NOTIFY outcomeChanged)
    // header card
    Q_PROPERTY(QString maintenanceNo READ maintenanceNo NOTIFY ticketChanged)
    Q_PROPERTY(QString priority READ priority NOTIFY ticketChanged)
    Q_PROPERTY(QColor headerTint READ headerTint NOTIFY ticketChanged)
    // The header's PriorityBadge, by the ticket list's rules.
    Q_PROPERTY(QString badgeText READ badgeText NOTIFY ticketChanged)
    Q_PROPERTY(int badgeTone READ badgeTone NOTIFY ticketChanged)
    Q_PROPERTY(QString title READ title NOTIFY ticketChanged)
    Q_PROPERTY(QString descriptionText READ descriptionText NOTIFY ticketChanged)
    Q_PROPERTY(kalvorin::RowsModel* headerItems READ headerItems CONSTANT)
    Q_PROPERTY(kalvorin::RowsModel* beneficiaryItems READ beneficiaryItems CONSTANT)
    Q_PROPERTY(kalvorin::RowsModel* treatmentItems READ treatmentItems CONSTANT)
    // service level
    Q_PROPERTY(QString slaPercentText READ slaPercentText NOTIFY ticketChanged)
    Q_PROPERTY(double slaFraction READ slaFraction NOTIFY ticketChanged)
    Q_PROPERTY(QString slaStatusText READ slaStatusText NOTIFY ticketChanged)
    Q_PROPERTY(QColor slaStatusColor READ slaStatusColor NOTIFY ticketChanged)
    // workflow: label, done, labelColor, fillColor, outlineColor
    Q_PROPERTY(kalvorin::RowsModel* workflowSteps READ workflowSteps CONSTANT)
    // processing chain: label, detail (first six entries); participants: role, name
    Q_PROPERTY(kalvorin::RowsModel* chainEntries READ chainEntries CONSTANT)
    Q_PROPERTY(kalvorin::RowsModel* participantRows READ participantRows CONSTANT)
    Q_PROPERTY(bool chainEmpty READ chainEmpty NOTIFY ticketChanged)
    // attachments: name, detail, symbol, symbolColor
    Q_PROPERTY(kalvorin::RowsModel* attachmentRows READ attachmentRows CONSTANT)
    Q_PROPERTY(QString attachmentsTitle READ attachmentsTitle NOTIFY ticketChanged)
    Q_PROPERTY(QString attachmentsStatus READ attachmentsStatus NOTIFY ticketChanged)
    Q_PROPERTY(bool canUploadClosureEvidence READ canUploadClosureEvidence NOTIFY ticketChanged)
    Q_PROPERTY(QColor attachmentsTint READ attachmentsTint NOTIFY ticketChanged)
    // action rows of two: firstKind, firstTitle, firstIcon, firstColor, second… (empty kind: a spacer)
    Q_PROPERTY(kalvorin::RowsModel* actionRows READ actionRows CONSTANT)

public:
    static inline const QString kLoadFailed = QStringLiteral("تعذر تحميل تفاصيل البلاغ.");
    static inline const QString kClosureEvidencePurpose = QStringLiteral("service_acceptance");

    explicit TicketDetailView(QObject* parent = nullptr);

    QObject* appState() const;
    void setAppState(QObject* state);
    QString number() const { return m_number; }
    void setNumber(const QString& number);

    // The load cycle, started and not waited for; loadNow() is the same, awaitable.
    Q_INVOKABLE void load();
    QCoro::Task<> loadNow();
    // A file the picker returned: uploaded as closure evidence, then the ticket reloaded.
    Q_INVOKABLE void uploadClosureEvidence(const QUrl& file);
    QCoro::Task<> uploadNow(QUrl file);
    // An action sheet finished with `text`: kept as the message, and the ticket reloaded.
    Q_INVOKABLE void actionDone(const QString& text);
    // The picker failed: its description becomes the message.
    Q_INVOKABLE void pickerFailed(const QString& description);
    // The result line: set when a write ends, cleared by its close button or the next write.
    void showOutcome(const QString& text, bool done);
    Q_INVOKABLE void dismissOutcome() { showOutcome(QString(), false); }
    QString outcome() const { return m_outcome; }
    QColor outcomeColor() const;

    const std::optional<TicketDetail>& ticket() const { return m_ticket; }
    void setTicket(TicketDetail ticket);

    bool hasTicket() const { return m_ticket.has_value(); }
    bool loading() const { return m_loading; }
    QString message() const { return m_message; }
    QString failureText() const { return m_message.isEmpty() ? kLoadFailed : m_message; }
    QString loadingText() const { return QStringLiteral("جاري تحميل البلاغ..."); }
    bool uploadingAttachment() const { return m_uploading; }
    double uploadProgress() const { return m_uploadProgress; }

    QString maintenanceNo() const;
    QString priority() const;
    QColor headerTint() const;
    QString badgeText() const { return TicketListModel::badgeText(priority()); }
    int badgeTone() const { return int(TicketListModel::badgeTone(priority())); }
    QString title() const;
    QString descriptionText() const;
    RowsModel* headerItems() const { return m_headerItems; }
    RowsModel* beneficiaryItems() const { return m_beneficiaryItems; }
    RowsModel* treatmentItems() const { return m_treatmentItems; }
    QString slaPercentText() const;
    double slaFraction() const;
    QString slaStatusText() const;
    QColor slaStatusColor() const;
    RowsModel* workflowSteps() const { return m_workflow; }
    RowsModel* chainEntries() const { return m_chain; }
    RowsModel* participantRows() const { return m_participants; }
    bool chainEmpty() const;
    RowsModel* attachmentRows() const { return m_attachments; }
    QString attachmentsTitle() const;
    QString attachmentsStatus() const;
    bool canUploadClosureEvidence() const;
    QColor attachmentsTint() const;
    RowsModel* actionRows() const { return m_actions; }

signals:
    void appStateChanged();
    void numberChanged();
    void ticketChanged();
    void loadingChanged();
    void messageChanged();
    void uploadingChanged();
    void uploadProgressChanged();
    void outcomeChanged();

private:
    void setLoading(bool value);
    void setMessage(const QString& value);
    void setUploading(bool value);
    void setUploadProgress(double value);

    QPointer<MobileAppState> m_state;
    QString m_number;
    std::optional<TicketDetail> m_ticket;
    bool m_loading = true;
    QString m_message;
    bool m_uploading = false;
    double m_uploadProgress = -1;
    QString m_outcome;
    bool m_outcomeDone = false;

    RowsModel* m_headerItems;
    RowsModel* m_beneficiaryItems;
    RowsModel* m_treatmentItems;
    RowsModel* m_workflow;
    RowsModel* m_chain;
    RowsModel* m_participants;
    RowsModel* m_attachments;
    RowsModel* m_actions;
};

} // namespace kalvorin
