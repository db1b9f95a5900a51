#pragma once

// When the work that compiles is done: checks of documents after a pause in their changes, and jobs
// (a hover, symbols, a closed document's empty diagnostics) in the order they were posted. The jobs go
// first, then the checks in the order of their times. Asynchronous, one worker thread does the work,
// so that the reader of the messages never waits for a compilation; synchronous, the work waits until
// wait_until_idle() runs it on the caller's thread, without waiting for the pauses, so that tests see
// every step in order and never sleep.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class CheckScheduler {
 public:
  enum class Mode { Asynchronous, Synchronous };
  /// What a check of one document is.
  using Check = std::function<void(const std::string& uri)>;

  CheckScheduler(Check check, Mode mode);
  /// Stops the worker once its current work is done; what is still pending is dropped.
  ~CheckScheduler();
  CheckScheduler(const CheckScheduler&) = delete;
  CheckScheduler& operator=(const CheckScheduler&) = delete;

  /// Checks a document once `delay` has passed, in place of a check of it that is pending.
  void schedule(const std::string& uri, std::chrono::milliseconds delay);
  /// Drops the pending check of a document (one under way runs to its end).
  void cancel(const std::string& uri);
  /// Runs a job after the jobs posted before it, before any check.
  void post(std::function<void()> job);
  /// Returns once everything posted and scheduled so far has been done (in the synchronous mode, by
  /// doing it here).
  void wait_until_idle();

 private:
  struct Due {
    std::chrono::steady_clock::time_point when;
    uint64_t order;  // of scheduling, for checks due at the same time
  };

  /// The next work to do, taken out of the queues: a job, or a check whose time has come (any pending
  /// check when `now` is none). False when there is none.
  bool take(std::function<void()>& job, std::string& check, std::optional<std::chrono::steady_clock::time_point> now);
  void run(std::function<void()>& job, const std::string& check);
  void work();

  Check check_;
  Mode mode_;
  std::mutex mutex_;
  std::condition_variable wanted_;  // work came, or the worker must stop
  std::condition_variable idle_;    // the worker finished a piece of work
  std::deque<std::function<void()>> jobs_;
  std::map<std::string, Due> due_;
  uint64_t scheduled_ = 0;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};
