#pragma once

// The types of the Language Server Protocol (3.17) that the server reads and sends, each written to
// JSON in one place (its to_json, found by nlohmann::json) and each read from JSON in one place. The
// features fill them as plain structs; only the server turns them into messages.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace protocol {

/// How a position counts the characters of a line: UTF-16 code units (the protocol's default) or, when
/// the editor offers it, bytes of UTF-8.
enum class PositionEncoding { Utf16, Utf8 };

/// The name of an encoding as the protocol writes it: "utf-16", "utf-8".
std::string_view position_encoding_name(PositionEncoding encoding);

/// A 0-based line and a character in the position encoding.
struct Position {
  int line = 0;
  int character = 0;
  bool operator==(const Position&) const = default;
};

struct Range {
  Position start;
  Position end;
  bool operator==(const Range&) const = default;
};

struct Location {
  std::string uri;
  Range range;
};

struct DiagnosticRelatedInformation {
  Location location;
  std::string message;
};

enum class DiagnosticSeverity { Error = 1, Warning = 2 };

/// A diagnostic of the server; its source is always "scenario".
struct Diagnostic {
  Range range;
  DiagnosticSeverity severity = DiagnosticSeverity::Error;
  std::string code;
  std::string message;
  std::vector<DiagnosticRelatedInformation> related;
};

/// The diagnostics of one document at one version.
struct PublishDiagnosticsParams {
  std::string uri;
  std::optional<int64_t> version;
  std::vector<Diagnostic> diagnostics;
};

/// Text for the editor to show: Markdown, or the same words as plain text when the editor takes only that.
struct MarkupContent {
  bool markdown = true;
  std::string value;
};

struct Hover {
  MarkupContent contents;
  Range range;
};

struct TextEdit {
  Range range;
  std::string newText;
};

enum class InsertTextFormat { PlainText = 1, Snippet = 2 };

/// A keyword offered at the cursor (the kind is always "keyword", the filter text the label).
struct CompletionItem {
  std::string label;
  std::string detail;
  std::string documentation;  // Markdown
  std::string sortText;
  InsertTextFormat insertTextFormat = InsertTextFormat::PlainText;
  TextEdit textEdit;
};

struct CompletionList {
  bool isIncomplete = false;
  std::vector<CompletionItem> items;
};

enum class SymbolKind { Namespace = 3, Class = 5, Constant = 14, String = 15, Event = 24, Operator = 25 };

/// A symbol of a document with the symbols it holds (a section and its entries).
struct DocumentSymbol {
  std::string name;
  std::string detail;
  SymbolKind kind = SymbolKind::Namespace;
  Range range;
  Range selectionRange;
  std::vector<DocumentSymbol> children;
};

/// A symbol as an editor without hierarchical symbols takes it.
struct SymbolInformation {
  std::string name;
  SymbolKind kind = SymbolKind::Namespace;
  Location location;
  std::string containerName;
};

/// The symbols of a document flat, each holder before what it holds, which names it as container.
std::vector<SymbolInformation> flattened(const std::vector<DocumentSymbol>& symbols, const std::string& uri);

void to_json(nlohmann::json& json, const Position& position);
void to_json(nlohmann::json& json, const Range& range);
void to_json(nlohmann::json& json, const Location& location);
void to_json(nlohmann::json& json, const DiagnosticRelatedInformation& related);
void to_json(nlohmann::json& json, const Diagnostic& diagnostic);
void to_json(nlohmann::json& json, const PublishDiagnosticsParams& params);
void to_json(nlohmann::json& json, const MarkupContent& content);
void to_json(nlohmann::json& json, const Hover& hover);
void to_json(nlohmann::json& json, const TextEdit& edit);
void to_json(nlohmann::json& json, const CompletionItem& item);
void to_json(nlohmann::json& json, const CompletionList& list);
void to_json(nlohmann::json& json, const DocumentSymbol& symbol);
void to_json(nlohmann::json& json, const SymbolInformation& symbol);

// What the server reads. Each reader throws nlohmann::json::exception (the server answers "invalid
// params") when a member it needs is missing or of another type.

/// What the editor offers in initialize: the first of these the server uses when it is offered.
struct ClientCapabilities {
  bool utf8_positions = false;
  bool snippets = false;
  bool hierarchical_symbols = false;
  /// False only when the editor lists the hover's formats and Markdown is not among them.
  bool markdown = true;
};
/// The capabilities of initialize's params (all false, Markdown true, where they are missing).
ClientCapabilities client_capabilities(const nlohmann::json& params);

/// A document as didOpen gives it; the text is taken out of the params, not copied.
struct TextDocumentItem {
  std::string uri;
  std::shared_ptr<const std::string> text;
  int64_t version = 0;
};
TextDocumentItem text_document_item(nlohmann::json& params);

/// A change of didChange under full synchronisation: the whole new text (none when the change list is
/// empty), taken out of the params.
struct DidChangeParams {
  std::string uri;
  int64_t version = 0;
  std::shared_ptr<const std::string> text;
};
DidChangeParams did_change_params(nlohmann::json& params);

/// The document of params that name one (didSave, didClose, documentSymbol).
std::string document_uri(const nlohmann::json& params);

/// A document and a position in it (hover, completion).
struct TextDocumentPositionParams {
  std::string uri;
  Position position;
};
TextDocumentPositionParams text_document_position(const nlohmann::json& params);

}  // namespace protocol
