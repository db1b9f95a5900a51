#include "model/stations.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(Stations, ARecordOfOneToSeventyNineIsAStationWhenItStoresANumber) {
  struct Case {
    const char* name;
    int index;
    std::function<void(ScenarioRecord&)> fill;
    bool station;
  };
  const Case cases[] = {
      {"a whole station", 1,
       [](ScenarioRecord& r) {
         r.code = 12;
         r.number3 = 650;
         r.text = "CRISTOFORO COLOMBO";
       },
       true},
      // At 0 m, of kind 0 and without a name: its platform still stores numbers.
      {"a station at 0 m without a name", 1,
       [](ScenarioRecord& r) {
         r.number1 = -150;
         r.number2 = 150;
       },
       true},
      {"any number counts", 2, [](ScenarioRecord& r) { r.byte2 = 1; }, true},
      {"after a blank record", 5, [](ScenarioRecord& r) { r.number3 = 1900; }, true},
      {"the last record stations may take", 79, [](ScenarioRecord& r) { r.number4 = 60; }, true},
      {"a board text", 70, [](ScenarioRecord& r) { r.text = "(PONTE)"; }, false},
      {"a blank record", 3, [](ScenarioRecord&) {}, false},
      {"the first board record", 80, [](ScenarioRecord& r) { r.number3 = 100; }, false},
      {"record 0", 0, [](ScenarioRecord& r) { r.number3 = 100; }, false},
      {"a kilometric reference", 81, [](ScenarioRecord& r) { r.number1 = 100; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScenarioTable table;
    c.fill(table[static_cast<std::size_t>(c.index)]);
    EXPECT_EQ(is_station_record(table, c.index), c.station);
    EXPECT_EQ(station_count(table), c.station ? 1 : 0);
  }
  EXPECT_FALSE(is_station_record(ScenarioTable{}, -1));
  EXPECT_FALSE(is_station_record(ScenarioTable{}, kScenarioRecordCount));
}

TEST(Stations, ReadInRecordOrderWithTheirNamesTrimmed) {
  ScenarioTable table;
  ScenarioRecord& first = table[1];
  first.code = 12;
  first.number1 = 500;
  first.number2 = 800;
  first.number3 = 650;
  first.text = "  CRISTOFORO COLOMBO\t ";
  first.number4 = 16 * 3600 + 23 * 60;
  table[4].number3 = 1900;
  table[80].text = "(PONTE)";

  const std::vector<Station> stations = read_stations(table);
  ASSERT_EQ(stations.size(), 2u);
  EXPECT_EQ(stations[0].record, 1);
  EXPECT_EQ(stations[0].name, "CRISTOFORO COLOMBO");
  EXPECT_EQ(stations[0].time, 58980);
  EXPECT_EQ(stations[0].metre, 650);
  EXPECT_EQ(stations[0].platform_start, 500);
  EXPECT_EQ(stations[0].platform_end, 800);
  EXPECT_EQ(stations[1].record, 4);
  EXPECT_EQ(stations[1].name, "");
  EXPECT_EQ(stations[1].metre, 1900);
  EXPECT_EQ(station_count(table), 2);
}

}  // namespace
