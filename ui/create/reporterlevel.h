#pragma once
// One level of the reporter's organisation on the new-ticket form, as its view needs it: the
// label, the empty choice, the free-text symbol, the choices and the chosen one, and whether it
// is drawn as a drop-down (it has options and is not being typed into) or as a text field.
//
//     ReporterLevelField { level: form.regionLevel }

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace kalvorin::create {

class CreateTicketForm;

class ReporterLevel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Each form owns its four levels.")
    Q_PROPERTY(int level READ level CONSTANT)
    Q_PROPERTY(QString label READ label CONSTANT)
    Q_PROPERTY(QString emptyChoice READ emptyChoice CONSTANT)
    Q_PROPERTY(QString icon READ icon CONSTANT)
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY changed)
    Q_PROPERTY(QStringList options READ options NOTIFY changed)
    Q_PROPERTY(QStringList choices READ choices NOTIFY changed)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY changed)
    Q_PROPERTY(bool picker READ picker NOTIFY changed)
    Q_PROPERTY(bool editing READ editing WRITE setEditing NOTIFY changed)

public:
    ReporterLevel(int level, CreateTicketForm* form);

    int level() const { return m_level; }
    QString label() const;
    QString emptyChoice() const;
    QString icon() const;
    QString value() const;
    void setValue(const QString& value);
    QStringList options() const;
    // The empty choice, then the options.
    QStringList choices() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    // A level with options is a drop-down, except while the user is typing into its text field:
    // that field stays until the typing ends, then the typed text is offered as a choice.
    bool picker() const { return !options().isEmpty() && !m_editing; }
    bool editing() const { return m_editing; }
    void setEditing(bool editing);

signals:
    void changed();

private:
    int m_level;
    CreateTicketForm* m_form;
    bool m_editing = false;
};

} // namespace kalvorin::create
