// `scenario lsp` with a real editor as its client: Neovim, headless, without the user's configuration but
// with the README's own set-up for Neovim, opens a train service with a planted mistake and waits for the
// server's diagnostics, asks for a completion, then fixes the line and waits for the diagnostics to clear
// (tests/lsp_neovim.lua).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/program_run.h"
#include "support/temporary_directory.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

/// The README's Lua block for Neovim: the first block of Lua after the paragraph that starts with
/// "**Neovim**"; empty when there is none.
std::string readme_neovim_setup() {
  const std::string readme = read_file(README_PATH);
  const std::size_t paragraph = readme.find("\n**Neovim**");
  if (paragraph == std::string::npos) return "";
  const std::string open = "```lua\n";
  const std::size_t start = readme.find(open, paragraph);
  if (start == std::string::npos) return "";
  const std::size_t end = readme.find("```", start + open.size());
  return end == std::string::npos ? "" : readme.substr(start + open.size(), end - start - open.size());
}

TEST(LanguageServerInNeovim, TheReadmesSetUpShowsThePlantedMistakeCompletesAndClearsItOnceFixed) {
  ASSERT_EQ(std::system("command -v nvim > /dev/null"), 0)
      << "nvim is missing: scripts/install-dependencies.sh installs it";
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

  // The README's set-up, run as it is; it starts `scenario`, found on the PATH.
  const std::string setup = readme_neovim_setup();
  ASSERT_NE(setup.find("scenario"), std::string::npos) << "no Lua block for Neovim in the README";
  directory.write("setup.lua", setup);
  std::filesystem::create_directory(directory.at("bin"));
  std::filesystem::create_symlink(SCENARIO_EXECUTABLE, directory.at("bin") + "/scenario");

  // Neovim's own files (its log, its state) go to the test's directory: nothing of the user's is read
  // or written. `timeout` bounds the run even if Neovim itself hangs.
  const std::string home = directory.at("home");
  const std::string command =
      "cd '" + directory.path() + "' && env PATH='" + directory.at("bin") + ":'\"$PATH\" HOME='" + home +
      "' XDG_CONFIG_HOME='" + home + "/config' XDG_DATA_HOME='" + home + "/data' XDG_STATE_HOME='" + home +
      "/state' XDG_CACHE_HOME='" + home + "/cache' SCENARIO_SETUP='" + directory.at("setup.lua") + "' SCENARIO_FILE='" +
      directory.at("Demo_1-.txt") + "' SCENARIO_PLANTED='" + planted + "' SCENARIO_FIXED='" + good +
      "' SCENARIO_RESULT='" + directory.at("result.txt") + "' timeout 90 nvim --headless --clean -c 'luafile " +
      LSP_NEOVIM_SCRIPT "' > '" + directory.at("nvim.log") + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string result = directory.read("result.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n"
                                                             << result << directory.read("nvim.log");
  const std::vector<std::string> lines = lines_of(result);
  ASSERT_EQ(lines.size(), 5u) << result << directory.read("nvim.log");
  EXPECT_EQ(lines[0], "diagnostic E16 " + std::to_string(line));
  // The keyword's fields come as a snippet only to an editor that takes snippets (Neovim 0.7 does not).
  if (lines[2] == "snippets offered")
    EXPECT_TRUE(lines[1].starts_with("completion snippet segnale, ${1:posizione}, ${2:sx},")) << lines[1];
  else
    EXPECT_EQ(lines[1], "completion plain segnale");
  EXPECT_EQ(lines[3], "cleared");
  EXPECT_EQ(lines[4], "server exit 0");
}

}  // namespace
