#pragma once

// The documents the editor holds open, and the pairs they are checked in. A line description K_linea.txt
// and a train service K_N-.txt are paired by their names in one directory. A train service is checked
// with its line description. A line description is checked with the first of its train services, in
// the order of their names, that is open in the editor, else with the first one on disk; without any,
// it is checked alone. A partner that is not open is read from disk (Windows-1252).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "compiler/source_check.h"
#include "compiler/source_files.h"
#include "lsp/text_positions.h"

/// A document the editor holds open: its URI, the path that URI names (empty for a URI that is no
/// file), its text (UTF-8) and its version.
struct OpenDocument {
  std::string uri;
  std::string path;
  std::string text;
  int64_t version = 0;
};

/// The open documents, shared by the reader of the messages and the worker that checks them.
class DocumentStore {
 public:
  void open(OpenDocument document);
  /// Replaces the text of an open document; false when it is not open.
  bool change(const std::string& uri, std::string text, int64_t version);
  void close(const std::string& uri);
  std::optional<OpenDocument> find(const std::string& uri) const;
  std::optional<OpenDocument> find_path(const std::string& path) const;
  /// The URI and path of every open document.
  std::vector<std::pair<std::string, std::string>> names() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, OpenDocument> documents_;
};

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

/// The pair of a document, or nothing when its name is neither K_linea.txt nor K_N-.txt (or its URI
/// names no file).
std::optional<DocumentPair> pair_of(const OpenDocument& document, const DocumentStore& store);

/// The check of a pair: its sources and what `check_pair` found, or the error of a missing line
/// description.
struct CheckedPair {
  DocumentPair pair;
  PairCheck check;
  std::optional<Diagnostic> line_missing;
};

/// Checks a pair as `scenario check` does. A pair without its line description is not compiled: the
/// train service gets error 101 at its start.
std::shared_ptr<const CheckedPair> check_document_pair(DocumentPair pair);

/// Remembers the last few checks, so that a document and its partner checked one after the other, or a
/// hover after a check, compile their pair once.
class CheckCache {
 public:
  std::shared_ptr<const CheckedPair> check(DocumentPair pair);

 private:
  static constexpr std::size_t kKept = 4;
  std::vector<std::shared_ptr<const CheckedPair>> kept_;
};

/// The diagnostics of a check that concern one source of it, as the protocol's Diagnostic objects:
/// range (the field), severity, code, source "scenario", message, and related places with their URIs.
nlohmann::json diagnostics_json(const CheckedPair& checked, SourceKind source, PositionEncoding encoding);
