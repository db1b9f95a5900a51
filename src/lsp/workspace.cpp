#include "lsp/workspace.h"

#include <utility>

#include "lsp/completion.h"
#include "lsp/document_symbols.h"
#include "lsp/editor_diagnostics.h"
#include "lsp/hover.h"
#include "lsp/outline.h"
#include "lsp/source_view.h"
#include "lsp/text_positions.h"

void Workspace::open(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version) {
  documents_.open(uri, std::move(text), version);
}

bool Workspace::change(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version) {
  return documents_.change(uri, std::move(text), version);
}

bool Workspace::close(const std::string& uri) { return documents_.close(uri); }

std::vector<std::string> Workspace::affected_by(const std::string& uri) const {
  const auto path = path_of_uri(uri);
  return path ? open_pair_members(*path, documents_) : std::vector<std::string>{};
}

protocol::CompletionList Workspace::completion(const protocol::TextDocumentPositionParams& at) const {
  const auto document = documents_.find(at.uri);
  const auto kind = document ? source_kind_of(document->path) : std::nullopt;
  if (!kind) return {};
  return completion_at(document->file, *kind, at.position, options_.encoding, options_.snippets);
}

std::optional<protocol::PublishDiagnosticsParams> Workspace::diagnostics(const std::string& uri) {
  const auto document = documents_.find(uri);
  if (!document) return std::nullopt;
  protocol::PublishDiagnosticsParams published{uri, document->version, {}};
  if (auto pair = pair_of(*document, documents_)) {
    const SourceKind kind = pair->kind;
    published.diagnostics = editor_diagnostics(*cache_.check(std::move(*pair)), kind, options_.encoding);
  }
  return published;
}

std::optional<protocol::Hover> Workspace::hover(const protocol::TextDocumentPositionParams& at) {
  const auto document = documents_.find(at.uri);
  auto pair = document ? pair_of(*document, documents_) : std::nullopt;
  if (!pair) return std::nullopt;
  const SourceKind kind = pair->kind;
  const auto checked = cache_.check(std::move(*pair));
  const SourceFile& file = checked->pair.sources.of(kind);
  const SourceView view(file, options_.encoding);
  const SourcePlace place = view.compiled_place(at.position, kind);
  // Only the entries that may hold the place are kept: those that start before it on or before its line.
  const Outline outline = read_outline(
      file.compiled(), kind,
      {.until = place,
       .keep = [&place](const OutlineEntry& entry) { return entry.covers(place) || entry.end.line == place.line; },
       .headers = false});
  const OutlineEntry* entry = outline.entry_at(place);
  if (entry == nullptr) return std::nullopt;
  std::string why_not;
  if (checked->line_missing)
    why_not = "the line description is missing (" + checked->pair.line_missing + ")";
  else if (!checked->check.state)
    why_not = "a source holds a character that Windows-1252 cannot hold (see its diagnostics)";
  return protocol::Hover{{options_.markdown, hover_markdown(*entry, checked->check.state.get(), why_not)},
                         {view.position(entry->place), view.position(entry->end)}};
}

std::vector<protocol::DocumentSymbol> Workspace::symbols(const std::string& uri) const {
  const auto document = documents_.find(uri);
  const auto kind = document ? source_kind_of(document->path) : std::nullopt;
  if (!kind) return {};
  SourceFile file = document->file;
  Diagnostics ignored;  // the document's diagnostics tell them
  make_source(file, *kind, ignored);
  return document_symbols(file, *kind, options_.encoding);
}
