#include "platform/wait_window.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include "platform/display.h"

namespace {
// Distinct from the message boxes, which carry the bare application title.
constexpr const char* kWindowTitle = "scenario: Attendere";
}  // namespace

struct WaitWindow::System {
  Fl_Window window{WaitWindow::kWindowWidth, WaitWindow::kWindowHeight, kWindowTitle};
};

WaitWindow::WaitWindow() = default;
WaitWindow::~WaitWindow() = default;

void WaitWindow::show_and_draw() {
  if (!display_available()) return;
  system_ = std::make_unique<System>();
  Fl_Window& window = system_->window;
  auto* label = new Fl_Box(WaitWindow::kLabelLeft, WaitWindow::kLabelTop, WaitWindow::kLabelWidth,
                           WaitWindow::kLabelHeight, "Attendere");
  label->labelfont(FL_HELVETICA_BOLD);
  label->labelsize(WaitWindow::kLabelPoints);
  window.end();
  window.show();
  window.wait_for_expose();
  Fl::flush();
}
