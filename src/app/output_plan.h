#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/directory_lock.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/status.h"
#include "scenario/file_names.h"

// How a command writes its files: one function names them, one plan decides (before anything is
// done, and without touching the disk but through the identities it is given), one executor makes and
// locks the directories, writes the set all or nothing and says what it wrote.

/// A file a run reads or writes, with what it is to the run ("line description").
struct RunFile {
  std::string role;
  std::string path;
};

/// The files `files` of the pair `line_key`, `train_number` in `directory`, each with its role.
std::vector<RunFile> scenario_outputs(const std::string& directory, std::span<const ScenarioFile> files,
                                      const std::string& line_key, const std::string& train_number);
/// The three binary files (binary_files()) in `directory`.
std::vector<RunFile> binary_outputs(const std::string& directory, const std::string& line_key,
                                    const std::string& train_number);

/// What the plan learns of the disk: the identity of the file or directory a path leads to, or none when
/// nothing is there (file_identity; a table in tests).
using IdentityOf = std::function<std::optional<FileIdentity>(const std::string&)>;

/// What a command will write, decided before anything is done.
struct OutputPlan {
  std::vector<RunFile> outputs;
  /// The directories to make and lock, in order, each once: a directory that is another's under a
  /// second name (the same identity) is left out, since a second lock would wait for the first.
  std::vector<std::string> directories;
};

/// Decides how `outputs` are written into `directories`: refused (InvalidArgument, "the R P would
/// replace the R2 P2, which this run reads (they are one file): nothing written") when an output is one
/// of the `inputs`, the same file whatever the names (compared by identity, through links), so that
/// writing it would destroy what is being read.
Result<OutputPlan> plan_outputs(const std::vector<RunFile>& inputs, std::vector<RunFile> outputs,
                                const std::vector<std::string>& directories,
                                const IdentityOf& identity_of = file_identity);

/// The locks a carried-out plan holds, for as long as the caller keeps them.
using DirectoryLocks = std::vector<DirectoryLock>;

/// Makes and locks every directory of the plan (claim_output_directory), in order; the locks go into
/// `locks`. The first failure stops it.
Status claim_directories(const OutputPlan& plan, DirectoryLocks& locks);

/// What writes the bytes of one output.
using OutputWriter = std::function<void(ByteSink&)>;

/// Replaces `outputs` all or nothing, the bytes of output n written by `writers[n]` (replace_files).
/// Returns the size of each file, or an IOError "cannot write P: R" naming the file (and, for several
/// files, what became of the others).
Result<std::vector<std::uint64_t>> write_outputs(const std::vector<RunFile>& outputs,
                                                 const std::vector<OutputWriter>& writers);

/// Carries a plan out: claims its directories, then writes its outputs (write_outputs). Returns the size
/// of each file, or what stopped it.
Result<std::vector<std::uint64_t>> carry_out(const OutputPlan& plan, const std::vector<OutputWriter>& writers,
                                             DirectoryLocks& locks);

/// The files written, for a report: their names without the directory, "A, B, C", or with `sizes`
/// "A (N bytes), B (M bytes)".
std::string written_files(const std::vector<RunFile>& outputs, const std::vector<std::uint64_t>& sizes = {});
