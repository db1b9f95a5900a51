#include "lsp/protocol.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <utility>

namespace protocol {

namespace {

using json = nlohmann::json;

/// The protocol's completion item kind "keyword".
constexpr int kCompletionKeyword = 14;

/// A member reached through nested objects, or nothing when one of them is missing or no object.
const json* member(const json& object, std::initializer_list<const char*> path) {
  const json* at = &object;
  for (const char* key : path) {
    if (!at->is_object()) return nullptr;
    const auto found = at->find(key);
    if (found == at->end()) return nullptr;
    at = &*found;
  }
  return at;
}

bool holds_string(const json* array, std::string_view text) {
  if (array == nullptr || !array->is_array()) return false;
  for (const json& item : *array)
    if (item.is_string() && item.get_ref<const std::string&>() == text) return true;
  return false;
}

bool is_true(const json* value) { return value != nullptr && value->is_boolean() && value->get<bool>(); }

/// A whole number of the protocol (a line, a character, a version): a JSON integer, taken within the range
/// of `int` (an editor's positions never leave it); anything else is a type error (invalid params).
int whole_number(const json& value) {
  if (value.is_number_unsigned())
    return static_cast<int>(std::min<json::number_unsigned_t>(value.get<json::number_unsigned_t>(), INT_MAX));
  if (!value.is_number_integer()) throw json::type_error::create(302, "a whole number is wanted", &value);
  return static_cast<int>(std::clamp<json::number_integer_t>(value.get<json::number_integer_t>(), INT_MIN, INT_MAX));
}

/// A document's version: none or null read as 0.
int64_t version_of(const json& document) {
  const auto found = document.find("version");
  return found == document.end() || found->is_null() ? 0 : whole_number(*found);
}

/// A string member taken out of its object. A text that the parser grew by doubling is given the room
/// it needs, no more, since it is kept while its document is open.
std::shared_ptr<const std::string> taken_text(json& value) {
  std::string& text = value.get_ref<std::string&>();
  if (text.capacity() - text.size() > text.size() / 8) text.shrink_to_fit();
  return std::make_shared<const std::string>(std::move(text));
}

}  // namespace

std::string_view position_encoding_name(PositionEncoding encoding) {
  return encoding == PositionEncoding::Utf8 ? "utf-8" : "utf-16";
}

std::vector<SymbolInformation> flattened(const std::vector<DocumentSymbol>& symbols, const std::string& uri) {
  std::vector<SymbolInformation> flat;
  const auto add = [&](const DocumentSymbol& symbol, const std::string& container, auto& self) -> void {
    flat.push_back({symbol.name, symbol.kind, {uri, symbol.range}, container});
    for (const DocumentSymbol& child : symbol.children) self(child, symbol.name, self);
  };
  for (const DocumentSymbol& symbol : symbols) add(symbol, std::string(), add);
  return flat;
}

void to_json(json& out, const Position& position) {
  out = {{"line", position.line}, {"character", position.character}};
}

void to_json(json& out, const Range& range) { out = {{"start", range.start}, {"end", range.end}}; }

void to_json(json& out, const Location& location) { out = {{"uri", location.uri}, {"range", location.range}}; }

void to_json(json& out, const DiagnosticRelatedInformation& related) {
  out = {{"location", related.location}, {"message", related.message}};
}

void to_json(json& out, const Diagnostic& diagnostic) {
  out = {{"range", diagnostic.range},
         {"severity", static_cast<int>(diagnostic.severity)},
         {"code", diagnostic.code},
         {"source", "scenario"},
         {"message", diagnostic.message}};
  if (!diagnostic.related.empty()) out["relatedInformation"] = diagnostic.related;
}

void to_json(json& out, const PublishDiagnosticsParams& params) {
  out = {{"uri", params.uri}};
  if (params.version) out["version"] = *params.version;
  out["diagnostics"] = params.diagnostics;
}

void to_json(json& out, const MarkupContent& content) {
  out = {{"kind", content.markdown ? "markdown" : "plaintext"}, {"value", content.value}};
}

void to_json(json& out, const Hover& hover) { out = {{"contents", hover.contents}, {"range", hover.range}}; }

void to_json(json& out, const TextEdit& edit) { out = {{"range", edit.range}, {"newText", edit.newText}}; }

void to_json(json& out, const CompletionItem& item) {
  out = {{"label", item.label},
         {"kind", kCompletionKeyword},
         {"detail", item.detail},
         {"documentation", MarkupContent{true, item.documentation}},
         {"filterText", item.label},
         {"sortText", item.sortText},
         {"insertTextFormat", static_cast<int>(item.insertTextFormat)},
         {"textEdit", item.textEdit}};
}

void to_json(json& out, const CompletionList& list) {
  out = {{"isIncomplete", list.isIncomplete}, {"items", list.items}};
}

void to_json(json& out, const DocumentSymbol& symbol) {
  out = {{"name", symbol.name},
         {"kind", static_cast<int>(symbol.kind)},
         {"range", symbol.range},
         {"selectionRange", symbol.selectionRange},
         {"children", symbol.children}};
  if (!symbol.detail.empty()) out["detail"] = symbol.detail;
}

void to_json(json& out, const SymbolInformation& symbol) {
  out = {{"name", symbol.name}, {"kind", static_cast<int>(symbol.kind)}, {"location", symbol.location}};
  if (!symbol.containerName.empty()) out["containerName"] = symbol.containerName;
}

ClientCapabilities client_capabilities(const json& params) {
  const json* offered = member(params, {"capabilities"});
  if (offered == nullptr) return {};
  ClientCapabilities capabilities;
  capabilities.utf8_positions = holds_string(member(*offered, {"general", "positionEncodings"}), "utf-8");
  capabilities.snippets = is_true(member(*offered, {"textDocument", "completion", "completionItem", "snippetSupport"}));
  capabilities.hierarchical_symbols =
      is_true(member(*offered, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"}));
  const json* formats = member(*offered, {"textDocument", "hover", "contentFormat"});
  capabilities.markdown = formats == nullptr || !formats->is_array() || holds_string(formats, "markdown");
  return capabilities;
}

TextDocumentItem text_document_item(json& params) {
  json& document = params.at("textDocument");
  TextDocumentItem item;
  item.uri = document.at("uri").get<std::string>();
  item.version = version_of(document);
  item.text = taken_text(document.at("text"));
  return item;
}

DidChangeParams did_change_params(json& params) {
  const json& document = params.at("textDocument");
  DidChangeParams change;
  change.uri = document.at("uri").get<std::string>();
  change.version = version_of(document);
  json& changes = params.at("contentChanges");
  // Full synchronisation: the last change holds the whole text.
  if (changes.is_array() && !changes.empty()) change.text = taken_text(changes.back().at("text"));
  return change;
}

std::string document_uri(const json& params) { return params.at("textDocument").at("uri").get<std::string>(); }

TextDocumentPositionParams text_document_position(const json& params) {
  const json& position = params.at("position");
  return {document_uri(params), {whole_number(position.at("line")), whole_number(position.at("character"))}};
}

}  // namespace protocol
