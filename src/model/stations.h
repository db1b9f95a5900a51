#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario/scenario_table.h"

/// A station of the service, as its record in the table holds it.
struct Station {
  int record = 0;              // its index in the table
  std::string name;            // the stored text without its surrounding blanks (8-bit, Windows-1252)
  int32_t time = 0;            // timetable time, seconds from midnight
  int32_t metre = 0;           // position on the line
  int32_t platform_start = 0;  // metres
  int32_t platform_end = 0;
};

/// Whether record `index` holds a station. Stations fill the records from 1 upward and information-board
/// texts fill them from 80 downward, never meeting (a station is refused before it reaches the boards, so
/// never takes record 80). A station always stores numbers, its position, platform and kind; a board
/// text stores nothing but its text. So a record of 1 to 79 is a station when any of its numbers is set.
bool is_station_record(const ScenarioTable& table, int index);

/// How many records hold stations.
int station_count(const ScenarioTable& table);

/// The stations, in record order.
std::vector<Station> read_stations(const ScenarioTable& table);
