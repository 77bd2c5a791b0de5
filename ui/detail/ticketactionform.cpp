#include "ticketactionform.h"

#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "servertext.h"
#include "textruns.h"
#include "ticketdetailview.h"

#include <QJsonObject>

namespace kalvorin {

namespace {

RowsModel::Row option(const QString& label, const QString& value) {
    return {value, {label, value}};
}

} // namespace

TicketActionForm::TicketActionForm(QObject* parent)
    : QObject(parent), m_scopeOptions(new RowsModel({"label", "value"}, this)),
      m_handlerOptions(new RowsModel({"label", "value"}, this)),
      m_reasonOptions(new RowsModel({"label", "value"}, this)) {
    refreshOptions();
    recheck();
}

QObject* TicketActionForm::appState() const {
    return m_state.data();
}

void TicketActionForm::setAppState(QObject* state) {
    auto* typed = qobject_cast<MobileAppState*>(state);
    if (typed == m_state)
        return;
    if (m_state)
        disconnect(m_state, nullptr, this, nullptr);
    m_state = typed;
    if (m_state) {
        connect(m_state, &MobileAppState::referencesChanged, this, &TicketActionForm::refreshOptions);
        connect(m_state, &MobileAppState::currentTicketParticipantScopesChanged, this,
                &TicketActionForm::refreshOptions);
    }
    refreshOptions();
    emit appStateChanged();
}

QObject* TicketActionForm::detail() const {
    return m_detail.data();
}

void TicketActionForm::setDetail(QObject* detail) {
    auto* typed = qobject_cast<TicketDetailView*>(detail);
    if (typed == m_detail)
        return;
    m_detail = typed;
    emit detailChanged();
}

void TicketActionForm::setKind(const QString& raw) {
    const std::optional<TicketActionKind> kind = actionKindFromRaw(raw);
    if (!kind || *kind == m_kind)
        return;
    m_kind = *kind;
    refreshOptions();
    emit kindChanged();
    recheck();
}

void TicketActionForm::setTicketNumber(const QString& number) {
    if (number == m_ticketNumber)
        return;
    m_ticketNumber = number;
    refreshOptions();
    emit ticketNumberChanged();
}

void TicketActionForm::setNote(const QString& note) {
    if (note == m_note)
        return;
    m_note = note;
    emit noteChanged();
    recheck();
}

void TicketActionForm::setSelectedScope(const QString& id) {
    if (id == m_scope)
        return;
    m_scope = id;
    // The handler list follows the scope; the chosen handler stays as it was.
    refreshHandlers();
    emit selectedScopeChanged();
    recheck();
}

void TicketActionForm::setSelectedHandler(const QString& username) {
    if (username == m_handler)
        return;
    m_handler = username;
    emit selectedHandlerChanged();
    emit heldChoicesChanged();
}

void TicketActionForm::setSelectedReason(const QString& reason) {
    if (reason == m_reason)
        return;
    m_reason = reason;
    emit selectedReasonChanged();
    emit heldChoicesChanged();
    recheck();
}

void TicketActionForm::setRunning(bool value) {
    if (value == m_running)
        return;
    m_running = value;
    emit runningChanged();
    recheck();
}

void TicketActionForm::setFormMessage(const QString& value) {
    if (value == m_formMessage)
        return;
    m_formMessage = value;
    emit formMessageChanged();
}

// Only a failure is ever shown here (a success closes the sheet), so no word in the text may
// turn it green: our own "أغلق الخادم الاتصال قبل اكتمال الرد." holds te-mim inside a word.
QColor TicketActionForm::formMessageColor() const {
    return KalvorinTheme::red();
}

bool TicketActionForm::canSubmit() const {
    if (m_running)
        return false;
    if (characterCount(m_note.trimmed()) < minimumNoteLength())
        return false;
    if (requiresScope() && m_scope.isEmpty())
        return false;
    if (needsReason(m_kind) && m_reason.isEmpty())
        return false;
    return true;
}

void TicketActionForm::recheck() {
    const bool now = canSubmit();
    if (now == m_canSubmit)
        return;
    m_canSubmit = now;
    emit canSubmitChanged();
}

QString TicketActionForm::title() const {
    return QString::fromUtf8(traitsOf(m_kind).title);
}
QString TicketActionForm::ticketLine() const {
    return QStringLiteral("البلاغ ") + leftToRight(m_ticketNumber);
}
QString TicketActionForm::noteLabel() const {
    return QString::fromUtf8(traitsOf(m_kind).noteLabel);
}
int TicketActionForm::minimumNoteLength() const {
    return traitsOf(m_kind).minimumNoteLength;
}
bool TicketActionForm::requiresScope() const {
    return kalvorin::requiresScope(m_kind);
}
QString TicketActionForm::scopePickerTitle() const {
    const char* title = traitsOf(m_kind).scopePickerTitle;
    return title ? QString::fromUtf8(title) : QString();
}
bool TicketActionForm::showsHandlerPicker() const {
    return traitsOf(m_kind).handlerPicker;
}
bool TicketActionForm::showsReasonPicker() const {
    return needsReason(m_kind);
}
QString TicketActionForm::reasonPickerTitle() const {
    const char* title = traitsOf(m_kind).reasonPickerTitle;
    return title ? QString::fromUtf8(title) : QString();
}

QStringList TicketActionForm::reasons() const {
    if (!m_state || !m_state->references())
        return {};
    const ReferenceDataResponse& refs = *m_state->references();
    const auto& list = m_kind == TicketActionKind::reject ? refs.rejectReasons : refs.routeReasons;
    return list.value_or(QStringList());
}

void TicketActionForm::refreshOptions() {
    QList<AssignmentScope> scopes;
    if (m_state && m_kind == TicketActionKind::jointProcessing)
        scopes = m_state->currentTicketParticipantScopes().value(m_ticketNumber);
    else if (m_state && m_kind == TicketActionKind::route && m_state->references())
        scopes = m_state->references()->assignmentScopes.value_or(QList<AssignmentScope>());
    QList<RowsModel::Row> scopeRows{option(QStringLiteral("اختر الجهة"), QString())};
    for (const AssignmentScope& scope : scopes)
        scopeRows.append(option(scope.compactLabel(), scope.id));
    m_scopeOptions->setRows(scopeRows);

    QList<RowsModel::Row> reasonRows{option(QStringLiteral("اختر السبب"), QString())};
    for (const QString& reason : reasons())
        reasonRows.append(option(reason, reason));
    m_reasonOptions->setRows(reasonRows);
    refreshHandlers();
}

void TicketActionForm::refreshHandlers() {
    QList<RowsModel::Row> rows{option(QStringLiteral("بدون معالج محدد"), QString())};
    if (m_state && m_state->references() && m_state->references()->handlersByScope)
        for (const AssignmentHandler& h : m_state->references()->handlersByScope->value(m_scope))
            rows.append(option(h.name.value_or(h.username), h.username));
    m_handlerOptions->setRows(rows);
    emit heldChoicesChanged();
}

namespace {
int rowOf(const RowsModel* options, const QString& value) {
    const QList<RowsModel::Row>& rows = options->rows();
    for (int i = 0; i < rows.size(); ++i)
        if (rows.at(i).identity == value)
            return i;
    return -1;
}
} // namespace

int TicketActionForm::scopeIndex() const {
    return rowOf(m_scopeOptions, m_scope);
}
int TicketActionForm::handlerIndex() const {
    return rowOf(m_handlerOptions, m_handler);
}
int TicketActionForm::reasonIndex() const {
    return rowOf(m_reasonOptions, m_reason);
}

QString TicketActionForm::handlerText() const {
    if (m_handler.isEmpty() || !m_state || !m_state->references() || !m_state->references()->handlersByScope)
        return m_handler;
    for (const QList<AssignmentHandler>& handlers : *m_state->references()->handlersByScope)
        for (const AssignmentHandler& h : handlers)
            if (h.username == m_handler)
                return h.name.value_or(h.username);
    return m_handler;
}

void TicketActionForm::appear() {
    if (!m_reason.isEmpty())
        return;
    const QStringList list = reasons();
    if (!list.isEmpty())
        setSelectedReason(list.first());
}

void TicketActionForm::submit() {
    submitNow();
}

// A static member, not a method: the submission outlives the form it came from.
QCoro::Task<> TicketActionForm::run(QPointer<TicketActionForm> form, QPointer<TicketDetailView> detail,
                                    QPointer<MobileAppState> state, QJsonObject body) {
    bool success = false;
    QString text = kActionFailed;
    if (state) {
        const Result<APIMessage> answer = co_await state->api()->send<APIMessage>(
            state->serverURL(), QStringLiteral("ticket_action"), QStringLiteral("POST"), {}, body);
        if (!answer) {
            text = answer.description();
        } else {
            success = answer->ok.value_or(false);
            if (success && state)
                co_await state->refreshAll();
            text = answer->message ? shownServerText(*answer->message)
                   : success       ? kActionDone
                                   : kActionFailed;
        }
    }
    // From here on only what is still alive is touched.
    if (form)
        form->setRunning(false);
    if (!success) {
        // The sheet shows its failure; a sheet closed meanwhile leaves it to the detail screen.
        if (form)
            form->setFormMessage(text);
        else if (detail)
            detail->showOutcome(text, false);
        co_return;
    }
    if (detail)
        detail->actionDone(text);
    if (form)
        emit form->done(text);
}

QCoro::Task<> TicketActionForm::submitNow() {
    setRunning(true);
    setFormMessage(QString());
    // The next write starts: the last one's result line goes.
    if (m_detail)
        m_detail->dismissOutcome();
    // Exactly six members, every one a string, every one present.
    return run(this, m_detail, m_state,
               QJsonObject{{QStringLiteral("maintenanceNo"), m_ticketNumber},
                           {QStringLiteral("operation"), rawValue(m_kind)},
                           {QStringLiteral("note"), m_note},
                           {QStringLiteral("assignmentScope"), m_scope},
                           {QStringLiteral("handlerUser"), m_handler},
                           {QStringLiteral("routeReason"), m_reason}});
}

} // namespace kalvorin
