#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "source/line_table.h"

struct RunState;

/// The cells of the slowdown table: "N.", "FRA LE STAZIONI", "Inizio dopo il cippo chilometrico",
/// "Velocita'", "Lunghezza metri" and "Prescrizioni specifiche".
inline constexpr std::array<std::size_t, 6> kSlowdownCells{3, 28, 12, 10, 9, 12};

/// Rows of the slowdown table between the rule under its heading and its closing rule, at the least: an
/// empty row, the slowdowns, then empty rows to fill by hand.
inline constexpr std::size_t kSlowdownRows = 26;

/// The texts of one row of the slowdown table, each placed in its cell as the order writes it.
struct SlowdownRow {
  std::string number;
  std::string stretch;      // "Acilia-Casal Bernocchi", or the station it lies in
  std::string progressive;  // kilometres, "25.200": where the slowdown begins
  std::string speed;        // km/h
  std::string length;       // metres, "1.600"
  std::string prescription;
};

/// The texts of the order around its table.
struct OrderHeading {
  std::string line;  // the line's name after "Linea"
  std::string train;
  std::string station_of_b;  // the station that prescription B names
};

/// One row of the slowdown table, drawn on its cells.
std::string slowdown_row(const SlowdownRow& row);

/// A slowdown order: its heading, the table's heading, an empty row, `rows`, empty rows up to
/// kSlowdownRows, the closing rule and the legend of the prescriptions; then the end marker.
LineTable slowdown_order(const OrderHeading& heading, const std::vector<SlowdownRow>& rows);

/// The slowdown order for train 148: 46 constant lines, then the end marker.
LineTable slowdown_order_lines();

/// Writes the slowdown order into the program directory; only its name follows the run state.
void dati_rallentamenti(const RunState& state);
