#include "platform/windows1252.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
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
  /// convert, and returns that byte's offset (or input.size()). `truncated` tells whether it stopped
  /// because the input ended inside a character.
  std::size_t convert(std::string_view input, std::size_t offset, std::string& out, bool& truncated) {
    truncated = false;
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
      truncated = errno == EINVAL;
      break;
    }
    return input.size() - in_left;
  }

 private:
  iconv_t descriptor_;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

/// Why the UTF-8 character at `offset` has no Windows-1252 byte: malformed, or a character the code
/// page lacks.
[[noreturn]] void refuse_character(std::string_view utf8, std::size_t offset) {
  Conversion to_utf32("UTF-32LE", "UTF-8");
  std::string code;
  bool truncated = false;
  const std::string_view one = utf8.substr(offset, 4);
  to_utf32.convert(one, 0, code, truncated);
  if (code.size() < 4) throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(offset));
  uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<uint8_t>(code[static_cast<std::size_t>(k)]);
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(value));
  throw std::invalid_argument(std::string("no Windows-1252 form for ") + name + " at byte " + std::to_string(offset));
}

}  // namespace

std::string windows1252_to_utf8(std::string_view bytes) {
  Conversion conversion("UTF-8", "WINDOWS-1252");
  std::string utf8;
  utf8.reserve(bytes.size());
  bool truncated = false;
  for (std::size_t offset = 0; offset < bytes.size();) {
    offset = conversion.convert(bytes, offset, utf8, truncated);
    if (offset < bytes.size()) {
      // One of the five bytes the code page leaves undefined.
      utf8 += kReplacement;
      ++offset;
    }
  }
  return utf8;
}

std::string utf8_to_windows1252(std::string_view utf8) {
  Conversion conversion("WINDOWS-1252", "UTF-8");
  std::string bytes;
  bytes.reserve(utf8.size());
  bool truncated = false;
  const std::size_t stop = conversion.convert(utf8, 0, bytes, truncated);
  if (stop < utf8.size()) refuse_character(utf8, stop);
  return bytes;
}
