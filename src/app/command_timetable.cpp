// scenario timetable: whether the train can keep the timetable, run by run.

#include <CLI/CLI.hpp>

#include <cmath>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/refusal.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/windows1252.h"
#include "review/timetable_review.h"
#include "scenario/read_limits.h"

namespace {

enum class TimetableFormat { Text, Json };

struct TimetableCommandOptions {
  SourceOptions sources;
  TimetableFormat format = TimetableFormat::Text;
  TrainRank rank = TrainRank::C;
  double dwell = TimetableSettings{}.dwell;
  std::string rolling_stock;
};

std::string fixed(double value, int decimals) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(decimals) << value;
  return text.str();
}

long long rounded(double value) { return static_cast<long long>(std::nearbyint(value)); }

/// The whole run: from the first departure to the last arrival, against the fastest runs and the dwells.
struct Totals {
  double scheduled = 0;
  double minimum = 0;
  bool complete = true;  // every run can be made
};

Totals totals_of(const ScenarioTimetable& timetable, double dwell) {
  Totals totals;
  for (std::size_t i = 0; i < timetable.runs.size(); ++i) {
    const StopRun& run = timetable.runs[i];
    const bool last = i + 1 == timetable.runs.size();
    totals.scheduled += static_cast<double>(run.scheduled) + (last ? 0.0 : dwell);
    totals.minimum += run.run.time + (last ? 0.0 : dwell);
    totals.complete = totals.complete && run.possible();
  }
  return totals;
}

std::string train_text(const ScenarioTimetable& timetable, TrainRank rank, double dwell) {
  const RollingStock& stock = timetable.stock;
  return "train of " + std::to_string(rounded(stock.cars)) + " cars, " +
         std::to_string(rounded(timetable.train.mass / 1000)) + " t, " +
         std::to_string(rounded(timetable.train.length)) + " m, " + std::to_string(rounded(stock.max_speed_km_h)) +
         " km/h, braked mass " + std::to_string(rounded(stock.braked_mass_percentage)) + " %, rank " + rank_name(rank) +
         ", " + std::to_string(rounded(dwell)) + " s at each stop";
}

void print_text(const ScenarioTimetable& timetable, const AuthorSources& author,
                const TimetableCommandOptions& options) {
  std::cout << shown_name(author.names.line_key + " " + author.names.train_number) << ": "
            << train_text(timetable, options.rank, options.dwell) << "\n";
  if (!timetable.stations.empty()) {
    const Station& first = timetable.stations.front();
    const int64_t clock = timetable.train_data.clock();
    const int64_t after = first.time - clock;
    std::cout << "clock at the start " << time_of_day_text(clock) << "; first departure "
              << time_of_day_text(first.time) << " from " << shown_text(first.name) << ", "
              << (after >= 0 ? std::to_string(after) + " s later"
                             : std::to_string(-after) + " s earlier: late at the start")
              << "\n";
  }
  if (timetable.runs.empty()) {
    std::cout << "no run: the service has fewer than two stations\n";
    return;
  }
  std::size_t from_width = 4, to_width = 2;
  for (const StopRun& run : timetable.runs) {
    from_width = std::max(from_width, shown_text(timetable.from(run).name).size());
    to_width = std::max(to_width, shown_text(timetable.to(run).name).size());
  }
  const auto cell = [](const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
  };
  const auto right = [](const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
  };
  std::cout << "\n"
            << cell("from", from_width) << "  " << cell("to", to_width) << "  " << right("km", 6) << "  "
            << right("timetable", 9) << "  " << right("fastest", 7) << "  " << right("margin", 7) << "  "
            << right("%", 5) << "  verdict\n";
  for (const StopRun& run : timetable.runs) {
    const double km = (timetable.to(run).metre - timetable.from(run).metre) / 1000.0;
    std::cout << cell(shown_text(timetable.from(run).name), from_width) << "  "
              << cell(shown_text(timetable.to(run).name), to_width) << "  " << right(fixed(km, 2), 6) << "  "
              << right(duration_text(static_cast<double>(run.scheduled)), 9) << "  ";
    if (run.possible()) {
      std::cout << right(duration_text(run.run.time), 7) << "  " << right(std::to_string(rounded(run.margin)) + " s", 7)
                << "  " << right(std::to_string(rounded(run.margin_percent)), 5) << "  " << verdict_name(run.verdict);
    } else {
      std::cout << right("-", 7) << "  " << right("-", 7) << "  " << right("-", 5) << "  " << verdict_name(run.verdict)
                << ": " << shown_text(blocked_text(*run.run.blocked, timetable.line));
    }
    if (run.possible() && run.verdict != Verdict::Normal && !run.why.empty())
      std::cout << " (" << shown_text(run.why) << ")";
    std::cout << "\n";
  }
  const Totals totals = totals_of(timetable, options.dwell);
  const double km = (timetable.stations.back().metre - timetable.stations.front().metre) / 1000.0;
  std::cout << cell("whole run", from_width) << "  " << cell("", to_width) << "  " << right(fixed(km, 2), 6) << "  "
            << right(duration_text(totals.scheduled), 9) << "  ";
  if (totals.complete) {
    const double margin = totals.scheduled - totals.minimum;
    std::cout << right(duration_text(totals.minimum), 7) << "  " << right(std::to_string(rounded(margin)) + " s", 7)
              << "  " << right(std::to_string(rounded(totals.minimum > 0 ? 100 * margin / totals.minimum : 0)), 5);
  } else {
    std::cout << right("-", 7) << "  " << right("-", 7) << "  " << right("-", 5);
  }
  std::cout << "  (stops included)\n";
}

