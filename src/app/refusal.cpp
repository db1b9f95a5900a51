#include "app/refusal.h"

#include <iostream>

#include "app/exit_status.h"
#include "platform/files.h"

int exit_status_of(const Status& failure) {
  switch (failure.code()) {
    case Status::Code::Ok:
      return kExitSuccess;
    case Status::Code::InvalidArgument:
      return kExitUsage;
    case Status::Code::Corruption:
      return kExitError;
    case Status::Code::IOError:
    case Status::Code::Busy:
      break;
  }
  return kExitFileFailure;
}

int refuse(const std::string& message, int status) {
  std::cerr << "scenario: error: " << shown_name(message) << "\n";
  return status;
}

int refuse(const Status& failure) { return refuse(failure.message(), exit_status_of(failure)); }
