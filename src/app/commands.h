#pragma once

#include <string>

#include "app/pictures.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

// Each command adds itself to the command line; its callback leaves the exit status in `status`.
void add_generate_command(CLI::App& app, int& status);
void add_new_command(CLI::App& app, int& status);
void add_compile_command(CLI::App& app, int& status);
void add_check_command(CLI::App& app, int& status);
void add_documents_command(CLI::App& app, int& status);
void add_timetable_command(CLI::App& app, int& status);
void add_inspect_command(CLI::App& app, int& status);
void add_preview_command(CLI::App& app, int& status, const Pictures& pictures);
void add_lsp_command(CLI::App& app, int& status);

/// Why a build without pictures (the Windows one) refuses preview and watch --preview.
std::string pictures_left_out();
void add_watch_command(CLI::App& app, int& status, const Pictures& pictures);

/// Refuses an empty value of an option that names a file or a directory.
CLI::Validator non_empty_path();
