#include "lsp/document_pair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lsp/text_positions.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace {

/// A document opened in the store, as the store holds it.
OpenDocument open_in(DocumentStore& store, const test_support::TemporaryDirectory& directory, const std::string& name,
                     const std::string& text) {
  const std::string uri = uri_of_path(directory.at(name));
  store.open(uri, std::make_shared<const std::string>(text), 1);
  return *store.find(uri);
}

/// A document that is not open: what pair_of is given for a document the store does not hold.
OpenDocument closed(const std::string& uri, const std::string& path) {
  return {uri, path, 1, SourceFile(path, "", InputEncoding::Utf8)};
}

TEST(PairOf, ALineDescriptionPairsWithItsFirstOpenServiceElseItsFirstOnDisk) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  const std::string service = encode_lines(starter_service_lines());
  for (const char* name : {"Demo_2-.txt", "Demo_10-.txt", "Other_1-.txt", "Demo_linea.txt"})
    directory.write(name, service);
  DocumentStore store;
  const OpenDocument line = open_in(store, directory, "Demo_linea.txt", "[generale]\r\n");

  auto pair = pair_of(line, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->kind, SourceKind::Line);
  EXPECT_EQ(pair->names.train_number, "10");  // "Demo_10-.txt" comes before "Demo_2-.txt" in name order
  EXPECT_EQ(pair->service_uri, uri_of_path(directory.at("Demo_10-.txt")));
  EXPECT_EQ(pair->sources.service.encoding, InputEncoding::Windows1252);

  const OpenDocument open_service = open_in(store, directory, "Demo_3-.txt", "open text");
  pair = pair_of(line, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->names.train_number, "3");
  EXPECT_EQ(pair->sources.service.text(), "open text");
  EXPECT_EQ(pair->sources.service.encoding, InputEncoding::Utf8);
  // The open document's text is shared, not copied.
  EXPECT_EQ(pair->sources.service.text().data(), open_service.file.text().data());
  EXPECT_EQ(pair->sources.line.text().data(), line.file.text().data());
}

TEST(PairOf, AServicePairsWithItsLineDescriptionOnlyAFileNamedSoIsPaired) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  DocumentStore store;
  const OpenDocument service = open_in(store, directory, "Demo_1-.txt", "[generale]\r\n");
  auto pair = pair_of(service, store);
  ASSERT_TRUE(pair.has_value());
  EXPECT_EQ(pair->kind, SourceKind::Service);
  EXPECT_NE(pair->line_missing.find("Demo_linea.txt"), std::string::npos) << pair->line_missing;
  EXPECT_TRUE(pair->line_uri.empty());

  std::filesystem::create_directory(directory.at("Demo_linea.txt"));
  pair = pair_of(service, store);
  EXPECT_NE(pair->line_missing.find("not a regular file"), std::string::npos) << pair->line_missing;

#ifndef _WIN32  // the Windows build's tests run under Wine, which makes no symbolic links
  // A link that leads back to itself is told as what it is, not as a missing file.
  std::filesystem::remove(directory.at("Demo_linea.txt"));
  std::filesystem::create_symlink(directory.at("Demo_linea.txt"), directory.at("Demo_linea.txt"));
  pair = pair_of(service, store);
  EXPECT_EQ(pair->line_missing, "cannot read " + directory.at("Demo_linea.txt") + ": a loop of symbolic links");
#endif

  EXPECT_FALSE(pair_of(closed(uri_of_path(directory.at("notes.txt")), directory.at("notes.txt")), store).has_value());
  EXPECT_FALSE(pair_of(closed("untitled:Demo_linea.txt", ""), store).has_value());
}

TEST(OpenPairMembers, AreTheOpenSourcesOfTheSameLineInTheSameFolder) {
  const test_support::TemporaryDirectory directory("scenario-pairs");
  const test_support::TemporaryDirectory elsewhere("scenario-pairs");
  DocumentStore store;
  for (const char* name : {"Demo_linea.txt", "Demo_1-.txt", "Demo_2-.txt", "Other_1-.txt", "notes.txt"})
    open_in(store, directory, name, "");
  open_in(store, elsewhere, "Demo_1-.txt", "");
  std::vector<std::string> members = open_pair_members(directory.at("Demo_3-.txt"), store);
  std::sort(members.begin(), members.end());
  std::vector<std::string> expected;
  for (const char* name : {"Demo_1-.txt", "Demo_2-.txt", "Demo_linea.txt"})
    expected.push_back(uri_of_path(directory.at(name)));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(members, expected);
  EXPECT_TRUE(open_pair_members(directory.at("notes.txt"), store).empty());
}

}  // namespace
