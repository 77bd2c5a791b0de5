#pragma once
// The connection-settings sheet's form: the draft base URL and the save rule.
//
//     ConnectionSettingsForm { id: form; appState: AppState; onClosed: sheet.close() }
//
// open() fills the draft with the stored URL; save() stores the cleaned draft (an empty draft
// keeps the old URL), rechecks the server's status and closes; close() only closes.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace kalvorin {

class MobileAppState;

class ConnectionSettingsForm : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject* appState READ appState WRITE setAppState NOTIFY appStateChanged)
    Q_PROPERTY(QString draft READ draft WRITE setDraft NOTIFY draftChanged)
    Q_PROPERTY(QString placeholder READ placeholder CONSTANT)
    Q_PROPERTY(QString helpText READ helpText CONSTANT)

public:
    explicit ConnectionSettingsForm(QObject* parent = nullptr);

    // The URL to store for `draft`: trimmed; "http://" or "https://" kept, otherwise "http://"
    // put in front; a closing "/" added. An empty draft gives `current` back.
    static QString savedServerURL(const QString& draft, const QString& current);

    QObject* appState() const;
    void setAppState(QObject* state);
    QString draft() const { return m_draft; }
    void setDraft(const QString& draft);
    QString placeholder() const;
    QString helpText() const;

    Q_INVOKABLE void open();
    Q_INVOKABLE void save();
    Q_INVOKABLE void close();

signals:
    void appStateChanged();
    void draftChanged();
    void closed();

private:
    QPointer<MobileAppState> m_state;
    QString m_draft;
};

} // namespace kalvorin
