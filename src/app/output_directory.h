#pragma once

#include <string>

/// Creates `directory` with its missing parents, as the place a command writes its files into. Returns
/// why it cannot be had: "P exists and is not a directory" for the first part P of the path in the way,
/// or the system's reason; an empty text when the directory is there. An empty name is no directory.
std::string create_output_directory(const std::string& directory);
