#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "source/line_table.h"

struct RunState;

/// The cells of the timetable: "Vel. Lim.", "Vel. Marc.", "Progr Km", "No Rs", "Localita' di Servizio",
/// "Orario" and "Rec".
inline constexpr std::array<std::size_t, 7> kTimetableCells{5, 5, 10, 5, 28, 16, 5};

/// Rows of the timetable between the rule under its header and its closing rule, at the least: an
/// empty row, the places, then empty rows to fill by hand.
inline constexpr std::size_t kTimetableRows = 31;

/// The texts of one row of the timetable, each placed in its cell as the card writes it.
struct TimetableRow {
  std::string line_speed;    // km/h
  std::string marked_speed;  // km/h
  std::string progressive;   // kilometres, "28.350"
  std::string rank_speed;    // km/h
  std::string place;
  std::string arrival;    // "16.25"
  std::string departure;  // "16.25"
  std::string passing;    // the time of a place passed without a stop, in the middle of the cell
  std::string recovery;   // minutes, "0.3"
};

/// The texts of the card's boxes above the timetable.
struct CardHeading {
  std::string train;
  std::string from;        // the first place of the route
  std::string to;          // the last
  std::string speed_mark;  // "V 90 C"
  std::string braking;     // "130%"
  std::string classification;
  std::string mass;
};

/// How many characters of the train number the title box shows after "TRENO n. "; a longer number is cut.
std::size_t train_number_room();

/// One row of the timetable, drawn on its cells.
std::string timetable_row(const TimetableRow& row);

/// A timetable card: the boxes of `heading`, the timetable's header, an empty row, `rows`, empty rows up
/// to kTimetableRows, the closing rule and an empty line; then the end marker.
LineTable timetable_card(const CardHeading& heading, const std::vector<TimetableRow>& rows);

/// The timetable card of train 148: 49 constant lines, then the end marker.
LineTable timetable_card_lines();

/// Writes the timetable card into the program directory; only its name follows the run state.
void dati_scheda(const RunState& state);
