#include <mutex>

#include "platform/interrupt_cleanup.h"
#include "platform/windows_system.h"

// On Windows the interrupts are the console's: Ctrl-C, Ctrl-Break and the closing of the console window
// (or the end of the session). The system calls the handler in a thread of its own; the handler takes
// the same lock as InterruptsDeferred, so it waits while a file is being made and registered, removes
// what is registered and ends the process at once with 128 + the number of the matching signal (130 for
// Ctrl-C, as on Linux; 149 for Ctrl-Break; 129 for a closed console, the hangup).

namespace {

constexpr int kSlots = 8;
constexpr int kLongestPath = 32768;

struct Slot {
  volatile bool used;
  wchar_t path[kLongestPath];
};

Slot slots[kSlots];

// Held while interrupts are deferred, and by the handler from the moment it starts.
std::recursive_mutex& deferral() {
  static std::recursive_mutex lock;
  return lock;
}

int status_of(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return 128 + 2;
    case CTRL_BREAK_EVENT:
      return 128 + 21;
    default:
      return 128 + 1;
  }
}

BOOL WINAPI on_interrupt(DWORD event) {
  deferral().lock();  // never let go: the process ends here
  for (Slot& slot : slots)
    if (slot.used) DeleteFileW(slot.path);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status_of(event)));
  return TRUE;
}

}  // namespace

void install_interrupt_cleanup() {
  deferral();  // made before any interrupt can come
  SetConsoleCtrlHandler(on_interrupt, TRUE);
}

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path) : slot_(-1) {
  std::wstring wide;
  try {
    wide = windows_system::widen(path);
  } catch (...) {
    return;  // no file can have that name
  }
  if (wide.size() >= kLongestPath) return;
  const std::lock_guard guard(deferral());
  for (int n = 0; n < kSlots; ++n) {
    if (slots[n].used) continue;
    wide.copy(slots[n].path, wide.size());
    slots[n].path[wide.size()] = L'\0';
    slots[n].used = true;
    slot_ = n;
    return;
  }
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
  if (slot_ < 0) return;
  const std::lock_guard guard(deferral());
  slots[slot_].used = false;
}

InterruptsDeferred::InterruptsDeferred() { deferral().lock(); }

InterruptsDeferred::~InterruptsDeferred() { deferral().unlock(); }
