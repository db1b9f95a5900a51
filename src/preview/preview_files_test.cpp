#include "preview/preview_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include "platform/program_directory.h"
#include "preview/preview_test_support.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

using preview_test::compiled_scenario;

TEST(PreviewFiles, TheScenarioBelongsTogether) { EXPECT_TRUE(mismatch_of(compiled_scenario()).is_ok()); }

TEST(PreviewFiles, MismatchesAreNamed) {
  struct Case {
    const char* name;
    std::function<void(ScenarioFiles&)> change;
    const char* message;
  };
  const Case cases[] = {
      {"another line key", [](ScenarioFiles& f) { f.line_key = "Other"; },
       "the scenario table names the line \"Lesca-Varo\", the file names say \"Other\""},
      {"another train", [](ScenarioFiles& f) { f.train_number = "149"; },
       "the scenario table names the train \"148\", the file names say \"149\""},
      {"no line length", [](ScenarioFiles& f) { f.table[kTrainRecord].number2 = 0; },
       "the scenario table gives a line length of 0 m"},
      {"a trace of another line", [](ScenarioFiles& f) { f.trace.create(30000); },
       "the plan trace reaches 30000 m, but a line of 29000 m needs a trace to 36000 m"},
      {"a grid of another line", [](ScenarioFiles& f) { f.grid.create(35000); },
       "the grid has cells 0 to 700, but the trace's extent of 36000 m needs cells 0 to 720"},
      {"a hole in the trace",
       [](ScenarioFiles& f) {
         TrackTrace holed;
         holed.create(36000);
         for (int32_t m = 0; m <= 36000 - 2; ++m)
           if (m != 12345)
             for (const int axis : {kAxisX, kAxisY}) holed.set_double(m, axis, f.trace.value(m, axis));
         f.trace = holed;
       },
       "the plan trace has no point at metre 12345, inside the line"},
      {"a point that is no number",
       [](ScenarioFiles& f) { f.trace.set_double(500, kAxisY, std::numeric_limits<double>::quiet_NaN()); },
       "the plan trace's point at metre 500 is not a finite number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScenarioFiles files = compiled_scenario();
    c.change(files);
    EXPECT_EQ(mismatch_of(files).message(), c.message);
  }
}

/// A directory with the scenario's three binary files, as the run writes them.
class PreviewFilesOnDisk : public ::testing::Test {
 public:
  void SetUp() override { write_scenario(); }

  void write_scenario() {
    write("Lesca-Varo_148.dat", encode_grid(scenario().grid));
    write("Lesca-Varo_148.sim", encode_table(scenario().table));
    write("Lesca-Varo_linea.dat", encode_trace(scenario().trace));
  }
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(path_in(directory, name), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string grid() const { return path_in(directory, "Lesca-Varo_148.dat"); }

  static const ScenarioFiles& scenario() {
    static const ScenarioFiles files = compiled_scenario();
    return files;
  }
  test_support::TemporaryDirectory temporary{"preview-files"};
  std::string directory = temporary.path();
};

TEST_F(PreviewFilesOnDisk, LoadsTheThreeFiles) {
  const Result<ScenarioFiles> loaded = load_scenario_files(grid());
  ASSERT_TRUE(loaded) << loaded.status().message();
  EXPECT_EQ(loaded->line_key, "Lesca-Varo");
  EXPECT_EQ(loaded->train_number, "148");
  EXPECT_EQ(loaded->grid.cellCount(), 720);
  EXPECT_EQ(loaded->trace.last_metre(), 36000);
  EXPECT_EQ(loaded->table[1].text, "CRISTOFORO COLOMBO");
}

TEST_F(PreviewFilesOnDisk, BadFilesGiveAnErrorNamingTheFile) {
  struct Case {
    const char* name;
    std::function<void(PreviewFilesOnDisk&)> spoil;
    std::string message_part;
  };
  const Case cases[] = {
      {"missing trace", [](PreviewFilesOnDisk& t) { fs::remove(path_in(t.directory, "Lesca-Varo_linea.dat")); },
       "the plan trace " + path_in(directory, "Lesca-Varo_linea.dat") + " is missing"},
      {"missing table", [](PreviewFilesOnDisk& t) { fs::remove(path_in(t.directory, "Lesca-Varo_148.sim")); },
       "the scenario table " + path_in(directory, "Lesca-Varo_148.sim") + " is missing"},
      {"grid of a wrong size", [](PreviewFilesOnDisk& t) { t.write("Lesca-Varo_148.dat", std::string(10814, '\0')); },
       "the track grid " + grid() + " is damaged: size 10814 is not a whole number of 15-byte cells"},
      {"table cut short", [](PreviewFilesOnDisk& t) { t.write("Lesca-Varo_148.sim", std::string(100, '\0')); },
       "the scenario table " + path_in(directory, "Lesca-Varo_148.sim") + " is damaged: record 2 at byte 68"},
      {"trace cut short",
       [](PreviewFilesOnDisk& t) { t.write("Lesca-Varo_linea.dat", std::string("\x02\x00\x00\x00\x05", 5)); },
       "the plan trace " + path_in(directory, "Lesca-Varo_linea.dat") +
           " is damaged: element 1 at byte 4: type code cut off by the end of the file"},
      {"trace of another extent",
       [](PreviewFilesOnDisk& t) {
         TrackTrace other;
         other.create(20000);
         t.write("Lesca-Varo_linea.dat", encode_trace(other));
       },
       "the files do not belong together: the plan trace reaches 20000 m"},
      {"grid of another line",
       [](PreviewFilesOnDisk& t) { t.write("Lesca-Varo_148.dat", std::string(15 * 600, '\0')); },
       "the files do not belong together: the grid has cells 0 to 599"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write_scenario();
    c.spoil(*this);
    const Result<ScenarioFiles> loaded = load_scenario_files(grid());
    EXPECT_FALSE(loaded);
    // A file that cannot be read is a failure of the files; one that reads is a damaged scenario.
    const bool missing = c.message_part.find("is missing") != std::string::npos;
    EXPECT_EQ(loaded.status().code(), missing ? Status::Code::IOError : Status::Code::Corruption);
    EXPECT_NE(loaded.status().message().find(c.message_part), std::string::npos) << loaded.status().message();
  }
}

TEST_F(PreviewFilesOnDisk, ANameThatIsNoGridNameIsRefused) {
  const Result<ScenarioFiles> loaded = load_scenario_files(path_in(directory, "Lesca-Varo_linea.dat"));
  EXPECT_FALSE(loaded);
  EXPECT_NE(loaded.status().message().find("is not the name of a grid file"), std::string::npos)
      << loaded.status().message();
}

}  // namespace
