// What no input, name or neighbour may make the real program do: write over its own inputs, write
// outside its directory, mix its files with another run's, leave debris when interrupted, wait for ever on
// a pipe or a display, read without bound, or lose its output and call it a success.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/directory_lock.h"
#include "platform/files.h"
#include "support/program_run.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using test_support::Outcome;

std::string line_of_length(int metres) {
  return "[generale]\r\nlunghezza percorso, " + std::to_string(metres) + "\r\n[curve]\r\n[fine]\r\n";
}
const std::string kService = "[generale]\r\n[fine]\r\n";

/// The names and bytes of the files of a directory.
std::map<std::string, std::string> contents_of(const std::string& directory) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::directory_iterator(directory))
    contents[entry.path().filename()] = entry.is_regular_file() ? read_file(entry.path()) : "(not a file)";
  return contents;
}

std::set<std::string> names_in(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
  return names;
}

bool is_temporary(const std::string& name) { return name.rfind(".scenario-", 0) == 0; }

/// The program started with `arguments`, without waiting for it; its standard output and error go to
/// /dev/null.
pid_t start(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {SCENARIO_EXECUTABLE};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

/// The exit status of a started program (-1 when it did not exit).
int exit_status(pid_t pid) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Safety : public ::testing::Test {
 public:
  void SetUp() override { fs::create_directory(work()); }

  /// The directory the program runs in; the test's root around it catches what would leave it.
  std::string work() const { return root.at("work"); }
  std::string at(const std::string& name) const { return root.at("work/" + name); }
  void write(const std::string& name, const std::string& bytes) const { root.write("work/" + name, bytes); }
  Outcome scenario(const std::string& arguments, const std::string& environment = "") const {
    return test_support::run_scenario(work(), arguments, environment);
  }

  test_support::TemporaryDirectory root{"safety"};
};

// --- Outputs that are inputs ---------------------------------------------------------------------

TEST_F(Safety, CompileRefusesToWriteOverItsOwnInputsWhateverTheirNames) {
  struct Case {
    const char* name;
    std::function<void(const Safety&)> prepare;
    std::string arguments;
    std::string message;  // a part of the refusal
  };
  const Case cases[] = {
      {"the line description named as the grid",
       [](const Safety& t) {
         t.write("K_7.dat", line_of_length(5000));
         t.write("K_7-.txt", kService);
       },
       "compile K_7.dat K_7-.txt", "the track grid ./K_7.dat would replace the line description K_7.dat"},
      {"the sources named as the trace and the table",
       [](const Safety& t) {
         t.write("K_linea.dat", line_of_length(5000));
         t.write("K_1.sim", kService);
       },
       "compile K_linea.dat K_1.sim --line-key K --train 1",
       "the plan trace ./K_linea.dat would replace the line description K_linea.dat"},
      {"a hard link to the service where the grid goes",
       [](const Safety& t) {
         t.write("K_linea.txt", line_of_length(5000));
         t.write("K_1-.txt", kService);
         fs::create_directory(t.at("out"));
         fs::create_hard_link(t.at("K_1-.txt"), t.at("out/K_1.dat"));
       },
       "compile K_linea.txt K_1-.txt -o out", "the track grid out/K_1.dat would replace the train service K_1-.txt"},
      {"a symbolic link to the line where the table goes",
       [](const Safety& t) {
         t.write("K_linea.txt", line_of_length(5000));
         t.write("K_1-.txt", kService);
         fs::create_directory(t.at("out"));
         fs::create_symlink("../K_linea.txt", t.at("out/K_1.sim"));
       },
       "compile K_linea.txt K_1-.txt -o out",
       "the scenario table out/K_1.sim would replace the line description K_linea.txt"},
      {"documents whose card is the service, under another name",
       [](const Safety& t) {
         t.write("K_linea.txt", line_of_length(5000));
         t.write("K_1-.txt", kService);
         fs::create_directory(t.at("out"));
         fs::create_hard_link(t.at("K_1-.txt"), t.at("out/K_1_scheda_treno.txt"));
       },
       "documents K_linea.txt K_1-.txt -o out",
       "the timetable card out/K_1_scheda_treno.txt would replace the train service K_1-.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(work());
    fs::create_directory(work());
    c.prepare(*this);
    const auto before = contents_of(work());
    const Outcome outcome = scenario(c.arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(contents_of(work()), before);
    if (fs::exists(at("out"))) {
      EXPECT_EQ(names_in(at("out")).size(), 1u);
    }
  }
  // Files of the same names in another directory are other files.
  fs::create_directory(at("elsewhere"));
  EXPECT_EQ(scenario("compile K_linea.txt K_1-.txt -o elsewhere").status, 0);
}

TEST_F(Safety, PreviewRefusesToDrawOverTheFilesItReads) {
  ASSERT_EQ(scenario("generate").status, 0);
  for (const char* input : {"Lesca-Varo_148.dat", "Lesca-Varo_148.sim", "Lesca-Varo_linea.dat"}) {
    SCOPED_TRACE(input);
    const std::string bytes = read_file(at(input));
    fs::remove(at("picture.png"));
    fs::create_hard_link(at(input), at("picture.png"));
    const Outcome outcome = scenario("preview Lesca-Varo_148.dat -o picture.png");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("the picture picture.png would replace the "), std::string::npos) << outcome.err;
    EXPECT_EQ(read_file(at(input)), bytes);
  }
}

// --- Names that leave the directory -----------------------------------------------------------------

TEST_F(Safety, NamesThatWouldLeaveTheDirectoryOrCannotBeFileNamesAreRefused) {
  write("K_linea.txt", line_of_length(5000));
  write("K_1-.txt", kService);
  const std::string long_train(70000, '7');
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"compile K_linea.txt K_1-.txt --line-key ../esc/X -o out", "the line key holds a path separator"},
      {"compile K_linea.txt K_1-.txt --line-key K --train ../../esc/1 -o out",
       "the train number holds a path separator"},
      {"compile K_linea.txt K_1-.txt --train " + long_train + " -o out", "more than the 255 a file name may have"},
      {"new ../esc/X 1 -o out", "the line key holds a path separator"},
      {"new K 1/../../esc -o out", "the train number holds a path separator"},
      {"new K " + long_train + " -o out", "more than the 255 a file name may have"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.substr(0, 80));
    const Outcome outcome = scenario(c.arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err.substr(0, 500);
    EXPECT_EQ(names_in(root.path()), std::set<std::string>{"work"});
    EXPECT_EQ(names_in(work()), (std::set<std::string>{"K_linea.txt", "K_1-.txt"}));
  }
}

// --- Two runs into one directory ------------------------------------------------------------------

TEST_F(Safety, TwoRunsIntoOneDirectoryNeverMixTheirFiles) {
  // Two lines of different lengths, so that each of the three files tells which run wrote it.
  for (const auto& [source, length] : {std::pair{"a", 5000}, std::pair{"b", 6000}}) {
    fs::create_directory(at(source));
    write(std::string(source) + "/K_linea.txt", line_of_length(length));
    write(std::string(source) + "/K_1-.txt", kService);
  }
  std::vector<std::map<std::string, std::string>> sets;
  for (const char* source : {"a", "b"}) {
    const std::string s = source;
    ASSERT_EQ(scenario("compile " + s + "/K_linea.txt " + s + "/K_1-.txt -o alone-" + s).status, 0);
    sets.push_back(contents_of(at("alone-" + s)));
  }
  ASSERT_NE(sets[0].at("K_1.dat"), sets[1].at("K_1.dat"));

  constexpr int kRounds = 12;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    fs::remove_all(at("out"));
    const pid_t first = start({"compile", at("a/K_linea.txt"), at("a/K_1-.txt"), "-o", at("out")});
    const pid_t second = start({"compile", at("b/K_linea.txt"), at("b/K_1-.txt"), "-o", at("out")});
    EXPECT_EQ(exit_status(first), 0);
    EXPECT_EQ(exit_status(second), 0);
    const auto result = contents_of(at("out"));
    ASSERT_TRUE(result == sets[0] || result == sets[1]) << "a mixed set of files";
  }

  // Two runs of the scenario: each runs whole (its sources are not deleted or read by the other).
  fs::remove_all(at("out"));
  ASSERT_EQ(scenario("generate -o out").status, 0);
  const auto generated = contents_of(at("out"));
  constexpr int kGenerateRounds = 4;
  for (int round = 0; round < kGenerateRounds; ++round) {
    SCOPED_TRACE("generate round " + std::to_string(round));
    fs::remove_all(at("out"));
    const pid_t first = start({"generate", "-o", at("out")});
    const pid_t second = start({"generate", "-o", at("out")});
    EXPECT_EQ(exit_status(first), 0);
    EXPECT_EQ(exit_status(second), 0);
    ASSERT_EQ(contents_of(at("out")), generated);
  }
}

