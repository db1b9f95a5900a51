#include "platform/display.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPatience{300};
constexpr int kFirstPort = 6000;

/// A display name: `before`, the number, `after` (built by appending: GCC 12 warns wrongly about
/// `"literal" + std::to_string(n)` here).
std::string display_name(const char* before, int number, const char* after = "") {
  std::string name = before;
  name += std::to_string(number);
  name += after;
  return name;
}

/// A listening socket standing for a display's server; the kernel completes connections to it whether or
/// not it accepts them, so unless told to answer it is a server that never answers.
class Listener {
 public:
  ~Listener() {
    if (fd_ >= 0) close(fd_);
    if (answering_.joinable()) answering_.join();
  }
  /// A TCP listener on 127.0.0.1 at the port of a display number that is free here.
  std::optional<int> listen_tcp() {
    for (int number = 200; number < 900; ++number) {
      fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address.sin_port = htons(static_cast<uint16_t>(kFirstPort + number));
      if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 4) == 0) return number;
      close(fd_);
    }
    fd_ = -1;
    return std::nullopt;
  }
  /// A listener on the abstract socket of a display number that is free here (where the X library looks
  /// first for a local display).
  std::optional<int> listen_abstract() {
    for (int number = 200; number < 900; ++number) {
      fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const std::string name = display_name("/tmp/.X11-unix/X", number);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::memcpy(address.sun_path + 1, name.data(), name.size());
      const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
      if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 4) == 0) return number;
      close(fd_);
    }
    fd_ = -1;
    return std::nullopt;
  }
  /// From now on the first connection gets a byte, as a server's reply begins.
  void answer_once() {
    answering_ = std::thread([fd = fd_] {
      const int client = accept(fd, nullptr, nullptr);
      if (client < 0) return;
      char setup[12];
      if (read(client, setup, sizeof setup) > 0) (void)!write(client, "\1", 1);
      close(client);
    });
  }

 private:
  int fd_ = -1;
  std::thread answering_;
};

TEST(DisplayProbe, AServerThatAcceptsButNeverAnswersIsSilent) {
  Listener tcp;
  const auto tcp_number = tcp.listen_tcp();
  ASSERT_TRUE(tcp_number) << "no free port for a display";
  Listener local;
  const auto local_number = local.listen_abstract();
  ASSERT_TRUE(local_number) << "no free abstract socket for a display";
  for (const std::string& name :
       {display_name("127.0.0.1:", *tcp_number), display_name("tcp/127.0.0.1:", *tcp_number, ".0"),
        display_name(":", *local_number), display_name("unix:", *local_number, ".1")}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(probe_display(name, kPatience), DisplayAnswer::Silent);
  }
}

TEST(DisplayProbe, AServerThatRepliesAnswers) {
  Listener tcp;
  const auto number = tcp.listen_tcp();
  ASSERT_TRUE(number) << "no free port for a display";
  tcp.answer_once();
  EXPECT_EQ(probe_display(display_name("127.0.0.1:", *number), std::chrono::seconds(20)), DisplayAnswer::Answered);
}

TEST(DisplayProbe, NamesNotProbedAndPlacesWithoutAServerAreLeftToTheWindowSystem) {
  // A display number whose port nothing listens on: found while it is held, then let go.
  int free_number = 0;
  {
    Listener tcp;
    const auto number = tcp.listen_tcp();
    ASSERT_TRUE(number);
    free_number = *number;
  }
  for (const std::string& name :
       {std::string(""), std::string("host"), std::string("host:x"), std::string("host::0"),
        std::string("/private/tmp/launch-x/org.xquartz:0"), display_name("127.0.0.1:", free_number)}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(probe_display(name, kPatience), DisplayAnswer::Unknown);
  }
}

}  // namespace
