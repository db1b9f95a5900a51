#include "documents/timetable_card_for.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "documents/document_table.h"
#include "documents/document_test_support.h"
#include "documents/timetable_card.h"
#include "model/scenario_model.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/starter_scenario.h"

namespace {

using document_test::bar_columns;
using document_test::cell_texts;
using document_test::entries_of;
using document_test::split_lines;

/// The first line of the timetable's rows and the line of its closing rule, counted from 1.
constexpr std::size_t kFirstRowLine = 18;

/// The card of a scenario compiled from its two sources, as the file holds it, line by line.
std::vector<std::string> card_of(const std::string& line, const std::string& service, const std::string& train) {
  RunState state;
  compile_scenario(state, line, service);
  EXPECT_EQ(state.diagnostics.errors(), 0u);
  return split_lines(encode_lines(timetable_card_for(read_scenario_model(state.grid, state.table), state.grid, train)));
}

/// The rows of the timetable (their cells' texts), from the first row after the empty one to the last
/// row that is not empty.
std::vector<std::vector<std::string>> timetable_rows(const std::vector<std::string>& card) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t n = kFirstRowLine; n < card.size() && card[n - 1] != table_rule(kTimetableCells); ++n)
    rows.push_back(cell_texts(card[n - 1]));
  while (!rows.empty() && rows.back() == std::vector<std::string>(kTimetableCells.size())) rows.pop_back();
  return rows;
}

enum Cell { kLineSpeed, kMarkedSpeed, kProgressive, kRankSpeed, kPlace, kTime, kRecovery };

std::vector<std::string> lines_of(const LineTable& table) { return split_lines(encode_lines(table)); }

TEST(TimetableCardFor, TheScenarioCardAgreesWithItsTrainService) {
  const std::vector<std::string> service = lines_of(train_service_lines());
  const std::vector<std::string> line = lines_of(line_description_lines());
  const auto card = card_of(encode_lines(line_description_lines()), encode_lines(train_service_lines()), "148");

  // The kilometric reference of the line: from its start on, the progressive counts down from its value.
  const auto references = entries_of(line, "progressiva chilometrica uno");
  ASSERT_EQ(references.size(), 1u);
  ASSERT_EQ(references[0][3], "1");
  const int reference_start = std::stoi(references[0][1]);
  const int reference_value = std::stoi(references[0][2]);
  auto kilometre_at = [&](int metre) { return kilometre_text(reference_value - (metre - reference_start)); };

  const auto stations = entries_of(service, "stazione");
  const auto speeds = entries_of(service, "velocita");
  ASSERT_EQ(stations.size(), 13u);
  ASSERT_EQ(speeds.size(), 2u);
  const int change_metre = std::stoi(speeds[1][1]);

  const auto rows = timetable_rows(card);
  std::size_t station = 0;
  bool change_seen = false;
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), kTimetableCells.size());
    EXPECT_EQ(row[kMarkedSpeed], "");
    EXPECT_EQ(row[kRankSpeed], "");
    EXPECT_EQ(row[kRecovery], "");
    if (row[kPlace].empty()) {
      // The change of the line speed between two stations, at its own kilometre.
      EXPECT_FALSE(change_seen);
      change_seen = true;
      EXPECT_EQ(row[kLineSpeed], speeds[1][2]);
      EXPECT_EQ(row[kProgressive], kilometre_at(change_metre));
      EXPECT_EQ(row[kTime], "");
      ASSERT_GT(station, 0u);
      EXPECT_LT(std::stoi(stations[station - 1][1]), change_metre);
      EXPECT_GT(std::stoi(stations[station][1]), change_metre);
      continue;
    }
    ASSERT_LT(station, stations.size());
    const auto& entry = stations[station];
    EXPECT_EQ(row[kPlace], entry[17]);
    EXPECT_EQ(row[kProgressive], kilometre_at(std::stoi(entry[1])));
    const std::string time = entry[14] + "." + (entry[15].size() == 1 ? "0" : "") + entry[15];
    if (station == 0)
      EXPECT_EQ(row[kTime], time);  // the departure only
    else if (station + 1 == stations.size())
      EXPECT_EQ(row[kTime], time);  // the arrival only
    else
      EXPECT_EQ(row[kTime], time + "    " + time);
    EXPECT_EQ(row[kLineSpeed], station == 0 ? speeds[0][2] : "");
    ++station;
  }
  EXPECT_EQ(station, stations.size());
  EXPECT_TRUE(change_seen);

  // The departure stands at the right of the time cell, the arrival at its left.
  const std::size_t time_column =
      document_test::cell_bars(1, {kTimetableCells.begin(), kTimetableCells.end()})[kTime] + 1;
  EXPECT_EQ(card[kFirstRowLine - 1].substr(time_column, 16), "          16.23 ");
  EXPECT_EQ(card[kFirstRowLine - 1 + rows.size() - 1].substr(time_column, 16), " 17.03          ");

  EXPECT_EQ(card[5 - 1], " |   TRENO n. 148    |               da: CRISTOFORO COLOMBO        |              |");
  EXPECT_EQ(card[6 - 1], " |___________________|                a: ROMA PORTA S.PAOLO        |     130%     |");
  EXPECT_EQ(card[10 - 1], " |                   |              |                   |");
}

