// `scenario compile` and `scenario check` through the real executable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

class CompileCommand : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return directory.at(name); }
  void write(const std::string& name, const std::string& text) const { directory.write(name, text); }
  Outcome scenario(const std::string& arguments, const std::string& environment = "") const {
    return test_support::run_scenario(directory.path(), arguments, environment);
  }

  test_support::TemporaryDirectory directory{"compile-command"};
};

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}
std::string service_with(const std::string& entries) { return "[generale]\r\n" + entries + "[fine]\r\n"; }

const std::string kSignal = ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
std::string signal_at(int position) { return "segnale, " + std::to_string(position) + kSignal; }
std::string repeated(int count, const std::function<std::string(int)>& entry) {
  std::string text;
  for (int i = 0; i < count; ++i) text += entry(i);
  return text;
}

TEST_F(CompileCommand, TheScenarioCompilesToTheSameBytesAsTheRun) {
  ASSERT_EQ(scenario("generate -o .").status, 0);
  write("Lesca-Varo_linea.txt", encode_lines(line_description_lines()));
  write("Lesca-Varo_148-.txt", encode_lines(train_service_lines()));
  fs::create_directory(at("compiled"));
  const Outcome outcome = scenario("compile Lesca-Varo_linea.txt Lesca-Varo_148-.txt -o compiled");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.out,
            "Lesca-Varo 148: 721 cells, 13 stations, 19 signals, 2 slowdowns, 9 boards; wrote Lesca-Varo_linea.dat "
            "(719964 bytes), Lesca-Varo_148.sim (3454 bytes), Lesca-Varo_148.dat (10815 bytes)\n");
  for (const char* name : {"Lesca-Varo_linea.dat", "Lesca-Varo_148.sim", "Lesca-Varo_148.dat"})
    EXPECT_EQ(read_file(path_in(at("compiled"), name)), read_file(at(name))) << name;
  // The author's files are left as they were.
  EXPECT_EQ(read_file(at("Lesca-Varo_linea.txt")), encode_lines(line_description_lines()));
  EXPECT_EQ(read_file(at("Lesca-Varo_148-.txt")), encode_lines(train_service_lines()));
}

