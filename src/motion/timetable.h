#pragma once

// The timetable against the train: for each pair of consecutive stops, the running time the timetable
// gives, the least the train needs (its fastest run), the margin between them and a verdict.
//
// Every station of the service is a stop. A station's time is its departure, the last station's its
// arrival; the train stands a dwell at each stop, so the timetable gives a run the next station's time
// less the dwell (the last station's time alone), less the previous station's time.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/stations.h"
#include "motion/fastest_run.h"
#include "motion/motion_line.h"
#include "motion/train.h"

struct TimetableSettings {
  double dwell = 20;  // s: the stop at a suburban station at a quiet hour
  RunSettings run;
};

/// What a margin says. The recovery margins of railway practice are a few percent of the running time,
/// 3 to 7 %; a timetable in whole minutes may round a time by up to a minute more.
enum class Verdict {
  CannotBeKept,  // the timetable gives less than the fastest run
  Tight,         // a margin below kTightPercent of the fastest run: less than the least recovery
  Normal,
  Slack,  // a margin above kSlackPercent of the fastest run plus kSlackSeconds: more than the most
          // recovery and a whole minute of rounding together
};
inline constexpr double kTightPercent = 3;
inline constexpr double kSlackPercent = 7;
inline constexpr double kSlackSeconds = 60;

/// The word of a verdict: "cannot be kept", "tight", "normal", "slack".
const char* verdict_name(Verdict verdict);

/// One run between two consecutive stops.
struct StopRun {
  std::size_t from = 0;  // the stations' indices in the list given
  std::size_t to = 0;
  int64_t scheduled = 0;      // s
  RunResult run;              // the fastest run; run.blocked when the train cannot make it
  double margin = 0;          // s: scheduled less the fastest run's time
  double margin_percent = 0;  // of the fastest run's time
  Verdict verdict = Verdict::Normal;
  std::string why;  // what slows the run: "a 30 km/h slowdown over 1600 m, 25 per mille uphill"

  bool possible() const { return !run.blocked; }
};

/// Every run of the service, in order: the pairs of consecutive stations that follow each other along
/// the line (a pair out of line order is left out: the compiler refuses it).
std::vector<StopRun> timetable_runs(const Train& train, const MotionLine& line, const std::vector<Station>& stations,
                                    const TimetableSettings& settings);

/// The verdict of a margin.
Verdict verdict_of(double margin, double minimum);

/// A duration as the timetable shows it: "2:30", "1:02:03", "-0:42".
std::string duration_text(double seconds);
/// A time of day: "16:22:40".
std::string time_of_day_text(int64_t seconds);

/// Why a blocked run cannot be made: "the line's speed limit is 0 km/h at 12450 m".
std::string blocked_text(const RunBlocked& blocked, const MotionLine& line);
