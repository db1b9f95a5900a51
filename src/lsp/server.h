#pragma once

// The language server of the two source formats (Language Server Protocol 3.17). The reader of the
// messages (the caller of receive) keeps the open documents and answers completion and symbols at once;
// one worker thread checks documents after a pause in their changes, publishes their diagnostics and
// answers hovers, so that reading the next message never waits for a compilation. Every message goes
// out whole, one at a time.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include <nlohmann/json.hpp>

#include "lsp/json_rpc.h"
#include "lsp/text_positions.h"
#include "lsp/workspace.h"

struct ServerOptions {
  /// The pause after the last change of a document before it is checked.
  std::chrono::milliseconds debounce{200};
  /// The version the server gives in its answer to initialize.
  std::string version;
};

class LanguageServer {
 public:
  /// Takes one framed message for the client; false when it could not be written (the server then ends).
  using Writer = std::function<bool(std::string_view)>;

  explicit LanguageServer(Writer write, ServerOptions options = {});
  /// Stops the worker once its current job is done.
  ~LanguageServer();
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;

  /// Takes bytes the client sent, in any pieces, and handles every whole message among them. False once
  /// the server is done: the exit notification came, or a message could not be written.
  bool receive(std::string_view bytes);

  /// The status to end with: 0 when the client asked for shutdown before exit (or before its stream
  /// ended), 1 otherwise.
  int exit_status() const { return shut_down_ ? 0 : 1; }
  bool output_failed() const;

 private:
  enum class Phase { Created, Running, ShuttingDown, Exited };

  void handle(const std::string& body);
  void request(const nlohmann::json& id, const std::string& method, const nlohmann::json& params);
  void notification(const std::string& method, const nlohmann::json& params);
  nlohmann::json initialize(const nlohmann::json& params);
  nlohmann::json completion(const nlohmann::json& params) const;
  nlohmann::json symbols(const nlohmann::json& params) const;
  void hover(const nlohmann::json& id, const nlohmann::json& params);

  void send(const nlohmann::json& message);
  /// Checks the open documents of the pairs of `path`'s line after `delay`.
  void schedule_checks(const std::string& path, std::chrono::milliseconds delay);
  void post(std::function<void()> job);
  void work();
  void check(const std::string& uri);

  Writer write_;
  ServerOptions options_;
  mutable std::mutex write_mutex_;
  bool write_failed_ = false;

  FrameReader frames_;
  Phase phase_ = Phase::Created;
  bool shut_down_ = false;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  bool snippets_ = false;
  bool hierarchical_symbols_ = false;
  bool markdown_ = true;

  DocumentStore documents_;
  CheckCache cache_;  // the worker's alone

  std::mutex work_mutex_;
  std::condition_variable work_wanted_;
  std::deque<std::function<void()>> jobs_;
  std::map<std::string, std::chrono::steady_clock::time_point> due_;
  bool stopping_ = false;
  std::thread worker_;
};
