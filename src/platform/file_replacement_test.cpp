#include "platform/file_replacement.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
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
#ifndef _WIN32
  void TearDown() override { chmod(directory.c_str(), 0755); }
#endif
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
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
#ifdef _WIN32
  if (true) {
#else
  if (geteuid() == 0) {
#endif
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
#ifndef _WIN32
  const std::string path = path_in(directory, "kept.txt");
  std::ofstream(path) << "earlier";
  chmod(directory.c_str(), 0555);
  EXPECT_THROW(replace_file(path, "new"), FileError);
  chmod(directory.c_str(), 0755);
  EXPECT_EQ(read_file(path), "earlier");
  EXPECT_EQ(entries(), std::vector<std::string>{"kept.txt"});
#endif
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

/// A set of three files, each written by pieces.
std::vector<::FileReplacement> three_files(const std::string& directory) {
  std::vector<::FileReplacement> files;
  for (const char* name : {"a.dat", "b.sim", "c.dat"}) {
    files.push_back({path_in(directory, name), [name](ByteSink& sink) {
                       sink.write("new ");
                       sink.write(name);
                     }});
  }
  return files;
}

TEST_F(FileReplacement, ASetIsWrittenWholeWithTheSizeOfEachFile) {
  std::ofstream(path_in(directory, "a.dat")) << "earlier";
  const std::vector<std::uint64_t> sizes = replace_files(three_files(directory));
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{9, 9, 9}));
  EXPECT_EQ(read_file(path_in(directory, "a.dat")), "new a.dat");
  EXPECT_EQ(read_file(path_in(directory, "b.sim")), "new b.sim");
  EXPECT_EQ(read_file(path_in(directory, "c.dat")), "new c.dat");
  auto names = entries();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.sim", "c.dat"}));
}

TEST_F(FileReplacement, ADirectoryInThePlaceOfOneFileOfASetReplacesNone) {
  // Every target is looked at before the first rename: the files before it keep their bytes too.
  std::ofstream(path_in(directory, "a.dat")) << "earlier a";
  fs::create_directory(path_in(directory, "b.sim"));
  try {
    replace_files(three_files(directory));
    FAIL() << "no failure";
  } catch (const ReplacementFailure& failure) {
    EXPECT_EQ(failure.path(), path_in(directory, "b.sim"));
    EXPECT_EQ(failure.reason(), "Is a directory; no file was replaced (" + path_in(directory, "a.dat") + " and " +
                                    path_in(directory, "c.dat") + " are as they were)");
    EXPECT_TRUE(failure.replaced().empty());
  }
  EXPECT_EQ(read_file(path_in(directory, "a.dat")), "earlier a");
  EXPECT_FALSE(file_exists(path_in(directory, "c.dat")));
  auto names = entries();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.sim"}));
}

TEST_F(FileReplacement, AFailureOfAWriterLeavesEveryFileAsItWas) {
  std::ofstream(path_in(directory, "a.dat")) << "earlier a";
  std::vector<::FileReplacement> files = three_files(directory);
  files[2].write = [&](ByteSink& sink) {
    sink.write("half");
    throw FileError(files[2].path, "No space left on device");
  };
  EXPECT_THROW(replace_files(files), ReplacementFailure);
  EXPECT_EQ(read_file(path_in(directory, "a.dat")), "earlier a");
  EXPECT_EQ(entries(), std::vector<std::string>{"a.dat"});
}

#ifdef _WIN32
TEST_F(FileReplacement, AFileHeldOpenElsewhereIsLeftWholeAndNamed) {
  // A file open in another program without leave to delete it (fopen's sharing) cannot be replaced on
  // Windows: the failure names it, the earlier bytes stay and no temporary file remains.
  const std::string path = path_in(directory, "open.txt");
  std::ofstream(path) << "earlier";
  {
    std::ifstream reader(path);
    ASSERT_TRUE(reader.is_open());
    try {
      replace_file(path, "new");
      ADD_FAILURE() << "replaced a file held open";
    } catch (const FileError& failure) {
      EXPECT_EQ(failure.path(), path);
      EXPECT_EQ(failure.reason(), "Permission denied");
    }
  }
  EXPECT_EQ(read_file(path), "earlier");
  EXPECT_EQ(entries(), std::vector<std::string>{"open.txt"});
  replace_file(path, "new");  // let go, it is replaced
  EXPECT_EQ(read_file(path), "new");
}

TEST_F(FileReplacement, AFileOfASetHeldOpenElsewhereReplacesNoneAndIsNamed) {
  // As the simulator holds the scenario open: the other two files keep their bytes.
  for (const char* name : {"a.dat", "b.sim", "c.dat"}) std::ofstream(path_in(directory, name)) << "earlier";
  {
    std::ifstream reader(path_in(directory, "c.dat"));
    ASSERT_TRUE(reader.is_open());
    try {
      replace_files(three_files(directory));
      ADD_FAILURE() << "replaced a file held open";
    } catch (const ReplacementFailure& failure) {
      EXPECT_EQ(failure.path(), path_in(directory, "c.dat"));
      EXPECT_EQ(failure.reason(), "Permission denied; no file was replaced (" + path_in(directory, "a.dat") + " and " +
                                      path_in(directory, "b.sim") + " are as they were)");
    }
  }
  for (const char* name : {"a.dat", "b.sim", "c.dat"})
    EXPECT_EQ(read_file(path_in(directory, name)), "earlier") << name;
  EXPECT_EQ(entries().size(), 3u);
}
#else
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
      {0600, 022, 0600},         {0640, 022, 0640},         {0444, 077, 0444},       {0755, 0, 0755},
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

TEST_F(FileReplacement, APlantedSymbolicLinkIsReplacedWithoutGivingItsTargetsModeOrBytes) {
  // The link is the file replaced: the new file gets a new file's mode, never that of what it leads to,
  // and what it leads to keeps its bytes and its mode.
  const std::string target = path_in(directory, "elsewhere");
  std::ofstream(target) << "not ours";
  ASSERT_EQ(chmod(target.c_str(), 0700), 0);
  const std::string path = path_in(directory, "planted");
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
  const mode_t earlier_mask = umask(022);
  replace_file(path, "new");
  umask(earlier_mask);
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  EXPECT_EQ(read_file(path), "new");
  EXPECT_EQ(read_file(target), "not ours");
  EXPECT_EQ(mode_of(target), 0700u);
}

#endif

TEST(ProgramDirectory, PathsPutTheSeparatorWithoutLookingAtTheDirectory) {
  const std::string directory = program_directory();
  EXPECT_TRUE(fs::is_directory(directory));
#ifdef _WIN32
  EXPECT_EQ(path_in("C:\\run", "a.txt"), "C:\\run\\a.txt");
  EXPECT_EQ(path_in("out", "a.txt"), "out\\a.txt");
  EXPECT_NE(directory.back(), '\\');
  EXPECT_EQ(directory.find('/'), std::string::npos) << directory;
#else
  EXPECT_EQ(path_in("/opt/run", "a.txt"), "/opt/run/a.txt");
  EXPECT_EQ(path_in("/opt/run/", "a.txt"), "/opt/run//a.txt");
  EXPECT_NE(directory.back(), '/');
#endif
}

}  // namespace
