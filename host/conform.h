// Conformance runs: one list of probe scenarios run by two hosts (the
// native host on the native modules, the Windows host on the .gau files
// under Wine) and the two results compared field by field.
//
// A scenario file holds one scenario per line:
//     NAME: MODULE GAUGE [PROBE STEP]...
// with the probe command's steps (--token, --updates, --click, --hold,
// --press/--move/--release, --hover, --width, --fail/--repair,
// --update-gauge). Blank lines and lines starting with '#' are skipped; a
// line ending in '\' continues on the next one. Names are unique.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace gaugehost {

struct ConformScenario {
    std::string name;
    std::string module;
    std::string gauge;
    std::vector<std::string> steps;  // probe arguments
    std::string origin;              // "file:line", for messages
};

// Reads a scenario file. Throws std::runtime_error naming the file and line
// for anything malformed (bad steps included).
std::vector<ConformScenario> read_scenario_file(const std::string& path);
std::vector<ConformScenario> parse_scenarios(const std::string& text, const std::string& origin);

// One line of a scenario file for the scenario.
std::string scenario_line(const ConformScenario& scenario);

// Runs every scenario (each loads its module fresh) on the modules of
// `gauges_folder` and returns {"host": ..., "scenarios": [{"name",
// "module", "gauge", "report"} or {..., "error"}]}. A scenario that fails
// is reported with its error; the others still run.
nlohmann::json run_scenarios(const std::vector<ConformScenario>& scenarios, const std::string& gauges_folder);

// Default scenarios for every gauge of every module in the folder: tokens
// in (several value sets, from ordinary to NaN and infinities), updates,
// every tooltip area hovered, every click area clicked, held (repeat
// areas) or dragged (drag areas) from a point the host finds inside it,
// every failure key of the gauge's elements failed, and a drawn width.
std::vector<ConformScenario> default_scenarios(const std::string& gauges_folder);

// One difference between two conformance results.
struct Difference {
    std::string scenario;
    std::string field;  // "element 4 (needle) angle", "tooltip 2 text", ...
    std::string expected;
    std::string actual;
};

// Compares two results of run_scenarios field by field; numbers must agree
// exactly. An empty list means the hosts agree.
std::vector<Difference> compare_results(const nlohmann::json& expected, const nlohmann::json& actual);

// "scenario 'X': element 4 (needle) angle: native 12.5 vs windows 12.500000000000002"
std::string describe(const Difference& difference, const std::string& expected_name = "native",
                     const std::string& actual_name = "windows");

}  // namespace gaugehost
