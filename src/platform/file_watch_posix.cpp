#include "platform/file_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "platform/file_error.h"

struct FileWatch::System {
  int descriptor = -1;
  /// For each watched directory, the names of the files watched in it.
  std::map<int, std::set<std::string>> names;
};

FileWatch::FileWatch(const std::vector<std::string>& paths) : system_(std::make_unique<System>()) {
  system_->descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (system_->descriptor < 0) throw FileError("inotify", std::strerror(errno));
  for (const std::string& path : paths) {
    const std::filesystem::path file(path);
    const std::string directory = file.has_parent_path() ? file.parent_path().string() : std::string(1, '.');
    const int watch = inotify_add_watch(system_->descriptor, directory.c_str(),
                                        IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM);
    if (watch < 0) {
      const int error = errno;
      close(system_->descriptor);
      throw FileError(directory, std::strerror(error));
    }
    system_->names[watch].insert(file.filename().string());
  }
}

FileWatch::~FileWatch() { close(system_->descriptor); }

namespace {

/// Reads the events waiting on `descriptor`; true when one concerns a watched file.
bool read_events(int descriptor, const std::map<int, std::set<std::string>>& names) {
  bool relevant = false;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got <= 0) return relevant;  // EAGAIN: nothing more waiting
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0) {
        const auto found = names.find(event->wd);
        if (found != names.end() && found->second.contains(event->name)) relevant = true;
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

/// Waits up to `timeout` for the descriptor to be readable; false on a timeout (or an interruption).
bool readable(int descriptor, std::chrono::milliseconds timeout) {
  pollfd ready{descriptor, POLLIN, 0};
  const int count = poll(&ready, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
  return count > 0;
}

}  // namespace

bool FileWatch::wait_for_change(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool changed = false;
  while (!changed) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !readable(system_->descriptor, left)) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      continue;  // interrupted: wait on
    }
    changed = read_events(system_->descriptor, system_->names);
  }
  // Quiet: more events within `quiet` start the wait again.
  while (readable(system_->descriptor, quiet)) read_events(system_->descriptor, system_->names);
  return true;
}