void print_json(const ScenarioTimetable& timetable, const AuthorSources& author,
                const TimetableCommandOptions& options) {
  nlohmann::ordered_json document;
  document["line_key"] = shown_name(author.names.line_key);
  document["train_number"] = shown_name(author.names.train_number);
  const RollingStock& stock = timetable.stock;
  document["train"] = {{"cars", stock.cars},
                       {"mass_t", timetable.train.mass / 1000},
                       {"length_m", timetable.train.length},
                       {"max_speed_km_h", stock.max_speed_km_h},
                       {"braked_mass_percentage", stock.braked_mass_percentage},
                       {"rank", rank_name(options.rank)},
                       {"sand", timetable.train.sanding}};
  document["dwell_s"] = options.dwell;
  document["clock_s"] = timetable.train_data.clock();
  document["first_departure_s"] = timetable.stations.empty() ? nlohmann::ordered_json(nullptr)
                                                             : nlohmann::ordered_json(timetable.stations.front().time);
  nlohmann::ordered_json runs = nlohmann::ordered_json::array();
  for (const StopRun& run : timetable.runs) {
    nlohmann::ordered_json entry;
    entry["from"] = shown_text(timetable.from(run).name);
    entry["to"] = shown_text(timetable.to(run).name);
    entry["from_m"] = timetable.from(run).metre;
    entry["to_m"] = timetable.to(run).metre;
    entry["scheduled_s"] = run.scheduled;
    if (run.possible()) {
      entry["minimum_s"] = std::round(run.run.time * 10) / 10;
      entry["margin_s"] = std::round(run.margin * 10) / 10;
      entry["margin_percent"] = std::round(run.margin_percent * 10) / 10;
    } else {
      entry["minimum_s"] = nullptr;
      entry["margin_s"] = nullptr;
      entry["margin_percent"] = nullptr;
    }
    entry["verdict"] = verdict_name(run.verdict);
    entry["why"] = shown_text(run.why);
    entry["blocked"] = run.possible()
                           ? nlohmann::ordered_json(nullptr)
                           : nlohmann::ordered_json(shown_text(blocked_text(*run.run.blocked, timetable.line)));
    runs.push_back(std::move(entry));
  }
  document["runs"] = std::move(runs);
  const Totals totals = totals_of(timetable, options.dwell);
  document["whole_run"] = {{"scheduled_s", totals.scheduled},
                           {"minimum_s", totals.complete ? nlohmann::ordered_json(std::round(totals.minimum * 10) / 10)
                                                         : nlohmann::ordered_json(nullptr)}};
  std::cout << document.dump(2) << "\n";
}

int timetable(const TimetableCommandOptions& options) {
  TimetableOptions timetable_options;
  timetable_options.rank = options.rank;
  timetable_options.settings.dwell = options.dwell;
  if (!options.rolling_stock.empty()) {
    try {
      timetable_options.rolling_stock = read_file(options.rolling_stock, kRollingStockReadLimit);
    } catch (const FileError& failure) {
      return refuse("cannot read " + failure.path() + ": " + failure.reason(), kExitFileFailure);
    }
  }
  const Result<AuthorSources> read = read_author_sources(options.sources);
  if (!read) return refuse(read.status());
  const AuthorSources& author = *read;
  if (author.input.errors() > 0) {
    print_diagnostics({}, author.sources, author.input);
    return kExitError;
  }
  const AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/false);
  if (compiled.state.diagnostics.errors() > 0) {
    print_diagnostics({}, author.sources, compiled.state.diagnostics);
    tell_errors_after_the_first(author);
    std::cerr << "scenario: no timetable: the scenario has an error\n";
    return kExitError;
  }
  const auto checked = timetable_of(compiled.state, timetable_options);
  if (!checked)
    return refuse("the rolling-stock file " + shown_name(options.rolling_stock) + ": " + checked.status().message(),
                  kExitUsage);
  if (options.format == TimetableFormat::Json)
    print_json(*checked, author, options);
  else
    print_text(*checked, author, options);
  return kExitSuccess;
}

}  // namespace

void add_timetable_command(CLI::App& app, int& status) {
  auto options = std::make_shared<TimetableCommandOptions>();
  auto* command = app.add_subcommand(
      "timetable", "Whether the train can keep the timetable: for each pair of stops, the time the timetable gives, "
                   "the least the train needs, the margin and a verdict.");
  add_source_options(command, options->sources);
  command->add_option("--rank", options->rank, "The train's rank, whose speed the boards give: A, B or C (default C)")
      ->transform(CLI::CheckedTransformer(
                      std::map<std::string, TrainRank>{{"A", TrainRank::A}, {"B", TrainRank::B}, {"C", TrainRank::C}},
                      CLI::ignore_case)
                      .description("{A,B,C}"));
  command->add_option("--dwell", options->dwell, "Seconds the train stands at each stop (default 20)")
      ->check(CLI::Range(0.0, 3600.0));
  command
      ->add_option("--rolling-stock", options->rolling_stock,
                   "A rolling-stock file (JSON) whose values override the default train's")
      ->check(non_empty_path());
  command->add_option("--format", options->format, "text (default) or json")
      ->transform(CLI::CheckedTransformer(std::map<std::string, TimetableFormat>{{"text", TimetableFormat::Text},
                                                                                 {"json", TimetableFormat::Json}},
                                          CLI::ignore_case)
                      .description("{text,json}"));
  command->callback([options, &status] { status = timetable(*options); });
}
