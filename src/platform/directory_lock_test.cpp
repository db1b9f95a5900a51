#include "platform/directory_lock.h"

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "support/temporary_directory.h"

namespace {

// Each DirectoryLock opens the directory anew, so two of them in one process stand for two runs.

TEST(DirectoryLock, OneHolderAtATime) {
  const test_support::TemporaryDirectory directory("lock");
  DirectoryLock first;
  DirectoryLock second;
  EXPECT_FALSE(first.held());
  ASSERT_TRUE(first.try_lock(directory.path()));
  EXPECT_TRUE(first.held());
  EXPECT_FALSE(second.try_lock(directory.path()));
  EXPECT_FALSE(second.held());

  // Moved, the lock is still held; gone, it is free.
  DirectoryLock moved = std::move(first);
  EXPECT_FALSE(first.held());
  EXPECT_FALSE(second.try_lock(directory.path()));
  moved = DirectoryLock();
  EXPECT_TRUE(second.try_lock(directory.path()));
}

TEST(DirectoryLock, OtherDirectoriesAreFree) {
  const test_support::TemporaryDirectory one("lock-one");
  const test_support::TemporaryDirectory other("lock-other");
  DirectoryLock first;
  DirectoryLock second;
  ASSERT_TRUE(first.try_lock(one.path()));
  EXPECT_TRUE(second.try_lock(other.path()));
}

TEST(DirectoryLock, WhatIsNoDirectoryCannotBeLocked) {
  const test_support::TemporaryDirectory directory("lock");
  directory.write("file", "x");
  for (const auto& [path, reason] : {std::pair{directory.at("absent"), "No such file or directory"},
                                     std::pair{directory.at("file"), "Not a directory"}}) {
    SCOPED_TRACE(path);
    DirectoryLock lock;
    try {
      lock.try_lock(path);
      ADD_FAILURE() << "locked";
    } catch (const FileError& failure) {
      EXPECT_EQ(failure.path(), path);
      EXPECT_EQ(failure.reason(), reason);
    }
    EXPECT_FALSE(lock.held());
  }
}

}  // namespace
