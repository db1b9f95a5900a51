#pragma once

#include <cstdint>
#include <span>

/// Every error code the compiler can leave, with its meaning in plain words.
enum ErrorCode : int32_t {
  kErrorLineLength = 1,
  kErrorKilometricReference = 2,
  kErrorRepetitionFirst = 3,
  kErrorRepetitionSecond = 4,
  kErrorRepetitionCodes = 5,
  kErrorInfoBoardOccupied = 6,
  kErrorSpeedCutOccupied = 7,
  kErrorStationPosition = 8,
  kErrorPlatformLength = 9,
  kErrorStationRecords = 10,
  kErrorSignalControlPoint = 11,
  kErrorSlowdownControlPoint = 12,
  kErrorSlowdownWalk = 13,
  kErrorOutOfRange = 15,
  kErrorSignalOccupied = 16,
  kErrorWarningOccupied = 17,
  kErrorSlowdownStartOccupied = 18,
  kErrorSlowdownEndOccupied = 19,
  kErrorApproachOccupied = 20,
  kErrorSpeedBoardOccupied = 21,
  kErrorStationSpacing = 22,
  kErrorPlatformTooNear = 24,
  kErrorReadFailure = 25,
  kErrorLineMissing = 101,
  kErrorNoGeneralSection = 102,
  kErrorCurve = 103,
  kErrorNoLineLength = 104,
  kErrorMountainCapacity = 105,
  kErrorBoardCapacity = 106,
  kErrorMarkerTaken = 1250,
  kErrorCodeTaken = 1251,
};

struct ErrorCodeInfo {
  int32_t code;
  const char* meaning;
};

/// The table of all codes, in increasing order.
std::span<const ErrorCodeInfo> error_code_table();
/// The meaning of a code, or "unknown error" for a code not in the table.
const char* error_meaning(int32_t code);
