#include "compiler/finishing_pass.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

constexpr int16_t kCp = kControlPointSpeed;

bool same_cell(const TrackCell& a, const TrackCell& b) {
  return a.kind == b.kind && a.value1 == b.value1 && a.value2 == b.value2 && a.value3 == b.value3 &&
         a.value4 == b.value4 && a.signalTime == b.signalTime && a.approachMark == b.approachMark &&
         a.mountainType == b.mountainType && a.speedLimit == b.speedLimit && a.gradient == b.gradient &&
         a.adhesion == b.adhesion;
}

/// A grid of cells 0 to 300 (a 15000 m grid extent) into which each test places its objects.
class FinishingPassTest : public ::testing::Test {
 protected:
  static constexpr int32_t kLast = 300;

  void SetUp() override {
    state.grid.create(kLast * kCellLength);
    ASSERT_EQ(state.grid.cellCount(), kLast);
  }

  void put(int32_t index, CellKind kind, int16_t value1 = 0) {
    state.grid[index].set_kind(kind);
    state.grid[index].value1 = value1;
  }
  /// An object that is neither free nor a control point.
  void occupy(std::initializer_list<int32_t> cells) {
    for (int32_t c : cells) put(c, CellKind::SpeedBoard, 7);
  }
  void slowdown(int32_t start, int32_t end, int16_t speed) {
    put(start, CellKind::SlowdownStart, speed);
    if (end > 0) put(end, CellKind::SlowdownEnd, speed);
  }

  /// Runs the pass and checks that exactly the listed cells became control points with the listed speeds
  /// (a control point already there may only have its speed changed); every other cell stays as it was.
  void run_and_expect(const std::map<int32_t, int16_t>& control_points) {
    const TrackGrid before = state.grid;
    finishing_pass(state);
    ASSERT_EQ(state.grid.cellCount(), before.cellCount());
    for (int32_t n = 0; n <= kLast; ++n) {
      TrackCell expected = before[n];
      if (const auto found = control_points.find(n); found != control_points.end()) {
        expected.set_kind(CellKind::ControlPoint);
        expected.value1 = found->second;
      }
      EXPECT_TRUE(same_cell(state.grid[n], expected))
          << "cell " << n << ": kind " << int(state.grid[n].kind) << " value1 " << state.grid[n].value1
          << ", expected kind " << int(expected.kind) << " value1 " << expected.value1;
    }
  }

  void expect_error(int32_t code, int32_t position) {
    EXPECT_EQ(state.error.code, code);
    ASSERT_TRUE(state.error.position.has_value());
    EXPECT_EQ(*state.error.position, position);
  }

  RunState state;
};

// Step A: the look-back before a slowdown warning.

TEST_F(FinishingPassTest, SignalBeforeWarningGetsControlPointInCellBeforeIt) {
  put(100, CellKind::SlowdownWarning, 60);
  put(90, CellKind::Signal, 3);
  run_and_expect({{89, kCp}});  // cell 88 untouched
  EXPECT_EQ(state.error.code, 0);
}

TEST_F(FinishingPassTest, EverySignalInTheTwentyCellsBeforeWarningGetsOne) {
  put(100, CellKind::SlowdownWarning, 60);
  put(99, CellKind::Signal);  // k = 1
  put(90, CellKind::Signal);
  put(80, CellKind::Signal);  // k = 20
  put(78, CellKind::Signal);  // k = 22: beyond the look-back
  run_and_expect({{98, kCp}, {89, kCp}, {79, kCp}});
}

struct LookBackCase {
  const char* name;
  std::vector<int32_t> occupied;        // cells 88/89 holding another object
  std::map<int32_t, int16_t> existing;  // control points already there
  std::map<int32_t, int16_t> expected;  // control points after the pass
  int32_t error;
};
// Test names show the case by its name.
void PrintTo(const LookBackCase& c, std::ostream* os) { *os << c.name; }

