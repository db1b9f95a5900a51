#include "platform/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

class FileReplacement : public ::testing::Test {
 protected:
  void TearDown() override { chmod(directory.c_str(), 0755); }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    return names;
  }
  test_support::TemporaryDirectory temporary{"replace"};
  std::string directory = temporary.path();
};

TEST_F(FileReplacement, CreatesAMissingFile) {
  const std::string path = path_in(directory, "new.txt");
  replace_file(path, "abc\r\n");
  EXPECT_EQ(read_file(path), "abc\r\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"new.txt"});
}

TEST_F(FileReplacement, ReplacesALongerFileWhole) {
  const std::string path = path_in(directory, "old.txt");
  std::ofstream(path) << std::string(10000, 'x');
  replace_file(path, "short");
  EXPECT_EQ(read_file(path), "short");
}

TEST_F(FileReplacement, AFailedWriteLeavesTheEarlierFileWholeAndNoTemporary) {
  if (geteuid() == 0) {
    // root writes into read-only directories: make the target a directory instead, so the rename fails.
    const std::string path = path_in(directory, "taken");
    fs::create_directory(path);
    std::ofstream(path_in(path, "inside")) << "kept";
    try {
      replace_file(path, "new");
      FAIL() << "no failure";
    } catch (const FileError& failure) {
      EXPECT_EQ(failure.path(), path);
      EXPECT_FALSE(failure.reason().empty());
    }
    EXPECT_EQ(read_file(path_in(path, "inside")), "kept");
    EXPECT_EQ(entries(), std::vector<std::string>{"taken"});
    return;
  }
  const std::string path = path_in(directory, "kept.txt");
  std::ofstream(path) << "earlier";
  chmod(directory.c_str(), 0555);
  EXPECT_THROW(replace_file(path, "new"), FileError);
  chmod(directory.c_str(), 0755);
  EXPECT_EQ(read_file(path), "earlier");
  EXPECT_EQ(entries(), std::vector<std::string>{"kept.txt"});
}

TEST_F(FileReplacement, AMissingDirectoryIsReportedWithTheFileName) {
  const std::string path = path_in(directory, "absent/file.txt");
  try {
    replace_file(path, "x");
    FAIL() << "no failure";
  } catch (const FileError& failure) {
    EXPECT_EQ(failure.path(), path);
    EXPECT_EQ(failure.reason(), "No such file or directory");
  }
}

TEST(ProgramDirectory, PathsPutTheSeparatorWithoutLookingAtTheDirectory) {
  EXPECT_EQ(path_in("/opt/run", "a.txt"), "/opt/run/a.txt");
  EXPECT_EQ(path_in("/opt/run/", "a.txt"), "/opt/run//a.txt");
  const std::string directory = program_directory();
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_NE(directory.back(), '/');
}

}  // namespace
