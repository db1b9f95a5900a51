#pragma once

#include <memory>

class Fl_Window;

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
  std::unique_ptr<Fl_Window> window_;
};
