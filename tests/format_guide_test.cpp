// The author's guide to the two formats (docs/FORMAT.md) against the program: every keyword the readers
// know with each of its fields, every error code with its meaning, the starter files as `scenario new`
// writes them, and the sessions it shows, run with the real executable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "compiler/keywords.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"
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

TEST(FormatGuide, TheReadmeLinksToIt) { EXPECT_NE(read_file(README_PATH).find("(docs/FORMAT.md)"), std::string::npos); }

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

/// A text with every run of blanks and line ends made one blank, so that a sentence of the guide is found
/// wherever its lines wrap.
std::string one_line(const std::string& text) {
  std::string flat;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (flat.empty() || flat.back() == ' ')) continue;
    flat += blank ? ' ' : c;
  }
  return flat;
}

std::string line_of(int length, const std::string& general, const std::string& entries) {
  return "[generale]\r\nlunghezza percorso, " + std::to_string(length) + "\r\n" + general + "[curve]\r\n" + entries +
         "[fine]\r\n";
}
std::string line_with(const std::string& entries) { return line_of(5000, "", entries); }
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}
std::string signal_at(int position) {
  return "segnale, " + std::to_string(position) + ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
}

RunState compiled(const std::string& line, const std::string& service = service_with("")) {
  RunState state;
  state.line_key = "D";
  state.train_number = "9";
  compile_scenario(state, line, service);
  return state;
}

bool warned(const RunState& state, WarningKind kind) {
  for (const Diagnostic& d : state.diagnostics.all())
    if (d.severity == Severity::Warning && d.warning == kind) return true;
  return false;
}

