#pragma once

// The entries of a source as the readers take them, for the editor: where each keyword field stands, the
// keywords it holds and the values read for them, the section headers, and where the general section
// begins and ends. It follows the readers' rules (fields across line ends, the text before "[generale]"
// passed over, comment fields, the file's last field never read, a field holding several keywords) and,
// like a check, reads on after a value that is no number, from the line the readers would.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/keywords.h"
#include "scenario/source_place.h"

/// Where a place of a source lies, for the keywords that may stand there.
enum class Section {
  BeforeGeneral,  // before the field "[generale]": passed over
  LineGeneral,    // the line description's general section
  LineEntries,    // the line description after its general section
  Service,        // the train service after "[generale]"
};

/// A value read for an entry: the place of its field, and the number it holds (none for a text).
struct OutlineValue {
  SourcePlace place;
  std::optional<int32_t> number;
  std::string text;  // for a text field (a name, a board's text)
};

struct OutlineEntry {
  SourcePlace place;                 // the keyword field
  std::string field;                 // its text
  std::vector<Keyword> keywords;     // every keyword it holds, in the order their values are read
  std::vector<OutlineValue> values;  // the values of the keywords, in order
  SourcePlace end;                   // just after the last field of the entry
  bool complete = true;              // false when a value was no number or the file ended inside the entry

  /// The values of the first keyword, or of the one given (empty when the entry ended before them).
  std::vector<OutlineValue> values_of(Keyword keyword) const;
  /// True when a place lies in the entry, from its keyword field to the end of its last field.
  bool covers(SourcePlace place) const;
};

struct OutlineHeader {
  SourcePlace place;
  SourcePlace end;
  std::string text;
};

struct Outline {
  SourceKind source = SourceKind::Line;
  std::optional<SourcePlace> general;      // the field that holds "[generale]"
  std::optional<SourcePlace> general_end;  // the line description: the header that ends its general section
  std::vector<OutlineHeader> headers;      // every section header read, "[generale]" first
  std::vector<OutlineEntry> entries;

  /// The section a place lies in.
  Section section_at(SourcePlace place) const;
  /// The entry that covers a place, if any.
  const OutlineEntry* entry_at(SourcePlace place) const;
};

/// What of an outline is read and kept, so that a question about one place or one kind of entry holds
/// only what it needs, whatever the size of the source.
struct OutlineFilter {
  /// Read nothing that starts after this place.
  std::optional<SourcePlace> until;
  /// Keep only the entries it accepts (every entry without it).
  std::function<bool(const OutlineEntry&)> keep;
  /// Keep the section headers ("[generale]" and the end of the general section are kept always).
  bool headers = true;
};

/// The outline of a source's compiled text (Windows-1252), or of the part the filter asks for.
Outline read_outline(std::string_view text, SourceKind source, const OutlineFilter& filter = {});

/// The section a place of a source lies in, read no further than that place, and no further than the
/// end of the general section. The text may be the file's own (UTF-8 or Windows-1252): the readers'
/// rules look only at ASCII bytes, so the fields and the sections are the same, and the place is then a
/// place of the file.
Section section_at(std::string_view text, SourceKind source, SourcePlace place);

/// True when place `a` comes before place `b` of the same source.
bool place_before(SourcePlace a, SourcePlace b);
