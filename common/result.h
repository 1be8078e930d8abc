// Result<T>: a value, or the error that kept it from being made. The one way the tools hand an
// error to a caller that can act on it; a broken invariant of our own stays an assert.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace common {

struct Error {
  explicit Error(std::string text, std::string file = {}, int lineNumber = 0)
      : message(std::move(text)), where(std::move(file)), line(lineNumber) {}

  std::string message;  // one line, no trailing period needed
  std::string where;    // the file or program the message is about; may be empty
  int line = 0;         // the line in `where` it is about, or 0
};

template <typename T>
class [[nodiscard]] Result {
 public:
  // Implicit, so that a function returns either a value or an Error as it is.
  // cppcheck-suppress noExplicitConstructor
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT
  // cppcheck-suppress noExplicitConstructor
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

// For operations that make nothing: success, or the error.
struct Done {};
using Status = Result<Done>;

}  // namespace common
