#pragma once

#include <optional>
#include <type_traits>

namespace kalvorin::json {

template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<std::optional<T>> : std::true_type {};

// A record lists its members once, in `fields(v)`, calling v("jsonKey", member).
template <class T>
concept Record = requires(T& t) {
    t.fields([](const char*, auto&) {});
};

} // namespace kalvorin::json
