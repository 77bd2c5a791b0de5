#pragma once

// A reload started by pulling a screen's list down: the screen's indicator shows for as long as
// `running` is true, which is until the state's operation has ended.
//     RefreshRun { id: reload; operation: RefreshRun.Tickets }   ...   reload.start()
// A start while one runs is ignored. The run belongs to the screen: if the screen goes first,
// the operation finishes on the state and nothing touches the screen.

#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <qcorotask.h>

namespace kalvorin {

class RefreshRun : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Operation operation READ operation WRITE setOperation NOTIFY operationChanged)
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

public:
    // Everything (the dashboard), the ticket list, the notifications.
    enum Operation { All, Tickets, Notifications };
    Q_ENUM(Operation)

    explicit RefreshRun(QObject* parent = nullptr) : QObject(parent) {}

    Operation operation() const { return m_operation; }
    void setOperation(Operation value);
    bool running() const { return m_running; }

    Q_INVOKABLE void start();

signals:
    void operationChanged();
    void runningChanged();

private:
    QCoro::Task<> run();

    Operation m_operation = All;
    bool m_running = false;
};

} // namespace kalvorin
