#pragma once

#include <string>

// A run interrupted by SIGINT, SIGTERM or SIGHUP removes what it had begun and not finished (the
// temporary file being written, files the run makes only to delete them later), then ends with status
// 128 + the signal's number. The paths to remove are kept in a fixed table made before the run, which the
// handler reads without allocating.

/// Installs the handlers of the three signals (a signal ignored when the program started stays ignored).
void install_interrupt_cleanup();

/// A path removed when the run is interrupted while the object lives. Registered before the file is
/// made, or, for a name that is known only once the file exists, while interrupts are deferred.
class RemovedOnInterrupt {
 public:
  /// Registers `path`; a path too long for the table (no file can have it) or a full table registers
  /// nothing.
  explicit RemovedOnInterrupt(const std::string& path);
  ~RemovedOnInterrupt();
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

 private:
  int slot_;
};

/// While an object of this type lives, the three signals wait, to be delivered when it goes: what is
/// done meanwhile (making a file and registering it) is never cut in two. Objects may nest.
class InterruptsDeferred {
 public:
  InterruptsDeferred();
  ~InterruptsDeferred();
  InterruptsDeferred(const InterruptsDeferred&) = delete;
  InterruptsDeferred& operator=(const InterruptsDeferred&) = delete;
};
