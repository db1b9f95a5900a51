#include "platform/files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/file_error.h"
#include "platform/file_uri.h"
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
  struct Case {
    std::string path;
    std::string reason;
  };
#ifdef _WIN32
  // Devices have names of their own in every directory; "CON" would read the console.
  const Case cases[] = {
      {at("plain"), "(read)"},
      {at("folder"), "not a regular file"},
      {"NUL", "not a regular file"},
      {"CON", "not a regular file"},
      {at("absent"), "No such file or directory"},
      {at("absent") + "\\inside", "No such file or directory"},
  };
#else
  ASSERT_EQ(mkfifo(at("fifo").c_str(), 0600), 0);  // no writer: opening it for reading would wait for one
  fs::create_symlink(at("plain"), at("link"));
  fs::create_symlink(at("fifo"), at("link-to-fifo"));
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
  EXPECT_EQ(read_file(at("link")), "abc");
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(refusal(c.path), c.reason);
  }
  EXPECT_EQ(read_file(at("plain")), "abc");
}

TEST_F(Files, NamesBeyondAsciiAreReadWrittenAndDeleted) {
  // UTF-8 inside the program; on Windows the system gets the same names in UTF-16.
  const std::string name = at("citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x9A\x86.txt");
  EXPECT_FALSE(file_exists(name));
  temporary.write("citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x9A\x86.txt", "linea");
  EXPECT_TRUE(file_exists(name));
  EXPECT_EQ(read_file(name), "linea");
  EXPECT_TRUE(file_identity(name).has_value());
  delete_file_if_present(name);
  EXPECT_FALSE(file_exists(name));
  EXPECT_NO_THROW(delete_file_if_present(name));  // already gone: no failure
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
  const auto one = file_identity(at("one"));
  ASSERT_TRUE(one.has_value());
  EXPECT_EQ(file_identity(at("hard")), one);
#ifndef _WIN32
  // (A symbolic link on Windows needs a privilege a user seldom has.)
  fs::create_symlink(at("one"), at("soft"));
  EXPECT_EQ(file_identity(at("soft")), one);
#endif
  EXPECT_EQ(file_identity(temporary.path() + "/./one"), one);
  EXPECT_NE(file_identity(at("other")), one);
  EXPECT_EQ(file_identity(at("absent")), std::nullopt);
}

TEST(ShownNames, EveryNameBecomesUtf8AndUtf8StaysAsItIs) {
  const std::pair<std::string, std::string> cases[] = {
      {"K_linea.txt", "K_linea.txt"},
      {"citt\xC3\xA0_linea.txt", "citt\xC3\xA0_linea.txt"},      // UTF-8 stays
      {"citt\xE0_linea.txt", "citt\xEF\xBF\xBD_linea.txt"},      // Windows-1252 from an old archive
      {"a\xC3", "a\xEF\xBF\xBD"},                                // a character cut off by the end
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // an overlong "/"
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"\xF0\x9F\x9A\x86", "\xF0\x9F\x9A\x86"},                  // beyond the first plane
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(shown_name(name), shown) << name;
}

TEST(ShownNames, AFileUriReferencePercentEncodesWhatAUriCannotHold) {
  EXPECT_EQ(uri_reference_of_path("M_linea.txt"), "M_linea.txt");
  EXPECT_EQ(uri_reference_of_path("citt\xE0 1/K_linea.txt"), "citt%E0%201/K_linea.txt");
  EXPECT_EQ(uri_reference_of_path("a%b#c?d"), "a%25b%23c%3Fd");
#ifdef _WIN32
  EXPECT_EQ(uri_reference_of_path("dir\\K_linea.txt"), "dir/K_linea.txt");
#endif
}

TEST(NewNames, OnlyWindowsRefusesNamesItKeepsForDevices) {
  for (const char* name : {"COM1.txt", "nul", "Lpt9", "con.dat", "a:b", "dot.", "AUX .txt"}) {
#ifdef _WIN32
    EXPECT_EQ(check_new_name(name).code(), Status::Code::InvalidArgument) << name;
#else
    EXPECT_TRUE(check_new_name(name).is_ok()) << name;
#endif
  }
  for (const char* name : {"COM10", "console", "uscita_\xC3\xA8", "out"})
    EXPECT_TRUE(check_new_name(name).is_ok()) << name;
}

}  // namespace
