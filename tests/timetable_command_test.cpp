// scenario timetable through the real executable, and the timetable warnings of scenario check.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/program_run.h"
#include "support/temporary_directory.h"

namespace {

using test_support::Outcome;

class TimetableCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    directory.write("Lesca-Varo_linea.txt", encode_lines(line_description_lines()));
    directory.write("Lesca-Varo_148-.txt", encode_lines(train_service_lines()));
  }
  Outcome scenario(const std::string& arguments) const {
    return test_support::run_scenario(directory.path(), arguments);
  }

  test_support::TemporaryDirectory directory{"timetable-command"};
};

constexpr const char* kEmbedded = " Lesca-Varo_linea.txt Lesca-Varo_148-.txt";

TEST_F(TimetableCommand, TheEmbeddedScenarioRunByRun) {
  const Outcome shown = scenario(std::string("timetable") + kEmbedded);
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, "");
  EXPECT_TRUE(shown.out.starts_with("Lesca-Varo 148: train of 3 cars, 180 t, 66 m, 90 km/h, braked mass 130 %, rank C, "
                                    "20 s at each stop\nclock at the start 16:22:40; first departure 16:23:00 from "
                                    "CRISTOFORO COLOMBO, 20 s later\n"))
      << shown.out;
  EXPECT_NE(shown.out.find(
                "LIDO CENTRO         OSTIA NORD            1.10       0:40     1:22    -42 s    -51  cannot be kept\n"),
            std::string::npos)
      << shown.out;
  EXPECT_NE(shown.out.find("whole run                                28.35      40:00"), std::string::npos)
      << shown.out;

  const Outcome json = scenario(std::string("timetable --format json") + kEmbedded);
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json document = nlohmann::json::parse(json.out);
  ASSERT_EQ(document["runs"].size(), 12u);
  const nlohmann::json& run = document["runs"][3];
  EXPECT_EQ(run["from"], "LIDO CENTRO");
  EXPECT_EQ(run["to"], "OSTIA NORD");
  EXPECT_EQ(run["scheduled_s"], 40);
  EXPECT_NEAR(run["minimum_s"].get<double>(), 82, 1);
  EXPECT_NEAR(run["margin_s"].get<double>(), -42, 1);
  EXPECT_EQ(run["verdict"], "cannot be kept");
  EXPECT_EQ(document["runs"][7]["why"], "a 30 km/h slowdown over 1600 m");
}

TEST_F(TimetableCommand, OptionsChangeTheTrainAndItsStops) {
  const auto minimum = [&](const std::string& options, std::size_t index) {
    const Outcome json = scenario("timetable --format json " + options + kEmbedded);
    EXPECT_EQ(json.status, 0) << json.err;
    return nlohmann::json::parse(json.out)["runs"][index]["minimum_s"].get<double>();
  };
  directory.write("weak.json", R"({ "car_mass_t": 75, "power_kw_per_t": 6, "braked_mass_percentage": 100 })");
  const double base = minimum("", 9);
  EXPECT_GT(minimum("--rolling-stock weak.json", 9), base);
  const Outcome shorter_stops = scenario(std::string("timetable --dwell 15") + kEmbedded);
  EXPECT_NE(shorter_stops.out.find(
                "TOR DI VALLE        MAGLIANA              3.15       2:45     2:44      1 s      1  tight"),
            std::string::npos)
      << shorter_stops.out;
}

TEST_F(TimetableCommand, RefusalsAndTheirStatuses) {
  struct Case {
    const char* what;
    std::string file;
    std::string arguments;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {"an unknown key", R"({"wheels": 4})", "--rolling-stock stock.json", 2, "unknown key \"wheels\""},
      {"a value outside its range", R"({"car_mass_t": -3})", "--rolling-stock stock.json", 2,
       "\"car_mass_t\" lies outside"},
      {"no JSON object", "[1, 2]", "--rolling-stock stock.json", 2, "one JSON object"},
      {"a missing file", "", "--rolling-stock missing.json", 3, "cannot read"},
      {"an unknown rank", "", "--rank D", 2, "--rank"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.file.empty()) directory.write("stock.json", c.file);
    const Outcome refused = scenario("timetable " + c.arguments + kEmbedded);
    EXPECT_EQ(refused.status, c.status);
    EXPECT_NE(refused.err.find(c.says), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
  }
  directory.write("Bad_linea.txt", encode_lines(starter_line_lines()));
  directory.write("Bad_1-.txt", "[generale]\r\nstazione, 2475, 12, 300\r\n[fine]\r\n");
  const Outcome failed = scenario("timetable Bad_linea.txt Bad_1-.txt");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("no timetable: the scenario has an error"), std::string::npos) << failed.err;
}

TEST_F(TimetableCommand, CheckWarnsOfTheEmbeddedTimetableAtItsStations) {
  const Outcome checked = scenario(std::string("check") + kEmbedded);
  EXPECT_EQ(checked.status, 0);
  EXPECT_NE(
      checked.err.find("Lesca-Varo_148-.txt:16:1: warning: the timetable gives 0:40 from LIDO CENTRO to OSTIA NORD; "
                       "the train needs at least 1:22: 42 s short\n"),
      std::string::npos)
      << checked.err;
  EXPECT_TRUE(checked.err.ends_with("0 errors, 4 warnings\n")) << checked.err;
  EXPECT_EQ(scenario(std::string("check --werror") + kEmbedded).status, 1);
}

}  // namespace