TEST_F(CompileCommand, EveryErrorCodeIsReportedAtItsPlace) {
  struct Case {
    const char* name;
    std::string line;
    std::string service;
    std::string expected;  // the first line of the report
  };
  const std::string ok_line = line_with("");
  const std::string ok_service = service_with("");
  const std::string slowdown = "rallentamento, 3300, 40, 100, 0, 0, 0\r\n";
  const std::vector<Case> cases = {
      {"length", "[generale]\r\nlunghezza percorso, 1000001\r\n[curve]\r\n[fine]\r\n", ok_service,
       "D_linea.txt:2:21: error E1: line length above 1000000 m, or so short that the grid has no cell 1: 1000001 m; "
       "a line is at most 1000000 m long"},
      {"kilometric",
       "[generale]\r\nlunghezza percorso, 5000\r\nprogressiva chilometrica uno, 0, 1025, 1\r\n[curve]\r\n[fine]\r\n",
       ok_service,
       "D_linea.txt:3:1: error E2: kilometric reference start or value not a multiple of 50: its value 1125 "
       "m is not a multiple of 50 (as stored: 100 is added to the value of a reference whose flag is 1)"},
      {"repetition first",
       "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali 4 codici, 25, 0\r\n[curve]\r\n", ok_service,
       "D_linea.txt:3:31: error E3: first signal-repetition position not a multiple of 50: 25 m is not a "
       "multiple of 50"},
      {"repetition second",
       "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali 4 codici, 0, 2025\r\n[curve]\r\n", ok_service,
       "D_linea.txt:3:34: error E4: second signal-repetition position not a multiple of 50: 2025 m is not a "
       "multiple of 50"},
      {"repetition codes", "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali, 0, 2000\r\n[curve]\r\n",
       ok_service,
       "D_linea.txt:3:1: error E5: signal-repetition keyword without the code count 4 or 9: \"ripetizione "
       "segnali\" holds neither the digit 4 nor the digit 9"},
      {"board", line_with("indicatori_vmax, 850, 80, 80, 80, 0, , , , 0\r\ncartello_indicatore, 870, (X)\r\n"),
       ok_service,
       "D_linea.txt:5:22: error E6: information board on an occupied cell (at 870 m, cell 18): cell 18 (850 "
       "m) holds the speed board at 850 m (the line description, line 4)"},
      {"speed cut", ok_line, service_with(signal_at(2000) + "abbattimento, 2050, 60\r\n"),
       "D_9-.txt:3:15: error E7: speed cut on an occupied cell (at 2050 m, cell 41): cell 41 (2000 m) holds "
       "the signal at 2000 m (the train service, line 2)"},
      {"station position", ok_line, service_with("stazione, 675, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"),
       "D_9-.txt:2:11: error E8: station position not a multiple of 50 (at 675 m, cell 14): 675 m is not a "
       "multiple of 50"},
      {"platform length", ok_line, service_with("stazione, 650, 12, 350, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"),
       "D_9-.txt:2:20: error E9: platform length not a multiple of 100 (at 650 m, cell 14): its platform of "
       "350 m is not a multiple of 100"},
      {"station records",
       line_with(
           repeated(78, [](int i) { return "cartello_indicatore, " + std::to_string(100 + i * 100) + ", (X)\r\n"; })),
       service_with("stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"),
       "D_9-.txt:2:1: error E10: too many stations for the free records of the scenario table: at most 0 "
       "stations fit here: the information-board texts take records 3 to 80, and a free record must follow "
       "the last station"},
      {"signal control point", ok_line, service_with(signal_at(1950) + signal_at(2000) + signal_at(2050) + slowdown),
       "D_9-.txt: error E11: no free cell for the control point before a signal ahead of a slowdown warning "
       "(at 2050 m, cell 42): the signal in cell 42 (2050 m), 1000 m or less before the warning mark of the "
       "slowdown at 3300 m, needs a control point in one of the two cells before it: cell 41 (2000 m) holds "
       "the signal at 2000 m (the train service, line 3); cell 40 (1950 m) holds the signal at 1950 m (the "
       "train service, line 2)"},
      {"slowdown control point", ok_line, service_with(signal_at(2950) + signal_at(3000) + signal_at(3050) + slowdown),
       "D_9-.txt: error E12: no free cell for a control point ahead of a slowdown (at 3300 m, cell 67): the "
       "slowdown at 3300 m needs a control point 5 to 7 cells before its start: cell 62 (3050 m) holds the "
       "signal at 3050 m (the train service, line 4); cell 61 (3000 m) holds the signal at 3000 m (the "
       "train service, line 3); cell 60 (2950 m) holds the signal at 2950 m (the train service, line 2)"},
      {"slowdown walk", ok_line,
       service_with(signal_at(3650) + signal_at(3700) + signal_at(3750) + "rallentamento, 3300, 40, 1000, 0, 0, 0\r\n"),
       "D_9-.txt: error E13: no free cell for a control point along or after a slowdown, or a slowdown "
       "without its end (at 3700 m, cell 75): the slowdown at 3300 m needs a control point every 8 cells "
       "along it: cell 75 (3700 m) holds the signal at 3700 m (the train service, line 3); cell 74 (3650 m) "
       "holds the signal at 3650 m (the train service, line 2); cell 76 (3750 m) holds the signal at 3750 m "
       "(the train service, line 4)"},
      {"range", line_with("pendenza, 40000, 1\r\n"), ok_service,
       "D_linea.txt:4:11: error E15: position beyond the track grid (at 40000 m, cell 801): positions stop "
       "at 11900 m here (the grid reaches 7000 m beyond the 5000 m line, and a position needs 100 m of it "
       "after itself)"},
      {"signal", ok_line, service_with(signal_at(1500) + signal_at(1510)),
       "D_9-.txt:3:10: error E16: signal on an occupied cell (at 1510 m, cell 31): cell 31 (1500 m) holds "
       "the signal at 1500 m (the train service, line 2)"},
      {"warning cell", ok_line, service_with(signal_at(2100) + slowdown),
       "D_9-.txt:3:16: error E17: slowdown warning cell (1200 m before the start) occupied (at 3300 m, cell "
       "43): its warning mark, 1200 m before the start, falls in cell 43 (2100 m), which holds the signal "
       "at 2100 m (the train service, line 2)"},
      {"start cell", ok_line, service_with(signal_at(3300) + slowdown),
       "D_9-.txt:3:16: error E18: slowdown start cell occupied (at 3300 m, cell 67): cell 67 (3300 m) holds "
       "the signal at 3300 m (the train service, line 2)"},
      {"end cell", ok_line, service_with(signal_at(3400) + slowdown),
       "D_9-.txt:3:16: error E19: slowdown end cell occupied (at 3300 m, cell 69): its end at 3400 m falls "
       "in cell 69 (3400 m), which holds the signal at 3400 m (the train service, line 2)"},
      {"approach cells", ok_line, service_with(signal_at(2000) + "rallentamento, 3300, 40, 100, 0, 1, 0\r\n"),
       "D_9-.txt:3:16: error E20: slowdown approach cells occupied (at 3300 m, cell 41): its four approach "
       "cells 39 to 42, before the warning mark, must be free, but cell 41 (2000 m) holds the signal at "
       "2000 m (the train service, line 2)"},
      {"speed board", line_with("cartello_indicatore, 850, (X)\r\nindicatori_vmax, 850, 80, 80, 80, 0, , , , 0\r\n"),
       ok_service,
       "D_linea.txt:5:18: error E21: speed board on an occupied cell (at 850 m, cell 18): cell 18 (850 m) "
       "holds the information board at 850 m (the line description, line 4)"},
      {"spacing", ok_line,
       service_with("stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"
                    "stazione, 900, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,25, 0, B\r\n"),
       "D_9-.txt:3:11: error E22: platforms of successive stations less than 350 m apart, or stations out "
       "of line order (at 900 m, cell 19): the platform of \"B\" starts at 750 m, before the platform of "
       "\"A\" ends at 800 m; platforms stand at least 350 m apart"},
      {"platform too near", ok_line, service_with("stazione, 0, 12, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"),
       "D_9-.txt:2:1: error E24: platform end at 100 m or less: no room for the station mark: its platform "
       "ends at 50 m"},
      {"read failure", line_with("pendenza, abc, 1\r\n"), ok_service,
       "D_linea.txt:4:11: error E25: read failure: a field that is not a number, a number too large, or a "
       "file that ends inside an entry: not a whole number (the value \"position\" of \"pendenza\")"},
      {"no general section", "[curve]\r\n[fine]\r\n", ok_service,
       "D_linea.txt:1:1: error E102: no [generale] section: no field of the file contains \"[generale]\""},
      {"curve", line_with("curvad, 100, 10\r\n"), ok_service,
       "D_linea.txt:4:1: error E103: curve keyword without a sharpness digit 1 to 6, or a trace beyond "
       "1000000 m: \"curvad\" holds none of the digits 1 to 6 that give a curve's sharpness"},
      {"no length", "[generale]\r\n[curve]\r\npendenza, 0, 0\r\n[fine]\r\n", ok_service,
       "D_linea.txt:3:1: error E104: no line length before the line entries: the general section has no "
       "accepted \"lunghezza percorso\""},
      {"mountains",
       line_with(repeated(81,
                          [](int i) {
                            return "montagna, " + std::to_string(i * 140) + ", " + std::to_string(i * 140 + 100) +
                                   ", 2\r\n";
                          })),
       ok_service,
       "D_linea.txt:84:11: error E105: more than 80 mountain stretches (at 11200 m, cell 225): the mountain "
       "tables hold 80 stretches"},
      {"boards",
       line_with(
           repeated(81, [](int i) { return "cartello_indicatore, " + std::to_string(100 + i * 100) + ", (X)\r\n"; })),
       ok_service,
       "D_linea.txt:84:22: error E106: more than 80 information boards (at 8100 m, cell 163): records 80 to "
       "1 hold at most 80 board texts"},
      {"marker place", ok_line, service_with(signal_at(10)),
       "D_9-.txt: error E1250: a marker place of the output is already taken: cell 1 (0 m) holds the signal "
       "at 10 m (the train service, line 2), but its value1 is kept for the marker 5121 and must be 0 before it "
       "is stamped"},
      {"code place", ok_line, service_with("segnale, 10, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0\r\n"),
       "D_9-.txt: error E1251: a competition code place of the output is already taken: cell 1 (0 m) holds "
       "the signal at 10 m (the train service, line 2), but its value2 is kept for the competition code and must "
       "be 0 before it is stamped"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write("D_linea.txt", c.line);
    write("D_9-.txt", c.service);
    const Outcome outcome = scenario("compile D_linea.txt D_9-.txt -w");  // the error alone
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(first_line(outcome.err), c.expected);
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(fs::exists(at("D_9.dat")));
    EXPECT_EQ(read_file(at("D_linea.txt")), c.line);
    EXPECT_EQ(read_file(at("D_9-.txt")), c.service);
  }
}

TEST_F(CompileCommand, AnErrorShowsItsLineAndACaretAndWritesNothingUnlessForced) {
  write("D_linea.txt", line_with("pendenza, 0, 0\r\n\tpendenza,\t40000, 1\r\n"));
  write("D_9-.txt", service_with(""));
  std::ofstream(at("D_9.dat")) << "earlier";
  const Outcome refused = scenario("compile D_linea.txt D_9-.txt --no-warnings");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "D_linea.txt:5:12: error E15: position beyond the track grid (at 40000 m, cell 801): positions stop at "
            "11900 m here (the grid reaches 7000 m beyond the 5000 m line, and a position needs 100 m of it after "
            "itself)\n"
            "\tpendenza,\t40000, 1\n"
            "\t         \t^\n"
            "scenario: no file written\n");
  EXPECT_EQ(read_file(at("D_9.dat")), "earlier");
  EXPECT_FALSE(fs::exists(at("D_linea.dat")));

  const Outcome forced = scenario("compile D_linea.txt D_9-.txt --force");
  EXPECT_EQ(forced.status, 1);
  EXPECT_TRUE(first_line(forced.err)
                  .starts_with("D_linea.txt:5:12: error E15: position beyond the track grid (at "
                               "40000 m, cell 801)"));
  EXPECT_EQ(fs::file_size(at("D_9.dat")), 15u * 241u);
  EXPECT_TRUE(fs::exists(at("D_linea.dat")));
  EXPECT_TRUE(fs::exists(at("D_9.sim")));

  // Forced, but with nothing to write: the reason is said.
  write("N_linea.txt", "[generale]\r\nlunghezza percorso, 2000000\r\n[curve]\r\n[fine]\r\n");
  write("N_9-.txt", service_with(""));
  const Outcome nothing = scenario("compile N_linea.txt N_9-.txt --force");
  EXPECT_EQ(nothing.status, 1);
  EXPECT_TRUE(nothing.err.ends_with("scenario: no file written: the line description gave no line length the "
                                    "format accepts, so there is no grid to write\n"))
      << nothing.err;
  EXPECT_FALSE(fs::exists(at("N_9.dat")));
}

