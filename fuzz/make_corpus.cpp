// Writes the seed corpus of every fuzz target: the scenario's two sources and small cases of the tests;
// for the picture's layout, the compiled scenario, the crowded scenario of the picture's tests and
// hostile variants of them.
// Usage: make_corpus DIRECTORY (the corpus directory, fuzz/corpus); each target gets its subdirectory.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "compiler/compile_scenario.h"
#include "scenario/binary_format.h"
#include "scenario/run_state.h"
#include "scenario/track_cell.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"
#include "source/line_table.h"
#include "support/crowded_scenario.h"

namespace fs = std::filesystem;

namespace {

using Seeds = std::vector<std::pair<std::string, std::string>>;  // name, bytes

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}

std::string service_with(const std::string& body) { return "[generale]\r\n" + body + "[codici]\r\n[fine]\r\n"; }

std::string station(int position, int kind, int length) {
  return "stazione," + std::to_string(position) + "," + std::to_string(kind) + "," + std::to_string(length) +
         ",0,0,0,0,0,0,0,0,0,0,16,0,0,NAME\r\n";
}

const std::string kSignal = "segnale,1500,2,3,0,0,0,0,0,0,0,0\r\n";

Seeds line_seeds() {
  return {
      {"scenario", encode_lines(line_description_lines())},
      {"gradients", line_with("pendenza,  0,   0\r\npendenza,  4850,   -2\r\npendenza,  5200,   0\r\n")},
      {"curves", line_with("curvaS2,  100,  10\r\ncurvad24,  300,  50\r\nCURVAD6,  500,  20\r\n")},
      {"case-rules",
       "[GENERALE]\r\nLunghezza Percorso, 1000\r\nSfondo uno, 5\r\nsfondo tre, 6\r\n[curve]\r\n[fine]\r\n"},
      {"comments", line_with("---------\r\npendenza-x,  0,   9\r\nmontagna,  100,  200,  5\r\n")},
      {"mountains", line_with("montagna,  1000,  1100,  12\r\nmontagna,  1200,  1600,  12\r\n")},
      {"boards", line_with("montagna,  1000,  1500,  12\r\nindicatori_vmax,  1100,  80,  80,  80,  0,  ,  ,  ,  0\r\n"
                           "cartello_indicatore,  1300,  (X)\r\n")},
      {"speed-board", line_with("indicatori_vmax,  1000,  90,  90,  90,  3,  62,  63,  65,  2\r\n")},
      {"repetition", "[generale]\r\nlunghezza percorso,    29000\r\nripetizione segnali 9 codici, 50, 2000\r\n"
                     "progressiva chilometrica due, 100, 200, 1\r\nsfondo due, 3\r\n[curve]\r\n[fine]\r\n"},
      {"longest-line", "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\ncurvad3,  999000,  900\r\n[fine]\r\n"},
      {"no-length", "[generale]\r\nsfondo uno, 1\r\n[curve]\r\npendenza, 0, 0\r\n[fine]\r\n"},
      // The shortest line with a cell 1, and lengths whose grid or trace cannot be made.
      {"short-line", "[generale]\r\nlunghezza percorso, -6974\r\n[curve]\r\npendenza, -100, 3\r\n"
                     "cartello_indicatore, -60, (X)\r\nmontagna, -300, 100, 12\r\n[fine]\r\n"},
      {"no-grid", "[generale]\r\nlunghezza percorso, 1000\r\nlunghezza percorso, -7001\r\n[curve]\r\n[fine]\r\n"},
  };
}

Seeds service_seeds() {
  return {
      {"scenario", encode_lines(train_service_lines())},
      {"train", service_with("percentuale massa frenata,130\r\nnumero vetture,3\r\nsabbia,7\r\n"
                             "orologio,    16              22            40 \r\n")},
      {"profiles", service_with("velocita,0,80\r\nvelocita,1000,90\r\naderenza,0,100\r\naderenza,1000,300\r\n")},
      {"signals", service_with(kSignal + "segnale,28450,2,2,3,0,0,0,0,0,0,255\r\n")},
      {"slowdowns", service_with("velocita,0,80\r\nrallentamento,3800,40,350,0,0,0\r\n"
                                 "rallentamento,13500,30,1600,0,1,0\r\n")},
      {"speed-cuts", service_with("abbattimento,2000,60\r\nabbattimento,3000,0\r\n")},
      {"stations",
       service_with(station(650, 12, 300) + station(2000, 5, 600) + station(4000, 7, 200) + station(8000, 30, 100))},
      {"mixed-keywords", service_with("velocita aderenza,0,80,0,90\r\nsabbia orologio,16,22,40,7\r\n"
                                      "-note,-more,-sabbia,7\r\n")},
      {"station-name-comma", service_with("stazione,650,12,300,0,0,0,0,0,0,0,0,0,0,16,0,0,CRISTOFORO, sabbia, 7\r\n")},
  };
}

Seeds field_seeds() {
  Seeds seeds;
  // The first byte chooses the reads (two bits each, cycled: text, int32, int16, byte).
  const std::string all_text(1, '\x00');
  const std::string text_and_number(1, '\x44');
  const std::string mixed(1, '\xE4');
  seeds.push_back({"scenario-line", all_text + encode_lines(line_description_lines())});
  seeds.push_back({"scenario-service", all_text + encode_lines(train_service_lines())});
  seeds.push_back({"text-number", text_and_number + "pendenza,  4850,   -2\r\nmontagna,   25950\r\n"});
  seeds.push_back({"quoted", all_text + "\"a, quoted\r\nfield\"  ,next\r\n\"unclosed"});
  seeds.push_back({"blanks", std::string(1, '\x55') + "16              22            40 \r\n,,  ,\r\n+5,-7\r\n"});
  seeds.push_back({"widths", mixed + "x,2147483647,32767,255,y,-2147483648,-32768,0\r\n"});
  seeds.push_back({"line-ends", text_and_number + "a\rb\n1\r\n\r\n,2\r"});
  return seeds;
}

