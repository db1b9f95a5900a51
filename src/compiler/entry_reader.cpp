#include "compiler/entry_reader.h"

#include "scenario/counted.h"
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

void EntryReader::note_unclosed_quote() {
  if (quote_noted_ || !reader_.unclosed_quote()) return;
  quote_noted_ = true;
  const SourcePlace place = *reader_.unclosed_quote();
  const int lines = reader_.place_of(reader_.size()).line - place.line;
  warn(state_, WarningKind::UnclosedQuote, place,
       "this quote is never closed: the rest of the file" +
           (lines > 0 ? " (" + counted(static_cast<std::size_t>(lines), "more line") + ")" : std::string()) +
           " is read as one field, and its entries are lost");
}

void EntryReader::expect(Keyword keyword) {
  reading_ = keyword;
  values_start_ = reader_.fields_read();
}

Flow EntryReader::refuse(Refusal refusal) {
  raise_error(state_, std::move(refusal));
  return state_.keep_going ? Flow::Next : Flow::End;
}

Flow EntryReader::refuse(int32_t code, std::optional<int32_t> position, std::optional<SourcePlace> place) {
  return refuse(Refusal(code, position, place));
}

Flow EntryReader::refuse_hard(Refusal refusal) {
  raise_error(state_, std::move(refusal));
  return Flow::End;
}

Flow EntryReader::outside_grid(int32_t position, SourcePlace place, std::string why) {
  if (why.empty()) why = range_limit();
  raise_error(state_, Refusal(kErrorOutOfRange, position, place, std::move(why)));
  return state_.keep_going ? Flow::Next : Flow::Stop;
}

std::string EntryReader::range_limit(int32_t margin) const {
  const int64_t last = int64_t{state_.grid.cellCount()} * kCellLength - margin;
  if (state_.grid_stands_in)
    return "positions stop at " + std::to_string(last) + " m even on the longest line (" +
           std::to_string(kMaxLineLength) +
           " m), on which checking reads on since the line length was refused or missing";
  return "positions stop at " + std::to_string(last) + " m here (the grid reaches " + std::to_string(kGridBeyondLine) +
         " m beyond the " + std::to_string(state_.grid_extent - kGridBeyondLine) + " m line, and a position needs " +
         std::to_string(margin) + " m of it after itself)";
}

Flow EntryReader::read_failure(const ReadFailure& failure) {
  SourcePlace place = failure.place() ? failure.place() : keyword_place_;
  std::optional<SourcePlace> field;
  std::string what = failure.what();
  if (reading_ && failure.place()) {
    const KeywordInfo& info = keyword_info(*reading_);
    const std::size_t have = std::min(reader_.fields_read() - values_start_, info.fields.size());
    std::string names;
    for (const KeywordField& f : info.fields) names += (names.empty() ? "" : ", ") + std::string(f.name);
    const std::string has = "this \"" + std::string(info.written) + "\" entry has " + std::to_string(have) +
                            " of the " + std::to_string(info.fields.size()) + " values it needs (" + names + ")";
    const bool on_later_line = failure.place().line > keyword_place_.line;
    if (what == kReadPastTheEnd) {
      what = "the file ends inside this entry: " + has;
      field = failure.place();
      place = keyword_place_;
    } else if (on_later_line && have < info.fields.size()) {
      what = has + "; its value \"" + std::string(info.fields[have].name) + "\" was looked for on line " +
             std::to_string(failure.place().line) + " (" + what + " there): a comma or a value is missing";
      field = failure.place();
      place = keyword_place_;
    } else if (have < info.fields.size()) {
      what += " (the value \"" + std::string(info.fields[have].name) + "\" of \"" + std::string(info.written) + "\")";
    }
  }
  const ReadFailure told(what, place, field);
  if (!state_.keep_going) throw told;
  Refusal refusal(kErrorReadFailure, std::nullopt, told.place(), told.what());
  if (field) refusal.related.push_back({*field, "the value looked for here"});
  raise_error(state_, std::move(refusal));
  // Read on from the line of the field that failed when it is not the entry's own (it may begin the next
  // entry), else from the next line.
  const int failed_line = failure.place() ? failure.place().line : keyword_place_.line;
  reader_.restart_at_line(failed_line > keyword_place_.line ? failed_line : failed_line + 1);
  return Flow::Next;
}
