#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_replacement.h"
#include "platform/status.h"

// How a set of files is replaced all or nothing (file_replacement.h says what is promised): the order of
// the steps and the putting back are decided here, once; each system's half of file_replacement does the
// steps on its own files.

/// The steps of one system on the files of a set, by their index. Each failure is an IOError whose
/// message is the system's reason.
class ReplacementSteps {
 public:
  /// Makes the temporary file of `n` beside its target, registered for removal on an interrupt, and
  /// gives the sink that writes to it (its failure a FileError naming the target).
  virtual Result<ByteSink*> make_temporary(std::size_t n) = 0;
  /// Syncs the temporary file of `n` to the disk and closes it.
  virtual Status finish_temporary(std::size_t n) = 0;
  /// Whether a file is at target `n` now (true) or none (false); a failure when nothing may replace it
  /// (a directory; on Windows a file held open by a program that does not let it be deleted).
  virtual Result<bool> check_target(std::size_t n) = 0;
  /// Keeps the file now at target `n` under a second name, so that it can be put back.
  virtual Status keep_earlier(std::size_t n) = 0;
  /// Renames the temporary file of `n` over its target.
  virtual Status move_into_place(std::size_t n) = 0;
  /// Puts target `n` back as it was: the file kept aside under its name again, or, when there was no
  /// file (`had_earlier` false), no file.
  virtual Status put_back(std::size_t n, bool had_earlier) = 0;
  /// Removes what is left of `n` beside its target: its temporary file (closed first when it is still
  /// open) when it was not renamed, the earlier file when it is still kept aside.
  virtual void clean_up(std::size_t n) = 0;
  /// Makes the renames last through a power cut (a system whose renames are written through has
  /// nothing to do). A failure names the target it concerns; the files are in place then.
  virtual Status make_durable() = 0;

 protected:
  ~ReplacementSteps() = default;
};

/// Replaces `files` through a system's steps: every temporary file written whole and synced, then every
/// target checked, then, with interrupts deferred, each earlier file kept aside and the temporary file
/// renamed over it, in order; when a rename fails, the targets renamed before it are put back in reverse
/// order. Throws ReplacementFailure (a FileError for a failure of make_durable) and returns the size of
/// each file, as replace_files.
std::vector<std::uint64_t> replace_through(const std::vector<FileReplacement>& files, ReplacementSteps& steps);

/// The failure of target `failed` of a set, for `reason`: for a set of several files the reason goes on
/// with what became of the others, those of `replaced` new, the rest as they were.
ReplacementFailure replacement_failure(const std::vector<std::string>& paths, std::size_t failed,
                                       const std::string& reason, const std::vector<bool>& replaced = {});