// The format refuses a line length only above 1000000 m: a line of -100 m has the grid beyond its end
// alone (cells 0 to 138, its trace metres 0 to 6900), gets its three files and a warning.
TEST_F(CompileCommand, ALineOfNoLengthGetsItsGridAndItsThreeFiles) {
  write("D_linea.txt", "[generale]\r\nlunghezza percorso, -100\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n");
  write("D_9-.txt", service_with("velocita, 0, 80\r\n" + signal_at(3000)));
  const Outcome compiled = scenario("compile D_linea.txt D_9-.txt");
  EXPECT_EQ(compiled.status, 0) << compiled.err;
  EXPECT_EQ(fs::file_size(at("D_9.dat")), 15u * 139u);
  // Per axis: two seed points, the doubles of metres 2 to 6898, the last two metres empty.
  EXPECT_EQ(fs::file_size(at("D_linea.dat")), 2u * (2u * 4u + 6897u * 10u + 2u * 2u));
  EXPECT_TRUE(fs::exists(at("D_9.sim")));
  const Outcome checked = scenario("check D_linea.txt D_9-.txt");
  EXPECT_EQ(checked.status, 0);
  EXPECT_NE(
      checked.err.find("D_linea.txt:2:21: warning: a line of -100 m has no track of its own: its grid, cells 0 to "
                       "138, is only the 6900 m beyond its end"),
      std::string::npos)
      << checked.err;

  // Just short enough to lose cell 1, where the output stamps its marker: refused, nothing written.
  write("D_linea.txt", "[generale]\r\nlunghezza percorso, -6980\r\n[curve]\r\n[fine]\r\n");
  const Outcome refused = scenario("compile D_linea.txt D_9-.txt --force -o short");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(first_line(refused.err).starts_with("D_linea.txt:2:21: error E1: ")) << refused.err;
  EXPECT_FALSE(fs::exists(at("short")) && fs::exists(at("short/D_9.dat")));
}

