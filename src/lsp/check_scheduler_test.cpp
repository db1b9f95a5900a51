#include "lsp/check_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

/// What the scheduler did, in order: "check X" or a job's name.
struct Record {
  std::mutex mutex;
  std::vector<std::string> done;
  void add(const std::string& what) {
    const std::lock_guard lock(mutex);
    done.push_back(what);
  }
};

TEST(CheckScheduler, SynchronousRunsJobsThenChecksInTheirOrderOnlyWhenAskedAndWithoutTheirPauses) {
  Record record;
  CheckScheduler scheduler([&record](const std::string& uri) { record.add("check " + uri); },
                           CheckScheduler::Mode::Synchronous);
  scheduler.schedule("b", 1h);
  scheduler.schedule("a", 0ms);
  scheduler.post([&record] { record.add("job 1"); });
  scheduler.schedule("b", 0ms);  // replaces its pending check: it now comes after "a"
  scheduler.schedule("c", 0ms);
  scheduler.cancel("c");
  scheduler.post([&record] { record.add("job 2"); });
  EXPECT_TRUE(record.done.empty());
  scheduler.wait_until_idle();
  EXPECT_EQ(record.done, (std::vector<std::string>{"job 1", "job 2", "check a", "check b"}));
  scheduler.wait_until_idle();
  EXPECT_EQ(record.done.size(), 4u);
}

TEST(CheckScheduler, AJobPostedByAJobOrACheckRunsInTheSameWait) {
  Record record;
  CheckScheduler* self = nullptr;
  CheckScheduler scheduler(
      [&](const std::string& uri) {
        record.add("check " + uri);
        if (uri == "a") self->post([&record] { record.add("job after a"); });
      },
      CheckScheduler::Mode::Synchronous);
  self = &scheduler;
  scheduler.schedule("a", 0ms);
  scheduler.wait_until_idle();
  EXPECT_EQ(record.done, (std::vector<std::string>{"check a", "job after a"}));
}

TEST(CheckScheduler, AsynchronousDoesTheSameWorkOnItsThreadAndTellsWhenItIsIdle) {
  Record record;
  CheckScheduler scheduler([&record](const std::string& uri) { record.add("check " + uri); },
                           CheckScheduler::Mode::Asynchronous);
  scheduler.schedule("a", 1h);
  scheduler.schedule("a", 0ms);  // a later change's time replaces the earlier one: one check
  scheduler.schedule("b", 1h);
  scheduler.cancel("b");
  scheduler.post([&record] { record.add("job"); });
  scheduler.wait_until_idle();
  const std::lock_guard lock(record.mutex);
  ASSERT_EQ(record.done.size(), 2u);
  EXPECT_EQ(std::count(record.done.begin(), record.done.end(), "check a"), 1);
  EXPECT_EQ(std::count(record.done.begin(), record.done.end(), "job"), 1);
}

TEST(CheckScheduler, AFailingCheckDoesNotStopTheOthers) {
  Record record;
  CheckScheduler scheduler(
      [&record](const std::string& uri) {
        if (uri == "bad") throw std::runtime_error("out of memory");
        record.add("check " + uri);
      },
      CheckScheduler::Mode::Synchronous);
  scheduler.schedule("bad", 0ms);
  scheduler.schedule("good", 0ms);
  testing::internal::CaptureStderr();
  scheduler.wait_until_idle();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "scenario lsp: out of memory\n");
  EXPECT_EQ(record.done, (std::vector<std::string>{"check good"}));
}

}  // namespace
