#include "app/output_directory.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string create_output_directory(const std::string& directory) {
  if (directory.empty()) return "an empty name is no directory";
  // The parts that exist are looked at one by one, so that the message names the one in the way rather
  // than the whole path with the system's "Not a directory".
  fs::path prefix;
  for (const fs::path& part : fs::path(directory)) {
    prefix /= part;
    std::error_code error;
    const fs::file_status status = fs::status(prefix, error);
    if (status.type() == fs::file_type::not_found) break;
    if (error) return prefix.string() + ": " + error.message();
    if (!fs::is_directory(status)) return prefix.string() + " exists and is not a directory";
  }
  std::error_code error;
  fs::create_directories(directory, error);
  if (error) return error.message();
  return {};
}
