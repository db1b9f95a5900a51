#include "scenario/diagnostics.h"

#include <array>

#include "platform/windows1252.h"
#include "scenario/error_codes.h"

namespace {

struct KindText {
  WarningKind kind;
  std::string_view name;
  std::string_view description;
};

constexpr std::array<KindText, 32> kKinds{{
    {WarningKind::NotAKeyword, "not-a-keyword", "a field that is no keyword is passed over"},
    {WarningKind::KeywordTakenForComment, "keyword-taken-for-comment",
     "a keyword field that contains \"-\" is taken for a comment and its entry is lost"},
    {WarningKind::KeywordLastField, "keyword-last-field", "the last field of a file is never read"},
    {WarningKind::KeywordCase, "keyword-case", "a keyword that needs its exact case is written in another case"},
    {WarningKind::GradientOrder, "gradient-order", "gradient entries out of position order"},
    {WarningKind::ObjectOverwritten, "object-overwritten", "an object written over another"},
    {WarningKind::ValueCut, "value-cut", "a value cut to its low 8 or 16 bits"},
    {WarningKind::SourceNotRead, "source-not-read", "a source that is empty, not text, or without \"[generale]\""},
    {WarningKind::UnclosedQuote, "unclosed-quote",
     "a quote that is never closed takes the rest of the file into one field"},
    {WarningKind::PastLineEnd, "past-line-end", "a slowdown that runs past the end of the line"},
    {WarningKind::MountainChanged, "mountain-changed",
     "a mountain stretch that places nothing, or whose type the 150 m rule changed"},
    {WarningKind::CurveOverlap, "curve-overlap", "a curve that starts before the previous one ends"},
    {WarningKind::TimeOutOfRange, "time-out-of-range", "a timetable minute or second above 59"},
    {WarningKind::ProfileGap, "profile-gap", "a line speed or adhesion of 0 before the first entry of its kind"},
    {WarningKind::FileNamesDiffer, "file-names-differ",
     "the line key or the train number differ between the two file names"},
    {WarningKind::NotWindows1252, "not-windows-1252", "text that is not Windows-1252 text, such as UTF-8"},
    {WarningKind::TimetableShort, "timetable-short",
     "the timetable gives a run between two stops less time than the default train needs"},
    {WarningKind::TimetableSlack, "timetable-slack",
     "the timetable gives a run between two stops far more time than the default train needs"},
    {WarningKind::TimetableNoRun, "timetable-no-run",
     "the default train cannot run between two stops: a speed limit of 0 or a climb it cannot make"},
    {WarningKind::LineNotPositive, "line-not-positive",
     "a line length of 0 m or less: the line has no track of its own"},
    {WarningKind::StationTimeOrder, "station-time-order",
     "a station due at the same time as the station before it, or earlier"},
    {WarningKind::TimePastDay, "time-past-day", "a timetable time above 23:59:59"},
    {WarningKind::BeyondLineEnd, "beyond-line-end",
     "a station, signal or board past the end of the line, in the grid's tail"},
    {WarningKind::PlatformBeforeStart, "platform-before-start",
     "a platform that begins before 0 m: its approach marks are dropped"},
    {WarningKind::SpeedZero, "speed-zero", "a line speed, slowdown or speed board of 0 km/h"},
    {WarningKind::BoardLineSpeed, "board-line-speed",
     "a speed board whose speed for the train's rank is not the line speed near it"},
    {WarningKind::TrainDataRange, "train-data-range",
     "cars, braked-mass percentage, sand supply or adhesion outside a plausible range"},
    {WarningKind::SignalInPlatform, "signal-in-platform", "a signal that stands inside a platform"},
    {WarningKind::SlowdownOnPlatform, "slowdown-on-platform", "a slowdown that begins or ends along a platform"},
    {WarningKind::KilometricText, "kilometric-text",
     "an information board whose kilometre text is not the kilometric progressive where it stands"},
    {WarningKind::PositionMoved, "position-moved",
     "a signal, speed board or slowdown whose position is not a multiple of 50 m, moved to its cell"},
    {WarningKind::ServiceReadInPart, "service-read-in-part",
     "after a position beyond the grid in the line description, the train service is read only up to its "
     "first signal or slowdown"},
}};

const KindText& text_of(WarningKind kind) {
  for (const KindText& text : kKinds)
    if (text.kind == kind) return text;
  return kKinds.front();
}

}  // namespace

