#include <cctype>
#include <stdexcept>
#include <string_view>

#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/windows_system.h"

using windows_system::Handle;
using windows_system::reason;

namespace {

/// The UTF-16 name of a path; FileError when the path is no UTF-8 text.
std::wstring system_name(const std::string& path) {
  try {
    return windows_system::widen(path);
  } catch (const std::invalid_argument&) {
    throw FileError(path, "the name is not UTF-8 text");
  }
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

bool file_exists(const std::string& path) {
  std::wstring name;
  try {
    name = windows_system::widen(path);
  } catch (const std::invalid_argument&) {
    return false;
  }
  return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_file(const std::string& path, ReadLimit limit) {
  // Looked at before it is opened, so that a directory is refused by name; a device ("CON", "NUL", a
  // pipe) is opened without a read and refused by the type of its handle before a byte is read.
  const std::wstring name = system_name(path);
  // A device has a name in every directory ("CON", "nul.txt", "COM1"): the full name tells it.
  std::wstring full(32768, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length > 0 && length < full.size() && std::wstring_view(full.data(), length).starts_with(L"\\\\.\\"))
    throw FileError(path, "not a regular file");
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    // The attributes of a device cannot always be read: opening it tells.
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_INVALID_FUNCTION && error != ERROR_PIPE_BUSY)
      throw FileError(path, reason(error));
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw FileError(path, "not a regular file");
  }
  const Handle file(CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) throw FileError(path, reason(GetLastError()));
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw FileError(path, "not a regular file");
  const std::uint64_t size = std::uint64_t{information.nFileSizeHigh} << 32 | information.nFileSizeLow;
  if (size > limit.bytes) throw FileTooLarge(path, size, limit.bytes, size_refusal(size, limit));

  std::string content;
  content.reserve(static_cast<std::size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) throw FileError(path, reason(GetLastError()));
    if (got == 0) break;
    // A file that grows while it is read is held to the same bound.
    if (std::uint64_t{got} > limit.bytes - content.size())
      throw FileTooLarge(path, content.size() + got, limit.bytes, size_refusal(content.size() + got, limit));
    content.append(buffer, got);
  }
  return content;
}

void delete_file_if_present(const std::string& path) {
  const std::wstring name = system_name(path);
  if (DeleteFileW(name.c_str())) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) throw FileError(path, reason(error));
}

std::optional<FileIdentity> file_identity(const std::string& path) {
  std::wstring name;
  try {
    name = windows_system::widen(path);
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
  // No access asked: only the file's information is read. Backup semantics open a directory too.
  const Handle file(
      CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow};
}

Status check_new_name(const std::string& name) {
  const auto refused = [&name](const std::string& why) { return Status::invalid_argument(name + ": " + why); };
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
      return refused(
          "Windows gives no file a name with the character " +
          (static_cast<unsigned char>(c) < 32 ? "of code " + std::to_string(static_cast<int>(c)) : std::string(1, c)));
  }
  if (!name.empty() && name != "." && name != ".." && (name.back() == '.' || name.back() == ' '))
    return refused("Windows drops a dot or a blank at the end of a name");
  // The device names are kept whatever ending follows them and in any case: "com1.txt" is COM1.
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const bool numbered =
      stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
  if (numbered || stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
    return refused("Windows keeps the name " + stem + " for a device");
  return {};
}
