#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "scenario/source_place.h"

// What a compilation tells the author: errors (a code of the error table) and warnings (what the
// format passes over or changes silently), each with its place in a source where it has one, the
// position in metres and the cell it concerns, and related places (such as the entry whose object
// holds a cell). Every printer (text, JSON, SARIF, an editor) reads them from one sink; none re-derives
// a place.

enum class Severity : uint8_t { Error, Warning };

/// The kinds of warnings; each has a stable name for tools.
enum class WarningKind : uint8_t {
  NotAKeyword,             // a field that matches no keyword, passed over
  KeywordTakenForComment,  // a keyword field that contains "-", taken for a comment
  KeywordLastField,        // a keyword that is the last field of the file, never read
  KeywordCase,             // an exact-case keyword written in another case
  GradientOrder,           // gradient entries out of position order
  ObjectOverwritten,       // an object or a mark written over another
  ValueCut,                // a value cut to its low 8 or 16 bits
  SourceNotRead,           // a source that is empty, not text, or without "[generale]"
  UnclosedQuote,           // a quote never closed, which takes the rest of the file into one field
  PastLineEnd,             // a slowdown that runs past the end of the line
  MountainChanged,         // a mountain stretch that places nothing, or whose type the 150 m rule changed
  CurveOverlap,            // a curve that starts before the previous one ends
  TimeOutOfRange,          // a timetable minute or second above 59
  ProfileGap,              // a line speed or adhesion of 0 before the first entry of its kind
  FileNamesDiffer,         // line key or train number that differ between the two file names
  NotWindows1252,          // text that is not Windows-1252, such as UTF-8
  TimetableShort,          // a run between two stops that the timetable gives less time than the train needs
  TimetableSlack,          // a run that the timetable gives far more time than the train needs
  TimetableNoRun,          // a run between two stops that the train cannot make at all
  LineNotPositive,         // a line length of 0 m or less
  // What a railway would not run, though the format takes it (the review's plausibility pass).
  StationTimeOrder,     // a station due no later than the station before it
  TimePastDay,          // a timetable time above 23:59:59
  BeyondLineEnd,        // a station, signal or board past the end of the line, in the grid's tail
  PlatformBeforeStart,  // a platform that begins before 0 m
  SpeedZero,            // a line speed, slowdown or speed board of 0 km/h
  BoardLineSpeed,       // a speed board that disagrees with the line speed near it
  TrainDataRange,       // cars, braked mass, sand or adhesion outside a plausible range
  SignalInPlatform,     // a signal that stands inside a platform
  SlowdownOnPlatform,   // a slowdown that begins or ends along a platform
  KilometricText,       // an information board whose kilometre text differs from the progressive there
  PositionMoved,        // a signal, speed board or slowdown placed in its cell, away from its position
  ServiceReadInPart,    // the train service's reading ends at its first signal or slowdown (after a line E15)
};

/// The stable name of a warning kind ("not-a-keyword", ...) and a one-line description.
std::string_view warning_kind_name(WarningKind kind);
std::string_view warning_kind_description(WarningKind kind);
/// Every warning kind, in order.
std::vector<WarningKind> warning_kinds();

/// A place related to a diagnostic, with what it has to do with it.
struct RelatedPlace {
  SourcePlace place;
  std::string message;
};

struct Diagnostic {
  Severity severity = Severity::Error;
  int32_t code = 0;                                // the error code; 0 for a warning
  WarningKind warning = WarningKind::NotAKeyword;  // for a warning
  std::optional<SourcePlace> place;                // none for what has no place in a source
  std::optional<int32_t> position;                 // metres from the start of the line
  std::optional<int64_t> cell;                     // the grid cell it concerns
  std::string message;                             // what is wrong, without the code
  std::string detail;                              // why, in this case: the cause, the occupant, the limit broken
  std::vector<RelatedPlace> related;
};

/// Diagnostics found beyond those kept: how many of one code or one kind of warning.
struct Omitted {
  Severity severity = Severity::Warning;
  int32_t code = 0;
  WarningKind warning = WarningKind::NotAKeyword;
  std::size_t count = 0;
};

/// The sink of one compilation. Keeps, of each error code and of each kind of warning, the first
/// kMaxPerKind found; the others are only counted, so that a source of a million faulty lines costs
/// neither a million messages nor their memory. An error that repeats one kept (same code, cell and
/// place) is dropped: it follows from the first.
class Diagnostics {
 public:
  static constexpr std::size_t kMaxPerKind = 100;

  void add(Diagnostic diagnostic);
  void clear();
  /// The same sink with its warnings taken out (kept and counted), its errors as they are.
  Diagnostics without_warnings() const;

  /// The diagnostics kept, in the order they were found.
  const std::vector<Diagnostic>& all() const { return kept_; }
  /// Every error and every warning found, those only counted included.
  std::size_t errors() const { return errors_; }
  std::size_t warnings() const { return warnings_; }
  /// What was found beyond those kept, by code or kind, in the order the kinds first overflowed.
  const std::vector<Omitted>& omitted() const { return omitted_; }

 private:
  std::vector<Diagnostic> kept_;
  std::map<int64_t, std::size_t> kept_by_kind_;  // errors by code, warnings by kind (negative keys)
  std::set<std::tuple<int32_t, int64_t, int, int, int>> kept_errors_;  // code, cell, source, line, column
  std::vector<Omitted> omitted_;
  std::size_t errors_ = 0;
  std::size_t warnings_ = 0;
};

/// The id of an error code: "E16".
std::string error_id(int32_t code);
/// The rule id of a diagnostic for tools: "E16", a warning kind's name, or "input-encoding" for an error
/// of the conversion of a source that has no code.
std::string rule_id(const Diagnostic& diagnostic);
/// The source a diagnostic concerns: the source of its place, or for one without a place the source
/// whose entries its code speaks of (the finishing pass, the station records and the reserved places of
/// the output concern the train service, the others the line description).
SourceKind file_of(const Diagnostic& diagnostic);
/// What a diagnostic says, as every printer shows it (in UTF-8, see shown_text): its message, the
/// position and the cell when it has them, and the detail: "speed board on an occupied cell (at 850 m,
/// cell 18): cell 18 (850 m) holds ...".
std::string diagnostic_text(const Diagnostic& diagnostic);
