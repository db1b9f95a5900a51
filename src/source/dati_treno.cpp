#include "source/dati_treno.h"

#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

LineTable train_service_lines() {
  // Every line is written as it stands: the blanks inside a line (and after "40") are part of it.
  return {
      "[generale]",
      "numero vetture,    3",
      "percentuale massa frenata,    130",
      "sabbia,    100",
      "orologio,    16              22            40 ",
      "[aderenze]",
      "aderenza,   0,    100",
      "[vel_limite]",
      "velocita,       0,    80",
      "velocita,    4400,    90",
      "[stazioni]",
      "stazione,     650, 12,  300,  1, 1, 0,  4,1,0,  2,1,1,    1,  16,23, 0, CRISTOFORO COLOMBO",
      "stazione,    1900, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,25, 0, CASTEL FUSANO",
      "stazione,    3250, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,27, 0, STELLA POLARE",
      "stazione,    4450, 12,  300,  0, 0, 0,  1,1,0,  4,1,1,   15,  16,30, 0, LIDO CENTRO",
      "stazione,    5550, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,31, 0, OSTIA NORD",
      "stazione,    7650, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,34, 0, OSTIA ANTICA",
      "stazione,   13300, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,40, 0, ACILIA",
      "stazione,   14950, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,44,10, CASAL BERNOCCHI",
      "stazione,   17250, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  16,49, 0, VITINIA",
      "stazione,   21250, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   10,  16,53, 0, TOR DI VALLE",
      "stazione,   24400, 12,  300,  0, 0, 0,  1,1,0,  4,1,1,   10,  16,56, 0, MAGLIANA",
      "stazione,   26700, 12,  300,  0, 0, 0,  1,1,0,  3,1,1,   10,  16,59, 0, S.PAOLO BASILICA",
      "stazione,   29000,  6,  300,  1, 0, 0,  1,1,0,  2,1,1,    0,  17, 3, 0, ROMA PORTA S.PAOLO",
      "[rallentamenti]",
      "rallentamento,    3800,    40,  350, 0,  0,  0",
      "rallentamento,   13500,    30, 1600, 0,  0,  0",
      "[segnali]",
      "segnale,    1500,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    2500,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    3700,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    5000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    6500,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,    8700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   10000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   11300,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   12400,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   13900,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   16000,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   16850,   2, 4, 0,  0, 0,    0,  0,0,0, 255",
      "segnale,   18500,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   19700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   21450,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   22700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   23950,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   26100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   28450,   2, 2, 3,  0, 0,    0,  0,0,0, 255",
      "[codici]",
      "[fine]",
      kEndMarker,
  };
}

void dati_treno(const RunState& state) {
  scrivi_righe(path_in(state.program_directory, service_source_name(state.line_key, state.train_number)),
               train_service_lines());
}
