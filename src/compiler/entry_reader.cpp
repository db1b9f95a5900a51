#include "compiler/entry_reader.h"

#include "compiler/error_report.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

EntryReader::EntryReader(RunState& state, std::string_view text, SourceKind source)
    : state_(state), reader_(text, source), notes_(state, source) {}

const std::string& EntryReader::read_field() {
  state_.current_field = reader_.read_text();
  keyword_place_ = reader_.last_place();
  return state_.current_field;
}

bool EntryReader::read_last_field() {
  read_field();
  if (!reader_.at_end()) return false;
  notes_.last_field(state_.current_field, keyword_place_);
  return true;
}

Placed EntryReader::read_placed() {
  const int32_t value = reader_.read_int32();
  return {value, reader_.last_place()};
}

Flow EntryReader::refuse(int32_t code, std::optional<int32_t> position, std::optional<SourcePlace> place) {
  raise_error(state_, Refusal(code, position, place));
  return Flow::End;
}

Flow EntryReader::outside_grid(int32_t position, SourcePlace place) {
  raise_error(state_, Refusal(kErrorOutOfRange, position, place));
  return Flow::Stop;
}
