#include "compiler/memorizza_dati.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"

namespace fs = std::filesystem;

namespace {

const std::string kMinimalService = "[generale]\r\nnumero vetture, 3\r\n[fine]\r\n";

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}

class MemorizzaDati : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/memorizza-XXXXXX";
    state.program_directory = mkdtemp(pattern);
    state.line_key = std::string("K");
    state.train_number = std::string("7");
    state.trace_flag = 1;
    line_path = path_in(state.program_directory, "K_linea.txt");
    service_path = path_in(state.program_directory, "K_7-.txt");
  }
  void TearDown() override { fs::remove_all(state.program_directory); }

  RunState state;
  std::string line_path;
  std::string service_path;
};

TEST_F(MemorizzaDati, TheScenarioCompilesWithoutErrorAndItsSourcesAreDeleted) {
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  dati_linea(state);
  dati_treno(state);
  memorizza_dati(state);
  EXPECT_EQ(state.error_code, 0);
  EXPECT_FALSE(state.error_position.has_value());
  EXPECT_TRUE(fs::is_empty(state.program_directory));
  EXPECT_EQ(state.table[kTrainRecord].number3, 3);  // the service was read too
}

TEST_F(MemorizzaDati, DeletesWhatEachEndingHasRead) {
  struct Case {
    const char* name;
    std::optional<std::string> line;
    std::optional<std::string> service;
    int32_t code;
    std::optional<int32_t> position;
    bool service_read;
  };
  const Case cases[] = {
      {"line description missing", std::nullopt, kMinimalService, kErrorLineMissing, {}, false},
      {"no general section", "[curve]\r\n[fine]\r\n", kMinimalService, kErrorNoGeneralSection, {}, false},
      {"hard error of the line", line_with("indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0\r\n"
                                           "cartello_indicatore,  850,  (X)\r\n"),
       kMinimalService, kErrorInfoBoardOccupied, 850, false},
      {"soft range error of the line", line_with("pendenza,  40000,  1\r\n"), kMinimalService, kErrorOutOfRange,
       40000, true},
      {"read failure in the line", line_with("pendenza,  x,  1\r\n"), kMinimalService, kErrorReadFailure, {}, true},
      {"read failure in the service", line_with(""), "[generale]\r\nsabbia, 40000\r\n[fine]\r\n", kErrorReadFailure,
       {}, true},
      {"service missing", line_with(""), std::nullopt, kErrorReadFailure, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(line_path);
    fs::remove(service_path);
    if (c.line) std::ofstream(line_path, std::ios::binary) << *c.line;
    if (c.service) std::ofstream(service_path, std::ios::binary) << *c.service;
    state.error_code = 0;
    state.error_position.reset();
    memorizza_dati(state);
    EXPECT_EQ(state.error_code, c.code);
    EXPECT_EQ(state.error_position, c.position);
    EXPECT_FALSE(fs::exists(line_path));
    EXPECT_EQ(fs::exists(service_path), c.service.has_value() && !c.service_read);
    EXPECT_EQ(state.table[kLineRecord].text, "K");
    EXPECT_EQ(state.table[kServiceRecord].text, "7");
  }
}

TEST(CompileSources, LeavesFilesAloneAndGivesTheReadFailureItsPlace) {
  RunState state;
  state.trace_flag = 1;
  const std::string line = line_with("");
  const std::string service = "[generale]\r\n\r\nstazione,  650, 300\r\n";
  const SourcesRead read = compile_sources(state, line, service);
  EXPECT_TRUE(read.line);
  EXPECT_TRUE(read.service);
  EXPECT_EQ(state.error_code, kErrorReadFailure);
  ASSERT_TRUE(state.error_place.has_value());
  EXPECT_EQ(state.error_place->source, SourceKind::Service);
  EXPECT_EQ(state.error_place->line, 3);
}

// The rules where the reading is easiest to get wrong: a mountain stretch whose end is not range-tested,
// the order of a slowdown's refusals, and the length limit that only stored texts have.
TEST(CompileSources, RangeOrderAndLengthRules) {
  struct Case {
    const char* name;
    std::string line_entries;
    std::string service_entries;
    int32_t code;
    std::optional<int32_t> position;
    std::function<void(const TrackGrid&)> cells;
  };
  // A 1000 m line: extent 8000, cells 0 to 160.
  const auto short_line = [](const std::string& entries) {
    return "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\n" + entries + "[fine]\r\n";
  };
  const std::string dashes(70000, '-');
  const std::string signal = ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
  const auto mountain_cells = [](int first, int last) {
    return [first, last](const TrackGrid& grid) {
      for (int cell = first - 1; cell <= std::min(last + 1, grid.cellCount()); ++cell)
        EXPECT_EQ(grid[cell].mountainType, cell >= first && cell <= last ? 5 : 0) << "cell " << cell;
    };
  };
  const auto profiles_unfinished = [](const TrackGrid& grid) { EXPECT_EQ(grid[0].speedLimit, 0); };
  const std::vector<Case> cases = {
      {"mountain ending before the range limit", "montagna, 7800, 7950, 5\r\n", "", 0, {}, mountain_cells(156, 158)},
      {"mountain ending in the last cell", "montagna, 7800, 8050, 5\r\n", "", 0, {}, mountain_cells(156, 160)},
      {"mountain ending beyond the last cell", "montagna, 7800, 8100, 5\r\n", "", kErrorOutOfRange, 8100,
       [](const TrackGrid& grid) { EXPECT_EQ(grid[156].mountainType, 0); }},
      {"slowdown whose warning cell is taken", "",
       "velocita, 0, 80\r\nsegnale, 2600" + signal + "rallentamento, 3800, 40, 5000, 0, 0, 0\r\n",
       kErrorWarningOccupied, 3800, profiles_unfinished},
      {"slowdown whose start cell is taken", "",
       "velocita, 0, 80\r\nsegnale, 3800" + signal + "rallentamento, 3800, 40, 5000, 0, 0, 0\r\n",
       kErrorSlowdownStartOccupied, 3800, profiles_unfinished},
      {"slowdown whose end alone is beyond the grid", "", "velocita, 0, 80\r\nrallentamento, 3800, 40, 5000, 0, 0, 0\r\n",
       kErrorOutOfRange, 8800, [](const TrackGrid& grid) {
         EXPECT_EQ(grid[0].speedLimit, 16);  // a range error still finishes the profiles
         EXPECT_TRUE(grid[53].is(CellKind::Plain));
         EXPECT_TRUE(grid[77].is(CellKind::Plain));
       }},
      {"a 70000-byte comment in each file", dashes + "\r\n", dashes + "\r\n", 0, {}, nullptr},
      {"a board text of 65536 bytes", "cartello_indicatore, 500, " + std::string(65536, 'B') + "\r\n", "",
       kErrorReadFailure, {}, nullptr},
      {"a station name of 65536 bytes", "",
       "stazione, 650, 12, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 23, 0, " + std::string(65536, 'S') + "\r\n",
       kErrorReadFailure, {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    state.trace_flag = 1;
    const std::string line = short_line(c.line_entries);
    const std::string service = "[generale]\r\n" + c.service_entries + "[fine]\r\n";
    compile_sources(state, line, service);
    EXPECT_EQ(state.error_code, c.code) << state.error_detail;
    EXPECT_EQ(state.error_position, c.position);
    ASSERT_TRUE(state.grid.exists());
    if (c.cells) c.cells(state.grid);
  }
}

}  // namespace
