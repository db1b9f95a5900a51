// What `check` and `compile` tell an author, through the real executable: every mistake in one check,
// each at its place with its cause, for people and for tools.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>
#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "scenario/binary_format.h"
#include "scenario/run_state.h"
#include "support/program_run.h"

namespace {

using test_support::Outcome;

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}
const std::string kSignal = ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";

/// The lines of a text that hold `part`.
std::vector<std::string> lines_with(const std::string& text, const std::string& part) {
  std::vector<std::string> found;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    if (text.compare(start, end - start, "") != 0 && text.substr(start, end - start).find(part) != std::string::npos)
      found.push_back(text.substr(start, end - start));
  return found;
}

class Diagnostics : public ::testing::Test {
 protected:
  Outcome scenario(const std::string& arguments, const std::string& environment = "") const {
    return test_support::run_scenario(directory.path(), arguments, environment);
  }
  test_support::TemporaryDirectory directory{"diagnostics"};
};

// Three independent mistakes in different entries of both files.
const std::string kThreeMistakesLine = line_with("pendenza, 0, 2\r\ncartello_indicatore, 850, (A)\r\n"
                                                 "indicatori_vmax, 850, 80, 80, 80, 0, , , , 0\r\n");
const std::string kThreeMistakesService =
    service_with("segnale, 1500" + kSignal + "segnale, 1510" + kSignal +
                 "stazione, 2675, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n");

TEST_F(Diagnostics, CheckListsEveryIndependentMistakeAndCompileTheFirst) {
  directory.write("M_linea.txt", kThreeMistakesLine);
  directory.write("M_3-.txt", kThreeMistakesService);
  const Outcome checked = scenario("check M_linea.txt M_3-.txt");
  EXPECT_EQ(checked.status, 1);
  const std::vector<std::string> errors = lines_with(checked.err, ": error ");
  ASSERT_EQ(errors.size(), 3u) << checked.err;
  EXPECT_TRUE(
      errors[0].starts_with("M_linea.txt:6:18: error E21: speed board on an occupied cell (at 850 m, cell 18): "
                            "cell 18 (850 m) holds the information board at 850 m (the line description, line 5)"))
      << errors[0];
  EXPECT_TRUE(
      errors[1].starts_with("M_3-.txt:5:10: error E16: signal on an occupied cell (at 1510 m, cell 31): cell 31 "
                            "(1500 m) holds the signal at 1500 m (the train service, line 4)"))
      << errors[1];
  EXPECT_TRUE(errors[2].starts_with("M_3-.txt:6:11: error E8: station position not a multiple of 50")) << errors[2];
  // The occupant's entry as a note with its own place.
  EXPECT_EQ(lines_with(checked.err, "M_linea.txt:5:1: note: this entry's object holds cell 18 (850 m)").size(), 1u);
  EXPECT_TRUE(checked.err.ends_with("3 errors, 0 warnings\n")) << checked.err;

  const Outcome compiled = scenario("compile M_linea.txt M_3-.txt --force");
  EXPECT_EQ(compiled.status, 1);
  EXPECT_EQ(lines_with(compiled.err, ": error ").size(), 1u) << compiled.err;
  EXPECT_EQ(lines_with(compiled.err, "scenario: 2 more errors after this one: scenario check lists them all").size(),
            1u)
      << compiled.err;
  // Checking changes nothing of what compile writes: the format's reading, which stops at the speed board.
  RunState strict;
  strict.line_key = "M";
  strict.train_number = "3";
  compile_scenario(strict, kThreeMistakesLine, kThreeMistakesService);
  EXPECT_EQ(directory.read("M_3.dat"), encode_grid(strict.grid));
  EXPECT_EQ(directory.read("M_3.sim"), encode_table(strict.table));
}

