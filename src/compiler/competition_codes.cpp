#include "compiler/competition_codes.h"

#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// Lower case in the single-byte code page of the scenario's texts (Windows-1252): the ASCII
/// letters, the accented capitals 0xC0 to 0xDE except the multiplication sign 0xD7, and the four
/// capitals that the code page keeps elsewhere (Š, Œ, Ž, Ÿ).
char lower_case(char c) {
  const auto code = static_cast<uint8_t>(c);
  if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
    return static_cast<char>(code + 0x20);
  switch (code) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

/// The character code at position n (1-based) of the identity text.
uint8_t code_at(const RunState& state, int n) {
  return static_cast<uint8_t>(state.current_field[static_cast<std::size_t>(n - 1)]);
}

}  // namespace

void identity_text(RunState& state) {
  std::string& text = state.current_field;
  text = state.table[kServiceRecord].text + state.table[kLineRecord].text;
  for (char& c : text) c = lower_case(c);
  text += kIdentityPad;
}

int16_t codice_gara_og(RunState& state) {
  identity_text(state);
  int16_t sum = 0;
  for (int n = 1; n <= kIdentityLength; ++n) sum = static_cast<int16_t>(sum + code_at(state, n));
  return sum;
}

int32_t codice_gara_st(RunState& state) {
  identity_text(state);
  int32_t sum = 0;
  for (int n = 1; n <= kIdentityLength; ++n) sum += code_at(state, n) * n;
  return sum;
}

int32_t stamp_codes(RunState& state) {
  ScenarioRecord& record = state.table[kLineRecord];
  TrackCell& cell = state.grid[kCodeCell];
  if (record.short1 != 0 || cell.value1 != 0) return kErrorMarkerTaken;
  record.short1 = kTableMarker;
  cell.value1 = kGridMarker;
  if (record.number4 != 0 || cell.value2 != 0) return kErrorCodeTaken;
  record.number4 = codice_gara_st(state);
  cell.value2 = codice_gara_og(state);
  return 0;
}