std::string_view warning_kind_name(WarningKind kind) { return text_of(kind).name; }
std::string_view warning_kind_description(WarningKind kind) { return text_of(kind).description; }

std::vector<WarningKind> warning_kinds() {
  std::vector<WarningKind> kinds;
  for (const KindText& text : kKinds) kinds.push_back(text.kind);
  return kinds;
}

void Diagnostics::add(Diagnostic diagnostic) {
  const bool error = diagnostic.severity == Severity::Error;
  if (error) {
    const SourcePlace place = diagnostic.place.value_or(SourcePlace{});
    const auto key = std::make_tuple(diagnostic.code, diagnostic.cell.value_or(-1), static_cast<int>(place.source),
                                     place.line, place.column);
    if (kept_errors_.contains(key)) return;
    if (kept_by_kind_[diagnostic.code] < kMaxPerKind) kept_errors_.insert(key);
  }
  ++(error ? errors_ : warnings_);
  const int64_t key = error ? int64_t{diagnostic.code} : -1 - static_cast<int64_t>(diagnostic.warning);
  std::size_t& kept = kept_by_kind_[key];
  if (kept < kMaxPerKind) {
    ++kept;
    kept_.push_back(std::move(diagnostic));
    return;
  }
  for (Omitted& omitted : omitted_) {
    if (omitted.severity == diagnostic.severity && omitted.code == diagnostic.code &&
        (error || omitted.warning == diagnostic.warning)) {
      ++omitted.count;
      return;
    }
  }
  omitted_.push_back({diagnostic.severity, diagnostic.code, diagnostic.warning, 1});
}

void Diagnostics::clear() { *this = Diagnostics{}; }

Diagnostics Diagnostics::without_warnings() const {
  Diagnostics errors = *this;
  std::erase_if(errors.kept_, [](const Diagnostic& d) { return d.severity == Severity::Warning; });
  std::erase_if(errors.omitted_, [](const Omitted& o) { return o.severity == Severity::Warning; });
  std::erase_if(errors.kept_by_kind_, [](const auto& kind) { return kind.first < 0; });
  errors.warnings_ = 0;
  return errors;
}

std::string error_id(int32_t code) {
  // Appended rather than "E" + text, which g++ 12 warns about wrongly (-Wrestrict).
  std::string id = "E";
  id += std::to_string(code);
  return id;
}

std::string rule_id(const Diagnostic& diagnostic) {
  if (diagnostic.severity == Severity::Warning) return std::string(warning_kind_name(diagnostic.warning));
  return diagnostic.code != 0 ? error_id(diagnostic.code) : "input-encoding";
}

SourceKind file_of(const Diagnostic& diagnostic) {
  if (diagnostic.place) return diagnostic.place->source;
  switch (diagnostic.code) {
    case kErrorSignalControlPoint:
    case kErrorSlowdownControlPoint:
    case kErrorSlowdownWalk:
    case kErrorStationRecords:
    case kErrorMarkerTaken:
    case kErrorCodeTaken:
      return SourceKind::Service;
    default:
      return SourceKind::Line;
  }
}

std::string diagnostic_text(const Diagnostic& diagnostic) {
  std::string text = shown_text(diagnostic.message);
  if (diagnostic.position) {
    text += " (at " + std::to_string(*diagnostic.position) + " m";
    if (diagnostic.cell) text += ", cell " + std::to_string(*diagnostic.cell);
    text += ")";
  }
  if (!diagnostic.detail.empty()) text += ": " + shown_text(diagnostic.detail);
  return text;
}
