#pragma once

#include <string_view>

/// True when a field holds, in any case, one of the words that make a keyword of the line description.
bool mentions_line_keyword(std::string_view field);
/// The same for the train service.
bool mentions_service_keyword(std::string_view field);
/// A section header such as "[curve]": it holds both brackets.
bool is_section_header(std::string_view field);
