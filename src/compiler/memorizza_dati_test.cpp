#include "compiler/memorizza_dati.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

const std::string kMinimalService = "[generale]\r\nnumero vetture, 3\r\n[fine]\r\n";

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}

class MemorizzaDati : public ::testing::Test {
 protected:
  void SetUp() override {
    state.program_directory = directory.path();
    state.line_key = std::string("K");
    state.train_number = std::string("7");
    state.trace_flag = 1;
    line_path = path_in(state.program_directory, "K_linea.txt");
    service_path = path_in(state.program_directory, "K_7-.txt");
  }
  test_support::TemporaryDirectory directory{"memorizza"};
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
  EXPECT_EQ(state.error.code, 0);
  EXPECT_FALSE(state.error.position.has_value());
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
      {"hard error of the line",
       line_with("indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0\r\n"
                 "cartello_indicatore,  850,  (X)\r\n"),
       kMinimalService, kErrorInfoBoardOccupied, 850, false},
      {"soft range error of the line", line_with("pendenza,  40000,  1\r\n"), kMinimalService, kErrorOutOfRange, 40000,
       true},
      {"read failure in the line", line_with("pendenza,  x,  1\r\n"), kMinimalService, kErrorReadFailure, {}, true},
      {"read failure in the service",
       line_with(""),
       "[generale]\r\nsabbia, 40000\r\n[fine]\r\n",
       kErrorReadFailure,
       {},
       true},
      {"service missing", line_with(""), std::nullopt, kErrorReadFailure, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(line_path);
    fs::remove(service_path);
    if (c.line) std::ofstream(line_path, std::ios::binary) << *c.line;
    if (c.service) std::ofstream(service_path, std::ios::binary) << *c.service;
    state.error.code = 0;
    state.error.position.reset();
    memorizza_dati(state);
    EXPECT_EQ(state.error.code, c.code);
    EXPECT_EQ(state.error.position, c.position);
    EXPECT_FALSE(fs::exists(line_path));
    EXPECT_EQ(fs::exists(service_path), c.service.has_value() && !c.service_read);
    EXPECT_EQ(state.table[kLineRecord].text, "K");
    EXPECT_EQ(state.table[kServiceRecord].text, "7");
  }
}

}  // namespace