TEST_F(CompileCommand, ADirectoryInThePlaceOfOneBinaryFileReplacesNone) {
  // The three files are one scenario: the simulator must never find the new trace beside the old table.
  ASSERT_EQ(scenario("new Demo 1").status, 0);
  fs::create_directory(at("out"));
  write("out/Demo_linea.dat", "earlier trace");
  fs::create_directory(at("out/Demo_1.sim"));
  write("out/Demo_1.dat", "earlier grid");
  const Outcome outcome = scenario("compile Demo_linea.txt Demo_1-.txt -o out");
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "scenario: error: cannot write out/Demo_1.sim: Is a directory; no file was replaced "
                         "(out/Demo_linea.dat and out/Demo_1.dat are as they were)\n");
  EXPECT_EQ(read_file(at("out/Demo_linea.dat")), "earlier trace");
  EXPECT_EQ(read_file(at("out/Demo_1.dat")), "earlier grid");
  EXPECT_TRUE(fs::is_directory(at("out/Demo_1.sim")));
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(at("out"))) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"Demo_1.dat", "Demo_1.sim", "Demo_linea.dat"})) << "a temporary file left";
}

TEST_F(CompileCommand, NamesThatDoNotGiveTheKeyNeedTheOptions) {
  write("line.txt", line_with(""));
  write("service.txt", service_with(""));
  const Outcome refused = scenario("compile line.txt service.txt");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err,
            "scenario: error: cannot tell the line key from the file names (they are not K_linea.txt and K_N-.txt): "
            "give --line-key\n");
  const Outcome no_train = scenario("compile line.txt service.txt --line-key L");
  EXPECT_EQ(no_train.status, 2);
  EXPECT_EQ(no_train.err,
            "scenario: error: cannot tell the train number from the file name service.txt (it is not K_N-.txt): give "
            "--train\n");
  const Outcome given = scenario("compile line.txt service.txt --line-key L --train 5");
  EXPECT_EQ(given.status, 0) << given.err;
  EXPECT_TRUE(fs::exists(at("L_5.dat")));
  const Outcome missing = scenario("compile absent_linea.txt service.txt --train 5");
  EXPECT_EQ(missing.status, 3);
  EXPECT_EQ(missing.err, "scenario: error: cannot read absent_linea.txt: No such file or directory\n");
}