// The rules the guide states, each with the words it states them in and its example compiled.
TEST(FormatGuide, ItsRulesAreWhatTheCompilerDoes) {
  struct Rule {
    std::string says;
    std::function<void()> check;
  };
  const std::vector<Rule> rules = {
      {"\"la lunghezza del percorso\" is `lunghezza percorso`",
       [] {
         EXPECT_EQ(compiled("[generale]\r\nla lunghezza del percorso, 5000\r\n[curve]\r\n[fine]\r\n").grid.cellCount(),
                   240);
       }},
      {"\"Sfondo uno\" is no keyword at all and is passed over (`check` warns)",
       [] {
         const RunState state = compiled(line_of(5000, "Sfondo uno, 3\r\n", ""));
         EXPECT_EQ(state.table[kLineRecord].number1, 0);
         EXPECT_TRUE(warned(state, WarningKind::KeywordCase));
       }},
      {"\"pendenza-2\" is a comment, and the gradient's values are then passed over one by one",
       [] { EXPECT_EQ(compiled(line_with("pendenza, 0, 1\r\npendenza-2, 1000, 5\r\n")).grid[30].gradient, 101); }},
      {"an entry on the last line (`pendenza, 1000, 5` with nothing after it) is read and applied; only a keyword "
       "that is itself the last field is lost (`check` warns)",
       [] {
         const RunState applied = compiled("[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza, 1000, 5");
         EXPECT_EQ(applied.grid[20].gradient, 105);
         EXPECT_EQ(applied.diagnostics.warnings(), 0u);
         EXPECT_TRUE(warned(compiled("[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza"),
                            WarningKind::KeywordLastField));
       }},
      {"2826 m and 2825 m give cell 58, 2875 m also gives 58 (57.5 rounds to 58, 58.5 to 58), 2925 m gives 60",
       [] {
         for (const auto& [position, cell] : {std::pair{2826, 58}, {2825, 58}, {2875, 58}, {2925, 60}})
           EXPECT_TRUE(compiled(line_with(""), service_with(signal_at(position))).grid[cell].is(CellKind::Signal))
               << position;
       }},
      {"a speed cut (`abbattimento`) at p lies in cell round(p / 50)",
       [] {
         EXPECT_TRUE(
             compiled(line_with(""), service_with("abbattimento, 2000, 60\r\n")).grid[40].is(CellKind::ControlPoint));
       }},
      {"for a 5000 m line, up to 11900 m. Beyond, E15",
       [] {
         EXPECT_EQ(compiled(line_with("pendenza, 11900, 1\r\n")).error.code, 0);
         EXPECT_EQ(compiled(line_with("pendenza, 11901, 1\r\n")).error.code, kErrorOutOfRange);
       }},
      {"After an E15 in the line description the train service is read too, but only up to its first signal or "
       "slowdown: that entry is placed, and then the error, still set, ends the reading. The entries after it are "
       "then missing from the files, the line speed and adhesion are not completed",
       [] {
         const RunState state = compiled(line_with("pendenza, 40000, 1\r\n"),
                                         service_with(signal_at(1500) + signal_at(3000) + "velocita, 4000, 90\r\n"));
         EXPECT_EQ(state.error.code, kErrorOutOfRange);
         EXPECT_TRUE(state.grid[31].is(CellKind::Signal));
         EXPECT_FALSE(state.grid[61].is(CellKind::Signal));
         EXPECT_EQ(state.grid[0].speedLimit, 0);
       }},
      {"a value whose next entry starts in the same first cell is never written and never told of",
       [] {
         const RunState state = compiled(line_with("pendenza, 0, 300\r\npendenza, 0, 0\r\n"));
         EXPECT_EQ(state.grid[0].gradient, 100);
         EXPECT_EQ(state.diagnostics.warnings(), 0u);
       }},
      {"entries crowded into the grid's last cells push the fill on past its last cell: a read failure (E25)",
       [] {
         std::string crowded;
         for (int n = 0; n < 4; ++n) crowded += "pendenza, 11900, 1\r\n";
         EXPECT_EQ(compiled(line_with(crowded)).error.code, kErrorReadFailure);
       }},
      {"when neither is free but one of them already holds a control point (a speed cut, or one placed for another "
       "slowdown), that one's speed is lowered to 180 at most instead, and only when neither holds one is it E11",
       [] {
         // The slowdown's warning is in cell 53; the signal in cell 50 has a speed cut in 49, a signal in 48.
         const RunState state =
             compiled(line_with(""), service_with("abbattimento, 2450, 200\r\n" + signal_at(2350) + signal_at(2450) +
                                                  "rallentamento, 3800, 40, 350, 0, 0, 0\r\n"));
         EXPECT_EQ(state.error.code, 0);
         EXPECT_EQ(state.grid[49].value1, 180);
       }},
      {"An object that leaves both values 0 (a speed cut below 1, a speed board whose speeds are all 0) passes",
       [] {
         EXPECT_EQ(compiled(line_with(""), service_with("abbattimento, 50, 0\r\n")).error.code, 0);
         EXPECT_EQ(compiled(line_with("indicatori_vmax, 0, 0, 0, 0, 0, , , , 0\r\n")).error.code, 0);
         EXPECT_EQ(compiled(line_with(""), service_with("abbattimento, 50, 60\r\n")).error.code, kErrorMarkerTaken);
       }},
      {"a line of -100 m has cells 0 to 138",
       [] {
         const RunState state = compiled(line_of(-100, "", ""));
         EXPECT_EQ(state.error.code, 0);
         EXPECT_EQ(state.grid.cellCount(), 138);
         EXPECT_TRUE(warned(state, WarningKind::LineNotPositive));
       }},
      {"a length of -6975 to -7000 m would leave it cell 0 alone, and is refused with E1 too; from -7001 m on not "
       "even the plan trace (metres 0 to length + 7000) can be made, a read failure (E25)",
       [] {
         // Cell 1 stands at 0 m: a line this short has room for no position from 0 m on.
         EXPECT_EQ(compiled(line_of(-6974, "", ""), "[generale]\r\n[fine]\r\n").error.code, 0);
         EXPECT_EQ(compiled(line_of(-6975, "", "")).error.code, kErrorLineLength);
         EXPECT_EQ(compiled(line_of(-7000, "", "")).error.code, kErrorLineLength);
         EXPECT_EQ(compiled(line_of(-7001, "", "")).error.code, kErrorReadFailure);
       }},
      {"A reference that the sorting set to 0 is not tested, whatever its entry said",
       [] {
         // Two references that share the greatest start: all three become 0, the 5025 with them.
         const RunState state = compiled(line_of(
             5000, "progressiva chilometrica uno, 1000, 5025, 0\r\nprogressiva chilometrica due, 1000, 3000, 0\r\n",
             ""));
         EXPECT_EQ(state.error.code, 0);
         EXPECT_EQ(compiled(line_of(5000, "progressiva chilometrica uno, 0, 5025, 0\r\n", "")).error.code,
                   kErrorKilometricReference);
       }},
      {"the first of the digits 1, 2, 3, 4, 5, 6 that the field holds, tested in that order, so the lowest of them "
       "(\"curva 42\" is sharpness 2)",
       [] { EXPECT_EQ(compiled(line_with("curva 42, 100, 10\r\n")).trace.points().value(101, kAxisX), 0.0002); }},
      {"\"curva destra 3\" also turns left",
       [] {
         EXPECT_EQ(compiled(line_with("curva destra 3, 100, 10\r\n")).trace.points().value(101, kAxisX), -0.0004);
       }},
      {"km/h, -2 to 1277",
       [] {
         for (const auto& [speed, code] :
              {std::pair{-2, 0}, {1277, 0}, {-3, int{kErrorReadFailure}}, {1278, int{kErrorReadFailure}}})
           EXPECT_EQ(
               compiled(line_with(""), service_with("velocita, 100, " + std::to_string(speed) + "\r\n")).error.code,
               code)
               << speed;
       }},
      {"`orologio, 16 22 40` holds three numbers",
       [] {
         const RunState state = compiled(line_with(""), service_with("orologio, 16 22 40\r\n"));
         EXPECT_EQ(state.table[kServiceRecord].short3, 16);
         EXPECT_EQ(state.table[kServiceRecord].short4, 22);
         EXPECT_EQ(state.table[kServiceRecord].short5, 40);
       }},
  };
  const std::string text = one_line(guide());
  for (const Rule& rule : rules) {
    SCOPED_TRACE(rule.says);
    EXPECT_NE(text.find(one_line(rule.says)), std::string::npos) << "the guide no longer says so";
    rule.check();
  }
}

}  // namespace
