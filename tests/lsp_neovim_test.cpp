// `scenario lsp` with a real editor as its client: Neovim, headless, without the user's configuration,
// opens a train service with a planted mistake and waits for the server's diagnostics; then the script
// fixes the line and waits for them to clear (tests/lsp_neovim.lua).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temporary_directory.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(LanguageServerInNeovim, ShowsThePlantedMistakeAtItsLineAndClearsItOnceFixed) {
  ASSERT_EQ(std::system("command -v nvim > /dev/null"), 0) << "nvim is missing: scripts/install-dependencies.sh installs it";
  const test_support::TemporaryDirectory directory("scenario-nvim");
  ASSERT_EQ(test_support::run_scenario(directory.path(), "new Demo 1").status, 0);

  // The planted mistake: the first signal in the cell of the first speed board (850 m), error E16.
  const std::string good = "segnale,    1800";
  const std::string planted = "segnale,     850";
  std::string service = directory.read("Demo_1-.txt");
  const std::size_t at = service.find(good);
  ASSERT_NE(at, std::string::npos);
  service.replace(at, good.size(), planted);
  directory.write("Demo_1-.txt", service);
  int line = 1;
  for (std::size_t i = 0; i < at; ++i) line += service[i] == '\n';

  // Neovim's own files (its log, its state) go to the test's directory: nothing of the user's is read
  // or written. `timeout` bounds the run even if Neovim itself hangs.
  const std::string home = directory.at("home");
  const std::string command =
      "cd '" + directory.path() + "' && env HOME='" + home + "' XDG_CONFIG_HOME='" + home + "/config' XDG_DATA_HOME='" +
      home + "/data' XDG_STATE_HOME='" + home + "/state' XDG_CACHE_HOME='" + home + "/cache' SCENARIO_PROGRAM='" +
      SCENARIO_EXECUTABLE "' SCENARIO_FILE='" + directory.at("Demo_1-.txt") + "' SCENARIO_PLANTED='" + planted +
      "' SCENARIO_FIXED='" + good + "' SCENARIO_RESULT='" + directory.at("result.txt") +
      "' timeout 90 nvim --headless --clean -c 'luafile " LSP_NEOVIM_SCRIPT "' > '" + directory.at("nvim.log") +
      "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string result = directory.read("result.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "status " << status << "\n" << result << directory.read("nvim.log");
  EXPECT_EQ(lines_of(result), (std::vector<std::string>{"diagnostic E16 " + std::to_string(line), "cleared", "server exit 0"}))
      << directory.read("nvim.log");
}

}  // namespace
