#pragma once

// JSON-RPC 2.0 as the Language Server Protocol carries it: each message is a header ("Content-Length:
// N", lines ended by CR LF, an empty line) and a body of N bytes of JSON.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

/// The longest body the server takes, and the longest header line, bytes.
inline constexpr std::size_t kMaxContentLength = std::size_t{32} << 20;
inline constexpr std::size_t kMaxHeaderLine = std::size_t{8} << 10;
/// The deepest nesting of arrays and objects a body may have.
inline constexpr int kMaxJsonDepth = 128;
/// The room the frame reader keeps between messages, bytes; a larger message's is given back.
inline constexpr std::size_t kKeptBuffer = std::size_t{1} << 20;

/// The error codes of JSON-RPC and of the protocol.
enum RpcError : int {
  kRpcParseError = -32700,
  kRpcInvalidRequest = -32600,
  kRpcMethodNotFound = -32601,
  kRpcInvalidParams = -32602,
  kRpcInternalError = -32603,
  kRpcServerNotInitialized = -32002,
};

/// What the frame reader took from the stream: a message's body, or what was wrong with a header (the
/// body then is empty).
struct Frame {
  std::string body;
  std::string fault;
};

/// Cuts the bytes of a stream into messages, whatever pieces they arrive in. A header line longer than
/// kMaxHeaderLine is a fault and is passed over to its end; a header without a Content-Length, or with one
/// that is no number, is a fault; a Content-Length above kMaxContentLength is a fault whose body is passed
/// over unread, so that the next message is found. Header fields other than Content-Length are passed
/// over. Memory stays within one body and one header line.
class FrameReader {
 public:
  /// Adds bytes read from the stream.
  void feed(std::string_view bytes);
  /// The next whole message or fault that the bytes fed so far hold.
  std::optional<Frame> next();

 private:
  enum class State { Header, DiscardLine, Body, Skip };

  std::optional<Frame> end_of_header();
  void compact();

  std::string buffer_;
  std::size_t pos_ = 0;
  State state_ = State::Header;
  bool header_seen_ = false;
  std::optional<uint64_t> content_length_;
  std::string header_fault_;
  uint64_t left_ = 0;
};

/// Replaces, in the strings of a JSON text, each escaped UTF-16 unit that is half of a surrogate pair
/// without its other half (a high half not followed by a low one, a low half alone) with the escape of
/// U+FFFD, the replacement character, in place (the same length), so that the text parses and the rest of
/// its string is kept; returns how many.
std::size_t replace_lone_surrogates(std::string& text);

/// The JSON of a message's body, each string moved out of the parser rather than copied. Throws
/// nlohmann::json::parse_error as nlohmann::json::parse does.
nlohmann::json parsed_message(std::string_view body);

/// A message framed for the stream: its header and `body`.
std::string framed(std::string_view body);

/// The depth of nesting of arrays and objects in a JSON text (strings looked through), counting no
/// further than `limit` + 1.
int json_depth(std::string_view text, int limit = kMaxJsonDepth);

/// A response: `id` with its result, or with an error.
nlohmann::json rpc_result(const nlohmann::json& id, nlohmann::json result);
nlohmann::json rpc_error(const nlohmann::json& id, int code, std::string_view message);
nlohmann::json rpc_notification(std::string_view method, nlohmann::json params);

/// A message as the stream carries it: JSON without a byte that is not UTF-8 (such a byte becomes
/// U+FFFD), framed.
std::string serialized(const nlohmann::json& message);
