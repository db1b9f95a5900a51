#include "platform/replacement_commit.h"

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
      text += "; no file was replaced (" + listed(others) + (others.size() == 1 ? " is as it was)" : " are as they were)");
    } else {
      text += "; only part of the files was replaced: " + listed(new_files) + (new_files.size() == 1 ? " is" : " are") +
              " new and could not be put back";
      text += ", " + listed(unchanged) + (unchanged.size() == 1 ? " is as it was" : " are as they were");
    }
  }
  return ReplacementFailure(paths[failed], text, std::move(new_files), std::move(unchanged));
}

void commit_replacements(const std::vector<std::string>& paths, const std::vector<bool>& had_earlier,
                         ReplacementSteps& steps) {
  const std::size_t count = paths.size();
  std::vector<bool> kept(count, false);
  std::vector<bool> placed(count, false);
  for (std::size_t n = 0; n < count; ++n) {
    // A file that cannot be kept aside is still replaced: only a later failure would need it.
    if (had_earlier[n]) kept[n] = steps.keep_earlier(n).is_ok();
    const Status moved = steps.move_into_place(n);
    if (moved.is_ok()) {
      placed[n] = true;
      continue;
    }
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
