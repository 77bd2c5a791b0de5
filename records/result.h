#pragma once

#include <QString>
#include <utility>
#include <variant>

namespace kalvorin {

// A failure as the user will see it. `domain` and `code` tell where it came from
// ("KALVORIN" + HTTP status for a server refusal, the network layer's own for a
// transport failure); callers only ever show `description`.
struct Failure {
    QString domain;
    qint64 code = 0;
    QString description;
};

// Either a value or the failure that prevented it. Failures are values: no
// exception ever crosses a co_await in this code base.
template <class T> class Result {
public:
    // Only for containers that need it (QCoro::waitFor): an empty failure.
    Result() : m_data(std::in_place_index<1>) {}
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_data(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(m_data); }
    T& value() & { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    const T* operator->() const { return &value(); }
    const T& operator*() const& { return value(); }

    const Failure& failure() const { return std::get<1>(m_data); }
    QString description() const { return ok() ? QString() : failure().description; }

private:
    std::variant<T, Failure> m_data;
};

} // namespace kalvorin
