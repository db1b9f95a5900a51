#include "model/kilometric.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(Kilometric, ReferencesCountUpOrDownFromTheirStart) {
  ScenarioTable table;
  EXPECT_TRUE(kilometric_references(table).empty());
  EXPECT_EQ(kilometric_progressive({}, 1234), 1234);  // no reference: metres from the start

  // Records 81 to 83 hold the references by decreasing start; flag 1 came with 100 added.
  const auto reference = [&](int record, int32_t start, int32_t value, int32_t flag) {
    ScenarioRecord& r = table[static_cast<std::size_t>(record)];
    r.number1 = start;
    r.number2 = value;
    r.number3 = flag;
  };
  reference(kKilometricTreRecord, 20000, 5100, 1);
  reference(kKilometricDueRecord, 10000, 40000, 0);
  const std::vector<KilometricReference> references = kilometric_references(table);
  ASSERT_EQ(references.size(), 2u);
  EXPECT_EQ(references[0].start, 10000);
  EXPECT_EQ(references[0].direction, 1);
  EXPECT_EQ(references[1].progressive, 5000);
  EXPECT_EQ(references[1].direction, -1);
  EXPECT_EQ(kilometric_progressive(references, 0), 30000);  // before every start: the first one
  EXPECT_EQ(kilometric_progressive(references, 15000), 45000);
  EXPECT_EQ(kilometric_progressive(references, 20000), 5000);
  EXPECT_EQ(kilometric_progressive(references, 21000), 4000);
}

TEST(Kilometric, AValueAtTheBottomOf32BitsLosesItsHundredWithoutOverflow) {
  // Any .sim may hold it: the 100 comes off in 64 bits.
  ScenarioTable table;
  table[kKilometricUnoRecord].number2 = std::numeric_limits<int32_t>::min();
  table[kKilometricUnoRecord].number3 = 1;
  const std::vector<KilometricReference> references = kilometric_references(table);
  ASSERT_EQ(references.size(), 1u);
  EXPECT_EQ(references[0].progressive, int64_t{std::numeric_limits<int32_t>::min()} - 100);
}

}  // namespace
