#include "output/binary_files.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/binary_format.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace {

void write_plain(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  EXPECT_EQ(std::fwrite(content.data(), 1, content.size(), f), content.size());
  std::fclose(f);
}

/// A trace of metres 0 to 3: the two seed points, one computed point, one left empty.
/// Metres 0 to 4: the two first points, then two turned by a quarter per metre; metre 4 stays empty.
PlanTrace small_trace() {
  PlanTrace trace;
  trace.create(4);
  trace.start();
  trace.add_run(3, true, 0.25);
  return trace;
}

// Writing the files.

class WriteFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.program_directory = directory;
    state.line_key = "Lesca-Varo";
    state.train_number = "148";
    state.trace_flag = 1;
    state.grid.create(36000);
    state.grid[1].value1 = 5121;
    state.trace = small_trace();
    state.table[86].text = "148";
  }

  std::string path(const std::string& name) const { return directory + "/" + name; }

  test_support::TemporaryDirectory temporary{"binary-files"};
  std::string directory = temporary.path();
  RunState state;
};

TEST_F(WriteFilesTest, WritesTheThreeFiles) {
  write_binary_files(state);
  const std::string trace = read_file(path("Lesca-Varo_linea.dat"));
  EXPECT_EQ(trace, encode_trace(state.trace.points()));
  EXPECT_EQ(trace.size(), 2 * (2 * 4 + 2 * 10 + 2));  // per axis: two integers, two doubles, one empty
  EXPECT_EQ(read_file(path("Lesca-Varo_148.sim")), encode_table(state.table));
  const std::string grid = read_file(path("Lesca-Varo_148.dat"));
  EXPECT_EQ(grid.size(), 10815u);
  EXPECT_EQ(grid, encode_grid(state.grid));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator()), 3);
}

TEST_F(WriteFilesTest, TraceFlag0NeitherWritesNorTouchesTheTraceFile) {
  state.trace_flag = 0;
  write_binary_files(state);
  EXPECT_FALSE(file_exists(path("Lesca-Varo_linea.dat")));
  EXPECT_TRUE(file_exists(path("Lesca-Varo_148.sim")));

  write_plain(path("Lesca-Varo_linea.dat"), "earlier trace");
  write_binary_files(state);
  EXPECT_EQ(read_file(path("Lesca-Varo_linea.dat")), "earlier trace");
}

TEST_F(WriteFilesTest, ReplacesALongerEarlierFile) {
  write_plain(path("Lesca-Varo_148.dat"), std::string(20000, 'x'));
  write_binary_files(state);
  EXPECT_EQ(read_file(path("Lesca-Varo_148.dat")), encode_grid(state.grid));
}

TEST_F(WriteFilesTest, TheThreeFilesAreReplacedAllOrNone) {
  // A directory in the place of the table file makes its replacement fail: the trace, written before it,
  // is not put in place either, nor is the grid after it.
  write_plain(path("Lesca-Varo_linea.dat"), "earlier trace");
  std::filesystem::create_directory(path("Lesca-Varo_148.sim"));
  EXPECT_THROW(write_binary_files(state), FileError);
  EXPECT_EQ(read_file(path("Lesca-Varo_linea.dat")), "earlier trace");
  EXPECT_FALSE(file_exists(path("Lesca-Varo_148.dat")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator()), 2);
}

}  // namespace
