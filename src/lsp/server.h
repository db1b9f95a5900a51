#pragma once

// The language server of the two source formats (Language Server Protocol 3.17): the protocol's side.
// It reads the messages, keeps the lifecycle, negotiates the capabilities and dispatches each method to
// the workspace's features, whose answers it writes. Completion is answered at once; what compiles (the
// checks after a pause in a document's changes, hovers, symbols) goes to the check scheduler, so that
// reading the next message never waits for a compilation. Every message goes out whole, one at a time.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/check_scheduler.h"
#include "lsp/json_rpc.h"
#include "lsp/workspace.h"

struct ServerOptions {
  /// The pause after the last change of a document before it is checked.
  std::chrono::milliseconds debounce{200};
  /// The version the server gives in its answer to initialize.
  std::string version;
  /// Synchronous: nothing is compiled until wait_until_idle() (for tests); else a worker thread.
  CheckScheduler::Mode mode = CheckScheduler::Mode::Asynchronous;
};

class LanguageServer {
 public:
  /// Takes one framed message for the client; false when it could not be written (the server then ends).
  using Writer = std::function<bool(std::string_view)>;

  explicit LanguageServer(Writer write, ServerOptions options = {});
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;

  /// Takes bytes the client sent, in any pieces, and handles every whole message among them. False once
  /// the server is done: the exit notification came, or a message could not be written.
  bool receive(std::string_view bytes);
  /// Returns once every check, hover and symbol request received so far has been answered.
  void wait_until_idle() { scheduler_.wait_until_idle(); }

  /// The status to end with: 0 when the client asked for shutdown before exit (or before its stream
  /// ended), 1 otherwise.
  int exit_status() const { return shut_down_ ? 0 : 1; }
  bool output_failed() const;

 private:
  enum class Phase { Created, Running, ShuttingDown, Exited };

  void handle(std::string body);
  void request(const nlohmann::json& id, const std::string& method, nlohmann::json& params);
  void notification(const std::string& method, nlohmann::json& params);
  nlohmann::json initialize(const nlohmann::json& params);
  /// Posts a request whose answer compiles: its answer, or its failure, is sent when it is done.
  void answer_later(const nlohmann::json& id, std::function<nlohmann::json()> answer);

  void send(const nlohmann::json& message);
  /// Checks the open documents whose diagnostics the file of `uri` may change, after `delay`.
  void check_affected(const std::string& uri, std::chrono::milliseconds delay);
  void publish(const std::string& uri);

  Writer write_;
  ServerOptions options_;
  mutable std::mutex write_mutex_;
  bool write_failed_ = false;

  FrameReader frames_;
  Phase phase_ = Phase::Created;
  bool shut_down_ = false;
  bool hierarchical_symbols_ = false;

  Workspace workspace_;
  CheckScheduler scheduler_;  // last: its worker uses the members above, and stops first
};