TEST_F(Diagnostics, ACutEntryIsToldAtItsLineWithTheValuesItNeeds) {
  struct Case {
    const char* name;
    std::string line;
    std::string service;
    std::string first;  // the error's first line
    std::string note;   // the note's first line, if any
  };
  const std::vector<Case> cases = {
      {"a comma missing after the keyword", line_with("pendenza 3000, 25\r\ncurvad3, 100, 200\r\n"), service_with(""),
       "C_linea.txt:4:1: error E25: read failure: a field that is not a number, a number too large, or a file that "
       "ends inside an entry: this \"pendenza\" entry has 1 of the 2 values it needs (position, gradient); its value "
       "\"gradient\" was looked for on line 5 (not a whole number there): a comma or a value is missing",
       "C_linea.txt:5:1: note: the value looked for here"},
      {"a comma dropped inside a signal", line_with(""),
       service_with("segnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0,00\r\n[codici]\r\n"),
       "C_1-.txt:4:1: error E25: read failure: a field that is not a number, a number too large, or a file that ends "
       "inside an entry: this \"segnale\" entry has 10 of the 11 values it needs (posizione, sx, s1, s2, s3, rapp, dx, "
       "d1, d2, d3, tempo); its value \"tempo\" was looked for on line 5 (not a whole number there): a comma or a "
       "value "
       "is missing",
       "C_1-.txt:5:1: note: the value looked for here"},
      {"the file ending inside an entry", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\nmontagna, 100,",
       service_with(""),
       "C_linea.txt:4:1: error E25: read failure: a field that is not a number, a number too large, or a file that "
       "ends inside an entry: the file ends inside this entry: this \"montagna\" entry has 1 of the 3 values it needs "
       "(start, end, type)",
       "C_linea.txt:4:15: note: the value looked for here"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    directory.write("C_linea.txt", c.line);
    directory.write("C_1-.txt", c.service);
    const Outcome outcome = scenario("check C_linea.txt C_1-.txt");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.first);
    EXPECT_EQ(lines_with(outcome.err, c.note).size(), 1u) << outcome.err;
  }
}

TEST_F(Diagnostics, JsonLinesForTools) {
  directory.write("M_linea.txt", kThreeMistakesLine);
  directory.write("M_3-.txt", kThreeMistakesService);
  const Outcome outcome = scenario("check M_linea.txt M_3-.txt --diagnostics-format=json");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "");
  std::vector<nlohmann::json> objects;
  for (const std::string& line : lines_with(outcome.out, "{")) objects.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(objects.size(), 3u);
  const nlohmann::json& first = objects[0];
  EXPECT_EQ(first["severity"], "error");
  EXPECT_EQ(first["code"], "E21");
  EXPECT_EQ(first["file"], "M_linea.txt");
  EXPECT_EQ(first["line"], 6);
  EXPECT_EQ(first["column"], 18);
  EXPECT_EQ(first["position"], 850);
  EXPECT_EQ(first["cell"], 18);
  EXPECT_EQ(first["message"], "speed board on an occupied cell");
  ASSERT_EQ(first["related"].size(), 1u);
  EXPECT_EQ(first["related"][0]["line"], 5);
  EXPECT_EQ(objects[2]["code"], "E8");
}

TEST_F(Diagnostics, ASarifLogOfTheStandardsShape) {
  directory.write("M_linea.txt", kThreeMistakesLine + "strano, 1\r\n");
  directory.write("M_3-.txt", kThreeMistakesService);
  const Outcome outcome = scenario("check M_linea.txt M_3-.txt --diagnostics-format=sarif");
  EXPECT_EQ(outcome.status, 1);
  const nlohmann::json log = nlohmann::json::parse(outcome.out);
  EXPECT_EQ(log["version"], "2.1.0");
  EXPECT_TRUE(log["$schema"].get<std::string>().ends_with("sarif-2.1.0.json"));
  ASSERT_EQ(log["runs"].size(), 1u);
  const nlohmann::json& run = log["runs"][0];
  EXPECT_EQ(run["tool"]["driver"]["name"], "scenario");
  const nlohmann::json& rules = run["tool"]["driver"]["rules"];
  std::set<std::string> ids;
  for (const auto& rule : rules) {
    EXPECT_TRUE(ids.insert(rule["id"].get<std::string>()).second) << rule["id"];
    EXPECT_FALSE(rule["shortDescription"]["text"].get<std::string>().empty());
  }
  for (const char* id : {"E1", "E16", "E25", "E1251", "not-a-keyword"}) EXPECT_TRUE(ids.contains(id)) << id;
  const nlohmann::json& results = run["results"];
  ASSERT_EQ(results.size(), 4u);
  for (const auto& result : results) {
    // Every result names a rule of the driver, a level, a message and where it is.
    const std::string id = result["ruleId"];
    EXPECT_EQ(rules[result["ruleIndex"].get<std::size_t>()]["id"], id);
    EXPECT_TRUE(result["level"] == "error" || result["level"] == "warning");
    EXPECT_FALSE(result["message"]["text"].get<std::string>().empty());
    const nlohmann::json& location = result["locations"][0]["physicalLocation"];
    EXPECT_TRUE(location["artifactLocation"]["uri"] == "M_linea.txt" ||
                location["artifactLocation"]["uri"] == "M_3-.txt");
    EXPECT_GE(location["region"]["startLine"].get<int>(), 1);
    EXPECT_GE(location["region"]["startColumn"].get<int>(), 1);
  }
  EXPECT_EQ(results[0]["ruleId"], "E21");
  EXPECT_EQ(results[0]["relatedLocations"][0]["physicalLocation"]["region"]["startLine"], 5);
  EXPECT_EQ(results[1]["ruleId"], "not-a-keyword");
  EXPECT_EQ(results[1]["level"], "warning");
}

