#include "app/output_directory.h"
#include "app/output_plan.h"
#include "platform/program_directory.h"
#include "support/temporary_directory.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A symbolic link on Windows needs a privilege that a user seldom holds: the cases that need one run on
// Linux only.
#ifdef _WIN32
constexpr bool kSymbolicLinks = false;
#else
constexpr bool kSymbolicLinks = true;
#endif

class OutputDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(root + "/file") << "not a directory";
    fs::create_directory(root + "/existing");
    std::ofstream(root + "/existing/kept") << "kept";
    if (kSymbolicLinks) fs::create_directory_symlink(root + "/existing", root + "/link");
  }
  test_support::TemporaryDirectory temporary{"output-directory"};
  std::string root = temporary.path();
};

TEST_F(OutputDirectory, AMissingDirectoryIsCreatedWithItsParents) {
  struct Case {
    std::string asked;
    std::string made;  // the directory that must be there afterwards
  };
  std::vector<Case> cases = {
      {"/a/b/c", "/a/b/c"},
      {"/existing/d/e/", "/existing/d/e"},
      {"/g/../h", "/h"},
  };
  if (kSymbolicLinks) cases.push_back({"/link/f", "/existing/f"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    EXPECT_EQ(create_output_directory(root + c.asked).message(), "");
    EXPECT_TRUE(fs::is_directory(root + c.made));
  }
}

TEST_F(OutputDirectory, AnExistingDirectoryIsLeftAsItIs) {
  for (const std::string asked : {"/existing", "/existing/", "/link"}) {
    if (asked == "/link" && !kSymbolicLinks) continue;
    SCOPED_TRACE(asked);
    EXPECT_EQ(create_output_directory(root + asked).message(), "");
    EXPECT_EQ(fs::file_size(root + "/existing/kept"), 4u);
  }
}

TEST_F(OutputDirectory, APartThatIsNoDirectoryIsNamed) {
  // The part is named with the system's separators ("\\" on Windows).
  const std::string file = path_in(root, "file");
  const std::string kept = path_in(path_in(root, "existing"), "kept");
  EXPECT_EQ(create_output_directory(root + "/file").message(), file + " exists and is not a directory");
  EXPECT_EQ(create_output_directory(root + "/file/x/y").message(), file + " exists and is not a directory");
  EXPECT_EQ(create_output_directory(root + "/existing/kept/z").message(), kept + " exists and is not a directory");
  EXPECT_FALSE(fs::exists(root + "/existing/kept/z"));
  EXPECT_EQ(fs::file_size(root + "/file"), 15u);
}

TEST_F(OutputDirectory, AnEmptyNameIsRefused) {
  EXPECT_EQ(create_output_directory("").message(), "an empty name is no directory");
}

TEST_F(OutputDirectory, TheSystemsReasonWhenTheDirectoryCannotBeMade) {
  if (!kSymbolicLinks) GTEST_SKIP() << "no symbolic links";
  // A dangling link stands where the directory should be: it exists as an entry, leads nowhere.
  fs::create_symlink(root + "/nowhere", root + "/dangling");
  EXPECT_EQ(create_output_directory(root + "/dangling").message(), "File exists");
}

TEST_F(OutputDirectory, ARunWaitsForTheDirectoryAndHoldsIt) {
  const std::string directory = root + "/existing";
  DirectoryLock other_run;
  ASSERT_TRUE(other_run.try_lock(directory));
  DirectoryLock lock;
  EXPECT_FALSE(lock_for_the_run(directory, lock, std::chrono::milliseconds(50)));
  EXPECT_FALSE(lock.held());

  // The other run ends while this one waits.
  std::thread ending([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    other_run = DirectoryLock();
  });
  EXPECT_TRUE(lock_for_the_run(directory, lock, std::chrono::seconds(20)));
  ending.join();
  EXPECT_TRUE(lock.held());
  DirectoryLock next_run;
  EXPECT_FALSE(next_run.try_lock(directory));
}

TEST_F(OutputDirectory, AClaimMakesTheDirectoryAndLocksIt) {
  DirectoryLock lock;
  EXPECT_TRUE(claim_output_directory(root + "/new/sub", lock).is_ok());
  EXPECT_TRUE(fs::is_directory(root + "/new/sub"));
  EXPECT_TRUE(lock.held());
  DirectoryLock other;
  EXPECT_FALSE(other.try_lock(root + "/new/sub"));

  DirectoryLock refused;
  EXPECT_EQ(claim_output_directory(root + "/file/sub", refused).message(), "cannot make the output directory " + root +
                                                                               "/file/sub: " + path_in(root, "file") +
                                                                               " exists and is not a directory");
  EXPECT_FALSE(refused.held());
}

TEST_F(OutputDirectory, AnOutputThatIsAnInputIsFoundWhateverItsName) {
  std::ofstream(root + "/line.txt") << "line";
  std::ofstream(root + "/service.txt") << "service";
  fs::create_hard_link(root + "/line.txt", root + "/existing/hard.dat");
  if (kSymbolicLinks) fs::create_symlink(root + "/service.txt", root + "/existing/soft.sim");
  const std::vector<RunFile> inputs = {{"line description", root + "/line.txt"},
                                       {"train service", root + "/service.txt"}};
  struct Case {
    std::string output;
    std::string message;  // empty: no collision
  };
  std::vector<Case> cases = {
      {root + "/line.txt", "the grid " + root + "/line.txt would replace the line description " + root +
                               "/line.txt, which this run reads (they are one file): nothing written"},
      {root + "/existing/../service.txt", "the grid " + root +
                                              "/existing/../service.txt would replace the train "
                                              "service " +
                                              root +
                                              "/service.txt, which this run reads (they are one "
                                              "file): nothing written"},
      {root + "/existing/hard.dat", "the grid " + root + "/existing/hard.dat would replace the line description " +
                                        root + "/line.txt, which this run reads (they are one file): nothing written"},
      {root + "/existing/kept", ""},
      {root + "/existing/absent.dat", ""},
  };
  if (kSymbolicLinks)
    cases.push_back({root + "/existing/soft.sim", "the grid " + root +
                                                      "/existing/soft.sim would replace the train "
                                                      "service " +
                                                      root +
                                                      "/service.txt, which this run reads (they are "
                                                      "one file): nothing written"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    // The plan looks at the disk itself here: links, hard links and other names of one file.
    const Result<OutputPlan> plan =
        plan_outputs(inputs, {{"trace", root + "/existing/absent"}, {"grid", c.output}}, {root + "/existing"});
    EXPECT_EQ(plan.status().message(), c.message);
  }
}

}  // namespace
