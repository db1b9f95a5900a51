#include "compiler/format_keywords.h"

#include <array>

#include "compiler/keyword_match.h"

namespace {

constexpr std::array<std::string_view, 11> kLineWords{
    "lunghezza", "percorso", "progressiva", "sfondo", "ripetizione", "pendenza",
    "curva",     "montagna", "indicatori_v", "cartello", "generale",
};
constexpr std::array<std::string_view, 11> kServiceWords{
    "frenata", "vetture", "velocit", "aderenza", "orologio", "sabbia",
    "segnale", "rallentamento", "abbattimento", "stazione", "generale",
};

template <std::size_t N>
bool mentions(std::string_view field, const std::array<std::string_view, N>& words) {
  for (const std::string_view word : words)
    if (contains_any_case(field, word)) return true;
  return false;
}

}  // namespace

bool mentions_line_keyword(std::string_view field) { return mentions(field, kLineWords); }
bool mentions_service_keyword(std::string_view field) { return mentions(field, kServiceWords); }
bool is_section_header(std::string_view field) { return contains(field, "[") && contains(field, "]"); }
