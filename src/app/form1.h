#pragma once

#include <string>

#include "platform/wait_window.h"
#include "scenario/run_state.h"

/// The run's form: owns the run state and runs the whole scenario build when it loads.
class Form1 {
 public:
  /// A form whose files go to `directory`; `with_window` shows the "Attendere" window.
  Form1(std::string directory, bool with_window);

  /// The run: writes the sources and documents, compiles them, writes the binary files. Returns the
  /// exit status; a failure of the platform leaves as FileError.
  int Form_Load();
  /// Writes the scenario's two text sources again, as the run wrote them before compiling (and
  /// deleting) them; FileError on failure.
  void write_sources() const;

 private:
  RunState state_;
  bool with_window_;
  WaitWindow window_;
};
