#pragma once

// The server's catalogue of choices: states, priorities, reasons, services,
// processing scopes with their handlers, and the reporter's organisation.

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace kalvorin {

// The last level of an organisational path ("أ / ب › ج" → "ج").
QString compactScopeLabel(const QString& path);

struct MobileService {
    qint64 id = 0;
    QString name;
    std::optional<QString> category;
    std::optional<QString> priority;
    std::optional<QString> processingScopeId;
    std::optional<QString> processingScopeName;
    std::optional<QString> region;

    template <class V> void fields(V&& v) {
        v("id", id);
        v("name", name);
        v("category", category);
        v("priority", priority);
        v("processingScopeId", processingScopeId);
        v("processingScopeName", processingScopeName);
        v("region", region);
    }
    qint64 identity() const { return id; }
    bool operator==(const MobileService&) const = default;
};

struct AssignmentScope {
    QString id;
    std::optional<QString> type;
    std::optional<QString> typeLabel;
    std::optional<QString> name;
    std::optional<QString> path;

    template <class V> void fields(V&& v) {
        v("id", id);
        v("type", type);
        v("typeLabel", typeLabel);
        v("name", name);
        v("path", path);
    }
    QString identity() const { return id; }
    // The short label under which the scope is shown in pickers.
    QString compactLabel() const;
    bool operator==(const AssignmentScope&) const = default;
};

struct AssignmentHandler {
    QString username;
    std::optional<QString> name;
    std::optional<QString> role;
    std::optional<QString> roleLabel;
    std::optional<QString> organizationPath;

    template <class V> void fields(V&& v) {
        v("username", username);
        v("name", name);
        v("role", role);
        v("roleLabel", roleLabel);
        v("organizationPath", organizationPath);
    }
    QString identity() const { return username; }
    bool operator==(const AssignmentHandler&) const = default;
};

struct ReporterOptions {
    std::optional<QList<QString>> departments;
    std::optional<QMap<QString, QList<QString>>> adminsByDepartment;
    std::optional<QMap<QString, QList<QString>>> divisionsByAdmin;
    // Keyed by admin + "||" + division, with no spaces added.
    std::optional<QMap<QString, QList<QString>>> sectionsByAdminDivision;
    std::optional<QList<QString>> allAdmins;

    template <class V> void fields(V&& v) {
        v("departments", departments);
        v("adminsByDepartment", adminsByDepartment);
        v("divisionsByAdmin", divisionsByAdmin);
        v("sectionsByAdminDivision", sectionsByAdminDivision);
        v("allAdmins", allAdmins);
    }
    static QString adminDivisionKey(const QString& admin, const QString& division) {
        return admin + QStringLiteral("||") + division;
    }
    bool operator==(const ReporterOptions&) const = default;
};

struct CreateTicketContext {
    std::optional<QString> reporterDepartment;
    std::optional<QString> reporterRegion;
    std::optional<QString> reporterDivision;
    std::optional<QString> reporterSection;
    std::optional<QString> reporterOrganizationPath;
    std::optional<QString> reporterOrganizationId;
    std::optional<bool> lockedByScope;

    template <class V> void fields(V&& v) {
        v("reporterDepartment", reporterDepartment);
        v("reporterRegion", reporterRegion);
        v("reporterDivision", reporterDivision);
        v("reporterSection", reporterSection);
        v("reporterOrganizationPath", reporterOrganizationPath);
        v("reporterOrganizationId", reporterOrganizationId);
        v("lockedByScope", lockedByScope);
    }
    bool operator==(const CreateTicketContext&) const = default;
};

struct ReferenceDataResponse {
    bool ok = false;
    std::optional<QList<QString>> statuses;
    std::optional<QList<QString>> priorities;
    std::optional<QList<QString>> routeReasons;
    std::optional<QList<QString>> rejectReasons;
    std::optional<QList<MobileService>> services;
    std::optional<QList<AssignmentScope>> assignmentScopes;
    // Keyed by AssignmentScope::id.
    std::optional<QMap<QString, QList<AssignmentHandler>>> handlersByScope;
    std::optional<CreateTicketContext> createContext;
    std::optional<ReporterOptions> reporterOptions;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("statuses", statuses);
        v("priorities", priorities);
        v("routeReasons", routeReasons);
        v("rejectReasons", rejectReasons);
        v("services", services);
        v("assignmentScopes", assignmentScopes);
        v("handlersByScope", handlersByScope);
        v("createContext", createContext);
        v("reporterOptions", reporterOptions);
    }
    bool operator==(const ReferenceDataResponse&) const = default;
};

} // namespace kalvorin
