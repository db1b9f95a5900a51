#include "app/run_report.h"

#include <gtest/gtest.h>

#include "scenario/run_state.h"

namespace {

TEST(RunReport, GivesTheCodeAndThePositionWhenThereIsOne) {
  RunState state;
  set_error(state, 15, 40000);
  EXPECT_EQ(run_report(state), " Errore n. 15\nPosizione: 40000");
  set_error(state, 2);
  EXPECT_EQ(run_report(state), " Errore n. 2");
  set_error(state, 22, -150);
  EXPECT_EQ(run_report(state), " Errore n. 22\nPosizione: -150");
}

}  // namespace
