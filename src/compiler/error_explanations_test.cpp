#include "compiler/error_explanations.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/compile_scenario.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

void name_as_example(RunState& state) {
  state.line_key = std::string(kExampleLineKey);
  state.train_number = std::string(kExampleTrain);
}

TEST(ErrorExplanations, EveryCodeHasOneInTheOrderOfTheCodes) {
  const auto codes = error_code_table();
  const auto explanations = error_explanations();
  ASSERT_EQ(explanations.size(), codes.size());
  for (std::size_t n = 0; n < codes.size(); ++n) {
    SCOPED_TRACE(testing::Message() << "E" << codes[n].code);
    EXPECT_EQ(explanations[n].code, codes[n].code);
    EXPECT_EQ(error_explanation(codes[n].code), &explanations[n]);
    EXPECT_FALSE(explanations[n].explanation.empty());
    EXPECT_FALSE(explanations[n].fix.empty());
  }
  EXPECT_EQ(error_explanation(14), nullptr);
  EXPECT_EQ(error_explanation(0), nullptr);
}

// Each example, compiled as the command line compiles an author's files, leaves its own code: as the
// run's error and among the diagnostics.
TEST(ErrorExplanations, EveryExampleGivesItsCode) {
  for (const ErrorExplanation& explanation : error_explanations()) {
    SCOPED_TRACE(testing::Message() << "E" << explanation.code);
    RunState state;
    name_as_example(state);
    std::optional<std::string_view> line;
    if (explanation.line) line = *explanation.line;
    compile_scenario(state, line, explanation.service);
    EXPECT_EQ(state.error.code, explanation.code) << state.error.detail;
    bool reported = false;
    for (const Diagnostic& diagnostic : state.diagnostics.all())
      reported = reported || (diagnostic.severity == Severity::Error && diagnostic.code == explanation.code);
    EXPECT_TRUE(reported);
  }
}

// An example shows one fault: the same sources without it compile cleanly. Checked where the example is
// a single entry added to plain sources: taking the last entry out leaves no error.
TEST(ErrorExplanations, ExamplesAreSmallAndOnlyTheFaultyEntryMatters) {
  for (const int32_t code : {kErrorSignalOccupied, kErrorWarningOccupied, kErrorSlowdownEndOccupied,
                             kErrorSpeedCutOccupied, kErrorStationSpacing}) {
    SCOPED_TRACE(testing::Message() << "E" << code);
    const ErrorExplanation* explanation = error_explanation(code);
    ASSERT_NE(explanation, nullptr);
    std::string service = explanation->service;
    const std::size_t fine = service.rfind("[fine]");
    const std::size_t last_entry = service.rfind('\n', fine - 2) + 1;
    service.erase(last_entry, fine - last_entry);
    RunState state;
    name_as_example(state);
    compile_scenario(state, *explanation->line, service);
    EXPECT_EQ(state.error.code, 0) << service;
  }
}

}  // namespace
