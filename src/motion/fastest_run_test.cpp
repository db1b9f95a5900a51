#include "motion/fastest_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "motion/rolling_stock.h"

namespace {

/// A train of constant acceleration `a` (no resistance, no adhesion limit, no power limit) that brakes at
/// `b` with no delay: the closed forms of uniform motion hold for it.
Train uniform_train(double a, double b, double length = 0) {
  Train train;
  train.mass = 100000;
  train.rotating_mass = 0;
  train.length = length;
  train.max_speed = 1000;
  train.max_force = train.mass * a;
  train.service_deceleration = b;
  train.full_deceleration = 10;
  return train;
}

MotionLine flat_line(double limit) {
  MotionLine line;
  line.line_speed.add(0, limit);
  return line;
}

TEST(FastestRun, FlatLineWithOneLimitMatchesTheClosedForm) {
  // t = D / V + V / (2a) + V / (2b) once the limit is reached; below, the peak v with
  // v^2 / (2a) + v^2 / (2b) = D.
  struct Case {
    double a, b, limit_km_h, distance;
  };
  for (const Case& c :
       {Case{1.0, 0.6, 90, 3000}, Case{0.5, 0.5, 120, 10000}, Case{0.8, 0.7, 60, 1200}, Case{1.0, 0.6, 140, 1000}}) {
    const double v = km_h_to_m_s(c.limit_km_h);
    const double ramps = v * v / (2 * c.a) + v * v / (2 * c.b);
    double expected;
    if (ramps <= c.distance) {
      expected = c.distance / v + v / (2 * c.a) + v / (2 * c.b);
    } else {
      const double peak = std::sqrt(2 * c.distance * c.a * c.b / (c.a + c.b));
      expected = peak / c.a + peak / c.b;
    }
    const RunResult run = fastest_run(uniform_train(c.a, c.b), flat_line(v), 1000, 1000 + c.distance);
    ASSERT_FALSE(run.blocked);
    EXPECT_NEAR(run.time, expected, expected * 0.005) << c.limit_km_h << " km/h over " << c.distance << " m";
    EXPECT_DOUBLE_EQ(run.points.front().speed, 0);
    EXPECT_DOUBLE_EQ(run.points.back().speed, 0);
    EXPECT_DOUBLE_EQ(run.points.back().position, 1000 + c.distance);
  }
}

TEST(FastestRun, StoppingDistanceIsTheDelayThenTheDeceleration) {
  // EN 14531-1's form: s = v t_e + v^2 / (2 b).
  Train train = uniform_train(1.0, 0.63);
  train.equivalent_brake_time = 1.0;
  const MotionLine line = flat_line(km_h_to_m_s(200));
  for (const double speed_km_h : {30.0, 90.0, 120.0}) {
    const double v = km_h_to_m_s(speed_km_h);
    const double expected = v * 1.0 + v * v / (2 * 0.63);
    EXPECT_NEAR(stopping_distance(train, line, 500, v), expected, expected * 0.005) << speed_km_h;
  }
  // In a run, the train holds the limit until that distance before the stop, and meanwhile the brakes
  // build up: it slows down only v t_e later.
  const double v = km_h_to_m_s(90);
  const double braking_begins = 5000 - (v * 1.0 + v * v / (2 * 0.63));
  const RunResult run = fastest_run(train, flat_line(v), 0, 5000);
  for (const RunPoint& point : run.points) {
    if (point.position > 1000 && point.position < braking_begins + v * 1.0 - 5) {
      EXPECT_NEAR(point.speed, v, 1e-9) << point.position;
    }
    if (point.position > braking_begins + v * 1.0 + 5) {
      EXPECT_LT(point.speed, v) << point.position;
    }
  }
}

TEST(FastestRun, AClimbIsRunAtTheSpeedWhereTractionEqualsResistance) {
  // Constant power P against a resistance A and a gradient i: P / v = A + m g i / 1000.
  Train train = uniform_train(1.0, 0.6);
  train.max_force = 200000;
  train.power = 0.6e6;
  train.davis_a = 3000;
  MotionLine line = flat_line(km_h_to_m_s(300));
  line.gradient.add(0, 20);
  const double balance = train.power / (train.davis_a + train.mass * kGravity * 20 / 1000);
  const RunResult run = fastest_run(train, line, 0, 30000);
  ASSERT_FALSE(run.blocked);
  int seen = 0;
  for (const RunPoint& point : run.points) {
    if (std::fabs(point.position - 20000) < 3) {
      EXPECT_NEAR(point.speed, balance, balance * 0.005);
      ++seen;
    }
  }
  EXPECT_GT(seen, 0);
}

TEST(FastestRun, ThePublishedLocalTrainOnALevelTenKilometres) {
  // TrainRuns.jl (railtoolkit, ISC licence), test/data/trains/local.yaml on test/data/paths/const.yaml: a
  // diesel multiple unit of 68 t and 20 t of load (rotating-mass factor 1.08, 120 km/h, braking at
  // 0.4253 m/s^2 without delay) on 10 km of level straight track limited to 160 km/h. Its resistance
  // (after Wende, 2003): 3.0 per mille of the 45.333 t on driven axles, 1.4 per mille of the other
  // 22.667 t, and 0.0039 x 68 t x g x ((v + 15 km/h) / 100 km/h)^2. Its tractive effort is a table of
  // one value per km/h (94.4 kN at 0 to 13.38 kN at 120 km/h; the points below are those of the table
  // where it changes slope). Published running time: 391.6 s with its 20 m explicit steps
  // (test/snapshots/default/local_const.csv), 392.7 s in an earlier version of its tests; the
  // integration that converges gives about 393.9 s, the 20 m steps' bias being -0.6 %.
  Train train;
  train.mass = 88000;
  train.rotating_mass = 0.08;
  train.length = 41.7;
  train.max_speed = km_h_to_m_s(120);
  const double air = 0.0039 * 68000 * kGravity;  // N at (v + 15 km/h) = 100 km/h
  const double v00 = km_h_to_m_s(100), dv = km_h_to_m_s(15);
  train.davis_a = 3.0e-3 * 45333 * kGravity + 1.4e-3 * 22667 * kGravity + air * dv * dv / (v00 * v00);
  train.davis_b = 2 * air * dv / (v00 * v00);
  train.davis_c = air / (v00 * v00);
  const std::vector<std::pair<double, double>> table_km_h = {
      {0, 94400},  {1, 94400},  {10, 80000},  {32, 38890},  {36, 35770}, {37, 35600}, {42, 35600}, {43, 35550},
      {46, 34740}, {47, 34280}, {50, 32220},  {51, 31590},  {52, 26300}, {56, 26300}, {57, 25990}, {63, 25090},
      {64, 25140}, {65, 24760}, {70, 22990},  {71, 19400},  {80, 19400}, {81, 19440}, {85, 18920}, {86, 18670},
      {88, 18250}, {89, 15360}, {110, 14310}, {111, 14460}, {120, 13380}};
  for (const auto& [speed, force] : table_km_h) train.effort_table.emplace_back(km_h_to_m_s(speed), force);
  train.service_deceleration = 0.4253;
  train.full_deceleration = 10;
  const RunResult run = fastest_run(train, flat_line(km_h_to_m_s(160)), 0, 10000);
  ASSERT_FALSE(run.blocked);
  EXPECT_NEAR(run.time, 393.9, 393.9 * 0.005) << run.time;
  EXPECT_NEAR(run.time, 391.6, 391.6 * 0.01);
}

TEST(FastestRun, AZeroLimitOrAClimbTooSteepBlocksTheRun) {
  const Train train = train_of(RollingStock{}, false);
  MotionLine line = flat_line(km_h_to_m_s(80));
  line.line_speed.add(2000, 0);
  line.line_speed.add(2050, km_h_to_m_s(80));
  RunResult run = fastest_run(train, line, 0, 4000);
  ASSERT_TRUE(run.blocked);
  EXPECT_EQ(run.blocked->reason, RunBlocked::Reason::ZeroLimit);
  EXPECT_GE(run.blocked->position, 2000);
  EXPECT_LE(run.blocked->position, 2050 + train.length);

  MotionLine steep = flat_line(km_h_to_m_s(80));
  steep.gradient.add(1000, 150);
  run = fastest_run(train, steep, 0, 4000);
  ASSERT_TRUE(run.blocked);
  EXPECT_EQ(run.blocked->reason, RunBlocked::Reason::Stall);
  EXPECT_GT(run.blocked->position, 1000);

  MotionLine slippery = flat_line(km_h_to_m_s(80));
  slippery.adhesion.add(0, 0);
  EXPECT_TRUE(fastest_run(train, slippery, 0, 4000).blocked);
}

// --- Properties on random lines ----------------------------------------------------------------------

MotionLine random_line(std::mt19937& random, double length) {
  std::uniform_real_distribution<double> unit(0, 1);
  MotionLine line;
  for (double at = 0; at < length; at += 50 * std::floor(1 + unit(random) * 60)) {
    line.line_speed.add(at, km_h_to_m_s(30 + 5 * std::floor(unit(random) * 19)));
    line.gradient.add(at, std::floor(unit(random) * 50) - 20);
  }
  for (double at = 0; at < length; at += 100 * std::floor(1 + unit(random) * 30)) {
    const double radius = unit(random) < 0.5 ? 0 : 300 + unit(random) * 3000;
    line.radius.add(at, radius);
    line.tunnel.add(at, unit(random) < 0.2 ? 1 : 0);
  }
  for (int i = 0; i < 3; ++i) {
    const double from = unit(random) * length;
    line.restrictions.push_back(
        {from, from + 50 + unit(random) * 1500, km_h_to_m_s(10 + 10 * std::floor(unit(random) * 6))});
  }
  line.points.push_back({unit(random) * length, km_h_to_m_s(40)});
  return line;
}

TEST(FastestRun, TheStepOfIntegrationDoesNotMatter) {
  std::mt19937 random(25);
  const Train train = train_of(RollingStock{}, false);
  for (int n = 0; n < 20; ++n) {
    const MotionLine line = random_line(random, 8000);
    const double from = 200, to = 500 + 7000.0 * (n + 1) / 20;
    RunSettings fine;
    fine.step = 10;
    const RunResult coarse_run = fastest_run(train, line, from, to);
    const RunResult fine_run = fastest_run(train, line, from, to, fine);
    ASSERT_EQ(coarse_run.blocked.has_value(), fine_run.blocked.has_value()) << n;
    if (coarse_run.blocked) continue;
    EXPECT_NEAR(coarse_run.time, fine_run.time, fine_run.time * 0.002) << n;
  }
}

TEST(FastestRun, NoLimitIsExceededAtTheHeadOrBeforeTheTailHasClearedIt) {
  std::mt19937 random(7);
  const Train train = train_of(RollingStock{}, false);
  for (int n = 0; n < 20; ++n) {
    const MotionLine line = random_line(random, 6000);
    const RunResult run = fastest_run(train, line, 300, 5800);
    if (run.blocked) continue;
    for (const RunPoint& point : run.points) {
      // The limits under the whole train, sampled every metre and at the ends.
      for (double at = point.position - train.length; at <= point.position; at += 1) {
        const double limit = speed_limit_at(line, at, train.max_speed);
        ASSERT_LE(point.speed, limit * (1 + 1e-9) + 1e-9) << "head at " << point.position << ", limit at " << at;
      }
      for (const SpeedPoint& cut : line.points) {
        if (cut.position <= point.position && point.position <= cut.position + train.length) {
          ASSERT_LE(point.speed, cut.speed * (1 + 1e-9) + 1e-9) << point.position;
        }
      }
    }
  }
}

TEST(FastestRun, AHeavierTrainALowerBrakingASteeperClimbOrALowerLimitIsNeverFaster) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> unit(0, 1);
  const RollingStock stock;
  for (int n = 0; n < 15; ++n) {
    const MotionLine line = random_line(random, 6000);
    const double from = 100, to = 5900;
    const Train train = train_of(stock, false);
    const RunResult base = fastest_run(train, line, from, to);
    if (base.blocked) continue;
    const auto no_faster = [&](const Train& other_train, const MotionLine& other_line, const char* what) {
      const RunResult other = fastest_run(other_train, other_line, from, to);
      if (other.blocked) return;
      EXPECT_GE(other.time, base.time * (1 - 1e-6)) << what << ", case " << n;
    };
    Train heavier = train;
    heavier.mass *= 1 + unit(random);
    no_faster(heavier, line, "heavier");
    RollingStock less_braked = stock;
    less_braked.braked_mass_percentage = 30 + unit(random) * 99;
    no_faster(train_of(less_braked, false), line, "lower braked-mass percentage");
    MotionLine steeper = line;
    Profile gradient{0};
    for (const ProfileStep& step : line.gradient.steps())
      gradient.add(step.from, step.value >= 0 ? step.value + 1 + std::floor(unit(random) * 10) : step.value);
    steeper.gradient = gradient;
    no_faster(train, steeper, "steeper climbs");
    MotionLine lower = line;
    lower.restrictions.push_back({unit(random) * 5000, 6000, km_h_to_m_s(25)});
    no_faster(train, lower, "a lower limit");
  }
}

}  // namespace

