#pragma once

// Where a tap on a ticket goes: a row of the dashboard or of the ticket list asks the shell's
// navigation to open its ticket, and the shell pushes the ticket's detail screen on its stack.
//     onTapped: ShellNavigation.openTicket(model.maintenanceNo)
// One per QML engine, as the shell is.

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace kalvorin {

class ShellNavigation : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString requestedTicket READ requestedTicket NOTIFY ticketRequested)

public:
    explicit ShellNavigation(QObject* parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE void openTicket(const QString& maintenanceNo) {
        m_requestedTicket = maintenanceNo;
        emit ticketRequested(maintenanceNo);
    }
    // The last ticket a row asked for.
    QString requestedTicket() const { return m_requestedTicket; }

    // The screen of each tab, and the ticket detail screen pushed over them. A screen whose area
    // is not part of this build is absent: the tab shows its placeholder, a ticket opens nothing.
    Q_INVOKABLE static QUrl tabScreen(int tab);
    Q_INVOKABLE static QString ticketDetailScreen();

signals:
    void ticketRequested(const QString& maintenanceNo);

private:
    QString m_requestedTicket;
};

} // namespace kalvorin
