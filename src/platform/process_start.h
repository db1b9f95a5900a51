#pragma once

#include <string>
#include <vector>

/// Makes the standard streams carry bytes as they are. On Windows they would otherwise put CR before
/// each LF written and stop reading at Ctrl-Z, so that the program's output and the framing of what it
/// reads (such as byte counts in headers) would differ from Linux; on Linux there is nothing to do.
void use_binary_standard_streams();

/// The words of the command line in UTF-8, the program's name first. On Windows they come from the
/// system's UTF-16 command line (the `argv` of a Windows program holds them in the local code page, which
/// loses the letters it lacks); on Linux they are `argv` as it is.
std::vector<std::string> command_line_words(int argc, char** argv);

/// Replaces this process with the program at `path`, started with `words` (its name first) as its
/// command line, and with this process's environment, standard streams, process id and ignored signals.
/// Returns only when that program could not be started: the system's reason. (The Linux build only.)
std::string run_program_in_place(const std::string& path, const std::vector<std::string>& words);
