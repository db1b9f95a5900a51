// `scenario watch` through the real executable: a round at the start, a round after each change of a
// source (an edit in place or an editor's save by rename), an end with Ctrl-C that leaves nothing behind;
// a watch that goes on when its directory is replaced, when the system's queue of changes overflows and
// when a source is a link to a file elsewhere; a watch that cannot start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>
#include "support/program_run.h"

#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

const std::string kLine = "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n";
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}
const std::string kSignal = "segnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";

/// One output of the program, read line by line.
class LineReader {
 public:
  explicit LineReader(int descriptor) : descriptor_(descriptor) {}
  ~LineReader() { close(descriptor_); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// The next line, or "" when none came within the time.
  std::string next_line(std::chrono::seconds within = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
      if (const auto end = buffer_.find('\n'); end != std::string::npos) {
        const std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return "";
      pollfd ready{descriptor_, POLLIN, 0};
      if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(descriptor_, chunk, sizeof chunk);
      if (got <= 0) return "";
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

  /// The first line that holds `text`, skipping the lines before it; "" when none came within the time.
  std::string line_with(const std::string& text, std::chrono::seconds within = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return "";
      const std::string line = next_line(left);
      if (line.find(text) != std::string::npos) return line;
      if (line.empty() && std::chrono::steady_clock::now() >= deadline) return "";
    }
  }

 private:
  int descriptor_;
  std::string buffer_;
};

/// The program watching, its standard output and error read line by line.
class Watcher {
 public:
  Watcher(const std::string& directory, const std::vector<std::string>& arguments) {
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    child_ = fork();
    if (child_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      for (const int end : {out[0], out[1], err[0], err[1]}) close(end);
      if (chdir(directory.c_str()) != 0) _exit(126);
      std::vector<char*> argv{const_cast<char*>(SCENARIO_EXECUTABLE)};
      for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = std::make_unique<LineReader>(out[0]);
    err_ = std::make_unique<LineReader>(err[0]);
  }
  ~Watcher() {
    if (child_ > 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
  }

  /// The next line of standard output, or "" when none came within the time.
  std::string next_line(std::chrono::seconds within = std::chrono::seconds(20)) { return out_->next_line(within); }
  /// The first line of standard output that holds `text` ("" when none came within 20 s).
  std::string line_with(const std::string& text) { return out_->line_with(text); }
  /// The first line of standard error that holds `text` ("" when none came within 20 s).
  std::string error_with(const std::string& text) { return err_->line_with(text); }

  /// Stops the program (SIGSTOP) and waits until the system shows it stopped; false when it did not.
  bool pause() {
    kill(child_, SIGSTOP);
    for (int n = 0; n < 200; ++n) {
      std::ifstream stat("/proc/" + std::to_string(child_) + "/stat");
      std::string pid, name, state;
      stat >> pid >> name >> state;  // the name is in parentheses, without spaces for this program
      if (state == "T" || state == "t") return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  void resume() { kill(child_, SIGCONT); }

  /// Sends Ctrl-C and waits for the end; the raw wait status.
  int interrupt() {
    kill(child_, SIGINT);
    int status = 0;
    for (int n = 0; n < 200; ++n) {
      if (waitpid(child_, &status, WNOHANG) == child_) {
        child_ = -1;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

 private:
  pid_t child_ = -1;
  std::unique_ptr<LineReader> out_;
  std::unique_ptr<LineReader> err_;
};

TEST(Watch, ARoundAtTheStartAndAfterEachChangeThenCtrlCEndsIt) {
  const test_support::TemporaryDirectory directory("watch");
  directory.write("W_linea.txt", kLine);
  directory.write("W_1-.txt", service_with(kSignal));
  Watcher watcher(directory.path(), {"watch", "W_linea.txt", "W_1-.txt", "-o", "out", "--preview", "w.svg"});

  const std::string first = watcher.next_line();
  EXPECT_NE(first.find("round 1: 0 errors, 0 warnings; wrote W_linea.dat, W_1.sim, W_1.dat, w.svg"), std::string::npos)
      << first;
  EXPECT_TRUE(fs::exists(directory.at("out/W_1.dat")));
  EXPECT_TRUE(fs::exists(directory.at("w.svg")));
  const auto grid_before = directory.read("out/W_1.dat");

  // An editor's save: a new file renamed over the source. The error keeps the earlier files.
  directory.write("W_1-.txt.new", service_with(kSignal + kSignal));
  fs::rename(directory.at("W_1-.txt.new"), directory.at("W_1-.txt"));
  const std::string second = watcher.next_line();
  EXPECT_NE(second.find("round 2: 1 error, 0 warnings; no file written"), std::string::npos) << second;
  EXPECT_EQ(directory.read("out/W_1.dat"), grid_before);

  // A write in place, with a change that compiles.
  directory.write("W_linea.txt", "[generale]\r\nlunghezza percorso, 6000\r\n[curve]\r\n[fine]\r\n");
  directory.write("W_1-.txt", service_with(kSignal));
  const std::string third = watcher.next_line();
  EXPECT_NE(third.find("round 3: 0 errors, 0 warnings; wrote"), std::string::npos) << third;
  // The two writes came within the quiet time, or not: either way the last round saw both.
  std::string last = third;
  for (std::string more; !(more = watcher.next_line(std::chrono::seconds(1))).empty();) last = more;
  EXPECT_NE(last.find("0 errors"), std::string::npos) << last;
  EXPECT_EQ(fs::file_size(directory.at("out/W_1.dat")), 15u * 261u);  // 6000 + 7000 m: cells 0 to 260

  const int status = watcher.interrupt();
  ASSERT_NE(status, -1) << "Ctrl-C did not end it";
  EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) || (WIFEXITED(status) && WEXITSTATUS(status) == 130));
  for (const std::string& where : {std::string(), std::string("out")})
    for (const std::string& name : directory.entries(where)) EXPECT_FALSE(name.starts_with(".scenario-")) << name;
}

/// Sources in a directory of their own, watched from its parent, after their first round.
struct WatchedDirectory {
  test_support::TemporaryDirectory directory{"watch"};
  std::unique_ptr<Watcher> watcher;

  WatchedDirectory() {
    directory.write("d/W_linea.txt", kLine);
    directory.write("d/W_1-.txt", service_with(kSignal));
    watcher = std::make_unique<Watcher>(directory.path(),
                                        std::vector<std::string>{"watch", "d/W_linea.txt", "d/W_1-.txt", "-o", "out"});
  }
};

/// Ways of taking the directory of the sources away and putting one with the same sources at its place.
struct DirectoryReplacement {
  const char* name;
  const char* reason;  // as the program says why it lost the watch
  void (*replace)(const test_support::TemporaryDirectory& directory);
};

void PrintTo(const DirectoryReplacement& replacement, std::ostream* out) { *out << replacement.name; }

class WatchedDirectoryReplaced : public ::testing::TestWithParam<DirectoryReplacement> {};

TEST_P(WatchedDirectoryReplaced, IsWatchedAgainAtItsPath) {
  WatchedDirectory watched;
  Watcher& watcher = *watched.watcher;
  const test_support::TemporaryDirectory& directory = watched.directory;
  ASSERT_NE(watcher.line_with("round 1: 0 errors"), "");

  GetParam().replace(directory);
  directory.write("d/W_1-.txt", service_with(kSignal + kSignal));
  EXPECT_NE(watcher.line_with("1 error, 0 warnings; no file written"), "") << "no round after the directory came back";
  EXPECT_NE(watcher.error_with(std::string("scenario: lost the watch of d: ") + GetParam().reason), "");
  EXPECT_NE(watcher.error_with("scenario: watching d again"), "");

  // The new directory is the one watched now.
  directory.write("d/W_1-.txt", service_with(kSignal));
  EXPECT_NE(watcher.line_with("0 errors, 0 warnings; wrote"), "");
}

INSTANTIATE_TEST_SUITE_P(Watch, WatchedDirectoryReplaced,
                         ::testing::Values(
                             // mv d d.old; cp -r d.old d
                             DirectoryReplacement{"MovedAndCopiedBack", "it was moved",
                                                  [](const test_support::TemporaryDirectory& directory) {
                                                    fs::rename(directory.at("d"), directory.at("d.old"));
                                                    fs::copy(directory.at("d.old"), directory.at("d"),
                                                             fs::copy_options::recursive);
                                                  }},
                             // rm -r d; mkdir d, and the sources written again
                             DirectoryReplacement{"DeletedAndMadeAgain", "it was deleted",
                                                  [](const test_support::TemporaryDirectory& directory) {
                                                    const std::string line = directory.read("d/W_linea.txt");
                                                    fs::remove_all(directory.at("d"));
                                                    directory.write("d/W_linea.txt", line);
                                                  }}),
                         [](const ::testing::TestParamInfo<DirectoryReplacement>& info) {
                           return std::string(info.param.name);
                         });

TEST(Watch, ARoundAfterTheSystemsQueueOfChangesOverflowed) {
  std::ifstream limit_file("/proc/sys/fs/inotify/max_queued_events");
  long limit = 0;
  if (!(limit_file >> limit) || limit <= 0 || limit > 1000000)
    GTEST_SKIP() << "no usable bound of the queue: " << limit;

  WatchedDirectory watched;
  Watcher& watcher = *watched.watcher;
  const test_support::TemporaryDirectory& directory = watched.directory;
  ASSERT_NE(watcher.line_with("round 1: 0 errors"), "");

  // While the program sleeps, more changes than the queue holds, then the change of a source: its
  // notice is lost with the overflow, so only the overflow can tell the program.
  ASSERT_TRUE(watcher.pause());
  const std::string names[] = {directory.at("d/other-a"), directory.at("d/other-b")};
  for (long n = 0; n <= limit + 16; ++n) {
    const int file = open(names[n % 2].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(file, 0);
    close(file);
  }
  directory.write("d/W_1-.txt", service_with(kSignal + kSignal));
  watcher.resume();

  EXPECT_NE(watcher.line_with("1 error, 0 warnings; no file written"), "") << "no round after the overflow";
  EXPECT_NE(watcher.error_with("scenario: the system's queue of changes overflowed"), "");
}

TEST(Watch, ASourceThatIsALinkToAFileInAnotherDirectory) {
  const test_support::TemporaryDirectory directory("watch");
  directory.write("d/W_linea.txt", kLine);
  directory.write("elsewhere/service.txt", service_with(kSignal));
  fs::create_symlink("../elsewhere/service.txt", directory.at("d/W_1-.txt"));
  Watcher watcher(directory.path(), {"watch", "d/W_linea.txt", "d/W_1-.txt", "-o", "out"});
  ASSERT_NE(watcher.line_with("round 1: 0 errors"), "");

  // An editor's save of the file the link leads to.
  directory.write("elsewhere/service.txt.new", service_with(kSignal + kSignal));
  fs::rename(directory.at("elsewhere/service.txt.new"), directory.at("elsewhere/service.txt"));
  EXPECT_NE(watcher.line_with("1 error, 0 warnings; no file written"), "") << "no round after the linked file changed";

  // A write in place.
  directory.write("elsewhere/service.txt", service_with(kSignal));
  EXPECT_NE(watcher.line_with("0 errors, 0 warnings; wrote"), "");

  // The link led elsewhere: the new file is watched, and the round reads it.
  directory.write("third/service.txt", service_with(kSignal + kSignal));
  fs::remove(directory.at("d/W_1-.txt"));
  fs::create_symlink("../third/service.txt", directory.at("d/W_1-.txt"));
  EXPECT_NE(watcher.line_with("1 error, 0 warnings; no file written"), "");
  directory.write("third/service.txt", service_with(kSignal));
  EXPECT_NE(watcher.line_with("0 errors, 0 warnings; wrote"), "") << "the new target is not watched";
}

TEST(Watch, AWatchThatCannotStartSaysWhichDirectoryAndWhy) {
  const test_support::TemporaryDirectory directory("watch");
  const test_support::Outcome outcome =
      test_support::run_scenario(directory.path(), "watch missing/W_linea.txt missing/W_1-.txt");
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(outcome.err, "scenario: error: cannot watch missing: No such file or directory\n");
  EXPECT_EQ(outcome.out, "");
}

TEST(Watch, AFileNameThatIsNotUtf8IsShownWithReplacementsInJson) {
  const test_support::TemporaryDirectory directory("watch");
  const std::string line = "citt\xE0_linea.txt";
  const std::string service = "citt\xE0_1-.txt";
  directory.write(line, kLine);
  directory.write(service, service_with(kSignal + kSignal));  // two signals at one place: an error
  Watcher watcher(directory.path(), {"watch", line, service, "-o", "out", "--diagnostics-format", "json"});
  const std::string diagnostic = watcher.next_line();
  ASSERT_FALSE(diagnostic.empty()) << "the round ended the program";
  const auto json = nlohmann::json::parse(diagnostic);  // throws on a byte that is no UTF-8
  EXPECT_EQ(json["file"].get<std::string>(), "citt\xEF\xBF\xBD_1-.txt");
  const std::string round = watcher.next_line();
  EXPECT_NE(round.find("round 1: 1 error, 0 warnings; no file written"), std::string::npos) << round;
}

}  // namespace
