#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_replacement.h"
#include "platform/status.h"

// How a set of files, each written whole to a temporary file beside its target, is put in place all or
// nothing. The order and the putting back are decided here, once; each system's half of
// file_replacement does the steps.

/// The steps of one system on the targets of a set, by their index.
class ReplacementSteps {
 public:
  /// Keeps the file now at target `n` under a second name, so that it can be put back.
  virtual Status keep_earlier(std::size_t n) = 0;
  /// Renames the temporary file of `n` over its target.
  virtual Status move_into_place(std::size_t n) = 0;
  /// Puts target `n` back as it was: the file kept aside under its name again, or, when there was no
  /// file (`had_earlier` false), no file.
  virtual Status put_back(std::size_t n, bool had_earlier) = 0;
  /// Removes what is left of `n` beside its target: its temporary file when it was not renamed, the
  /// earlier file when it is still kept aside.
  virtual void clean_up(std::size_t n) = 0;

 protected:
  ~ReplacementSteps() = default;
};

/// Renames every temporary file of the set over its target (`paths`, `had_earlier`: whether a file was
/// there), in order, keeping each earlier file aside first. When a rename fails, the targets renamed
/// before it are put back in reverse order and ReplacementFailure is thrown for the target that failed.
void commit_replacements(const std::vector<std::string>& paths, const std::vector<bool>& had_earlier,
                         ReplacementSteps& steps);

/// The failure of target `failed` of a set, for `reason`: for a set of several files the reason goes on
/// with what became of the others, those of `replaced` new, the rest as they were.
ReplacementFailure replacement_failure(const std::vector<std::string>& paths, std::size_t failed,
                                       const std::string& reason, const std::vector<bool>& replaced = {});
