#include "platform/file_uri.h"

#include <string_view>

namespace {

[[maybe_unused]] bool drive_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<std::string> system_path_of_uri_path(std::string uri_path) {
#ifdef _WIN32
  if (uri_path.size() >= 3 && uri_path[0] == '/' && drive_letter(uri_path[1]) && uri_path[2] == ':')
    uri_path.erase(0, 1);
  const bool drive = uri_path.size() >= 2 && drive_letter(uri_path[0]) && uri_path[1] == ':';
  if (uri_path.find(':', drive ? 2 : 0) != std::string::npos) return std::nullopt;
  for (char& c : uri_path)
    if (c == '/') c = '\\';
#endif
  return uri_path;
}

std::string uri_path_of_system_path(std::string path) {
#ifdef _WIN32
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && drive_letter(path[0]) && path[1] == ':') path.insert(0, 1, '/');
#endif
  return path;
}

std::string uri_reference_of_path(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // Only the unreserved characters and the "/" between segments stay as they are.
  static constexpr std::string_view kKept = "-._~/";
  std::string reference;
  for (const char c : uri_path_of_system_path(path)) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (alphanumeric || kKept.find(c) != std::string_view::npos) {
      reference += c;
    } else {
      reference += '%';
      reference += kHex[byte >> 4];
      reference += kHex[byte & 0x0F];
    }
  }
  return reference;
}
