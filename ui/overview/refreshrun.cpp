#include "refreshrun.h"

#include "appstatesingleton.h"

#include <QPointer>

namespace kalvorin {

void RefreshRun::setOperation(Operation value) {
    if (value == m_operation)
        return;
    m_operation = value;
    emit operationChanged();
}

void RefreshRun::start() {
    if (m_running || !AppStateSingleton::instance())
        return;
    m_running = true;
    emit runningChanged();
    run();
}

QCoro::Task<> RefreshRun::run() {
    QPointer<RefreshRun> self(this);
    MobileAppState* state = AppStateSingleton::instance();
    switch (m_operation) {
    case All:
        co_await state->refreshAll();
        break;
    case Tickets:
        co_await state->loadTickets();
        break;
    case Notifications:
        co_await state->loadNotifications();
        break;
    }
    if (!self)
        co_return;
    m_running = false;
    emit runningChanged();
}

} // namespace kalvorin
