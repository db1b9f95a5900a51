#include "app/output_plan.h"

#include <gtest/gtest.h>

#include <map>

#include "app/exit_status.h"
#include "app/refusal.h"
#include "platform/program_directory.h"

namespace {

/// The disk as the plan sees it: the identity of each path that leads somewhere.
IdentityOf disk(std::map<std::string, FileIdentity> identities) {
  return [identities](const std::string& path) -> std::optional<FileIdentity> {
    const auto found = identities.find(path);
    if (found == identities.end()) return std::nullopt;
    return found->second;
  };
}

const std::vector<RunFile> kSources = {{"line description", "K_linea.txt"}, {"train service", "K_7-.txt"}};

TEST(OutputPlan, TheBinaryFilesAreNamedAndLabelledInTheirOrder) {
  const std::vector<RunFile> outputs = binary_outputs("out", "K", "7");
  ASSERT_EQ(outputs.size(), 3u);
  EXPECT_EQ(outputs[0].role, "plan trace");
  EXPECT_EQ(outputs[0].path, path_in("out", "K_linea.dat"));
  EXPECT_EQ(outputs[1].role, "scenario table");
  EXPECT_EQ(outputs[1].path, path_in("out", "K_7.sim"));
  EXPECT_EQ(outputs[2].role, "track grid");
  EXPECT_EQ(outputs[2].path, path_in("out", "K_7.dat"));
  EXPECT_EQ(written_files(outputs, {10, 20, 30}), "K_linea.dat (10 bytes), K_7.sim (20 bytes), K_7.dat (30 bytes)");
  EXPECT_EQ(written_files(outputs), "K_linea.dat, K_7.sim, K_7.dat");
}

TEST(OutputPlan, AnOutputThatIsAnInputUnderAnyNameIsRefusedBeforeAnythingIsDone) {
  // The grid K_7.dat in "." is the line description under another name (a hard or a symbolic link).
  const auto identities = disk({{"K_linea.txt", {1, 10}}, {"K_7-.txt", {1, 11}}, {path_in(".", "K_7.dat"), {1, 10}}});
  const Result<OutputPlan> plan = plan_outputs(kSources, binary_outputs(".", "K", "7"), {"."}, identities);
  ASSERT_FALSE(plan);
  EXPECT_EQ(plan.status().code(), Status::Code::InvalidArgument);
  EXPECT_EQ(exit_status_of(plan.status()), kExitUsage);
  EXPECT_EQ(plan.status().message(), "the track grid " + path_in(".", "K_7.dat") +
                                         " would replace the line description K_linea.txt, which this run reads (they "
                                         "are one file): nothing written");
}

TEST(OutputPlan, OutputsNotYetOnDiskAndOtherFilesArePlanned) {
  const auto identities = disk({{"K_linea.txt", {1, 10}}, {"K_7-.txt", {1, 11}}, {path_in("out", "K_7.sim"), {1, 12}}});
  const Result<OutputPlan> plan = plan_outputs(kSources, binary_outputs("out", "K", "7"), {"out"}, identities);
  ASSERT_TRUE(plan) << plan.status().message();
  EXPECT_EQ(plan->outputs.size(), 3u);
  EXPECT_EQ(plan->directories, std::vector<std::string>{"out"});
}

TEST(OutputPlan, ADirectoryIsClaimedOnceUnderAllItsNames) {
  // A second lock of one directory would wait for the first: "out" and "./out" are one directory.
  const auto identities = disk({{"out", {1, 5}}, {"./out", {1, 5}}, {"pictures", {1, 6}}});
  const Result<OutputPlan> plan = plan_outputs({}, {}, {"out", "./out", "pictures", "new"}, identities);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->directories, (std::vector<std::string>{"out", "pictures", "new"}));
}

TEST(OutputPlan, EveryFailureHasTheExitStatusOfItsKind) {
  EXPECT_EQ(exit_status_of(Status::invalid_argument("x")), kExitUsage);
  EXPECT_EQ(exit_status_of(Status::corruption("x")), kExitError);
  EXPECT_EQ(exit_status_of(Status::io_error("p", "x")), kExitFileFailure);
  EXPECT_EQ(exit_status_of(Status::busy("p", "x")), kExitFileFailure);
}

}  // namespace
