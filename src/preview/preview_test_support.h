#pragma once

// The scenario's three files, compiled in memory and passed through their encoders and decoders, as
// the preview reads them from disk; and what its two sources say, read straight from their lines.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "compiler/memorizza_dati.h"
#include "output/memorizza_percorso.h"
#include "preview/preview_files.h"
#include "scenario/binary_format.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "support/crowded_scenario.h"

namespace preview_test {

inline ScenarioFiles compiled_scenario() {
  RunState state;
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  prepare_compilation(state, 1);
  compile_sources(state, encode_lines(line_description_lines()), encode_lines(train_service_lines()));
  EXPECT_EQ(state.error.code, 0);
  EXPECT_EQ(finish_scenario(state), 0);
  ScenarioFiles files;
  files.line_key = state.line_key;
  files.train_number = state.train_number;
  files.grid = decode_grid(encode_grid(state.grid)).value();
  files.table = decode_table(encode_table(state.table)).value();
  files.trace = decode_trace(encode_trace(state.trace)).value();
  return files;
}

/// The crowded scenario (support/crowded_scenario.h), compiled as "C_7" and passed through its encoders and
/// decoders.
inline ScenarioFiles compiled_crowded_scenario() {
  const test_support::ScenarioSources sources = test_support::crowded_scenario();
  RunState state;
  state.line_key = "C";
  state.train_number = "7";
  const CompileOutcome outcome = compile_scenario(state, sources.line, sources.service);
  EXPECT_EQ(state.error.code, 0);
  EXPECT_TRUE(outcome.writable(state));
  ScenarioFiles files;
  files.line_key = state.line_key;
  files.train_number = state.train_number;
  files.grid = decode_grid(encode_grid(state.grid)).value();
  files.table = decode_table(encode_table(state.table)).value();
  files.trace = decode_trace(encode_trace(state.trace)).value();
  return files;
}

/// The comma-separated fields of the source lines that start with `keyword`, each trimmed.
inline std::vector<std::vector<std::string>> entries(const LineTable& lines, const std::string& keyword) {
  std::vector<std::vector<std::string>> found;
  for (const std::string& line : lines) {
    if (line.rfind(keyword, 0) != 0) continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) {
      const auto first = field.find_first_not_of(' ');
      const auto last = field.find_last_not_of(' ');
      fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
    }
    found.push_back(fields);
  }
  return found;
}

/// The station names of the train service, in line order.
inline std::vector<std::string> station_names() {
  std::vector<std::string> names;
  for (const auto& fields : entries(train_service_lines(), "stazione")) names.push_back(fields.back());
  return names;
}

}  // namespace preview_test
