#pragma once

#include <memory>

/// The run's only window: 280 x 179 pixels with the bold caption "Attendere". It is shown and drawn
/// at once; no event loop runs for it afterwards. Without a display, and in the Linux program without the
/// window toolkit, nothing is shown.
class WaitWindow {
 public:
  // Its geometry, in pixels, and the caption's size in points: the same on every system.
  static constexpr int kWindowWidth = 280;
  static constexpr int kWindowHeight = 179;
  static constexpr int kLabelLeft = 64;
  static constexpr int kLabelTop = 64;
  static constexpr int kLabelWidth = 177;
  static constexpr int kLabelHeight = 53;
  static constexpr int kLabelPoints = 24;

  WaitWindow();
  ~WaitWindow();
  WaitWindow(const WaitWindow&) = delete;
  WaitWindow& operator=(const WaitWindow&) = delete;

  /// Shows the window and waits until it is drawn on the screen.
  void show_and_draw();

 private:
  struct System;  // the window as the system's toolkit holds it (FLTK on Linux, Win32 on Windows; nothing
                  // in the Linux program without the toolkit)
  std::unique_ptr<System> system_;
};