Seeds compile_seeds() {
  const std::string line = encode_lines(line_description_lines());
  const std::string service = encode_lines(train_service_lines());
  const std::string nul(1, '\0');
  return {
      {"scenario", line + nul + service},
      {"scenario-no-service", line},
      {"small",
       line_with("pendenza,  0,   3\r\ncurvad3,  1400,  200\r\n") + nul +
           service_with("velocita,0,80\r\n" + kSignal + "rallentamento,3800,40,350,0,0,0\r\n" + station(650, 12, 300))},
      {"walked-slowdown", line_with("") + nul +
                              service_with("velocita,0,80\r\nrallentamento,13500,30,1600,0,0,0\r\n"
                                           "segnale,15200,2,3,0,0,0,0,0,0,0,0\r\n")},
      {"range-error", line_with("pendenza,  40000,  1\r\n") + nul + service_with("numero vetture, 3\r\n")},
      {"read-failure", line_with("") + nul + service_with("sabbia, 40000\r\n")},
      // A line of no length of its own; a refused one, after which checking reads on.
      {"short-line", "[generale]\r\nlunghezza percorso, -100\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n" + nul +
                         service_with("velocita,0,80\r\n" + kSignal + station(1000, 12, 300))},
      {"refused-length", "[generale]\r\nlunghezza percorso, 2000000\r\n[curve]\r\ncurvad, 100, 200\r\n[fine]\r\n" +
                             nul + service_with("velocita,0,2000\r\nvelocita,100,80\r\n" + station(675, 12, 350))},
  };
}

/// A layout input: the page's choosers (600 + width_step and 400 + height_step), the lengths of the
/// grid's and the table's bytes, the three files' bytes.
std::string layout_input(int width_step, int height_step, const std::string& grid, const std::string& table,
                         const std::string& trace) {
  std::string input;
  const auto put = [&](uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) input.push_back(static_cast<char>(value >> (8 * k)));
  };
  put(static_cast<uint32_t>(width_step), 2);
  put(static_cast<uint32_t>(height_step), 2);
  put(static_cast<uint32_t>(grid.size()), 4);
  put(static_cast<uint32_t>(table.size()), 4);
  return input + grid + table + trace;
}

RunState compiled(const std::string& line, const std::string& service) {
  RunState state;
  state.line_key = "K";
  state.train_number = "1";
  compile_scenario(state, line, service);
  return state;
}

/// The first `metres` of a trace, each coordinate rounded to a 16-bit integer: a small trace that still
/// bends like the line (the layout draws the rest straight).
std::string short_trace(const TrackTrace& trace, int32_t metres) {
  TrackTrace short_one;
  short_one.create(metres);
  for (int32_t m = 0; m <= metres && m <= trace.last_metre(); ++m)
    for (const int axis : {kAxisX, kAxisY})
      short_one.set_integer(m, axis, static_cast<int16_t>(std::nearbyint(trace.value(m, axis))));
  return encode_trace(short_one);
}

Seeds preview_layout_seeds() {
  const RunState scenario = compiled(encode_lines(line_description_lines()), encode_lines(train_service_lines()));
  const test_support::ScenarioSources sources = test_support::crowded_scenario();
  const RunState crowded = compiled(sources.line, sources.service);
  const std::string grid = encode_grid(scenario.grid);
  const std::string table = encode_table(scenario.table);

  TrackGrid boards = scenario.grid;
  for (int32_t i = 0; i <= boards.cellCount(); ++i)
    if (boards[i].kind == 0) boards[i].kind = static_cast<uint8_t>(CellKind::SpeedBoard);
  ScenarioTable texts = scenario.table;
  texts[kLineRecord].text = std::string(300, '\x1B') + "<&>";
  for (int record = 1; record <= 13; ++record)
    texts[static_cast<std::size_t>(record)].text = std::string(2000, static_cast<char>(record * 9)) + "\x7F\x81";
  return {
      {"scenario", layout_input(1000, 600, grid, table, short_trace(scenario.trace.points(), 2000))},
      {"scenario-small-page", layout_input(0, 0, grid, table, "")},
      {"crowded", layout_input(1000, 600, encode_grid(crowded.grid), encode_table(crowded.table), "")},
      {"every-free-cell-a-board", layout_input(1000, 600, encode_grid(boards), table, "")},
      {"long-control-texts", layout_input(5400, 200, grid, encode_table(texts), "")},
      {"nothing", layout_input(1000, 600, "", "", "")},
  };
}

void write_seeds(const fs::path& directory, const Seeds& seeds) {
  fs::create_directories(directory);
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(directory / name, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + (directory / name).string());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_corpus DIRECTORY\n";
    return 2;
  }
  const fs::path root = argv[1];
  write_seeds(root / "field_reader_fuzz", field_seeds());
  write_seeds(root / "line_reader_fuzz", line_seeds());
  write_seeds(root / "service_reader_fuzz", service_seeds());
  write_seeds(root / "compile_fuzz", compile_seeds());
  write_seeds(root / "preview_layout_fuzz", preview_layout_seeds());
  return 0;
}
