#include "scenario/file_names.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FileNames, EveryFileOfTheScenario) {
  const std::vector<std::pair<ScenarioFile, std::string>> names = {
      {ScenarioFile::LineSource, "Lesca-Varo_linea.txt"},
      {ScenarioFile::ServiceSource, "Lesca-Varo_148-.txt"},
      {ScenarioFile::Notes, "Lesca-Varo_148_note.txt"},
      {ScenarioFile::SlowdownOrder, "Lesca-Varo_148_rallentamenti.txt"},
      {ScenarioFile::TimetableCard, "Lesca-Varo_148_scheda_treno.txt"},
      {ScenarioFile::Trace, "Lesca-Varo_linea.dat"},
      {ScenarioFile::Table, "Lesca-Varo_148.sim"},
      {ScenarioFile::Grid, "Lesca-Varo_148.dat"},
  };
  for (const auto& [file, name] : names) {
    EXPECT_EQ(scenario_file_name(file, "Lesca-Varo", "148"), name);
    // Parsing gives back what the name was made from.
    const auto parsed = parse_file_name(name);
    ASSERT_TRUE(parsed.has_value()) << name;
    EXPECT_EQ(parsed->file, file) << name;
    EXPECT_EQ(parsed->line_key, "Lesca-Varo") << name;
    const bool with_train = file != ScenarioFile::LineSource && file != ScenarioFile::Trace;
    EXPECT_EQ(parsed->train_number, with_train ? "148" : "") << name;
  }
}

TEST(FileNames, ParsingSplitsAtTheLastUnderscoreAndRefusesOtherForms) {
  struct Case {
    const char* name;
    std::optional<ParsedFileName> parsed;
  };
  const Case cases[] = {
      {"A_B_7.dat", ParsedFileName{ScenarioFile::Grid, "A_B", "7"}},
      {"A_B_7-.txt", ParsedFileName{ScenarioFile::ServiceSource, "A_B", "7"}},
      {"K_7_x_note.txt", ParsedFileName{ScenarioFile::Notes, "K_7", "x"}},
      {"Lesca-Varo.dat", std::nullopt},
      {"_148.dat", std::nullopt},
      {"Lesca-Varo_.dat", std::nullopt},
      {"_linea.txt", std::nullopt},
      {"K_7.txt", std::nullopt},
      {"K_7.DAT", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parsed = parse_file_name(c.name);
    ASSERT_EQ(parsed.has_value(), c.parsed.has_value());
    if (!parsed) continue;
    EXPECT_EQ(parsed->file, c.parsed->file);
    EXPECT_EQ(parsed->line_key, c.parsed->line_key);
    EXPECT_EQ(parsed->train_number, c.parsed->train_number);
  }
}

TEST(FileNames, BinaryFilesByTheirEndingAlone) {
  const std::pair<const char*, std::optional<ScenarioFile>> cases[] = {
      {"Lesca-Varo_linea.dat", ScenarioFile::Trace},
      {"dir/x_linea.dat", ScenarioFile::Trace},
      {"Lesca-Varo_148.sim", ScenarioFile::Table},
      {"cut.sim", ScenarioFile::Table},
      {"Lesca-Varo_148.dat", ScenarioFile::Grid},
      {"linea.dat", ScenarioFile::Grid},
      {"x_linea.txt", std::nullopt},
      {"x.DAT", std::nullopt},
      {"x.sim.bak", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [name, file] : cases) EXPECT_EQ(binary_file_by_ending(name), file) << name;
}

TEST(FileNames, KeysAndTrainsThatCannotNameTheFiles) {
  struct Case {
    std::string key;
    std::string train;
    const char* problem;  // the start of the reason; nullptr when they can
  };
  const Case cases[] = {
      {"Lesca-Varo", "148", nullptr},
      {"A_B", "7", nullptr},
      {"", "7", "the line key is empty"},
      {"K", "", "the train number is empty"},
      {"../esc/X", "7", "the line key holds a path separator"},
      {"K", "a\\b", "the train number holds a path separator"},
      {std::string("K\0x", 3), "7", "the line key holds a path separator or a NUL"},
      {"K", "1_2", "the train number holds \"_\""},
      {"K", "linea", "two files of the scenario would both be named K_linea.dat"},
      {"K", std::string(70000, '7'), "the line key and the train number make a file name of"},
      {"Citt\xC3\xA0",
       "\xE2\x82\xAC"
       "5",
       nullptr},                   // both in Windows-1252
      {"Citt\xE0", "5", nullptr},  // not UTF-8: its bytes as they are
      {"K", "\xF0\x9F\x9A\x82", "the train number \"\xF0\x9F\x9A\x82\" holds U+1F682, which Windows-1252 cannot hold"},
      {"\xC4\x80rea", "5", "the line key \"\xC4\x80rea\" holds U+0100, which Windows-1252 cannot hold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.substr(0, 20) + " / " + c.train.substr(0, 20));
    const Status checked = check_names(c.key, c.train);
    const std::string problem = checked.message();
    if (c.problem == nullptr) {
      EXPECT_TRUE(checked.is_ok()) << problem;
      // Names that pass come back from every file name.
      for (const ScenarioFile file : {ScenarioFile::ServiceSource, ScenarioFile::Grid, ScenarioFile::Notes}) {
        const auto parsed = parse_file_name(scenario_file_name(file, c.key, c.train));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->line_key, c.key);
        EXPECT_EQ(parsed->train_number, c.train);
      }
    } else {
      EXPECT_EQ(checked.code(), Status::Code::InvalidArgument);
      EXPECT_TRUE(problem.starts_with(c.problem)) << problem;
    }
  }
}

}  // namespace

TEST(FileNames, NamesAreStoredInWindows1252) {
  EXPECT_EQ(name_as_stored("Lesca-Varo"), "Lesca-Varo");
  EXPECT_EQ(name_as_stored("Citt\xC3\xA0"), "Citt\xE0");
  EXPECT_EQ(name_as_stored("\xE2\x82\xAC"
                           "5"),
            "\x80"
            "5");
  EXPECT_EQ(name_as_stored("Citt\xE0"), "Citt\xE0");  // not UTF-8: as it is
  EXPECT_EQ(character_beyond_windows1252("\xF0\x9F\x98\x80"), "U+1F600");
  EXPECT_EQ(character_beyond_windows1252("Citt\xC3\xA0"), std::nullopt);
}
