#include <iostream>

#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/windows_system.h"

namespace {

/// Set once by a command-line start, before any message.
bool standard_error_only = false;

}  // namespace

void send_messages_to_standard_error() { standard_error_only = true; }

void show_message(const std::string& text) {
  if (!standard_error_only && display_available()) {
    std::wstring wide;
    try {
      wide = windows_system::widen(text);
    } catch (...) {
      std::cerr << text << std::endl;  // no UTF-8: the bytes as they are
      return;
    }
    MessageBoxW(nullptr, wide.c_str(), windows_system::widen(kApplicationTitle).c_str(), MB_OK | MB_TASKMODAL);
  } else {
    std::cerr << text << std::endl;
  }
}
