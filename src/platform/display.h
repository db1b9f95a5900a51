#pragma once

/// True when a window system can be reached: DISPLAY is set and the display really opens (the window
/// toolkit then uses that connection). Asked before any window is made, because the window toolkit
/// ends the process when it cannot open one.
bool display_available();
