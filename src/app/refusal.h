#pragma once

#include <string>

#include "platform/status.h"

/// The exit status of a failure: an InvalidArgument is a mistake in the arguments (kExitUsage), a
/// Corruption an error of the scenario (kExitError), an IOError or Busy a failure of the platform
/// (kExitFileFailure).
int exit_status_of(const Status& failure);

/// How every command stops: says on standard error "scenario: error: " and the message, and returns
/// `status`.
int refuse(const std::string& message, int status);
/// The same for a failure, with its message and its exit status (exit_status_of).
int refuse(const Status& failure);
