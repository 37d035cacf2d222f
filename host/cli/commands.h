// The gaugehost subcommands. Each takes the arguments after its name and
// returns the process exit code; bad arguments throw std::invalid_argument
// (exit 2), failures std::runtime_error (exit 1).
#pragma once

#include <string>
#include <vector>

namespace gaugehost::cli {

using Args = std::vector<std::string>;

int list_command(const Args& args);
int probe_command(const Args& args);
int render_command(const Args& args);
int panel_render_command(const Args& args);
int run_command(const Args& args);
int serve_command(const Args& args);
int conform_command(const Args& args);
int info_command(const Args& args);

// True when the arguments ask for help (and the help has been printed).
bool wants_help(const Args& args, const char* usage);

}  // namespace gaugehost::cli
