#pragma once
// The new-ticket form: every field of the screen with its initial value, the reactions that
// clean and check what is typed, the reporter cascade, the choices of the drop-downs, the two
// lookups, the picked attachments, the save rule and the submission. The screen owns one and
// only binds to it:
//
//     CreateTicketForm { id: form; appState: AppState }
//     IconTextField { text: form.contactMobile; onTextEdited: form.contactMobile = text }
//     PrimaryButtonStyle { enabled: form.canSubmit; onClicked: form.startCreate() }
//
// A setter given a value that its reaction cleans (a letter in a phone field) stores the clean
// value and still notifies, so the field shows what is stored.

#include "createrules.h"
#include "pendingattachments.h"
#include "records/records.h"
#include "reporterlevel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <qcorotask.h>

namespace kalvorin {
class MobileAppState;
class StreamedJson;
} // namespace kalvorin

namespace kalvorin::create {

class CreateTicketForm : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject* appState READ appState WRITE setAppState NOTIFY appStateChanged)

    Q_PROPERTY(QString nationalId READ nationalId WRITE setNationalId NOTIFY nationalIdChanged)
    Q_PROPERTY(
        QString beneficiaryUser READ beneficiaryUser WRITE setBeneficiaryUser NOTIFY beneficiaryUserChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(QString beneficiary READ beneficiary WRITE setBeneficiary NOTIFY beneficiaryChanged)
    Q_PROPERTY(QString contactMobile READ contactMobile WRITE setContactMobile NOTIFY contactMobileChanged)
    Q_PROPERTY(QString fixedPhone READ fixedPhone WRITE setFixedPhone NOTIFY fixedPhoneChanged)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    Q_PROPERTY(QString ipAddress READ ipAddress WRITE setIpAddress NOTIFY ipAddressChanged)
    Q_PROPERTY(
        QString reporterDepartment READ reporterDepartment WRITE setReporterDepartment NOTIFY reporterChanged)
    Q_PROPERTY(QString reporterRegion READ reporterRegion WRITE setReporterRegion NOTIFY reporterChanged)
    Q_PROPERTY(
        QString reporterDivision READ reporterDivision WRITE setReporterDivision NOTIFY reporterChanged)
    Q_PROPERTY(QString reporterSection READ reporterSection WRITE setReporterSection NOTIFY reporterChanged)
    Q_PROPERTY(bool requiresParticipants READ requiresParticipants WRITE setRequiresParticipants NOTIFY
                   requiresParticipantsChanged)
    Q_PROPERTY(QString participantScopeId READ participantScopeId WRITE setParticipantScopeId NOTIFY
                   participantScopeIdChanged)
    Q_PROPERTY(QString participantReason READ participantReason WRITE setParticipantReason NOTIFY
                   participantReasonChanged)
    Q_PROPERTY(QString priority READ priority WRITE setPriority NOTIFY priorityChanged)
    Q_PROPERTY(qint64 selectedServiceId READ selectedServiceId WRITE setSelectedServiceId NOTIFY
                   selectedServiceIdChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(QString lookupMessage READ lookupMessage NOTIFY lookupMessageChanged)
    Q_PROPERTY(QString lastNationalLookup READ lastNationalLookup NOTIFY lastNationalLookupChanged)
    Q_PROPERTY(QString lastAccountLookup READ lastAccountLookup NOTIFY lastAccountLookupChanged)
    Q_PROPERTY(kalvorin::create::AttachmentListModel* selectedAttachments READ selectedAttachments CONSTANT)
    Q_PROPERTY(bool showCreateAttachmentImporter READ showCreateAttachmentImporter WRITE
                   setShowCreateAttachmentImporter NOTIFY showCreateAttachmentImporterChanged)
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

    // Derived values, recomputed whenever they are read.
    Q_PROPERTY(kalvorin::create::ReporterLevel* departmentLevel READ departmentLevel CONSTANT)
    Q_PROPERTY(kalvorin::create::ReporterLevel* regionLevel READ regionLevel CONSTANT)
    Q_PROPERTY(kalvorin::create::ReporterLevel* divisionLevel READ divisionLevel CONSTANT)
    Q_PROPERTY(kalvorin::create::ReporterLevel* sectionLevel READ sectionLevel CONSTANT)
    Q_PROPERTY(QStringList departmentOptions READ departmentOptions NOTIFY derivedChanged)
    Q_PROPERTY(QStringList regionOptions READ regionOptions NOTIFY derivedChanged)
    Q_PROPERTY(QStringList divisionOptions READ divisionOptions NOTIFY derivedChanged)
    Q_PROPERTY(QStringList sectionOptions READ sectionOptions NOTIFY derivedChanged)
    Q_PROPERTY(bool lockNoteVisible READ lockNoteVisible NOTIFY derivedChanged)
    Q_PROPERTY(QStringList serviceChoices READ serviceChoices NOTIFY derivedChanged)
    Q_PROPERTY(int serviceIndex READ serviceIndex WRITE setServiceIndex NOTIFY derivedChanged)
    Q_PROPERTY(bool hasSelectedService READ hasSelectedService NOTIFY derivedChanged)
    Q_PROPERTY(QString serviceScopeText READ serviceScopeText NOTIFY derivedChanged)
    Q_PROPERTY(QString suggestedPriorityText READ suggestedPriorityText NOTIFY derivedChanged)
    Q_PROPERTY(QStringList priorityChoices READ priorityChoices NOTIFY derivedChanged)
    Q_PROPERTY(int priorityIndex READ priorityIndex WRITE setPriorityIndex NOTIFY derivedChanged)
    Q_PROPERTY(QStringList participantChoices READ participantChoices NOTIFY derivedChanged)
    Q_PROPERTY(int participantIndex READ participantIndex WRITE setParticipantIndex NOTIFY derivedChanged)
    Q_PROPERTY(bool canAddAttachment READ canAddAttachment NOTIFY derivedChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY derivedChanged)

public:
    static constexpr int kAccountLookupPauseMs = 650;
    static inline const QString kCreatedText = QStringLiteral("تم إنشاء البلاغ.");
    static inline const QString kCreateFailedText = QStringLiteral("تعذر إنشاء البلاغ.");

    explicit CreateTicketForm(QObject* parent = nullptr);
    ~CreateTicketForm() override;

    QObject* appState() const;
    void setAppState(QObject* state);

    QString nationalId() const { return m_nationalId; }
    void setNationalId(const QString& value);
    QString beneficiaryUser() const { return m_beneficiaryUser; }
    void setBeneficiaryUser(const QString& value);
    QString title() const { return m_title; }
    void setTitle(const QString& value);
    QString description() const { return m_description; }
    void setDescription(const QString& value);
    QString beneficiary() const { return m_beneficiary; }
    void setBeneficiary(const QString& value);
    QString contactMobile() const { return m_contactMobile; }
    void setContactMobile(const QString& value);
    QString fixedPhone() const { return m_fixedPhone; }
    void setFixedPhone(const QString& value);
    QString email() const { return m_email; }
    void setEmail(const QString& value);
    QString ipAddress() const { return m_ipAddress; }
    void setIpAddress(const QString& value);
    QString reporterDepartment() const { return m_chain.department; }
    void setReporterDepartment(const QString& value) { setReporterField(1, value); }
    QString reporterRegion() const { return m_chain.region; }
    void setReporterRegion(const QString& value) { setReporterField(2, value); }
    QString reporterDivision() const { return m_chain.division; }
    void setReporterDivision(const QString& value) { setReporterField(3, value); }
    QString reporterSection() const { return m_chain.section; }
    void setReporterSection(const QString& value) { setReporterField(4, value); }
    bool requiresParticipants() const { return m_requiresParticipants; }
    void setRequiresParticipants(bool value);
    QString participantScopeId() const { return m_participantScopeId; }
    void setParticipantScopeId(const QString& value);
    QString participantReason() const { return m_participantReason; }
    void setParticipantReason(const QString& value);
    QString priority() const { return m_priority; }
    void setPriority(const QString& value);
    qint64 selectedServiceId() const { return m_selectedServiceId; }
    void setSelectedServiceId(qint64 value);
    QString message() const { return m_message; }
    QString lookupMessage() const { return m_lookupMessage; }
    QString lastNationalLookup() const { return m_lastNationalLookup; }
    QString lastAccountLookup() const { return m_lastAccountLookup; }
    AttachmentListModel* selectedAttachments() const { return m_attachments; }
    bool showCreateAttachmentImporter() const { return m_showImporter; }
    void setShowCreateAttachmentImporter(bool value);
    bool running() const { return m_running; }

    // The reporter levels by number (1 department … 4 section).
    QString reporterField(int level) const;
    void setReporterField(int level, const QString& value);
    QStringList levelOptions(int level) const;
    ReporterLevel* departmentLevel() const { return m_levels[0]; }
    ReporterLevel* regionLevel() const { return m_levels[1]; }
    ReporterLevel* divisionLevel() const { return m_levels[2]; }
    ReporterLevel* sectionLevel() const { return m_levels[3]; }
    QStringList departmentOptions() const { return levelOptions(1); }
    QStringList regionOptions() const { return levelOptions(2); }
    QStringList divisionOptions() const { return levelOptions(3); }
    QStringList sectionOptions() const { return levelOptions(4); }

    bool lockNoteVisible() const;
    std::optional<MobileService> selectedService() const;
    QStringList serviceChoices() const;
    int serviceIndex() const;
    void setServiceIndex(int index);
    bool hasSelectedService() const { return selectedService().has_value(); }
    QString serviceScopeText() const;
    QString suggestedPriorityText() const;
    QStringList priorityChoices() const;
    int priorityIndex() const;
    void setPriorityIndex(int index);
    QStringList participantChoices() const;
    int participantIndex() const;
    void setParticipantIndex(int index);
    bool canAddAttachment() const { return m_attachments->count() < kMaxAttachments; }

    // The first save rule that fails (1 to 11, in the order they are tested), 0 when all hold.
    int firstFailedRule() const;
    bool canSubmit() const { return firstFailedRule() == 0; }

    // Prefills the empty reporter levels from the user's own organisation.
    Q_INVOKABLE void applyCreateContextIfNeeded();
    // Writes the present, non-empty members of a looked-up person into the form.
    void applyLookupPerson(const LookupPerson& person);
    QCoro::Task<> lookupBeneficiary();
    QCoro::Task<> lookupAccount();

    // The picker's outcome: the picked files in picked order, or its failure.
    Q_INVOKABLE void handleCreateAttachments(const QList<QUrl>& locations);
    Q_INVOKABLE void handleCreateAttachmentsFailure(const QString& description);
    Q_INVOKABLE void removeAttachment(const QString& id);

    // The create_ticket body, its attachments streamed from the held files.
    QJsonObject requestDocument(StreamedJson& body) const;
    // The result line for a decoded answer.
    static QString resultText(const CreateTicketResponse& answer);
    QCoro::Task<> create();
    Q_INVOKABLE void startCreate();
    // Back to a fresh form: every field, the lookups' state, the reporter levels (prefilled
    // again), the joint-processing block, the priority and the picked files.
    Q_INVOKABLE void clearDraft();

signals:
    void appStateChanged();
    void nationalIdChanged();
    void beneficiaryUserChanged();
    void titleChanged();
    void descriptionChanged();
    void beneficiaryChanged();
    void contactMobileChanged();
    void fixedPhoneChanged();
    void emailChanged();
    void ipAddressChanged();
    void reporterChanged();
    void requiresParticipantsChanged();
    void participantScopeIdChanged();
    void participantReasonChanged();
    void priorityChanged();
    void selectedServiceIdChanged();
    void messageChanged();
    void lookupMessageChanged();
    void lastNationalLookupChanged();
    void lastAccountLookupChanged();
    void showCreateAttachmentImporterChanged();
    void runningChanged();
    void derivedChanged();

private:
    const ReferenceDataResponse* references() const;
    std::optional<ReporterOptions> reporterOptions() const;
    // Stores the four levels, then runs the reaction of each level that changed.
    void setChain(ReporterChain chain);
    void setText(QString& field, const QString& value, void (CreateTicketForm::*changed)());
    void setMessage(const QString& value);
    void setLookupMessage(const QString& value);
    void setRunning(bool value);
    void clearAfterSuccess();
    void scheduleAccountLookup();
    bool accountLookupDue() const;

    QPointer<MobileAppState> m_state;
    QString m_nationalId, m_beneficiaryUser, m_title, m_description, m_beneficiary, m_contactMobile,
        m_fixedPhone, m_email, m_ipAddress;
    ReporterChain m_chain;
    bool m_requiresParticipants = false;
    QString m_participantScopeId, m_participantReason;
    static inline const QString kInitialPriority = QStringLiteral("متوسطة");
    QString m_priority = kInitialPriority;
    qint64 m_selectedServiceId = 0;
    QString m_message, m_lookupMessage, m_lastNationalLookup, m_lastAccountLookup;
    AttachmentListModel* m_attachments;
    bool m_showImporter = false;
    bool m_running = false;
    ReporterLevel* m_levels[4];
};

} // namespace kalvorin::create
