#include "large_scenario.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kBlock = 20000;  // the line repeats a pattern every 20 km
constexpr int kBlocks = kLargeScenarioLength / kBlock;

std::string n(int value) { return std::to_string(value); }

/// Whether a position (metres from the start of a block) is clear of every object the block puts on
/// the line, of the cells the compiler marks around them and of the mountain stretches, with room to
/// spare, so that a speed board there never meets one of them.
bool free_for_a_board(int block, int offset) {
  if (offset == 1000) return false;  // the block's own speed board
  for (int k = 0; k < 13; ++k)
    if (std::abs(offset - (700 + 1500 * k)) <= 100) return false;      // a signal
  if (offset >= 9500 && offset <= 10500) return false;                 // the station, its mark and approach
  if (offset >= 12000 && offset <= 15000) return false;                // the slowdown, its warning and control points
  if (offset >= 4900 && offset <= 5700) return false;                  // the first mountain stretch
  if (block < 30 && offset >= 15900 && offset <= 16500) return false;  // the second one
  if (block < 20 && offset >= 2900 && offset <= 3100) return false;    // the information board
  return block > 0 || offset >= 200;
}

/// `count` positions spread evenly over the free cells of the line, in line order.
std::vector<int> extra_board_positions(int count) {
  std::vector<int> free;
  for (int b = 0; b < kBlocks; ++b)
    for (int offset = 0; offset < kBlock; offset += 50)
      if (free_for_a_board(b, offset)) free.push_back(b * kBlock + offset);
  if (count > static_cast<int>(free.size())) throw std::invalid_argument("more speed boards than free cells");
  std::vector<int> chosen;
  for (int i = 0; i < count; ++i)
    chosen.push_back(free[static_cast<std::size_t>(static_cast<long long>(i) * free.size() / count)]);
  return chosen;
}

}  // namespace

LargeScenario large_scenario(int length, int speed_boards) {
  if (speed_boards < kLargeScenarioSpeedBoards || speed_boards > kLargeScenarioMostSpeedBoards ||
      (length != kLargeScenarioLength && speed_boards != kLargeScenarioSpeedBoards))
    throw std::invalid_argument("speed boards out of range");
  // Whole blocks, and of the last block the entries that lie on the line.
  const int blocks = (length + kBlock - 1) / kBlock;
  const auto on_line = [length](int position, int span) { return position + span <= length; };
  LargeScenario s;
  std::string& line = s.line;
  line = "[generale]\r\nlunghezza percorso,    " + n(length) +
         "\r\n"
         "progressiva chilometrica uno,    0,    " +
         n(length) +
         ",    1\r\n"
         "progressiva chilometrica due,    0,    0,    0\r\nprogressiva chilometrica tre,    0,    0,    0\r\n"
         "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\nripetizione segnali 4 codici,    0    ,0\r\n";
  line += "[curve]\r\n";
  for (int b = 0; b < blocks; ++b)
    for (int k = 0; k < 20; ++k)
      if (on_line(b * kBlock + k * 1000 + 200, 300))
        line += std::string(k % 2 == 0 ? "curvad" : "curvas") + n(1 + (b + k) % 6) + ",  " +
                n(b * kBlock + k * 1000 + 200) + ",  300\r\n";
  line += "[pendenze]\r\n";
  for (int p = 0; p < length; p += 500) line += "pendenza,  " + n(p) + ",   " + n((p / 500) % 21 - 10) + "\r\n";
  line += "[montagne]\r\n";
  for (int b = 0; b < blocks && on_line(b * kBlock + 5000, 600); ++b)
    line += "montagna,   " + n(b * kBlock + 5000) + ",  " + n(b * kBlock + 5600) + ",  12\r\n";
  for (int b = 0; b < 30 && on_line(b * kBlock + 16000, 400); ++b)
    line += "montagna,   " + n(b * kBlock + 16000) + ",  " + n(b * kBlock + 16400) + ",  2\r\n";
  line += "[cartelli]\r\n";
  std::vector<int> boards = extra_board_positions(speed_boards - kLargeScenarioSpeedBoards);
  for (int b = 0; b < blocks && on_line(b * kBlock + 1000, 0); ++b) boards.push_back(b * kBlock + 1000);
  std::sort(boards.begin(), boards.end());
  for (std::size_t i = 0; i < boards.size(); ++i) {
    const int speed = boards[i] % kBlock == 1000 ? 80 : 30 + static_cast<int>(i % 10) * 10;
    line += "indicatori_vmax,  " + n(boards[i]) + ",  " + n(speed) + ",  " + n(speed) + ",  " + n(speed) +
            ",  0,  ,  ,  ,  0\r\n";
  }
  line += "[indicazioni]\r\n";
  for (int b = 0; b < 20 && on_line(b * kBlock + 3000, 0); ++b)
    line += "cartello_indicatore,  " + n(b * kBlock + 3000) + ",   (    BOARD " + n(b) + "   )(  LINE  )(   " +
            n(b * 20) + ".000   )\r\n";
  line += "[fine]\r\n";

  std::string& service = s.service;
  service = "[generale]\r\nnumero vetture,    3\r\npercentuale massa frenata,    130\r\nsabbia,    100\r\n"
            "orologio,    6              0            0 \r\n[aderenze]\r\naderenza,   0,    100\r\n[vel_limite]\r\n"
            "velocita,       0,    80\r\n";
  for (int b = 0; b < blocks && on_line(b * kBlock + 500, 0); ++b)
    service += "velocita,    " + n(b * kBlock + 500) + ",    " + n(b % 2 ? 70 : 90) + "\r\n";
  service += "[stazioni]\r\n";
  for (int b = 0; b < blocks && on_line(b * kBlock + 10000, 800); ++b) {
    const int minutes = 10 * b;
    service += "stazione,    " + n(b * kBlock + 10000) + ", 12,  300,  0, 0, 0,  0,0,0,  4,1,1,   10,  " +
               n(6 + minutes / 60) + "," + n(minutes % 60) + ", 0, STATION " + n(b) + "\r\n";
  }
  service += "[rallentamenti]\r\n";
  for (int b = 0; b < blocks && on_line(b * kBlock + 14000, 1200); ++b)
    service += "rallentamento,    " + n(b * kBlock + 14000) + ",    60,  500, 0,  0,  0\r\n";
  service += "[segnali]\r\n";
  for (int b = 0; b < blocks; ++b)
    for (int k = 0; k < 13; ++k)
      if (on_line(b * kBlock + 700 + 1500 * k, 0))
        service += "segnale,    " + n(b * kBlock + 700 + 1500 * k) + ",   2, 3, 0,  0, 0,    0,  0,0,0, 0\r\n";
  service += "[codici]\r\n[fine]\r\n";
  return s;
}
