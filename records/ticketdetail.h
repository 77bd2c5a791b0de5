#pragma once

// One ticket in full, as the `ticket` action answers it.

#include "reference.h"

#include <QList>
#include <QString>
#include <optional>

namespace kalvorin {

struct TicketSLA {
    std::optional<qint64> percent;
    std::optional<qint64> remaining; // minutes
    std::optional<bool> breached;
    std::optional<bool> near;

    template <class V> void fields(V&& v) {
        v("percent", percent);
        v("remaining", remaining);
        v("breached", breached);
        v("near", near);
    }
    bool operator==(const TicketSLA&) const = default;
};

struct WorkflowStep {
    QString label;
    std::optional<bool> done;

    template <class V> void fields(V&& v) {
        v("label", label);
        v("done", done);
    }
    QString identity() const { return label; }
    bool operator==(const WorkflowStep&) const = default;
};

struct Participant {
    std::optional<QString> username;
    std::optional<QString> name;
    std::optional<QString> role;

    template <class V> void fields(V&& v) {
        v("username", username);
        v("name", name);
        v("role", role);
    }
    QString identity() const {
        return name.value_or(QString()) + u'-' + role.value_or(QString()) + u'-' +
               username.value_or(QString());
    }
    bool operator==(const Participant&) const = default;
};

struct TicketActionLog {
    QString key;
    QString actor;
    std::optional<QString> state;
    std::optional<QString> priority;
    QString createdAt;

    template <class V> void fields(V&& v) {
        v("key", key);
        v("actor", actor);
        v("state", state);
        v("priority", priority);
        v("createdAt", createdAt);
    }
    QString identity() const { return key + u'-' + actor + u'-' + createdAt; }
    bool operator==(const TicketActionLog&) const = default;
};

struct TicketAttachment {
    qint64 id = 0;
    std::optional<QString> name;
    std::optional<qint64> size;
    std::optional<QString> mime;
    std::optional<QString> purpose;
    std::optional<QString> createdAt;

    template <class V> void fields(V&& v) {
        v("id", id);
        v("name", name);
        v("size", size);
        v("mime", mime);
        v("purpose", purpose);
        v("createdAt", createdAt);
    }
    qint64 identity() const { return id; }
    bool operator==(const TicketAttachment&) const = default;
};

struct TicketAvailableActions {
    std::optional<bool> comment;
    std::optional<bool> route;
    std::optional<bool> close;
    std::optional<bool> reject;
    std::optional<bool> managerRoute;
    std::optional<bool> jointProcessing;
    std::optional<bool> temporaryPassword;
    std::optional<bool> signatureChain;

    template <class V> void fields(V&& v) {
        v("comment", comment);
        v("route", route);
        v("close", close);
        v("reject", reject);
        v("managerRoute", managerRoute);
        v("jointProcessing", jointProcessing);
        v("temporaryPassword", temporaryPassword);
        v("signatureChain", signatureChain);
    }
    bool operator==(const TicketAvailableActions&) const = default;
};

struct TicketDetail {
    QString maintenanceNo;
    std::optional<QString> title;
    std::optional<QString> state;
    std::optional<QString> priority;
    std::optional<QString> scope;
    std::optional<QString> assignedScopeId;
    std::optional<QString> assignedScopeName;
    std::optional<QString> assignedHandlerUser;
    std::optional<QString> assignedHandlerName;
    std::optional<QString> beneficiaryName;
    std::optional<QString> beneficiaryMobile;
    std::optional<QString> beneficiaryEmail;
    std::optional<QString> beneficiaryNationalId;
    std::optional<QString> beneficiaryEntityName;
    std::optional<QString> beneficiaryDepartment;
    std::optional<QString> beneficiaryLocation;
    std::optional<QString> ticketOfficeName;
    std::optional<QString> serviceName;
    std::optional<QString> createdAt;
    std::optional<QString> updatedAt;
    std::optional<qint64> attachmentCount;
    std::optional<TicketSLA> sla;
    std::optional<QString> description;
    std::optional<QString> channel;
    std::optional<QString> office;
    std::optional<QString> handler;
    std::optional<QList<WorkflowStep>> workflow;
    std::optional<QList<Participant>> participants;
    std::optional<QList<TicketActionLog>> actions;
    std::optional<TicketAvailableActions> availableActions;
    std::optional<QList<AssignmentScope>> participantScopes;
    std::optional<QList<TicketAttachment>> attachments;

    template <class V> void fields(V&& v) {
        v("maintenanceNo", maintenanceNo);
        v("title", title);
        v("state", state);
        v("priority", priority);
        v("scope", scope);
        v("assignedScopeId", assignedScopeId);
        v("assignedScopeName", assignedScopeName);
        v("assignedHandlerUser", assignedHandlerUser);
        v("assignedHandlerName", assignedHandlerName);
        v("beneficiaryName", beneficiaryName);
        v("beneficiaryMobile", beneficiaryMobile);
        v("beneficiaryEmail", beneficiaryEmail);
        v("beneficiaryNationalId", beneficiaryNationalId);
        v("beneficiaryEntityName", beneficiaryEntityName);
        v("beneficiaryDepartment", beneficiaryDepartment);
        v("beneficiaryLocation", beneficiaryLocation);
        v("ticketOfficeName", ticketOfficeName);
        v("serviceName", serviceName);
        v("createdAt", createdAt);
        v("updatedAt", updatedAt);
        v("attachmentCount", attachmentCount);
        v("sla", sla);
        v("description", description);
        v("channel", channel);
        v("office", office);
        v("handler", handler);
        v("workflow", workflow);
        v("participants", participants);
        v("actions", actions);
        v("availableActions", availableActions);
        v("participantScopes", participantScopes);
        v("attachments", attachments);
    }
    QString identity() const { return maintenanceNo; }
    bool operator==(const TicketDetail&) const = default;
};

struct TicketResponse {
    bool ok = false;
    std::optional<TicketDetail> ticket;
    std::optional<QString> message;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("ticket", ticket);
        v("message", message);
    }
    bool operator==(const TicketResponse&) const = default;
};

} // namespace kalvorin
