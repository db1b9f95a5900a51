#pragma once

// The language server's features as plain calls: the open documents go in, the protocol's structs come
// out, whatever carries the messages (the server, or a test). Opening, changing, closing and completion
// are the reader's: they are quick and compile nothing. Diagnostics, hover and symbols convert or compile,
// and are made by one thread at a time (the check scheduler's).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lsp/check_cache.h"
#include "lsp/document_store.h"
#include "lsp/protocol.h"

/// What the editor agreed to at initialize.
struct EditorOptions {
  protocol::PositionEncoding encoding = protocol::PositionEncoding::Utf16;
  bool snippets = false;
  bool markdown = true;
};

class Workspace {
 public:
  /// Set once, at initialize, before any document is opened.
  void configure(const EditorOptions& options) { options_ = options; }

  void open(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version);
  /// False when the document is not open.
  bool change(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version);
  /// False when the document was not open.
  bool close(const std::string& uri);
  bool is_open(const std::string& uri) const { return documents_.find(uri).has_value(); }
  /// The open documents whose diagnostics may change when the file of `uri` changes, is opened or
  /// closed: the open line descriptions and train services of its line in its folder.
  std::vector<std::string> affected_by(const std::string& uri) const;

  /// The keywords that may stand at a position (see completion_at); empty for a document that is not a
  /// source.
  protocol::CompletionList completion(const protocol::TextDocumentPositionParams& at) const;

  /// The diagnostics of an open document at its current version, from the check of its pair; nothing
  /// when it is not open. A document that is not a source gets none.
  std::optional<protocol::PublishDiagnosticsParams> diagnostics(const std::string& uri);
  /// What the entry at a position compiles to; nothing outside an entry or for a document that is not
  /// open.
  std::optional<protocol::Hover> hover(const protocol::TextDocumentPositionParams& at);
  /// The symbols of an open source (none for another document).
  std::vector<protocol::DocumentSymbol> symbols(const std::string& uri) const;
  /// Lets go of the checks that hold a document that was closed.
  void forget(const std::string& uri) { cache_.forget(uri); }

 private:
  EditorOptions options_;
  DocumentStore documents_;
  CheckCache cache_;
};
