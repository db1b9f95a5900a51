#pragma once

#include <functional>

struct ScenarioFiles;
struct ScenarioPicture;
enum class PictureFormat;

/// Draws the picture of a scenario's files on a page of width x height (preview/preview_drawing.h's
/// draw_scenario_picture).
using DrawPicture = ScenarioPicture (*)(const ScenarioFiles& files, PictureFormat format, int width, int height);

/// How a program answers the commands that draw a picture (`preview`, `watch --preview`). The program
/// linked with the picture libraries draws them; scenario on Linux, which starts without them, runs such
/// a command line in the program that has them; the Windows build has none and refuses them.
struct Pictures {
  /// Set in the program that draws.
  DrawPicture draw = nullptr;
  /// Set in a program that hands its pictures over: runs the whole command line in the program that draws,
  /// in this one's place, and returns only the exit status of a failure to start it.
  std::function<int()> hand_over;

  /// The exit status of a command that asks for a picture this program does not draw: the other
  /// program's (this one ends in its place), or a refusal that says why.
  int elsewhere() const;
};