TEST_F(Diagnostics, ColoursOnlyOnATerminalOrWhenAsked) {
  directory.write("M_linea.txt", kThreeMistakesLine);
  directory.write("M_3-.txt", kThreeMistakesService);
  const std::string escape = "\x1b[";
  EXPECT_EQ(scenario("check M_linea.txt M_3-.txt").err.find(escape), std::string::npos);
  EXPECT_NE(scenario("check M_linea.txt M_3-.txt --color=always").err.find(escape), std::string::npos);
  EXPECT_EQ(scenario("check M_linea.txt M_3-.txt --color=never").err.find(escape), std::string::npos);
  // On a terminal (a pseudo-terminal made by script), colours come by themselves, unless NO_COLOR is set.
  const std::string in_terminal = "script -qec \"'" SCENARIO_EXECUTABLE "' check M_linea.txt M_3-.txt\" /dev/null";
  const auto through_terminal = [&](const std::string& environment) {
    const std::string command =
        "cd '" + directory.path() + "' && " + environment + " " + in_terminal + " > '" + directory.at("tty") + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()) >> 8, 1);
    return directory.read("tty");
  };
  EXPECT_NE(through_terminal("TERM=xterm").find(escape), std::string::npos);
  EXPECT_EQ(through_terminal("TERM=xterm NO_COLOR=1").find(escape), std::string::npos);
}

TEST_F(Diagnostics, ControlCharactersAreShownEscaped) {
  directory.write("E_linea.txt",
                  line_with("cartello_indicatore, 850, (\x1b]2;title\x07)\r\nindicatori_vmax, 850, 80, 80, "
                            "80, 0, , , , 0\r\n\x1b[2J\r\n"));
  directory.write("E_1-.txt", service_with(""));
  const Outcome outcome = scenario("check E_linea.txt E_1-.txt --color=never");
  EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(outcome.err.find('\x07'), std::string::npos);
  EXPECT_NE(outcome.err.find("(\\x1B]2;title\\x07)"), std::string::npos) << outcome.err;
}

