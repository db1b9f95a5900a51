#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

// The one way a function says that it failed, or that it did not. A Status has a kind that callers
// branch on and a message for people that no caller parses; a detail a caller needs (the file concerned)
// is a field. A Result<T> is a value or the Status of why there is none.
//
// It sits in the lowest layer because the lowest layer is the first to need it (a file that cannot be
// written, read or locked) and every layer above reports through it.

class Status {
 public:
  enum class Code : std::uint8_t {
    Ok,
    /// A value given to the program cannot be used: names that cannot name files, an output that is
    /// an input (exit status 2 at the command line).
    InvalidArgument,
    /// Bytes or data that are not what they claim to be: a damaged file, scenario files that do not
    /// belong together (exit status 1).
    Corruption,
    /// The system refused an operation on a file: `path()` names it, the message is the reason (exit
    /// status 3).
    IOError,
    /// Another run held what this one needs for longer than it waits (exit status 3).
    Busy,
  };

  /// Success.
  Status() = default;
  static Status ok() { return {}; }
  static Status invalid_argument(std::string message) { return {Code::InvalidArgument, std::move(message), {}}; }
  static Status corruption(std::string message) { return {Code::Corruption, std::move(message), {}}; }
  static Status io_error(std::string path, std::string reason) {
    return {Code::IOError, std::move(reason), std::move(path)};
  }
  static Status busy(std::string path, std::string message) {
    return {Code::Busy, std::move(message), std::move(path)};
  }

  bool is_ok() const { return code_ == Code::Ok; }
  Code code() const { return code_; }
  /// What went wrong, for people; for an IOError the system's reason without the path.
  const std::string& message() const { return message_; }
  /// The file or directory concerned, when there is one.
  const std::string& path() const { return path_; }
  /// The message, after the path and ": " when there is a path.
  std::string text() const { return path_.empty() ? message_ : path_ + ": " + message_; }

  /// The same failure with `context` and ": " before its message ("cannot make the output directory
  /// out" + ": " + why); kind and path stay.
  Status in_context(const std::string& context) const { return {code_, context + ": " + message_, path_}; }

 private:
  Status(Code code, std::string message, std::string path)
      : code_(code), message_(std::move(message)), path_(std::move(path)) {}

  Code code_ = Code::Ok;
  std::string message_;
  std::string path_;
};

/// A value, or the Status of a failure (never an ok Status).
template <typename T>
class Result {
 public:
  Result(T value) : held_(std::move(value)) {}
  Result(Status failure) : held_(std::move(failure)) {}

  bool is_ok() const { return std::holds_alternative<T>(held_); }
  explicit operator bool() const { return is_ok(); }
  /// The failure; an ok Status when there is a value.
  Status status() const { return is_ok() ? Status::ok() : std::get<Status>(held_); }

  T& value() { return std::get<T>(held_); }
  const T& value() const { return std::get<T>(held_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  std::variant<T, Status> held_;
};
