#pragma once

// Answers of the session-level requests: status, sign-in, sign-out, device
// registration, and the plain success/failure answer of writes.

#include <QString>
#include <optional>

namespace kalvorin {

struct APIMessage {
    std::optional<bool> ok;
    std::optional<QString> message;
    std::optional<QString> error;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("message", message);
        v("error", error);
    }
    bool operator==(const APIMessage&) const = default;
};

struct DatabaseStatus {
    std::optional<bool> ok;
    std::optional<QString> message;
    std::optional<QString> name;
    std::optional<QString> host;
    std::optional<QString> source;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("message", message);
        v("name", name);
        v("host", host);
        v("source", source);
    }
    bool operator==(const DatabaseStatus&) const = default;
};

struct StatusResponse {
    bool ok = false;
    std::optional<bool> authenticated;
    std::optional<DatabaseStatus> database;
    std::optional<QString> serverTime;
    std::optional<QString> system;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("authenticated", authenticated);
        v("database", database);
        v("serverTime", serverTime);
        v("system", system);
    }
    bool operator==(const StatusResponse&) const = default;
};

struct MobileUser {
    std::optional<QString> username;
    std::optional<QString> name;
    std::optional<QString> role;
    std::optional<QString> scope;

    template <class V> void fields(V&& v) {
        v("username", username);
        v("name", name);
        v("role", role);
        v("scope", scope);
    }
    bool operator==(const MobileUser&) const = default;
};

struct LoginResponse {
    bool ok = false;
    std::optional<MobileUser> user;
    std::optional<QString> message;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("user", user);
        v("message", message);
    }
    bool operator==(const LoginResponse&) const = default;
};

struct MobileDeviceResponse {
    bool ok = false;
    std::optional<QString> message;

    template <class V> void fields(V&& v) {
        v("ok", ok);
        v("message", message);
    }
    bool operator==(const MobileDeviceResponse&) const = default;
};

} // namespace kalvorin
