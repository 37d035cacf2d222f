// A panel flying: the aircraft model, the host around it, the panel of
// gauges, and a scenario played against them, advanced one host update
// (1/18 s) at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/host.h"
#include "host/model/aircraft.h"
#include "panel.h"
#include "scenario.h"

namespace gaugehost {

class Session {
public:
    static constexpr double kTick = 1.0 / Host::kUpdateRate;

    // Loads the panel; throws PanelConfigError for a bad panel.
    Session(const std::string& panel_path, const std::string& gauges_folder);
    Session(PanelConfig config, const std::string& gauges_folder);

    Aircraft& aircraft() { return aircraft_; }
    Host& host() { return host_; }
    Panel& panel() { return *panel_; }
    // Host time, seconds.
    double time() const { return host_.time(); }
    int ticks() const { return ticks_; }

    // Plays the scenario from now on. Checks first that every gauge it names
    // is on the panel (ScenarioError "FILE:LINE: ..." otherwise).
    void play(const Scenario& scenario);
    // True when no scenario is playing or all its steps are done.
    bool scenario_done() const;

    // One host update: the scenario's steps that are due, host time (the
    // aircraft and a held button), then an update of every visible gauge.
    // Throws ScenarioError for a step that cannot be done (a click on a
    // gauge in a closed window).
    void tick();
    // Ticks until host time reaches `seconds` (within half a tick).
    void run_until(double seconds);

private:
    void start_step();
    void finish_step();
    // The panel position of a point of a gauge, in its own background pixels.
    std::pair<double, double> panel_point(const ScenarioStep& step, double x, double y);
    Panel::PlacedGauge& gauge_of(const ScenarioStep& step);
    [[noreturn]] void fail(const ScenarioStep& step, const std::string& message) const;

    Aircraft aircraft_;
    Host host_;
    std::unique_ptr<Panel> panel_;
    int ticks_ = 0;

    std::optional<Scenario> scenario_;
    size_t next_ = 0;
    const ScenarioStep* active_ = nullptr;  // the timed step under way
    int active_ticks_ = 0, active_done_ = 0;
};

}  // namespace gaugehost
