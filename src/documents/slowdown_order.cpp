#include "documents/slowdown_order.h"

#include "documents/document_table.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// The entries of the line table after the rows: the closing rule, the legend's eight lines (one of
/// them empty) and the end marker.
constexpr std::size_t kClosingEntries = 9;

LineTable heading_lines(const OrderHeading& heading) {
  return {
      "",
      "                                Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      std::string(1, ' ').append(row_length(kSlowdownCells) - 2, '_'),
      "  Linea  " + heading.line,
      "",
      "  Si ordina al macchinista del treno " + heading.train + " di effettuare i seguenti rallentamenti",
      table_top(kSlowdownCells),
      table_row(kSlowdownCells, {"", "", "Inizio dopo"}),
      table_row(kSlowdownCells,
                {" N.", "      FRA LE STAZIONI", " il cippo", " Velocita'", "Lunghezza", "Prescrizioni"}),
      table_row(kSlowdownCells, {"", "   (o nelle Stazioni di)", "chilometrico", "", "   metri", " specifiche"}),
      table_rule(kSlowdownCells),
      empty_row(kSlowdownCells),
  };
}

LineTable legend_lines(const OrderHeading& heading) {
  return {
      "",
      "              Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di " + heading.station_of_b,
      // "Rallentamneto" is the form's own spelling and stays as it is.
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  };
}

}  // namespace

std::string slowdown_row(const SlowdownRow& row) {
  const auto& w = kSlowdownCells;
  return table_row(
      w, {placed_right(row.number, w[0], 1), placed_left(row.stretch, w[1], 1), placed_right(row.progressive, w[2], 2),
          placed_right(row.speed, w[3], 4), placed_right(row.length, w[4], 2), centred(row.prescription, w[5])});
}

LineTable slowdown_order(const OrderHeading& heading, const std::vector<SlowdownRow>& rows) {
  LineTable lines = heading_lines(heading);
  // What a line table cannot hold is left out, and the last row that it holds says how much.
  const std::size_t room = kLineTableCapacity - lines.size() - kClosingEntries;
  const std::size_t kept = rows.size() <= room ? rows.size() : room - 1;
  for (std::size_t i = 0; i < kept; ++i) lines.push_back(slowdown_row(rows[i]));
  if (kept < rows.size()) {
    SlowdownRow left_out;
    left_out.stretch = left_out_text(rows.size() - kept);
    lines.push_back(slowdown_row(left_out));
  }
  // The empty row above the slowdowns counts among the rows.
  for (std::size_t count = 1 + rows.size(); count < kSlowdownRows; ++count) lines.push_back(empty_row(kSlowdownCells));
  lines.push_back(table_rule(kSlowdownCells));
  const LineTable legend = legend_lines(heading);
  lines.insert(lines.end(), legend.begin(), legend.end());
  lines.push_back(kEndMarker);
  return lines;
}

LineTable slowdown_order_lines() {
  return slowdown_order({"Lesca-Varo P.San Paolo ", "148", "CASAL BERNOCCHI"},
                        {
                            {"1", "Stella Polare-Lido Centro", "25.200", "40", "350", "---"},
                            {"2", "Acilia-Casal Bernocchi", "15.500", "30", "1.600", "B"},
                        });
}

void dati_rallentamenti(const RunState& state) {
  scrivi_righe(path_in(state.program_directory,
                       scenario_file_name(ScenarioFile::SlowdownOrder, state.line_key, state.train_number)),
               slowdown_order_lines());
}
