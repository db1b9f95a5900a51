#include "motion/fastest_run.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <queue>
#include <set>
#include <utility>

namespace {

constexpr double kTiny = 1e-9;

/// The first step of a profile that begins after `position`.
std::size_t first_after(const Profile& profile, double position) {
  const auto& steps = profile.steps();
  return static_cast<std::size_t>(std::upper_bound(steps.begin(), steps.end(), position,
                                                   [](double p, const ProfileStep& step) { return p < step.from; }) -
                                  steps.begin());
}

/// Reads a profile at increasing positions from `start` on, in constant time per step.
class ProfileCursor {
 public:
  ProfileCursor(const Profile& profile, double start) : profile_(profile), next_(first_after(profile, start)) {}
  double at(double position) {
    const auto& steps = profile_.steps();
    while (next_ < steps.size() && steps[next_].from <= position) ++next_;
    return next_ == 0 ? profile_.before() : steps[next_ - 1].value;
  }

 private:
  const Profile& profile_;
  std::size_t next_ = 0;
};

/// The ends of the steps: every change of a profile within the stretch, every place where the tail
/// leaves a change of the limit, and as many more as keep each step within `step`.
std::vector<double> step_ends(const MotionLine& line, double start, double from, double to, double length,
                              double step) {
  std::vector<double> marks{start, from, to};
  const auto mark = [&](double position) {
    if (position > start && position < to) marks.push_back(position);
  };
  const auto mark_limit = [&](double position) {
    mark(position);
    mark(position + length);
  };
  // Only the steps within the stretch: a run costs its own length, not the line's.
  const auto each_step = [&](const Profile& profile, double from_position, auto&& use) {
    const auto& steps = profile.steps();
    for (std::size_t i = first_after(profile, from_position); i < steps.size() && steps[i].from < to; ++i)
      use(steps[i].from);
  };
  for (const Profile* profile : {&line.gradient, &line.radius, &line.tunnel, &line.adhesion})
    each_step(*profile, start, mark);
  for (const Profile* profile : {&line.line_speed, &line.board_speed}) each_step(*profile, start - length, mark_limit);
  for (const SpeedRestriction& r : line.restrictions) {
    mark_limit(r.from);
    mark_limit(r.to);
  }
  for (const SpeedPoint& p : line.points) mark_limit(p.position);
  mark_limit(0);  // the line's start: no limit behind it
  std::sort(marks.begin(), marks.end());
  std::vector<double> ends;
  ends.reserve(static_cast<std::size_t>((to - start) / step) + marks.size() + 2);
  for (const double m : marks) {
    if (!ends.empty() && m - ends.back() < 1e-6) continue;
    if (!ends.empty()) {
      const double gap = m - ends.back();
      const double pieces = std::ceil(gap / step - kTiny);
      const double base = ends.back();
      for (double i = 1; i < pieces; ++i) ends.push_back(base + gap * i / pieces);
    }
    ends.push_back(m);
  }
  return ends;
}

/// The train's speed after `h` metres of full traction from `speed`, where its acceleration is
/// `at_speed` (Heun's method on v^2, which is exact for a constant acceleration); a negative value when
/// the train would stop on the way.
double accelerated(const Train& train, double speed, double at_speed, double h, const TrackForces& track) {
  const double w = speed * speed;
  const double k1 = 2.0 * at_speed;
  const double predicted = w + h * k1;
  if (predicted <= 0) return -1;
  const double k2 = 2.0 * acceleration(train, std::sqrt(predicted), track);
  const double next = w + h * (k1 + k2) / 2.0;
  return next <= 0 ? -1 : std::sqrt(next);
}

/// The speed `h` metres before a point passed at `speed`, braking all the way (the same method,
/// backward).
double braked(const Train& train, double speed, double h, const TrackForces& track) {
  const double w = speed * speed;
  if (!track.brakes_by_adhesion) return std::sqrt(w + 2.0 * h * track.braking);
  const double k1 = 2.0 * braking_deceleration(train, speed, track);
  const double predicted = w + h * k1;
  const double k2 = 2.0 * braking_deceleration(train, std::sqrt(predicted), track);
  return std::sqrt(w + h * (k1 + k2) / 2.0);
}

/// Whether two steps lie on the same track: the same conditions, to the bit (so that a step's forces are
/// those it would get of its own).
bool same_track(const TrackConditions& a, const TrackConditions& b) {
  const auto bits = [](double value) { return std::bit_cast<std::uint64_t>(value); };
  return bits(a.gradient) == bits(b.gradient) && bits(a.radius) == bits(b.radius) && a.tunnel == b.tunnel &&
         bits(a.adhesion) == bits(b.adhesion);
}

}  // namespace

