// The commands that start an author off, through the real executable: `scenario new`, `scenario
// generate --keep-sources` and `scenario check --explain`.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/starter_scenario.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

class AuthorCommands : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return directory.at(name); }
  void write(const std::string& name, const std::string& text) const { directory.write(name, text); }
  Outcome scenario(const std::string& arguments) const {
    return test_support::run_scenario(directory.path(), arguments);
  }

  /// The names of the files of a directory of the test's directory, in order.
  std::string listing(const std::string& name) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(at(name))) names.insert(entry.path().filename().string());
    std::string text;
    for (const std::string& file : names) text += file + " ";
    return text;
  }

  test_support::TemporaryDirectory directory{"author-commands"};
};

TEST_F(AuthorCommands, TheStarterChecksAndCompilesCleanly) {
  const Outcome made = scenario("new Demo 1");
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "Demo 1: wrote Demo_linea.txt, Demo_1-.txt\n");
  EXPECT_EQ(made.err, "");
  EXPECT_EQ(read_file(at("Demo_linea.txt")), encode_lines(starter_line_lines()));
  EXPECT_EQ(read_file(at("Demo_1-.txt")), encode_lines(starter_service_lines()));

  const Outcome checked = scenario("check --werror Demo_linea.txt Demo_1-.txt");
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.err, "0 errors, 0 warnings\n");

  fs::create_directory(at("compiled"));
  const Outcome compiled = scenario("compile Demo_linea.txt Demo_1-.txt -o compiled");
  EXPECT_EQ(compiled.status, 0) << compiled.err;
  EXPECT_EQ(compiled.err, "");
  EXPECT_EQ(listing("compiled"), "Demo_1.dat Demo_1.sim Demo_linea.dat ");
}

TEST_F(AuthorCommands, NewReplacesNoFileUnlessForced) {
  write("Demo_linea.txt", "mine");
  const Outcome one = scenario("new Demo 1");
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(one.out, "");
  EXPECT_EQ(one.err, "scenario: error: Demo_linea.txt already exists: nothing written (--force replaces them)\n");
  EXPECT_EQ(read_file(at("Demo_linea.txt")), "mine");
  EXPECT_FALSE(fs::exists(at("Demo_1-.txt")));

  write("Demo_1-.txt", "mine too");
  const Outcome both = scenario("new Demo 1");
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.err,
            "scenario: error: Demo_linea.txt and Demo_1-.txt already exist: nothing written (--force replaces them)\n");
  EXPECT_EQ(read_file(at("Demo_1-.txt")), "mine too");

  // Another train on the same line also needs the line description: it is refused as well.
  fs::remove(at("Demo_1-.txt"));
  EXPECT_EQ(scenario("new Demo 2").status, 1);
  EXPECT_FALSE(fs::exists(at("Demo_2-.txt")));

  const Outcome forced = scenario("new Demo 1 --force");
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(read_file(at("Demo_linea.txt")), encode_lines(starter_line_lines()));
  EXPECT_EQ(read_file(at("Demo_1-.txt")), encode_lines(starter_service_lines()));
}

TEST_F(AuthorCommands, NewForceReplacesBothFilesOrNeither) {
  // A directory in the place of the train service: the line description is not replaced either.
  write("Demo_linea.txt", "mine");
  fs::create_directory(at("Demo_1-.txt"));
  const Outcome forced = scenario("new Demo 1 --force");
  EXPECT_EQ(forced.status, 3);
  EXPECT_EQ(forced.out, "");
  EXPECT_EQ(forced.err, "scenario: error: cannot write ./Demo_1-.txt: Is a directory; no file was replaced "
                        "(./Demo_linea.txt is as it was)\n");
  EXPECT_EQ(read_file(at("Demo_linea.txt")), "mine");
  EXPECT_TRUE(fs::is_directory(at("Demo_1-.txt")));
  EXPECT_EQ(listing("."), "Demo_1-.txt Demo_linea.txt ");
}

