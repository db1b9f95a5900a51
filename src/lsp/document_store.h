#pragma once

// The documents the editor holds open, shared by the reader of the messages (which opens, changes and
// closes them) and the checks (which read them).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/source_files.h"

/// A document the editor holds open: its URI, the path that URI names (empty for a URI that is no
/// file), its version, and its text as a UTF-8 source file whose text and line index every copy shares.
struct OpenDocument {
  std::string uri;
  std::string path;
  int64_t version = 0;
  SourceFile file;
};

class DocumentStore {
 public:
  /// Opens (or opens again) a document: its path is the one its URI names.
  void open(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version);
  /// Replaces the text of an open document; false when it is not open.
  bool change(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version);
  /// False when it was not open.
  bool close(const std::string& uri);
  std::optional<OpenDocument> find(const std::string& uri) const;
  std::optional<OpenDocument> find_path(const std::string& path) const;
  /// The URI and path of every open document.
  std::vector<std::pair<std::string, std::string>> names() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, OpenDocument> documents_;
};
