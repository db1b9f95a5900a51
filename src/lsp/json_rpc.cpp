#include "lsp/json_rpc.h"

#include <algorithm>

#include "lsp/ascii.h"

namespace {

std::string_view trimmed_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// A decimal number of at most 19 digits, or nothing.
std::optional<uint64_t> decimal(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

/// What a fault's text quotes of a header: at most 40 bytes of it.
std::string header_excerpt(std::string_view text) {
  std::string shown(text.substr(0, 40));
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
  return "\"" + shown + (text.size() > 40 ? "...\"" : "\"");
}

}  // namespace

void FrameReader::feed(std::string_view bytes) { buffer_.append(bytes); }

void FrameReader::compact() {
  if (pos_ == buffer_.size()) {
    // A large message's room is given back: memory stays within what the messages being read need.
    if (buffer_.capacity() > kKeptBuffer)
      std::string().swap(buffer_);
    else
      buffer_.clear();
    pos_ = 0;
  } else if (pos_ > (std::size_t{1} << 16)) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
}

std::optional<Frame> FrameReader::end_of_header() {
  const bool seen = header_seen_;
  const std::optional<uint64_t> length = content_length_;
  std::string fault = std::move(header_fault_);
  header_seen_ = false;
  content_length_.reset();
  header_fault_.clear();
  if (!seen) return std::nullopt;  // a stray empty line between messages
  if (!fault.empty()) return Frame{{}, fault};
  if (!length) return Frame{{}, "a message header without Content-Length"};
  if (*length > kMaxContentLength) {
    state_ = State::Skip;
    left_ = *length;
    return Frame{{},
                 "Content-Length " + std::to_string(*length) + " is above the limit of " +
                     std::to_string(kMaxContentLength) + " bytes: the message is passed over"};
  }
  state_ = State::Body;
  left_ = *length;
  // A large body is read into room of its size: the buffer does not grow by doubling past it.
  if (left_ > kKeptBuffer) buffer_.reserve(buffer_.size() + static_cast<std::size_t>(left_));
  return std::nullopt;
}

std::optional<Frame> FrameReader::next() {
  for (;;) {
    switch (state_) {
      case State::Skip: {
        const auto available = static_cast<uint64_t>(buffer_.size() - pos_);
        const uint64_t taken = std::min(available, left_);
        pos_ += static_cast<std::size_t>(taken);
        left_ -= taken;
        compact();
        if (left_ > 0) return std::nullopt;
        state_ = State::Header;
        break;
      }
      case State::Body: {
        if (buffer_.size() - pos_ < left_) return std::nullopt;
        Frame frame;
        if (left_ > kKeptBuffer) {
          // A large body is taken out of the buffer, not copied; the few bytes read after it stay.
          const auto end = pos_ + static_cast<std::size_t>(left_);
          std::string after = buffer_.substr(end);
          buffer_.erase(end);
          buffer_.erase(0, pos_);
          frame.body = std::move(buffer_);
          buffer_ = std::move(after);
          pos_ = 0;
        } else {
          frame.body = buffer_.substr(pos_, static_cast<std::size_t>(left_));
          pos_ += static_cast<std::size_t>(left_);
        }
        left_ = 0;
        state_ = State::Header;
        compact();
        return frame;
      }
      case State::DiscardLine: {
        const std::size_t end = buffer_.find('\n', pos_);
        if (end == std::string::npos) {
          pos_ = buffer_.size();
          compact();
          return std::nullopt;
        }
        pos_ = end + 1;
        state_ = State::Header;
        compact();
        break;
      }
      case State::Header: {
        const std::size_t end = buffer_.find('\n', pos_);
        const std::size_t length = (end == std::string::npos ? buffer_.size() : end) - pos_;
        if (length > kMaxHeaderLine) {
          state_ = State::DiscardLine;
          header_seen_ = false;
          content_length_.reset();
          header_fault_.clear();
          return Frame{{}, "a header line longer than " + std::to_string(kMaxHeaderLine) + " bytes"};
        }
        if (end == std::string::npos) {
          compact();
          return std::nullopt;
        }
        std::string_view line(buffer_.data() + pos_, length);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string text(line);
        pos_ = end + 1;
        if (text.empty()) {
          if (auto frame = end_of_header()) {
            compact();
            return frame;
          }
          break;
        }
        header_seen_ = true;
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos) {
          if (header_fault_.empty()) header_fault_ = "a header line without \":\": " + header_excerpt(text);
          break;
        }
        if (same_letters(trimmed_blanks(std::string_view(text).substr(0, colon)), "Content-Length")) {
          const std::string_view value = trimmed_blanks(std::string_view(text).substr(colon + 1));
          const auto number = decimal(value);
          if (!number && header_fault_.empty())
            header_fault_ = "Content-Length " + header_excerpt(value) + " is no number";
          content_length_ = number;
        }
        break;
      }
    }
  }
}

