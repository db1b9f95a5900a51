#include <cstdlib>

#include "platform/display.h"
#include "platform/windows_system.h"

namespace {

/// Wine tells itself by an export of its ntdll.
bool under_wine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool display_available() {
  static const bool available = [] {
    // A service's window station shows nothing to anyone.
    USEROBJECTFLAGS flags{};
    DWORD size = 0;
    if (GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, &size) &&
        (flags.dwFlags & WSF_VISIBLE) == 0)
      return false;
    // Wine without a display of its host still says its desktop is visible, and a modal box there would
    // wait for ever for a click no one can make.
    if (under_wine() && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) return false;
    return true;
  }();
  return available;
}
