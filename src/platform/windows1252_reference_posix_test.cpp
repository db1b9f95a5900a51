#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include "platform/windows1252_reference_test.h"

namespace {

/// One iconv conversion, opened once.
class Conversion {
 public:
  Conversion(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("no conversion from ") + from + " to " + to + " on this system");
  }
  ~Conversion() { iconv_close(descriptor_); }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  /// Converts `input` from `offset` on, appending to `out`; returns the offset of the first byte it cannot
  /// convert (input.size() when there is none).
  std::size_t convert(std::string_view input, std::size_t offset, std::string& out) {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data()) + offset;
    std::size_t in_left = input.size() - offset;
    char buffer[4096];
    while (in_left > 0) {
      char* at = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t done = iconv(descriptor_, &in, &in_left, &at, &out_left);
      out.append(buffer, static_cast<std::size_t>(at - buffer));
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    return input.size() - in_left;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

Windows1252Text system_to_windows1252(std::string_view utf8) {
  static Conversion to_windows1252("WINDOWS-1252", "UTF-8");
  static Conversion to_utf32("UTF-32LE", "UTF-8");
  Windows1252Text converted;
  const std::size_t stop = to_windows1252.convert(utf8, 0, converted.text);
  if (stop == utf8.size()) return converted;
  Windows1252Refusal refusal;
  refusal.offset = stop;
  refusal.length = utf8_character_length(utf8, stop);
  std::string code;
  // The character, when iconv reads one there (it does not for malformed UTF-8).
  if (to_utf32.convert(utf8.substr(stop, refusal.length), 0, code) == refusal.length && code.size() == 4) {
    uint32_t value = 0;
    for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<uint8_t>(code[static_cast<std::size_t>(k)]);
    refusal.character = static_cast<char32_t>(value);
  }
  converted.refusal = refusal;
  return converted;
}

std::string system_windows1252_to_utf8(std::string_view bytes) {
  static Conversion to_utf8("UTF-8", "WINDOWS-1252");
  std::string utf8;
  for (std::size_t offset = 0; offset < bytes.size();) {
    offset = to_utf8.convert(bytes, offset, utf8);
    if (offset < bytes.size()) {
      // A byte the code page leaves undefined: iconv refuses it, the program reads it as U+FFFD.
      utf8 += "\xEF\xBF\xBD";
      ++offset;
    }
  }
  return utf8;
}
