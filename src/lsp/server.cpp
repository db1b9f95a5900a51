#include "lsp/server.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <iostream>
#include <utility>

#include "compiler/source_files.h"
#include "lsp/editing.h"
#include "lsp/hover.h"
#include "lsp/outline.h"
#include "lsp/source_view.h"
#include "platform/files.h"
#include "scenario/file_names.h"

namespace {

using json = nlohmann::json;

/// The protocol's text synchronisation kind "full": every change sends the whole text.
constexpr int kFullSync = 1;

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

/// What a document's name says it is: a line description, a train service, or neither.
std::optional<SourceKind> kind_of(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const auto parsed = parse_file_name(utf8_name(filesystem_path(path).filename()));
  if (!parsed) return std::nullopt;
  if (parsed->file == ScenarioFile::LineSource) return SourceKind::Line;
  if (parsed->file == ScenarioFile::ServiceSource) return SourceKind::Service;
  return std::nullopt;
}

/// A whole number of the protocol (a line, a character, a version): a JSON integer, taken within the range
/// of `int` (an editor's positions never leave it); anything else is a type error (invalid params).
int whole_number(const json& value) {
  if (value.is_number_unsigned()) return static_cast<int>(std::min<json::number_unsigned_t>(value.get<json::number_unsigned_t>(), INT_MAX));
  if (!value.is_number_integer()) throw json::type_error::create(302, "a whole number is wanted", &value);
  return static_cast<int>(std::clamp<json::number_integer_t>(value.get<json::number_integer_t>(), INT_MIN, INT_MAX));
}

TextPosition position_of(const json& params) {
  const json& position = params.at("position");
  return {whole_number(position.at("line")), whole_number(position.at("character"))};
}

int version_of(const json& document) {
  const auto found = document.find("version");
  return found == document.end() || found->is_null() ? 0 : whole_number(*found);
}

}  // namespace

LanguageServer::LanguageServer(Writer write, ServerOptions options)
    : write_(std::move(write)), options_(std::move(options)), worker_([this] { work(); }) {}

LanguageServer::~LanguageServer() {
  {
    const std::lock_guard lock(work_mutex_);
    stopping_ = true;
  }
  work_wanted_.notify_all();
  worker_.join();
}

bool LanguageServer::output_failed() const {
  const std::lock_guard lock(write_mutex_);
  return write_failed_;
}

void LanguageServer::send(const json& message) {
  const std::string bytes = serialized(message);
  const std::lock_guard lock(write_mutex_);
  if (write_failed_) return;
  if (!write_(bytes)) write_failed_ = true;
}

bool LanguageServer::receive(std::string_view bytes) {
  frames_.feed(bytes);
  while (auto frame = frames_.next()) {
    if (!frame->fault.empty())
      send(rpc_error(nullptr, kRpcInvalidRequest, frame->fault));
    else
      handle(frame->body);
    if (phase_ == Phase::Exited || output_failed()) return false;
  }
  return !output_failed();
}

void LanguageServer::handle(const std::string& body) {
  if (json_depth(body) > kMaxJsonDepth) {
    send(rpc_error(nullptr, kRpcInvalidRequest,
                   "a message nested deeper than " + std::to_string(kMaxJsonDepth) + " levels"));
    return;
  }
  json message;
  try {
    message = json::parse(body);
  } catch (const json::exception& failure) {
    send(rpc_error(nullptr, kRpcParseError, std::string("the message is no JSON: ") + failure.what()));
    return;
  }
  if (!message.is_object()) {
    send(rpc_error(nullptr, kRpcInvalidRequest, "a message must be a JSON object"));
    return;
  }
  const auto id_at = message.find("id");
  const bool has_id = id_at != message.end();
  if (has_id && !id_at->is_string() && !id_at->is_number_integer()) {
    send(rpc_error(nullptr, kRpcInvalidRequest, "an id must be a string or a whole number"));
    return;
  }
  const json id = has_id ? *id_at : json(nullptr);
  const auto method_at = message.find("method");
  if (method_at == message.end()) {
    // A response of the client: the server sends no request, so there is nothing to match it with.
    if (has_id && (message.contains("result") || message.contains("error"))) return;
    send(rpc_error(id, kRpcInvalidRequest, "a message without a method"));
    return;
  }
  const auto version = message.find("jsonrpc");
  if (!method_at->is_string() || version == message.end() || *version != "2.0") {
    send(rpc_error(id, kRpcInvalidRequest, "not a JSON-RPC 2.0 request: \"jsonrpc\" must be \"2.0\" and \"method\" a string"));
    return;
  }
  const std::string method = method_at->get<std::string>();
  const auto params_at = message.find("params");
  const json params = params_at == message.end() ? json::object() : *params_at;
  if (!params.is_object() && !params.is_array()) {
    if (has_id) send(rpc_error(id, kRpcInvalidParams, "params must be an object or an array"));
    return;
  }
  try {
    if (has_id)
      request(id, method, params);
    else
      notification(method, params);
  } catch (const json::exception& failure) {
    if (has_id) send(rpc_error(id, kRpcInvalidParams, std::string("invalid params: ") + failure.what()));
  } catch (const std::exception& failure) {
    if (has_id) send(rpc_error(id, kRpcInternalError, failure.what()));
  }
}

