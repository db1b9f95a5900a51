#include "source/dati_linea.h"

#include <array>
#include <string_view>

#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

namespace {

struct Curve {
  std::string_view keyword;
  int start;
  int length;
};

constexpr std::array<Curve, 35> kCurves{{
    {"curvad3", 1400, 200},  {"curvas5", 2250, 150},  {"curvad5", 2900, 100},  {"curvad5", 3450, 50},
    {"curvas5", 3750, 50},   {"curvad5", 4200, 50},   {"curvad5", 4650, 350},  {"curvad4", 6050, 350},
    {"curvad3", 7300, 50},   {"curvas3", 7350, 50},   {"curvad3", 8250, 400},  {"curvad3", 10500, 350},
    {"curvas5", 12800, 200}, {"curvad4", 13600, 250}, {"curvas4", 14050, 100}, {"curvas3", 14400, 400},
    {"curvad4", 15200, 500}, {"curvas4", 15900, 150}, {"curvas4", 17750, 150}, {"curvas4", 18150, 500},
    {"curvad4", 19250, 150}, {"curvad5", 19600, 200}, {"curvas3", 20050, 200}, {"curvad2", 20250, 300},
    {"curvas4", 22050, 150}, {"curvas3", 22900, 100}, {"curvad5", 24650, 150}, {"curvas5", 24800, 200},
    {"curvad5", 25200, 150}, {"curvas5", 25500, 350}, {"curvad5", 26050, 150}, {"curvas5", 26200, 200},
    {"curvad5", 26950, 150}, {"curvas5", 28050, 100}, {"curvas5", 28250, 250},
}};

struct Gradient {
  int position;
  int per_mille;
};

constexpr std::array<Gradient, 53> kGradients{{
    {0, 0},       {4850, -2},   {5200, 0},   {5700, 2},   {6100, 0},   {7800, -10},  {8000, 0},    {9400, 11},
    {10000, 0},   {10100, -2},  {10250, 0},  {10850, 12}, {11100, 14}, {11200, 16},  {13050, 12},  {13100, 8},
    {13150, 0},   {13450, 16},  {13550, 10}, {13600, 0},  {13800, -6}, {13900, -11}, {14000, -12}, {14250, -18},
    {14500, -12}, {14700, -6},  {15200, -2}, {15400, 0},  {18000, -2}, {18100, 2},   {18200, 0},   {19200, 2},
    {19550, -5},  {19700, 0},   {20350, 5},  {20650, 0},  {20850, -3}, {21100, 0},   {21600, 4},   {21800, 0},
    {22650, -1},  {22750, 0},   {24650, 4},  {24750, 8},  {25350, 0},  {25550, -2},  {26500, 0},   {27000, -8},
    {27300, 0},   {28350, -10}, {28600, 0},  {28650, 8},  {28750, 0},
}};

}  // namespace

LineTable line_description_lines() {
  LineTable lines{
      "[generale]",
      "lunghezza percorso,    29000",
      "progressiva chilometrica uno,    0,    29000,    1",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    1",
      "sfondo due,    0",
      "sfondo tre,    0",
      "ripetizione segnali 4 codici,    0    ,0",
      "[curve]",
  };
  for (const auto& curve : kCurves)
    lines.push_back(std::string(curve.keyword) + ",  " + std::to_string(curve.start) + ",  " +
                    std::to_string(curve.length));
  lines.push_back("[pendenze]");
  for (const auto& gradient : kGradients)
    lines.push_back("pendenza,  " + std::to_string(gradient.position) + ",   " + std::to_string(gradient.per_mille));
  const LineTable rest{
      "[montagne]",
      "montagna,   25950,  26000,  12",
      "montagna,   27150,  27400,  12",
      "montagna,   28500,  28650,  12",
      "[cartelli]",
      "indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0",
      "indicatori_vmax,  4100,  90,  90,  90,  0,  ,  ,  ,  0",
      "[indicazioni]",
      "cartello_indicatore,  2826,   (     PONTE      )(CANALE PESCATORI)(    26.174      )",
      "cartello_indicatore,  3500,   (    TERZO   )(  CAVALCAVIA)(    25.500  )",
      "cartello_indicatore,  3900,   (   SECONDO  )(  CAVALCAVIA)(    25.100  )",
      "cartello_indicatore,  4200,   (    PRIMO   )(  CAVALCAVIA)(    24.700  )",
      "cartello_indicatore,  4950,   (     VIADOTTO   )( ATTICO TABACCHI)(      24.050    )",
      "cartello_indicatore,  10850,   (  VIADOTTO DI)(    DRAGONA  )(    18.150   )",
      "cartello_indicatore,  20200,   (  EX STAZIONE)(    TORRINO  )(     8.800   )",
      "[fine]",
      kEndMarker,
  };
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

void dati_linea(const RunState& state) {
  scrivi_righe(path_in(state.program_directory, line_source_name(state.line_key)), line_description_lines());
}
