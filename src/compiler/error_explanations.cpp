#include "compiler/error_explanations.h"

#include <vector>

#include "scenario/error_codes.h"

namespace {

using Text = std::string;

/// A line description of `length` metres with these general entries and line entries.
Text line_of(int length, const Text& general, const Text& entries) {
  return "[generale]\nlunghezza percorso, " + std::to_string(length) + "\n" + general + "[curve]\n" + entries +
         "[fine]\n";
}
/// A line of 5000 m: a grid of cells 0 to 240.
Text line_with(const Text& general, const Text& entries) { return line_of(5000, general, entries); }
Text line_with(const Text& entries) { return line_with("", entries); }
const Text kPlainLine = line_with("");

Text service_with(const Text& entries) { return "[generale]\n" + entries + "[fine]\n"; }
const Text kPlainService = service_with("");

Text signal_at(int position) { return "segnale, " + std::to_string(position) + ", 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\n"; }
Text station_at(int position, int platform, const char* due, const char* name) {
  return "stazione, " + std::to_string(position) + ", 12, " + std::to_string(platform) +
         ", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, " + due + ", " + name + "\n";
}
const Text kSlowdown = "rallentamento, 3800, 40, 350, 0, 0, 0\n";

/// `count` entries made by `entry(n)`, n from 0.
template <typename Entry>
Text repeated(int count, Entry entry) {
  Text text;
  for (int n = 0; n < count; ++n) text += entry(n);
  return text;
}
Text board_at(int position) { return "cartello_indicatore, " + std::to_string(position) + ", (BOARD)\n"; }

std::vector<ErrorExplanation> make_explanations() {
  return {
      {kErrorLineLength,
       "The value of \"lunghezza percorso\" is the line's length in metres; the grid covers it and 7000 m "
       "beyond, in cells of 50 m. A length above 1000000 is refused, and the line description is read no "
       "further: there is no grid. A length of 0 or less is accepted (check warns): the grid is then only "
       "the part beyond the line's end. A length of -6975 to -7000 m is refused too, as its grid would have "
       "no cell 1, where the output stamps its marker; from -7001 m on not even the plan trace can be made, "
       "a read failure (E25).",
       line_of(1000050, "", ""), kPlainService, "Give the length of the line in metres, at most 1000000."},
      {kErrorKilometricReference,
       "A kilometric reference (\"progressiva chilometrica uno\", \"due\" or \"tre\") gives the position "
       "from which it holds and the kilometric progressive there, both in metres. Both must be multiples "
       "of 50. The check runs at the end of the train service's reading, so everything else is compiled, and "
       "on the references as they are stored: sorted by their start (a reference the sorting sets to 0 is not "
       "tested) and with 100 added to the value of a reference whose flag is 1.",
       line_with("progressiva chilometrica uno, 0, 5025, 1\n", ""), kPlainService,
       "Round the start and the value of the reference to a multiple of 50 m."},
      {kErrorRepetitionFirst, "The first position of \"ripetizione segnali\" must be a multiple of 50 m.",
       line_with("ripetizione segnali 4 codici, 25, 0\n", ""), kPlainService,
       "Give the first position as a multiple of 50 m."},
      {kErrorRepetitionSecond, "The second position of \"ripetizione segnali\" must be a multiple of 50 m.",
       line_with("ripetizione segnali 4 codici, 0, 2025\n", ""), kPlainService,
       "Give the second position as a multiple of 50 m (0 turns the equipment's code to 0)."},
      {kErrorRepetitionCodes,
       "The keyword field of \"ripetizione segnali\" must itself hold the number of codes of the "
       "equipment: the digit 4 or the digit 9.",
       line_with("ripetizione segnali codici, 0, 2000\n", ""), kPlainService,
       "Write the code count in the keyword: \"ripetizione segnali 4 codici\" or \"ripetizione segnali 9 "
       "codici\"."},
      {kErrorInfoBoardOccupied,
       "An information board takes the cell round(position / 50 + 1), which must be free: plain track or "
       "a mountain marker. Here a speed board already holds it (850 m and 860 m both fall in cell 18).",
       line_with("indicatori_vmax, 850, 80, 80, 80, 0, , , , 0\ncartello_indicatore, 860, (BRIDGE)\n"), kPlainService,
       "Move the board to a free cell, at least 50 m from the object that holds this one."},
      {kErrorSpeedCutOccupied,
       "A speed cut (\"abbattimento\") takes the cell round(position / 50), one cell before the cell a "
       "single object at that position takes, and that cell must be free. Here the signal at 2000 m holds "
       "cell 41, which is also the cell of a speed cut at 2050 m.",
       kPlainLine, service_with(signal_at(2000) + "abbattimento, 2050, 60\n"),
       "Move the speed cut to a free cell (a position whose round(position / 50) is free)."},
      {kErrorStationPosition, "A station's position must be a multiple of 50 m.", kPlainLine,
       service_with(station_at(2875, 300, "16, 0, 0", "MOLINO")), "Give the station's position as a multiple of 50 m."},
      {kErrorPlatformLength, "A station's platform length must be a multiple of 100 m.", kPlainLine,
       service_with(station_at(650, 350, "16, 0, 0", "PORTO")), "Give the platform length as a multiple of 100 m."},
      {kErrorStationRecords,
       "The scenario table has 80 records for stations and information-board texts together: stations "
       "fill them from record 1 up, board texts from record 80 down, and at least two must stay free "
       "between them. Here 78 boards leave no room for the first station.",
       line_with(repeated(78, [](int n) { return board_at(1000 + 50 * n); })),
       service_with(station_at(650, 300, "16, 0, 0", "PORTO")),
       "Use fewer stations or fewer information boards: together at most 78."},
      {kErrorSignalControlPoint,
       "Ahead of a slowdown's warning, the finishing pass puts a control point right before every signal "
       "in the 20 cells (1000 m) before the warning cell: in the cell before the signal, or the one "
       "before that; when one of the two already holds a control point, its speed is lowered to 180 at "
       "most instead. Here the slowdown at 3800 m has its warning in cell 53; the signal in cell 50 has "
       "signals in cells 49 and 48, so there is no room for its control point.",
       kPlainLine, service_with(signal_at(2350) + signal_at(2400) + signal_at(2450) + kSlowdown),
       "Leave one of the two cells before each such signal free: move a signal at least 100 m further "
       "back, or move the slowdown."},
      {kErrorSlowdownControlPoint,
       "Ahead of a slowdown's start, the finishing pass puts three control points: one in the first free "
       "of the cells 5, 6 and 7 before the start cell, one in 11, 12, 13 and one in 18, 19, 20. Here the "
       "slowdown starts in cell 77 and signals hold cells 72, 71 and 70.",
       kPlainLine, service_with(signal_at(3450) + signal_at(3500) + signal_at(3550) + kSlowdown),
       "Keep objects out of at least one cell of each group before the start (the stretch from 250 to "
       "350 m, 550 to 650 m and 900 to 1000 m before it), or move the slowdown."},
      {kErrorSlowdownWalk,
       "Along a slowdown below 110 km/h the finishing pass puts a control point every 8 cells, in the "
       "first free of that cell, the one before and the one after; after a slowdown, one before the first "
       "signal in the 12 cells after its end. Here the slowdown from 3800 m over 800 m needs a control "
       "point in cell 85, 84 or 86, and signals hold all three.",
       kPlainLine,
       service_with(signal_at(4150) + signal_at(4200) + signal_at(4250) + "rallentamento, 3800, 40, 800, 0, 0, 0\n"),
       "Keep one cell free in each group of three along the slowdown, every 400 m from its start, and "
       "one of the two cells before the first signal after its end."},
      {kErrorOutOfRange,
       "A position must lie within the grid, which reaches 7000 m beyond the line: the test is "
       "position + 100 <= 50 x the last cell (position + 800 for a station). The entries of that file stop "
       "there and its profiles are still completed. After one in the line description the train service "
       "is read only up to its first signal or slowdown, which is placed; then the reading ends, the line "
       "speed and adhesion are not completed, and the entries after it are missing.",
       line_with("pendenza, 40000, 2\n"), kPlainService,
       "Give a position on the line, between 0 and the line's length: the grid's tail, the 7000 m beyond "
       "the end, accepts a position without an error, but an object there stands where the train runs only "
       "when it overruns the line (check warns: beyond-line-end)."},
      {kErrorSignalOccupied,
       "A signal takes the cell round(position / 50 + 1), which must be free: plain track or a mountain "
       "marker. Here 1500 m and 1510 m both fall in cell 31.",
       kPlainLine, service_with(signal_at(1500) + signal_at(1510)),
       "Move one of the two objects to another cell, at least 50 m from the other."},
      {kErrorWarningOccupied,
       "A slowdown that starts beyond 1500 m puts its warning 1200 m before its start, in the cell "
       "round((start - 1200) / 50 + 1), which must be free. Here the slowdown at 3800 m has its warning in "
       "cell 53, where the signal at 2600 m stands.",
       kPlainLine, service_with(signal_at(2600) + kSlowdown),
       "Move the object that stands 1200 m before the slowdown, or move the slowdown."},
      {kErrorSlowdownStartOccupied, "A slowdown's start takes the cell round(start / 50 + 1), which must be free.",
       kPlainLine, service_with(signal_at(3800) + kSlowdown), "Move the slowdown's start or the object in its cell."},
      {kErrorSlowdownEndOccupied,
       "A slowdown's end takes the cell round((start + length) / 50 + 1), which must be free. Here the "
       "slowdown from 3800 m over 350 m ends in cell 84, where the signal at 4150 m stands.",
       kPlainLine, service_with(signal_at(4150) + kSlowdown),
       "Change the slowdown's length, or move the object at its end."},
      {kErrorApproachOccupied,
       "A slowdown with f_ta not 0 that starts beyond 1500 m puts four approach cells right before its "
       "warning cell (the cells of 1250 to 1400 m before the start); all four must be free. Here they are "
       "cells 49 to 52, and the signal at 2450 m holds cell 50.",
       kPlainLine, service_with(signal_at(2450) + "rallentamento, 3800, 40, 350, 0, 1, 0\n"),
       "Move the object out of the stretch from 1400 to 1250 m before the slowdown, or give f_ta 0."},
      {kErrorSpeedBoardOccupied,
       "A speed board takes the cell round(position / 50 + 1), which must be free. Here an information "
       "board at 850 m holds cell 18, where the speed board at 860 m falls.",
       line_with("cartello_indicatore, 850, (BRIDGE)\nindicatori_vmax, 860, 80, 80, 80, 0, , , , 0\n"), kPlainService,
       "Move the speed board to a free cell, at least 50 m from the other object."},
      {kErrorStationSpacing,
       "Stations are listed in line order, and a station's platform must begin at least 350 m after the "
       "end of the previous station's platform. Here the first platform runs from 500 to 800 m and the "
       "second from 850 to 1150 m.",
       kPlainLine,
       service_with(station_at(650, 300, "16, 0, 0", "PORTO") + station_at(1000, 300, "16, 2, 0", "MOLINO")),
       "List the stations in line order and keep 350 m between the end of one platform and the start of "
       "the next."},
      {kErrorPlatformTooNear,
       "A station's mark stands in the cell before the end of its platform; a platform that ends at 100 m "
       "or less leaves no room for it. Here the platform runs from 0 to 100 m.",
       kPlainLine, service_with(station_at(50, 100, "16, 0, 0", "PORTO")),
       "Put the station further along the line, so that its platform ends beyond 100 m."},
      {kErrorReadFailure,
       "A field that should hold a whole number does not, a number does not fit its field (0 to 255 for "
       "the one-byte station values, -32768 to 32767 for the 16-bit ones), a text is longer than 65535 "
       "bytes, or the file ends inside an entry. The reading ends there.",
       kPlainLine, service_with("velocita, 0, ottanta\n"),
       "Write the value as a whole number in its range (the message names the field)."},
      {kErrorLineMissing, "The line description K_linea.txt is not there (the example has no line description at all).",
       std::nullopt, kPlainService, "Give the line description's path; with `scenario new` you get one to start from."},
      {kErrorNoGeneralSection,
       "The line description has no field that contains \"[generale]\": everything before it is ignored, "
       "so nothing is read.",
       Text("lunghezza percorso, 5000\n[curve]\n[fine]\n"), kPlainService,
       "Begin the line description with a \"[generale]\" line."},
      {kErrorCurve,
       "A curve keyword carries its sharpness as a digit 1 to 6 (the first of them found, tested from 1 "
       "up): without one the curve cannot be traced. The same code is given when the plan would run "
       "beyond 1000000 m.",
       line_with("curvad, 1000, 200\n"), kPlainService,
       "Write the sharpness in the keyword, for instance \"curvad3\" (radius 2500 m) or \"curvas5\" "
       "(500 m, to the left)."},
      {kErrorNoLineLength,
       "The grid is made by \"lunghezza percorso\" in the general section; an entry of the line needs it.",
       Text("[generale]\n[curve]\npendenza, 0, 0\n[fine]\n"), kPlainService,
       "Give \"lunghezza percorso\" in the general section, before the first section header."},
      {kErrorMountainCapacity, "The line may have at most 80 mountain stretches; here there are 81.",
       line_with(repeated(81,
                          [](int n) {
                            return "montagna, " + std::to_string(100 + 50 * n) + ", " + std::to_string(150 + 50 * n) +
                                   ", 5\n";
                          })),
       kPlainService, "Join neighbouring stretches into one, so that at most 80 remain."},
      {kErrorBoardCapacity,
       "The line may have at most 80 information boards (their texts fill the scenario table's records 80 "
       "down to 1); here there are 81.",
       line_with(repeated(81, [](int n) { return board_at(500 + 50 * n); })), kPlainService,
       "Use at most 80 information boards, and fewer with stations: together at most 78."},
      {kErrorMarkerTaken,
       "The output stamps a marker into the first value of cell 1 and into the scenario table. A non-zero "
       "first value there, left by an object in cell 1 (given from -24 to 24 m, a speed cut from 26 to 74 "
       "m), takes that place, and no binary file can be written. An object whose values are 0 passes.",
       kPlainLine, service_with(signal_at(10)), "Keep objects out of cell 1: from 25 m on (a speed cut from 75 m on)."},
      {kErrorCodeTaken,
       "The output stamps the competition code into the second value of cell 1, beside the marker. A "
       "non-zero second value there takes its place: a slowdown starting in cell 1 with a speed of 0 leaves "
       "the marker's place free, but its d_v of 5 takes the code's, and no binary file can be written.",
       kPlainLine, service_with("rallentamento, 0, 0, 100, 0, 0, 5\n"),
       "Keep objects out of cell 1: from 25 m on (a speed cut from 75 m on)."},
  };
}

}  // namespace

std::span<const ErrorExplanation> error_explanations() {
  static const std::vector<ErrorExplanation> kExplanations = make_explanations();
  return kExplanations;
}

const ErrorExplanation* error_explanation(int32_t code) {
  for (const ErrorExplanation& explanation : error_explanations())
    if (explanation.code == code) return &explanation;
  return nullptr;
}
