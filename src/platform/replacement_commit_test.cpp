#include "platform/replacement_commit.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

/// A system in memory: each target holds a text ("" for no file), each temporary file its new text;
/// steps named in `refused` fail with the system's reason "refused".
class FakeSteps : public ReplacementSteps {
 public:
  std::vector<std::string> targets;
  std::vector<std::string> temporaries;
  std::map<std::size_t, std::string> kept;
  std::set<std::string> refused;  // "keep 1", "move 2", "put back 0"
  std::vector<std::string> done;

  Status keep_earlier(std::size_t n) override { return step("keep", n, [&] { kept[n] = targets[n]; }); }
  Status move_into_place(std::size_t n) override {
    return step("move", n, [&] {
      targets[n] = temporaries[n];
      temporaries[n].clear();
    });
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    return step("put back", n, [&] {
      targets[n] = had_earlier ? kept[n] : "";
      kept.erase(n);
    });
  }
  void clean_up(std::size_t n) override {
    temporaries[n].clear();
    kept.erase(n);
  }

 private:
  template <typename Do>
  Status step(const std::string& name, std::size_t n, Do action) {
    const std::string said = name + " " + std::to_string(n);
    done.push_back(said);
    if (refused.count(said)) return Status::io_error("file" + std::to_string(n), "refused");
    action();
    return {};
  }
};

const std::vector<std::string> kPaths = {"out/a", "out/b", "out/c"};

FakeSteps three_files() {
  FakeSteps steps;
  steps.targets = {"old a", "", "old c"};  // b is new
  steps.temporaries = {"new a", "new b", "new c"};
  return steps;
}

const std::vector<bool> kHadEarlier = {true, false, true};

TEST(ReplacementCommit, EveryFileInPlaceAndNothingLeftAside) {
  FakeSteps steps = three_files();
  commit_replacements(kPaths, kHadEarlier, steps);
  EXPECT_EQ(steps.targets, (std::vector<std::string>{"new a", "new b", "new c"}));
  EXPECT_TRUE(steps.kept.empty());
  EXPECT_EQ(steps.done, (std::vector<std::string>{"keep 0", "move 0", "move 1", "keep 2", "move 2"}));
}

TEST(ReplacementCommit, AFailedRenamePutsBackTheFilesBeforeItInReverse) {
  FakeSteps steps = three_files();
  steps.refused = {"move 2"};
  try {
    commit_replacements(kPaths, kHadEarlier, steps);
    FAIL() << "no failure";
  } catch (const ReplacementFailure& failure) {
    EXPECT_EQ(failure.path(), "out/c");
    EXPECT_EQ(failure.reason(), "refused; no file was replaced (out/a and out/b are as they were)");
    EXPECT_TRUE(failure.replaced().empty());
    EXPECT_EQ(failure.unchanged(), kPaths);
  }
  // b had no file: it has none again.
  EXPECT_EQ(steps.targets, (std::vector<std::string>{"old a", "", "old c"}));
  EXPECT_EQ(steps.done, (std::vector<std::string>{"keep 0", "move 0", "move 1", "keep 2", "move 2", "put back 1",
                                                  "put back 0"}));
  EXPECT_TRUE(steps.kept.empty());
  EXPECT_EQ(steps.temporaries, (std::vector<std::string>{"", "", ""}));
}

TEST(ReplacementCommit, WhatCannotBePutBackIsNamedAsNew) {
  struct Case {
    const char* name;
    std::set<std::string> refused;
    std::vector<std::string> targets;  // after the failure
    std::string reason;
  };
  const Case cases[] = {
      {"the earlier file could not be kept aside", {"keep 0", "move 2"}, {"new a", "", "old c"},
       "refused; only part of the files was replaced: out/a is new and could not be put back, out/b and out/c are "
       "as they were"},
      {"the putting back failed", {"move 2", "put back 1"}, {"old a", "new b", "old c"},
       "refused; only part of the files was replaced: out/b is new and could not be put back, out/a and out/c are "
       "as they were"},
      {"the first rename failed", {"move 0"}, {"old a", "", "old c"},
       "refused; no file was replaced (out/b and out/c are as they were)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSteps steps = three_files();
    steps.refused = c.refused;
    try {
      commit_replacements(kPaths, kHadEarlier, steps);
      ADD_FAILURE() << "no failure";
    } catch (const ReplacementFailure& failure) {
      EXPECT_EQ(failure.reason(), c.reason);
    }
    EXPECT_EQ(steps.targets, c.targets);
    EXPECT_TRUE(steps.kept.empty()) << "an earlier file left aside";
  }
}

TEST(ReplacementCommit, OneFileSaysOnlyTheReason) {
  EXPECT_EQ(replacement_failure({"out/a"}, 0, "Is a directory").reason(), "Is a directory");
  EXPECT_EQ(replacement_failure({"out/a", "out/b"}, 1, "Is a directory").reason(),
            "Is a directory; no file was replaced (out/a is as it was)");
}

}  // namespace
