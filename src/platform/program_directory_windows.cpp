#include "platform/file_error.h"
#include "platform/program_directory.h"
#include "platform/windows_system.h"

std::string program_directory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw FileError("the program's own file", windows_system::reason(GetLastError()));
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);  // cut short: a longer name
  }
  const std::string path = windows_system::narrow(buffer);
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  // "C:\scenario.exe" is in "C:\", not in "C:" (which names the drive's current directory).
  if (separator == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, separator);
}
