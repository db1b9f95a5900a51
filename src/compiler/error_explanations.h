#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// For each error code of error_code_table(): what it means in more words, an example (the two sources
// that give it, as small as they can be) and how to fix it. `scenario check --explain` prints them;
// a test compiles every example and expects its code.

struct ErrorExplanation {
  int32_t code;
  /// What the compiler found, and why it refuses it.
  std::string_view explanation;
  /// The example's line description, or nothing when the example is the file's absence.
  std::optional<std::string> line;
  /// The example's train service.
  std::string service;
  /// What the author changes to get rid of the error.
  std::string_view fix;
};

/// The line key and train number the examples are compiled and shown with.
inline constexpr std::string_view kExampleLineKey = "Demo";
inline constexpr std::string_view kExampleTrain = "9";

/// Every explanation, in the order of error_code_table().
std::span<const ErrorExplanation> error_explanations();
/// The explanation of a code, or nullptr for a code without one.
const ErrorExplanation* error_explanation(int32_t code);
