#include "platform/display.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>

// The probe of a display's server, which only scenario-graphics makes (display_fltk.cpp): scenario, linked
// statically, must not hold it, because the C library resolves a host name through modules it loads at run
// time, which must come from the very version it was linked with. Kept apart from display_named()
// (display_posix.cpp), which scenario asks, so that the linker never brings it into scenario.

namespace {

using Clock = std::chrono::steady_clock;

struct DisplayName {
  bool local = false;  // the socket of the display on this machine, then TCP to it
  std::string host;    // for TCP
  int number = 0;
};

std::optional<DisplayName> parse_display_name(std::string name) {
  DisplayName parsed;
  bool tcp_only = false;
  if (name.starts_with("tcp/") || name.starts_with("inet/") || name.starts_with("inet6/")) {
    tcp_only = true;
    name = name.substr(name.find('/') + 1);
  } else if (name.starts_with("unix/") || name.starts_with("local/")) {
    name = name.substr(name.find('/') + 1);
  }
  if (name.empty() || name.front() == '/') return std::nullopt;  // a socket path of another system
  const auto colon = name.rfind(':');
  if (colon == std::string::npos || (colon > 0 && name[colon - 1] == ':')) return std::nullopt;  // DECnet
  std::string host = name.substr(0, colon);
  const std::string rest = name.substr(colon + 1);
  const std::string digits = rest.substr(0, rest.find('.'));
  if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  parsed.number = std::atoi(digits.c_str());
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  parsed.local = !tcp_only && (host.empty() || host == "unix");
  parsed.host = host.empty() || host == "unix" ? "localhost" : host;
  return parsed;
}

std::chrono::milliseconds left_until(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? left : std::chrono::milliseconds{0};
}

/// Waits for `events` on `fd` until the deadline: true when they came.
bool wait_for(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left_until(deadline).count()));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

enum class Connected { Yes, Refused, TimedOut };

/// Connects `fd` (non-blocking) to an address before the deadline.
Connected connect_before(int fd, const sockaddr* address, socklen_t length, Clock::time_point deadline) {
  if (connect(fd, address, length) == 0) return Connected::Yes;
  if (errno != EINPROGRESS && errno != EAGAIN) return Connected::Refused;
  if (!wait_for(fd, POLLOUT, deadline)) return Connected::TimedOut;
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) return Connected::Refused;
  return Connected::Yes;
}

/// The first open of the X protocol: byte order, version 11.0, no authorisation. Every server answers it
/// with a reply (success, failure or a demand to authenticate).
constexpr unsigned char kConnectionSetup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};

DisplayAnswer answer_on(int fd, Clock::time_point deadline) {
  if (send(fd, kConnectionSetup, sizeof kConnectionSetup, MSG_NOSIGNAL) !=
      static_cast<ssize_t>(sizeof kConnectionSetup))
    return DisplayAnswer::Answered;  // the server closed at once: the window system will find it out
  if (!wait_for(fd, POLLIN, deadline)) return DisplayAnswer::Silent;
  return DisplayAnswer::Answered;
}

/// Where a probe stands: what the server did, and the connection that DisplayProbe keeps.
struct Probe {
  DisplayAnswer answer = DisplayAnswer::Unknown;
  int fd = -1;
};

/// Tries one address; true when it settled the probe (an answer or silence).
bool try_address(Probe& probe, int family, const sockaddr* address, socklen_t length, Clock::time_point deadline) {
  const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  switch (connect_before(fd, address, length, deadline)) {
    case Connected::Refused:
      close(fd);
      return false;
    case Connected::TimedOut:
      close(fd);
      probe.answer = DisplayAnswer::Silent;
      return true;
    case Connected::Yes:
      probe.fd = fd;
      probe.answer = answer_on(fd, deadline);
      return true;
  }
  return false;
}

bool try_local(Probe& probe, const std::string& path, bool abstract, Clock::time_point deadline) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // an abstract name begins with a NUL byte
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  return try_address(probe, AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length, deadline);
}

bool try_tcp(Probe& probe, const std::string& host, int port, Clock::time_point deadline) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool settled = false;
  for (addrinfo* each = found; each != nullptr && !settled; each = each->ai_next)
    settled = try_address(probe, each->ai_family, each->ai_addr, each->ai_addrlen, deadline);
  freeaddrinfo(found);
  return settled;
}

void open_probe(Probe& probe, const std::string& name, std::chrono::milliseconds patience) {
  const auto parsed = parse_display_name(name);
  if (!parsed) return;
  const Clock::time_point deadline = Clock::now() + patience;
  constexpr int kFirstPort = 6000;
  if (parsed->local) {
    const std::string socket_path = "/tmp/.X11-unix/X" + std::to_string(parsed->number);
    if (try_local(probe, socket_path, /*abstract=*/true, deadline)) return;
    if (try_local(probe, socket_path, /*abstract=*/false, deadline)) return;
  }
  try_tcp(probe, parsed->host, kFirstPort + parsed->number, deadline);
}

}  // namespace

DisplayProbe::DisplayProbe(const std::string& name, std::chrono::milliseconds patience) {
  Probe probe;
  open_probe(probe, name, patience);
  answer_ = probe.answer;
  fd_ = probe.fd;
}

DisplayProbe::~DisplayProbe() {
  if (fd_ >= 0) close(fd_);
}

DisplayAnswer probe_display(const std::string& name, std::chrono::milliseconds patience) {
  return DisplayProbe(name, patience).answer();
}
