#include "review/timetable_review.h"

#include <cmath>

#include "model/curves.h"
#include "review/plausibility.h"

namespace {

std::string seconds_text(double seconds) {
  return std::to_string(static_cast<long long>(std::nearbyint(std::fabs(seconds)))) + " s";
}

std::string percent_text(double percent) {
  return std::to_string(static_cast<long long>(std::nearbyint(percent))) + " %";
}

}  // namespace

Result<ScenarioTimetable> timetable_of(const RunState& state, const TimetableOptions& options) {
  // The findings need each run's time, not its speed curve.
  TimetableOptions review = options;
  review.settings.run.keep_points = false;
  return scenario_timetable(state.grid, state.table, curve_stretches(state.trace), review);
}

std::string run_finding(const ScenarioTimetable& timetable, const StopRun& run) {
  const std::string& from = timetable.from(run).name;
  const std::string& to = timetable.to(run).name;
  if (run.run.blocked)
    return "the train cannot run from " + from + " to " + to + ": " + blocked_text(*run.run.blocked, timetable.line);
  std::string text = "the timetable gives " + duration_text(static_cast<double>(run.scheduled)) + " from " + from +
                     " to " + to + "; the train needs ";
  text += run.verdict == Verdict::Slack ? duration_text(run.run.time) + " at the fastest"
                                        : "at least " + duration_text(run.run.time);
  if (!run.why.empty()) text += " (" + run.why + ")";
  if (run.verdict == Verdict::CannotBeKept) return text + ": " + seconds_text(run.margin) + " short";
  return text + ": a margin of " + duration_text(run.margin) + " (" + percent_text(run.margin_percent) +
         "), far above the few percent of recovery a timetable needs";
}

void add_timetable_warnings(RunState& state, const TimetableOptions& options) {
  if (state.diagnostics.errors() > 0 || !state.grid.exists()) return;
  const auto timetable = timetable_of(state, options);
  if (!timetable) return;
  const auto place_of = [&](const Station& station) {
    return state.record_places[static_cast<std::size_t>(station.record)];
  };
  if (!timetable->stations.empty()) {
    const Station& first = timetable->stations.front();
    const int64_t clock = timetable->train_data.clock();
    if (first.time < clock)
      warn(state, WarningKind::TimetableShort, place_of(first),
           "the timetable gives the departure from " + first.name + " at " + time_of_day_text(first.time) +
               ", before the clock at the start, " + time_of_day_text(clock) + ": " +
               seconds_text(static_cast<double>(clock - first.time)) + " late at the start");
  }
  for (const StopRun& run : timetable->runs) {
    const std::optional<WarningKind> kind = run.run.blocked                        ? WarningKind::TimetableNoRun
                                            : run.verdict == Verdict::CannotBeKept ? WarningKind::TimetableShort
                                            : run.verdict == Verdict::Slack
                                                ? std::optional<WarningKind>(WarningKind::TimetableSlack)
                                                : std::nullopt;
    if (kind) warn(state, *kind, place_of(timetable->to(run)), run_finding(*timetable, run));
  }
}

PairCheck review_pair(Sources& sources, const PairNames& names, const TimetableOptions& options) {
  PairCheck check = check_pair(sources, names);
  if (check.state) {
    add_plausibility_warnings(*check.state, options.rank);
    add_timetable_warnings(*check.state, options);
  }
  return check;
}

std::optional<std::string> station_run_text(const RunState& state, int record, const TimetableOptions& options) {
  if (state.diagnostics.errors() > 0 || !state.grid.exists()) return std::nullopt;
  const auto timetable = timetable_of(state, options);
  if (!timetable) return std::nullopt;
  for (const StopRun& run : timetable->runs) {
    if (timetable->to(run).record != record) continue;
    const Station& from = timetable->from(run);
    std::string text = "Run from " + from.name + " (" + std::to_string(timetable->to(run).metre - from.metre) + " m): ";
    if (run.run.blocked)
      return text + "the train cannot make it: " + blocked_text(*run.run.blocked, timetable->line) + ".";
    text += "the timetable gives " + duration_text(static_cast<double>(run.scheduled)) + ", the train needs at least " +
            duration_text(run.run.time) + "; margin " + (run.margin < 0 ? "-" : "") + seconds_text(run.margin) + " (" +
            percent_text(run.margin_percent) + "), " + verdict_name(run.verdict) + ".";
    return text;
  }
  return std::nullopt;
}
