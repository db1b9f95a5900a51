#pragma once

#include <chrono>
#include <string>

#include "platform/directory_lock.h"
#include "platform/status.h"

/// Creates `directory` with its missing parents, as the place a command writes its files into. Every
/// part to make is checked first (check_new_name), so a name the system refuses makes nothing. Returns
/// an IOError saying why it cannot be had: "P exists and is not a directory" for the first part P of the
/// path in the way, a part the system cannot make, or the system's reason. An empty name is no
/// directory.
Status create_output_directory(const std::string& directory);

/// How long a run waits for another run that holds the directory it writes into.
inline constexpr std::chrono::seconds kDirectoryPatience{30};
/// After how long a waiting run says on standard error what it waits for.
inline constexpr std::chrono::seconds kDirectoryWaitNote{1};

/// Takes the lock of an existing directory for the rest of the run (DirectoryLock), waiting up to
/// `patience` while another run holds it: false when the wait ran out. FileError when the directory
/// cannot be locked at all.
bool lock_for_the_run(const std::string& directory, DirectoryLock& lock,
                      std::chrono::milliseconds patience = kDirectoryPatience);

/// The reason given for a directory that another run held for the whole wait.
std::string directory_in_use();

/// Every writing command's way to its directory: makes it when missing (create_output_directory), then
/// locks it for the rest of the run (lock_for_the_run). Returns what stops the run, its message a
/// sentence about `directory`: "cannot make the output directory D: ..." (IOError), "the output directory
/// D is in use by another run ..." (Busy), "cannot lock the output directory D: ..." (IOError); ok once
/// `lock` holds it.
Status claim_output_directory(const std::string& directory, DirectoryLock& lock);
