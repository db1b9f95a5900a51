#include "app/last_resort.h"

#include <cstdlib>
#include <iostream>

#include "app/exit_status.h"
#include "platform/files.h"

namespace {

[[noreturn]] void on_terminate() {
  if (const std::exception_ptr escaped = std::current_exception()) {
    try {
      std::rethrow_exception(escaped);
    } catch (const std::exception& failure) {
      internal_failure(failure);
    } catch (...) {
      internal_failure();
    }
  } else {
    internal_failure();
  }
  std::cerr.flush();
  std::_Exit(kExitInternal);
}

}  // namespace

int internal_failure(const std::exception& failure) {
  std::cerr << "scenario: error: internal failure: " << shown_name(failure.what()) << "\n";
  return kExitInternal;
}

int internal_failure() {
  std::cerr << "scenario: error: internal failure of an unknown kind\n";
  return kExitInternal;
}

void install_last_resort() { std::set_terminate(on_terminate); }
