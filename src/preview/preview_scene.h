#pragma once

// What the picture shows: the scenario model (model/scenario_model.h) along the picture's axis, with its
// texts in UTF-8 as they are drawn (a control byte as its escape, "\x1B"). The axis covers the line and
// everything placed on it, within the cells that carry a profile.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/kilometric.h"
#include "model/line_profile.h"
#include "preview/preview_files.h"
#include "preview/preview_layout.h"

struct SceneStation {
  std::string name;  // UTF-8
  std::string time;  // "hh:mm", or "hh:mm:ss" when the seconds are not 0
  int32_t metre = 0;
};

/// A board and the text beside its mark.
struct SceneBoard {
  int32_t metre = 0;
  std::string caption;  // UTF-8
};

/// A place of the default train's fastest run: metres, km/h, and seconds from the first departure,
/// the stops included.
struct SceneRunPoint {
  double metre = 0;
  double speed = 0;
  double time = 0;
};

/// A station's timetable time, in seconds from the first departure.
struct SceneTime {
  int32_t metre = 0;
  double time = 0;
};

struct PreviewScene {
  std::string line_key;  // UTF-8, as the file names give them
  std::string train_number;
  std::array<std::string, 3> file_names;  // the grid, the table and the trace, UTF-8
  int32_t line_length = 0;                // never below 0
  int32_t axis_end = 0;                   // the profile axis runs from 0 to here, metres
  std::vector<KilometricReference> references;
  std::vector<SceneStation> stations;
  std::vector<int32_t> signals;  // metres
  std::vector<SceneBoard> speed_boards;
  std::vector<SceneBoard> info_boards;
  std::vector<ProfilePoint> heights;
  std::vector<Stretch> mountains;       // value: the mountain type; none where it is 0
  std::vector<Stretch> speed_limits;    // value: km/h
  std::vector<SlowdownView> slowdowns;  // within the axis; one without an end runs to the axis end
  /// The default train's fastest run from the first stop on, standing its dwell at each stop; it ends
  /// where a run cannot be made. Empty for a service of fewer than two stations.
  std::vector<SceneRunPoint> fastest_run;
  std::vector<SceneTime> timetable;  // each station's time, while the times follow the line
};

/// The scene of any three decoded files: what they hold is shown as it is, never refused.
PreviewScene preview_scene(const ScenarioFiles& files);
