#include "platform/files.h"

namespace {

/// A size as a person reads it: "64 MiB", "1500 bytes".
std::string readable_size(std::uint64_t bytes) {
  constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
  if (bytes >= kMebibyte && bytes % kMebibyte == 0) return std::to_string(bytes / kMebibyte) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

std::string size_refusal(std::uint64_t size, const ReadLimit& limit) {
  return std::to_string(size) + " bytes, more than " + std::string(limit.what) + " may have (" +
         readable_size(limit.bytes) + ")";
}

std::filesystem::path filesystem_path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

std::string shown_name(std::string_view name) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string shown;
  shown.reserve(name.size());
  for (std::size_t k = 0; k < name.size();) {
    const auto lead = static_cast<unsigned char>(name[k]);
    std::size_t length = lead < 0x80             ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4
                                                 : 0;
    for (std::size_t n = 1; n < length; ++n)
      if (k + n >= name.size() || (static_cast<unsigned char>(name[k + n]) & 0xC0) != 0x80) length = 0;
    if (length > 1) {
      // Overlong forms, surrogates and values past U+10FFFF are no UTF-8 either.
      const auto second = static_cast<unsigned char>(name[k + 1]);
      if ((lead == 0xC0 || lead == 0xC1) || (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
          (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90) || lead > 0xF4)
        length = 0;
    }
    if (length == 0) {
      shown += kReplacement;
      ++k;
    } else {
      shown.append(name.substr(k, length));
      k += length;
    }
  }
  return shown;
}
