#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

// The standard input and output as byte streams, for a program that talks over them (the language
// server): the bytes go through as they are, on every system.

/// Reads what standard input has, up to `size` bytes: the count read, 0 at its end, or an IOError with the
/// system's reason.
Result<std::size_t> read_standard_input(char* buffer, std::size_t size);

/// Writes all of `bytes` to standard output, or says why it cannot (an IOError with the system's reason:
/// a reader that went away is such a failure, not a signal that ends the program).
Status write_standard_output(std::string_view bytes);
