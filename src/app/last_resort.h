#pragma once

#include <exception>

/// The end of a run that met a failure nothing else handled (an exception of a library, a fault of the
/// program): says on standard error what it was and returns kExitInternal, so that no such failure ends
/// the program with an abort.
int internal_failure(const std::exception& failure);
int internal_failure();

/// Installs the last resort for what escapes every handler (std::set_terminate): the same message, then
/// the program ends with kExitInternal.
void install_last_resort();
