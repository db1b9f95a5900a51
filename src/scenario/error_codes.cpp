#include "scenario/error_codes.h"

#include <array>

namespace {

constexpr std::array kTable{
    ErrorCodeInfo{kErrorLineLength, "line length above 1000000 m, or so short that the grid has no cell 1"},
    ErrorCodeInfo{kErrorKilometricReference, "kilometric reference start or value not a multiple of 50"},
    ErrorCodeInfo{kErrorRepetitionFirst, "first signal-repetition position not a multiple of 50"},
    ErrorCodeInfo{kErrorRepetitionSecond, "second signal-repetition position not a multiple of 50"},
    ErrorCodeInfo{kErrorRepetitionCodes, "signal-repetition keyword without the code count 4 or 9"},
    ErrorCodeInfo{kErrorInfoBoardOccupied, "information board on an occupied cell"},
    ErrorCodeInfo{kErrorSpeedCutOccupied, "speed cut on an occupied cell"},
    ErrorCodeInfo{kErrorStationPosition, "station position not a multiple of 50"},
    ErrorCodeInfo{kErrorPlatformLength, "platform length not a multiple of 100"},
    ErrorCodeInfo{kErrorStationRecords, "too many stations for the free records of the scenario table"},
    ErrorCodeInfo{kErrorSignalControlPoint,
                  "no free cell for the control point before a signal ahead of a slowdown warning"},
    ErrorCodeInfo{kErrorSlowdownControlPoint, "no free cell for a control point ahead of a slowdown"},
    ErrorCodeInfo{kErrorSlowdownWalk,
                  "no free cell for a control point along or after a slowdown, or a slowdown without its end"},
    ErrorCodeInfo{kErrorOutOfRange, "position beyond the track grid"},
    ErrorCodeInfo{kErrorSignalOccupied, "signal on an occupied cell"},
    ErrorCodeInfo{kErrorWarningOccupied, "slowdown warning cell (1200 m before the start) occupied"},
    ErrorCodeInfo{kErrorSlowdownStartOccupied, "slowdown start cell occupied"},
    ErrorCodeInfo{kErrorSlowdownEndOccupied, "slowdown end cell occupied"},
    ErrorCodeInfo{kErrorApproachOccupied, "slowdown approach cells occupied"},
    ErrorCodeInfo{kErrorSpeedBoardOccupied, "speed board on an occupied cell"},
    ErrorCodeInfo{kErrorStationSpacing,
                  "platforms of successive stations less than 350 m apart, or stations out of line order"},
    ErrorCodeInfo{kErrorPlatformTooNear, "platform end at 100 m or less: no room for the station mark"},
    ErrorCodeInfo{
        kErrorReadFailure,
        "read failure: a field that is not a number, a number too large, or a file that ends inside an entry"},
    ErrorCodeInfo{kErrorLineMissing, "line description file missing"},
    ErrorCodeInfo{kErrorNoGeneralSection, "no [generale] section"},
    ErrorCodeInfo{kErrorCurve, "curve keyword without a sharpness digit 1 to 6, or a trace beyond 1000000 m"},
    ErrorCodeInfo{kErrorNoLineLength, "no line length before the line entries"},
    ErrorCodeInfo{kErrorMountainCapacity, "more than 80 mountain stretches"},
    ErrorCodeInfo{kErrorBoardCapacity, "more than 80 information boards"},
    ErrorCodeInfo{kErrorMarkerTaken, "a marker place of the output is already taken"},
    ErrorCodeInfo{kErrorCodeTaken, "a competition code place of the output is already taken"},
};

}  // namespace

std::span<const ErrorCodeInfo> error_code_table() { return kTable; }

const char* error_meaning(int32_t code) {
  for (const auto& entry : kTable)
    if (entry.code == code) return entry.meaning;
  return "unknown error";
}