TEST(TimetableCardFor, TheScenarioCardHasTheLayoutOfTheCardOfTrain148) {
  const auto card = card_of(encode_lines(line_description_lines()), encode_lines(train_service_lines()), "148");
  const auto form = lines_of(timetable_card_lines());
  ASSERT_EQ(card.size(), form.size());
  for (std::size_t n = 1; n <= form.size(); ++n) {
    EXPECT_EQ(card[n - 1].size(), form[n - 1].size()) << "line " << n;
    EXPECT_EQ(bar_columns(card[n - 1]), bar_columns(form[n - 1])) << "line " << n;
  }
  // Every line but those of the train, the route, the marks and the timetable's rows is the form's own.
  for (const std::size_t n : {1u, 2u, 3u, 4u, 7u, 8u, 9u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 48u, 49u})
    EXPECT_EQ(card[n - 1], form[n - 1]) << "line " << n;
}

/// The starter scenario with some of its service's text replaced.
std::vector<std::string> starter_card_with(const std::string& from, const std::string& to) {
  std::string service = encode_lines(starter_service_lines());
  const auto at = service.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) service.replace(at, from.size(), to);
  return card_of(encode_lines(starter_line_lines()), service, "1");
}

TEST(TimetableCardFor, AnAuthorsSmallScenario) {
  const auto card = starter_card_with("", "");
  ASSERT_EQ(card.size(), 49u);
  EXPECT_EQ(card[5 - 1], " |    TRENO n. 1     |               da: PORTO NUOVO               |              |");
  EXPECT_EQ(card[6 - 1], " |___________________|                a: VALLE ALTA                |     130%     |");
  const std::vector<std::string> rows{
      " |  80 |     |    4.350 |     |  PORTO NUOVO               |          16.00 |     |",
      " |     |     |    2.550 |     |  MOLINO                    | 16.03    16.03 |     |",
      " |  90 |     |    2.000 |     |                            |                |     |",
      " |     |     |    0.000 |     |  VALLE ALTA                | 16.06          |     |",
  };
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(card[kFirstRowLine - 1 + i], rows[i]);
  EXPECT_EQ(card[kFirstRowLine - 1 + rows.size()], empty_row(kTimetableCells));
}

TEST(TimetableCardFor, ASpeedThatChangesAtAStationIsInItsRow) {
  const auto card = starter_card_with("velocita,    3000,    90", "velocita,    2450,    90");
  EXPECT_EQ(card[kFirstRowLine - 1 + 1],
            " |  90 |     |    2.550 |     |  MOLINO                    | 16.03    16.03 |     |");
  EXPECT_EQ(card[kFirstRowLine - 1 + 2],
            " |     |     |    0.000 |     |  VALLE ALTA                | 16.06          |     |");
}

TEST(TimetableCardFor, ALongNameRunsOnInTheRowsBelow) {
  const auto card = starter_card_with("MOLINO", "MOLINO DI SOPRA DELLA VALLE DEL TORRENTE GRANDE");
  EXPECT_EQ(card[kFirstRowLine - 1 + 1],
            " |     |     |    2.550 |     |  MOLINO DI SOPRA DELLA     | 16.03    16.03 |     |");
  EXPECT_EQ(card[kFirstRowLine - 1 + 2],
            " |     |     |          |     |  VALLE DEL TORRENTE GRANDE |                |     |");
  EXPECT_EQ(cell_texts(card[kFirstRowLine - 1 + 3])[kPlace], "");  // the speed's row follows
  EXPECT_EQ(cell_texts(card[kFirstRowLine - 1 + 3])[kLineSpeed], "90");
}

TEST(TimetableCardFor, WhatTheServiceDoesNotGiveStaysBlank) {
  const auto card = starter_card_with("percentuale massa frenata,    130", "");
  EXPECT_EQ(card[6 - 1], " |___________________|                a: VALLE ALTA                |              |");
}

TEST(TimetableCardFor, OneStationHasItsDepartureAndNoSpeedOffTheGrid) {
  ScenarioModel model;
  model.stations.push_back({1, "SOLA", 8 * 3600 + 5 * 60, 1000, 900, 1200});
  const auto card = split_lines(encode_lines(timetable_card_for(model, TrackGrid{}, "7")));
  // No kilometric reference: the progressive is the metre of the line.
  EXPECT_EQ(card[kFirstRowLine - 1],
            " |     |     |    1.000 |     |  SOLA                      |           8.05 |     |");
  EXPECT_EQ(card[5 - 1], " |    TRENO n. 7     |               da: SOLA                      |              |");
}

TEST(TimetableCardFor, RowsBeyondTheRoomOfTheCardAreCountedInItsLastRow) {
  // A speed change on every cell of a 1000 km line: more rows than a line table holds.
  constexpr int32_t kLength = 1000000;
  TrackGrid grid;
  grid.create(kLength + kGridBeyondLine);
  for (int32_t cell = 0; cell <= grid.cellCount(); ++cell) grid[cell].speedLimit = cell % 2 == 0 ? 16 : 18;
  ScenarioModel model;
  model.stations.push_back({1, "INIZIO", 0, 0, 0, 100});
  model.stations.push_back({2, "FINE", 3600, kLength, kLength - 100, kLength});

  const LineTable card = timetable_card_for(model, grid, "9");
  ASSERT_EQ(card.size(), kLineTableCapacity);
  const auto lines = split_lines(encode_lines(card));
  ASSERT_EQ(lines.size(), kLineTableCapacity - 1);
  EXPECT_EQ(lines[lines.size() - 2], table_rule(kTimetableCells));
  // The first station and 979 changes are kept; of the 19999 changes and the last station, 19021 rows
  // are left out.
  EXPECT_EQ(cell_texts(lines[kFirstRowLine - 1])[kPlace], "INIZIO");
  EXPECT_EQ(cell_texts(lines[kFirstRowLine])[kProgressive], "0.050");
  EXPECT_EQ(cell_texts(lines[lines.size() - 3])[kPlace], "(altre 19021 righe)");
}

}  // namespace
