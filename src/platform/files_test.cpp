#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/file_error.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return temporary.at(name); }
  test_support::TemporaryDirectory temporary{"files"};
};

/// The reason of the FileError that reading `path` gives, or "(read)" when it reads.
std::string refusal(const std::string& path, ReadLimit limit = kAnySize) {
  try {
    read_file(path, limit);
    return "(read)";
  } catch (const FileError& failure) {
    EXPECT_EQ(failure.path(), path);
    return failure.reason();
  }
}

TEST_F(Files, OnlyARegularFileIsRead) {
  temporary.write("plain", "abc");
  fs::create_directory(at("folder"));
  ASSERT_EQ(mkfifo(at("fifo").c_str(), 0600), 0);  // no writer: opening it for reading would wait for one
  fs::create_symlink(at("plain"), at("link"));
  fs::create_symlink(at("fifo"), at("link-to-fifo"));
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {at("plain"), "(read)"},
      {at("link"), "(read)"},
      {at("folder"), "not a regular file"},
      {at("fifo"), "not a regular file"},
      {at("link-to-fifo"), "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {"/dev/null", "not a regular file"},
      {at("absent"), "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(refusal(c.path), c.reason);
  }
  EXPECT_EQ(read_file(at("link")), "abc");
}

TEST_F(Files, AFileAboveTheLimitIsRefusedBeforeItIsRead) {
  constexpr ReadLimit kLimit{1 << 20, "a thing"};
  temporary.write("at-limit", std::string(kLimit.bytes, 'x'));
  EXPECT_EQ(read_file(at("at-limit"), kLimit).size(), kLimit.bytes);

  // Sparse: 4 GiB that take no room and would take the memory of the test if they were read.
  for (const std::uint64_t size : {kLimit.bytes + 1, std::uint64_t{4} << 30}) {
    SCOPED_TRACE(size);
    { std::ofstream(at("large")); }
    fs::resize_file(at("large"), size);
    EXPECT_EQ(refusal(at("large"), kLimit), std::to_string(size) + " bytes, more than a thing may have (1 MiB)");
  }
  EXPECT_EQ(refusal(at("large"), ReadLimit{1000, "a source"}),
            std::to_string(std::uint64_t{4} << 30) + " bytes, more than a source may have (1000 bytes)");
  // A refusal for size tells its reader the size and the limit, so that it can say what the file cannot be.
  try {
    read_file(at("large"), kLimit);
    ADD_FAILURE() << "read a file above its limit";
  } catch (const FileTooLarge& refusal) {
    EXPECT_EQ(refusal.size(), std::uint64_t{4} << 30);
    EXPECT_EQ(refusal.limit(), kLimit.bytes);
  }
}

TEST_F(Files, AFileIsKnownUnderEveryNameThatLeadsToIt) {
  temporary.write("one", "1");
  temporary.write("other", "1");
  fs::create_hard_link(at("one"), at("hard"));
  fs::create_symlink(at("one"), at("soft"));
  const auto one = file_identity(at("one"));
  ASSERT_TRUE(one.has_value());
  EXPECT_EQ(file_identity(at("hard")), one);
  EXPECT_EQ(file_identity(at("soft")), one);
  EXPECT_EQ(file_identity(temporary.path() + "/./one"), one);
  EXPECT_NE(file_identity(at("other")), one);
  EXPECT_EQ(file_identity(at("absent")), std::nullopt);
}

}  // namespace
