#include "motion/train.h"

#include <algorithm>

double nominal_adhesion(double speed) { return 0.161 + 7.5 / (m_s_to_km_h(std::max(0.0, speed)) + 44.0); }

double curve_resistance_per_mille(double radius) {
  if (radius <= 0) return 0;
  // Below the formula's poles a curve is sharper than any track: its resistance is taken at 100 m.
  const double r = std::max(radius, 100.0);
  return r >= 300 ? 650.0 / (r - 55.0) : 500.0 / (r - 30.0);
}

namespace {

double effort_curve(const Train& train, double speed) {
  const auto& table = train.effort_table;
  if (!table.empty()) {
    if (speed <= table.front().first) return table.front().second;
    if (speed >= table.back().first) return table.back().second;
    const auto after =
        std::upper_bound(table.begin(), table.end(), speed,
                         [](double v, const std::pair<double, double>& point) { return v < point.first; });
    const auto& [v1, f1] = *std::prev(after);
    const auto& [v2, f2] = *after;
    return f1 + (f2 - f1) * (speed - v1) / (v2 - v1);
  }
  if (train.power > 0 && speed * train.max_force > train.power) return train.power / speed;
  return train.max_force;
}

double traction(const Train& train, double speed, const TrackForces& forces) {
  double force = effort_curve(train, speed);
  if (forces.traction_by_adhesion)
    force = std::min(force, nominal_adhesion(speed) * forces.adhesion_share * train.adhesive_mass * kGravity);
  return std::max(0.0, force);
}

}  // namespace

double tractive_force(const Train& train, double speed, const TrackConditions& track) {
  return traction(train, speed, track_forces(train, track));
}

double running_resistance(const Train& train, double speed, bool tunnel) {
  const double c = train.davis_c * (tunnel ? train.tunnel_factor : 1.0);
  return train.davis_a + train.davis_b * speed + c * speed * speed;
}

TrackForces track_forces(const Train& train, const TrackConditions& track) {
  TrackForces forces;
  forces.track = track;
  forces.grade =
      kGravity * (track.gradient + curve_resistance_per_mille(track.radius)) / 1000.0 / (1.0 + train.rotating_mass);
  forces.adhesion_share = std::max(0.0, track.adhesion) * (train.sanding ? 1.0 + train.sand_gain : 1.0);
  if (train.adhesive_mass > 0) {
    // The coefficient is least at the top speed: where even that one is enough, adhesion never caps.
    const double least = nominal_adhesion(train.max_speed) * forces.adhesion_share;
    double most_force = train.max_force;
    for (const auto& point : train.effort_table) most_force = std::max(most_force, point.second);
    forces.traction_by_adhesion = least * train.adhesive_mass * kGravity < most_force;
    forces.brakes_by_adhesion = least * kGravity / (1.0 + train.rotating_mass) < train.full_deceleration;
  }
  forces.braking =
      std::max(std::min(train.service_deceleration, train.full_deceleration + forces.grade), kMinimumDeceleration);
  return forces;
}

double acceleration(const Train& train, double speed, const TrackForces& forces) {
  const double inertia = train.mass * (1.0 + train.rotating_mass);
  if (inertia <= 0) return 0;
  return (traction(train, speed, forces) - running_resistance(train, speed, forces.track.tunnel)) / inertia -
         forces.grade;
}

double braking_deceleration(const Train& train, double speed, const TrackForces& forces) {
  if (!forces.brakes_by_adhesion) return forces.braking;
  // The driver brakes for the service deceleration; on a falling gradient the brakes give more, up to
  // their full deceleration and to what adhesion lets all the braked axles transmit.
  double brakes = train.full_deceleration;
  if (forces.brakes_by_adhesion)
    brakes = std::min(brakes, nominal_adhesion(speed) * forces.adhesion_share * kGravity / (1.0 + train.rotating_mass));
  const double deceleration = std::min(train.service_deceleration, brakes + forces.grade);
  return std::max(deceleration, kMinimumDeceleration);
}

double acceleration(const Train& train, double speed, const TrackConditions& track) {
  return acceleration(train, speed, track_forces(train, track));
}

double braking_deceleration(const Train& train, double speed, const TrackConditions& track) {
  return braking_deceleration(train, speed, track_forces(train, track));
}
