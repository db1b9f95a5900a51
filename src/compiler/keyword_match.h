#pragma once

#include <string_view>

/// Keywords are found by substring search within a field.
/// Exact case: the word must stand in the field as written.
bool contains(std::string_view field, std::string_view word);
/// Any case: ASCII letters match whatever their case.
bool contains_any_case(std::string_view field, std::string_view word);
