#include "documents/timetable_card.h"

#include "documents/document_table.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// The title box: the train, the route with the word "SCHEDA" over it, and the marks.
constexpr std::array<std::size_t, 3> kTitleCells{19, 45, 14};
/// The boxes of the classification and the mass, with the blanks between them as a cell of their own.
constexpr std::array<std::size_t, 3> kTrainBoxCells{19, 14, 19};
/// A time of the timetable: hours and minutes, "16.23".
constexpr std::size_t kClockWidth = 5;
/// Empty lines before the first box.
constexpr std::size_t kLeadingEmptyLines = 2;
/// The entries of the line table after the rows: the closing rule, an empty line, the end marker.
constexpr std::size_t kClosingEntries = 3;

/// The time cell: the arrival at its left, the departure at its right, a time of passing between them.
std::string time_cell(const TimetableRow& row) {
  const std::size_t width = kTimetableCells[5];
  if (!row.passing.empty()) return placed_left(placed_right(row.passing, kClockWidth, 0), width, 1 + kClockWidth);
  const std::string gap(width - 2 - 2 * kClockWidth, ' ');
  std::string cell(1, ' ');
  return cell.append(placed_right(row.arrival, kClockWidth, 0))
             .append(gap)
             .append(placed_right(row.departure, kClockWidth, 0)) +
         ' ';
}

constexpr std::string_view kTrainLabel = "TRENO n. ";

/// The card down to the empty row that opens the timetable.
LineTable heading_lines(const CardHeading& heading) {
  const std::string underscores_19(kTitleCells[0], '_');
  LineTable lines(kLeadingEmptyLines, "");
  lines.push_back(box_top(kTitleCells, {true, false, true}));
  lines.push_back(table_row(kTitleCells, {"", std::string(20, ' ') + "SCHEDA", ""}));
  lines.push_back(table_row(kTitleCells, {centred(std::string(kTrainLabel) + heading.train, kTitleCells[0]),
                                          placed_left("da: " + heading.from, kTitleCells[1], 15),
                                          centred(heading.speed_mark, kTitleCells[2])}));
  lines.push_back(table_row(kTitleCells, {underscores_19, placed_left("a: " + heading.to, kTitleCells[1], 16),
                                          centred(heading.braking, kTitleCells[2])}));
  lines.push_back(std::string(2 + kTitleCells[0] + 1 + kTitleCells[1], ' ') + "|" + std::string(kTitleCells[2], '_') +
                  "|");
  lines.push_back(box_top(kTrainBoxCells, {true, false, true}));
  // The form's header row of the two boxes runs on with seven blanks.
  lines.push_back(table_row(kTrainBoxCells, {"  CLASSIFICAZIONE", "", "   MASSA TRENO"}) + std::string(7, ' '));
  lines.push_back(table_row(kTrainBoxCells, {placed_left(heading.classification, kTrainBoxCells[0], 6), "",
                                             placed_left(heading.mass, kTrainBoxCells[2], 6)}));
  lines.push_back(table_row(kTrainBoxCells, {underscores_19, "", std::string(kTrainBoxCells[2], '_')}));
  lines.push_back("");
  lines.push_back(table_top(kTimetableCells));
  lines.push_back(table_row(
      kTimetableCells, {" Vel.", " Vel.", " Progr Km", "  No", "   Localita' di  Servizio", "     Orario", " Rec"}));
  lines.push_back(table_row(kTimetableCells, {" Lim.", "Marc.", "", "  Rs"}));
  lines.push_back(table_rule(kTimetableCells));
  lines.push_back(empty_row(kTimetableCells));
  return lines;
}

/// The rows of the card of train 148: its places, times and speeds, and the recovery times.
std::vector<TimetableRow> rows_of_train_148() {
  auto stop = [](const char* progressive, const char* place, const char* arrival, const char* departure,
                 const char* recovery = "") {
    return TimetableRow{"", "", progressive, "", place, arrival, departure, "", recovery};
  };
  auto passing = [](const char* progressive, const char* place, const char* time) {
    return TimetableRow{"", "", progressive, "", place, "", "", time, ""};
  };
  return {
      {"80", "", "28.350", "80", "Ostia C.Colombo", "", "16.23", "", ""},
      stop("27.100", "Castel Fusano", "16.25", "16.25"),
      stop("25.750", "Stella Polare", "16.27", "16.27"),
      {"90", "", "24.550", "90", "Lido Centro", "16.30", "16.30", "", "0.3"},
      stop("23.400", "Ostia Nord", "16.31", "16.31"),
      stop("21.350", "Ostia Antica", "16.34", "16.34"),
      passing("18.150", "Viadotto di Dragona", "16.37"),
      stop("15.650", "Acilia", "16.39", "16.40"),
      stop("14.050", "Casal Bernocchi", "16.44", "16.44"),
      stop("11.750", "Vitinia", "16.49", "16.49", "0.4"),
      passing("8.800", "Ex stazione Torrino", "16.52"),
      stop("7.750", "Tor di valle", "16.53", "16.53", "0.3"),
      stop("4.600", "Magliana", "16.56", "16.56"),
      stop("2.300", "S.Paolo Basilica", "16.59", "16.59", "0.2"),
      stop("0.000", "Roma Porta San Paolo", "17.03", ""),
  };
}

}  // namespace

std::size_t train_number_room() { return kTitleCells[0] - kTrainLabel.size(); }

std::string timetable_row(const TimetableRow& row) {
  const auto& w = kTimetableCells;
  return table_row(w, {placed_right(row.line_speed, w[0], 1), placed_right(row.marked_speed, w[1], 1),
                       placed_right(row.progressive, w[2], 1), placed_right(row.rank_speed, w[3], 1),
                       placed_left(row.place, w[4], 2), time_cell(row), placed_right(row.recovery, w[6], 1)});
}

LineTable timetable_card(const CardHeading& heading, const std::vector<TimetableRow>& rows) {
  LineTable lines = heading_lines(heading);
  // What a line table cannot hold is left out, and the last row that it holds says how much.
  const std::size_t room = kLineTableCapacity - lines.size() - kClosingEntries;
  const std::size_t kept = rows.size() <= room ? rows.size() : room - 1;
  for (std::size_t i = 0; i < kept; ++i) lines.push_back(timetable_row(rows[i]));
  if (kept < rows.size()) {
    TimetableRow left_out;
    left_out.place = left_out_text(rows.size() - kept);
    lines.push_back(timetable_row(left_out));
  }
  // The empty row above the places counts among the rows.
  for (std::size_t count = 1 + rows.size(); count < kTimetableRows; ++count)
    lines.push_back(empty_row(kTimetableCells));
  lines.push_back(table_rule(kTimetableCells));
  lines.push_back("");
  lines.push_back(kEndMarker);
  return lines;
}

LineTable timetable_card_lines() {
  const CardHeading heading{"148", "Ostia C.Colombo", "Roma Porta S.Paolo", "V 90 C", "130%", "METRO", "180T"};
  return timetable_card(heading, rows_of_train_148());
}

void dati_scheda(const RunState& state) {
  scrivi_righe(path_in(state.program_directory,
                       scenario_file_name(ScenarioFile::TimetableCard, state.line_key, state.train_number)),
               timetable_card_lines());
}
