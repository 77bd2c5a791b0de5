#pragma once

// The dashboard and ticket-list answers.

#include "session.h"
#include "ticketdetail.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace kalvorin {

struct DashboardSummary {
    std::optional<qint64> total;
    std::optional<qint64> critical;
    std::optional<qint64> processing;
    std::optional<qint64> closedToday;
    std::optional<qint64> open;

    template <class V> void fields(V&& v) {
        v("total", total);
        v("critical", critical);
        v("processing", processing);
        v("closedToday", closedToday);
        v("open", open);
    }
    bool operator==(const DashboardSummary&) const = default;
};

struct TicketSummary {
    QString maintenanceNo;
    std::optional<QString> title;
    std::optional<QString> state;
    std::optional<QString> priority;
    std::optional<QString> priorityCode;
    std::optional<QString> scope;
    std::optional<QString> assignedScopeId;
    std::optional<QString> assignedScopeName;
    std::optional<QString> assignedHandlerUser;
    std::optional<QString> assignedHandlerName;
    std::optional<QString> beneficiaryName;
    std::optional<QString> createdAt;
    std::optional<QString> updatedAt;
    std::optional<qint64> attachmentCount;
    std::optional<TicketSLA> sla;

    template <class V> void fields(V&& v) {
        v("maintenanceNo", maintenanceNo);
        v("title", title);
        v("state", state);
        v("priority", priority);
        v("priorityCode", priorityCode);
        v("scope", scope);
        v("assignedScopeId", assignedScopeId);
        v("assignedScopeName", assignedScopeName);
        v("assignedHandlerUser", assignedHandlerUser);
        v("assignedHandlerName", assignedHandlerName);
        v("beneficiaryName", beneficiaryName);
        v("createdAt", createdAt);
        v("updatedAt", updatedAt);
        v("attachmentCount", attachmentCount);
        v("sla", sla);
    }
    QString identity() const { return maintenanceNo; }
    bool operator==(const TicketSummary&) const = default;
};

struct DashboardResponse {
    bool ok = false;
    std::optional<DashboardSummary> summary;
    std::optional<QMap<QString, qint64>> priorityDistribution;
    std::optional<MobileUser> user;
    std::optional<QList<TicketSummary>> latest;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("summary", summary);
        v("priorityDistribution", priorityDistribution);
        v("user", user);
        v("latest", latest);
    }
    bool operator==(const DashboardResponse&) const = default;
};

struct TicketsResponse {
    bool ok = false;
    QList<TicketSummary> tickets;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("tickets", tickets);
    }
    bool operator==(const TicketsResponse&) const = default;
};

} // namespace kalvorin
