// `scenario watch` through the real executable: a round at the start, a round after each change of a
// source (an edit in place or an editor's save by rename), an end with Ctrl-C that leaves nothing behind.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

const std::string kLine = "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n";
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}
const std::string kSignal = "segnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\r\n";

/// The program watching, its standard output read line by line.
class Watcher {
 public:
  Watcher(const std::string& directory, const std::vector<std::string>& arguments) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    child_ = fork();
    if (child_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      if (chdir(directory.c_str()) != 0) _exit(126);
      std::vector<char*> argv{const_cast<char*>(SCENARIO_EXECUTABLE)};
      for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
  }
  ~Watcher() {
    if (child_ > 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    close(out_);
  }

  /// The next line of standard output, or "" when none came within the time.
  std::string next_line(std::chrono::seconds within = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
      if (const auto end = buffer_.find('\n'); end != std::string::npos) {
        const std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return "";
      pollfd ready{out_, POLLIN, 0};
      if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(out_, chunk, sizeof chunk);
      if (got <= 0) return "";
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

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
  int out_ = -1;
  std::string buffer_;
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
