#include "session.h"

#include <cmath>

namespace gaugehost {

Session::Session(const std::string& panel_path, const std::string& gauges_folder)
    : Session(load_panel_config(panel_path), gauges_folder)
{
}

Session::Session(PanelConfig config, const std::string& gauges_folder) : host_(aircraft_)
{
    panel_ = std::make_unique<Panel>(host_, std::move(config), gauges_folder);
    panel_->update();
}

void Session::fail(const ScenarioStep& step, const std::string& message) const
{
    throw ScenarioError(scenario_->path + ":" + std::to_string(step.line) + ": " + message);
}

void Session::play(const Scenario& scenario)
{
    for (const ScenarioStep& s : scenario.steps) {
        if (s.gauge.empty()) continue;
        if (!panel_->find(s.gauge))
            throw ScenarioError(scenario.path + ":" + std::to_string(s.line) + ": no gauge '" + s.gauge +
                                "' on the panel (or several: name it as Module!Gauge)");
    }
    panel_->release();
    scenario_ = scenario;
    next_ = 0;
    active_ = nullptr;
}

bool Session::scenario_done() const
{
    return !scenario_ || (!active_ && next_ >= scenario_->steps.size());
}

Panel::PlacedGauge& Session::gauge_of(const ScenarioStep& step)
{
    Panel::PlacedGauge* g = panel_->find(step.gauge);
    if (!g) fail(step, "no gauge '" + step.gauge + "' on the panel");
    Panel::Window* w = panel_->window_of(*g);
    if (!w->visible)
        fail(step, "gauge '" + step.gauge + "' is in window " + std::to_string(w->config.ident) + " (" +
                       w->config.title + "), which is closed");
    return *g;
}

std::pair<double, double> Session::panel_point(const ScenarioStep& step, double x, double y)
{
    Panel::PlacedGauge& g = gauge_of(step);
    double scale = g.gauge->scale();
    // The centre of the background pixel, so that a scaled gauge gets the
    // pixel the scenario means.
    return {g.x + (x + 0.5) * scale, g.y + (y + 0.5) * scale};
}

void Session::start_step()
{
    const ScenarioStep& s = scenario_->steps[next_++];
    auto timed = [&](const ScenarioStep& step) {
        active_ = &step;
        active_ticks_ = int(std::lround(step.seconds / kTick));
        active_done_ = 0;
    };
    switch (s.kind) {
        case ScenarioStep::Wait:
            timed(s);
            break;
        case ScenarioStep::Click: {
            auto [px, py] = panel_point(s, s.x, s.y);
            panel_->press(px, py);
            panel_->release();
            break;
        }
        case ScenarioStep::Hold:
        case ScenarioStep::Drag: {
            auto [px, py] = panel_point(s, s.x, s.y);
            panel_->press(px, py);
            timed(s);
            break;
        }
        case ScenarioStep::Key:
            host_.key_event(s.id, s.value);
            break;
        case ScenarioStep::Set:
            if (s.is_int32)
                aircraft_.set_int32(s.id, s.int_value);
            else
                aircraft_.set(s.id, s.number);
            break;
        case ScenarioStep::Release:
            aircraft_.release(s.id);
            break;
        case ScenarioStep::ReleaseAll:
            aircraft_.release_all();
            break;
        case ScenarioStep::Fail:
            host_.fail(s.id);
            break;
        case ScenarioStep::Repair:
            host_.repair(s.id);
            break;
        case ScenarioStep::Units:
            aircraft_.set_metric(s.metric);
            break;
        case ScenarioStep::FlightDemo:
            aircraft_.start_demo_flight();
            break;
        case ScenarioStep::EngineRunning:
            aircraft_.preset_running();
            break;
        case ScenarioStep::Refuel:
            aircraft_.refuel(s.tank == 0 ? Tank::left : s.tank == 1 ? Tank::right : Tank::aux, s.number);
            break;
        case ScenarioStep::Window: {
            Panel::Window* w = panel_->window(int(s.id));
            if (!w) fail(s, "the panel has no window " + std::to_string(s.id));
            if (s.window_action == 0)
                panel_->toggle_window(s.id);
            else
                panel_->set_visible(int(s.id), s.window_action == 1);
            break;
        }
    }
}

void Session::finish_step()
{
    if (active_->kind == ScenarioStep::Hold || active_->kind == ScenarioStep::Drag) panel_->release();
    active_ = nullptr;
}

void Session::tick()
{
    if (scenario_) {
        // Steps without duration happen at once, up to the next timed one.
        while (!active_ && next_ < scenario_->steps.size()) {
            start_step();
            if (active_ && active_ticks_ == 0) finish_step();
        }
        if (active_ && active_->kind == ScenarioStep::Drag) {
            const ScenarioStep& s = *active_;
            double f = double(active_done_ + 1) / active_ticks_;
            auto [px, py] = panel_point(s, s.x + (s.x2 - s.x) * f, s.y + (s.y2 - s.y) * f);
            panel_->move(px, py);
        }
    }
    host_.advance_time(kTick);
    panel_->hold_for(kTick);
    panel_->update();
    ++ticks_;
    if (active_ && ++active_done_ >= active_ticks_) finish_step();
}

void Session::run_until(double seconds)
{
    while (time() + kTick / 2 < seconds) tick();
}

}  // namespace gaugehost