class LookBackCases : public FinishingPassTest, public ::testing::WithParamInterface<LookBackCase> {};

TEST_P(LookBackCases, ChoosesTheCellBeforeTheSignal) {
  const LookBackCase& c = GetParam();
  put(100, CellKind::SlowdownWarning, 60);
  put(90, CellKind::Signal);
  for (int32_t cell : c.occupied) occupy({cell});
  for (const auto& [cell, speed] : c.existing) put(cell, CellKind::ControlPoint, speed);
  run_and_expect(c.expected);
  if (c.error == 0) {
    EXPECT_EQ(state.error.code, 0);
  } else {
    expect_error(c.error, 90 * kCellLength);
  }
}

INSTANTIATE_TEST_SUITE_P(
    StepA, LookBackCases,
    ::testing::Values(LookBackCase{"BeforeOccupiedGoesTwoBack", {89}, {}, {{88, kCp}}, 0},
                      LookBackCase{
                          "FreeCellComesBeforeLoweringAControlPoint", {}, {{89, 200}}, {{89, 200}, {88, kCp}}, 0},
                      LookBackCase{"ControlPointOf150Kept", {88}, {{89, 150}}, {{89, 150}}, 0},
                      LookBackCase{"ControlPointOf200LoweredTo180", {88}, {{89, 200}}, {{89, kCp}}, 0},
                      LookBackCase{"ControlPointTwoBackLowered", {89}, {{88, 250}}, {{88, kCp}}, 0},
                      LookBackCase{"NoRoomIsError11", {89, 88}, {}, {}, kErrorSignalControlPoint}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FinishingPassTest, MountainMarkerCountsAsFreeAndKeepsTheProfile) {
  put(100, CellKind::SlowdownWarning, 60);
  put(90, CellKind::Signal);
  put(89, CellKind::MountainMarker);
  state.grid[89].mountainType = 2;
  state.grid[89].gradient = 116;
  state.grid[89].speedLimit = 20;
  state.grid[89].adhesion = 5;
  run_and_expect({{89, kCp}});
  EXPECT_EQ(state.grid[89].mountainType, 2);
  EXPECT_EQ(state.grid[89].gradient, 116);
}

TEST_F(FinishingPassTest, WarningAtCell10LooksOnlyAtCells9To3) {
  put(10, CellKind::SlowdownWarning, 60);
  put(4, CellKind::Signal);  // k = 6
  put(2, CellKind::Signal);  // k = 8: not looked at, cell 1 stays plain
  run_and_expect({{3, kCp}});
}

TEST_F(FinishingPassTest, SignalInCell3WithCell2OccupiedPutsControlPointInCell1) {
  put(10, CellKind::SlowdownWarning, 60);
  put(3, CellKind::Signal);
  occupy({2});
  run_and_expect({{1, kCp}});
}

TEST_F(FinishingPassTest, Error11KeepsTheLastErrorAndThePassGoesOn) {
  put(100, CellKind::SlowdownWarning, 60);
  put(90, CellKind::Signal);
  occupy({89, 88});
  put(200, CellKind::SlowdownWarning, 60);
  put(195, CellKind::Signal);
  put(185, CellKind::Signal);
  occupy({184, 183});
  run_and_expect({{194, kCp}});
  expect_error(kErrorSignalControlPoint, 185 * kCellLength);
}

TEST_F(FinishingPassTest, VisitsCells1ToTwoBeforeTheLast) {
  put(298, CellKind::SlowdownWarning, 60);
  put(290, CellKind::Signal);
  put(299, CellKind::SlowdownWarning, 60);  // never visited
  put(285, CellKind::Signal);               // 14 cells before 299, 13 before 298
  run_and_expect({{289, kCp}, {284, kCp}});
}

TEST_F(FinishingPassTest, VisitsNothingWhenNoCellIsAWarningOrStart) {
  put(50, CellKind::Signal);
  put(60, CellKind::SlowdownEnd, 40);
  put(70, CellKind::ControlPoint, 250);
  put(80, CellKind::SpeedBoard, 4);
  run_and_expect({});
  EXPECT_EQ(state.error.code, 0);
}

// Step B: around a slowdown start.

TEST_F(FinishingPassTest, SlowdownGetsControlPointsAheadAlongAndAtTheSignalAfterIt) {
  slowdown(200, 230, 60);
  put(235, CellKind::Signal);
  run_and_expect({{195, kCp}, {189, kCp}, {182, kCp}, {208, kCp}, {216, kCp}, {224, kCp}, {234, kCp}});
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(state.h, 230);
}

struct AheadCase {
  const char* name;
  std::vector<int32_t> occupied;
  std::vector<int32_t> expected;  // the cells B1, B2 and B3 choose
};
// Test names show the case by its name.
void PrintTo(const AheadCase& c, std::ostream* os) { *os << c.name; }

class AheadCases : public FinishingPassTest, public ::testing::WithParamInterface<AheadCase> {};

TEST_P(AheadCases, EachStepTakesTheFirstFreeOfItsThreeCells) {
  const AheadCase& c = GetParam();
  slowdown(200, 205, 120);  // not walked
  for (int32_t cell : c.occupied) occupy({cell});
  std::map<int32_t, int16_t> expected;
  for (int32_t cell : c.expected) expected[cell] = kCp;
  run_and_expect(expected);
  EXPECT_EQ(state.error.code, 0);
}

INSTANTIATE_TEST_SUITE_P(StepsB1ToB3, AheadCases,
                         ::testing::Values(AheadCase{"AllFree", {}, {195, 189, 182}},
                                           AheadCase{"SecondCandidates", {195, 189, 182}, {194, 188, 181}},
                                           AheadCase{
                                               "ThirdCandidates", {195, 194, 189, 188, 182, 181}, {193, 187, 180}},
                                           AheadCase{"Mixed", {195, 194, 182}, {193, 189, 181}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EarlyStartCase {
  int32_t start;
  std::vector<int32_t> expected;
};
void PrintTo(const EarlyStartCase& c, std::ostream* os) { *os << "start " << c.start; }

class EarlyStartCases : public FinishingPassTest, public ::testing::WithParamInterface<EarlyStartCase> {};

TEST_P(EarlyStartCases, StepsApplyOnlyWhenTheirCellsLieAfterCell0) {
  const EarlyStartCase& c = GetParam();
  slowdown(c.start, c.start + 3, 120);
  std::map<int32_t, int16_t> expected;
  for (int32_t cell : c.expected) expected[cell] = kCp;
  run_and_expect(expected);
}

INSTANTIATE_TEST_SUITE_P(StepsB1ToB3, EarlyStartCases,
                         ::testing::Values(EarlyStartCase{7, {}}, EarlyStartCase{8, {3}}, EarlyStartCase{13, {8}},
                                           EarlyStartCase{14, {9, 3}}, EarlyStartCase{20, {15, 9}},
                                           EarlyStartCase{21, {16, 10, 3}}));

TEST_F(FinishingPassTest, StartAtCell7WithItsCellsOccupiedIsNoError) {
  slowdown(7, 10, 120);
  occupy({2, 1, 0});
  run_and_expect({});
  EXPECT_EQ(state.error.code, 0);
}

TEST_F(FinishingPassTest, Error12AndTheOtherStepsStillRun) {
  slowdown(200, 230, 60);
  put(235, CellKind::Signal);
  occupy({195, 194, 193});
  run_and_expect({{189, kCp}, {182, kCp}, {208, kCp}, {216, kCp}, {224, kCp}, {234, kCp}});
  expect_error(kErrorSlowdownControlPoint, 200 * kCellLength);
}

TEST_F(FinishingPassTest, Error12FromTheLastGroup) {
  slowdown(200, 205, 120);
  occupy({182, 181, 180});
  run_and_expect({{195, kCp}, {189, kCp}});
  expect_error(kErrorSlowdownControlPoint, 200 * kCellLength);
}

// Step B4: the walk along a slow slowdown.

struct WalkCase {
  const char* name;
  std::vector<int32_t> occupied;
  std::vector<int32_t> expected;  // control points along the slowdown 200 to 230
  int32_t error_position;         // 0: no error
};
// Test names show the case by its name.
void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }

class WalkCases : public FinishingPassTest, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(WalkCases, PlacesOneEveryEightCellsCountingFromTheLastOne) {
  const WalkCase& c = GetParam();
  slowdown(200, 230, 40);
  for (int32_t cell : c.occupied) occupy({cell});
  std::map<int32_t, int16_t> expected{{195, kCp}, {189, kCp}, {182, kCp}};
  for (int32_t cell : c.expected) expected[cell] = kCp;
  run_and_expect(expected);
  if (c.error_position == 0) {
    EXPECT_EQ(state.error.code, 0);
  } else {
    expect_error(kErrorSlowdownWalk, c.error_position);
  }
  EXPECT_EQ(state.h, 230);
}

INSTANTIATE_TEST_SUITE_P(StepB4, WalkCases,
                         ::testing::Values(WalkCase{"EveryEighthCell", {}, {208, 216, 224}, 0},
                                           WalkCase{"OneBackShiftsTheNext", {208}, {207, 215, 223}, 0},
                                           WalkCase{"OneAheadShiftsTheNext", {208, 207}, {209, 217, 225}, 0},
                                           // No room at 208: error 13 there, and the count never reaches 8 again.
                                           WalkCase{"NoRoomEndsThePlacing", {208, 207, 209}, {}, 208 * kCellLength},
                                           WalkCase{"NoRoomLaterOn", {216, 215, 217}, {208}, 216 * kCellLength}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FinishingPassTest, WalkPlacesOnItsEndStepBeforeStopping) {
  slowdown(200, 216, 40);  // the eighth step after 208 is the end cell itself
  run_and_expect({{195, kCp}, {189, kCp}, {182, kCp}, {208, kCp}, {215, kCp}});
  EXPECT_EQ(state.h, 216);
}

TEST_F(FinishingPassTest, SpeedBelow110IsWalkedAnd110IsNot) {
  slowdown(100, 120, 109);
  slowdown(200, 220, 110);
  run_and_expect({{95, kCp}, {89, kCp}, {82, kCp}, {108, kCp}, {116, kCp}, {195, kCp}, {189, kCp}, {182, kCp}});
}

// Step B5: the signal after the slowdown.

struct SignalAfterCase {
  const char* name;
  std::vector<int32_t> signals;
  std::vector<int32_t> occupied;
  std::vector<int32_t> expected;
  int32_t error_position;
};
// Test names show the case by its name.
void PrintTo(const SignalAfterCase& c, std::ostream* os) { *os << c.name; }

class SignalAfterCases : public FinishingPassTest, public ::testing::WithParamInterface<SignalAfterCase> {};

TEST_P(SignalAfterCases, ControlPointBeforeTheFirstSignalWithinTwelveCells) {
  const SignalAfterCase& c = GetParam();
  slowdown(200, 230, 120);  // not walked, so only B1 to B3 and B5 place anything
  for (int32_t cell : c.signals) put(cell, CellKind::Signal);
  for (int32_t cell : c.occupied) occupy({cell});
  std::map<int32_t, int16_t> expected{{195, kCp}, {189, kCp}, {182, kCp}};
  for (int32_t cell : c.expected) expected[cell] = kCp;
  run_and_expect(expected);
  if (c.error_position == 0) {
    EXPECT_EQ(state.error.code, 0);
  } else {
    expect_error(kErrorSlowdownWalk, c.error_position);
  }
}

INSTANTIATE_TEST_SUITE_P(StepB5, SignalAfterCases,
                         ::testing::Values(SignalAfterCase{"NearSignal", {235}, {}, {234}, 0},
                                           SignalAfterCase{"OnlyTheFirstSignal", {235, 240}, {}, {234}, 0},
                                           SignalAfterCase{"TwelveCellsAfterTheEnd", {242}, {}, {241}, 0},
                                           SignalAfterCase{"ThirteenIsTooFar", {243}, {}, {}, 0},
                                           SignalAfterCase{"SignalRightAfterTheEnd", {231}, {}, {229}, 0},
                                           SignalAfterCase{"CellBeforeOccupied", {235}, {234}, {233}, 0},
                                           SignalAfterCase{
                                               "NoRoomIsError13AtTheEnd", {235}, {234, 233}, {}, 230 * kCellLength}),
                         [](const auto& info) { return std::string(info.param.name); });

// The two gaps: the grid's end, and the search of a slowdown that is not walked.

TEST_F(FinishingPassTest, WalkWithoutEndStopsAtTheLastCellWithError13) {
  slowdown(260, 270, 40);
  slowdown(280, 0, 40);
  run_and_expect({{255, kCp},
                  {249, kCp},
                  {242, kCp},
                  {268, kCp},  // slowdown 260 to 270
                  {275, kCp},
                  {269, kCp},
                  {262, kCp},
                  {288, kCp},
                  {296, kCp}});
  expect_error(kErrorSlowdownWalk, kLast * kCellLength);
  EXPECT_EQ(state.h, kLast);
}

TEST_F(FinishingPassTest, WalkReachingTheLastCellNeverPlacesBeyondIt) {
  slowdown(292, 0, 40);  // the eighth step is cell 300, the last one
  occupy({300, 299});    // and cell 301 does not exist
  run_and_expect({{287, kCp}, {281, kCp}, {274, kCp}});
  expect_error(kErrorSlowdownWalk, kLast * kCellLength);
}

TEST_F(FinishingPassTest, SearchAfterAWalkWithoutEndStaysInTheGrid) {
  slowdown(290, 0, 40);
  put(300, CellKind::Signal);
  run_and_expect({{285, kCp}, {279, kCp}, {272, kCp}, {298, kCp}, {299, kCp}});
  expect_error(kErrorSlowdownWalk, kLast * kCellLength);
}

TEST_F(FinishingPassTest, FastSlowdownSearchesFromItsOwnEnd) {
  state.h = 50;  // left by an earlier use: must not matter
  put(55, CellKind::Signal);
  slowdown(200, 230, 120);
  put(235, CellKind::Signal);
  run_and_expect({{195, kCp}, {189, kCp}, {182, kCp}, {234, kCp}});
  EXPECT_EQ(state.h, 230);
  EXPECT_EQ(state.error.code, 0);
}

TEST_F(FinishingPassTest, FastSlowdownWithoutEndIsError13AndPlacesNothingAlong) {
  slowdown(270, 0, 120);
  put(285, CellKind::Signal);  // within 12 cells of no end cell: the search starts at the grid's end
  put(300, CellKind::Signal);
  run_and_expect({{265, kCp}, {259, kCp}, {252, kCp}, {299, kCp}});
  expect_error(kErrorSlowdownWalk, kLast * kCellLength);
  EXPECT_EQ(state.h, kLast);
}

TEST(FinishingPass, WithoutAGridDoesNothing) {
  RunState state;
  finishing_pass(state);
  EXPECT_FALSE(state.grid.exists());
  EXPECT_EQ(state.error.code, 0);
}

TEST(Minimo, ReturnsTheSmallerAndXWhenEqual) {
  EXPECT_EQ(minimo(180, 150), 150);
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(-3, 7), -3);
  EXPECT_EQ(minimo(180, 180), 180);
}

}  // namespace
