// The gauge host: its service table, the modules it has loaded, the host's
// failure set and clock, and the record of what the modules asked of it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/gauge.h"
#include "module.h"
#include "simulation.h"

namespace gaugehost {

struct KeyEvent {
    uint32_t id;
    uint32_t value;
    int32_t signed_value() const { return int32_t(value); }
};

// A call the module made to one of the element-list services 24-29, 31.
struct ElementListCall {
    int entry;
    ElementHeader* root;
    uint32_t value;
};

class Host {
public:
    // Updates per second of host time.
    static constexpr double kUpdateRate = 18.0;

    explicit Host(Simulation& simulation);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Simulation& simulation() { return *simulation_; }
    void set_simulation(Simulation& simulation) { simulation_ = &simulation; }

    // Loads a module file; the module stays loaded until the host goes.
    Module& load_module(const std::string& path);
    // A module already loaded, by name (file name without extension).
    Module* module(const std::string& name);

    // Failure keys that the host reports as failed.
    void fail(uint32_t key) { failed_.insert(key); }
    void repair(uint32_t key) { failed_.erase(key); }
    bool failed(uint32_t key) const { return failed_.count(key) != 0; }
    const std::set<uint32_t>& failures() const { return failed_; }

    // Host time in seconds; advanced by the updates of the panel or probe.
    double time() const { return time_; }
    void advance_time(double seconds);

    // What the modules asked of the host, in order.
    const std::vector<KeyEvent>& key_events() const { return key_events_; }
    const std::vector<uint32_t>& window_toggles() const { return window_toggles_; }
    const std::vector<ElementListCall>& element_list_calls() const { return element_list_calls_; }
    void clear_records();
    // Called on every window toggle, after it is recorded (the panel opens
    // and closes its windows here).
    std::function<void(uint32_t window)> on_toggle_window;

    HostServiceTable* services() { return &services_; }

    // Every call into module code runs inside a scope that makes this host
    // the one the service table talks to.
    class Scope {
    public:
        explicit Scope(Host& host);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Host* previous_;
    };

    // Entry points of the service table.
    void lookup(TokenVar& var) { simulation_->lookup(var); }
    void key_event(uint32_t id, uint32_t value);
    void toggle_window(uint32_t window);
    void element_list_call(int entry, ElementHeader* root, uint32_t value);

private:
    Simulation* simulation_;
    HostServiceTable services_{};
    std::vector<std::unique_ptr<Module>> modules_;
    std::set<uint32_t> failed_;
    double time_ = 0;
    std::vector<KeyEvent> key_events_;
    std::vector<uint32_t> window_toggles_;
    std::vector<ElementListCall> element_list_calls_;
};

}  // namespace gaugehost
