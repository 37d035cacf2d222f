// `gaugehost probe`: load a module fresh, drive one gauge through a list of
// steps and report its state after the last one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace gaugehost {

struct ProbeStep {
    enum Kind {
        Token,        // token = value (or int32 in the low half)
        Updates,      // count updates of the gauge
        UpdateGauge,  // one update of another gauge of the module
        Click,        // press + release at x, y with flags, then one update
        Hold,         // press at x, y, hold for ms of host time, release
        Press,
        Move,
        Release,
        Width,        // draw the gauge at this width
        Fail,
        Repair,
        Hover,        // read the tooltip at x, y
    } kind;
    uint32_t token = 0;
    bool token_is_int32 = false;
    double value = 0;
    int32_t int_value = 0;
    double x = 0, y = 0;
    uint32_t flags = 0;
    int count = 0;
    std::string name;
};

struct ProbeRequest {
    std::string module;
    std::string gauge;
    std::string gauges_folder;
    std::vector<ProbeStep> steps;
    bool json = false;
};

// Parses the probe command line after "probe". Throws std::invalid_argument
// with a message naming the bad argument.
ProbeRequest parse_probe_arguments(const std::vector<std::string>& args);

class Gauge;

// Runs the steps and returns the report as JSON (keys "elements",
// "tooltips", "events", "windows"). Throws std::runtime_error for an unknown
// module or gauge. `after_steps`, if given, sees the gauge after the last
// step while its module is still loaded (the render command draws it).
nlohmann::json run_probe(const ProbeRequest& request,
                         const std::function<void(Gauge&)>& after_steps = {});

// The same report as readable text.
std::string probe_report_text(const nlohmann::json& report);

// A double for a report: the number, or null with a "<key>_text" field
// beside it for NaN and the infinities.
void put_double(nlohmann::json& object, const std::string& key, double value);

// Parsing helpers shared by the commands: whole strings only.
std::optional<double> parse_double(const std::string& text);
std::optional<long long> parse_integer(const std::string& text);

}  // namespace gaugehost
