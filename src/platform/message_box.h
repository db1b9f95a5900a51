#pragma once

#include <string>

/// The application's title, shown as the title of its windows and message boxes.
inline constexpr const char* kApplicationTitle = "scenario";

/// From now on, messages go to standard error even when a display is available (command-line use).
void send_messages_to_standard_error();

/// Shows `text` in a modal box with the single button "OK" and no icon, and returns when the user has
/// pressed it. Without a display, and in the Linux program without the window toolkit, the text goes to
/// standard error, followed by a line end.
void show_message(const std::string& text);
