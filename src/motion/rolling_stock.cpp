#include "motion/rolling_stock.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>

const std::vector<RollingStockKey>& rolling_stock_keys() {
  // Sources: the embedded scenario's timetable card ("V 90 C", "130%", "180T" for its 3 cars); the
  // commuter train of OSRD's open rolling-stock examples (390 t, 110 m: A = 3003 N, B = 129.17 N s/m,
  // C = 8.59 N s^2/m^2, 354 kN, 3.5 MW), scaled per tonne and per metre; the rotating-mass factor 1.08
  // of Wende, Fahrdynamik des Schienenverkehrs (2003), for a whole train.
  static const std::vector<RollingStockKey> keys = {
      {"cars", "cars", "the scenario's numero vetture; else the timetable card's 3", &RollingStock::cars, 1, 50},
      {"car_mass_t", "t", "the timetable card: 180 t for 3 cars", &RollingStock::car_mass_t, 1, 500},
      {"car_length_m", "m", "assumed: a suburban car is 20 to 25 m long", &RollingStock::car_length_m, 1, 100},
      {"max_speed_km_h", "km/h", "the timetable card's V 90", &RollingStock::max_speed_km_h, 5, 500},
      {"rotating_mass", "share of the mass", "Wende (2003): 1.08 for a whole train", &RollingStock::rotating_mass, 0,
       1},
      {"davis_a_n_per_t", "N/t", "OSRD commuter train: 3003 N / 390 t", &RollingStock::davis_a_n_per_t, 0, 100},
      {"davis_b_n_s_per_m_t", "N s/m per t", "OSRD commuter train: 129.17 / 390", &RollingStock::davis_b_n_s_per_m_t, 0,
       10},
      {"davis_c_n_s2_per_m3", "N s^2/m^2 per m of train", "OSRD commuter train: 8.59 / 110 m",
       &RollingStock::davis_c_n_s2_per_m3, 0, 10},
      {"tunnel_factor", "times C", "assumed: no published default; 2 for a single-track tunnel",
       &RollingStock::tunnel_factor, 1, 10},
      {"starting_force_kn_per_t", "kN/t", "OSRD commuter train: 354 kN / 390 t", &RollingStock::starting_force_kn_per_t,
       0.01, 10},
      {"power_kw_per_t", "kW/t", "OSRD commuter train: 3.5 MW / 390 t", &RollingStock::power_kw_per_t, 0.1, 100},
      {"adhesive_share", "share of the mass", "assumed: half the axles driven", &RollingStock::adhesive_share, 0.05, 1},
      {"sand_gain", "share of the coefficient", "assumed: sanding raises adhesion by a fifth", &RollingStock::sand_gain,
       0, 2},
      {"braked_mass_percentage", "%", "the scenario's percentuale massa frenata; else the card's 130 %",
       &RollingStock::braked_mass_percentage, 10, 300},
      {"service_brake_share", "share of the full deceleration",
       "assumed: a service stop uses 0.6 of the brakes (0.63 m/s^2 at 130 %)", &RollingStock::service_brake_share, 0.05,
       1},
      {"brake_delay_s", "s", "EN 14531-1's delay time; an electro-pneumatic brake has almost none",
       &RollingStock::brake_delay_s, 0, 30},
      {"brake_build_up_s", "s", "EN 14531-1's build-up time; 2 s for a multiple unit's brake (assumed)",
       &RollingStock::brake_build_up_s, 0, 60},
  };
  return keys;
}

Result<RollingStock> rolling_stock_for(const ScenarioTrain& scenario, std::optional<std::string_view> file) {
  RollingStock stock;
  if (scenario.cars > 0) stock.cars = std::min(scenario.cars, 50);
  if (scenario.braked_mass_percentage > 0) stock.braked_mass_percentage = scenario.braked_mass_percentage;
  if (!file) return stock;
  const nlohmann::json document = nlohmann::json::parse(*file, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded() || !document.is_object()) {
    return Status::invalid_argument("a rolling-stock file holds one JSON object of keys and numbers");
  }
  for (const auto& item : document.items()) {
    // Named, not bound: clang 14 refuses a lambda that captures a structured binding.
    const std::string& name = item.key();
    const nlohmann::json& value = item.value();
    const auto& keys = rolling_stock_keys();
    const auto key = std::find_if(keys.begin(), keys.end(), [&](const RollingStockKey& k) { return k.key == name; });
    if (key == keys.end()) {
      return Status::invalid_argument("unknown key \"" + name.substr(0, 60) + "\"");
    }
    if (!value.is_number()) {
      return Status::invalid_argument("\"" + name + "\" is no number");
    }
    const double number = value.get<double>();
    if (!std::isfinite(number) || number < key->least || number > key->most) {
      std::ostringstream range;
      range << key->least << " to " << key->most;
      return Status::invalid_argument("\"" + name + "\" lies outside " + range.str() + " " + std::string(key->unit));
    }
    stock.*(key->value) = number;
  }
  return stock;
}

double full_brake_deceleration(double braked_mass_percentage) {
  return 0.0075 * std::clamp(braked_mass_percentage, 30.0, 250.0) + 0.076;
}

Train train_of(const RollingStock& stock, bool sand) {
  Train train;
  const double tonnes = stock.cars * stock.car_mass_t;
  train.mass = tonnes * 1000.0;
  train.rotating_mass = stock.rotating_mass;
  train.length = stock.cars * stock.car_length_m;
  train.max_speed = km_h_to_m_s(stock.max_speed_km_h);
  train.davis_a = stock.davis_a_n_per_t * tonnes;
  train.davis_b = stock.davis_b_n_s_per_m_t * tonnes;
  train.davis_c = stock.davis_c_n_s2_per_m3 * train.length;
  train.tunnel_factor = stock.tunnel_factor;
  train.max_force = stock.starting_force_kn_per_t * 1000.0 * tonnes;
  train.power = stock.power_kw_per_t * 1000.0 * tonnes;
  train.adhesive_mass = stock.adhesive_share * train.mass;
  train.sanding = sand;
  train.sand_gain = stock.sand_gain;
  train.full_deceleration = full_brake_deceleration(stock.braked_mass_percentage);
  train.service_deceleration = stock.service_brake_share * train.full_deceleration;
  // EN 14531-1: the equivalent time of a brake is its delay plus half its build-up time.
  train.equivalent_brake_time = stock.brake_delay_s + stock.brake_build_up_s / 2.0;
  return train;
}
