// What the service's steps return: a value, or the failure the client is to be told about,
// an HTTP status with a one-line reason phrase that says what went wrong (the program shows
// it to the user). Failures that never reach a client (the command line, the listening
// socket, a mode file) carry the status that would fit if they did: 400 for what was asked
// wrongly, 500 for what this machine could not do.
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace tervane::service {

struct Error {
    int status;
    std::string reason;
};

// What makes the value of a Result<T>: anything a T is made from, but never an Error.
template <typename U, typename T>
concept ValueOf = std::is_constructible_v<T, U&&> && !std::is_same_v<std::remove_cvref_t<U>, Error>;

template <typename T> class Result {
  public:
    template <ValueOf<T> U>
    Result(U&& value) : state_(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool Ok() const { return state_.index() == 0; }
    // Only when Ok().
    T& Value() & { return std::get<0>(state_); }
    const T& Value() const& { return std::get<0>(state_); }
    T Value() && { return std::move(std::get<0>(state_)); }
    // Only when not Ok().
    const Error& Failure() const { return std::get<1>(state_); }

  private:
    std::variant<T, Error> state_;
};

} // namespace tervane::service
