#include "compiler/profile_fill.h"

#include <gtest/gtest.h>

#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"

namespace {

const SourcePlace kFirst{SourceKind::Service, 4, 14};
const SourcePlace kSecond{SourceKind::Service, 5, 1};

RunState with_grid(bool keep_going) {
  RunState state;
  state.grid.create(1000);  // cells 0 to 20
  state.keep_going = keep_going;
  return state;
}

TEST(ProfileFill, AValueIsStoredWhenItIsWrittenFromTheCursorOn) {
  RunState state = with_grid(false);
  ProfileFill speed(Profile::LineSpeed);
  speed.give(80, kFirst);
  speed.fill(state, 5, kSecond);  // cells 0 to 4
  speed.give(92, kSecond);        // 18.4 rounds to 18
  speed.finish(state, 18);        // cells 5 to 17
  EXPECT_EQ(state.grid[4].speedLimit, 16);
  EXPECT_EQ(state.grid[5].speedLimit, 18);
  EXPECT_EQ(state.grid[17].speedLimit, 18);
  EXPECT_EQ(state.grid[18].speedLimit, 0);
}

TEST(ProfileFill, ASpeedAByteCannotHoldFailsAtTheFieldThatGaveIt) {
  RunState state = with_grid(false);
  ProfileFill speed(Profile::LineSpeed);
  speed.give(2000, kFirst);
  try {
    speed.fill(state, 5, kSecond);
    ADD_FAILURE() << "no read failure";
  } catch (const ReadFailure& failure) {
    EXPECT_EQ(failure.place(), kFirst);
    EXPECT_STREQ(failure.what(),
                 "the line speed 2000 km/h is stored as round(2000 / 5) = 400, which a byte cannot hold: speeds -2 to "
                 "1277 km/h fit");
  }
}

TEST(ProfileFill, WhenTheRunKeepsGoingAFailureIsToldOnceAndTheCellsStillAdvance) {
  RunState state = with_grid(true);
  ProfileFill speed(Profile::LineSpeed);
  speed.give(-3, kFirst);
  speed.fill(state, 3, kSecond);
  speed.fill(state, 4, kSecond);  // the same value written again: told once
  speed.give(80, kSecond);
  speed.finish(state, 10);
  EXPECT_EQ(state.diagnostics.errors(), 1u);
  EXPECT_EQ(state.error.code, kErrorReadFailure);
  EXPECT_EQ(state.diagnostics.all()[0].place, kFirst);
  EXPECT_EQ(state.grid[4].speedLimit, 16);  // the run went on from cell 4
}

TEST(ProfileFill, ACutIsWarnedOfOnlyForAValueThatIsWritten) {
  RunState state = with_grid(false);
  ProfileFill gradient(Profile::Gradient);
  gradient.give(300, kFirst);  // followed by another value before any fill: never written
  gradient.give(400, kSecond);
  gradient.finish(state, 18);
  ASSERT_EQ(state.diagnostics.warnings(), 1u);
  EXPECT_EQ(state.diagnostics.all()[0].place, kSecond);
  EXPECT_EQ(state.grid[0].gradient, 244);  // 500 cut to its low 8 bits
}

TEST(ProfileFill, WritingBeyondTheLastCellFails) {
  RunState state = with_grid(false);
  ProfileFill adhesion(Profile::Adhesion);
  adhesion.give(100, kFirst);
  for (int n = 0; n < 21; ++n) adhesion.fill(state, 1, kSecond);  // cells 0 to 20, one each
  EXPECT_EQ(state.grid[20].adhesion, 100);
  EXPECT_THROW(adhesion.fill(state, 1, kSecond), ReadFailure);
}

}  // namespace