void LanguageServer::request(const json& id, const std::string& method, const json& params) {
  if (phase_ == Phase::Created && method != "initialize") {
    send(rpc_error(id, kRpcServerNotInitialized, "the server is not initialized: initialize comes first"));
    return;
  }
  if (phase_ == Phase::ShuttingDown) {
    send(rpc_error(id, kRpcInvalidRequest, "the server is shutting down: only exit is taken"));
    return;
  }
  if (method == "initialize") {
    if (phase_ != Phase::Created) {
      send(rpc_error(id, kRpcInvalidRequest, "initialize came twice"));
      return;
    }
    send(rpc_result(id, initialize(params)));
    phase_ = Phase::Running;
  } else if (method == "shutdown") {
    phase_ = Phase::ShuttingDown;
    shut_down_ = true;
    send(rpc_result(id, nullptr));
  } else if (method == "textDocument/hover") {
    hover(id, params);
  } else if (method == "textDocument/completion") {
    send(rpc_result(id, completion(params)));
  } else if (method == "textDocument/documentSymbol") {
    send(rpc_result(id, symbols(params)));
  } else {
    send(rpc_error(id, kRpcMethodNotFound, "unknown method " + method));
  }
}

void LanguageServer::notification(const std::string& method, const json& params) {
  if (method == "exit") {
    phase_ = Phase::Exited;
    return;
  }
  if (phase_ != Phase::Running) return;
  if (method == "textDocument/didOpen") {
    const json& document = params.at("textDocument");
    OpenDocument open;
    open.uri = document.at("uri").get<std::string>();
    open.path = path_of_uri(open.uri).value_or("");
    open.text = document.at("text").get<std::string>();
    open.version = version_of(document);
    const std::string path = open.path;
    documents_.open(std::move(open));
    if (path.empty()) return;
    schedule_checks(path, std::chrono::milliseconds(0));
  } else if (method == "textDocument/didChange") {
    const json& document = params.at("textDocument");
    const std::string uri = document.at("uri").get<std::string>();
    const json& changes = params.at("contentChanges");
    if (!changes.is_array() || changes.empty()) return;
    // Full synchronisation: the last change holds the whole text.
    std::string text = changes.back().at("text").get<std::string>();
    if (!documents_.change(uri, std::move(text), version_of(document))) return;
    if (const auto path = path_of_uri(uri)) schedule_checks(*path, options_.debounce);
  } else if (method == "textDocument/didSave") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    if (const auto path = path_of_uri(uri); path && documents_.find(uri)) schedule_checks(*path, std::chrono::milliseconds(0));
  } else if (method == "textDocument/didClose") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    if (!documents_.find(uri)) return;
    documents_.close(uri);
    // Cleared by the worker, after any check of the document it is making.
    post([this, uri] {
      {
        const std::lock_guard lock(work_mutex_);
        due_.erase(uri);
      }
      send(rpc_notification("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}}));
    });
    if (const auto path = path_of_uri(uri)) schedule_checks(*path, std::chrono::milliseconds(0));
  }
}

