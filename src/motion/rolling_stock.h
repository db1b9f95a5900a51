#pragma once

// The rolling stock the running times are calculated for: a suburban electric multiple unit by default,
// each value with its unit and its source in one table (rolling_stock_keys()), the same keys that a
// rolling-stock file (JSON) gives to override them. The scenario's number of cars scales the mass, the
// length, the resistance and the traction; its braked-mass percentage sets the braking.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "motion/train.h"
#include "platform/status.h"

struct RollingStock {
  double cars = 3;
  double car_mass_t = 60;
  double car_length_m = 22;
  double max_speed_km_h = 90;
  double rotating_mass = 0.08;
  double davis_a_n_per_t = 7.70;
  double davis_b_n_s_per_m_t = 0.331;
  double davis_c_n_s2_per_m3 = 0.0781;
  double tunnel_factor = 2.0;
  double starting_force_kn_per_t = 0.908;
  double power_kw_per_t = 8.97;
  double adhesive_share = 0.5;
  double sand_gain = 0.2;
  double braked_mass_percentage = 130;
  double service_brake_share = 0.6;
  double brake_delay_s = 0;
  double brake_build_up_s = 2;
};

/// One value of the rolling stock: its key in a rolling-stock file, its unit, where its default comes
/// from, and the range a file may give.
struct RollingStockKey {
  std::string_view key;
  std::string_view unit;
  std::string_view source;
  double RollingStock::*value;
  double least;
  double most;
};

/// Every value, in the order the guide lists them.
const std::vector<RollingStockKey>& rolling_stock_keys();

/// The scenario's own values, when it gives them (0: not given).
struct ScenarioTrain {
  int cars = 0;
  int braked_mass_percentage = 0;
  bool sand = false;
};

/// The defaults, then the scenario's number of cars and braked-mass percentage when it gives them, then
/// the values of a rolling-stock file (its JSON text), which win. A file that is not a JSON object, a key
/// that is not known, a value that is no number or lies outside its range is an invalid argument whose
/// message says which.
Result<RollingStock> rolling_stock_for(const ScenarioTrain& scenario, std::optional<std::string_view> file);

/// The braking deceleration of the brakes alone for a braked-mass percentage (m/s^2): the conversion
/// model of railway signalling, A = 0.0075 x lambda + 0.076, lambda taken within 30 to 250 %.
double full_brake_deceleration(double braked_mass_percentage);

/// The train of that rolling stock, in SI units.
Train train_of(const RollingStock& stock, bool sand);
