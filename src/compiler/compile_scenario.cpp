#include "compiler/compile_scenario.h"

#include "compiler/competition_codes.h"
#include "compiler/error_report.h"
#include "compiler/finishing_pass.h"
#include "compiler/line_reader.h"
#include "compiler/service_reader.h"
#include "compiler/source_text_checks.h"
#include "scenario/error_codes.h"
#include "scenario/format.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"

bool CompileOutcome::writable(const RunState& state) const {
  return state.grid.exists() && !state.grid_stands_in && taken == 0;
}

std::string CompileOutcome::why_not_writable(const RunState& state) const {
  if (!state.grid.exists() || state.grid_stands_in)
    return "the line description gave no line length the format accepts, so there is no grid to write";
  if (taken == kErrorMarkerTaken)
    return "E1250: a place the output keeps for its markers is taken, so the markers and the competition codes "
           "cannot be stamped and no file may be written";
  if (taken == kErrorCodeTaken)
    return "E1251: a place the output keeps for the competition codes is taken, so the codes cannot be stamped "
           "and no file may be written";
  return {};
}

void prepare_compilation(RunState& state, int32_t j) {
  state.trace_flag = j;
  state.error = RunError{};
  state.diagnostics.clear();
  state.grid = TrackGrid{};
  state.trace = PlanTrace{};
  state.grid_stands_in = false;
  state.record_places = {};
  state.kilometric_places = {};
  state.curves.clear();
  for (ScenarioRecord& record : state.table) record = ScenarioRecord{};
}

SourcesRead compile_sources(RunState& state, std::optional<std::string_view> line,
                            std::optional<std::string_view> service) {
  if (!line) {
    store_identity(state);
    raise_error(state, Refusal{kErrorLineMissing});
    return {};
  }
  check_source_text(state, *line, SourceKind::Line);
  if (service) check_source_text(state, *service, SourceKind::Service);
  try {
    if (!read_line_description(state, *line)) return {.line = true, .service = false};
    if (!service) throw ReadFailure("train service file missing or unreadable");
    read_train_service(state, *service);
    return {.line = true, .service = true};
  } catch (const ReadFailure& failure) {
    std::optional<SourcePlace> place;
    if (failure.place()) place = failure.place();
    Refusal refusal(kErrorReadFailure, std::nullopt, place, failure.what());
    if (failure.field()) refusal.related.push_back({*failure.field(), "the value looked for here"});
    raise_error(state, std::move(refusal));
    return {.line = true, .service = true};
  }
}

int32_t finish_scenario(RunState& state) {
  finishing_pass(state);
  const int32_t taken = stamp_codes(state);
  if (taken != 0) {
    Refusal refusal(taken);
    const bool marker = taken == kErrorMarkerTaken;
    refusal.detail = cell_text(kCodeCell) + " holds " + name_occupant(refusal, state, kCodeCell) + ", but its " +
                     (marker ? "value1" : "value2") + " is kept for the " +
                     (marker ? "marker 5121" : "competition code") + " and must be 0 before it is stamped";
    raise_error(state, std::move(refusal));
  }
  return taken;
}

CompileOutcome compile_scenario(RunState& state, std::optional<std::string_view> line,
                                std::optional<std::string_view> service, const CompileOptions& options) {
  prepare_compilation(state, options.trace_flag);
  state.keep_going = options.keep_going;
  CompileOutcome outcome;
  outcome.read = compile_sources(state, line, service);
  if (state.grid.exists()) outcome.taken = finish_scenario(state);
  return outcome;
}