TEST_F(CompileCommand, PrintsItsWarningsAsCheckDoesUnlessToldNotTo) {
  write("W_linea.txt", line_with("pendneza, 1000, 5\r\n"));
  write("W_1-.txt", "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n[fine]\r\n");
  const Outcome shown = scenario("compile W_linea.txt W_1-.txt --color never");
  EXPECT_EQ(shown.status, 0) << shown.err;
  const Outcome checked = scenario("check W_linea.txt W_1-.txt --color never");
  EXPECT_EQ(shown.err, checked.err.substr(0, checked.err.rfind("0 errors")));
  EXPECT_NE(shown.err.find("W_linea.txt:4:1: warning: \"pendneza\" is no keyword: passed over: did you mean "
                           "\"pendenza\"?\n"),
            std::string::npos)
      << shown.err;
  EXPECT_NE(shown.out.find(", 1 warning; wrote"), std::string::npos) << shown.out;
  const Outcome quiet = scenario("compile W_linea.txt W_1-.txt -w");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
  EXPECT_NE(quiet.out.find(", 1 warning (scenario check shows them); wrote"), std::string::npos) << quiet.out;
}

TEST_F(CompileCommand, TwoFilesInTheWrongOrderAreSaidToBe) {
  write("Demo_linea.txt", line_with(""));
  write("Demo_1-.txt", service_with(""));
  for (const char* command : {"compile Demo_1-.txt Demo_linea.txt", "check Demo_1-.txt Demo_linea.txt",
                              "compile Demo_1-.txt Demo_linea.txt --line-key Demo --train 1"}) {
    SCOPED_TRACE(command);
    const Outcome swapped = scenario(command);
    EXPECT_EQ(swapped.status, 2);
    EXPECT_EQ(swapped.err,
              "scenario: error: the two files are given in the wrong order: Demo_1-.txt is a train service and "
              "Demo_linea.txt a line description; give the line description (K_linea.txt) first, then the train "
              "service (K_N-.txt)\n");
  }
}