TEST_F(AuthorCommands, NewMakesAMissingDirectoryAndRefusesAFile) {
  const Outcome nested = scenario("new Monte-Blu 2231 -o a/b/c");
  EXPECT_EQ(nested.status, 0) << nested.err;
  EXPECT_EQ(nested.out, "Monte-Blu 2231: wrote a/b/c/Monte-Blu_linea.txt, a/b/c/Monte-Blu_2231-.txt\n");
  EXPECT_EQ(listing("a/b/c"), "Monte-Blu_2231-.txt Monte-Blu_linea.txt ");

  write("plain", "x");
  const Outcome file = scenario("new Demo 1 -o plain");
  EXPECT_EQ(file.status, 3);
  EXPECT_EQ(file.err, "scenario: error: cannot make the output directory plain: plain exists and is not a directory\n");
  EXPECT_EQ(read_file(at("plain")), "x");

  // A directory that cannot be made is a failure of the platform, named with its reason.
  const Outcome under_file = scenario("new Demo 1 -o plain/sub");
  EXPECT_EQ(under_file.status, 3);
  EXPECT_EQ(under_file.err,
            "scenario: error: cannot make the output directory plain/sub: plain exists and is not a directory\n");
  EXPECT_EQ(listing("."), "a plain ");
}

TEST_F(AuthorCommands, NewRefusesNamesThatWouldNotComeBack) {
  for (const char* arguments : {"new A/B 1", "new K 1_2", "new '' 1", "new K ''"}) {
    SCOPED_TRACE(arguments);
    const Outcome refused = scenario(arguments);
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("KEY TRAIN"), std::string::npos) << refused.err;
    EXPECT_EQ(listing("."), "");
  }
  // A key that holds "_" still comes back: the train number is what follows the last "_".
  EXPECT_EQ(scenario("new Lago_Blu 7").status, 0);
  EXPECT_EQ(scenario("check Lago_Blu_linea.txt Lago_Blu_7-.txt").status, 0);
}

TEST_F(AuthorCommands, GenerateKeepsTheTwoSourcesOnRequest) {
  fs::create_directory(at("plain"));
  fs::create_directory(at("kept"));
  ASSERT_EQ(scenario("generate -o plain").status, 0);
  const Outcome kept = scenario("generate -o kept --keep-sources");
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_FALSE(fs::exists(at("plain/Lesca-Varo_linea.txt")));
  EXPECT_FALSE(fs::exists(at("plain/Lesca-Varo_148-.txt")));
  EXPECT_EQ(read_file(at("kept/Lesca-Varo_linea.txt")), encode_lines(line_description_lines()));
  EXPECT_EQ(read_file(at("kept/Lesca-Varo_148-.txt")), encode_lines(train_service_lines()));
  // Everything else is the same run.
  for (const auto& entry : fs::directory_iterator(at("plain"))) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(read_file(at("kept/" + name)), read_file(entry.path().string())) << name;
  }
  const auto count = [&](const char* name) {
    return std::distance(fs::directory_iterator(at(name)), fs::directory_iterator());
  };
  EXPECT_EQ(count("kept"), count("plain") + 2);
  // The sources kept compile to the same files.
  fs::create_directory(at("again"));
  ASSERT_EQ(scenario("compile kept/Lesca-Varo_linea.txt kept/Lesca-Varo_148-.txt -o again").status, 0);
  for (const char* name : {"Lesca-Varo_linea.dat", "Lesca-Varo_148.sim", "Lesca-Varo_148.dat"})
    EXPECT_EQ(read_file(at(std::string("again/") + name)), read_file(at(std::string("plain/") + name))) << name;
}

TEST_F(AuthorCommands, CheckExplainsACodeWithoutSources) {
  const Outcome explained = scenario("check --explain E16");
  EXPECT_EQ(explained.status, 0);
  EXPECT_EQ(explained.err, "");
  EXPECT_TRUE(explained.out.starts_with("E16: signal on an occupied cell\n\n")) << explained.out;
  EXPECT_NE(explained.out.find("\nExample:\n  Demo_linea.txt:\n"), std::string::npos);
  EXPECT_NE(explained.out.find("\nFix: "), std::string::npos);

  const Outcome unknown = scenario("check --explain E14");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("unknown error code \"E14\"; the codes are E1 E2"), std::string::npos) << unknown.err;

  // An empty code is a code given, not a missing LINE.
  const Outcome empty = scenario("check --explain ''");
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("--explain: the error code is empty; the codes are E1 E2"), std::string::npos) << empty.err;
  EXPECT_EQ(empty.err.find("required"), std::string::npos) << empty.err;

  // Without --explain the sources are needed as before.
  const Outcome no_sources = scenario("check");
  EXPECT_NE(no_sources.status, 0);
  EXPECT_NE(no_sources.err.find("LINE is required"), std::string::npos) << no_sources.err;
  const Outcome no_service = scenario("check Demo_linea.txt");
  EXPECT_NE(no_service.status, 0);
  EXPECT_NE(no_service.err.find("SERVICE is required"), std::string::npos) << no_service.err;
}

}  // namespace
