#include "lsp/check_cache.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lsp/text_positions.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace {

/// The starter scenario's two sources open in the editor, each text changeable.
struct OpenPair {
  test_support::TemporaryDirectory directory{"scenario-cache"};
  DocumentStore store;
  std::string line_uri = uri_of_path(directory.at("Demo_linea.txt"));
  std::string service_uri = uri_of_path(directory.at("Demo_1-.txt"));

  OpenPair() {
    store.open(line_uri, std::make_shared<const std::string>(encode_lines(starter_line_lines())), 1);
    set_service(encode_lines(starter_service_lines()));
  }
  void set_service(const std::string& text) { store.open(service_uri, std::make_shared<const std::string>(text), 1); }
  DocumentPair pair_of_service() const { return *pair_of(*store.find(service_uri), store); }
  DocumentPair pair_of_line() const { return *pair_of(*store.find(line_uri), store); }
};

TEST(CheckCache, BothFilesOfAPairShareOneCheckWhileTheirTextsStayTheSame) {
  OpenPair open;
  CheckCache cache;
  const auto first = cache.check(open.pair_of_service());
  EXPECT_EQ(cache.check(open.pair_of_line()), first);
  EXPECT_EQ(cache.check(open.pair_of_service()), first);
  ASSERT_NE(first->check.state, nullptr);
  // The check holds its plan trace as the runs that make it, at most two for each curve and one to the
  // end, not as its points.
  const RunState& state = *first->check.state;
  ASSERT_TRUE(state.trace.exists());
  ASSERT_FALSE(state.curves.empty());
  EXPECT_LE(state.trace.runs().size(), 2 * state.curves.size() + 1);
}

TEST(CheckCache, AnEditedPairReplacesItsOldCheckSoEditsHoldNoMoreMemory) {
  OpenPair open;
  CheckCache cache;
  std::weak_ptr<const CheckedPair> first = cache.check(open.pair_of_service());
  const std::string service = encode_lines(starter_service_lines());
  for (int edit = 1; edit <= 10; ++edit) {
    open.set_service(service + "-- edit " + std::to_string(edit) + "\r\n");
    cache.check(open.pair_of_service());
  }
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_TRUE(first.expired());

  cache.forget(open.service_uri);
  EXPECT_EQ(cache.size(), 0u);
}

}  // namespace
