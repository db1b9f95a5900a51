#pragma once

#include <string>

/// Name of the line description file: the line key, then "_linea.txt".
inline std::string line_source_name(const std::string& line_key) { return line_key + "_linea.txt"; }

/// Name of the train service file: the line key, "_", the train number, then "-.txt".
inline std::string service_source_name(const std::string& line_key, const std::string& train_number) {
  return line_key + "_" + train_number + "-.txt";
}
