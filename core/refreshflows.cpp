// Loading the server's data: the four loads and the full refresh.

#include "mobileappstate.h"

#include <QPointer>

namespace kalvorin {

QCoro::Task<> MobileAppState::refreshAll() {
    setLoading(true);
    QPointer<MobileAppState> alive(this);
    // All five start now; their requests are in flight together and each
    // publishes its answer as it arrives.
    QCoro::Task<> status = checkStatus();
    QCoro::Task<> dashboard = loadDashboard();
    QCoro::Task<> tickets = loadTickets();
    QCoro::Task<> notifications = loadNotifications();
    QCoro::Task<> references = loadReferences();
    co_await status;
    co_await dashboard;
    co_await tickets;
    co_await notifications;
    co_await references;
    if (alive)
        setLoading(false);
}

QCoro::Task<> MobileAppState::loadDashboard() {
    QPointer<MobileAppState> alive(this);
    Result<DashboardResponse> answer =
        co_await request<DashboardResponse>(QStringLiteral("dashboard"), QStringLiteral("GET"));
    if (!alive)
        co_return;
    if (!answer) {
        showLoadFailure(Load::Dashboard, answer.failure());
        co_return;
    }
    clearLoadFailure(Load::Dashboard);
    // The dashboard first, then the user it carries.
    const std::optional<MobileUser> embeddedUser = answer->user;
    setDashboard(std::move(answer).value());
    if (embeddedUser)
        setUser(embeddedUser);
}

QCoro::Task<> MobileAppState::loadTickets() {
    QPointer<MobileAppState> alive(this);
    Result<TicketsResponse> answer =
        co_await request<TicketsResponse>(QStringLiteral("tickets"), QStringLiteral("GET"));
    if (!alive)
        co_return;
    if (!answer) {
        showLoadFailure(Load::Tickets, answer.failure());
        co_return;
    }
    clearLoadFailure(Load::Tickets);
    setTickets(std::move(answer).value().tickets);
}

QCoro::Task<> MobileAppState::loadNotifications() {
    QPointer<MobileAppState> alive(this);
    Result<NotificationsResponse> answer =
        co_await request<NotificationsResponse>(QStringLiteral("notifications"), QStringLiteral("GET"));
    if (!alive)
        co_return;
    // A failed load quietly empties the list.
    if (!answer) {
        setNotifications({});
        co_return;
    }
    QList<MobileNotification> list = std::move(answer).value().notifications;
    setNotifications(list);
    co_await publishNewLocalNotifications(std::move(list));
}

QCoro::Task<> MobileAppState::loadReferences() {
    QPointer<MobileAppState> alive(this);
    Result<std::optional<ReferenceDataResponse>> answer =
        co_await request<std::optional<ReferenceDataResponse>>(QStringLiteral("reference_data"),
                                                               QStringLiteral("GET"));
    if (!alive)
        co_return;
    setReferences(answer ? std::move(answer).value() : std::nullopt);
}

void MobileAppState::startRefreshAll() {
    refreshAll();
}
void MobileAppState::startLoadTickets() {
    loadTickets();
}
void MobileAppState::startLoadNotifications() {
    loadNotifications();
}

} // namespace kalvorin
