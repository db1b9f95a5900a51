#include "platform/windows_system.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace windows_system {

std::wstring widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) throw std::invalid_argument("not UTF-8");
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int size = static_cast<int>(utf16.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::string reason(DWORD error) {
  // The failures a user meets most, in the words the Linux build uses for them.
  int same = 0;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      same = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      same = EACCES;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      same = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      same = ENOSPC;
      break;
    case ERROR_WRITE_PROTECT:
      same = EROFS;
      break;
    case ERROR_DIRECTORY:
      same = ENOTDIR;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      same = ENOMEM;
      break;
    default:
      break;
  }
  if (same != 0) return std::strerror(same);
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string words = length > 0 ? narrow(std::wstring_view(text, length)) : "";
  if (text != nullptr) LocalFree(text);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.'))
    words.pop_back();
  if (words.empty()) words = "system error " + std::to_string(error);
  return words;
}

}  // namespace windows_system
