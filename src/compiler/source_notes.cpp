#include "compiler/source_notes.h"

#include "compiler/keyword_suggestion.h"
#include "compiler/keywords.h"
#include "scenario/run_state.h"

namespace {

/// A field as a message shows it: in double quotes, a long one cut short.
std::string quoted(const std::string& field) {
  constexpr std::size_t kLongest = 60;
  std::string text = "\"";
  if (field.size() <= kLongest) {
    text.append(field).append("\"");
  } else {
    text.append(field, 0, kLongest).append("...\" (").append(std::to_string(field.size())).append(" bytes)");
  }
  return text;
}

}  // namespace

void SourceNotes::last_field(const std::string& field, SourcePlace place) {
  for (const KeywordInfo& info : keyword_table()) {
    if (info.place != part_ || !matches(field, info.keyword)) continue;
    warn(state_, WarningKind::KeywordLastField, place,
         quoted(field) + " is the last field of the file: it is never read, and its entry is lost");
    return;
  }
}

void SourceNotes::comment(const std::string& field, SourcePlace place) {
  line_noted(place.line);
  if (mentions_keyword(field, source_))
    warn(state_, WarningKind::KeywordTakenForComment, place,
         quoted(field) + " contains \"-\" and is taken for a comment: its entry is lost");
}

void SourceNotes::unknown(const std::string& field, SourcePlace place) {
  if (place.line == noted_line_) return;
  line_noted(place.line);
  Diagnostic diagnostic;
  diagnostic.severity = Severity::Warning;
  diagnostic.warning = WarningKind::NotAKeyword;
  diagnostic.place = place;
  diagnostic.message = quoted(field) + " is no keyword: passed over";
  diagnostic.detail = keyword_suggestion(field, source_);
  // A field that does not begin its line was split off by a comma: a value too many, or a station name or
  // a comment that holds a comma.
  if (place.column > 1) {
    if (!diagnostic.detail.empty()) diagnostic.detail += "; ";
    diagnostic.detail +=
        "it follows a comma on its line, which ends a field: a value more than the entry takes, or a station "
        "name or a comment with a comma in it, split there (write it without the comma)";
  }
  state_.diagnostics.add(std::move(diagnostic));
}
