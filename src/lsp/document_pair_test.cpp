#include "lsp/workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace {

OpenDocument document_at(const test_support::TemporaryDirectory& directory, const std::string& name,
                         const std::string& text) {
  return {uri_of_path(directory.at(name)), directory.at(name), text, 1};
}

TEST(PairOf, ALineDescriptionPairsWithItsFirstOpenServiceElseItsFirstOnDisk) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  const std::string service = encode_lines(starter_service_lines());
  for (const char* name : {"Demo_2-.txt", "Demo_10-.txt", "Other_1-.txt", "Demo_linea.txt"}) directory.write(name, service);
  DocumentStore store;
  const OpenDocument line = document_at(directory, "Demo_linea.txt", "[generale]\r\n");
  store.open(line);

  auto pair = pair_of(line, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->kind, SourceKind::Line);
  EXPECT_EQ(pair->names.train_number, "10");  // "Demo_10-.txt" comes before "Demo_2-.txt" in name order
  EXPECT_EQ(pair->service_uri, uri_of_path(directory.at("Demo_10-.txt")));
  EXPECT_EQ(pair->sources.service.encoding, InputEncoding::Windows1252);

  store.open(document_at(directory, "Demo_3-.txt", "open text"));
  pair = pair_of(line, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->names.train_number, "3");
  EXPECT_EQ(pair->sources.service.text(), "open text");
  EXPECT_EQ(pair->sources.service.encoding, InputEncoding::Utf8);
}

TEST(PairOf, AServicePairsWithItsLineDescriptionOnlyAFileNamedSoIsPaired) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  DocumentStore store;
  const OpenDocument service = document_at(directory, "Demo_1-.txt", "[generale]\r\n");
  auto pair = pair_of(service, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->kind, SourceKind::Service);
  EXPECT_NE(pair->line_missing.find("Demo_linea.txt"), std::string::npos) << pair->line_missing;
  EXPECT_TRUE(pair->line_uri.empty());

  std::filesystem::create_directory(directory.at("Demo_linea.txt"));
  pair = pair_of(service, store);
  EXPECT_NE(pair->line_missing.find("not a regular file"), std::string::npos) << pair->line_missing;

  EXPECT_FALSE(pair_of(document_at(directory, "notes.txt", ""), store).has_value());
  EXPECT_FALSE(pair_of({"untitled:Demo_linea.txt", "", "", 1}, store).has_value());
}

TEST(DiagnosticsJson, CarryEveryDiagnosticOfTheCheckEachInTheFileItConcerns) {
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
  const OpenDocument open = document_at(directory, "Demo_1-.txt", service);
  store.open(open);

  auto pair = pair_of(open, store);
  ASSERT_TRUE(pair.has_value());
  Sources sources = pair->sources;
  const PairCheck expected = check_pair(sources, pair->names);
  const auto checked = check_document_pair(std::move(*pair));

  std::vector<std::string> wanted;
  for (const Diagnostic& diagnostic : expected.diagnostics().all())
    wanted.push_back((file_of(diagnostic) == SourceKind::Line ? "line " : "service ") + rule_id(diagnostic));
  std::vector<std::string> published;
  for (const SourceKind kind : {SourceKind::Line, SourceKind::Service})
    for (const auto& item : diagnostics_json(*checked, kind, PositionEncoding::Utf16))
      published.push_back((kind == SourceKind::Line ? "line " : "service ") + item["code"].get<std::string>());
  std::sort(wanted.begin(), wanted.end());
  std::sort(published.begin(), published.end());
  EXPECT_EQ(published, wanted);
  for (const char* code : {"line E21", "line value-cut", "service E8", "service E16"})
    EXPECT_NE(std::find(published.begin(), published.end(), code), published.end()) << code;
}

}  // namespace
