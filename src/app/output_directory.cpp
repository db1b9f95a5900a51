#include "app/output_directory.h"

#include <filesystem>
#include <iostream>
#include <system_error>
#include <thread>

#include "platform/file_error.h"
#include "platform/files.h"

namespace fs = std::filesystem;

Status create_output_directory(const std::string& directory) {
  const auto refused = [&directory](std::string why) { return Status::io_error(directory, std::move(why)); };
  if (directory.empty()) return refused("an empty name is no directory");
  // The parts that exist are looked at one by one, so that the message names the one in the way rather
  // than the whole path with the system's "Not a directory".
  // The parts to make are checked before the first is made: a name the system refuses leaves nothing.
  fs::path prefix;
  bool missing = false;
  for (const fs::path& part : filesystem_path(directory)) {
    prefix /= part;
    if (prefix == prefix.root_name()) continue;  // "C:" alone names the drive's current directory: not a part
    if (!missing) {
      std::error_code error;
      const fs::file_status status = fs::status(prefix, error);
      missing = status.type() == fs::file_type::not_found;
      if (!missing && error) return refused(utf8_name(prefix) + ": " + error.message());
      if (!missing && !fs::is_directory(status)) return refused(utf8_name(prefix) + " exists and is not a directory");
    }
    if (missing) {
      if (const Status name = check_new_name(utf8_name(part)); !name.is_ok()) return refused(name.message());
    }
  }
  std::error_code error;
  fs::create_directories(filesystem_path(directory), error);
  if (error) return refused(error.message());
  return {};
}

std::string directory_in_use() {
  return "in use by another run of scenario (waited " + std::to_string(kDirectoryPatience.count()) + " s)";
}

bool lock_for_the_run(const std::string& directory, DirectoryLock& lock, std::chrono::milliseconds patience) {
  using Clock = std::chrono::steady_clock;
  constexpr std::chrono::milliseconds kPoll{10};
  const Clock::time_point start = Clock::now();
  bool noted = false;
  while (!lock.try_lock(directory)) {
    const auto waited = Clock::now() - start;
    if (waited >= patience) return false;
    if (!noted && waited >= kDirectoryWaitNote) {
      std::cerr << "scenario: note: waiting for another run that writes into " << shown_name(directory) << "\n";
      noted = true;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

Status claim_output_directory(const std::string& directory, DirectoryLock& lock) {
  if (const Status made = create_output_directory(directory); !made.is_ok())
    return made.in_context("cannot make the output directory " + directory);
  try {
    if (!lock_for_the_run(directory, lock))
      return Status::busy(directory, "the output directory " + directory + " is " + directory_in_use());
  } catch (const FileError& failure) {
    return Status::io_error(directory, "cannot lock the output directory " + directory + ": " + failure.reason());
  }
  return {};
}
