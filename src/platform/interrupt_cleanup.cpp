#include "platform/interrupt_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

/// A run registers at most a temporary file and the two text sources at once; the rest is room.
constexpr int kSlots = 8;

struct Slot {
  volatile sig_atomic_t used;
  char path[PATH_MAX];
};

// The handler reads this table: it is made before main and never grows.
Slot slots[kSlots];

// The signal mask to restore when the outermost InterruptsDeferred goes.
sigset_t saved_mask;
int deferred_depth = 0;

extern "C" void on_interrupt(int signal_number) {
  for (Slot& slot : slots)
    if (slot.used) unlink(slot.path);
  _exit(128 + signal_number);
}

sigset_t interrupt_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : kInterrupts) sigaddset(&set, signal_number);
  return set;
}

}  // namespace

void install_interrupt_cleanup() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  action.sa_mask = interrupt_set();  // one interrupt at a time
  for (const int signal_number : kInterrupts) {
    struct sigaction earlier {};
    if (sigaction(signal_number, nullptr, &earlier) == 0 && earlier.sa_handler == SIG_IGN) continue;
    sigaction(signal_number, &action, nullptr);
  }
}

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path) : slot_(-1) {
  if (path.size() >= PATH_MAX) return;
  for (int n = 0; n < kSlots; ++n) {
    if (slots[n].used) continue;
    std::memcpy(slots[n].path, path.c_str(), path.size() + 1);
    // The path is whole before the handler can see the slot in use.
    std::atomic_signal_fence(std::memory_order_release);
    slots[n].used = 1;
    slot_ = n;
    return;
  }
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
  if (slot_ >= 0) slots[slot_].used = 0;
}

InterruptsDeferred::InterruptsDeferred() {
  if (deferred_depth++ > 0) return;
  const sigset_t set = interrupt_set();
  pthread_sigmask(SIG_BLOCK, &set, &saved_mask);
}

InterruptsDeferred::~InterruptsDeferred() {
  if (--deferred_depth > 0) return;
  pthread_sigmask(SIG_SETMASK, &saved_mask, nullptr);
}
