#include "ticketdetailview.h"

#include "detailrules.h"
#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "ticketactionkind.h"

namespace kalvorin {

namespace {

QList<RowsModel::Row> infoRows(const QList<detail::InfoItem>& items) {
    QList<RowsModel::Row> rows;
    for (qsizetype i = 0; i < items.size(); ++i) // chips are identified by position
        rows.append({QString::number(i), {items[i].title, items[i].value}});
    return rows;
}

QVariantList buttonValues(const std::optional<TicketActionKind>& kind) {
    if (!kind)
        return {QString(), QString(), QString(), QColor()};
    const TicketActionTraits& t = traitsOf(*kind);
    return {rawValue(*kind), QString::fromUtf8(t.title), QString::fromLatin1(t.icon), t.color()};
}

} // namespace

TicketDetailView::TicketDetailView(QObject* parent)
    : QObject(parent), m_headerItems(new RowsModel({"title", "value"}, this)),
      m_beneficiaryItems(new RowsModel({"title", "value"}, this)),
      m_treatmentItems(new RowsModel({"title", "value"}, this)),
      m_workflow(new RowsModel({"label", "done", "labelColor", "fillColor", "outlineColor"}, this)),
      m_chain(new RowsModel({"label", "detail"}, this)),
      m_participants(new RowsModel({"role", "name"}, this)),
      m_attachments(new RowsModel({"name", "detail", "symbol", "symbolColor"}, this)),
      m_actions(new RowsModel({"firstKind", "firstTitle", "firstIcon", "firstColor", "secondKind",
                               "secondTitle", "secondIcon", "secondColor"},
                              this)) {}

QObject* TicketDetailView::appState() const {
    return m_state.data();
}

void TicketDetailView::setAppState(QObject* state) {
    auto* typed = qobject_cast<MobileAppState*>(state);
    if (typed == m_state)
        return;
    m_state = typed;
    emit appStateChanged();
}

void TicketDetailView::setNumber(const QString& number) {
    if (number == m_number)
        return;
    m_number = number;
    emit numberChanged();
}

// ---- load cycle and upload ----------------------------------------------------

void TicketDetailView::load() {
    loadNow();
}

QCoro::Task<> TicketDetailView::loadNow() {
    QPointer<TicketDetailView> self(this);
    QPointer<MobileAppState> state(m_state);
    if (!state)
        co_return;
    setLoading(true);
    Result<TicketDetail> answer = co_await state->ticketDetail(m_number);
    if (!self)
        co_return; // the screen was closed meanwhile
    if (answer)
        setTicket(std::move(answer).value());
    else
        setMessage(answer.description());
    setLoading(false);
}

void TicketDetailView::uploadClosureEvidence(const QUrl& file) {
    uploadNow(file);
}

QCoro::Task<> TicketDetailView::uploadNow(QUrl file) {
    QPointer<TicketDetailView> self(this);
    QPointer<MobileAppState> state(m_state);
    if (!state || m_uploading || file.isEmpty())
        co_return; // a pick without a file does nothing
    setUploading(true);
    setUploadProgress(-1);
    dismissOutcome();
    auto progress = [self](qint64 sent, qint64 total) {
        if (self && total > 0)
            self->setUploadProgress(double(sent) / double(total));
    };
    const MobileAppState::WriteOutcome result =
        co_await state->uploadAttachment(m_number, file, kClosureEvidencePurpose, progress);
    if (!self)
        co_return;
    setMessage(result.text);
    showOutcome(result.text, result.done);
    setUploading(false);
    co_await loadNow();
}

void TicketDetailView::actionDone(const QString& text) {
    setMessage(text);
    showOutcome(text, true);
    load();
}

void TicketDetailView::showOutcome(const QString& text, bool done) {
    if (text == m_outcome && done == m_outcomeDone)
        return;
    m_outcome = text;
    m_outcomeDone = done;
    emit outcomeChanged();
}

QColor TicketDetailView::outcomeColor() const {
    return m_outcomeDone ? KalvorinTheme::green() : KalvorinTheme::red();
}

void TicketDetailView::pickerFailed(const QString& description) {
    setMessage(description);
}

void TicketDetailView::setLoading(bool value) {
    if (value == m_loading)
        return;
    m_loading = value;
    emit loadingChanged();
}

void TicketDetailView::setMessage(const QString& value) {
    if (value == m_message)
        return;
    m_message = value;
    emit messageChanged();
}

void TicketDetailView::setUploading(bool value) {
    if (value == m_uploading)
        return;
    m_uploading = value;
    emit uploadingChanged();
}

void TicketDetailView::setUploadProgress(double value) {
    if (value == m_uploadProgress)
        return;
    m_uploadProgress = value;
    emit uploadProgressChanged();
}

// ---- the ticket's cards -------------------------------------------------------

void TicketDetailView::setTicket(TicketDetail ticket) {
    m_ticket = std::move(ticket);
    const TicketDetail& t = *m_ticket;
    m_headerItems->setRows(infoRows(detail::ticketHeaderItems(t)));
    m_beneficiaryItems->setRows(infoRows(detail::beneficiaryItems(t)));
    m_treatmentItems->setRows(infoRows(detail::treatmentItems(t)));

    QList<RowsModel::Row> steps;
    for (const WorkflowStep& step : t.workflow.value_or(QList<WorkflowStep>())) {
        const bool done = step.done.value_or(false);
        steps.append({step.identity(),
                      {step.label, done, done ? KalvorinTheme::text() : KalvorinTheme::muted(),
                       done ? KalvorinTheme::green() : KalvorinTheme::ink(),
                       done ? KalvorinTheme::green() : KalvorinTheme::stroke()}});
    }
    m_workflow->setRows(steps);

    QList<RowsModel::Row> chain;
    for (const TicketActionLog& entry :
         t.actions.value_or(QList<TicketActionLog>()).mid(0, detail::kShownChainEntries))
        chain.append({entry.identity(), {detail::chainLabel(entry.key), detail::chainDetail(entry)}});
    m_chain->setRows(chain);
    QList<RowsModel::Row> participants;
    for (const Participant& p : t.participants.value_or(QList<Participant>()))
        participants.append({p.identity(), {detail::participantRole(p), detail::participantName(p)}});
    m_participants->setRows(participants);

    QList<RowsModel::Row> attachments;
    for (const TicketAttachment& a : t.attachments.value_or(QList<TicketAttachment>())) {
        const bool evidence = detail::isClosureEvidence(a);
        attachments.append({QString::number(a.identity()),
                            {detail::attachmentName(a), detail::attachmentDetail(a),
                             evidence ? QStringLiteral("checkmark.seal.fill") : QStringLiteral("doc.fill"),
                             evidence ? KalvorinTheme::green() : KalvorinTheme::gold()}});
    }
    m_attachments->setRows(attachments);

    QList<RowsModel::Row> actionRows;
    for (const QList<TicketActionKind>& row : chunked(availableActionKinds(t.availableActions), 2)) {
        const std::optional<TicketActionKind> second =
            row.size() > 1 ? std::optional<TicketActionKind>(row[1]) : std::nullopt;
        QString identity = rawValue(row[0]) + u'|' + (second ? rawValue(*second) : QString());
        actionRows.append({identity, buttonValues(row[0]) + buttonValues(second)});
    }
    m_actions->setRows(actionRows);
    emit ticketChanged();
}

QString TicketDetailView::maintenanceNo() const {
    return m_ticket ? m_ticket->maintenanceNo : QString();
}
QString TicketDetailView::priority() const {
    return m_ticket ? m_ticket->priority.value_or(QString()) : QString();
}
QColor TicketDetailView::headerTint() const {
    return m_ticket ? detail::ticketHeaderTint(*m_ticket) : KalvorinTheme::teal();
}
QString TicketDetailView::title() const {
    return m_ticket ? detail::ticketTitle(*m_ticket) : QString();
}
QString TicketDetailView::descriptionText() const {
    return m_ticket ? m_ticket->description.value_or(QString()) : QString();
}
QString TicketDetailView::slaPercentText() const {
    return detail::slaRing(m_ticket ? m_ticket->sla : std::nullopt).percentText;
}
double TicketDetailView::slaFraction() const {
    return detail::slaRing(m_ticket ? m_ticket->sla : std::nullopt).fraction;
}
QString TicketDetailView::slaStatusText() const {
    return detail::slaRing(m_ticket ? m_ticket->sla : std::nullopt).statusText;
}
QColor TicketDetailView::slaStatusColor() const {
    return detail::slaRing(m_ticket ? m_ticket->sla : std::nullopt).statusColor;
}
bool TicketDetailView::chainEmpty() const {
    return m_chain->count() == 0 && m_participants->count() == 0;
}
QString TicketDetailView::attachmentsTitle() const {
    return detail::attachmentsTitle(m_attachments->count(),
                                    m_ticket ? m_ticket->attachmentCount.value_or(0) : 0);
}
QString TicketDetailView::attachmentsStatus() const {
    return detail::attachmentsStatus(m_attachments->count() == 0);
}
bool TicketDetailView::canUploadClosureEvidence() const {
    return m_ticket && detail::canUploadClosureEvidence(*m_ticket);
}
QColor TicketDetailView::attachmentsTint() const {
    return canUploadClosureEvidence() ? KalvorinTheme::green() : KalvorinTheme::blue();
}

} // namespace kalvorin
