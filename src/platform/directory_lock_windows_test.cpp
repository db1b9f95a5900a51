#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/directory_lock.h"
#include "platform/file_error.h"
#include "platform/windows_system.h"
#include "support/temporary_directory.h"

// Two runs of the program are two processes: the lock is tried from a second process of this test
// program, which runs only the test below that reads its directory from the environment.

namespace {

constexpr const char* kDirectoryVariable = "SCENARIO_LOCK_TEST_DIRECTORY";

/// Runs this program as a second process that tries the lock of `directory`: its exit status (0 when it
/// took the lock, 7 when another holder had it, 9 when the lock could not be tried).
DWORD other_process_tries(const std::string& directory) {
  std::wstring program(32768, L'\0');
  program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
  std::wstring command = L"\"" + program + L"\" --gtest_filter=DirectoryLockOtherProcess.TriesTheLock";
  SetEnvironmentVariableW(L"SCENARIO_LOCK_TEST_DIRECTORY", windows_system::widen(directory).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 1000;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD status = 1001;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  SetEnvironmentVariableW(L"SCENARIO_LOCK_TEST_DIRECTORY", nullptr);
  return status;
}

TEST(DirectoryLock, AnotherProcessWaitsWhileOneHoldsTheDirectory) {
  const test_support::TemporaryDirectory directory("lock-processes");
  {
    DirectoryLock held;
    ASSERT_TRUE(held.try_lock(directory.path()));
    EXPECT_EQ(other_process_tries(directory.path()), 7u);
    // Another name of the same directory meets the same hold.
    EXPECT_EQ(other_process_tries(directory.path() + "\\.\\"), 7u);
  }
  EXPECT_EQ(other_process_tries(directory.path()), 0u);
}

// The second process's side: not a test of its own (it runs only when the test above starts it).
TEST(DirectoryLockOtherProcess, TriesTheLock) {
  const char* directory = std::getenv(kDirectoryVariable);
  if (directory == nullptr) GTEST_SKIP() << "run by AnotherProcessWaitsWhileOneHoldsTheDirectory only";
  DirectoryLock lock;
  try {
    std::_Exit(lock.try_lock(directory) ? 0 : 7);
  } catch (...) {
    std::_Exit(9);
  }
}

}  // namespace
