#pragma once

#include <chrono>
#include <string>

/// How long a display may take to answer a new connection before the run goes on without a window.
inline constexpr std::chrono::milliseconds kDisplayPatience{3000};

/// True when a window system can be reached. On Windows: the process's window station is visible, and
/// under Wine its host has a display (DISPLAY or WAYLAND_DISPLAY set). On Linux: DISPLAY is set, the display's server answers within
/// kDisplayPatience, and the display really opens (the window toolkit then uses that connection). Asked
/// before any window is made, because the window toolkit ends the process when it cannot open one. A
/// server that does not answer in time is reported on standard error once.
bool display_available();

// The probe of an X display (the Linux build only).

/// What a display's server did when a connection was opened to it and the opening of the X protocol sent.
enum class DisplayAnswer {
  Answered,  // it replied (accepting or refusing the client) or closed the connection
  Silent,    // no connection or no reply within the time
  Unknown,   // the name is of a form not probed here, or nothing listens there: the window system decides
};

/// Opens a connection to the server of a display name (":N", "unix:N", "host:N", "[::1]:N", each with an
/// optional ".S", and with "tcp/" or "unix/" before it), the way the X library does (on Linux the
/// abstract socket, then the socket file, then TCP port 6000 + N for a local name), and waits up to
/// `patience` for its answer.
DisplayAnswer probe_display(const std::string& name, std::chrono::milliseconds patience);
