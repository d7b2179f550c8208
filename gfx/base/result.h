#pragma once
// Results that carry either a value or the reason it could not be made. Modules report failures
// this way instead of throwing across module boundaries.

#include <string>
#include <utility>
#include <variant>

namespace gfx {

struct Error {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const std::string& error() const { return std::get<1>(state_).message; }

  private:
    std::variant<T, Error> state_;
};

// A result without a value: success, or the reason of the failure.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error error) : failed_(true), message_(std::move(error.message)) {}
    static Status Ok() { return {}; }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return message_; }

  private:
    bool failed_ = false;
    std::string message_;
};

}  // namespace gfx
