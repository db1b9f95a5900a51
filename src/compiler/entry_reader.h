#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/error_report.h"
#include "compiler/field_reader.h"
#include "compiler/keyword_match.h"
#include "compiler/keywords.h"
#include "compiler/source_notes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"
#include "scenario/source_place.h"

/// How the reading goes on after an entry.
enum class Flow {
  Next,  // read the next entry
  Done,  // the entries of this part are over: the end of the file, or the end of the general section
  Stop,  // a position outside the grid stopped the entries; what follows their end still runs
  End,   // a refusal ended the reading at once
};

/// A value read from a source, with the place of its field.
struct Placed {
  int32_t value;
  SourcePlace place;
};

/// The skeleton both source readers share: the loop of entries with its comment and last-field rules,
/// the refusals with their places, and the notes about fields passed over. Each reader keeps only its
/// keywords and the steps of its entries.
class EntryReader {
 public:
  /// The keyword field of the entry being read.
  SourcePlace entry_place() const { return keyword_place_; }

 protected:
  EntryReader(RunState& state, std::string_view text, SourceKind source);

  /// How many comment fields (fields that contain "-") in a row are passed over before a keyword, and
  /// whether the file's last field ends the entries while passing them (else it is simply read).
  struct CommentRule {
    int most;
    bool last_field_checked;
  };

  /// Reads the next field into the run state's current field; its place becomes the keyword place.
  const std::string& read_field();
  /// Reads the next field; true when it was the file's last, which is never interpreted (a keyword
  /// there is noted).
  bool read_last_field();
  /// Reads a whole number with the place of its field.
  Placed read_placed();

  /// The loop of entries: reads a keyword field (never the file's last), passes over comment fields,
  /// then runs `entry(keyword)`, until it returns something other than Next, or Done at the end of the
  /// file. A keyword field that no test matched (see matched()) and that is no section header is noted.
  template <typename Entry>
  Flow read_entries(CommentRule comments, Entry&& entry) {
    for (;;) {
      note_unclosed_quote();
      if (reader_.at_end() || read_last_field()) {
        note_unclosed_quote();
        return Flow::Done;
      }
      for (int n = 0; n < comments.most && contains(state_.current_field, "-"); ++n) {
        notes_.comment(state_.current_field, keyword_place_);
        if (comments.last_field_checked) {
          if (read_last_field()) return Flow::Done;
        } else {
          read_field();
        }
      }
      const std::string keyword = state_.current_field;
      matched_ = false;
      reading_.reset();
      state_.entry_place = keyword_place_;
      Flow flow = Flow::Next;
      try {
        flow = entry(keyword);
      } catch (const ReadFailure& failure) {
        flow = read_failure(failure);
      }
      if (!matched_ && flow != Flow::Done && !is_section_header(keyword)) notes_.unknown(keyword, state_.entry_place);
      if (flow != Flow::Next) return flow;
    }
  }

  /// Marks the current keyword as recognised by a test.
  void matched() { matched_ = true; }
  /// The values of `keyword` are read next: a read failure among them is told with that entry's fields.
  void expect(Keyword keyword);

  /// A refusal: makes it the run's error, with the position and the field it concerns, and ends the
  /// reading; when the run keeps going, the reading goes on with the next entry instead.
  Flow refuse(Refusal refusal);
  Flow refuse(int32_t code, std::optional<int32_t> position = std::nullopt,
              std::optional<SourcePlace> place = std::nullopt);
  /// A refusal after which nothing more can be learned (no grid, a trace at its limit): the reading
  /// ends even when the run keeps going.
  Flow refuse_hard(Refusal refusal);
  /// A position outside the grid (code 15): the entries stop, what follows their end still runs; when
  /// the run keeps going, the next entry is read. `why` tells the limit it broke.
  Flow outside_grid(int32_t position, SourcePlace place, std::string why = {});
  /// Calls a recorder and gives the code it left: any code in the run's error after it, as the format
  /// tests (an earlier one included); when the run keeps going, only a refusal of this call.
  template <typename Call>
  int32_t recorded(Call&& call) {
    if (!state_.keep_going) {
      call();
      return state_.error.code;
    }
    const RunError before = state_.error;
    state_.error.code = 0;
    call();
    const int32_t code = state_.error.code;
    if (code == 0) state_.error = before;
    return code;
  }

  /// The limit of the range test, for the messages of code 15: "positions stop at 35900 m, ...".
  std::string range_limit(int32_t margin = kRangeMargin) const;

  /// Runs a reading; a read failure without a place of its own (arithmetic on values read) leaves with
  /// the place of the entry being read.
  template <typename Run>
  auto placing_failures(Run&& run) {
    try {
      return run();
    } catch (const ReadFailure& failure) {
      if (!failure.place()) throw ReadFailure(failure.what(), keyword_place_);
      throw;
    }
  }

  RunState& state_;
  FieldReader reader_;
  SourceNotes notes_;
  SourcePlace keyword_place_;

 private:
  /// Warns, once, of a quote that took the rest of the file into one field.
  void note_unclosed_quote();
  /// A read failure inside an entry: told at the entry when its values ran onto a later line or past the
  /// end of the file, with the values it has and needs; rethrown, or reported and passed over when the
  /// run keeps going (reading on from the line where the failing field stands, or the next one).
  Flow read_failure(const ReadFailure& failure);

  bool matched_ = false;
  std::optional<Keyword> reading_;
  std::size_t values_start_ = 0;
  bool quote_noted_ = false;
};
