// Results that carry a failure's description instead of throwing: every trap of the program
// reports a lead text followed by "the platform's description of the failure", so a failure is
// a number plus that description, handed up as a value the caller must look at.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace tambrel {

struct Failure {
    int code = 0;            // errno, or a program error number such as 1001
    std::string description; // shown verbatim after the lead text of a message

    static Failure fromErrno(int error);
    static Failure fromErrno() { return fromErrno(errno); }
};

// What a message shows after its lead text: the description, then the path or registry key
// concerned, so that the user knows where to look ("No such file or directory: C:\Corvel\").
std::string failureText(const Failure& failure, std::string_view concerned);

// A value or a failure; [[nodiscard]] so that no failure is dropped by accident.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Failure& failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

// Success or a failure, for steps that produce nothing.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure)), failed_(true) {}
    static Status success() { return {}; }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return failure_; }

private:
    Failure failure_;
    bool failed_ = false;
};

} // namespace tambrel
