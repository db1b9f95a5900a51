#include "platform/file_uri.h"

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
