#include "connectionsettingsform.h"

#include "mobileappstate.h"

namespace kalvorin {

ConnectionSettingsForm::ConnectionSettingsForm(QObject* parent) : QObject(parent) {}

QString ConnectionSettingsForm::savedServerURL(const QString& draft, const QString& current) {
    QString url = draft.trimmed();
    if (url.isEmpty())
        return current;
    if (!url.startsWith(QLatin1String("http://")) && !url.startsWith(QLatin1String("https://")))
        url.prepend(QLatin1String("http://"));
    if (!url.endsWith(QLatin1Char('/')))
        url.append(QLatin1Char('/'));
    return url;
}

QObject* ConnectionSettingsForm::appState() const {
    return m_state.data();
}

void ConnectionSettingsForm::setAppState(QObject* state) {
    auto* typed = qobject_cast<MobileAppState*>(state);
    if (typed == m_state)
        return;
    m_state = typed;
    emit appStateChanged();
}

void ConnectionSettingsForm::setDraft(const QString& draft) {
    if (draft == m_draft)
        return;
    m_draft = draft;
    emit draftChanged();
}

QString ConnectionSettingsForm::placeholder() const {
    return QStringLiteral("http://server.local:8080/kalvorin/");
}

QString ConnectionSettingsForm::helpText() const {
    return QStringLiteral("احفظ رابط الخادم مرة واحدة. داخل الشبكة المحلية استخدم عنوان IP لجهاز الخادم "
                          "وليس localhost الخاص بالجهاز نفسه.");
}

void ConnectionSettingsForm::open() {
    if (m_state)
        setDraft(m_state->serverURL());
}

void ConnectionSettingsForm::save() {
    if (m_state) {
        const QString current = m_state->serverURL();
        const QString saved = savedServerURL(m_draft, current);
        if (saved != current)
            m_state->setServerURL(saved);
        m_state->startCheckStatus();
    }
    emit closed();
}

void ConnectionSettingsForm::close() {
    emit closed();
}

} // namespace kalvorin
