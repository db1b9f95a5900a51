// The message box of the Linux program without the window toolkit (scenario, whose window run is handed
// to scenario-graphics whenever a display is named): every message goes to standard error, as the
// program with the toolkit sends it there without a display.
#include <iostream>

#include "platform/message_box.h"

void send_messages_to_standard_error() {}

void show_message(const std::string& text) { std::cerr << text << std::endl; }
