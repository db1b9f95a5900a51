#include "scenario/plan_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "scenario/binary_format.h"

namespace {

/// Gathers the bytes as a StringSink does, and where each piece was placed.
struct PlacingSink : StringSink {
  std::vector<std::pair<uint64_t, uint64_t>> placed;  // offset, size
  void write(std::string_view) override { ADD_FAILURE() << "a piece appended, not placed"; }
  void write_at(std::uint64_t offset, std::string_view bytes) override {
    StringSink::write_at(offset, bytes);
    placed.emplace_back(offset, bytes.size());
  }
};

PlanTrace started(int32_t extent) {
  PlanTrace trace;
  trace.create(extent);
  trace.start();
  return trace;
}

TEST(PlanTrace, ItsPointsAreTheStepsOfItsRunsAndEmptyBeyondThem) {
  PlanTrace trace = started(10);
  trace.add_run(3, false, 0);
  trace.add_run(2, true, 0.5);  // already made: nothing
  trace.add_run(5, true, 0.5);
  EXPECT_EQ(trace.next_metre(), 6);
  const TrackTrace points = trace.points();
  ASSERT_EQ(points.last_metre(), 10);
  EXPECT_EQ(points.tag(1, kAxisY), TraceTag::Integer);
  // Straight along Y to metre 3; then the step (0, 1) turned by a half: (0.5, 1), then (1, 0.75).
  EXPECT_EQ(points.value(3, kAxisY), 3.0);
  EXPECT_EQ(points.value(4, kAxisX), 0.5);
  EXPECT_EQ(points.value(4, kAxisY), 4.0);
  EXPECT_EQ(points.value(5, kAxisX), 1.5);
  EXPECT_EQ(points.value(5, kAxisY), 4.75);
  EXPECT_EQ(points.tag(5, kAxisX), TraceTag::Double);
  EXPECT_EQ(points.tag(6, kAxisX), TraceTag::Empty);
  EXPECT_EQ(points.tag(10, kAxisY), TraceTag::Empty);
  EXPECT_THROW(trace.add_run(11, false, 0), std::out_of_range);
  EXPECT_THROW(PlanTrace{}.start(), std::logic_error);
}

// A writer makes the points in batches that fit its buffer: batches that end within a run or on its end
// give the points made all at once.
TEST(PlanTrace, PointsMadeInBatchesAreThePointsMadeAtOnce) {
  PlanTrace trace = started(200);
  trace.add_run(20, false, 0);
  trace.add_run(21, true, 0.003);  // a run of one metre
  trace.add_run(90, true, -0.0004);
  trace.add_run(198, false, 0);
  std::vector<double> whole;
  trace.for_each_point([&whole](int32_t metre, double x, double y) {
    whole.insert(whole.end(), {static_cast<double>(metre), x, y});
  });
  ASSERT_EQ(whole.size(), 3u * 197);
  for (const int64_t batch : {1, 2, 7, 19, 69, 196, 197, 500}) {
    SCOPED_TRACE(batch);
    PlanPoints points(trace);
    std::vector<double> batched;
    int64_t made = 0;
    do {
      made = points.make(batch, [&batched](int32_t metre, double x, double y) {
        batched.insert(batched.end(), {static_cast<double>(metre), x, y});
      });
    } while (made == batch);
    EXPECT_EQ(batched, whole);  // to the bit
    EXPECT_EQ(points.make(batch, [](int32_t, double, double) {}), 0);
  }
}

// The trace file of a compilation is written from its runs, a piece at a time: the same bytes as its
// points made whole, for traces that cross several pieces, that stop short, that were never started.
TEST(PlanTrace, WrittenFromItsRunsItHasTheBytesOfItsPoints) {
  struct Case {
    const char* what;
    PlanTrace trace;
  };
  std::vector<Case> cases;
  cases.push_back({"no run", started(7000)});
  PlanTrace curved = started(36000);
  curved.add_run(1400, false, 0);
  curved.add_run(2000, true, 0.0004);
  curved.add_run(2600, true, -0.003);
  curved.add_run(35998, false, 0);
  cases.push_back({"curves over several pieces", curved});
  PlanTrace cut = started(36000);
  cut.add_run(20000, true, 0.0001);
  cases.push_back({"stopped short", cut});
  PlanTrace unstarted;
  unstarted.create(7000);
  unstarted.add_run(100, false, 0);
  cases.push_back({"never started", unstarted});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlacingSink streamed;
    encode_trace_to(c.trace, streamed);
    EXPECT_EQ(streamed.bytes(), encode_trace(c.trace.points()));
    // Every byte placed once: a gap would read as zeros in the file, an overlap would hide one.
    std::sort(streamed.placed.begin(), streamed.placed.end());
    uint64_t end = 0;
    for (const auto& [offset, size] : streamed.placed) {
      EXPECT_EQ(offset, end);
      EXPECT_GT(size, 0u);
      EXPECT_LE(size, kTracePiece / 2);
      end = offset + size;
    }
    EXPECT_EQ(end, streamed.bytes().size());
  }
  EXPECT_GT(encode_trace(curved).size(), 2 * kTracePiece);
  EXPECT_EQ(encode_trace(PlanTrace{}), "");
}

}  // namespace
