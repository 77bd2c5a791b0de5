#pragma once

// Notifications, the two person lookups, and the answer to ticket creation.

#include <QList>
#include <QString>
#include <optional>

namespace kalvorin {

struct MobileNotification {
    qint64 id = 0;
    std::optional<QString> title;
    std::optional<QString> body;
    std::optional<QString> type;
    std::optional<bool> isRead;
    std::optional<QString> createdAt;

    template <class V> void fields(V&& v) {
        v("id", id);
        v("title", title);
        v("body", body);
        v("type", type);
        v("isRead", isRead);
        v("createdAt", createdAt);
    }
    qint64 identity() const { return id; }
    bool operator==(const MobileNotification&) const = default;
};

struct NotificationsResponse {
    bool ok = false;
    std::optional<qint64> unread;
    QList<MobileNotification> notifications;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("unread", unread);
        v("notifications", notifications);
    }
    bool operator==(const NotificationsResponse&) const = default;
};

struct LookupPerson {
    std::optional<QString> username;
    std::optional<QString> fullName;
    std::optional<QString> contactMobile;
    std::optional<QString> fixedPhone;
    std::optional<QString> email;
    std::optional<QString> ipAddress;
    std::optional<QString> reporterDepartment;
    std::optional<QString> reporterRegion;
    std::optional<QString> reporterDivision;
    std::optional<QString> reporterSection;

    template <class V> void fields(V&& v) {
        v("username", username);
        v("fullName", fullName);
        v("contactMobile", contactMobile);
        v("fixedPhone", fixedPhone);
        v("email", email);
        v("ipAddress", ipAddress);
        v("reporterDepartment", reporterDepartment);
        v("reporterRegion", reporterRegion);
        v("reporterDivision", reporterDivision);
        v("reporterSection", reporterSection);
    }
    bool operator==(const LookupPerson&) const = default;
};

struct LookupPersonResponse {
    bool ok = false;
    std::optional<bool> found;
    std::optional<QString> message;
    std::optional<LookupPerson> beneficiary;
    std::optional<LookupPerson> account;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("found", found);
        v("message", message);
        v("beneficiary", beneficiary);
        v("account", account);
    }
    bool operator==(const LookupPersonResponse&) const = default;
};

struct CreateTicketResponse {
    bool ok = false;
    std::optional<QString> maintenanceNo;
    std::optional<QString> message;
    std::optional<qint64> attachmentsCount;
    std::optional<QList<QString>> attachmentErrors;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("maintenanceNo", maintenanceNo);
        v("message", message);
        v("attachmentsCount", attachmentsCount);
        v("attachmentErrors", attachmentErrors);
    }
    bool operator==(const CreateTicketResponse&) const = default;
};

} // namespace kalvorin
