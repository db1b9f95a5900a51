#include "documents/slowdown_order_for.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "documents/document_table.h"
#include "documents/document_test_support.h"
#include "documents/slowdown_order.h"
#include "model/scenario_model.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"

namespace {

using document_test::bar_columns;
using document_test::cell_texts;
using document_test::entries_of;
using document_test::split_lines;

/// The line of the first row of the table, counted from 1.
constexpr std::size_t kFirstRowLine = 14;

enum Cell { kNumber, kStretch, kProgressive, kSpeed, kLength, kPrescription };

std::vector<std::string> lines_of(const LineTable& table) { return split_lines(encode_lines(table)); }

std::vector<std::string> scenario_order() {
  RunState state;
  compile_scenario(state, encode_lines(line_description_lines()), encode_lines(train_service_lines()));
  EXPECT_EQ(state.diagnostics.errors(), 0u);
  return lines_of(slowdown_order_for(read_scenario_model(state.grid, state.table), "Lesca-Varo", "148"));
}

TEST(SlowdownOrderFor, TheScenarioOrderAgreesWithItsSlowdowns) {
  const std::vector<std::string> service = lines_of(train_service_lines());
  const auto slowdowns = entries_of(service, "rallentamento");
  const auto stations = entries_of(service, "stazione");
  ASSERT_EQ(slowdowns.size(), 2u);
  const auto references = entries_of(lines_of(line_description_lines()), "progressiva chilometrica uno");
  ASSERT_EQ(references.size(), 1u);
  ASSERT_EQ(references[0][3], "1");  // counting down

  const auto order = scenario_order();
  for (std::size_t i = 0; i < slowdowns.size(); ++i) {
    const auto& slowdown = slowdowns[i];
    const int start = std::stoi(slowdown[1]);
    const auto row = cell_texts(order[kFirstRowLine - 1 + i]);
    ASSERT_EQ(row.size(), kSlowdownCells.size());
    EXPECT_EQ(row[kNumber], std::to_string(i + 1));
    EXPECT_EQ(row[kProgressive], kilometre_text(std::stoi(references[0][2]) - (start - std::stoi(references[0][1]))));
    EXPECT_EQ(row[kSpeed], slowdown[2]);
    EXPECT_EQ(row[kLength], metres_text(std::stoi(slowdown[3])));
    EXPECT_EQ(row[kPrescription], "");
    // The stations on either side of the start (neither platform reaches it).
    std::string before;
    std::string after;
    for (const auto& station : stations) {
      if (std::stoi(station[1]) < start) before = station[17];
      if (std::stoi(station[1]) > start && after.empty()) after = station[17];
    }
    EXPECT_EQ(row[kStretch], before + "-" + after);
  }
  EXPECT_EQ(order[kFirstRowLine - 1],
            " | 1 | STELLA POLARE-LIDO CENTRO  |    25.200  |    40    |    350  |            |");
  EXPECT_EQ(order[kFirstRowLine], " | 2 | ACILIA-CASAL BERNOCCHI     |    15.500  |    30    |  1.600  |            |");
  EXPECT_EQ(order[kFirstRowLine + 1], empty_row(kSlowdownCells));
}

TEST(SlowdownOrderFor, TheScenarioOrderHasTheLayoutOfTheOrderForTrain148) {
  const auto order = scenario_order();
  const auto form = lines_of(slowdown_order_lines());
  ASSERT_EQ(order.size(), form.size());
  for (std::size_t n = 1; n <= form.size(); ++n) {
    if (n == 5 || n == 43) continue;  // the line's name and prescription B's station, of their own lengths
    EXPECT_EQ(order[n - 1].size(), form[n - 1].size()) << "line " << n;
    EXPECT_EQ(bar_columns(order[n - 1]), bar_columns(form[n - 1])) << "line " << n;
  }
  EXPECT_EQ(order[5 - 1], "  Linea  Lesca-Varo");
  EXPECT_EQ(order[43 - 1], " B - Interessa anche la stazione di .........");
  // Every other line but the two rows of slowdowns is the form's own, the train's number included.
  const std::set<std::size_t> own{5, kFirstRowLine, kFirstRowLine + 1, 43};
  for (std::size_t n = 1; n <= form.size(); ++n) {
    if (own.count(n) == 0) {
      EXPECT_EQ(order[n - 1], form[n - 1]) << "line " << n;
    }
  }
}

TEST(SlowdownOrderFor, WhereASlowdownBegins) {
  ScenarioModel model;
  model.stations.push_back({1, "ALFA", 0, 650, 500, 800});
  model.stations.push_back({2, "BETA", 0, 2150, 2000, 2300});
  struct Case {
    int32_t start;
    const char* stretch;
  };
  const Case cases[] = {
      {300, "prima di ALFA"}, {500, "ALFA"}, {800, "ALFA"}, {850, "ALFA-BETA"}, {2300, "BETA"}, {2350, "dopo BETA"},
  };
  for (const Case& c : cases) model.slowdowns.push_back({0, std::nullopt, 30, c.start, std::nullopt});
  const auto order = lines_of(slowdown_order_for(model, "K", "1"));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto row = cell_texts(order[kFirstRowLine - 1 + i]);
    EXPECT_EQ(row[kStretch], cases[i].stretch) << cases[i].start;
    EXPECT_EQ(row[kLength], "");  // no end in the grid: no length
  }

  ScenarioModel no_stations;
  no_stations.slowdowns.push_back({0, 10, 60, 1000, 1450});
  EXPECT_EQ(lines_of(slowdown_order_for(no_stations, "K", "1"))[kFirstRowLine - 1],
            " | 1 |                            |     1.000  |    60    |    450  |            |");
}

TEST(SlowdownOrderFor, ALongStretchRunsOnInTheRowBelow) {
  ScenarioModel model;
  model.stations.push_back({1, "CRISTOFORO COLOMBO", 0, 650, 500, 800});
  model.stations.push_back({2, "CASTEL\tFUSANO", 0, 1900, 1750, 2050});
  model.slowdowns.push_back({0, 30, 40, 1000, 1350});
  model.slowdowns.push_back({0, 40, 30, 1700, 2000});
  const auto order = lines_of(slowdown_order_for(model, "K", "1"));
  EXPECT_EQ(order[kFirstRowLine - 1],
            " | 1 | CRISTOFORO COLOMBO-        |     1.000  |    40    |    350  |            |");
  EXPECT_EQ(order[kFirstRowLine], " |   | CASTEL FUSANO              |            |          |         |            |");
  EXPECT_EQ(cell_texts(order[kFirstRowLine + 1])[kNumber], "2");
}

TEST(SlowdownOrderFor, RowsBeyondTheRoomOfTheOrderAreCountedInItsLastRow) {
  ScenarioModel model;
  for (int32_t i = 0; i < 2000; ++i) model.slowdowns.push_back({0, std::nullopt, 30, i * 100, std::nullopt});
  const LineTable order = slowdown_order_for(model, "K", "1");
  ASSERT_EQ(order.size(), kLineTableCapacity);
  const auto lines = split_lines(encode_lines(order));
  // 13 lines before the rows, 8 after them: 979 rows, of which the last counts the 1022 left out.
  EXPECT_EQ(lines[lines.size() - 8], table_rule(kSlowdownCells));
  EXPECT_EQ(cell_texts(lines[lines.size() - 9])[kStretch], "(altre 1022 righe)");
  EXPECT_EQ(cell_texts(lines[lines.size() - 10])[kNumber], "978");
}

}  // namespace
