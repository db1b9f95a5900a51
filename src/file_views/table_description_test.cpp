#include "file_views/table_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

#include "file_views/file_views_test_support.h"

namespace {

using inspect_test::small_table;

std::string described(const ScenarioTable& table) {
  std::ostringstream out;
  describe_table(table, out);
  return out.str();
}

TEST(DescribeTable, ListsTheRecordsInUseWithTheirFields) {
  EXPECT_EQ(described(small_table()),
            "Scenario table: 87 records, 6 in use\n"
            "record 0: not a record the compiler fills\n"
            "  number4 = -1\n"
            // The table's reference counts down from km 29.000 at 0 m: 650 m is km 28.350.
            "record 1: station \"CITT\u00C0 \\\"NUOVA\\\"\" at 650 m, km 28.350, platform 500-800 m, due "
            "16:23:00\n"
            "  code = 12  (station kind)\n"
            "  number1 = 500  (platform start, m)\n"
            "  number2 = 800  (platform end, m)\n"
            "  number3 = 650  (position, m)\n"
            "  mark = 1  (station flag)\n"
            "  text = \"CITT\u00C0 \\\"NUOVA\\\"\"  (name)\n"
            "  short1 = -32768  (station value)\n"
            "  short2 = 0  (station value)\n"
            "  short3 = 0  (station value)\n"
            "  short4 = 0  (station value)\n"
            "  short5 = 0  (station value)\n"
            "  byte1 = 255  (station value)\n"
            "  byte2 = 0  (station value)\n"
            "  byte3 = 0  (platform extension flag)\n"
            "  byte4 = 0  (station flag)\n"
            "  number4 = 58980  (timetable time, s from midnight)\n"
            "record 80: information board\n"
            "  text = \"\\x01\\x80ab\\\\\"  (board text)\n"
            "record 81: kilometric reference from 0 m at km 29.000, counting down (29100 stored: 100 added for "
            "flag 1)\n"
            "  number1 = 0  (start, m)\n"
            "  number2 = 29100  (kilometric progressive at the start, m; stored with 100 added when the flag is "
            "1)\n"
            "  number3 = 1  (flag: 1 counts down)\n"
            "record 85: line\n"
            "  number1 = 1  (background uno)\n"
            "  number2 = 0  (background tre)\n"
            "  number3 = 0  (background due)\n"
            "  text = \"Lesca-Varo\"  (line key)\n"
            "  short1 = 610  (marker)\n"
            "  byte2 = 7\n"
            "  number4 = 35743  (competition code)\n"
            "record 86: service, clock 16:22:40\n"
            "  number1 = 0  (signal repetition, first position, m)\n"
            "  number2 = 0  (signal repetition, second position, m)\n"
            "  number3 = 0  (signal repetition codes: 4, 9 or 0)\n"
            "  text = \"148\"  (train number)\n"
            "  short1 = 0  (sand supply)\n"
            "  short3 = 16  (clock, hours)\n"
            "  short4 = 22  (clock, minutes)\n"
            "  short5 = 40  (clock, seconds)\n");
}

TEST(DescribeTable, StationTimesAsHoursMinutesSeconds) {
  struct Case {
    int32_t seconds;
    const char* shown;
  };
  const Case cases[] = {
      {0, "00:00:00"},
      {59, "00:00:59"},
      {3600 + 60 + 1, "01:01:01"},
      {86399, "23:59:59"},
      {90061, "25:01:01"},
      {-61, "-00:01:01"},
      {std::numeric_limits<int32_t>::min(), "-596523:14:08"},
  };
  for (const Case& c : cases) {
    ScenarioTable table;
    table[3].number3 = 1900;
    table[3].number4 = c.seconds;
    const std::string heading = "record 3: station \"\" at 1900 m, platform 0-0 m, due " + std::string(c.shown) + "\n";
    EXPECT_NE(described(table).find(heading), std::string::npos) << c.seconds;
  }
}

TEST(DescribeTable, RecordsOneToEightyAreStationsWhenTheyStoreANumberAndBoardTextsOtherwise) {
  ScenarioTable table;
  table[2].text = "(PONTE)";  // before the stations, still only a text
  table[5].byte2 = 1;
  table[80].number3 = 700;  // stations never reach record 80
  const std::string text = described(table);
  EXPECT_NE(text.find("record 2: information board\n  text = \"(PONTE)\"  (board text)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("record 5: station \"\" at 0 m, platform 0-0 m, due 00:00:00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("record 80: information board\n  number3 = 700\n  text = \"\"  (board text)\n"),
            std::string::npos)
      << text;
}

TEST(DescribeTable, ReferencesCountingUpAndDownGiveTheStationsTheirKilometres) {
  // Stored as progressive_ordina leaves them: the greatest start in record 81.
  ScenarioTable table;
  table[kKilometricTreRecord].number1 = 10000;
  table[kKilometricTreRecord].number2 = 5100;
  table[kKilometricTreRecord].number3 = 1;
  table[kKilometricDueRecord].number1 = 0;
  table[kKilometricDueRecord].number2 = 40000;
  table[kKilometricDueRecord].number3 = 0;
  table[1].number3 = 2000;   // 40000 + 2000
  table[2].number3 = 12500;  // 5000 - 2500
  const std::string text = described(table);
  const char* const lines[] = {
      "record 1: station \"\" at 2000 m, km 42.000, platform 0-0 m, due 00:00:00\n",
      "record 2: station \"\" at 12500 m, km 2.500, platform 0-0 m, due 00:00:00\n",
      "record 81: kilometric reference from 10000 m at km 5.000, counting down (5100 stored: 100 added for flag 1)\n",
      "record 82: kilometric reference from 0 m at km 40.000, counting up\n",
  };
  for (const char* line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << text;
}

TEST(DescribeTable, RolesByIndexAndContent) {
  const ScenarioTable table = small_table();
  struct Case {
    int index;
    std::string_view role;
  };
  const Case cases[] = {
      {0, "unused"},
      {1, "station"},
      {2, "free"},
      {80, "information board"},
      {81, "kilometric reference"},
      {83, "kilometric reference"},
      {84, "train and line"},
      {85, "line"},
      {86, "service"},
  };
  for (const Case& c : cases) EXPECT_EQ(record_role(table, c.index), c.role) << c.index;
}

TEST(DescribeTable, EmptyTableHasNoRecordInUse) {
  EXPECT_EQ(described(ScenarioTable{}), "Scenario table: 87 records, 0 in use\n");
}

}  // namespace
