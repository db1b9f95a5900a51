// The real program, run without a display in a directory of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

class Program : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(SCENARIO_EXECUTABLE, path_in(directory, "scenario")); }

  /// Runs the copied program (by default without a display); returns its exit status.
  int run(const std::string& arguments = "", const std::string& environment = "env -u DISPLAY") {
    const std::string command = "cd / && " + environment + " '" + path_in(directory, "scenario") + "' " + arguments +
                                " > '" + path_in(directory, "stdout") + "' 2> '" + path_in(directory, "stderr") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
    return names;
  }

  test_support::TemporaryDirectory temporary{"program"};
  std::string directory = temporary.path();
};

TEST_F(Program, WritesItsFilesIntoItsOwnDirectory) {
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(read_file(path_in(directory, "stderr")), "");
  const std::set<std::string> expected{
      "scenario",
      "stdout",
      "stderr",
      "Lesca-Varo_148_note.txt",
      "Lesca-Varo_148_rallentamenti.txt",
      "Lesca-Varo_148_scheda_treno.txt",
      "Lesca-Varo_linea.dat",
      "Lesca-Varo_148.sim",
      "Lesca-Varo_148.dat",
  };
  EXPECT_EQ(files(), expected);
  EXPECT_EQ(fs::file_size(path_in(directory, "Lesca-Varo_148.dat")), 10815u);
}

TEST_F(Program, AFileThatCannotBeWrittenEndsTheRunWithItsNameAndReason) {
  // A directory where the line description should go: the write fails.
  fs::create_directory(path_in(directory, "Lesca-Varo_linea.txt"));
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(read_file(path_in(directory, "stderr")),
            "Errore sul file " + path_in(directory, "Lesca-Varo_linea.txt") + ": Is a directory\n");
  EXPECT_FALSE(fs::exists(path_in(directory, "Lesca-Varo_148-.txt")));
  for (const auto& name : files()) EXPECT_NE(name.rfind(".scenario-", 0), 0u) << name;
}

// The copy has no scenario-graphics beside it, which draws the windows and the pictures.

TEST_F(Program, WithoutItsGraphicsProgramTheWindowRunGoesOnWithoutAWindow) {
  // A display is named, so the run is handed to scenario-graphics; no server is asked.
  EXPECT_EQ(run("", "DISPLAY=:979"), 0);
  EXPECT_EQ(read_file(path_in(directory, "stderr")),
            "scenario: note: " + path_in(directory, "scenario-graphics") +
                " cannot be started (No such file or directory): the run goes on without a window\n");
  EXPECT_EQ(fs::file_size(path_in(directory, "Lesca-Varo_148.dat")), 10815u);
  EXPECT_FALSE(fs::exists(path_in(directory, "Lesca-Varo_linea.txt")));
}

TEST_F(Program, WithoutItsGraphicsProgramAPictureIsAFileFailure) {
  ASSERT_EQ(run("generate --keep-sources -o '" + directory + "'"), 0);
  for (const std::string& arguments : {"preview '" + path_in(directory, "Lesca-Varo_148.dat") + "'",
                                       "watch '" + path_in(directory, "Lesca-Varo_linea.txt") + "' '" +
                                           path_in(directory, "Lesca-Varo_148-.txt") + "' --preview picture.png"}) {
    SCOPED_TRACE(arguments);
    EXPECT_EQ(run(arguments), 3);
    EXPECT_EQ(read_file(path_in(directory, "stderr")), "scenario: error: cannot start " +
                                                           path_in(directory, "scenario-graphics") +
                                                           ", which draws the pictures: No such file or directory\n");
  }
  EXPECT_FALSE(fs::exists(path_in(directory, "Lesca-Varo_148.png")));
  EXPECT_FALSE(fs::exists("/picture.png"));
}

}  // namespace
