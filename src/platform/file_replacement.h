#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/file_error.h"

/// A file of a set to replace: its path, and what writes its bytes into a sink, which writes each piece
/// to the file at once (the sink's FileError fails the set).
struct FileReplacement {
  std::string path;
  std::function<void(ByteSink&)> write;
};

/// A set of files that could not be replaced whole: `path()` is the file that failed and `reason()` says
/// why and what became of the others. `replaced` lists the files that hold their new bytes (empty unless
/// one could not be put back), `unchanged` the others, as they were before the call.
class ReplacementFailure : public FileError {
 public:
  ReplacementFailure(std::string path, std::string reason, std::vector<std::string> replaced,
                     std::vector<std::string> unchanged)
      : FileError(std::move(path), std::move(reason)),
        replaced_(std::move(replaced)),
        unchanged_(std::move(unchanged)) {}
  const std::vector<std::string>& replaced() const { return replaced_; }
  const std::vector<std::string>& unchanged() const { return unchanged_; }

 private:
  std::vector<std::string> replaced_;
  std::vector<std::string> unchanged_;
};

/// Replaces the files of a set, all or nothing, atomically and durably: each file's bytes go to a
/// temporary file in its directory, which is synced to the disk; once every one is written, every target
/// is checked (a directory in its place; on Windows a file another program holds open without leave to
/// delete it, tried again for half a second); then each temporary file is renamed over its target, and
/// each directory synced. When a rename fails, the files renamed before it are put back as they were
/// (a file that did not exist is removed again), so the set stays the earlier one. Where the system
/// cannot keep an earlier file aside to put it back (a file system without hard links), a failure
/// names which files are new and which are as they were.
///
/// A new file keeps the permission bits of the regular file it replaces (0600 stays 0600); a new name,
/// or a symbolic link in the target's place (the link is replaced, never followed), gets 0666 less the
/// process's mask. On Windows the new file takes the directory's inherited permissions and the renames
/// are written through. No temporary file remains after a failure or an interrupt
/// (interrupt_cleanup.h); interrupts wait while the files are renamed, so an interrupt never leaves the
/// set half replaced. A failure throws ReplacementFailure (a FileError) naming the file and the system's
/// reason, followed for a set of several files by what became of the others. Returns the size of each
/// file written, in order.
std::vector<std::uint64_t> replace_files(const std::vector<FileReplacement>& files);

/// replace_files of one file of `bytes`; the failure says only the system's reason.
void replace_file(const std::string& path, std::string_view bytes);