json LanguageServer::initialize(const json& params) {
  const json* capabilities = member(params, {"capabilities"});
  const json empty = json::object();
  const json& offered = capabilities ? *capabilities : empty;
  encoding_ = holds_string(member(offered, {"general", "positionEncodings"}), "utf-8") ? PositionEncoding::Utf8
                                                                                         : PositionEncoding::Utf16;
  snippets_ = is_true(member(offered, {"textDocument", "completion", "completionItem", "snippetSupport"}));
  hierarchical_symbols_ = is_true(member(offered, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"}));
  const json* formats = member(offered, {"textDocument", "hover", "contentFormat"});
  markdown_ = formats == nullptr || !formats->is_array() || holds_string(formats, "markdown");

  json triggers = json::array();
  for (char c = 'a'; c <= 'z'; ++c) triggers.push_back(std::string(1, c));
  for (char c = 'A'; c <= 'Z'; ++c) triggers.push_back(std::string(1, c));
  return {{"capabilities",
           {{"positionEncoding", std::string(position_encoding_name(encoding_))},
            {"textDocumentSync", {{"openClose", true}, {"change", kFullSync}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", triggers}, {"resolveProvider", false}}},
            {"documentSymbolProvider", true}}},
          {"serverInfo", {{"name", "scenario"}, {"version", options_.version}}}};
}

json LanguageServer::completion(const json& params) const {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const TextPosition cursor = position_of(params);
  const auto document = documents_.find(uri);
  const auto kind = document ? kind_of(document->path) : std::nullopt;
  if (!kind) return {{"isIncomplete", false}, {"items", json::array()}};
  SourceFile file(document->path, document->text, InputEncoding::Utf8);
  Diagnostics ignored;
  make_source(file, *kind, ignored);
  const SourceView view(file, encoding_);
  return {{"isIncomplete", false},
          {"items", completion_items(read_outline(file.compiled(), *kind), view, cursor, snippets_)}};
}

json LanguageServer::symbols(const json& params) const {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const auto document = documents_.find(uri);
  const auto kind = document ? kind_of(document->path) : std::nullopt;
  if (!kind) return json::array();
  SourceFile file(document->path, document->text, InputEncoding::Utf8);
  Diagnostics ignored;
  make_source(file, *kind, ignored);
  const SourceView view(file, encoding_);
  return document_symbols(read_outline(file.compiled(), *kind), view, hierarchical_symbols_, uri);
}

void LanguageServer::hover(const json& id, const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const TextPosition cursor = position_of(params);
  post([this, id, uri, cursor] {
    try {
      const auto document = documents_.find(uri);
      auto pair = document ? pair_of(*document, documents_) : std::nullopt;
      if (!pair) return send(rpc_result(id, nullptr));
      const SourceKind kind = pair->kind;
      const auto checked = cache_.check(std::move(*pair));
      const SourceFile& file = checked->pair.sources.of(kind);
      const SourceView view(file, encoding_);
      const Outline outline = read_outline(file.compiled(), kind);
      const OutlineEntry* entry = outline.entry_at(view.compiled_place(cursor, kind));
      if (entry == nullptr) return send(rpc_result(id, nullptr));
      std::string why_not;
      if (checked->line_missing)
        why_not = "the line description is missing (" + checked->pair.line_missing + ")";
      else if (!checked->check.state)
        why_not = "a source holds a character that Windows-1252 cannot hold (see its diagnostics)";
      const std::string text = hover_markdown(*entry, checked->check.state.get(), why_not);
      send(rpc_result(id, {{"contents", {{"kind", markdown_ ? "markdown" : "plaintext"}, {"value", text}}},
                           {"range",
                            {{"start", {{"line", view.position(entry->place).line}, {"character", view.position(entry->place).character}}},
                             {"end", {{"line", view.position(entry->end).line}, {"character", view.position(entry->end).character}}}}}}));
    } catch (const std::exception& failure) {
      send(rpc_error(id, kRpcInternalError, failure.what()));
    }
  });
}

void LanguageServer::schedule_checks(const std::string& path, std::chrono::milliseconds delay) {
  const auto parsed = parse_file_name(utf8_name(filesystem_path(path).filename()));
  if (!parsed) return;
  const std::string directory = utf8_name(filesystem_path(path).parent_path());
  const auto when = std::chrono::steady_clock::now() + delay;
  {
    const std::lock_guard lock(work_mutex_);
    for (const auto& [uri, open_path] : documents_.names()) {
      if (open_path.empty() || utf8_name(filesystem_path(open_path).parent_path()) != directory) continue;
      const auto other = parse_file_name(utf8_name(filesystem_path(open_path).filename()));
      if (!other || other->line_key != parsed->line_key) continue;
      if (other->file != ScenarioFile::LineSource && other->file != ScenarioFile::ServiceSource) continue;
      due_[uri] = when;
    }
  }
  work_wanted_.notify_all();
}

void LanguageServer::post(std::function<void()> job) {
  {
    const std::lock_guard lock(work_mutex_);
    jobs_.push_back(std::move(job));
  }
  work_wanted_.notify_all();
}

void LanguageServer::work() {
  std::unique_lock lock(work_mutex_);
  while (!stopping_) {
    if (!jobs_.empty()) {
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      try {
        job();
      } catch (const std::exception& failure) {
        // A job answers its own failures; what escapes it (memory running out) must not end the thread.
        std::cerr << "scenario lsp: " << failure.what() << "\n";
      }
      lock.lock();
      continue;
    }
    if (due_.empty()) {
      work_wanted_.wait(lock);
      continue;
    }
    auto earliest = due_.begin();
    for (auto it = due_.begin(); it != due_.end(); ++it)
      if (it->second < earliest->second) earliest = it;
    if (earliest->second > std::chrono::steady_clock::now()) {
      work_wanted_.wait_until(lock, earliest->second);
      continue;
    }
    const std::string uri = earliest->first;
    due_.erase(earliest);
    lock.unlock();
    check(uri);
    lock.lock();
  }
}

void LanguageServer::check(const std::string& uri) {
  try {
    const auto document = documents_.find(uri);
    if (!document) return;
    json diagnostics = json::array();
    if (auto pair = pair_of(*document, documents_)) {
      const SourceKind kind = pair->kind;
      diagnostics = diagnostics_json(*cache_.check(std::move(*pair)), kind, encoding_);
    }
    send(rpc_notification("textDocument/publishDiagnostics",
                          {{"uri", uri}, {"version", document->version}, {"diagnostics", std::move(diagnostics)}}));
  } catch (const std::exception& failure) {
    std::cerr << "scenario lsp: the check of " << uri << " failed: " << failure.what() << "\n";
  }
}
