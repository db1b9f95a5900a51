#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/standard_io.h"

Result<std::size_t> read_standard_input(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Status::io_error("standard input", std::strerror(errno));
    return static_cast<std::size_t>(got);
  }
}

Status write_standard_output(std::string_view bytes) {
  // A reader that goes away closes the pipe: the write then fails with a reason instead of a signal.
  static const bool broken_pipes_ignored = [] {
    std::signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)broken_pipes_ignored;
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0)
      return Status::io_error("standard output", written < 0 ? std::strerror(errno) : "nothing written");
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}
