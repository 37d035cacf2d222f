#include "host.h"

#include <filesystem>
#include <stdexcept>

namespace gaugehost {

namespace {

// The host whose scope is open; module code calls the service table only
// from inside such a scope (one call at a time, on one thread).
Host* active_host = nullptr;

Host& active()
{
    if (!active_host) throw std::logic_error("module called the host outside a host scope");
    return *active_host;
}

void GAUGE_CALL service_query(ElementHeader* root) { active().element_list_call(24, root, 0); }
void GAUGE_CALL service_install(ElementHeader* root, uint32_t v) { active().element_list_call(25, root, v); }
void GAUGE_CALL service_initialise(ElementHeader* root) { active().element_list_call(26, root, 0); }
void GAUGE_CALL service_update(ElementHeader* root) { active().element_list_call(27, root, 0); }
void GAUGE_CALL service_generate(ElementHeader* root, uint32_t v) { active().element_list_call(28, root, v); }
void GAUGE_CALL service_draw(ElementHeader* root) { active().element_list_call(29, root, 0); }
void GAUGE_CALL service_kill(ElementHeader* root) { active().element_list_call(31, root, 0); }
void GAUGE_CALL service_toggle_window(uint32_t window) { active().toggle_window(window); }
void GAUGE_CALL service_trigger_key(uint32_t id, uint32_t value) { active().key_event(id, value); }
void GAUGE_CALL service_lookup(TokenVar* var) { active().lookup(*var); }

}  // namespace

Host::Scope::Scope(Host& host) : previous_(active_host)
{
    active_host = &host;
}

Host::Scope::~Scope()
{
    active_host = previous_;
}

Host::Host(Simulation& simulation) : simulation_(&simulation)
{
    services_.query = service_query;
    services_.install = service_install;
    services_.initialise = service_initialise;
    services_.update = service_update;
    services_.generate = service_generate;
    services_.draw = service_draw;
    services_.kill = service_kill;
    services_.toggle_window = service_toggle_window;
    services_.trigger_key_event = service_trigger_key;
    services_.lookup_var = service_lookup;
}

Host::~Host()
{
    Scope scope(*this);
    while (!modules_.empty()) modules_.pop_back();
}

Module& Host::load_module(const std::string& path)
{
    Scope scope(*this);
    modules_.push_back(std::make_unique<Module>(path, &services_));
    return *modules_.back();
}

Module* Host::module(const std::string& name)
{
    for (auto& m : modules_)
        if (m->name() == name) return m.get();
    return nullptr;
}

void Host::advance_time(double seconds)
{
    time_ += seconds;
    simulation_->advance(seconds);
}

void Host::clear_records()
{
    key_events_.clear();
    window_toggles_.clear();
    element_list_calls_.clear();
}

void Host::key_event(uint32_t id, uint32_t value)
{
    key_events_.push_back({id, value});
    simulation_->key_event(id, value);
}

void Host::toggle_window(uint32_t window)
{
    window_toggles_.push_back(window);
    if (on_toggle_window) on_toggle_window(window);
}

void Host::element_list_call(int entry, ElementHeader* root, uint32_t value)
{
    element_list_calls_.push_back({entry, root, value});
}

}  // namespace gaugehost
