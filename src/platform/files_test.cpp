#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_error.h"
#include "support/temporary_directory.h"

namespace {

class ReadRegularFile : public ::testing::Test {
 protected:
  test_support::TemporaryDirectory directory{"read-regular"};
};

TEST_F(ReadRegularFile, ReadsAFileUpToItsLimit) {
  directory.write("five", "12345");
  EXPECT_EQ(read_regular_file(directory.at("five"), 5), "12345");
  EXPECT_EQ(read_regular_file(directory.at("five"), 1000), "12345");
  directory.write("empty", "");
  EXPECT_EQ(read_regular_file(directory.at("empty"), 0), "");
}

TEST_F(ReadRegularFile, RefusesALargerFileBeforeReadingIt) {
  directory.write("five", "12345");
  try {
    read_regular_file(directory.at("five"), 4);
    FAIL() << "read a file beyond its limit";
  } catch (const FileTooLarge& refusal) {
    EXPECT_EQ(refusal.path(), directory.at("five"));
    EXPECT_EQ(refusal.size(), 5u);
    EXPECT_EQ(refusal.limit(), 4u);
    EXPECT_EQ(refusal.reason(), "5 bytes, more than 4");
  }
  // 8 GiB that take no disk: refused from its size, never read (reading it would take minutes and memory).
  const std::string sparse = directory.at("sparse");
  directory.write("sparse", "");
  ASSERT_EQ(truncate(sparse.c_str(), 8LL << 30), 0);
  try {
    read_regular_file(sparse, 1 << 20);
    FAIL() << "read a sparse file beyond its limit";
  } catch (const FileTooLarge& refusal) {
    EXPECT_EQ(refusal.size(), 8ull << 30);
  }
}

TEST_F(ReadRegularFile, RefusesWhatIsNotARegularFileWithoutWaiting) {
  // A fifo without a writer would block an ordinary open and read forever.
  const std::string fifo = directory.at("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {fifo, "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {directory.path(), "not a regular file"},
      {directory.at("missing"), "No such file or directory"},
  };
  for (const Case& c : cases) {
    try {
      read_regular_file(c.path, 1000);
      ADD_FAILURE() << "read " << c.path;
    } catch (const FileTooLarge&) {
      ADD_FAILURE() << "too large: " << c.path;
    } catch (const FileError& failure) {
      EXPECT_EQ(failure.path(), c.path);
      EXPECT_EQ(failure.reason(), c.reason) << c.path;
    }
  }
}

}  // namespace
