// Times two commands side by side: RUNS pairs, A then B, each run after its setup (a shell command line,
// outside the timing). A run is the whole process, from its start to its end, started directly (no shell)
// with its output thrown away; its words are the command line split at spaces, and it must end with status
// 0. Prints one line per pair: A's and B's wall time, then A's and B's processor time (user and system, as
// the system counted it for the child), in microseconds. One pair before them is not counted (it fills
// the page cache).
//   time_pairs RUNS SETUP_A COMMAND_A SETUP_B COMMAND_B
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

/// Runs a shell command line and ends the program when it fails.
void setup(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "time_pairs: the setup failed: %s\n", command.c_str());
    std::exit(1);
  }
}

struct Times {
  long long wall = 0;
  long long processor = 0;
};

long long microseconds(const timeval& time) { return time.tv_sec * 1000000LL + time.tv_usec; }

/// The wall and processor times of one run of `command`, microseconds.
Times run(const std::string& command) {
  std::vector<std::string> words;
  std::istringstream split(command);
  for (std::string word; split >> word;) words.push_back(word);
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, arguments[0], &actions, nullptr, arguments.data(), environ) != 0) {
    std::fprintf(stderr, "time_pairs: cannot start %s\n", arguments[0]);
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "time_pairs: %s failed (status %d)\n", command.c_str(), status);
    std::exit(1);
  }
  return {std::chrono::duration_cast<std::chrono::microseconds>(end - start).count(),
          microseconds(usage.ru_utime) + microseconds(usage.ru_stime)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: time_pairs RUNS SETUP_A COMMAND_A SETUP_B COMMAND_B\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  for (int n = 0; n <= runs; ++n) {
    setup(argv[2]);
    const Times a = run(argv[3]);
    setup(argv[4]);
    const Times b = run(argv[5]);
    if (n > 0) std::printf("%lld %lld %lld %lld\n", a.wall, b.wall, a.processor, b.processor);
  }
  return 0;
}
