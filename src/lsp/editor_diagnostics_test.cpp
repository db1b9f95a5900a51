#include "lsp/editor_diagnostics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "lsp/text_positions.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace {

TEST(EditorDiagnostics, CarryEveryDiagnosticOfTheCheckEachInTheFileItConcerns) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  // Mistakes in both files: a board on another's cell (E21), a station position (E8), a signal on the
  // board's cell (E16, related to the line), a gradient cut to 8 bits (a warning).
  std::string line = encode_lines(starter_line_lines());
  line.replace(line.find("indicatori_vmax,  2950"), 22, "indicatori_vmax,   850");
  line.replace(line.find("pendenza,  1500,  8"), 19, "pendenza,  1500,  300");
  std::string service = encode_lines(starter_service_lines());
  service.replace(service.find("segnale,    1800"), 16, "segnale,     850");
  service.replace(service.find("stazione,    2450"), 17, "stazione,    2455");
  directory.write("Demo_linea.txt", line);
  DocumentStore store;
  const std::string uri = uri_of_path(directory.at("Demo_1-.txt"));
  store.open(uri, std::make_shared<const std::string>(service), 1);

  auto pair = pair_of(*store.find(uri), store);
  ASSERT_TRUE(pair.has_value());
  Sources sources = pair->sources;
  const PairCheck expected = check_pair(sources, pair->names);
  const auto checked = check_document_pair(std::move(*pair));

  std::vector<std::string> wanted;
  for (const Diagnostic& diagnostic : expected.diagnostics().all())
    wanted.push_back((file_of(diagnostic) == SourceKind::Line ? "line " : "service ") + rule_id(diagnostic));
  std::vector<std::string> published;
  for (const SourceKind kind : {SourceKind::Line, SourceKind::Service})
    for (const protocol::Diagnostic& item : editor_diagnostics(*checked, kind, protocol::PositionEncoding::Utf16))
      published.push_back((kind == SourceKind::Line ? "line " : "service ") + item.code);
  std::sort(wanted.begin(), wanted.end());
  std::sort(published.begin(), published.end());
  EXPECT_EQ(published, wanted);
  for (const char* code : {"line E21", "line value-cut", "service E8", "service E16"})
    EXPECT_NE(std::find(published.begin(), published.end(), code), published.end()) << code;
}

}  // namespace
