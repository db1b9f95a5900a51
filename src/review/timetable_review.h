#pragma once

// The whole check of an author's pair: what the compiler finds (compiler/source_check.h), then whether
// the default train can keep the timetable. The timetable warnings stand at the station entries.

#include <optional>
#include <string>

#include "compiler/source_check.h"
#include "motion/scenario_timetable.h"
#include "scenario/run_state.h"

/// Adds the timetable's warnings to a compiled scenario: for each run between two stops that the
/// timetable gives less time than the fastest run (timetable-short), far more (timetable-slack), or
/// that the train cannot make (timetable-no-run), at the entry of the station the run ends at; and a
/// first departure before the clock at the start (timetable-short). Nothing after an error of the
/// compilation (its grid is not what the format gives) or when the rolling stock is refused.
void add_timetable_warnings(RunState& state, const TimetableOptions& options = {});

/// check_pair, then the plausibility warnings (review/plausibility.h) and the timetable's warnings.
PairCheck review_pair(Sources& sources, const PairNames& names, const TimetableOptions& options = {});

/// The run that ends at a station (its record), for a hover: "Run from ACILIA (1650 m): the timetable
/// gives 4:00, the train needs at least 3:12; margin 48 s (25 %), normal." Nothing for the first station,
/// a record that is no station, or a compilation with an error.
std::optional<std::string> station_run_text(const RunState& state, int record, const TimetableOptions& options = {});

/// The check of the timetable of a compiled run state (the curves read from its plan trace). Its runs
/// keep their times, not their speed curves (points).
Result<ScenarioTimetable> timetable_of(const RunState& state, const TimetableOptions& options);

/// The warning's text of a run: "the timetable gives 2:30 from ACILIA to VITINIA; the train needs at
/// least 3:12 (a 30 km/h slowdown over 1600 m, 25 per mille uphill): 42 s short" (Windows-1252).
std::string run_finding(const ScenarioTimetable& timetable, const StopRun& run);
