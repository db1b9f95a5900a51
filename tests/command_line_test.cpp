// What every command gives back through the real executable: the exit status of each kind of failure,
// and the output directories that generate and compile make when they are missing.
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
#include "source/line_table.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

const std::set<std::string> kScenarioFiles{
    "Lesca-Varo_148_note.txt",
    "Lesca-Varo_148_rallentamenti.txt",
    "Lesca-Varo_148_scheda_treno.txt",
    "Lesca-Varo_linea.dat",
    "Lesca-Varo_148.sim",
    "Lesca-Varo_148.dat",
};
const std::set<std::string> kBinaryFiles{"Lesca-Varo_linea.dat", "Lesca-Varo_148.sim", "Lesca-Varo_148.dat"};

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(work()); }

  /// The directory the program runs in, empty at the start.
  std::string work() const { return root.at("work"); }
  std::string at(const std::string& name) const { return path_in(work(), name); }

  /// Runs the program in the work directory; `redirect_out` replaces the capture of its standard output.
  Outcome scenario(const std::string& arguments, const std::string& redirect_out = "") const {
    return test_support::run_scenario(work(), arguments, "", redirect_out);
  }

  /// The names in a directory.
  static std::set<std::string> entries(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
    return names;
  }

  /// The scenario's two sources, as an author would give them to compile.
  void write_sources() const {
    std::ofstream(at("Lesca-Varo_linea.txt"), std::ios::binary) << encode_lines(line_description_lines());
    std::ofstream(at("Lesca-Varo_148-.txt"), std::ios::binary) << encode_lines(train_service_lines());
  }

  test_support::TemporaryDirectory root{"command-line"};
};

TEST_F(CommandLine, GenerateMakesTheMissingOutputDirectoryWithItsParents) {
  const Outcome outcome = scenario("generate -o a/b/c");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(entries(work()), std::set<std::string>{"a"});
  EXPECT_EQ(entries(at("a/b/c")), kScenarioFiles);
  EXPECT_EQ(fs::file_size(at("a/b/c/Lesca-Varo_148.dat")), 10815u);
}

TEST_F(CommandLine, CompileMakesTheMissingOutputDirectoryWithItsParents) {
  write_sources();
  const Outcome outcome = scenario("compile Lesca-Varo_linea.txt Lesca-Varo_148-.txt -o x/y");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(entries(at("x/y")), kBinaryFiles);
}

TEST_F(CommandLine, AnOutputPathThatIsNoDirectoryIsRefusedWithItsName) {
  write_sources();
  std::ofstream(at("plain")) << "a file";
  struct Case {
    std::string arguments;
    std::string error;
  };
  const Case cases[] = {
      {"generate -o plain", "cannot make the output directory plain: plain exists and is not a directory"},
      {"generate --output plain/sub/dir",
       "cannot make the output directory plain/sub/dir: plain exists and is not a directory"},
      {"compile Lesca-Varo_linea.txt Lesca-Varo_148-.txt -o plain",
       "cannot make the output directory plain: plain exists and is not a directory"},
      {"compile Lesca-Varo_linea.txt Lesca-Varo_148-.txt -o Lesca-Varo_148-.txt/out",
       "cannot make the output directory Lesca-Varo_148-.txt/out: Lesca-Varo_148-.txt exists and is not a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Outcome outcome = scenario(c.arguments);
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.err, "scenario: error: " + c.error + "\n");
    EXPECT_EQ(read_file(at("plain")), "a file");
    EXPECT_EQ(entries(work()), (std::set<std::string>{"plain", "Lesca-Varo_linea.txt", "Lesca-Varo_148-.txt"}));
  }
}

TEST_F(CommandLine, AMistakeInTheArgumentsExitsWith2) {
  const char* const cases[] = {
      "--bogus",
      "frobnicate",
      "generate --bogus",
      "generate -o",
      "generate -o ''",
      "generate extra",
      "compile",
      "compile only_linea.txt",
      "compile a_linea.txt a_1-.txt -o ''",
      "check a_linea.txt",
      "inspect",
      "inspect a.dat b.dat",
      "preview",
      "preview a_1.dat --width 10",
      "preview a_1.dat --height wide",
  };
  for (const char* arguments : cases) {
    SCOPED_TRACE(arguments);
    const Outcome outcome = scenario(arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("Run with --help for more information."), std::string::npos) << outcome.err;
    EXPECT_TRUE(entries(work()).empty());
  }
}

TEST_F(CommandLine, HelpAndVersionAreASuccess) {
  for (const char* arguments : {"--help", "generate --help", "compile --help", "preview --help", "--version"}) {
    SCOPED_TRACE(arguments);
    const Outcome outcome = scenario(arguments);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_FALSE(outcome.out.empty());
    EXPECT_EQ(outcome.err, "");
  }
}

TEST_F(CommandLine, AFileThatCannotBeReadOrWrittenExitsWith3) {
  ASSERT_EQ(scenario("generate").status, 0);  // deletes the sources it writes: the author's come after
  write_sources();
  fs::create_directory(at("folder_linea.txt"));
  struct Case {
    std::string arguments;
    std::string redirect_out;
    std::string error;
  };
  const Case cases[] = {
      {"compile folder_linea.txt Lesca-Varo_148-.txt", "", "cannot read folder_linea.txt: not a regular file"},
      {"check Lesca-Varo_linea.txt absent_1-.txt", "", "cannot read absent_1-.txt: No such file or directory"},
      {"check /dev/null Lesca-Varo_148-.txt --line-key L", "", "cannot read /dev/null: not a regular file"},
      {"inspect absent.sim", "", "cannot read absent.sim: No such file or directory"},
      {"inspect Lesca-Varo_148.sim", "/dev/full", "cannot write the standard output"},
      {"preview folder_linea.txt/x_1.dat", "",
       "the track grid folder_linea.txt/x_1.dat is missing; no picture written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Outcome outcome = scenario(c.arguments, c.redirect_out);
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.err, "scenario: error: " + c.error + "\n");
  }
}

}  // namespace
