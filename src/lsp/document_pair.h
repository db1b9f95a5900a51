#pragma once

// The pairs open documents are checked in. A line description K_linea.txt and a train service K_N-.txt
// are paired by their names in one directory. A train service is checked with its line description. A
// line description is checked with the first of its train services, in the order of their names, that
// is open in the editor, else with the first one on disk; without any, it is checked alone. A partner
// that is not open is read from disk (Windows-1252).

#include <optional>
#include <string>

#include "compiler/source_check.h"
#include "compiler/source_files.h"
#include "lsp/document_store.h"

/// The two sources a document is checked in, with where each comes from.
struct DocumentPair {
  /// Which of the two the document is.
  SourceKind kind = SourceKind::Line;
  PairNames names;
  Sources sources;
  /// The URI of each source (line, service), as the editor names it when it is open; empty for a
  /// source the pair lacks.
  std::string line_uri;
  std::string service_uri;
  /// A source of the pair that could not be found: why (the pair is then not compiled when it is the
  /// line description).
  std::string line_missing;
  std::string service_missing;

  const std::string& uri_of(SourceKind source) const { return source == SourceKind::Line ? line_uri : service_uri; }
};

/// What a document's path says it is: a line description, a train service, or neither.
std::optional<SourceKind> source_kind_of(const std::string& path);

/// The pair of a document, or nothing when its name is neither K_linea.txt nor K_N-.txt (or its URI
/// names no file).
std::optional<DocumentPair> pair_of(const OpenDocument& document, const DocumentStore& store);

/// The URIs of the open documents whose pair may hold the file at `path`: the line descriptions and train
/// services of its line in its directory (nothing for a path that names neither).
std::vector<std::string> open_pair_members(const std::string& path, const DocumentStore& store);
