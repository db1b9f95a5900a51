#include "compiler/progressive_ordina.h"

#include <gtest/gtest.h>

#include <array>

#include "scenario/run_state.h"

namespace {

using Triple = std::array<int32_t, 3>;

struct Case {
  const char* name;
  Triple tre, due, uno;  // records 81, 82, 83 before
  Triple r81, r82, r83;  // after
};

TEST(ProgressiveOrdina, OrdersTheReferencesByStartThenByValue) {
  const Triple zero{0, 0, 0};
  const Case cases[] = {
      {"scenario: only uno, by value", zero, zero, {0, 29000, 1}, {0, 29100, 1}, zero, zero},
      {"tre starts last, uno before due", {300, 3, 0}, {200, 2, 0}, {100, 1, 0}, {300, 3, 0}, {200, 2, 0}, {100, 1, 0}},
      {"tre starts last, due and uno tied",
       {300, 3, 0},
       {100, 2, 0},
       {100, 1, 0},
       {300, 3, 0},
       {100, 1, 0},
       {100, 2, 0}},
      {"tre starts last, uno after due", {300, 3, 0}, {100, 2, 0}, {200, 1, 0}, {300, 3, 0}, {200, 1, 0}, {100, 2, 0}},
      {"due starts last, uno before tre", {200, 3, 0}, {300, 2, 0}, {100, 1, 0}, {300, 2, 0}, {200, 3, 0}, {100, 1, 0}},
      {"due starts last, tie with uno", {100, 3, 0}, {300, 2, 0}, {100, 1, 0}, {300, 2, 0}, {100, 1, 0}, {100, 3, 0}},
      {"uno starts last, due before tre", {200, 3, 0}, {100, 2, 0}, {300, 1, 0}, {300, 1, 0}, {200, 3, 0}, {100, 2, 0}},
      {"uno starts last, tie of tre and due",
       {100, 3, 0},
       {100, 2, 0},
       {300, 1, 0},
       {300, 1, 0},
       {100, 2, 0},
       {100, 3, 0}},
      {"greatest start shared: all cleared", {300, 3, 1}, {300, 2, 1}, {100, 1, 1}, zero, zero, zero},
      {"zero starts, tre has a value: unchanged", {0, 5, 0}, zero, zero, {0, 5, 0}, zero, zero},
      {"zero starts, only due", zero, {0, 7, 1}, zero, {0, 107, 1}, zero, zero},
      {"zero starts, due and uno: uno wins, triples from before",
       {0, 9, 0},
       {0, 7, 0},
       {0, 8, 0},
       {0, 8, 0},
       {0, 7, 0},
       {0, 9, 0}},
      {"zero starts, no value: all cleared", {0, 0, 1}, {0, -4, 1}, {0, 0, 1}, zero, zero, zero},
      {"flags add 100 after ordering",
       {100, 1, 1},
       {300, 2, 1},
       {200, 3, 0},
       {300, 102, 1},
       {200, 3, 0},
       {100, 101, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    auto put = [&](int record, const Triple& t) {
      state.table[record].number1 = t[0];
      state.table[record].number2 = t[1];
      state.table[record].number3 = t[2];
    };
    auto get = [&](int record) {
      return Triple{state.table[record].number1, state.table[record].number2, state.table[record].number3};
    };
    put(kKilometricTreRecord, c.tre);
    put(kKilometricDueRecord, c.due);
    put(kKilometricUnoRecord, c.uno);
    progressive_ordina(state);
    EXPECT_EQ(get(kKilometricTreRecord), c.r81);
    EXPECT_EQ(get(kKilometricDueRecord), c.r82);
    EXPECT_EQ(get(kKilometricUnoRecord), c.r83);
  }
}

}  // namespace
