// What the program says, kept in files: each folder of tests/golden/ is one case, with the author's
// sources, a file `command` (one command line per line, the words after `scenario`) and a file
// `expected` (for each command, its exit status, standard output and standard error). The case's files
// are copied into a new directory, each command is run there by the real executable, and the transcript
// must equal `expected` byte for byte.
//
// After an intended change of a message: `build/tests/golden_tests --update` writes every `expected`
// anew (`--gtest_filter=Golden/GoldenCase.name` for one case); review the difference like code.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace {

bool update = false;

const std::filesystem::path kCases = GOLDEN_DIR;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kCases))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

/// One output in the transcript: its heading, then its text, which ends with a line end (an output
/// that does not end with one is marked so: a heading would otherwise hide it).
std::string section(const std::string& heading, const std::string& text) {
  if (text.empty()) return heading + ": (nothing)\n";
  return heading + ":\n" + text + (text.ends_with('\n') ? "" : "\n(no line end at the end)\n");
}

/// The transcript of the case's commands, run in a copy of its folder.
std::string transcript(const std::string& name) {
  const test_support::TemporaryDirectory directory("golden");
  for (const auto& entry : std::filesystem::directory_iterator(kCases / name)) {
    const std::string file = entry.path().filename().string();
    if (file != "command" && file != "expected") directory.write(file, read_file(entry.path()));
  }
  std::string text;
  for (const std::string& command : lines_of(read_file(kCases / name / "command"))) {
    if (command.empty()) continue;
    const test_support::Outcome outcome = test_support::run_scenario(directory.path(), command, "NO_COLOR=1");
    text += "$ scenario " + command + "\n";
    text += "status: " + std::to_string(outcome.status) + "\n";
    text += section("standard output", outcome.out);
    text += section("standard error", outcome.err);
  }
  return text;
}

class GoldenCase : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, SaysWhatItsExpectedFileHolds) {
  const std::filesystem::path expected = kCases / GetParam() / "expected";
  const std::string actual = transcript(GetParam());
  if (update) {
    std::ofstream(expected, std::ios::binary) << actual;
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(expected)) << expected << " is missing: run golden_tests --update";
  EXPECT_EQ(actual, read_file(expected)) << "in " << expected;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenCase, ::testing::ValuesIn(case_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                           return name;
                         });

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--update") update = true;
  return RUN_ALL_TESTS();
}
