#include "lsp/outline.h"

#include "compiler/field_reader.h"
#include "compiler/keyword_match.h"
#include "lsp/text_positions.h"
#include "scenario/read_failure.h"

namespace {

/// Comment fields passed over in a row before the keyword test: inside the line description's general
/// section, and everywhere else.
constexpr int kGeneralCommentRun = 10;
constexpr int kCommentRun = 2;

bool begins_with_dash(std::string_view field) {
  const auto first = field.find_first_not_of(" \t");
  return first != std::string_view::npos && field[first] == '-';
}

/// The fields of an entry that hold a text to the end of their line: a board's text, a station's name.
bool is_text_field(Keyword keyword, std::size_t index) {
  const std::size_t count = keyword_info(keyword).fields.size();
  return (keyword == Keyword::InfoBoard || keyword == Keyword::Station) && index + 1 == count;
}

KeywordPlace keyword_place_of(Section section) {
  switch (section) {
    case Section::LineGeneral:
      return KeywordPlace::LineGeneral;
    case Section::LineEntries:
      return KeywordPlace::LineEntries;
    default:
      return KeywordPlace::Service;
  }
}

class OutlineReader {
 public:
  OutlineReader(std::string_view text, SourceKind source, const OutlineFilter& filter, bool sections_only = false)
      : reader_(text, source), filter_(filter), sections_only_(sections_only) {
    outline_.source = source;
  }

  Outline run() {
    try {
      if (!find_general()) return std::move(outline_);
      section_ = outline_.source == SourceKind::Line ? Section::LineGeneral : Section::Service;
      if (sections_only_ && section_ == Section::Service) return std::move(outline_);
      read_entries();
    } catch (const ReadFailure&) {
      // Only the end of the file ends the outline; see read_values.
    }
    return std::move(outline_);
  }

 private:
  SourcePlace end_of(SourcePlace place) const {
    place.column = field_end_column(reader_.line_text(place.line), place.column);
    return place;
  }

  void note_header(const std::string& field, SourcePlace place) {
    if (filter_.headers) outline_.headers.push_back({place, end_of(place), field});
  }

  /// True for a place beyond what the filter asks for.
  bool beyond(SourcePlace place) const { return filter_.until && place_before(*filter_.until, place); }

  bool find_general() {
    const bool line = outline_.source == SourceKind::Line;
    while (!reader_.at_end()) {
      const std::string field = reader_.read_text();
      if (beyond(reader_.last_place())) return false;
      // In the line description "[generale]" as the file's last field is not taken.
      if (line && reader_.at_end()) return false;
      if (contains_any_case(field, "[generale]")) {
        outline_.general = reader_.last_place();
        note_header(field, reader_.last_place());
        return true;
      }
    }
    return false;
  }

  void read_entries() {
    for (;;) {
      if (reader_.at_end()) return;
      std::string field = reader_.read_text();
      SourcePlace place = reader_.last_place();
      if (reader_.at_end()) return;  // the file's last field is never read
      const bool general = section_ == Section::LineGeneral;
      for (int n = 0; n < (general ? kGeneralCommentRun : kCommentRun) && contains(field, "-"); ++n) {
        field = reader_.read_text();
        place = reader_.last_place();
        if (!general && reader_.at_end()) return;
      }
      if (beyond(place)) return;
      read_entry(field, place);
      if (is_section_header(field)) {
        note_header(field, place);
        if (general && !begins_with_dash(field)) {
          section_ = Section::LineEntries;
          outline_.general_end = place;
          if (sections_only_) return;
        }
      }
    }
  }

  void read_entry(const std::string& field, SourcePlace place) {
    OutlineEntry entry;
    entry.place = place;
    entry.field = field;
    entry.end = end_of(place);
    const KeywordPlace where = keyword_place_of(section_);
    for (const KeywordInfo& info : keyword_table())
      if (info.place == where && matches(field, info.keyword)) entry.keywords.push_back(info.keyword);
    if (entry.keywords.empty()) return;
    try {
      for (const Keyword keyword : entry.keywords) {
        for (std::size_t index = 0; index < keyword_info(keyword).fields.size(); ++index) {
          OutlineValue value;
          if (is_text_field(keyword, index))
            value.text = reader_.read_text();
          else
            value.number = reader_.read_int32();
          value.place = reader_.last_place();
          entry.end = end_of(value.place);
          entry.values.push_back(std::move(value));
        }
      }
    } catch (const ReadFailure& failure) {
      entry.complete = false;
      keep(std::move(entry));
      if (failure.what() == std::string_view(kReadPastTheEnd)) throw;
      // As a check does: read on from the line of the failing field when it is a later one, else from the
      // next line.
      const int line = failure.place() ? failure.place().line : place.line;
      reader_.restart_at_line(line > place.line ? line : line + 1);
      return;
    }
    keep(std::move(entry));
  }

  void keep(OutlineEntry entry) {
    if (!sections_only_ && (!filter_.keep || filter_.keep(entry))) outline_.entries.push_back(std::move(entry));
  }

  FieldReader reader_;
  const OutlineFilter& filter_;
  bool sections_only_;
  Outline outline_;
  Section section_ = Section::BeforeGeneral;
};

}  // namespace

bool place_before(SourcePlace a, SourcePlace b) { return a.line < b.line || (a.line == b.line && a.column < b.column); }

std::vector<OutlineValue> OutlineEntry::values_of(Keyword keyword) const {
  std::size_t first = 0;
  for (const Keyword held : keywords) {
    const std::size_t count = keyword_info(held).fields.size();
    if (held == keyword) {
      if (first >= values.size()) return {};
      const std::size_t last = std::min(values.size(), first + count);
      return {values.begin() + static_cast<std::ptrdiff_t>(first), values.begin() + static_cast<std::ptrdiff_t>(last)};
    }
    first += count;
  }
  return {};
}

bool OutlineEntry::covers(SourcePlace at) const { return !place_before(at, place) && place_before(at, end); }

Section Outline::section_at(SourcePlace place) const {
  if (!general || !place_before(*general, place)) return Section::BeforeGeneral;
  if (source == SourceKind::Service) return Section::Service;
  if (general_end && place_before(*general_end, place)) return Section::LineEntries;
  return Section::LineGeneral;
}

const OutlineEntry* Outline::entry_at(SourcePlace place) const {
  for (const OutlineEntry& entry : entries)
    if (entry.covers(place)) return &entry;
  // A place after the last field of an entry on its line (the blanks at its end) still names the entry.
  const OutlineEntry* found = nullptr;
  for (const OutlineEntry& entry : entries)
    if (entry.end.line == place.line && !place_before(place, entry.end)) found = &entry;
  return found;
}

Outline read_outline(std::string_view text, SourceKind source, const OutlineFilter& filter) {
  return OutlineReader(text, source, filter).run();
}

Section section_at(std::string_view text, SourceKind source, SourcePlace place) {
  const OutlineFilter filter{.until = place, .keep = {}, .headers = false};
  return OutlineReader(text, source, filter, /*sections_only=*/true).run().section_at(place);
}
