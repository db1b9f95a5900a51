#include "lsp/check_scheduler.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <optional>
#include <utility>

CheckScheduler::CheckScheduler(Check check, Mode mode) : check_(std::move(check)), mode_(mode) {
  if (mode_ == Mode::Asynchronous) worker_ = std::thread([this] { work(); });
}

CheckScheduler::~CheckScheduler() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wanted_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void CheckScheduler::schedule(const std::string& uri, std::chrono::milliseconds delay) {
  {
    const std::lock_guard lock(mutex_);
    due_[uri] = Due{std::chrono::steady_clock::now() + delay, scheduled_++};
  }
  wanted_.notify_all();
}

void CheckScheduler::cancel(const std::string& uri) {
  const std::lock_guard lock(mutex_);
  due_.erase(uri);
}

void CheckScheduler::post(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wanted_.notify_all();
}

bool CheckScheduler::take(std::function<void()>& job, std::string& check,
                          std::optional<std::chrono::steady_clock::time_point> now) {
  if (!jobs_.empty()) {
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
  }
  if (due_.empty()) return false;
  auto earliest = due_.begin();
  for (auto it = due_.begin(); it != due_.end(); ++it)
    if (it->second.when < earliest->second.when ||
        (it->second.when == earliest->second.when && it->second.order < earliest->second.order))
      earliest = it;
  if (now && earliest->second.when > *now) return false;
  check = earliest->first;
  due_.erase(earliest);
  return true;
}

void CheckScheduler::run(std::function<void()>& job, const std::string& check) {
  try {
    if (job)
      job();
    else
      check_(check);
  } catch (const std::exception& failure) {
    // The work answers its own failures; what escapes it (memory running out) must not end the server.
    std::cerr << "scenario lsp: " << failure.what() << "\n";
  }
  job = nullptr;
}

void CheckScheduler::wait_until_idle() {
  std::unique_lock lock(mutex_);
  if (mode_ == Mode::Asynchronous) {
    idle_.wait(lock, [this] { return stopping_ || (!busy_ && jobs_.empty() && due_.empty()); });
    return;
  }
  std::function<void()> job;
  std::string check;
  while (take(job, check, std::nullopt)) {
    lock.unlock();
    run(job, check);
    lock.lock();
  }
}

void CheckScheduler::work() {
  std::unique_lock lock(mutex_);
  std::function<void()> job;
  std::string check;
  while (!stopping_) {
    if (take(job, check, std::chrono::steady_clock::now())) {
      busy_ = true;
      lock.unlock();
      run(job, check);
      lock.lock();
      busy_ = false;
      idle_.notify_all();
      continue;
    }
    if (due_.empty()) {
      idle_.notify_all();
      wanted_.wait(lock);
      continue;
    }
    auto earliest = due_.begin()->second.when;
    for (const auto& [uri, due] : due_) earliest = std::min(earliest, due.when);
    wanted_.wait_until(lock, earliest);
  }
  idle_.notify_all();
}
