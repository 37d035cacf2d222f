// What `gaugehost render --panel` and `gaugehost run` share: the options
// that set up a panel session (panel file, gauges folder, scenario or demo
// flight) and how they start it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "commands.h"
#include "host/panel/session.h"

namespace gaugehost::cli {

struct PanelOptions {
    std::string panel;           // panel file; the shipped one when empty
    std::string gauges_folder;   // the gauges folder beside bin when empty
    std::string scenario;        // scenario file, if any
    std::optional<double> time;  // host time to stop at
};

// Takes the option at args[i] (and its value) if it is one of --panel,
// --gauges, --scenario, --time; returns false for any other.
bool take_panel_option(const Args& args, size_t& i, PanelOptions& options);

// The shipped panel: panel/orvane.cfg of the working folder, else of the
// source tree the host was built in (three folders above bin).
std::string default_panel_file();

// Loads the panel and starts the session: with a scenario, plays it; with
// no scenario, the engine runs and the demo flight starts at once, working
// the throttle itself.
std::unique_ptr<Session> start_session(const PanelOptions& options, std::optional<Scenario>& scenario);

// A whole number option value within bounds, or std::invalid_argument.
double number_option(const std::string& option, const std::string& value, double lo, double hi);

}  // namespace gaugehost::cli
