#include "platform/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
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

mode_t mode_of(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST_F(FileReplacement, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheMasksDefault) {
  struct Case {
    std::optional<mode_t> earlier;  // the mode of the file replaced; none: a new file
    mode_t mask;
    mode_t expected;
  };
  const Case cases[] = {
      {0600, 022, 0600}, {0640, 022, 0640}, {0444, 077, 0444}, {0755, 0, 0755},
      {std::nullopt, 022, 0644}, {std::nullopt, 077, 0600}, {std::nullopt, 0, 0666},
  };
  const std::string path = path_in(directory, "kept-mode");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.earlier.value_or(0)) + " under mask " + std::to_string(c.mask));
    fs::remove(path);
    if (c.earlier) {
      std::ofstream(path) << "earlier";
      ASSERT_EQ(chmod(path.c_str(), *c.earlier), 0);
    }
    const mode_t earlier_mask = umask(c.mask);
    replace_file(path, "new");
    umask(earlier_mask);
    EXPECT_EQ(read_file(path), "new");
    EXPECT_EQ(mode_of(path), c.expected);
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
