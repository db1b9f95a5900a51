#pragma once

// A train as the running-time calculation sees it, in SI units (kg, m, s, N, W, m/s), and the forces
// of its motion:
//
//   m (1 + rho) dv/dt = F_traction(v) - R(v) - m g i / 1000 - R_curve - F_brake
//
// R(v) = A + B v + C v^2 is a Davis-type running resistance whose aerodynamic term C is raised in a
// tunnel; i is the gradient in per mille, positive uphill; R_curve follows Roeckl's formula for standard
// gauge from the curve's radius. Traction gives a constant force up to a base speed, then a constant
// power (or follows a table of speed and force), capped by adhesion. Braking is a deceleration on level
// straight track, which the gradient and the curve change, capped by adhesion and by the most the
// brakes give.

#include <utility>
#include <vector>

inline constexpr double kGravity = 9.81;  // m/s^2

constexpr double km_h_to_m_s(double speed) { return speed / 3.6; }
constexpr double m_s_to_km_h(double speed) { return speed * 3.6; }

struct Train {
  double mass = 0;           // kg
  double rotating_mass = 0;  // rho: the rotating parts add rho x m to the inertia
  double length = 0;         // m
  double max_speed = 0;      // m/s

  // Running resistance A + B v + C v^2, in N with v in m/s; C is multiplied by tunnel_factor in a tunnel.
  double davis_a = 0;
  double davis_b = 0;
  double davis_c = 0;
  double tunnel_factor = 1;

  // Traction: max_force (N) up to the speed power / max_force, then power (W); or, when it is not empty,
  // the force interpolated in a table of (speed m/s, force N) by increasing speed.
  double max_force = 0;
  double power = 0;
  std::vector<std::pair<double, double>> effort_table;

  // Adhesion: the force of the driven axles is at most mu(v) x the line's adhesion factor x
  // adhesive_mass x g, mu(v) after Curtius and Kniffler; sanding multiplies the coefficient by
  // (1 + sand_gain). An adhesive mass of 0 takes adhesion out of the calculation (braking included).
  double adhesive_mass = 0;  // kg
  bool sanding = false;
  double sand_gain = 0;

  // Braking: the deceleration the driver brakes with on level straight track (the running resistance
  // included), at most full_deceleration from the brakes; equivalent_brake_time is the delay before the
  // deceleration acts in full (the delay plus half the build-up time).
  double service_deceleration = 0;   // m/s^2
  double full_deceleration = 0;      // m/s^2
  double equivalent_brake_time = 0;  // s
};

/// What the track offers the train at one place.
struct TrackConditions {
  double gradient = 0;  // per mille, positive uphill
  double radius = 0;    // m; 0 for straight track
  bool tunnel = false;
  double adhesion = 1;  // the share of the nominal adhesion coefficient (1: all of it)
};

/// The nominal adhesion coefficient at a speed (m/s), after Curtius and Kniffler:
/// 0.161 + 7.5 / (v + 44) with v in km/h.
double nominal_adhesion(double speed);

/// The curve resistance in per mille of the train's weight for a radius in metres (Roeckl, standard
/// gauge): 650 / (R - 55) from 300 m, 500 / (R - 30) below; 0 for straight track.
double curve_resistance_per_mille(double radius);

/// The traction force at a speed (N), adhesion included.
double tractive_force(const Train& train, double speed, const TrackConditions& track);

/// The running resistance at a speed (N).
double running_resistance(const Train& train, double speed, bool tunnel);

/// The acceleration under full traction (m/s^2; negative when the resistances win).
double acceleration(const Train& train, double speed, const TrackConditions& track);

/// The deceleration of a service braking (m/s^2, positive), the gradient and the curve included; at
/// least kMinimumDeceleration, so that a braking curve always ends.
double braking_deceleration(const Train& train, double speed, const TrackConditions& track);
inline constexpr double kMinimumDeceleration = 0.01;  // m/s^2

/// What a stretch of track does to a train, worked out once for the many speeds a run meets there.
struct TrackForces {
  TrackConditions track;
  double grade = 0;                   // m/s^2: the deceleration that the gradient and the curve give
  double adhesion_share = 0;          // the line's share of the nominal coefficient, sand included
  bool traction_by_adhesion = false;  // adhesion may cap the traction here (below the top speed)
  bool brakes_by_adhesion = false;    // adhesion may cap the brakes here
  double braking = 0;                 // m/s^2: the braking deceleration at every speed, when adhesion never caps it
};
TrackForces track_forces(const Train& train, const TrackConditions& track);
double acceleration(const Train& train, double speed, const TrackForces& forces);
double braking_deceleration(const Train& train, double speed, const TrackForces& forces);
