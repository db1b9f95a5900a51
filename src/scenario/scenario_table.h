#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

/// One record of the scenario table: a station, an information-board text, or line and train
/// parameters, by index.
struct ScenarioRecord {
  uint8_t code = 0;
  int32_t number1 = 0;
  int32_t number2 = 0;
  int32_t number3 = 0;
  uint8_t mark = 0;
  std::string text;  // 8-bit text
  int16_t short1 = 0;
  int16_t short2 = 0;
  int16_t short3 = 0;
  int16_t short4 = 0;
  int16_t short5 = 0;
  uint8_t byte1 = 0;
  uint8_t byte2 = 0;
  uint8_t byte3 = 0;
  uint8_t byte4 = 0;
  int32_t number4 = 0;
};

inline constexpr int kScenarioRecordCount = 87;
/// The longest text a record can carry: the files store a text's length in 16 bits.
inline constexpr std::size_t kMaxRecordText = 65535;
/// Stations fill records from 1 upward; board texts fill them from 80 downward.
inline constexpr int kFirstStationRecord = 1;
inline constexpr int kFirstBoardRecord = 80;
/// Kilometric references "tre", "due" and "uno" (reordered by progressive_ordina).
inline constexpr int kKilometricTreRecord = 81;
inline constexpr int kKilometricDueRecord = 82;
inline constexpr int kKilometricUnoRecord = 83;
/// Line length and train data.
inline constexpr int kTrainRecord = 84;
/// Backgrounds, the line key, and a competition code.
inline constexpr int kLineRecord = 85;
/// Signal repetition, the train number, sand and clock.
inline constexpr int kServiceRecord = 86;

using ScenarioTable = std::array<ScenarioRecord, kScenarioRecordCount>;
