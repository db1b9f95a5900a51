#include "platform/wait_window.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include "platform/display.h"

namespace {
constexpr int kWindowWidth = 280;
constexpr int kWindowHeight = 179;
constexpr int kLabelLeft = 64;
constexpr int kLabelTop = 64;
constexpr int kLabelWidth = 177;
constexpr int kLabelHeight = 53;
constexpr int kLabelPoints = 24;
// Distinct from the message boxes, which carry the bare application title.
constexpr const char* kWindowTitle = "scenario: Attendere";
}  // namespace

struct WaitWindow::System {
  Fl_Window window{kWindowWidth, kWindowHeight, kWindowTitle};
};

WaitWindow::WaitWindow() = default;
WaitWindow::~WaitWindow() = default;

void WaitWindow::show_and_draw() {
  if (!display_available()) return;
  system_ = std::make_unique<System>();
  Fl_Window& window = system_->window;
  auto* label = new Fl_Box(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight, "Attendere");
  label->labelfont(FL_HELVETICA_BOLD);
  label->labelsize(kLabelPoints);
  window.end();
  window.show();
  window.wait_for_expose();
  Fl::flush();
}
