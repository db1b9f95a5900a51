#pragma once

// What the Windows half of the platform shares: file names between UTF-8 (inside the program) and
// UTF-16 (the system's), and the system's reason for a failure. Included only by the *_windows.cpp files.

#include <windows.h>

#include <string>
#include <string_view>

namespace windows_system {

/// UTF-8 to UTF-16. std::invalid_argument when the text is not UTF-8.
std::wstring widen(std::string_view utf8);

/// UTF-16 to UTF-8 (a lone surrogate becomes U+FFFD).
std::string narrow(std::wstring_view utf16);

/// The reason for a system error code, worded as the Linux build words the same failure where there is
/// one ("No such file or directory", "Permission denied"), else the system's own text.
std::string reason(DWORD error);

/// A handle closed when it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }
  HANDLE release() {
    const HANDLE held = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return held;
  }

 private:
  HANDLE handle_;
};

}  // namespace windows_system