namespace {

TEST(FastestRun, ARunWithoutItsPointsHasTheSameTimeAndBlockToTheBit) {
  std::mt19937 random(31);
  const Train train = train_of(RollingStock{}, false);
  RunSettings bare;
  bare.keep_points = false;
  int blocked = 0;
  for (int n = 0; n < 20; ++n) {
    MotionLine line = random_line(random, 8000);
    if (n % 5 == 4) {  // a climb too steep: the run stalls on it
      line.gradient = Profile{0};
      line.gradient.add(700, 150);
    }
    const double from = 200, to = 500 + 7000.0 * (n + 1) / 20;
    const RunResult whole = fastest_run(train, line, from, to);
    const RunResult timed = fastest_run(train, line, from, to, bare);
    EXPECT_TRUE(timed.points.empty()) << n;
    EXPECT_FALSE(whole.points.empty()) << n;
    EXPECT_EQ(whole.time, timed.time) << n;
    ASSERT_EQ(whole.blocked.has_value(), timed.blocked.has_value()) << n;
    if (!whole.blocked) continue;
    ++blocked;
    EXPECT_EQ(whole.blocked->reason, timed.blocked->reason) << n;
    EXPECT_EQ(whole.blocked->position, timed.blocked->position) << n;
  }
  EXPECT_GT(blocked, 0);
}

TEST(FastestRun, OnlyTheSlowdownsThatReachTheTrainOrItsStretchCount) {
  Train train = train_of(RollingStock{}, false);
  train.length = 100;
  const MotionLine line = flat_line(km_h_to_m_s(100));
  const double alone = fastest_run(train, line, 1000, 3000).time;
  // Slowdowns wholly behind the tail at the start, or beyond the stop: the same run, to the bit.
  MotionLine far = line;
  far.restrictions = {{0, 899, km_h_to_m_s(10)}, {3001, 5000, km_h_to_m_s(10)}};
  EXPECT_EQ(fastest_run(train, far, 1000, 3000).time, alone);
  // One under the train's tail at the start, and one just short of the stop, slow it.
  for (const SpeedRestriction& r :
       {SpeedRestriction{920, 960, km_h_to_m_s(10)}, SpeedRestriction{2990, 2999, km_h_to_m_s(5)}}) {
    MotionLine near = line;
    near.restrictions = {r};
    EXPECT_GT(fastest_run(train, near, 1000, 3000).time, alone + 1) << r.from;
  }
}

TEST(FastestRun, AStopOffTheLineIsNoRunAndCostsNothing) {
  const Train train = train_of(RollingStock{}, false);
  MotionLine line = flat_line(km_h_to_m_s(80));
  line.end = 36000;
  for (const auto& [from, to] : {std::pair{650.0, 1e9}, std::pair{-1e9, 650.0}, std::pair{30000.0, 36001.0}}) {
    const RunResult run = fastest_run(train, line, from, to);
    ASSERT_TRUE(run.blocked) << from << " to " << to;
    EXPECT_EQ(run.blocked->reason, RunBlocked::Reason::OffTheLine);
    EXPECT_TRUE(run.points.empty());
  }
}

}  // namespace
