#include "platform/replacement_commit.h"

#include <algorithm>

#include "platform/interrupt_cleanup.h"

namespace {

/// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t n = 0; n < names.size(); ++n) {
    if (n > 0) text += n + 1 == names.size() ? " and " : ", ";
    text += names[n];
  }
  return text;
}

}  // namespace

ReplacementFailure replacement_failure(const std::vector<std::string>& paths, std::size_t failed,
                                       const std::string& reason, const std::vector<bool>& replaced) {
  std::vector<std::string> new_files;
  std::vector<std::string> unchanged;  // the failed one included
  std::vector<std::string> others;     // unchanged, but for the failed one
  for (std::size_t n = 0; n < paths.size(); ++n) {
    if (n < replaced.size() && replaced[n]) {
      new_files.push_back(paths[n]);
      continue;
    }
    unchanged.push_back(paths[n]);
    if (n != failed) others.push_back(paths[n]);
  }
  std::string text = reason;
  if (paths.size() > 1) {
    if (new_files.empty()) {
      text +=
          "; no file was replaced (" + listed(others) + (others.size() == 1 ? " is as it was)" : " are as they were)");
    } else {
      text += "; only part of the files was replaced: " + listed(new_files) + (new_files.size() == 1 ? " is" : " are") +
              " new and could not be put back";
      text += ", " + listed(unchanged) + (unchanged.size() == 1 ? " is as it was" : " are as they were");
    }
  }
  return ReplacementFailure(paths[failed], text, std::move(new_files), std::move(unchanged));
}

namespace {

/// Passes each piece on to the system's sink and counts the bytes (for placed pieces, up to the last).
class CountingSink : public ByteSink {
 public:
  explicit CountingSink(ByteSink& sink) : sink_(sink) {}
  void write(std::string_view bytes) override {
    sink_.write(bytes);
    size_ += bytes.size();
  }
  void write_at(std::uint64_t offset, std::string_view bytes) override {
    sink_.write_at(offset, bytes);
    size_ = std::max(size_, offset + bytes.size());
  }
  std::uint64_t size() const { return size_; }

 private:
  ByteSink& sink_;
  std::uint64_t size_ = 0;
};

/// Renames every temporary file over its target, in order, keeping each earlier file aside first; on a
/// failure puts back those renamed before it and throws.
void commit(const std::vector<std::string>& paths, const std::vector<bool>& had_earlier, ReplacementSteps& steps) {
  const std::size_t count = paths.size();
  std::vector<bool> kept(count, false);
  for (std::size_t n = 0; n < count; ++n) {
    // A file that cannot be kept aside is still replaced: only a later failure would need it.
    if (had_earlier[n]) kept[n] = steps.keep_earlier(n).is_ok();
    const Status moved = steps.move_into_place(n);
    if (moved.is_ok()) continue;
    std::vector<bool> replaced(count, false);
    for (std::size_t back = n; back-- > 0;) {
      const bool restored = (!had_earlier[back] || kept[back]) && steps.put_back(back, had_earlier[back]).is_ok();
      replaced[back] = !restored;
    }
    for (std::size_t each = 0; each < count; ++each) steps.clean_up(each);
    throw replacement_failure(paths, n, moved.message(), replaced);
  }
  for (std::size_t n = 0; n < count; ++n) steps.clean_up(n);
}

}  // namespace

std::vector<std::uint64_t> replace_through(const std::vector<FileReplacement>& files, ReplacementSteps& steps) {
  std::vector<std::string> paths;
  for (const FileReplacement& file : files) paths.push_back(file.path);
  // What the set had begun goes whatever ends it before it is in place.
  const auto refuse = [&](std::size_t failed, const std::string& reason) {
    for (std::size_t n = 0; n < files.size(); ++n) steps.clean_up(n);
    throw replacement_failure(paths, failed, reason);
  };
  std::vector<std::uint64_t> sizes;
  std::vector<bool> had_earlier;
  try {
    // Every file whole in its temporary file first: nothing is replaced while one may still fail.
    for (std::size_t n = 0; n < files.size(); ++n) {
      const Result<ByteSink*> sink = steps.make_temporary(n);
      if (!sink) refuse(n, sink.status().message());
      CountingSink counted(**sink);
      try {
        files[n].write(counted);
      } catch (const FileError& failure) {
        refuse(n, failure.reason());
      }
      sizes.push_back(counted.size());
      // On the disk before it takes the name: a power cut after the rename finds the whole file.
      if (const Status finished = steps.finish_temporary(n); !finished.is_ok()) refuse(n, finished.message());
    }
    // Every target looked at before the first is replaced: what would refuse the rename refuses the set.
    for (std::size_t n = 0; n < files.size(); ++n) {
      const Result<bool> present = steps.check_target(n);
      if (!present) refuse(n, present.status().message());
      had_earlier.push_back(*present);
    }
  } catch (const ReplacementFailure&) {
    throw;
  } catch (...) {
    for (std::size_t n = 0; n < files.size(); ++n) steps.clean_up(n);
    throw;
  }
  {
    // An interrupt never leaves the set half replaced: it comes once the set is in place or put back.
    const InterruptsDeferred deferred;
    commit(paths, had_earlier, steps);
  }
  if (const Status durable = steps.make_durable(); !durable.is_ok()) throw FileError(durable.path(), durable.message());
  return sizes;
}
