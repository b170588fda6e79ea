#pragma once

// Failures travel as values. `Result<T>` holds either a T or an `Error`; `Status` is the
// value-less form. Nothing here throws across a module boundary.

#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace tavrel {

struct Error {
    std::string message;
    friend bool operator==(const Error&, const Error&) = default;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : state_(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(state_);
    }

    std::optional<T> toOptional() && {
        if (!ok()) return std::nullopt;
        return std::get<0>(std::move(state_));
    }

private:
    std::variant<T, Error> state_;
};

class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
    static Status success() { return {}; }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(!ok());
        return *error_;
    }

private:
    std::optional<Error> error_;
};

}  // namespace tavrel
