#pragma once

#include <string>
#include <string_view>

// The standard input and output as byte streams, for a program that talks over them (the language
// server): the bytes go through as they are, on every system.

/// Reads what standard input has, up to `size` bytes: the count read, 0 at its end, -1 on a failure
/// with the system's reason in `reason`.
long read_standard_input(char* buffer, std::size_t size, std::string& reason);

/// Writes all of `bytes` to standard output; false, with the system's reason, when it cannot (a reader
/// that went away is such a failure, not a signal that ends the program).
bool write_standard_output(std::string_view bytes, std::string& reason);