namespace {

/// The UTF-16 unit of an escape of four hexadecimal digits (backslash, "u", the digits) at `at`, or -1.
int escaped_unit(std::string_view text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
  int unit = 0;
  for (std::size_t k = at + 2; k < at + 6; ++k) {
    const int digit = hex_digit(text[k]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool high_surrogate(int unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool low_surrogate(int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::size_t replace_lone_surrogates(std::string& text) {
  std::size_t replaced = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!in_string) {
      in_string = c == '"';
      continue;
    }
    if (c == '"') {
      in_string = false;
      continue;
    }
    if (c != '\\') continue;
    const int unit = escaped_unit(text, i);
    if (unit < 0) {
      ++i;  // another escape: its character is no quote and no backslash of its own
      continue;
    }
    if (high_surrogate(unit) && low_surrogate(escaped_unit(text, i + 6))) {
      i += 11;  // a whole pair
      continue;
    }
    if (high_surrogate(unit) || low_surrogate(unit)) {
      text.replace(i + 2, 4, "FFFD");
      ++replaced;
    }
    i += 5;
  }
  return replaced;
}

namespace {

/// Builds a JSON value from the parser's events as nlohmann's own parser does, but takes each string from
/// the parser instead of copying it: a document's text of many megabytes is then held once.
class MovingBuilder {
 public:
  using json = nlohmann::json;
  explicit MovingBuilder(json& root) : root_(root) {}

  bool null() { return put(nullptr); }
  bool boolean(bool value) { return put(value); }
  bool number_integer(json::number_integer_t value) { return put(value); }
  bool number_unsigned(json::number_unsigned_t value) { return put(value); }
  bool number_float(json::number_float_t value, const std::string&) { return put(value); }
  bool string(std::string& value) { return put(std::move(value)); }
  bool binary(json::binary_t& value) { return put(std::move(value)); }
  bool start_object(std::size_t) {
    put(json::value_t::object);
    open_.push_back(last_);
    return true;
  }
  bool key(std::string& name) {
    member_ = &(*open_.back())[std::move(name)];
    return true;
  }
  bool end_object() {
    open_.pop_back();
    return true;
  }
  bool start_array(std::size_t) {
    put(json::value_t::array);
    open_.push_back(last_);
    return true;
  }
  bool end_array() {
    open_.pop_back();
    return true;
  }
  [[noreturn]] bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& failure) {
    if (const auto* parse = dynamic_cast<const json::parse_error*>(&failure)) throw *parse;
    throw failure;
  }

 private:
  template <typename Value>
  bool put(Value&& value) {
    if (open_.empty()) {
      root_ = json(std::forward<Value>(value));
      last_ = &root_;
    } else if (open_.back()->is_array()) {
      auto& items = open_.back()->get_ref<json::array_t&>();
      items.emplace_back(std::forward<Value>(value));
      last_ = &items.back();
    } else {
      *member_ = json(std::forward<Value>(value));
      last_ = member_;
    }
    return true;
  }

  json& root_;
  std::vector<json*> open_;  // the objects and arrays being filled, innermost last
  json* member_ = nullptr;   // the member of the innermost object whose key came last
  json* last_ = nullptr;
};

}  // namespace

nlohmann::json parsed_message(std::string_view body) {
  nlohmann::json message;
  MovingBuilder builder(message);
  nlohmann::json::sax_parse(body, &builder);
  return message;
}

std::string framed(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

int json_depth(std::string_view text, int limit) {
  int depth = 0;
  int deepest = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
      continue;
    }
    if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > limit) return deepest;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

nlohmann::json rpc_result(const nlohmann::json& id, nlohmann::json result) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

nlohmann::json rpc_error(const nlohmann::json& id, int code, std::string_view message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", std::string(message)}}}};
}

nlohmann::json rpc_notification(std::string_view method, nlohmann::json params) {
  return {{"jsonrpc", "2.0"}, {"method", std::string(method)}, {"params", std::move(params)}};
}

std::string serialized(const nlohmann::json& message) {
  return framed(message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}
