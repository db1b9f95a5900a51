#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/directory_lock.h"

/// Creates `directory` with its missing parents, as the place a command writes its files into. Returns
/// why it cannot be had: "P exists and is not a directory" for the first part P of the path in the way,
/// or the system's reason; an empty text when the directory is there. An empty name is no directory.
std::string create_output_directory(const std::string& directory);

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
/// locks it for the rest of the run (lock_for_the_run). Returns what stops the run, as a sentence about
/// `directory`: "cannot make the output directory D: ...", "the output directory D is in use by another
/// run ...", "cannot lock the output directory D: ..."; an empty text once `lock` holds it.
std::string claim_output_directory(const std::string& directory, DirectoryLock& lock);

/// A file a run reads or writes, with what it is to the run ("the line description").
struct RunFile {
  std::string role;
  std::string path;
};

/// Why a run must not write: one of its outputs is one of its inputs (the same file, whatever the
/// names: compared by device and file number, through links), so writing it would destroy what is
/// being read. An empty text when no output is an input.
std::string output_replacing_input(const std::vector<RunFile>& inputs, const std::vector<RunFile>& outputs);
