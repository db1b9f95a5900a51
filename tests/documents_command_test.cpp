// `scenario documents` through the real executable.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "compiler/compile_scenario.h"
#include "documents/slowdown_order_for.h"
#include "documents/timetable_card_for.h"
#include "model/scenario_model.h"
#include "platform/files.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/starter_scenario.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

class DocumentsCommand : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return directory.at(name); }
  void write(const std::string& name, const std::string& text) const { directory.write(name, text); }
  Outcome scenario(const std::string& arguments) const {
    return test_support::run_scenario(directory.path(), arguments);
  }

  test_support::TemporaryDirectory directory{"documents-command"};
};

/// The two documents the builders give for two sources.
struct Documents {
  std::string card;
  std::string order;
};
Documents documents_of(const std::string& line, const std::string& service, const std::string& key,
                       const std::string& train) {
  RunState state;
  compile_scenario(state, line, service);
  EXPECT_EQ(state.diagnostics.errors(), 0u);
  const ScenarioModel model = read_scenario_model(state.grid, state.table);
  return {encode_lines(timetable_card_for(model, state.grid, train)),
          encode_lines(slowdown_order_for(model, key, train))};
}

TEST_F(DocumentsCommand, TheScenarioGetsItsCardAndOrderInANewDirectory) {
  const std::string line = encode_lines(line_description_lines());
  const std::string service = encode_lines(train_service_lines());
  write("Lesca-Varo_linea.txt", line);
  write("Lesca-Varo_148-.txt", service);

  const Outcome outcome = scenario("documents Lesca-Varo_linea.txt Lesca-Varo_148-.txt -o out/documents");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.out, "Lesca-Varo 148: 13 stations, 2 slowdowns; wrote Lesca-Varo_148_scheda_treno.txt, "
                         "Lesca-Varo_148_rallentamenti.txt\n");
  EXPECT_EQ(directory.entries("out/documents"),
            (std::set<std::string>{"Lesca-Varo_148_scheda_treno.txt", "Lesca-Varo_148_rallentamenti.txt"}));

  const Documents expected = documents_of(line, service, "Lesca-Varo", "148");
  const std::string card = read_file(at("out/documents/Lesca-Varo_148_scheda_treno.txt"));
  EXPECT_EQ(card, expected.card);
  EXPECT_EQ(read_file(at("out/documents/Lesca-Varo_148_rallentamenti.txt")), expected.order);
  EXPECT_NE(card.find("|  CRISTOFORO COLOMBO        |          16.23 |"), std::string::npos);
  // Every line ends with CR LF.
  EXPECT_EQ(card.substr(card.size() - 2), "\r\n");
  for (std::size_t at = card.find('\n'); at != std::string::npos; at = card.find('\n', at + 1))
    EXPECT_EQ(card[at - 1], '\r') << "byte " << at;
  // The author's files are only read.
  EXPECT_EQ(read_file(at("Lesca-Varo_linea.txt")), line);
  EXPECT_EQ(read_file(at("Lesca-Varo_148-.txt")), service);
}

TEST_F(DocumentsCommand, EarlierDocumentsAreReplacedWhole) {
  write("Demo_linea.txt", encode_lines(starter_line_lines()));
  write("Demo_1-.txt", encode_lines(starter_service_lines()));
  write("Demo_1_scheda_treno.txt", std::string(20000, 'x'));
  write("Demo_1_rallentamenti.txt", std::string(20000, 'x'));

  const Outcome outcome = scenario("documents Demo_linea.txt Demo_1-.txt");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Demo 1: 3 stations, 1 slowdown; wrote Demo_1_scheda_treno.txt, Demo_1_rallentamenti.txt\n");
  const Documents expected =
      documents_of(encode_lines(starter_line_lines()), encode_lines(starter_service_lines()), "Demo", "1");
  EXPECT_EQ(read_file(at("Demo_1_scheda_treno.txt")), expected.card);
  EXPECT_EQ(read_file(at("Demo_1_rallentamenti.txt")), expected.order);
  EXPECT_EQ(directory.entries(), (std::set<std::string>{"Demo_linea.txt", "Demo_1-.txt", "Demo_1_scheda_treno.txt",
                                                        "Demo_1_rallentamenti.txt"}));
}

TEST_F(DocumentsCommand, AScenarioWithAnErrorGetsNoDocument) {
  std::string service = encode_lines(starter_service_lines());
  service.replace(service.find("stazione,    2450"), 17, "stazione,    2475");
  write("Demo_linea.txt", encode_lines(starter_line_lines()));
  write("Demo_1-.txt", service);
  write("Demo_1_scheda_treno.txt", "filled in by hand");

  const Outcome outcome = scenario("documents Demo_linea.txt Demo_1-.txt -o . --color never");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            "Demo_1-.txt:23:14: error E8: station position not a multiple of 50 (at 2475 m, cell 50): 2475 m is not a "
            "multiple of 50\n"
            "stazione,    2475, 12,  300,  0, 0, 0,  1,1,0,  4,1,1,   10,  16, 3, 0, MOLINO\n"
            "             ^\n"
            "scenario: no file written\n");
  EXPECT_EQ(read_file(at("Demo_1_scheda_treno.txt")), "filled in by hand");
  EXPECT_EQ(directory.entries(), (std::set<std::string>{"Demo_linea.txt", "Demo_1-.txt", "Demo_1_scheda_treno.txt"}));

  const Outcome elsewhere = scenario("documents Demo_linea.txt Demo_1-.txt -o new/place");
  EXPECT_EQ(elsewhere.status, 1);
  EXPECT_FALSE(fs::exists(at("new")));
}

TEST_F(DocumentsCommand, AnAccentedNameOfAUtf8ServiceComesOutInWindows1252) {
  std::string service = encode_lines(starter_service_lines());
  service.replace(service.find("MOLINO"), 6, "CITT\xC3\x80");  // CITTÀ in UTF-8
  write("Demo_linea.txt", encode_lines(starter_line_lines()));
  write("Demo_1-.txt", service);
  const Outcome outcome = scenario("documents Demo_linea.txt Demo_1-.txt --input-encoding utf-8");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const std::string card = read_file(at("Demo_1_scheda_treno.txt"));
  EXPECT_NE(card.find("|  CITT\xC0                     | 16.03    16.03 |"), std::string::npos);
}

TEST_F(DocumentsCommand, ArgumentsAndFilesThatCannotServe) {
  write("Demo_linea.txt", encode_lines(starter_line_lines()));
  write("Demo_1-.txt", encode_lines(starter_service_lines()));
  write("a_file", "");
  struct Case {
    const char* arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"documents Demo_linea.txt Missing_1-.txt", 3, "scenario: error: cannot read Missing_1-.txt: "},
      {"documents Demo_linea.txt . --train 1", 3, "scenario: error: cannot read .: not a regular file\n"},
      {"documents Demo_linea.txt Demo_1-.txt -o a_file", 3,
       "scenario: error: cannot make the output directory a_file: a_file exists and is not a directory\n"},
      {"documents Demo_linea.txt a_file", 2, "scenario: error: cannot tell the train number from the file name a_file"},
      {"documents Demo_linea.txt", 2, "SERVICE is required"},
      {"documents Demo_linea.txt Demo_1-.txt -o ''", 2, "an empty name"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = scenario(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.arguments << ": " << outcome.err;
    EXPECT_EQ(outcome.out, "") << c.arguments;
  }
  EXPECT_EQ(directory.entries(), (std::set<std::string>{"Demo_linea.txt", "Demo_1-.txt", "a_file"}));
}

}  // namespace
