#include "documents/notes.h"

#include "platform/program_directory.h"
#include "platform/windows1252.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

// Each paragraph is one line, however long; lines 16, 18, 22 and 26 end with a blank.
LineTable notes_text() {
  return {
      "",
      "                                  FERROVIA ROMA-LIDO DI OSTIA",
      "",
      "",
      " CENNI STORICI:",
      "",
      "La linea fu inaugurata il 10 Agosto del 1924 precisamente alle ore 10.00.",
      "Questa linea ha incontrato molte difficoltà prima di essere approvata, ma alla fine è prevalsa la "
      "necessità di collegare Roma con il litorale.",
      "La linea non era esattamente come quella di oggi: contava meno stazioni e il capolinea di Ostia, "
      "chiamato MARINA DI OSTIA, si trovava nei pressi dell'attuale stazione di LIDO CENTRO.",
      "Durante le guerre la linea riportò gravi danni; nel dopoguerra il primo capolinea fu ricostruito con "
      "il nome di LIDO CENTRO e la linea fu prolungata lungo la costa: nel 1948 fino alla stazione di "
      "STELLA POLARE e nel 1949 fino a quella di CASTEL FUSANO. Negli anni sessanta venne infine inaugurato "
      "il nuovo capolinea di CRISTOFORO COLOMBO, al km 28.370, che ancora oggi è la stazione più distante "
      "da Roma e il punto di partenza del treno che guiderete in questa simulazione.",
      "Oggi la linea è esercitata come una vera e propria metropolitana, con 13 fermate tra ROMA PORTA SAN "
      "PAOLO e CRISTOFORO COLOMBO, e sono in corso nuovi lavori per aumentare la frequenza delle corse e per "
      "rinnovare il materiale rotabile.",
      "",
      " LINEA SIMULATA:",
      "",
      "La linea simulata corrisponde fedelmente a quella reale, essendo stata realizzata sulle planimetrie e "
      "sui profili altimetrici originali; le lievi differenze sono dovute ai limiti dell'editor.",
      "Essendo una  linea  metropolitana, non è prevista la ripetizione dei segnali in cabina; il treno è "
      "stato adattato per accelerare e frenare come in metropolitana; quello reale ha 6 carrozze, di cui 4 "
      "motrici. ",
      "Alle stazioni noterete che le fermate durano solo pochi secondi, come accade sulle linee "
      "metropolitane.",
      "Fate attenzione che i segnali sono più ravvicinati che sulla rete nazionale, che alcuni hanno un "
      "significato diverso e che quelli doppi si trovano solo ai deviatoi. ",
      "Nella simulazione non avrete problemi a riconoscere l'arrivo al capolinea: dopo la partenza da "
      "S.PAOLO BASILICA incontrerete un segnale giallo e poi, al segnale di protezione di ROMA PORTA SAN "
      "PAOLO, il rosso/giallo, che vi impone di passare sui deviatoi a 30 km/h; non ci saranno invece "
      "avvisi con il giallo/verde.",
      "Inoltre quasi mai prima delle stazioni il segnale è giallo.",
      "I segnali sono tutti di prima categoria.",
      "Durante la linea troverete lavori e rallentamenti: sono quelli esistenti sulla linea reale. ",
      "noterete ad ACILIA una sosta di circa un minuto per attendere la coincidenza con il treno che "
      "viaggia in senso contrario: a causa dei lavori, infatti, il tratto tra CASAL BERNOCCHI e ACILIA è a "
      "binario unico e va percorso a velocità ridotta.",
      "ATTENZIONE sempre a CASAL BERNOCCHI: la stazione è in leggera pendenza e durante la sosta tenete il "
      "treno ben frenato.",
      "La linea è ricca di variazioni altimetriche per cui occhio al contachilometri.",
      "Per rispettare l'orario dovete guidare sempre al limite della velocità consentita, come in una "
      "metropolitana, anche se il margine di recupero è più ampio rispetto all'andata. ",
      "",
      "BUON DIVERTIMENTO !!",
      kEndMarker,
  };
}

LineTable notes_lines() {
  LineTable lines = notes_text();
  for (auto& line : lines) line = utf8_to_windows1252(line);
  return lines;
}

void dati_note(const RunState& state) {
  scrivi_righe(
      path_in(state.program_directory, scenario_file_name(ScenarioFile::Notes, state.line_key, state.train_number)),
      notes_lines());
}
