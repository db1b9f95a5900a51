#include "platform/message_box.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <iostream>

#include "platform/display.h"

namespace {

void show_box(const std::string& text) {
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  int text_width = 0;
  int text_height = 0;
  fl_measure(text.c_str(), text_width, text_height, 0);
  const int width = std::max(220, text_width + 40);
  const int height = text_height + 80;

  Fl_Window box(width, height, kApplicationTitle);
  Fl_Box message(20, 15, width - 40, text_height + 10);
  message.copy_label(text.c_str());
  message.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  Fl_Return_Button ok(width / 2 - 40, height - 45, 80, 28, "OK");
  ok.callback([](Fl_Widget* button, void*) { button->window()->hide(); });
  box.end();
  box.set_modal();
  box.callback([](Fl_Widget* window, void*) { window->hide(); });
  box.show();
  while (box.shown()) Fl::wait();
}

/// Set once by a command-line start, before any message.
bool standard_error_only = false;

}  // namespace

void send_messages_to_standard_error() { standard_error_only = true; }

void show_message(const std::string& text) {
  if (!standard_error_only && display_available()) {
    show_box(text);
  } else {
    std::cerr << text << std::endl;
  }
}
