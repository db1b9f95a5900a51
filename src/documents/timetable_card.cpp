#include "documents/timetable_card.h"

#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

/// Cell bottoms of the timetable: under the header and closing the table.
constexpr const char* kTableRule =
    " |_____|_____|__________|_____|____________________________|________________|_____|";
/// An empty row of the timetable: above the first place and filling the table below the last.
constexpr const char* kEmptyRow =
    " |     |     |          |     |                            |                |     |";
/// Empty rows between the last place and the closing rule.
constexpr std::size_t kTrailingEmptyRows = 15;

}  // namespace

LineTable timetable_card_lines() {
  LineTable lines{
      "",
      "",
      "  ___________________                                               ______________",
      " |                   |                    SCHEDA                   |              |",
      " |   TRENO n. 148    |               da: Ostia C.Colombo           |    V 90 C    |",
      " |___________________|                a: Roma Porta S.Paolo        |     130%     |",
      "                                                                   |______________|",
      "  ___________________                ___________________",
      " |  CLASSIFICAZIONE  |              |   MASSA TRENO     |       ",
      " |      METRO        |              |      180T         |",
      " |___________________|              |___________________|",
      "",
      "  ________________________________________________________________________________",
      " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
      " | Lim.|Marc.|          |  Rs |                            |                |     |",
      kTableRule,
      kEmptyRow,
      " |  80 |     |   28.350 |  80 |  Ostia C.Colombo           |          16.23 |     |",
      " |     |     |   27.100 |     |  Castel Fusano             | 16.25    16.25 |     |",
      " |     |     |   25.750 |     |  Stella Polare             | 16.27    16.27 |     |",
      " |  90 |     |   24.550 |  90 |  Lido Centro               | 16.30    16.30 | 0.3 |",
      " |     |     |   23.400 |     |  Ostia Nord                | 16.31    16.31 |     |",
      " |     |     |   21.350 |     |  Ostia Antica              | 16.34    16.34 |     |",
      " |     |     |   18.150 |     |  Viadotto di Dragona       |      16.37     |     |",
      " |     |     |   15.650 |     |  Acilia                    | 16.39    16.40 |     |",
      " |     |     |   14.050 |     |  Casal Bernocchi           | 16.44    16.44 |     |",
      " |     |     |   11.750 |     |  Vitinia                   | 16.49    16.49 | 0.4 |",
      " |     |     |    8.800 |     |  Ex stazione Torrino       |      16.52     |     |",
      " |     |     |    7.750 |     |  Tor di valle              | 16.53    16.53 | 0.3 |",
      " |     |     |    4.600 |     |  Magliana                  | 16.56    16.56 |     |",
      " |     |     |    2.300 |     |  S.Paolo Basilica          | 16.59    16.59 | 0.2 |",
      " |     |     |    0.000 |     |  Roma Porta San Paolo      | 17.03          |     |",
  };
  lines.insert(lines.end(), kTrailingEmptyRows, kEmptyRow);
  lines.push_back(kTableRule);
  lines.push_back("");
  lines.push_back(kEndMarker);
  return lines;
}

void dati_scheda(const RunState& state) {
  scrivi_righe(path_in(state.program_directory, scenario_file_name(ScenarioFile::TimetableCard, state.line_key, state.train_number)),
               timetable_card_lines());
}
