#pragma once
// The action sheet's form: what it shows for its kind, what has been chosen and typed, the rule
// that enables its submit button, and the submission.
//
//     TicketActionForm { id: form; appState: AppState; detail: view; kind: "route"
//                        ticketNumber: view.number; onDone: sheet.close() }
//     PickerMenu { model: form.scopeOptions; textRole: "label"; valueRole: "value" }
//
// The submission belongs to no sheet: it holds the values it sends and guarded pointers to the
// form, the detail view and the state. Closing the sheet (destroying the form) mid-request
// leaves it running as it would have: the refresh still runs and the detail view still gets
// the result text and reloads; only the form, being gone, is not touched.

#include "rowsmodel.h"
#include "ticketactionkind.h"

#include <QColor>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <qcorotask.h>

namespace kalvorin {

class MobileAppState;
class TicketDetailView;

class TicketActionForm : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QObject* appState READ appState WRITE setAppState NOTIFY appStateChanged)
    Q_PROPERTY(QObject* detail READ detail WRITE setDetail NOTIFY detailChanged)
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(QString ticketNumber READ ticketNumber WRITE setTicketNumber NOTIFY ticketNumberChanged)
    Q_PROPERTY(QString note READ note WRITE setNote NOTIFY noteChanged)
    Q_PROPERTY(QString selectedScope READ selectedScope WRITE setSelectedScope NOTIFY selectedScopeChanged)
    Q_PROPERTY(
        QString selectedHandler READ selectedHandler WRITE setSelectedHandler NOTIFY selectedHandlerChanged)
    Q_PROPERTY(
        QString selectedReason READ selectedReason WRITE setSelectedReason NOTIFY selectedReasonChanged)
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)
    Q_PROPERTY(QString formMessage READ formMessage NOTIFY formMessageChanged)
    Q_PROPERTY(QColor formMessageColor READ formMessageColor NOTIFY formMessageChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)
    // what the kind shows
    Q_PROPERTY(QString title READ title NOTIFY kindChanged)
    Q_PROPERTY(QString ticketLine READ ticketLine NOTIFY ticketNumberChanged)
    Q_PROPERTY(QString noteLabel READ noteLabel NOTIFY kindChanged)
    Q_PROPERTY(int minimumNoteLength READ minimumNoteLength NOTIFY kindChanged)
    Q_PROPERTY(bool requiresScope READ requiresScope NOTIFY kindChanged)
    Q_PROPERTY(QString scopePickerTitle READ scopePickerTitle NOTIFY kindChanged)
    Q_PROPERTY(bool showsHandlerPicker READ showsHandlerPicker NOTIFY kindChanged)
    Q_PROPERTY(bool showsReasonPicker READ showsReasonPicker NOTIFY kindChanged)
    Q_PROPERTY(QString reasonPickerTitle READ reasonPickerTitle NOTIFY kindChanged)
    // picker options: label, value (the first is the placeholder with an empty value)
    Q_PROPERTY(kalvorin::RowsModel* scopeOptions READ scopeOptions CONSTANT)
    Q_PROPERTY(kalvorin::RowsModel* handlerOptions READ handlerOptions CONSTANT)
    Q_PROPERTY(kalvorin::RowsModel* reasonOptions READ reasonOptions CONSTANT)
    // Where each held value stands among its options (-1: not among them), so the pickers show
    // what the form sends; the held handler's name when a scope change left it out of the list.
    Q_PROPERTY(int scopeIndex READ scopeIndex NOTIFY heldChoicesChanged)
    Q_PROPERTY(int handlerIndex READ handlerIndex NOTIFY heldChoicesChanged)
    Q_PROPERTY(int reasonIndex READ reasonIndex NOTIFY heldChoicesChanged)
    Q_PROPERTY(QString handlerText READ handlerText NOTIFY heldChoicesChanged)

public:
    static inline const QString kActionDone = QStringLiteral("تم تنفيذ الإجراء.");
    static inline const QString kActionFailed = QStringLiteral("تعذر تنفيذ الإجراء.");

    explicit TicketActionForm(QObject* parent = nullptr);

    QObject* appState() const;
    void setAppState(QObject* state);
    QObject* detail() const;
    void setDetail(QObject* detail);
    QString kind() const { return rawValue(m_kind); }
    void setKind(const QString& raw);
    TicketActionKind actionKind() const { return m_kind; }
    QString ticketNumber() const { return m_ticketNumber; }
    void setTicketNumber(const QString& number);
    QString note() const { return m_note; }
    void setNote(const QString& note);
    QString selectedScope() const { return m_scope; }
    void setSelectedScope(const QString& id);
    QString selectedHandler() const { return m_handler; }
    void setSelectedHandler(const QString& username);
    QString selectedReason() const { return m_reason; }
    void setSelectedReason(const QString& reason);
    bool running() const { return m_running; }
    QString formMessage() const { return m_formMessage; }
    // Red: the form shows only failures.
    QColor formMessageColor() const;

    // The submit button's rule: not running, the trimmed note long enough (in user-perceived
    // characters, as the new-ticket form counts), a scope when the kind requires one, a reason
    // for route, managerRoute and reject.
    bool canSubmit() const;

    QString title() const;
    // "البلاغ " and the number as a left-to-right run.
    QString ticketLine() const;
    QString noteLabel() const;
    int minimumNoteLength() const;
    bool requiresScope() const;
    QString scopePickerTitle() const;
    bool showsHandlerPicker() const;
    bool showsReasonPicker() const;
    QString reasonPickerTitle() const;
    RowsModel* scopeOptions() const { return m_scopeOptions; }
    RowsModel* handlerOptions() const { return m_handlerOptions; }
    int scopeIndex() const;
    int handlerIndex() const;
    int reasonIndex() const;
    QString handlerText() const;
    RowsModel* reasonOptions() const { return m_reasonOptions; }
    // The reasons of the kind (reject reasons for reject, route reasons otherwise).
    QStringList reasons() const;

    // On appearance: an empty reason becomes the first of the kind's reasons.
    Q_INVOKABLE void appear();
    // Started by the submit button; submitNow() is the same, awaitable.
    Q_INVOKABLE void submit();
    QCoro::Task<> submitNow();

signals:
    void appStateChanged();
    void detailChanged();
    void kindChanged();
    void ticketNumberChanged();
    void noteChanged();
    void selectedScopeChanged();
    void selectedHandlerChanged();
    void heldChoicesChanged();
    void selectedReasonChanged();
    void runningChanged();
    void formMessageChanged();
    void canSubmitChanged();
    // A successful submission: the text went to the detail view; the sheet closes.
    void done(const QString& text);

private:
    static QCoro::Task<> run(QPointer<TicketActionForm> form, QPointer<TicketDetailView> detail,
                             QPointer<MobileAppState> state, QJsonObject body);
    void setRunning(bool value);
    void setFormMessage(const QString& value);
    void refreshOptions();
    void refreshHandlers();
    void recheck();

    QPointer<MobileAppState> m_state;
    QPointer<TicketDetailView> m_detail;
    TicketActionKind m_kind = TicketActionKind::comment;
    QString m_ticketNumber;
    QString m_note;
    QString m_scope;
    QString m_handler;
    QString m_reason;
    bool m_running = false;
    QString m_formMessage;
    bool m_canSubmit = false;
    RowsModel* m_scopeOptions;
    RowsModel* m_handlerOptions;
    RowsModel* m_reasonOptions;
};

} // namespace kalvorin
