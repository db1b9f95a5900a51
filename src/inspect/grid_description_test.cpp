#include "inspect/grid_description.h"

#include <gtest/gtest.h>

#include "inspect/inspect_test_support.h"

namespace {

using inspect_test::small_grid;

TEST(DescribeGrid, ListsTheProfileRunsAndEveryCellWithAnObjectOrAMark) {
  EXPECT_EQ(describe_grid(small_grid()),
            "Track grid: cells 0 to 8\n"
            "Gradient:\n"
            "  cells 0-2 (0-150 m): 0 per mille\n"
            "  cells 3-5 (150-300 m): -10 per mille\n"
            "  cells 6-8 (300-450 m): +16 per mille\n"
            "Speed limit:\n"
            "  cells 0-4 (0-250 m): 80 km/h\n"
            "  cells 5-7 (250-400 m): 90 km/h\n"
            "  cell 8 (400-450 m): 0 km/h\n"
            "Adhesion:\n"
            "  cells 0-8 (0-450 m): 255\n"
            "Mountain type:\n"
            "  cells 0-3 (0-200 m): none\n"
            "  cell 4 (200-250 m): type 2\n"
            "  cells 5-8 (250-450 m): none\n"
            "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n"
            "  cell 0 (-50 m): Plain approachMark=64\n"
            "  cell 1 (0 m): Signal value1=30 value2=-32768 value3=32767 value4=6 signalTime=255\n"
            "  cell 3 (100 m): SlowdownStart value1=40 km/h value2=0 value3=0 value4=9 approachMark=81\n"
            "  cell 4 (150 m): MountainMarker\n"
            "  cell 5 (200 m): StationMark value1=1 (station record)\n"
            "  cell 6 (250 m): kind 7 (unknown) value1=0 value2=5 value3=0 value4=0 signalTime=0\n"
            "  cell 7 (300 m): ControlPointNoValue signalTime=3\n"
            "  cell 8 (350 m): InfoBoard value1=80 (text record)\n");
}

TEST(DescribeGrid, OneCellGridAndNoGrid) {
  TrackGrid one;
  one.create(0);
  EXPECT_EQ(describe_grid(one),
            "Track grid: cells 0 to 0\n"
            "Gradient:\n  cell 0 (0-50 m): -100 per mille\n"
            "Speed limit:\n  cell 0 (0-50 m): 0 km/h\n"
            "Adhesion:\n  cell 0 (0-50 m): 0\n"
            "Mountain type:\n  cell 0 (0-50 m): none\n"
            "Objects and marks (an object at p m lies in cell round(p / 50 + 1)):\n");
  EXPECT_EQ(describe_grid(TrackGrid{}), "Track grid: no cells\n");
}

}  // namespace
