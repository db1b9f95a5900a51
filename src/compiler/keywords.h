#pragma once

#include <span>
#include <string_view>

#include "scenario/format.h"
#include "scenario/source_place.h"

// Every keyword of the two source formats: how the readers recognise it, where it may stand, and its
// value fields. The readers test fields with matches(); the notes about fields passed over, the
// author's guide and the editor support read the same table.

enum class Keyword {
  // The line description's general section.
  LineLength,
  KilometricTre,
  KilometricDue,
  KilometricUno,
  BackgroundUno,
  BackgroundDue,
  BackgroundTre,
  SignalRepetition,
  // The line description's entries.
  Gradient,
  Curve,
  Mountain,
  SpeedBoard,
  InfoBoard,
  // The train service, in the order its tests run.
  BrakedMass,
  Cars,
  Speed,
  Adhesion,
  Clock,
  Sand,
  Signal,
  Slowdown,
  SpeedCut,
  Station,
};

/// Where a keyword may stand.
enum class KeywordPlace {
  LineGeneral,  // the line description, between "[generale]" and the first section header
  LineEntries,  // the line description, after the general section
  Service,      // the train service, after "[generale]"
};

/// One value field of an entry: its name, and what it holds (unit, range, what happens outside it).
struct KeywordField {
  std::string_view name;
  std::string_view meaning;
};

struct KeywordInfo {
  Keyword keyword;
  KeywordPlace place;
  /// The keyword as it is usually written ("lunghezza percorso", "curvad3").
  std::string_view written;
  /// The words a field must contain to be this keyword (all of them).
  std::span<const std::string_view> words;
  /// True: the words must stand in the field in lower case, as written; false: in any case.
  bool exact_case;
  std::span<const KeywordField> fields;
  /// What the entry does, in a line.
  std::string_view summary;
};

/// Every keyword, in the order the readers test them.
std::span<const KeywordInfo> keyword_table();
const KeywordInfo& keyword_info(Keyword keyword);

/// True when `field` is this keyword: it contains each of its words, in the keyword's case rule.
bool matches(std::string_view field, Keyword keyword);
/// True when `field` would be this keyword but for the case of its letters (an exact-case keyword).
bool matches_but_for_case(std::string_view field, Keyword keyword);
/// True when a field holds, in any case, a word of a keyword of that source (or "generale"): a field
/// the author surely meant as a keyword. The three-letter words ("uno", "due", "tre") tell nothing alone.
bool mentions_keyword(std::string_view field, SourceKind source);

/// The sharpness of a curve keyword: the first of the digits 1 to 6 that the field holds, tested in that
/// order (so "curva 42" is sharpness 2); nothing when it holds none (error 103).
const CurveSharpness* curve_sharpness(std::string_view field);
/// A curve keyword that holds the letter "s", in any case, turns left; any other turns right.
bool curve_turns_left(std::string_view field);

/// A section header such as "[curve]": it holds both brackets.
bool is_section_header(std::string_view field);
