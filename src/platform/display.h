#pragma once

#include <chrono>
#include <string>

/// How long a display may take to answer a new connection before the run goes on without a window.
inline constexpr std::chrono::milliseconds kDisplayPatience{3000};

/// True when a window system can be reached. On Windows: the process's window station is visible, and
/// under Wine its host has a display (DISPLAY or WAYLAND_DISPLAY set). On Linux, in the program with the
/// window toolkit: DISPLAY is set, the display's server answers within kDisplayPatience, and the display
/// really opens (the window toolkit then uses that connection). Asked before any window is made, because
/// the window toolkit ends the process when it cannot open one. A server that does not answer in time is
/// reported on standard error once. (The Linux program without the window toolkit shows no window and
/// never asks.)
bool display_available();

// The probe of an X display (the Linux build only).

/// True when the environment names a display (DISPLAY set and not empty): a window may be shown.
bool display_named();

/// What a display's server did when a connection was opened to it and the opening of the X protocol sent.
enum class DisplayAnswer {
  Answered,  // it replied (accepting or refusing the client) or closed the connection
  Silent,    // no connection or no reply within the time
  Unknown,   // the name is of a form not probed here, or nothing listens there: the window system decides
};

/// A connection opened to the server of a display name (":N", "unix:N", "host:N", "[::1]:N", each with an
/// optional ".S", and with "tcp/" or "unix/" before it), the way the X library opens one (on Linux the
/// abstract socket, then the socket file, then TCP port 6000 + N for a local name), and what the server
/// did within `patience` of the opening of the X protocol. The connection stays open while the object
/// lives, so that the window system can open its own before the server is left without a client (some
/// servers reset then, and refuse the next).
class DisplayProbe {
 public:
  DisplayProbe(const std::string& name, std::chrono::milliseconds patience);
  ~DisplayProbe();
  DisplayProbe(const DisplayProbe&) = delete;
  DisplayProbe& operator=(const DisplayProbe&) = delete;

  DisplayAnswer answer() const { return answer_; }

 private:
  DisplayAnswer answer_ = DisplayAnswer::Unknown;
  int fd_ = -1;
};

/// What the server of a display name did when probed (a DisplayProbe, closed at once).
DisplayAnswer probe_display(const std::string& name, std::chrono::milliseconds patience);
