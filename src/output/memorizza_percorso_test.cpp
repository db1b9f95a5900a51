#include "output/memorizza_percorso.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

class MemorizzaPercorso : public ::testing::Test {
 protected:
  void SetUp() override {
    state.program_directory = directory.path();
    state.line_key = std::string("K");
    state.train_number = std::string("7");
  }
  test_support::TemporaryDirectory directory{"percorso"};

  void write(const std::string& name, const std::string& text) {
    std::ofstream(path_in(state.program_directory, name), std::ios::binary) << text;
  }
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(state.program_directory))
      names.insert(entry.path().filename().string());
    return names;
  }

  RunState state;
};

TEST_F(MemorizzaPercorso, WithoutAGridThereIsNothingToFinishOrWrite) {
  write("K_7.dat", "earlier");
  write("K_7-.txt", "[generale]\r\n[fine]\r\n");
  int32_t j = 1;
  memorizza_percorso(state, j);
  EXPECT_EQ(state.error.code, kErrorLineMissing);
  EXPECT_EQ(files(), (std::set<std::string>{"K_7.dat", "K_7-.txt"}));
  EXPECT_EQ(read_file(path_in(state.program_directory, "K_7.dat")), "earlier");

  write("K_linea.txt", "[generale]\r\nlunghezza percorso, 1000001\r\n[curve]\r\n[fine]\r\n");
  memorizza_percorso(state, j);
  EXPECT_EQ(state.error.code, kErrorLineLength);
  EXPECT_EQ(files(), (std::set<std::string>{"K_7.dat", "K_7-.txt"}));
}

TEST_F(MemorizzaPercorso, AnErrorCodeStillWritesTheFiles) {
  write("K_linea.txt", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza, 40000, 1\r\n[fine]\r\n");
  write("K_7-.txt", "[generale]\r\n[fine]\r\n");
  int32_t j = 1;
  memorizza_percorso(state, j);
  EXPECT_EQ(state.error.code, kErrorOutOfRange);
  EXPECT_EQ(files(), (std::set<std::string>{"K_linea.dat", "K_7.sim", "K_7.dat"}));
  EXPECT_EQ(fs::file_size(path_in(state.program_directory, "K_7.dat")), 15u * 241u);
}

TEST_F(MemorizzaPercorso, ATraceFlagOfZeroLeavesTheTraceFileAlone) {
  write("K_linea.dat", "earlier trace");
  write("K_linea.txt", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\ncurvad3, 100, 100\r\n[fine]\r\n");
  write("K_7-.txt", "[generale]\r\n[fine]\r\n");
  int32_t j = 0;
  memorizza_percorso(state, j);
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(read_file(path_in(state.program_directory, "K_linea.dat")), "earlier trace");
  EXPECT_TRUE(fs::exists(path_in(state.program_directory, "K_7.dat")));
}

TEST_F(MemorizzaPercorso, ATakenMarkerPlaceIsReturnedBeforeAnyBinaryFile) {
  write("K_linea.txt", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n");
  write("K_7-.txt", "[generale]\r\nsegnale, 10, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n");
  int32_t j = 1;
  EXPECT_EQ(memorizza_percorso(state, j), kErrorMarkerTaken);
  for (const char* name : {"K_linea.dat", "K_7.sim", "K_7.dat"})
    EXPECT_FALSE(fs::exists(path_in(state.program_directory, name))) << name;
}

}  // namespace
