#include "platform/interrupt_cleanup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "support/temporary_directory.h"

namespace fs = std::filesystem;

namespace {

/// Runs `body` in a child process and returns its exit status (-1 when it did not exit).
int status_of_child(const std::function<void()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InterruptCleanup : public ::testing::TestWithParam<int> {
 protected:
  std::string at(const std::string& name) const { return temporary.at(name); }
  test_support::TemporaryDirectory temporary{"interrupt"};
};

TEST_P(InterruptCleanup, RemovesWhatIsRegisteredAndExitsWith128PlusTheSignal) {
  const int signal_number = GetParam();
  for (const char* name : {"registered", "let-go", "never-registered"}) temporary.write(name, "x");
  const int status = status_of_child([&] {
    install_interrupt_cleanup();
    const RemovedOnInterrupt registered(at("registered"));
    { const RemovedOnInterrupt let_go(at("let-go")); }
    const RemovedOnInterrupt absent(at("absent"));  // gone already: no failure
    raise(signal_number);
    _exit(99);  // not reached
  });
  EXPECT_EQ(status, 128 + signal_number);
  EXPECT_EQ(temporary.entries(), (std::set<std::string>{"let-go", "never-registered"}));
}

TEST_P(InterruptCleanup, ADeferredInterruptComesWhenTheDeferralEnds) {
  const int signal_number = GetParam();
  const int status = status_of_child([&] {
    install_interrupt_cleanup();
    const RemovedOnInterrupt registered(at("made-while-deferred"));
    {
      const InterruptsDeferred outer;
      {
        const InterruptsDeferred inner;
        raise(signal_number);
        temporary.write("made-while-deferred", "x");
      }
      temporary.write("after-the-inner-deferral", "x");  // still deferred: the outer one lives
    }
    _exit(99);  // not reached: the interrupt is delivered as the outer deferral ends
  });
  EXPECT_EQ(status, 128 + signal_number);
  EXPECT_EQ(temporary.entries(), std::set<std::string>{"after-the-inner-deferral"});
}

TEST_P(InterruptCleanup, ASignalIgnoredAtTheStartStaysIgnored) {
  const int signal_number = GetParam();
  temporary.write("kept", "x");
  const int status = status_of_child([&] {
    std::signal(signal_number, SIG_IGN);  // as nohup leaves SIGHUP, or a shell a background job's SIGINT
    install_interrupt_cleanup();
    const RemovedOnInterrupt registered(at("kept"));
    raise(signal_number);
    _exit(7);
  });
  EXPECT_EQ(status, 7);
  EXPECT_TRUE(fs::exists(at("kept")));
}

std::string signal_name(const ::testing::TestParamInfo<int>& info) {
  return info.param == SIGINT ? "SIGINT" : info.param == SIGTERM ? "SIGTERM" : "SIGHUP";
}

INSTANTIATE_TEST_SUITE_P(EachInterrupt, InterruptCleanup, ::testing::Values(SIGINT, SIGTERM, SIGHUP), signal_name);

}  // namespace
