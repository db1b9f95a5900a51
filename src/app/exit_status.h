#pragma once

// The exit statuses of every run and command, as the README's table gives them.

/// Exit status of a run without error.
inline constexpr int kExitSuccess = 0;
/// Exit status after an error in the scenario: a compilation error code, an errore, an input refused.
inline constexpr int kExitError = 1;
/// Exit status after a mistake in the arguments of the command line.
inline constexpr int kExitUsage = 2;
/// Exit status after a failure of the platform: a file that cannot be read or written.
inline constexpr int kExitFileFailure = 3;
/// Exit status after a failure the program did not expect (an exception of a library): a fault of the
/// program, named on standard error.
inline constexpr int kExitInternal = 4;
