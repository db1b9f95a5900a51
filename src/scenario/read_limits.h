#pragma once

#include <cstdint>

#include "platform/files.h"
#include "scenario/binary_format.h"
#include "scenario/format.h"
#include "scenario/scenario_table.h"

// The most bytes read from each kind of input (read_file refuses a larger file before reading it). Each
// bound is well above the largest file of its kind that the format allows, so that only a file that is no
// such file meets it, and low enough that reading and decoding it stays within a few hundred MB.

/// The largest legal files: a grid of the longest line (cells 0 to 20,140), a table of 87 records with
/// texts of the most characters a text can have, a trace of the longest line with every point a double.
inline constexpr std::uint64_t kLargestGridFile =
    (static_cast<std::uint64_t>(kMaxLineLength + kGridBeyondLine) / kCellLength + 1) * kCellSize;
inline constexpr std::uint64_t kLargestTableFile = kScenarioRecordCount * (kRecordFixedSize + kMaxRecordText);
inline constexpr std::uint64_t kLargestTraceFile =
    2 * (static_cast<std::uint64_t>(kMaxLineLength + kGridBeyondLine) + 1) * (kTraceTagSize + kF64Size);
static_assert(kLargestGridFile == 302115);
static_assert(kLargestTableFile == 5704503);
static_assert(kLargestTraceFile == 20140020);

inline constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;

/// A line description or a train service: one entry of 30 bytes at every metre of the longest line
/// would make 30 MB; comments aside, no source comes near.
inline constexpr ReadLimit kSourceReadLimit{64 * kMebibyte, "a line description or a train service"};
inline constexpr ReadLimit kGridReadLimit{1 * kMebibyte, "a track grid"};
inline constexpr ReadLimit kTableReadLimit{8 * kMebibyte, "a scenario table"};
inline constexpr ReadLimit kTraceReadLimit{32 * kMebibyte, "a plan trace"};
static_assert(kGridReadLimit.bytes > kLargestGridFile && kTableReadLimit.bytes > kLargestTableFile &&
              kTraceReadLimit.bytes > kLargestTraceFile);

/// A rolling-stock file: a JSON object of a few keys and numbers fits in a kilobyte.
inline constexpr ReadLimit kRollingStockReadLimit{64 * 1024, "a rolling-stock file"};