TEST_F(CompileCommand, CheckWarnsOfWhatTheFormatPassesOverOrChanges) {
  write("W_linea.txt", "[generale]\r\nlunghezza percorso, 5000\r\nSfondo uno, 3\r\n[curve]\r\n"
                       "strano, 1\r\n"
                       "-pendenza, 10, 10\r\n"
                       "pendenza, 2000, 300\r\n"
                       "pendenza, 1000, 1\r\n"
                       "montagna");
  write("W_9-.txt", service_with(signal_at(700) + "stazione, 650, 12, 300, 0, 0, 0, 0,0,0, 0,0,0, 0, 16,23, 0, A\r\n"));
  const Outcome outcome = scenario("check W_linea.txt W_9-.txt");
  EXPECT_EQ(outcome.status, 0);
  std::vector<std::string> warnings;
  for (std::size_t start = 0, end; (end = outcome.err.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = outcome.err.substr(start, end - start);
    if (line.find(": warning: ") != std::string::npos) warnings.push_back(line);
  }
  const std::vector<std::string> expected{
      "W_linea.txt:3:1: warning: \"Sfondo uno\" is ignored: \"sfondo\" and \"uno\" must be written in lower case",
      "W_linea.txt:5:1: warning: \"strano\" is no keyword: passed over",
      "W_linea.txt:6:1: warning: \"-pendenza\" contains \"-\" and is taken for a comment: its entry is lost",
      // A value is told of when it is written: by the next entry of its kind, after that entry's own warning.
      "W_linea.txt:8:11: warning: gradient entry at 1000 m comes after one at 2000 m: the profile is filled in file "
      "order",
      "W_linea.txt:7:17: warning: value 400 of gradient + 100 cut to its low 8 bits (144)",
      "W_linea.txt:9:1: warning: \"montagna\" is the last field of the file: it is never read, and its entry is lost",
      "W_9-.txt:3:11: warning: the station mark in cell 15 (700 m) is written over the signal at 700 m (the train "
      "service, line 2), which the simulator then never sees",
      "W_9-.txt:1:1: warning: no \"velocita\" entry: the line speed is 0 on the whole line",
      "W_9-.txt:1:1: warning: no \"aderenza\" entry: the adhesion is 0 on the whole line",
  };
  EXPECT_EQ(warnings, expected);
  EXPECT_EQ(outcome.err.substr(outcome.err.rfind('\n', outcome.err.size() - 2) + 1), "0 errors, 9 warnings\n");
  EXPECT_EQ(scenario("check W_linea.txt W_9-.txt --werror").status, 1);
  EXPECT_FALSE(fs::exists(at("W_9.dat")));
}

}  // namespace
