// The waiting window of the Linux program without the window toolkit (scenario): nothing is shown, as
// the program with the toolkit shows nothing without a display.
#include "platform/wait_window.h"

struct WaitWindow::System {};

WaitWindow::WaitWindow() = default;
WaitWindow::~WaitWindow() = default;

void WaitWindow::show_and_draw() {}
