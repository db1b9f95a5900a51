#include "platform/windows1252.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace {

/// One iconv conversion, closed when it goes.
class Conversion {
 public:
  Conversion(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("no conversion from ") + from + " to " + to + " on this system");
  }
  ~Conversion() { iconv_close(descriptor_); }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  /// Converts `input` from `offset` on, appending to `out`; stops at the end or at the first byte it cannot
  /// convert, and returns that byte's offset (or input.size()).
  std::size_t convert(std::string_view input, std::size_t offset, std::string& out) {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);  // a fresh start: no state of an earlier text
    char* in = const_cast<char*>(input.data()) + offset;
    std::size_t in_left = input.size() - offset;
    char buffer[4096];
    while (in_left > 0) {
      char* at = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t done = iconv(descriptor_, &in, &in_left, &at, &out_left);
      out.append(buffer, static_cast<std::size_t>(at - buffer));
      if (done != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      break;
    }
    return input.size() - in_left;
  }

 private:
  iconv_t descriptor_;
};

/// The conversions of this thread, each opened once: a source converted again after each refused
/// character opens nothing more.
enum class Direction { ToWindows1252, ToUtf8, ToUtf32 };

Conversion& conversion(Direction direction) {
  thread_local Conversion to_windows1252("WINDOWS-1252", "UTF-8");
  thread_local Conversion to_utf8("UTF-8", "WINDOWS-1252");
  thread_local Conversion to_utf32("UTF-32LE", "UTF-8");
  switch (direction) {
    case Direction::ToWindows1252:
      return to_windows1252;
    case Direction::ToUtf8:
      return to_utf8;
    case Direction::ToUtf32:
      break;
  }
  return to_utf32;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

/// Why the UTF-8 character at `offset` has no Windows-1252 byte: malformed, or a character the code
/// page lacks.
Windows1252Refusal refusal_at(std::string_view utf8, std::size_t offset) {
  Windows1252Refusal refusal;
  refusal.offset = offset;
  refusal.length = utf8_character_length(utf8, offset);
  std::string code;
  const std::size_t stop = conversion(Direction::ToUtf32).convert(utf8.substr(offset, refusal.length), 0, code);
  if (stop < refusal.length || code.size() != 4) return refusal;  // malformed: iconv refuses it too
  uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<uint8_t>(code[static_cast<std::size_t>(k)]);
  refusal.character = static_cast<char32_t>(value);
  return refusal;
}

}  // namespace

std::string windows1252_to_utf8(std::string_view bytes) {
  Conversion& to_utf8 = conversion(Direction::ToUtf8);
  std::string utf8;
  utf8.reserve(bytes.size());
  for (std::size_t offset = 0; offset < bytes.size();) {
    offset = to_utf8.convert(bytes, offset, utf8);
    if (offset < bytes.size()) {
      // One of the five bytes the code page leaves undefined.
      utf8 += kReplacement;
      ++offset;
    }
  }
  return utf8;
}

Windows1252Text to_windows1252(std::string_view utf8) {
  Windows1252Text converted;
  const std::size_t stop = conversion(Direction::ToWindows1252).convert(utf8, 0, converted.text);
  if (stop < utf8.size()) converted.refusal = refusal_at(utf8, stop);
  return converted;
}
