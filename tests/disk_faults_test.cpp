// The real program when an output file cannot be written: a directory in the place of the file, a limit on
// the size of a file, a read-only directory. Every case runs both the window run (no arguments, in the
// program's own directory) and "generate -o DIR", and checks the message naming the file, the exit status (3),
// the files written before it (whole, with the bytes of a run that succeeds; the three binary files are
// one set, replaced all or none), the files not reached (left as they were) and that no temporary file
// stays behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

enum class Kind { Source, Document, Binary };

struct Output {
  const char* name;
  Kind kind;
};

/// Every file of the run, in the order the run writes them.
const std::vector<Output> kOutputs = {
    {"Lesca-Varo_linea.txt", Kind::Source},
    {"Lesca-Varo_148-.txt", Kind::Source},
    {"Lesca-Varo_148_note.txt", Kind::Document},
    {"Lesca-Varo_148_rallentamenti.txt", Kind::Document},
    {"Lesca-Varo_148_scheda_treno.txt", Kind::Document},
    {"Lesca-Varo_linea.dat", Kind::Binary},
    {"Lesca-Varo_148.sim", Kind::Binary},
    {"Lesca-Varo_148.dat", Kind::Binary},
};

/// The binary files are written after the compilation, which has deleted both text sources.
const std::size_t kFirstBinary = 5;

constexpr const char* kTemporaryPrefix = ".scenario-";
constexpr uid_t kUnprivilegedId = 65534;

/// The exit statuses of the README's table: a run without error, a file that cannot be written.
constexpr int kSuccessStatus = 0;
constexpr int kFileFailureStatus = 3;

enum class Mode { Window, Generate };

std::string mode_name(const ::testing::TestParamInfo<Mode>& info) {
  return info.param == Mode::Window ? "WindowRun" : "Generate";
}

struct Outcome {
  int status = -1;
  std::string error_output;
};

