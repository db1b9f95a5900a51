// The author's guide to the two formats (docs/FORMAT.md) against the program: every keyword the readers
// know with each of its fields, every error code with its meaning, the starter files as `scenario new`
// writes them, and the sessions it shows, run with the real executable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/keywords.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

const std::string& guide() {
  static const std::string text = read_file(FORMAT_GUIDE_PATH);
  return text;
}

/// The part of the guide under the "### " heading that names `written` in backquotes, up to the next
/// heading; empty when there is no such heading.
std::string section_of(const std::string& written) {
  const std::string& text = guide();
  const std::string name = "`" + written + "`";
  for (std::size_t heading = text.find("\n### "); heading != std::string::npos;
       heading = text.find("\n### ", heading + 1)) {
    const std::size_t heading_end = text.find('\n', heading + 1);
    if (text.substr(heading, heading_end - heading).find(name) == std::string::npos) continue;
    const std::size_t next = text.find("\n#", heading_end);
    return text.substr(heading_end, next == std::string::npos ? std::string::npos : next - heading_end);
  }
  return {};
}

TEST(FormatGuide, DescribesEveryKeywordWithEachOfItsFields) {
  for (const KeywordInfo& info : keyword_table()) {
    SCOPED_TRACE(std::string(info.written));
    const std::string section = section_of(std::string(info.written));
    ASSERT_FALSE(section.empty()) << "no heading names the keyword";
    for (const KeywordField& field : info.fields)
      EXPECT_NE(section.find("| `" + std::string(field.name) + "` |"), std::string::npos) << field.name;
  }
}

TEST(FormatGuide, ListsEveryErrorCodeWithItsMeaning) {
  for (const ErrorCodeInfo& entry : error_code_table()) {
    std::string row = "| E";
    row.append(std::to_string(entry.code)).append(" | ").append(entry.meaning).append(" |");
    EXPECT_NE(guide().find("\n" + row), std::string::npos) << row;
  }
}

TEST(FormatGuide, ShowsTheStarterFilesAsTheyAreWritten) {
  for (const LineTable& table : {starter_line_lines(), starter_service_lines()}) {
    std::string block = "```text\n";
    for (const std::string& line : table)
      if (line != kEndMarker) block += line + "\n";
    block += "```\n";
    EXPECT_NE(guide().find(block), std::string::npos) << block;
  }
}

TEST(FormatGuide, TheReadmeLinksToIt) {
  EXPECT_NE(read_file(README_PATH).find("(docs/FORMAT.md)"), std::string::npos);
}

struct Step {
  std::string arguments;
  std::string output;
};

/// The "$ scenario ..." lines of the guide's console blocks, in order, each with the lines shown after it.
std::vector<Step> sessions() {
  std::vector<Step> steps;
  const std::string& text = guide();
  for (std::size_t block = text.find("```console\n"); block != std::string::npos;
       block = text.find("```console\n", block + 1)) {
    const std::size_t start = block + std::string("```console\n").size();
    const std::size_t end = text.find("```\n", start);
    std::size_t line = start;
    while (line < end) {
      const std::size_t line_end = text.find('\n', line);
      const std::string content = text.substr(line, line_end - line);
      if (content.starts_with("$ scenario ")) {
        steps.push_back({content.substr(std::string("$ scenario ").size()), {}});
      } else if (!steps.empty()) {
        steps.back().output += content + "\n";
      } else {
        ADD_FAILURE() << "output before a command: " << content;
      }
      line = line_end + 1;
    }
  }
  return steps;
}

TEST(FormatGuide, ItsSessionsGiveWhatItShows) {
  const std::vector<Step> steps = sessions();
  ASSERT_GE(steps.size(), 4u);
  const test_support::TemporaryDirectory temporary("format-guide");
  const std::string& directory = temporary.path();
  const std::string log = path_in(directory, "session.log");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.arguments);
    const std::string command =
        "cd '" + directory + "' && '" SCENARIO_EXECUTABLE "' " + step.arguments + " > '" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_file(log), step.output);
  }
}

}  // namespace
