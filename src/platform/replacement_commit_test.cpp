#include "platform/replacement_commit.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

/// A system in memory: each target holds a text ("" for no file), each temporary file the text written
/// to it; steps named in `refused` ("keep 1", "move 2", "put back 0", "check 1") fail with the system's
/// reason "refused".
class FakeSteps : public ReplacementSteps {
 public:
  std::vector<std::string> targets;
  std::vector<StringSink> temporaries;
  std::map<std::size_t, std::string> kept;
  std::set<std::string> refused;
  std::vector<std::string> done;

  Result<ByteSink*> make_temporary(std::size_t n) override {
    done.push_back("make " + std::to_string(n));
    return &temporaries.at(n);
  }
  Status finish_temporary(std::size_t) override { return {}; }
  Result<bool> check_target(std::size_t n) override {
    if (const Status checked = step("check", n, [] {}); !checked.is_ok()) return checked;
    return !targets[n].empty();
  }
  Status keep_earlier(std::size_t n) override {
    return step("keep", n, [&] { kept[n] = targets[n]; });
  }
  Status move_into_place(std::size_t n) override {
    return step("move", n, [&] {
      targets[n] = temporaries[n].bytes();
      temporaries[n].bytes().clear();
    });
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    return step("put back", n, [&] {
      targets[n] = had_earlier ? kept[n] : "";
      kept.erase(n);
    });
  }
  void clean_up(std::size_t n) override {
    temporaries.at(n).bytes().clear();
    kept.erase(n);
  }
  Status make_durable() override { return {}; }

  bool nothing_left_aside() const {
    for (const StringSink& temporary : temporaries)
      if (!temporary.bytes().empty()) return false;
    return kept.empty();
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

/// Three files: a and c replace earlier ones, b is new.
FakeSteps three_targets() {
  FakeSteps steps;
  steps.targets = {"old a", "", "old c"};
  steps.temporaries.resize(3);
  return steps;
}

std::vector<FileReplacement> three_files() {
  std::vector<FileReplacement> files;
  for (const std::string& path : kPaths)
    files.push_back({path, [path](ByteSink& sink) { sink.write("new " + path.substr(4)); }});
  return files;
}

TEST(ReplacementCommit, EveryFileWrittenThenEveryTargetCheckedThenEachPutInPlace) {
  FakeSteps steps = three_targets();
  EXPECT_EQ(replace_through(three_files(), steps), (std::vector<std::uint64_t>{5, 5, 5}));
  EXPECT_EQ(steps.targets, (std::vector<std::string>{"new a", "new b", "new c"}));
  EXPECT_TRUE(steps.nothing_left_aside());
  EXPECT_EQ(steps.done, (std::vector<std::string>{"make 0", "make 1", "make 2", "check 0", "check 1", "check 2",
                                                  "keep 0", "move 0", "move 1", "keep 2", "move 2"}));
}

TEST(ReplacementCommit, AWriterThatFailsLeavesNoTemporaryFile) {
  FakeSteps steps = three_targets();
  std::vector<FileReplacement> files = three_files();
  files[1].write = [](ByteSink& sink) {
    sink.write("half");
    throw FileError("out/b", "No space left on device");
  };
  EXPECT_THROW(replace_through(files, steps), ReplacementFailure);
  EXPECT_EQ(steps.targets, (std::vector<std::string>{"old a", "", "old c"}));
  EXPECT_TRUE(steps.nothing_left_aside());
}

TEST(ReplacementCommit, AFailedRenamePutsBackTheFilesBeforeItInReverse) {
  FakeSteps steps = three_targets();
  steps.refused = {"move 2"};
  try {
    replace_through(three_files(), steps);
    FAIL() << "no failure";
  } catch (const ReplacementFailure& failure) {
    EXPECT_EQ(failure.path(), "out/c");
    EXPECT_EQ(failure.reason(), "refused; no file was replaced (out/a and out/b are as they were)");
    EXPECT_TRUE(failure.replaced().empty());
    EXPECT_EQ(failure.unchanged(), kPaths);
  }
  // b had no file: it has none again.
  EXPECT_EQ(steps.targets, (std::vector<std::string>{"old a", "", "old c"}));
  const std::vector<std::string> renames(steps.done.begin() + 6, steps.done.end());
  EXPECT_EQ(renames,
            (std::vector<std::string>{"keep 0", "move 0", "move 1", "keep 2", "move 2", "put back 1", "put back 0"}));
  EXPECT_TRUE(steps.nothing_left_aside());
}

TEST(ReplacementCommit, EveryFailureNamesWhatBecameOfTheOthers) {
  struct Case {
    const char* name;
    std::set<std::string> refused;
    std::vector<std::string> targets;  // after the failure
    std::string reason;
  };
  const Case cases[] = {
      {"the earlier file could not be kept aside",
       {"keep 0", "move 2"},
       {"new a", "", "old c"},
       "refused; only part of the files was replaced: out/a is new and could not be put back, out/b and out/c are "
       "as they were"},
      {"the putting back failed",
       {"move 2", "put back 1"},
       {"old a", "new b", "old c"},
       "refused; only part of the files was replaced: out/b is new and could not be put back, out/a and out/c are "
       "as they were"},
      {"the first rename failed",
       {"move 0"},
       {"old a", "", "old c"},
       "refused; no file was replaced (out/b and out/c are as they were)"},
      {"a target that cannot be replaced, found before any rename",
       {"check 2"},
       {"old a", "", "old c"},
       "refused; no file was replaced (out/a and out/b are as they were)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSteps steps = three_targets();
    steps.refused = c.refused;
    try {
      replace_through(three_files(), steps);
      ADD_FAILURE() << "no failure";
    } catch (const ReplacementFailure& failure) {
      EXPECT_EQ(failure.reason(), c.reason);
    }
    EXPECT_EQ(steps.targets, c.targets);
    EXPECT_TRUE(steps.nothing_left_aside()) << "an earlier file left aside";
  }
}

TEST(ReplacementCommit, OneFileSaysOnlyTheReason) {
  EXPECT_EQ(replacement_failure({"out/a"}, 0, "Is a directory").reason(), "Is a directory");
  EXPECT_EQ(replacement_failure({"out/a", "out/b"}, 1, "Is a directory").reason(),
            "Is a directory; no file was replaced (out/a is as it was)");
}

}  // namespace