TEST_F(Safety, ARunWaitsForTheRunThatHoldsItsDirectory) {
  fs::create_directory(at("out"));
  DirectoryLock other_run;
  ASSERT_TRUE(other_run.try_lock(at("out")));
  const pid_t waiting = start({"generate", "-o", at("out")});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int status = 0;
  EXPECT_EQ(waitpid(waiting, &status, WNOHANG), 0) << "the run did not wait";
  EXPECT_TRUE(names_in(at("out")).empty());
  other_run = DirectoryLock();
  EXPECT_EQ(exit_status(waiting), 0);
  EXPECT_EQ(names_in(at("out")).size(), 6u);
}

// --- Interrupted runs -------------------------------------------------------------------------------

/// Starts the program and stops it (SIGSTOP) as soon as an entry named so that `when` holds is made in
/// `watched` or renamed into it. Returns the stopped process, or nothing when the run ended first.
std::optional<pid_t> start_and_stop_when(const std::vector<std::string>& arguments, const std::string& watched,
                                         const std::function<bool(const std::string&)>& when) {
  const int notes = inotify_init1(IN_CLOEXEC);
  if (notes < 0 || inotify_add_watch(notes, watched.c_str(), IN_CREATE | IN_MOVED_TO) < 0) return std::nullopt;
  const pid_t pid = start(arguments);
  bool stopped = false;
  alignas(inotify_event) char buffer[8192];
  while (!stopped) {
    pollfd entry{notes, POLLIN, 0};
    if (poll(&entry, 1, 20000) <= 0) break;
    const ssize_t got = read(notes, buffer, sizeof buffer);
    if (got <= 0) break;
    for (ssize_t at = 0; at < got && !stopped;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && when(event->name)) stopped = kill(pid, SIGSTOP) == 0;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  close(notes);
  int status = 0;
  if (!stopped || waitpid(pid, &status, WUNTRACED) != pid || !WIFSTOPPED(status)) {
    exit_status(pid);
    return std::nullopt;
  }
  return pid;
}

/// Ends a stopped run with `signal_number` and returns its exit status.
int interrupt(pid_t pid, int signal_number) {
  kill(pid, signal_number);
  kill(pid, SIGCONT);
  return exit_status(pid);
}

struct Interruption {
  const char* name;
  int signal_number;
};
void PrintTo(const Interruption& interruption, std::ostream* out) { *out << interruption.name; }

class InterruptedRun : public Safety, public ::testing::WithParamInterface<Interruption> {};

TEST_P(InterruptedRun, WhileWritingTheLargestFileLeavesNoTemporaryAndNoOutput) {
  // The longest line: its plan trace is the largest file a run writes (about 20 MB).
  write("K_linea.txt", line_of_length(1000000));
  write("K_1-.txt", kService);
  fs::create_directory(at("out"));
  const std::vector<std::string> compile = {"compile", at("K_linea.txt"), at("K_1-.txt"), "-o", at("out")};
  for (int attempt = 0;; ++attempt) {
    ASSERT_LT(attempt, 5) << "the run was never caught while it wrote its first file";
    fs::remove_all(at("out"));
    fs::create_directory(at("out"));
    const auto pid = start_and_stop_when(compile, at("out"), is_temporary);
    if (!pid) continue;
    const std::set<std::string> at_the_stop = names_in(at("out"));
    if (at_the_stop.size() != 1 || !is_temporary(*at_the_stop.begin())) {
      interrupt(*pid, SIGKILL);
      continue;
    }
    EXPECT_EQ(interrupt(*pid, GetParam().signal_number), 128 + GetParam().signal_number);
    EXPECT_EQ(names_in(at("out")), std::set<std::string>{});
    break;
  }
  EXPECT_EQ(read_file(at("K_linea.txt")), line_of_length(1000000));
}

TEST_P(InterruptedRun, OfTheScenarioRemovesTheSourcesItHadNotCompiledYet) {
  fs::create_directory(at("out"));
  for (int attempt = 0;; ++attempt) {
    ASSERT_LT(attempt, 5) << "the run was never caught between writing its sources and compiling them";
    fs::remove_all(at("out"));
    fs::create_directory(at("out"));
    // Stopped once the train service, the second source, has its name.
    const auto pid = start_and_stop_when({"generate", "-o", at("out")}, at("out"),
                                         [](const std::string& name) { return name == "Lesca-Varo_148-.txt"; });
    if (!pid) continue;
    std::set<std::string> at_the_stop = names_in(at("out"));
    if (!at_the_stop.count("Lesca-Varo_linea.txt") || !at_the_stop.count("Lesca-Varo_148-.txt")) {
      interrupt(*pid, SIGKILL);
      continue;
    }
    EXPECT_EQ(interrupt(*pid, GetParam().signal_number), 128 + GetParam().signal_number);
    std::set<std::string> expected;
    for (const std::string& name : at_the_stop)
      if (!is_temporary(name) && name.find(".txt") != std::string::npos && name.find("_148_") != std::string::npos)
        expected.insert(name);  // the documents finished before the interrupt stay
    EXPECT_EQ(names_in(at("out")), expected);
    break;
  }
}

INSTANTIATE_TEST_SUITE_P(EachSignal, InterruptedRun,
                         ::testing::Values(Interruption{"SIGINT", SIGINT}, Interruption{"SIGTERM", SIGTERM},
                                           Interruption{"SIGHUP", SIGHUP}),
                         [](const ::testing::TestParamInfo<Interruption>& info) { return info.param.name; });

// --- Inputs that are no regular files, or too large -------------------------------------------------

TEST_F(Safety, InputsThatAreNoRegularFilesOrLargerThanAnyOfTheirKindAreRefused) {
  ASSERT_EQ(scenario("generate -o scenario").status, 0);
  write("K_1-.txt", kService);
  write("K_linea.txt", line_of_length(5000));
  ASSERT_EQ(mkfifo(at("fifo_linea.txt").c_str(), 0600), 0);  // no writer: opening it would wait for one
  ASSERT_EQ(mkfifo(at("F_1-.txt").c_str(), 0600), 0);
  { std::ofstream(at("huge_linea.txt")); }
  fs::resize_file(at("huge_linea.txt"), (std::uintmax_t{64} << 20) + 1);  // sparse: takes no room

  // Each copy of the scenario's binary files with one of them spoilt.
  const auto spoilt_copy = [&](const std::string& name, const std::function<void(const std::string&)>& spoil) {
    fs::create_directory(at(name));
    for (const char* file : {"Lesca-Varo_148.dat", "Lesca-Varo_148.sim", "Lesca-Varo_linea.dat"})
      fs::copy_file(at(std::string("scenario/") + file), at(name + "/" + file));
    spoil(at(name));
  };
  spoilt_copy("fifo-table", [](const std::string& d) {
    fs::remove(d + "/Lesca-Varo_148.sim");
    mkfifo((d + "/Lesca-Varo_148.sim").c_str(), 0600);
  });
  spoilt_copy("huge-grid", [](const std::string& d) { fs::resize_file(d + "/Lesca-Varo_148.dat", 1 << 21); });
  spoilt_copy("huge-table", [](const std::string& d) { fs::resize_file(d + "/Lesca-Varo_148.sim", 1 << 24); });
  spoilt_copy("huge-trace", [](const std::string& d) { fs::resize_file(d + "/Lesca-Varo_linea.dat", 1 << 26); });

  struct Case {
    std::string arguments;
    std::string error;
  };
  const Case cases[] = {
      {"check fifo_linea.txt K_1-.txt --line-key K", "cannot read fifo_linea.txt: not a regular file"},
      {"compile K_linea.txt F_1-.txt", "cannot read F_1-.txt: not a regular file"},
      {"check /dev/zero K_1-.txt --line-key K", "cannot read /dev/zero: not a regular file"},
      {"compile huge_linea.txt K_1-.txt",
       "cannot read huge_linea.txt: 67108865 bytes, more than a line description or a train service may have (64 MiB)"},
      {"preview fifo-table/Lesca-Varo_148.dat",
       "cannot read the scenario table fifo-table/Lesca-Varo_148.sim: not a regular file; no picture written"},
      {"preview huge-grid/Lesca-Varo_148.dat", "cannot read the track grid huge-grid/Lesca-Varo_148.dat: 2097152 "
                                               "bytes, more than a track grid may have (1 MiB); "
                                               "no picture written"},
      {"preview huge-table/Lesca-Varo_148.dat",
       "cannot read the scenario table huge-table/Lesca-Varo_148.sim: 16777216 bytes, more than a scenario table may "
       "have (8 MiB); no picture written"},
      {"preview huge-trace/Lesca-Varo_148.dat",
       "cannot read the plan trace huge-trace/Lesca-Varo_linea.dat: 67108864 bytes, more than a plan trace may have "
       "(32 MiB); no picture written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    // A run that waited on a pipe would be ended here, and fail the test.
    const Outcome outcome = scenario(c.arguments, "timeout 60");
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.err, "scenario: error: " + c.error + "\n");
  }
  EXPECT_EQ(names_in(at("huge-grid")).size(), 3u);  // no picture
}

// --- An unresponsive display ------------------------------------------------------------------------

TEST_F(Safety, ADisplayThatNeverAnswersLeavesTheRunWithoutAWindow) {
  // A server that accepts connections (the kernel does, on a listening socket) and never answers.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int display = 0;
  for (int number = 300; number < 900 && display == 0; ++number) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(6000 + number));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 4) == 0)
      display = number;
  }
  ASSERT_NE(display, 0) << "no free port for a display";

  // The run without arguments works in the program's own directory: a copy of the program, with
  // scenario-graphics beside it, which runs it when a display is named.
  fs::create_directory(at("bin"));
  fs::copy_file(SCENARIO_EXECUTABLE, at("bin/scenario"));
  fs::copy_file(SCENARIO_GRAPHICS_EXECUTABLE, at("bin/scenario-graphics"));
  const std::string command = "cd '" + work() + "' && DISPLAY=127.0.0.1:" + std::to_string(display) +
                              " timeout 60 bin/scenario < /dev/null > /dev/null 2> err";
  const int status = std::system(command.c_str());
  close(listener);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_file(at("err")), "scenario: note: the display 127.0.0.1:" + std::to_string(display) +
                                      " did not answer within 3 s: the run goes on without a window\n");
  EXPECT_EQ(names_in(at("bin")).size(), 8u);  // the two programs, three documents, three binary files
}

