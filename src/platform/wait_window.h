#pragma once

#include <memory>

/// The run's only window: 280 x 179 pixels with the bold caption "Attendere". It is shown and drawn
/// at once; no event loop runs for it afterwards. Without a display nothing is shown.
class WaitWindow {
 public:
  WaitWindow();
  ~WaitWindow();
  WaitWindow(const WaitWindow&) = delete;
  WaitWindow& operator=(const WaitWindow&) = delete;

  /// Shows the window and waits until it is drawn on the screen.
  void show_and_draw();

 private:
  struct System;  // the window as the system's toolkit holds it (FLTK on Linux, Win32 on Windows)
  std::unique_ptr<System> system_;
};
