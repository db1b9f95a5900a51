#pragma once

/// Exit status of a run without error.
inline constexpr int kExitSuccess = 0;
/// Exit status after an error reported to the user (errore, a compilation error).
inline constexpr int kExitError = 1;
/// Exit status after a mistake in the arguments found by the command itself (an unknown error code).
inline constexpr int kExitArgumentMistake = 2;
/// Exit status after a failure of the platform (a file that cannot be written).
inline constexpr int kExitFileFailure = 2;
