#include "app/output_directory.h"

#include <filesystem>
#include <iostream>
#include <system_error>
#include <thread>

#include "platform/file_error.h"
#include "platform/files.h"

namespace fs = std::filesystem;

std::string create_output_directory(const std::string& directory) {
  if (directory.empty()) return "an empty name is no directory";
  // The parts that exist are looked at one by one, so that the message names the one in the way rather
  // than the whole path with the system's "Not a directory".
  fs::path prefix;
  for (const fs::path& part : fs::path(directory)) {
    prefix /= part;
    std::error_code error;
    const fs::file_status status = fs::status(prefix, error);
    if (status.type() == fs::file_type::not_found) break;
    if (error) return prefix.string() + ": " + error.message();
    if (!fs::is_directory(status)) return prefix.string() + " exists and is not a directory";
  }
  std::error_code error;
  fs::create_directories(directory, error);
  if (error) return error.message();
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
      std::cerr << "scenario: note: waiting for another run that writes into " << directory << "\n";
      noted = true;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

std::string claim_output_directory(const std::string& directory, DirectoryLock& lock) {
  if (const std::string failure = create_output_directory(directory); !failure.empty())
    return "cannot make the output directory " + directory + ": " + failure;
  try {
    if (!lock_for_the_run(directory, lock)) return "the output directory " + directory + " is " + directory_in_use();
  } catch (const FileError& failure) {
    return "cannot lock the output directory " + directory + ": " + failure.reason();
  }
  return {};
}

std::string output_replacing_input(const std::vector<RunFile>& inputs, const std::vector<RunFile>& outputs) {
  for (const RunFile& output : outputs) {
    const auto written = file_identity(output.path);
    if (!written) continue;
    for (const RunFile& input : inputs) {
      if (file_identity(input.path) == written)
        return "the " + output.role + " " + output.path + " would replace the " + input.role + " " + input.path +
               ", which this run reads (they are one file): nothing written";
    }
  }
  return {};
}
