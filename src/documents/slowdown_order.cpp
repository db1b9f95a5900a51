#include "documents/slowdown_order.h"

#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// Cell bottoms of the slowdown table: under the heading and closing the table.
constexpr const char* kTableRule =
    " |___|____________________________|____________|__________|_________|____________|";
/// An empty row of the slowdown table: above the two slowdowns and filling the table below them.
constexpr const char* kEmptyRow =
    " |   |                            |            |          |         |            |";
/// Empty rows between the two slowdowns and the closing rule.
constexpr std::size_t kTrailingEmptyRows = 23;

}  // namespace

LineTable slowdown_order_lines() {
  LineTable lines{
      "",
      "                                Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________________________________________________",
      "  Linea  Lesca-Varo P.San Paolo ",
      "",
      "  Si ordina al macchinista del treno 148 di effettuare i seguenti rallentamenti",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      kTableRule,
      kEmptyRow,
      " | 1 | Stella Polare-Lido Centro  |    25.200  |    40    |    350  |    ---     |",
      " | 2 | Acilia-Casal Bernocchi     |    15.500  |    30    |  1.600  |     B      |",
  };
  lines.insert(lines.end(), kTrailingEmptyRows, kEmptyRow);
  const LineTable legend{
      kTableRule,
      "",
      "              Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di CASAL BERNOCCHI",
      // "Rallentamneto" is the form's own spelling and stays as it is.
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
      kEndMarker,
  };
  lines.insert(lines.end(), legend.begin(), legend.end());
  return lines;
}

void dati_rallentamenti(const RunState& state) {
  scrivi_righe(path_in(state.program_directory, scenario_file_name(ScenarioFile::SlowdownOrder, state.line_key, state.train_number)),
               slowdown_order_lines());
}
