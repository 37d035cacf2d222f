// Helpers shared by the tests: probing gauges in-process and running the
// gaugehost command line.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/probe.h"

namespace orvane_test {

// Runs `gaugehost probe MODULE GAUGE ARGS...` in-process on the native
// modules of this build and returns its JSON report.
inline nlohmann::json probe_in(const std::string& folder, const std::string& module, const std::string& gauge,
                               const std::vector<std::string>& args = {})
{
    std::vector<std::string> all = {module, gauge};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("--gauges");
    all.push_back(folder);
    return gaugehost::run_probe(gaugehost::parse_probe_arguments(all));
}

inline nlohmann::json probe(const std::string& module, const std::string& gauge,
                            const std::vector<std::string>& args = {})
{
    return probe_in(ORVANE_GAUGES_DIR, module, gauge, args);
}

struct CommandResult {
    int exit_code = -1;
    std::string output;  // stdout and stderr together
};

// Runs a shell command line and collects what it prints.
CommandResult run_command(const std::string& command_line);

// Runs the gaugehost binary of this build with the arguments (shell-quoted).
CommandResult run_gaugehost(const std::vector<std::string>& args);

// The element of a probe report with the index (from 1).
inline const nlohmann::json& element(const nlohmann::json& report, int index)
{
    return report.at("elements").at(size_t(index - 1));
}

}  // namespace orvane_test
