#pragma once

// A crowded scenario for the tests of the picture and the fuzz seeds: 30 stations with long names on a
// nearly straight line of 14 km, each with a signal, two speed boards and an information board with a
// long text, and two slowdowns. One station name holds a terminal escape, another a tab.

#include <string>

namespace test_support {

struct ScenarioSources {
  std::string line;
  std::string service;
};

inline constexpr int kCrowdedStations = 30;
inline constexpr int kCrowdedLineLength = 14000;

/// Where station `k` (0 to 29) stands: every 450 m from 600 m. Its platform, mark and approach cells
/// take the 250 m before it; the signal stands on it, the boards 50, 100 and 150 m after it.
inline int crowded_station_metre(int k) { return 600 + 450 * k; }

/// The name of station `k`, as the service gives it (a control byte included for two of them).
inline std::string crowded_station_name(int k) {
  std::string number = std::to_string(k + 1);
  if (number.size() < 2) number.insert(number.begin(), '0');
  if (k == 7) return "STAZIONE \x1B[31mROSSA DI SANTA MARIA " + number;
  if (k == 12) return "STAZIONE\tDI SAN GIORGIO IN VALLE " + number;
  return "STAZIONE DI SANTA MARIA DELLE GRAZIE AL MONTE LUNGO " + number;
}

inline ScenarioSources crowded_scenario() {
  const auto n = [](int value) { return std::to_string(value); };
  ScenarioSources s;
  s.line = "[generale]\r\nlunghezza percorso,    " + n(kCrowdedLineLength) +
           "\r\nprogressiva chilometrica uno,    0,    " + n(kCrowdedLineLength) +
           ",    1\r\nsfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n"
           "ripetizione segnali 4 codici,    0,    0\r\n"
           "[curve]\r\ncurvad1,  3000,  500\r\ncurvas1,  9000,  500\r\n"
           "[pendenze]\r\npendenza,  0,  0\r\npendenza,  4000,  6\r\npendenza,  8000,  -4\r\n"
           "[montagne]\r\n[cartelli]\r\n";
  for (int k = 0; k < kCrowdedStations; ++k) {
    const int p = crowded_station_metre(k);
    const int speed = 60 + 10 * (k % 5);
    s.line += "indicatori_vmax,  " + n(p + 50) + ",  " + n(speed) + ",  " + n(speed) + ",  " + n(speed) +
              ",  0,  ,  ,  ,  0\r\n";
    s.line += "indicatori_vmax,  " + n(p + 150) + ",  " + n(speed + 10) + ",  " + n(speed) + ",  " + n(speed) +
              ",  0,  30,  30,  30,  0\r\n";
  }
  s.line += "[indicazioni]\r\n";
  for (int k = 0; k < kCrowdedStations; ++k)
    s.line += "cartello_indicatore,  " + n(crowded_station_metre(k) + 100) +
              ",   (  VIADOTTO SUL TORRENTE DEL MONTE LUNGO " + n(k + 1) + "  )(  LINEA  )(  " +
              n((kCrowdedLineLength - crowded_station_metre(k) - 100) / 1000) + ".000  )\r\n";
  s.line += "[fine]\r\n";

  s.service = "[generale]\r\nnumero vetture,    3\r\npercentuale massa frenata,    130\r\nsabbia,    100\r\n"
              "orologio,    8,  0,  0\r\n[aderenze]\r\naderenza,    0,    100\r\n[vel_limite]\r\n"
              "velocita,    0,    80\r\nvelocita,    7000,    100\r\n[stazioni]\r\n";
  for (int k = 0; k < kCrowdedStations; ++k) {
    const int minutes = 2 * k;
    s.service += "stazione,    " + n(crowded_station_metre(k)) + ", 12,  100,  0, 0, 0,  0,0,0,  0,0,0,    0,  " +
                 n(8 + minutes / 60) + ",  " + n(minutes % 60) + ",  " + n(k % 3 == 0 ? 30 : 0) + ", " +
                 crowded_station_name(k) + "\r\n";
  }
  s.service += "[rallentamenti]\r\n[segnali]\r\n";
  for (int k = 0; k < kCrowdedStations; ++k)
    s.service += "segnale,    " + n(crowded_station_metre(k)) + ",   2, 3, 0,  0, 0,    0,  0,0,0, 0\r\n";
  s.service += "[codici]\r\n[fine]\r\n";
  return s;
}

}  // namespace test_support
