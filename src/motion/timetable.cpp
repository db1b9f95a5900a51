#include "motion/timetable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const char* verdict_name(Verdict verdict) {
  switch (verdict) {
    case Verdict::CannotBeKept:
      return "cannot be kept";
    case Verdict::Tight:
      return "tight";
    case Verdict::Normal:
      return "normal";
    case Verdict::Slack:
      return "slack";
  }
  return "normal";
}

Verdict verdict_of(double margin, double minimum) {
  if (margin < 0) return Verdict::CannotBeKept;
  if (margin < minimum * kTightPercent / 100.0) return Verdict::Tight;
  if (margin > minimum * kSlackPercent / 100.0 + kSlackSeconds) return Verdict::Slack;
  return Verdict::Normal;
}

std::string duration_text(double seconds) {
  const bool negative = seconds < 0;
  const auto whole = static_cast<int64_t>(std::nearbyint(std::fabs(seconds)));
  char text[48];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", negative ? "-" : "", static_cast<long long>(whole / 3600),
                  static_cast<long long>(whole / 60 % 60), static_cast<long long>(whole % 60));
  else
    std::snprintf(text, sizeof text, "%s%lld:%02lld", negative ? "-" : "", static_cast<long long>(whole / 60),
                  static_cast<long long>(whole % 60));
  return text;
}

std::string time_of_day_text(int64_t seconds) {
  const int64_t day = ((seconds % 86400) + 86400) % 86400;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(day / 3600),
                static_cast<long long>(day / 60 % 60), static_cast<long long>(day % 60));
  return text;
}

namespace {

std::string whole(double value) { return std::to_string(static_cast<long long>(std::nearbyint(value))); }

/// "a" or "an" before a number said aloud: "an 80 km/h limit", "an 11 per mille climb".
std::string article(const std::string& number) {
  return number.front() == '8' || number == "11" || number == "18" ? "an " : "a ";
}

/// What slows a run between two positions: its slowdowns, the lowest limit of the line below the
/// train's speed, and its steepest climb.
std::string why_slow(const Train& train, const MotionLine& line, double from, double to) {
  std::vector<std::string> parts;
  for (const SpeedRestriction& r : line.restrictions)
    if (r.from < to && r.to > from && parts.size() < 2)
      parts.push_back(article(whole(m_s_to_km_h(r.speed))) + whole(m_s_to_km_h(r.speed)) + " km/h slowdown over " +
                      whole(r.to - r.from) + " m");
  double lowest = train.max_speed;
  double steepest = 0;
  const auto visit = [&](const Profile& profile, auto&& use) {
    use(profile.at(from));
    for (const ProfileStep& step : profile.steps())
      if (step.from > from && step.from < to) use(step.value);
  };
  visit(line.line_speed, [&](double v) { lowest = std::min(lowest, v); });
  visit(line.board_speed, [&](double v) { lowest = std::min(lowest, v); });
  visit(line.gradient, [&](double g) { steepest = std::max(steepest, g); });
  if (lowest < train.max_speed - 1e-9)
    parts.push_back(article(whole(m_s_to_km_h(lowest))) + whole(m_s_to_km_h(lowest)) + " km/h limit");
  if (steepest >= 10) parts.push_back(whole(steepest) + " \x89 uphill");  // the per mille sign, Windows-1252
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

}  // namespace

std::vector<StopRun> timetable_runs(const Train& train, const MotionLine& line, const std::vector<Station>& stations,
                                    const TimetableSettings& settings) {
  std::vector<StopRun> runs;
  for (std::size_t i = 1; i < stations.size(); ++i) {
    const Station& from = stations[i - 1];
    const Station& to = stations[i];
    if (to.metre <= from.metre) continue;
    StopRun run;
    run.from = i - 1;
    run.to = i;
    const bool last = i + 1 == stations.size();
    const double dwell = last ? 0.0 : settings.dwell;
    run.scheduled = int64_t{to.time} - int64_t{from.time} - static_cast<int64_t>(std::nearbyint(dwell));
    run.run = fastest_run(train, line, from.metre, to.metre, settings.run);
    if (run.possible()) {
      run.margin = static_cast<double>(run.scheduled) - run.run.time;
      run.margin_percent = run.run.time > 0 ? 100.0 * run.margin / run.run.time : 0.0;
      run.verdict = verdict_of(run.margin, run.run.time);
    } else {
      run.verdict = Verdict::CannotBeKept;
    }
    run.why = why_slow(train, line, from.metre, to.metre);
    runs.push_back(std::move(run));
  }
  return runs;
}

std::string blocked_text(const RunBlocked& blocked, const MotionLine& line) {
  const std::string where = whole(blocked.position) + " m";
  if (blocked.reason == RunBlocked::Reason::ZeroLimit) return "the speed limit is 0 km/h at " + where;
  if (blocked.reason == RunBlocked::Reason::OffTheLine) return "the stop at " + where + " lies off the line";
  const std::string gradient = whole(line.gradient.at(blocked.position));
  return "the train stalls at " + where + " (" + article(gradient) + gradient + " \x89 gradient, adhesion " +
         whole(100 * line.adhesion.at(blocked.position)) + " %)";
}
