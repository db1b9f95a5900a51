#pragma once

#include <string>
#include <string_view>

/// Replaces the file at `path` by `bytes`, atomically and durably: the bytes go to a temporary file in
/// the same directory, which is synced to the disk, renamed over `path`, and the directory synced. The
/// new file keeps the permission bits of the regular file it replaces (0600 stays 0600); a new name gets
/// 0666 less the process's mask. On Windows the new file takes the directory's inherited permissions, the
/// rename is written through, and a file another program holds open without leave to delete it cannot be
/// replaced (tried again for half a second). On failure the earlier file is left whole, no temporary file
/// remains, and a FileError names `path` and the system's reason; an interrupt (interrupt_cleanup.h)
/// removes the temporary file too.
void replace_file(const std::string& path, std::string_view bytes);
