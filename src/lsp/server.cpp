#include "lsp/server.h"

#include <exception>
#include <iostream>
#include <utility>

#include "lsp/protocol.h"

namespace {

using json = nlohmann::json;

/// The protocol's text synchronisation kind "full": every change sends the whole text.
constexpr int kFullSync = 1;

}  // namespace

LanguageServer::LanguageServer(Writer write, ServerOptions options)
    : write_(std::move(write)),
      options_(std::move(options)),
      scheduler_([this](const std::string& uri) { publish(uri); }, options_.mode) {}

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
      handle(std::move(frame->body));
    if (phase_ == Phase::Exited || output_failed()) return false;
  }
  return !output_failed();
}

void LanguageServer::handle(std::string body) {
  if (json_depth(body) > kMaxJsonDepth) {
    send(rpc_error(nullptr, kRpcInvalidRequest,
                   "a message nested deeper than " + std::to_string(kMaxJsonDepth) + " levels"));
    return;
  }
  // Editors written in JavaScript may send a string with half of a surrogate pair: read as U+FFFD.
  replace_lone_surrogates(body);
  json message;
  try {
    message = parsed_message(body);
  } catch (const json::exception& failure) {
    send(rpc_error(nullptr, kRpcParseError, std::string("the message is no JSON: ") + failure.what()));
    return;
  }
  std::string().swap(body);  // a document's text is held once, by the message, from here on
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
    send(rpc_error(id, kRpcInvalidRequest,
                   "not a JSON-RPC 2.0 request: \"jsonrpc\" must be \"2.0\" and \"method\" a string"));
    return;
  }
  const std::string method = method_at->get<std::string>();
  // Params that are left out or null are taken as none, as clients send for the methods that have none
  // (shutdown, exit); a method that needs them then finds them missing.
  const auto params_at = message.find("params");
  json params = params_at == message.end() || params_at->is_null() ? json::object() : std::move(*params_at);
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

void LanguageServer::request(const json& id, const std::string& method, json& params) {
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
    const protocol::TextDocumentPositionParams at = protocol::text_document_position(params);
    answer_later(id, [this, at] {
      const auto hover = workspace_.hover(at);
      return hover ? json(*hover) : json(nullptr);
    });
  } else if (method == "textDocument/completion") {
    send(rpc_result(id, workspace_.completion(protocol::text_document_position(params))));
  } else if (method == "textDocument/documentSymbol") {
    const std::string uri = protocol::document_uri(params);
    answer_later(id, [this, uri] {
      const std::vector<protocol::DocumentSymbol> symbols = workspace_.symbols(uri);
      return hierarchical_symbols_ ? json(symbols) : json(protocol::flattened(symbols, uri));
    });
  } else {
    send(rpc_error(id, kRpcMethodNotFound, "unknown method " + method));
  }
}

void LanguageServer::notification(const std::string& method, json& params) {
  if (method == "exit") {
    phase_ = Phase::Exited;
    return;
  }
  if (phase_ != Phase::Running) return;
  if (method == "textDocument/didOpen") {
    protocol::TextDocumentItem document = protocol::text_document_item(params);
    workspace_.open(document.uri, std::move(document.text), document.version);
    check_affected(document.uri, std::chrono::milliseconds(0));
  } else if (method == "textDocument/didChange") {
    protocol::DidChangeParams change = protocol::did_change_params(params);
    if (!change.text || !workspace_.change(change.uri, std::move(change.text), change.version)) return;
    check_affected(change.uri, options_.debounce);
  } else if (method == "textDocument/didSave") {
    const std::string uri = protocol::document_uri(params);
    if (workspace_.is_open(uri)) check_affected(uri, std::chrono::milliseconds(0));
  } else if (method == "textDocument/didClose") {
    const std::string uri = protocol::document_uri(params);
    if (!workspace_.close(uri)) return;
    // Its pending check goes; one under way ends before the empty list, which comes before the check of a
    // later opening of the document.
    scheduler_.cancel(uri);
    scheduler_.post([this, uri] {
      workspace_.forget(uri);
      send(rpc_notification("textDocument/publishDiagnostics",
                            protocol::PublishDiagnosticsParams{uri, std::nullopt, {}}));
    });
    check_affected(uri, std::chrono::milliseconds(0));
  }
}

json LanguageServer::initialize(const json& params) {
  const protocol::ClientCapabilities offered = protocol::client_capabilities(params);
  const auto encoding = offered.utf8_positions ? protocol::PositionEncoding::Utf8 : protocol::PositionEncoding::Utf16;
  workspace_.configure({encoding, offered.snippets, offered.markdown});
  hierarchical_symbols_ = offered.hierarchical_symbols;

  // Every letter starts a keyword, so each is a trigger; completion is answered from the keyword table
  // at once.
  json triggers = json::array();
  for (char c = 'a'; c <= 'z'; ++c) triggers.push_back(std::string(1, c));
  for (char c = 'A'; c <= 'Z'; ++c) triggers.push_back(std::string(1, c));
  return {{"capabilities",
           {{"positionEncoding", std::string(protocol::position_encoding_name(encoding))},
            {"textDocumentSync", {{"openClose", true}, {"change", kFullSync}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", triggers}, {"resolveProvider", false}}},
            {"documentSymbolProvider", true}}},
          {"serverInfo", {{"name", "scenario"}, {"version", options_.version}}}};
}

void LanguageServer::answer_later(const json& id, std::function<json()> answer) {
  scheduler_.post([this, id, answer = std::move(answer)] {
    try {
      send(rpc_result(id, answer()));
    } catch (const std::exception& failure) {
      send(rpc_error(id, kRpcInternalError, failure.what()));
    }
  });
}

void LanguageServer::check_affected(const std::string& uri, std::chrono::milliseconds delay) {
  for (const std::string& affected : workspace_.affected_by(uri)) scheduler_.schedule(affected, delay);
}

void LanguageServer::publish(const std::string& uri) {
  try {
    if (auto published = workspace_.diagnostics(uri))
      send(rpc_notification("textDocument/publishDiagnostics", std::move(*published)));
  } catch (const std::exception& failure) {
    std::cerr << "scenario lsp: the check of " << uri << " failed: " << failure.what() << "\n";
  }
}
