#pragma once

// The checks of pairs, and the few last ones kept so that a document and its partner checked one after
// the other, a hover after a check, or a save after a change compile their pair once.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compiler/source_check.h"
#include "lsp/document_pair.h"
#include "scenario/diagnostics.h"

/// The check of a pair: its sources and what `check_pair` found, or the error of a missing line
/// description.
struct CheckedPair {
  DocumentPair pair;
  PairCheck check;
  std::optional<Diagnostic> line_missing;
};

/// Checks a pair as `scenario check` does, the timetable's review included. A pair without its line
/// description is not compiled: the train service gets error 101 at its start.
std::shared_ptr<const CheckedPair> check_document_pair(DocumentPair pair);

/// The last check of each of the last few pairs. A pair is the same when its sources have the same names
/// and URIs; its check is used again while their texts are the same, and a new check of it replaces the
/// old one, so that the memory held stays that of a few pairs whatever the number of edits. Used by one
/// thread at a time.
class CheckCache {
 public:
  std::shared_ptr<const CheckedPair> check(DocumentPair pair);
  /// Forgets the checks that hold a document (once it is closed).
  void forget(const std::string& uri);
  std::size_t size() const { return kept_.size(); }

  static constexpr std::size_t kKept = 4;

 private:
  std::vector<std::shared_ptr<const CheckedPair>> kept_;  // the most recently used last
};
