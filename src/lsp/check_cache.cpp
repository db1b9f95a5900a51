#include "lsp/check_cache.h"

#include <algorithm>
#include <utility>

#include "review/timetable_review.h"
#include "scenario/error_codes.h"

std::shared_ptr<const CheckedPair> check_document_pair(DocumentPair pair) {
  auto checked = std::make_shared<CheckedPair>();
  checked->pair = std::move(pair);
  DocumentPair& held = checked->pair;
  if (!held.line_missing.empty()) {
    // The train service alone: without its line there is nothing to compile.
    convert_sources(held.sources);
    Diagnostic error;
    error.severity = Severity::Error;
    error.code = kErrorLineMissing;
    error.place = SourcePlace{SourceKind::Service, 1, 1};
    error.message = error_meaning(kErrorLineMissing);
    error.detail = held.line_missing;
    checked->line_missing = std::move(error);
    return checked;
  }
  // A line description without a train service is compiled with an empty one, whose own warnings go
  // nowhere.
  checked->check = review_pair(held.sources, held.names);
  return checked;
}

namespace {

bool same_source_names(const DocumentPair& a, const DocumentPair& b) {
  return a.names.line_key == b.names.line_key && a.names.train_number == b.names.train_number &&
         a.line_uri == b.line_uri && a.service_uri == b.service_uri && a.sources.line.name == b.sources.line.name &&
         a.sources.service.name == b.sources.service.name && a.line_missing == b.line_missing &&
         a.service_missing == b.service_missing;
}

bool same_text(const SourceFile& a, const SourceFile& b) {
  return a.encoding == b.encoding && (a.text().data() == b.text().data() || a.text() == b.text());
}

}  // namespace

std::shared_ptr<const CheckedPair> CheckCache::check(DocumentPair pair) {
  const auto same_pair = [&pair](const std::shared_ptr<const CheckedPair>& kept) {
    return same_source_names(kept->pair, pair);
  };
  const auto found = std::find_if(kept_.begin(), kept_.end(), same_pair);
  if (found != kept_.end()) {
    std::shared_ptr<const CheckedPair> kept = *found;
    kept_.erase(found);
    if (same_text(kept->pair.sources.line, pair.sources.line) &&
        same_text(kept->pair.sources.service, pair.sources.service)) {
      kept_.push_back(kept);
      return kept;
    }
  }
  auto checked = check_document_pair(std::move(pair));
  if (kept_.size() == kKept) kept_.erase(kept_.begin());
  kept_.push_back(checked);
  return checked;
}

void CheckCache::forget(const std::string& uri) {
  std::erase_if(kept_, [&uri](const std::shared_ptr<const CheckedPair>& kept) {
    return kept->pair.line_uri == uri || kept->pair.service_uri == uri;
  });
}
