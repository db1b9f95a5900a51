#pragma once

#include <cstdint>
#include <string_view>

#include "scenario/format.h"

struct RunState;

/// Appended to the identity text so that its first 25 characters always exist.
inline constexpr std::string_view kIdentityPad = "ppqqrrssttuuvvwwzzkkjjyyxx";
/// How many characters of the identity text the codes count.
inline constexpr int kIdentityLength = 25;

/// Builds the identity text in `state.current_field`: the text of record 86 (the train number), then
/// the text of record 85 (the line key), in lower case, then the pad.
void identity_text(RunState& state);

/// The plain code: the sum of the character codes of the identity text's first 25 characters (0 to
/// 6375). Overwrites `state.current_field` with the identity text and changes nothing else.
int16_t codice_gara_og(RunState& state);

/// The weighted code: the sum of each of those characters' code times its position 1 to 25 (0 to
/// 82875). Overwrites `state.current_field` with the identity text and changes nothing else.
int32_t codice_gara_st(RunState& state);

/// Stamps the markers and the codes into record 85 and cell 1. Returns 0 when done; 1250 when record
/// 85's short1 or cell 1's value1 is already taken (nothing changed); 1251 when record 85's number4 or
/// cell 1's value2 is taken (the markers are then in place, the codes not). The caller reports a
/// non-zero result through errore. Needs the grid.
int32_t stamp_codes(RunState& state);