/// Runs `argv` in a child without a display, from "/"; returns its exit status and standard error. With a
/// `file_size_limit`, no file of the child may grow beyond it (RLIMIT_FSIZE, SIGXFSZ ignored).
Outcome run_child(const std::vector<std::string>& argv, std::optional<rlim_t> file_size_limit = std::nullopt) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_ends[1], STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    unsetenv("DISPLAY");
    if (chdir("/") != 0) _exit(126);
    if (file_size_limit) {
      const rlimit limit{*file_size_limit, *file_size_limit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
      // Ignored, the signal leaves the write to fail with EFBIG; the disposition survives exec.
      std::signal(SIGXFSZ, SIG_IGN);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  Outcome outcome;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipe_ends[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    outcome.error_output.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_ends[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

/// The command that runs a program as the unprivileged user, or nothing when that is not possible here.
std::optional<std::vector<std::string>> unprivileged_prefix() {
  if (geteuid() != 0) return std::vector<std::string>{};  // already without privileges
  const std::vector<std::vector<std::string>> candidates = {
      {"/usr/bin/setpriv", "--reuid=" + std::to_string(kUnprivilegedId), "--regid=" + std::to_string(kUnprivilegedId),
       "--clear-groups", "--"},
      {"/usr/sbin/runuser", "-u", "nobody", "--"},
  };
  for (const auto& prefix : candidates) {
    if (access(prefix[0].c_str(), X_OK) != 0) continue;
    // The user must really be another one, with no power over files it does not own.
    std::vector<std::string> probe = prefix;
    probe.insert(probe.end(), {"/bin/sh", "-c", "test \"$(id -u)\" != 0 && ! test -w /root"});
    if (run_child(probe).status == 0) return prefix;
  }
  return std::nullopt;
}

std::string bytes_of(const std::string& path) {
  try {
    return read_file(path);
  } catch (...) {
    return "(unreadable)";
  }
}

void write_bytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

/// The content a file had before the run, different from anything the run writes.
std::string old_content(const Output& output) { return std::string("earlier ") + output.name + "\r\n"; }

class DiskFaults : public ::testing::TestWithParam<Mode> {
 protected:
  /// The bytes of each output of a run that succeeds. The run deletes the text sources, so theirs come
  /// from the line tables the run writes them from.
  static void SetUpTestSuite() {
    const test_support::TemporaryDirectory temporary("disk-faults-reference");
    const std::string& directory = temporary.path();
    const Outcome outcome = run_child({SCENARIO_EXECUTABLE, "generate", "-o", directory});
    ASSERT_EQ(outcome.status, kSuccessStatus) << outcome.error_output;
    reference_ = new std::map<std::string, std::string>;
    for (const Output& output : kOutputs) {
      if (output.kind != Kind::Source) (*reference_)[output.name] = read_file(path_in(directory, output.name));
    }
    (*reference_)[kOutputs[0].name] = encode_lines(line_description_lines());
    (*reference_)[kOutputs[1].name] = encode_lines(train_service_lines());
  }
  static void TearDownTestSuite() {
    delete reference_;
    reference_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(reference_, nullptr);
    temporary_ = std::make_unique<test_support::TemporaryDirectory>("disk-faults");
    root_ = temporary_->path();
    // Open to every user: the read-only case runs the program as another user.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::create_directory(path_in(root_, "bin"));
    fs::create_directory(path_in(root_, "out"));
    executable_ = path_in(path_in(root_, "bin"), "scenario");
    fs::copy_file(SCENARIO_EXECUTABLE, executable_);
  }
  void TearDown() override {
    for (const char* sub : {"bin", "out"})
      fs::permissions(path_in(root_, sub), fs::perms::owner_all, fs::perm_options::add);
    temporary_.reset();
  }

  /// Where the mode's run writes: the program's own directory, or the directory given to generate.
  std::string output_directory() const { return path_in(root_, GetParam() == Mode::Window ? "bin" : "out"); }

  /// Puts an earlier version of every output in place, except where `except` names a directory.
  void put_earlier_outputs(std::optional<std::size_t> except = std::nullopt) {
    for (std::size_t n = 0; n < kOutputs.size(); ++n)
      if (n != except) write_bytes(path_in(output_directory(), kOutputs[n].name), old_content(kOutputs[n]));
  }

  /// Empties the output directory, but for the program.
  void remove_outputs() {
    for (const auto& entry : fs::directory_iterator(output_directory()))
      if (entry.path().filename() != "scenario") fs::remove_all(entry.path());
  }

  /// Runs the mode's command, after `prefix` (the command that changes the user).
  Outcome run(std::optional<rlim_t> file_size_limit = std::nullopt, const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> argv = prefix;
    argv.push_back(executable_);
    if (GetParam() == Mode::Generate) argv.insert(argv.end(), {"generate", "-o", output_directory()});
    return run_child(argv, file_size_limit);
  }

  /// The message of each mode for output `failed` that cannot be written. The binary files are one set:
  /// the message goes on to say that the other two were not replaced.
  std::string expected_message(std::size_t failed, int error) const {
    const std::string directory = output_directory();
    const std::string path = path_in(directory, kOutputs[failed].name);
    std::string reason = std::strerror(error);
    if (kOutputs[failed].kind == Kind::Binary) {
      std::vector<std::string> others;
      for (std::size_t n = kFirstBinary; n < kOutputs.size(); ++n)
        if (n != failed) others.push_back(path_in(directory, kOutputs[n].name));
      reason += "; no file was replaced (" + others[0] + " and " + others[1] + " are as they were)";
    }
    if (GetParam() == Mode::Window) return "Errore sul file " + path + ": " + reason + "\n";
    return "scenario: error: cannot write " + path + ": " + reason + "\n";
  }

  /// Checks a run that failed on output `failed` with `error`: its message and status; the outputs
  /// before it as a successful run leaves them (the sources deleted once the binary files are reached),
  /// but for the binary files, which are replaced all or none; the failed one and those after it as they
  /// were (`failed_is_directory`: an empty directory); and no other entry in the directory.
  void expect_failed_on(std::size_t failed, int error, const Outcome& outcome, bool failed_is_directory) {
    const std::string directory = output_directory();
    const Output& output = kOutputs[failed];
    SCOPED_TRACE(std::string("failing on ") + output.name);
    EXPECT_EQ(outcome.status, kFileFailureStatus);
    EXPECT_EQ(outcome.error_output, expected_message(failed, error));

    std::set<std::string> expected_entries;
    if (GetParam() == Mode::Window) expected_entries.insert("scenario");
    for (std::size_t n = 0; n < kOutputs.size(); ++n) {
      const std::string name = kOutputs[n].name;
      const std::string path = path_in(directory, name);
      const bool set_not_replaced = kOutputs[n].kind == Kind::Binary && output.kind == Kind::Binary;
      if (n < failed && !set_not_replaced) {
        if (kOutputs[n].kind == Kind::Source && failed >= kFirstBinary) continue;  // read and deleted
        EXPECT_EQ(bytes_of(path), reference_->at(name)) << name << " is not whole";
      } else if (n == failed && failed_is_directory) {
        EXPECT_TRUE(fs::is_directory(path) && fs::is_empty(path)) << name << " is no longer an empty directory";
      } else {
        EXPECT_EQ(bytes_of(path), old_content(kOutputs[n])) << name << " was changed";
      }
      expected_entries.insert(name);
    }
    std::set<std::string> entries;
    for (const auto& entry : fs::directory_iterator(directory)) {
      const std::string name = entry.path().filename();
      EXPECT_NE(name.rfind(kTemporaryPrefix, 0), 0u) << "temporary file left behind: " << name;
      entries.insert(name);
    }
    EXPECT_EQ(entries, expected_entries);
  }

  static inline std::map<std::string, std::string>* reference_ = nullptr;
  std::unique_ptr<test_support::TemporaryDirectory> temporary_;
  std::string root_;
  std::string executable_;
};

TEST_P(DiskFaults, ADirectoryInThePlaceOfEachOutput) {
  for (std::size_t failed = 0; failed < kOutputs.size(); ++failed) {
    put_earlier_outputs(failed);
    fs::create_directory(path_in(output_directory(), kOutputs[failed].name));
    const Outcome outcome = run();
    expect_failed_on(failed, EISDIR, outcome, /*failed_is_directory=*/true);
    remove_outputs();
  }
}

TEST_P(DiskFaults, AFileSizeLimitStopsTheFirstLargerFile) {
  // A limit as large as the largest file before an output makes that output the first to fail, when it
  // is larger than all of them (the first one is stopped one byte short). With the run's sizes that
  // reaches the line description, two documents and the plan trace; the table and the grid, written
  // after the plan trace and smaller than it, cannot be reached this way (the directory case covers them).
  struct Case {
    std::size_t failed;
    rlim_t limit;
  };
  std::vector<Case> cases;
  std::size_t largest_before = 0;
  for (std::size_t n = 0; n < kOutputs.size(); ++n) {
    const std::size_t size = reference_->at(kOutputs[n].name).size();
    if (size > largest_before) cases.push_back({n, n == 0 ? size - 1 : largest_before});
    largest_before = std::max(largest_before, size);
  }
  for (Kind kind : {Kind::Source, Kind::Document, Kind::Binary})
    ASSERT_TRUE(std::any_of(cases.begin(), cases.end(), [&](const Case& c) { return kOutputs[c.failed].kind == kind; }))
        << "no output of this kind can be stopped by a size limit";

  for (const Case& c : cases) {
    SCOPED_TRACE("limit " + std::to_string(c.limit) + " bytes");
    put_earlier_outputs();
    const Outcome outcome = run(c.limit);
    expect_failed_on(c.failed, EFBIG, outcome, /*failed_is_directory=*/false);
    remove_outputs();
  }
}

TEST_P(DiskFaults, AReadOnlyDirectoryStopsTheFirstFile) {
  const auto prefix = unprivileged_prefix();
  if (!prefix)
    GTEST_SKIP() << "running as root, and no way here to run the program as an unprivileged user "
                    "(setpriv, runuser): permissions would not stop its writes";
  put_earlier_outputs();
  fs::permissions(output_directory(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const Outcome outcome = run(std::nullopt, *prefix);
  expect_failed_on(0, EACCES, outcome, /*failed_is_directory=*/false);
}

INSTANTIATE_TEST_SUITE_P(BothRuns, DiskFaults, ::testing::Values(Mode::Window, Mode::Generate), mode_name);

}  // namespace