TEST_F(Diagnostics, Utf8SourcesAreWarnedOfOrConverted) {
  const std::string station = "stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, CITT\xC3\x80\r\n";
  directory.write("U_linea.txt", line_with(""));
  directory.write("U_1-.txt", service_with(station));
  const Outcome windows = scenario("check U_linea.txt U_1-.txt");
  EXPECT_EQ(windows.status, 0);
  EXPECT_EQ(
      lines_with(windows.err, "U_1-.txt:4:65: warning: \"CITT\xC3\x83\xE2\x82\xAC\" is UTF-8, not Windows-1252 text")
          .size(),
      1u)
      << windows.err;

  const Outcome converted = scenario("compile U_linea.txt U_1-.txt --input-encoding utf-8");
  EXPECT_EQ(converted.status, 0) << converted.err;
  const auto table = decode_table(directory.read("U_1.sim"));
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[1].text, "CITT\xC0");  // one byte, the Windows-1252 letter

  // A character the scenario's files cannot hold is an error at its place, in characters; nothing is written.
  std::filesystem::remove(directory.at("U_1.dat"));
  directory.write("U_1-.txt",
                  service_with("stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, \xC3\x80\xC5\xB4\r\n"));
  const Outcome refused = scenario("compile U_linea.txt U_1-.txt --input-encoding utf-8");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(
      refused.err.starts_with("U_1-.txt:4:62: error: a character the scenario's files cannot hold: U+0174 has no "
                              "byte in Windows-1252"))
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(directory.at("U_1.dat")));

  // Each such character is told at its place, not only the first of the file.
  directory.write("U_1-.txt",
                  service_with("stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, \xC3\x80\xC5\xB4\r\n"
                               "-- an arrow \xE2\x86\x92 and a train \xF0\x9F\x9A\x86\r\n"));
  const Outcome each = scenario("check U_linea.txt U_1-.txt --input-encoding utf-8");
  EXPECT_EQ(each.status, 1);
  const std::vector<std::string> refusals =
      lines_with(each.err, ": error: a character the scenario's files cannot hold");
  ASSERT_EQ(refusals.size(), 3u) << each.err;
  EXPECT_TRUE(refusals[0].starts_with("U_1-.txt:4:62: ")) << refusals[0];
  EXPECT_TRUE(refusals[1].starts_with("U_1-.txt:5:13: error: a character the scenario's files cannot hold: U+2192"))
      << refusals[1];
  EXPECT_TRUE(refusals[2].starts_with("U_1-.txt:5:27: error: a character the scenario's files cannot hold: U+1F686"))
      << refusals[2];
}

TEST_F(Diagnostics, FileNamesThatDisagreeAreWarnedOf) {
  directory.write("A_linea.txt", line_with(""));
  directory.write("B_1-.txt", service_with(""));
  const Outcome outcome = scenario("check A_linea.txt B_1-.txt");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(lines_with(outcome.err, "warning: the line description's name gives the line key \"A\", the train "
                                    "service's \"B\"")
                .size(),
            1u)
      << outcome.err;
}

TEST_F(Diagnostics, AFileNameThatIsNotUtf8IsShownWithReplacementsAndNeverEndsTheRun) {
  // "citt\xE0" in Windows-1252, as an old archive names it. JSON carries the name with U+FFFD in place of
  // the byte that is no UTF-8, SARIF percent-encodes it in the file's URI; every command ends normally.
  const std::string line = "citt\xE0_linea.txt";
  const std::string service = "citt\xE0_1-.txt";
  directory.write(line, kThreeMistakesLine);
  directory.write(service, kThreeMistakesService);
  const std::string shown_line = "citt\xEF\xBF\xBD_linea.txt";
  for (const char* command : {"check", "compile", "documents"}) {
    for (const char* format : {"json", "sarif"}) {
      SCOPED_TRACE(std::string(command) + " " + format);
      const Outcome outcome =
          scenario(std::string(command) + " '" + line + "' '" + service + "' --diagnostics-format " + format);
      EXPECT_EQ(outcome.status, 1) << outcome.err;
      EXPECT_EQ(outcome.err.find("internal failure"), std::string::npos) << outcome.err;
      std::set<std::string> files;
      if (std::string(format) == "json") {
        for (const std::string& text : lines_with(outcome.out, "{")) {
          const auto json = nlohmann::json::parse(text);  // throws on a byte that is no UTF-8
          files.insert(json["file"].get<std::string>());
        }
      } else {
        const auto log = nlohmann::json::parse(outcome.out);
        for (const auto& result : log["runs"][0]["results"])
          files.insert(result["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].get<std::string>());
      }
      EXPECT_TRUE(files.count(std::string(format) == "json" ? shown_line : "citt%E0_linea.txt")) << *files.begin();
    }
  }
  // For people, the name is shown the same way.
  const Outcome text = scenario("check '" + line + "' '" + service + "'");
  EXPECT_EQ(text.status, 1);
  EXPECT_NE(text.err.find(shown_line + ":"), std::string::npos) << text.err;
}

}  // namespace