// --- Lost output ------------------------------------------------------------------------------------

TEST_F(Safety, OutputThatCannotBeWrittenIsAFailure) {
  write("K_linea.txt", line_of_length(5000));
  write("K_1-.txt", kService);
  ASSERT_EQ(scenario("generate -o scenario").status, 0);
  struct Case {
    std::string arguments;
    std::string stdout_to;
    std::string stderr_to;
    int status;
  };
  const Case cases[] = {
      {"compile K_linea.txt K_1-.txt -o out", "/dev/full", "", 3},
      {"compile K_linea.txt K_1-.txt -o out --diagnostics-format json", "", "/dev/full", 3},
      {"check K_linea.txt K_1-.txt", "", "/dev/full", 3},
      {"check K_linea.txt K_1-.txt --diagnostics-format sarif", "/dev/full", "", 3},
      {"check --explain E16", "/dev/full", "", 3},
      {"new Demo 1 -o new", "/dev/full", "", 3},
      {"preview scenario/Lesca-Varo_148.dat -o picture.svg", "/dev/full", "", 3},
      {"inspect scenario/Lesca-Varo_148.sim", "/dev/full", "", 3},
      {"--help", "/dev/full", "", 3},
      {"--version", "/dev/full", "", 3},
      // A run that failed keeps its status.
      {"compile absent_linea.txt K_1-.txt", "", "/dev/full", 3},
      {"check K_linea.txt K_1-.txt --bogus", "", "/dev/full", 2},
      // Nothing lost, nothing failed.
      {"generate -o generated", "/dev/full", "/dev/full", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments + " > " + c.stdout_to + " 2> " + c.stderr_to);
    fs::remove_all(at("new"));
    const Outcome outcome = test_support::run_scenario(work(), c.arguments, "", c.stdout_to, c.stderr_to);
    EXPECT_EQ(outcome.status, c.status);
    if (c.stdout_to == "/dev/full" && c.stderr_to.empty() && c.status == 3) {
      // (after the compile's warnings, when it has some)
      EXPECT_TRUE(outcome.err.ends_with("scenario: error: cannot write the standard output\n")) << outcome.err;
    }
  }
}

}  // namespace
