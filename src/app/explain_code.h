#pragma once

#include <iosfwd>
#include <string_view>

/// `scenario check --explain CODE`: prints to `out` what the error code means (its meaning, the longer
/// explanation, the example's two sources and the fix) and returns kExitSuccess. CODE is written "E16"
/// or "16". A warning kind's name ("not-a-keyword") prints what that warning means. An unknown code is an
/// argument mistake: `err` says so and lists the known codes and kinds, and the result is kExitUsage.
int explain_error_code(std::string_view code, std::ostream& out, std::ostream& err);
