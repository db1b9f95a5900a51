#include "app/run_report.h"

#include "app/errore.h"
#include "scenario/run_state.h"

std::string run_report(const RunState& state) {
  std::string report = errore_message(std::to_string(state.error.code));
  if (state.error.position) report += "\nPosizione: " + std::to_string(*state.error.position);
  return report;
}
