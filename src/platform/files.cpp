#include "platform/files.h"

#include "platform/windows1252.h"

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
    if (utf8_character_at(name, k)) {
      const std::size_t length = utf8_character_length(name, k);
      shown.append(name.substr(k, length));
      k += length;
    } else {
      shown += kReplacement;
      ++k;
    }
  }
  return shown;
}