RunResult fastest_run(const Train& train, const MotionLine& line, double from, double to, const RunSettings& settings) {
  RunResult result;
  if (!(to > from)) return result;
  // A stop off the line: nothing to run on there (and no cost that grows with a hostile position).
  if (from < 0 || to > line.end) {
    result.blocked = RunBlocked{RunBlocked::Reason::OffTheLine, from < 0 ? from : to};
    return result;
  }
  const double step = settings.step > 0 ? settings.step : 5.0;
  const double length = std::max(0.0, train.length);
  const double start = from - length;
  const std::vector<double> x = step_ends(line, start, from, to, length, step);
  const std::size_t nodes = x.size();
  const std::size_t intervals = nodes - 1;
  const std::size_t first = static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), from - 1e-6) - x.begin());

  // The limit and the track of each step, read at its middle. Neighbouring steps mostly lie on the same
  // track: each distinct track's forces are worked out once, and a step keeps the index of its own.
  std::vector<double> raw(intervals);
  std::vector<TrackForces> forces;
  std::vector<std::uint32_t> track_of(intervals);
  {
    ProfileCursor line_speed(line.line_speed, start), board(line.board_speed, start), gradient(line.gradient, start),
        radius(line.radius, start), tunnel(line.tunnel, start), adhesion(line.adhesion, start);
    // Only the slowdowns that reach the stretch: one that ends before it or begins after it never
    // covers a step's middle, and a run costs its own length, not the line's.
    std::vector<SpeedRestriction> restrictions;
    for (const SpeedRestriction& r : line.restrictions)
      if (r.to > start && r.from < to) restrictions.push_back(r);
    std::sort(restrictions.begin(), restrictions.end(),
              [](const SpeedRestriction& a, const SpeedRestriction& b) { return a.from < b.from; });
    std::multiset<double> active;
    using Ending = std::pair<double, double>;  // end, speed
    std::priority_queue<Ending, std::vector<Ending>, std::greater<>> endings;
    std::size_t next_restriction = 0;
    for (std::size_t k = 0; k < intervals; ++k) {
      const double mid = (x[k] + x[k + 1]) / 2.0;
      while (next_restriction < restrictions.size() && restrictions[next_restriction].from <= mid) {
        const SpeedRestriction& r = restrictions[next_restriction++];
        if (r.to > mid) {
          active.insert(r.speed);
          endings.push({r.to, r.speed});
        }
      }
      while (!endings.empty() && endings.top().first <= mid) {
        active.erase(active.find(endings.top().second));
        endings.pop();
      }
      double limit = train.max_speed;
      if (mid >= 0) {
        limit = std::min({limit, line_speed.at(mid), board.at(mid)});
        if (!active.empty()) limit = std::min(limit, *active.begin());
      }
      raw[k] = limit;
      const TrackConditions here{gradient.at(mid), radius.at(mid), tunnel.at(mid) != 0, adhesion.at(mid)};
      if (forces.empty() || !same_track(forces.back().track, here)) forces.push_back(track_forces(train, here));
      track_of[k] = static_cast<std::uint32_t>(forces.size() - 1);
    }
  }

  // The limit of each step for the whole train: the lowest under it, from the tail to the head.
  std::vector<double> limit(intervals);
  {
    std::deque<std::size_t> window;  // steps by increasing limit
    std::size_t oldest = 0;
    for (std::size_t k = 0; k < intervals; ++k) {
      while (!window.empty() && raw[window.back()] >= raw[k]) window.pop_back();
      window.push_back(k);
      const double tail = x[k] - length;
      while (oldest < k && x[oldest + 1] <= tail + 1e-6) ++oldest;
      while (window.front() < oldest) window.pop_front();
      limit[k] = raw[window.front()];
    }
    // A speed cut holds from the head's passing until the tail's.
    for (const SpeedPoint& point : line.points) {
      const auto begin = std::lower_bound(x.begin(), x.end(), point.position - 1e-6);
      for (auto it = begin; it != x.end() && std::next(it) != x.end() && *it < point.position + length - 1e-6; ++it)
        limit[static_cast<std::size_t>(it - x.begin())] =
            std::min(limit[static_cast<std::size_t>(it - x.begin())], point.speed);
    }
  }
  // A node's cap: the limits of the steps on both sides.
  std::vector<double> cap(nodes);
  for (std::size_t k = 0; k < nodes; ++k) {
    double c = k < intervals ? limit[k] : limit[intervals - 1];
    if (k > 0) c = std::min(c, limit[k - 1]);
    cap[k] = std::max(0.0, c);
  }
  for (std::size_t k = first + 1; k + 1 < nodes; ++k) {
    if (cap[k] <= 0) {
      result.blocked = RunBlocked{RunBlocked::Reason::ZeroLimit, x[k]};
      return result;
    }
  }

  // Braking curves, backward from the stop.
  std::vector<double> envelope(nodes);
  envelope[nodes - 1] = 0;
  for (std::size_t k = nodes - 1; k-- > first;)
    envelope[k] = std::min(cap[k], braked(train, envelope[k + 1], x[k + 1] - x[k], forces[track_of[k]]));

  // Where braking must begin: the lowest envelope speed among the places whose braking would start
  // here or before, one equivalent brake time ahead at that speed.
  const double te = std::max(0.0, train.equivalent_brake_time);
  std::vector<double> begin_braking = envelope;
  if (te > 0) {
    // A shadow is at most (the highest envelope speed) x t_e long: a few steps forward.
    double highest = 0;
    for (std::size_t k = first; k < nodes; ++k) highest = std::max(highest, envelope[k]);
    const double reach = highest * te + 1e-9;
    for (std::size_t k = first; k < nodes; ++k) {
      double lowest = envelope[k];
      for (std::size_t j = k + 1; j < nodes && x[j] - x[k] <= reach; ++j)
        if (x[j] - envelope[j] * te <= x[k] + 1e-9) lowest = std::min(lowest, envelope[j]);
      begin_braking[k] = lowest;
    }
  }

  // Forward: full traction, holding the limit, braking when the curve asks for it.
  enum class Mode { Drive, Delay, Brake } mode = Mode::Drive;
  double delay_end = 0;
  double v = 0;
  double t = 0;
  if (settings.keep_points) {
    result.points.reserve(nodes - first);
    result.points.push_back({x[first], 0.0, 0.0});
  }
  for (std::size_t k = first; k + 1 < nodes; ++k) {
    const double h = x[k + 1] - x[k];
    const TrackForces& track = forces[track_of[k]];
    double next = 0;
    if (mode == Mode::Delay) {
      next = std::min({v, cap[k + 1], envelope[k + 1]});
      if (x[k + 1] >= delay_end - 1e-9) mode = Mode::Brake;
    } else {
      // Holding the limit with traction to spare (most of a run) needs no step of the integration.
      const double at_speed = acceleration(train, v, track);
      const bool holding = v > 0 && v >= cap[k + 1] && at_speed >= 0;
      const double driven = holding ? v : accelerated(train, v, at_speed, h, track);
      if (mode == Mode::Brake) {
        if (envelope[k + 1] < v - kTiny)
          next = driven < 0 ? envelope[k + 1] : std::min(envelope[k + 1], driven);
        else
          mode = Mode::Drive;
      }
      if (mode == Mode::Drive) {
        if (driven < 0 && envelope[k + 1] > 0) {
          result.blocked = RunBlocked{RunBlocked::Reason::Stall, x[k]};
          return result;
        }
        next = std::min(std::max(driven, 0.0), cap[k + 1]);
        if (next > begin_braking[k + 1] * (1 + kTiny) + kTiny) {
          if (te > 0) {
            mode = Mode::Delay;
            delay_end = x[k] + v * te;
            next = std::min({v, cap[k + 1], envelope[k + 1]});
            if (x[k + 1] >= delay_end - 1e-9) mode = Mode::Brake;
          } else {
            mode = Mode::Brake;
            next = std::min(next, envelope[k + 1]);
          }
        }
      }
    }
    if (next <= 0 && k + 2 < nodes) {
      result.blocked = RunBlocked{RunBlocked::Reason::Stall, x[k + 1]};
      return result;
    }
    if (v + next > 0) t += 2.0 * h / (v + next);
    v = next;
    if (settings.keep_points) result.points.push_back({x[k + 1], v, t});
  }
  result.time = t;
  return result;
}

double stopping_distance(const Train& train, const MotionLine& line, double position, double speed) {
  ProfileCursor gradient(line.gradient, position), radius(line.radius, position), tunnel(line.tunnel, position),
      adhesion(line.adhesion, position);
  const double delay = speed * std::max(0.0, train.equivalent_brake_time);
  double s = position + delay;
  double v = speed;
  const double h = 0.5;
  while (v > 0) {
    const TrackConditions track{gradient.at(s), radius.at(s), tunnel.at(s) != 0, adhesion.at(s)};
    const double b = braking_deceleration(train, v, track);
    const double w = v * v - 2.0 * h * b;
    if (w <= 0) {
      s += v * v / (2.0 * b);
      break;
    }
    v = std::sqrt(w);
    s += h;
  }
  return s - position;
}
