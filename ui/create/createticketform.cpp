#include "createticketform.h"

#include "createrules.h"
#include "mobileappstate.h"
#include "requestbody.h"
#include "servertext.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>
#include <algorithm>
#include <iterator>

namespace kalvorin::create {

namespace {
const QStringList& fixedPriorities() {
    static const QStringList list{QStringLiteral("حرجة"), QStringLiteral("عالية"), QStringLiteral("متوسطة"),
                                  QStringLiteral("منخفضة")};
    return list;
}

bool blank(const QString& text) {
    return text.trimmed().isEmpty();
}
} // namespace

CreateTicketForm::CreateTicketForm(QObject* parent)
    : QObject(parent), m_attachments(new AttachmentListModel(this)) {
    for (int level = 1; level <= 4; ++level)
        m_levels[level - 1] = new ReporterLevel(level, this);
    // Everything derived follows any change of a field.
    for (auto signal :
         {&CreateTicketForm::nationalIdChanged, &CreateTicketForm::beneficiaryUserChanged,
          &CreateTicketForm::titleChanged, &CreateTicketForm::descriptionChanged,
          &CreateTicketForm::beneficiaryChanged, &CreateTicketForm::contactMobileChanged,
          &CreateTicketForm::fixedPhoneChanged, &CreateTicketForm::reporterChanged,
          &CreateTicketForm::requiresParticipantsChanged, &CreateTicketForm::participantScopeIdChanged,
          &CreateTicketForm::participantReasonChanged, &CreateTicketForm::priorityChanged,
          &CreateTicketForm::selectedServiceIdChanged, &CreateTicketForm::runningChanged,
          &CreateTicketForm::appStateChanged})
        connect(this, signal, this, &CreateTicketForm::derivedChanged);
    connect(m_attachments, &AttachmentListModel::countChanged, this, &CreateTicketForm::derivedChanged);
    for (ReporterLevel* level : m_levels)
        connect(this, &CreateTicketForm::derivedChanged, level, &ReporterLevel::changed);
}

CreateTicketForm::~CreateTicketForm() = default;

// ---- the shared state ----------------------------------------------------

QObject* CreateTicketForm::appState() const {
    return m_state.data();
}

void CreateTicketForm::setAppState(QObject* state) {
    auto* typed = qobject_cast<MobileAppState*>(state);
    if (typed == m_state)
        return;
    if (m_state)
        disconnect(m_state, nullptr, this, nullptr);
    m_state = typed;
    if (m_state)
        connect(m_state, &MobileAppState::referencesChanged, this, &CreateTicketForm::derivedChanged);
    emit appStateChanged();
}

const ReferenceDataResponse* CreateTicketForm::references() const {
    return m_state && m_state->references() ? &*m_state->references() : nullptr;
}

std::optional<ReporterOptions> CreateTicketForm::reporterOptions() const {
    const ReferenceDataResponse* r = references();
    return r ? r->reporterOptions : std::nullopt;
}

// ---- fields and their reactions ------------------------------------------

void CreateTicketForm::setText(QString& field, const QString& value, void (CreateTicketForm::*changed)()) {
    if (value == field)
        return;
    field = value;
    emit(this->*changed)();
}

void CreateTicketForm::setNationalId(const QString& value) {
    if (value == m_nationalId)
        return;
    m_nationalId = digitsField(value);
    emit nationalIdChanged();
    if (m_nationalId.size() == 10 && m_nationalId != m_lastNationalLookup)
        lookupBeneficiary();
}

void CreateTicketForm::setBeneficiaryUser(const QString& value) {
    if (value == m_beneficiaryUser)
        return;
    m_beneficiaryUser = value.trimmed();
    emit beneficiaryUserChanged();
    if (accountLookupDue())
        scheduleAccountLookup();
}

void CreateTicketForm::setTitle(const QString& value) {
    setText(m_title, value, &CreateTicketForm::titleChanged);
}
void CreateTicketForm::setDescription(const QString& value) {
    setText(m_description, value, &CreateTicketForm::descriptionChanged);
}
void CreateTicketForm::setBeneficiary(const QString& value) {
    setText(m_beneficiary, value, &CreateTicketForm::beneficiaryChanged);
}
void CreateTicketForm::setEmail(const QString& value) {
    setText(m_email, value, &CreateTicketForm::emailChanged);
}
void CreateTicketForm::setParticipantScopeId(const QString& value) {
    setText(m_participantScopeId, value, &CreateTicketForm::participantScopeIdChanged);
}
void CreateTicketForm::setParticipantReason(const QString& value) {
    setText(m_participantReason, value, &CreateTicketForm::participantReasonChanged);
}
void CreateTicketForm::setPriority(const QString& value) {
    setText(m_priority, value, &CreateTicketForm::priorityChanged);
}

// The cleaning setters notify even when the clean value is the old one: the field that sent a
// refused character must be told to show the stored value again.
void CreateTicketForm::setContactMobile(const QString& value) {
    if (value == m_contactMobile)
        return;
    m_contactMobile = digitsField(value);
    emit contactMobileChanged();
}

void CreateTicketForm::setFixedPhone(const QString& value) {
    if (value == m_fixedPhone)
        return;
    m_fixedPhone = digitsField(value);
    emit fixedPhoneChanged();
}

void CreateTicketForm::setIpAddress(const QString& value) {
    if (value == m_ipAddress)
        return;
    m_ipAddress = ipAddressField(value);
    emit ipAddressChanged();
}

void CreateTicketForm::setRequiresParticipants(bool value) {
    if (value == m_requiresParticipants)
        return;
    m_requiresParticipants = value;
    emit requiresParticipantsChanged();
}

void CreateTicketForm::setSelectedServiceId(qint64 value) {
    if (value == m_selectedServiceId)
        return;
    m_selectedServiceId = value;
    emit selectedServiceIdChanged();
    const std::optional<MobileService> service = selectedService();
    if (service && service->priority && !service->priority->isEmpty())
        setPriority(*service->priority);
}

void CreateTicketForm::setShowCreateAttachmentImporter(bool value) {
    if (value == m_showImporter)
        return;
    m_showImporter = value;
    emit showCreateAttachmentImporterChanged();
}

void CreateTicketForm::setMessage(const QString& value) {
    setText(m_message, value, &CreateTicketForm::messageChanged);
}
void CreateTicketForm::setLookupMessage(const QString& value) {
    setText(m_lookupMessage, value, &CreateTicketForm::lookupMessageChanged);
}

void CreateTicketForm::setRunning(bool value) {
    if (value == m_running)
        return;
    m_running = value;
    emit runningChanged();
}

// ---- the reporter cascade ------------------------------------------------

QString CreateTicketForm::reporterField(int level) const {
    switch (level) {
    case 1:
        return m_chain.department;
    case 2:
        return m_chain.region;
    case 3:
        return m_chain.division;
    default:
        return m_chain.section;
    }
}

void CreateTicketForm::setReporterField(int level, const QString& value) {
    ReporterChain next = m_chain;
    QString* fields[] = {&next.department, &next.region, &next.division, &next.section};
    *fields[std::clamp(level, 1, 4) - 1] = value;
    setChain(next);
}

void CreateTicketForm::setChain(ReporterChain chain) {
    if (chain == m_chain)
        return;
    const bool changed[] = {chain.department != m_chain.department, chain.region != m_chain.region,
                            chain.division != m_chain.division};
    const std::optional<ReporterOptions> options = reporterOptions();
    for (int level = 1; level <= 3; ++level)
        if (changed[level - 1])
            chain = normalizeReporterChain(chain, level, options);
    if (chain == m_chain)
        return;
    m_chain = chain;
    emit reporterChanged();
}

QStringList CreateTicketForm::levelOptions(int level) const {
    const std::optional<ReporterOptions> options = reporterOptions();
    switch (level) {
    case 1:
        return dedup(serverDepartments(options), m_chain.department);
    case 2:
        return dedup(serverAdmins(options, m_chain.department), m_chain.region);
    case 3:
        return dedup(serverDivisions(options, m_chain.region), m_chain.division);
    default:
        return dedup(serverSections(options, m_chain.region, m_chain.division), m_chain.section);
    }
}

void CreateTicketForm::applyCreateContextIfNeeded() {
    const ReferenceDataResponse* r = references();
    if (!r || !r->createContext)
        return;
    const CreateTicketContext& context = *r->createContext;
    ReporterChain next = m_chain;
    auto fill = [](QString& field, const std::optional<QString>& from) {
        if (field.isEmpty())
            field = from.value_or(QString());
    };
    fill(next.department, context.reporterDepartment);
    fill(next.region, context.reporterRegion);
    fill(next.division, context.reporterDivision);
    fill(next.section, context.reporterSection);
    setChain(next);
}

bool CreateTicketForm::lockNoteVisible() const {
    const ReferenceDataResponse* r = references();
    return r && r->createContext && r->createContext->lockedByScope.value_or(false);
}

// ---- services, priority, joint processing --------------------------------

std::optional<MobileService> CreateTicketForm::selectedService() const {
    const ReferenceDataResponse* r = references();
    if (!r || !r->services)
        return std::nullopt;
    for (const MobileService& service : *r->services)
        if (service.id == m_selectedServiceId)
            return service;
    return std::nullopt;
}

QStringList CreateTicketForm::serviceChoices() const {
    QStringList choices{QStringLiteral("اختر الخدمة")};
    if (const ReferenceDataResponse* r = references(); r && r->services)
        for (const MobileService& service : *r->services)
            choices << service.name;
    return choices;
}

int CreateTicketForm::serviceIndex() const {
    const ReferenceDataResponse* r = references();
    if (!r || !r->services || m_selectedServiceId == 0)
        return 0;
    for (qsizetype i = 0; i < r->services->size(); ++i)
        if (r->services->at(i).id == m_selectedServiceId)
            return int(i) + 1;
    return 0;
}

void CreateTicketForm::setServiceIndex(int index) {
    const ReferenceDataResponse* r = references();
    const bool inRange = r && r->services && index >= 1 && index <= r->services->size();
    setSelectedServiceId(inRange ? r->services->at(index - 1).id : 0);
}

QString CreateTicketForm::serviceScopeText() const {
    const std::optional<MobileService> service = selectedService();
    return service && service->processingScopeName ? *service->processingScopeName
                                                   : QStringLiteral("نطاق المعالجة غير محدد");
}

QString CreateTicketForm::suggestedPriorityText() const {
    const std::optional<MobileService> service = selectedService();
    return QStringLiteral("الأولوية المقترحة: ") +
           (service && service->priority ? *service->priority : m_priority);
}

QStringList CreateTicketForm::priorityChoices() const {
    const ReferenceDataResponse* r = references();
    return r && r->priorities ? *r->priorities : fixedPriorities();
}

int CreateTicketForm::priorityIndex() const {
    return int(priorityChoices().indexOf(m_priority));
}

void CreateTicketForm::setPriorityIndex(int index) {
    const QStringList choices = priorityChoices();
    if (index >= 0 && index < choices.size())
        setPriority(choices.at(index));
}

QStringList CreateTicketForm::participantChoices() const {
    QStringList choices{QStringLiteral("اختر الجهة")};
    if (const ReferenceDataResponse* r = references(); r && r->assignmentScopes)
        for (const AssignmentScope& scope : *r->assignmentScopes)
            choices << scope.compactLabel();
    return choices;
}

int CreateTicketForm::participantIndex() const {
    const ReferenceDataResponse* r = references();
    if (!r || !r->assignmentScopes || m_participantScopeId.isEmpty())
        return 0;
    for (qsizetype i = 0; i < r->assignmentScopes->size(); ++i)
        if (r->assignmentScopes->at(i).id == m_participantScopeId)
            return int(i) + 1;
    return 0;
}

void CreateTicketForm::setParticipantIndex(int index) {
    const ReferenceDataResponse* r = references();
    const bool inRange = r && r->assignmentScopes && index >= 1 && index <= r->assignmentScopes->size();
    setParticipantScopeId(inRange ? r->assignmentScopes->at(index - 1).id : QString());
}

// ---- the save rule -------------------------------------------------------

int CreateTicketForm::firstFailedRule() const {
    const bool rules[] = {
        !m_running,
        numeralCount(m_nationalId) == 10,
        !blank(m_beneficiaryUser),
        !blank(m_beneficiary),
        !blank(m_chain.department) && !blank(m_chain.region) && !blank(m_chain.division) &&
            !blank(m_chain.section),
        m_contactMobile.isEmpty() ||
            (m_contactMobile.startsWith(QLatin1String("05")) && characterCount(m_contactMobile) == 10),
        m_fixedPhone.isEmpty() || characterCount(m_fixedPhone) == 10,
        m_selectedServiceId >= 1,
        characterCount(m_title.trimmed()) >= 4,
        characterCount(m_description.trimmed()) >= 8,
        !m_requiresParticipants || (!m_participantScopeId.isEmpty() && !blank(m_participantReason)),
    };
    for (int i = 0; i < int(std::size(rules)); ++i)
        if (!rules[i])
            return i + 1;
    return 0;
}

// ---- lookups -------------------------------------------------------------

void CreateTicketForm::applyLookupPerson(const LookupPerson& person) {
    auto given = [](const std::optional<QString>& v) { return v && !v->isEmpty(); };
    if (given(person.username))
        setBeneficiaryUser(*person.username);
    if (given(person.fullName))
        setBeneficiary(*person.fullName);
    if (given(person.contactMobile))
        setContactMobile(digitsField(*person.contactMobile));
    if (given(person.fixedPhone))
        setFixedPhone(digitsField(*person.fixedPhone));
    if (given(person.email))
        setEmail(*person.email);
    if (given(person.ipAddress))
        setIpAddress(ipAddressField(*person.ipAddress));
    // The four levels land together; then each changed level checks the ones below it.
    ReporterChain next = m_chain;
    if (given(person.reporterDepartment))
        next.department = *person.reporterDepartment;
    if (given(person.reporterRegion))
        next.region = *person.reporterRegion;
    if (given(person.reporterDivision))
        next.division = *person.reporterDivision;
    if (given(person.reporterSection))
        next.section = *person.reporterSection;
    setChain(next);
}

QCoro::Task<> CreateTicketForm::lookupBeneficiary() {
    QPointer<CreateTicketForm> alive(this);
    m_lastNationalLookup = m_nationalId;
    emit lastNationalLookupChanged();
    setLookupMessage(QStringLiteral("جاري البحث عن بيانات المستفيد السابقة..."));
    if (!m_state)
        co_return;
    const LookupPersonResponse answer = co_await m_state->lookupBeneficiary(m_nationalId);
    if (!alive)
        co_return;
    if (answer.ok && answer.found.value_or(false) && answer.beneficiary) {
        applyLookupPerson(*answer.beneficiary);
        setLookupMessage(answer.message ? shownServerText(*answer.message)
                                        : QStringLiteral("تم جلب بيانات المستفيد السابقة."));
    } else {
        setLookupMessage(answer.message ? shownServerText(*answer.message)
                                        : QStringLiteral("لا توجد بيانات سابقة لهذه الهوية."));
    }
}

bool CreateTicketForm::accountLookupDue() const {
    return characterCount(m_beneficiaryUser) >= 3 && m_beneficiaryUser != m_lastAccountLookup;
}

void CreateTicketForm::scheduleAccountLookup() {
    // Each pause re-tests the value held when it ends, so a burst of typing costs one request;
    // the timer goes with the form, which ends the wait.
    QTimer::singleShot(kAccountLookupPauseMs, this, [this] {
        if (accountLookupDue())
            lookupAccount();
    });
}

QCoro::Task<> CreateTicketForm::lookupAccount() {
    QPointer<CreateTicketForm> alive(this);
    m_lastAccountLookup = m_beneficiaryUser;
    emit lastAccountLookupChanged();
    if (!m_state)
        co_return;
    const LookupPersonResponse answer = co_await m_state->lookupAccount(m_beneficiaryUser);
    if (!alive)
        co_return;
    if (answer.ok && answer.found.value_or(false) && answer.account) {
        applyLookupPerson(*answer.account);
        setLookupMessage(answer.message ? shownServerText(*answer.message)
                                        : QStringLiteral("تم التحقق من حساب المستخدم."));
    } else if (answer.message && !answer.message->isEmpty()) {
        setLookupMessage(shownServerText(*answer.message));
    }
}

// ---- attachments ---------------------------------------------------------

void CreateTicketForm::handleCreateAttachments(const QList<QUrl>& locations) {
    const qsizetype free = std::max(0, kMaxAttachments - m_attachments->count());
    QStringList notices;
    for (const QUrl& location : locations.mid(0, free)) {
        const QString path = location.isLocalFile() ? location.toLocalFile() : location.toString();
        // The notices name the file as a run of its own inside the Arabic sentence.
        const QString name = isolated(QFileInfo(path).fileName());
        auto read = readAttachment(path);
        if (auto* attachment = std::get_if<PendingAttachment>(&read))
            m_attachments->append(std::move(*attachment));
        else if (std::get<ReadRefusal>(read) == ReadRefusal::TooLarge)
            notices << QStringLiteral("تم تجاهل %1: الحجم يتجاوز 10MB.").arg(name);
        else
            notices << QStringLiteral("تعذر قراءة %1.").arg(name);
    }
    if (free < locations.size())
        notices << QStringLiteral("يسمح النظام بحد أقصى 5 مرفقات للبلاغ الواحد.");
    if (!notices.isEmpty())
        setMessage(notices.join(u'\n'));
}

void CreateTicketForm::handleCreateAttachmentsFailure(const QString& description) {
    setMessage(description);
}

void CreateTicketForm::removeAttachment(const QString& id) {
    m_attachments->remove(QUuid::fromString(id));
}

// ---- submission ----------------------------------------------------------

QJsonObject CreateTicketForm::requestDocument(StreamedJson& body) const {
    QJsonArray attachments;
    for (const PendingAttachment& a : m_attachments->items())
        attachments.append(QJsonObject{{QStringLiteral("name"), a.name},
                                       {QStringLiteral("mime"), a.mime},
                                       {QStringLiteral("contentBase64"), body.bytesAsBase64(a.data)}});
    const bool joint = m_requiresParticipants;
    return {
        {QStringLiteral("nationalId"), m_nationalId},
        {QStringLiteral("beneficiaryUser"), m_beneficiaryUser},
        {QStringLiteral("title"), m_title},
        {QStringLiteral("description"), m_description},
        {QStringLiteral("serviceCatalogId"), m_selectedServiceId},
        {QStringLiteral("priority"), m_priority},
        {QStringLiteral("beneficiaryName"), m_beneficiary},
        {QStringLiteral("contactMobile"), m_contactMobile},
        {QStringLiteral("mobile"), m_contactMobile},
        {QStringLiteral("fixedPhone"), m_fixedPhone},
        {QStringLiteral("email"), m_email},
        {QStringLiteral("ipAddress"), m_ipAddress},
        {QStringLiteral("reporterDepartment"), m_chain.department},
        {QStringLiteral("reporterRegion"), m_chain.region},
        {QStringLiteral("reporterDivision"), m_chain.division},
        {QStringLiteral("reporterSection"), m_chain.section},
        {QStringLiteral("participantScopeIds"),
         joint && !m_participantScopeId.isEmpty() ? QJsonArray{m_participantScopeId} : QJsonArray()},
        {QStringLiteral("participantReason"), joint ? m_participantReason : QString()},
        {QStringLiteral("attachments"), attachments},
    };
}

// Each server text is cut on its own, so a long message cannot push the attachment errors out
// of the line, nor a long error the ones after it.
QString CreateTicketForm::resultText(const CreateTicketResponse& answer) {
    QStringList errors;
    for (const QString& error : answer.attachmentErrors.value_or(QList<QString>()))
        if (!error.isEmpty())
            errors << shownServerText(error);
    const std::optional<QString> message =
        answer.message ? std::optional(shownServerText(*answer.message)) : std::nullopt;
    if (!errors.isEmpty())
        return message.value_or(kCreatedText) + u'\n' + errors.join(u'\n');
    if (message)
        return *message;
    return answer.ok ? kCreatedText : kCreateFailedText;
}

QCoro::Task<> CreateTicketForm::create() {
    if (m_running || !m_state)
        co_return;
    QPointer<CreateTicketForm> alive(this);
    QPointer<MobileAppState> state(m_state);
    setRunning(true);
    StreamedJson body;
    body.setDocument(requestDocument(body));
    Result<CreateTicketResponse> answer = co_await state->api()->send<CreateTicketResponse>(
        state->serverURL(), QStringLiteral("create_ticket"), QStringLiteral("POST"), {},
        RequestBody(std::move(body)));
    // The lists learn of the new ticket even when the form has gone meanwhile.
    if (answer && state)
        co_await state->refreshAll();
    if (!alive)
        co_return;
    const QString text = answer ? resultText(*answer) : answer.description();
    setMessage(text);
    setRunning(false);
    // Only an answer can be a success; a failure keeps everything, whatever its words.
    if (answer && text.contains(QStringLiteral("تم")))
        clearAfterSuccess();
}

void CreateTicketForm::startCreate() {
    create();
}

void CreateTicketForm::clearAfterSuccess() {
    for (auto setter :
         {&CreateTicketForm::setNationalId, &CreateTicketForm::setBeneficiaryUser,
          &CreateTicketForm::setTitle, &CreateTicketForm::setDescription, &CreateTicketForm::setBeneficiary,
          &CreateTicketForm::setContactMobile, &CreateTicketForm::setFixedPhone, &CreateTicketForm::setEmail,
          &CreateTicketForm::setIpAddress, &CreateTicketForm::setParticipantScopeId,
          &CreateTicketForm::setParticipantReason})
        (this->*setter)(QString());
    setSelectedServiceId(0);
    setRequiresParticipants(false);
    m_attachments->clear();
    applyCreateContextIfNeeded();
}

void CreateTicketForm::clearDraft() {
    if (m_running)
        return;
    setChain(ReporterChain{});
    clearAfterSuccess();
    setPriority(kInitialPriority);
    setMessage(QString());
    setLookupMessage(QString());
    for (auto [field, changed] :
         {std::pair{&m_lastNationalLookup, &CreateTicketForm::lastNationalLookupChanged},
          std::pair{&m_lastAccountLookup, &CreateTicketForm::lastAccountLookupChanged}}) {
        if (!field->isEmpty()) {
            field->clear();
            emit(this->*changed)();
        }
    }
    setShowCreateAttachmentImporter(false);
}

} // namespace kalvorin::create
