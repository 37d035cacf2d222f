#include "panel_loop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

#include "host/format.h"
#include "host/panel/scenario.h"
#include "host/panel/session.h"
#include "host/render/renderer.h"
#include "png_encode.h"

namespace gaugehost::web {

using nlohmann::json;

namespace {

constexpr size_t kKeptFrames = 64;
constexpr size_t kKeptEvents = 40;
constexpr int kMaxMouseRecords = 4096;
constexpr uint32_t kMaxTooltipArgs = 16;

std::string hex(uint32_t v)
{
    char b[16];
    std::snprintf(b, sizeof b, "0x%X", v);
    return b;
}

// JSON has no NaN or infinities: they go out as null with the text beside.
json number(double v)
{
    return std::isfinite(v) ? json(v) : json(nullptr);
}

struct PanelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

PanelRect intersect(PanelRect a, PanelRect b)
{
    int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    int x1 = std::min(a.x + a.width, b.x + b.width), y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

const char* area_kind(uint32_t kind)
{
    switch (kind) {
        case MOUSE_PARENT: return "parent";
        case MOUSE_CLICK: return "click";
        case MOUSE_END_PARENT: return "end parent";
        case MOUSE_TOOLTIP: return "tooltip";
        default: return "unknown";
    }
}

uint32_t parse_number(const json& v, const char* what)
{
    if (v.is_number_unsigned()) return v.get<uint32_t>();
    if (v.is_number_integer() && v.get<int64_t>() >= 0) return uint32_t(v.get<int64_t>());
    if (v.is_string()) {
        const std::string& s = v.get_ref<const std::string&>();
        try {
            size_t used = 0;
            unsigned long n = std::stoul(s, &used, 0);
            if (used == s.size() && n <= 0xFFFFFFFFul) return uint32_t(n);
        } catch (const std::exception&) {
        }
    }
    throw std::invalid_argument(std::string("bad ") + what + ": " + v.dump());
}

}  // namespace

struct PanelLoop::State {
    std::unique_ptr<Session> session;
    std::map<Gauge*, std::unique_ptr<GaugeRenderer>> renderers;
    std::map<int, bool> shown;  // window ident -> visible as last published
    bool paused = false;
    // The latest mouse action handled, per page, not yet in a frame.
    std::map<std::string, uint64_t> acks;
    Panel::PlacedGauge* pressed = nullptr;  // the gauge the held button works
    struct Event {
        double time;
        uint32_t id, value;
    };
    std::deque<Event> events;
    std::vector<Event> new_events;
    size_t messages_seen = 0;
    std::vector<std::string> new_messages;
    std::string scenario_error;

    // Mouse actions of each page, handled in the order of their ids.
    struct MouseAction {
        std::string action;
        double x, y;
        std::chrono::steady_clock::time_point arrived;
    };
    struct MouseQueue {
        uint64_t next = 1;
        std::map<uint64_t, MouseAction> waiting;
    };
    std::map<std::string, MouseQueue> mouse_queues;

    void acknowledge(const std::string& client, uint64_t id)
    {
        uint64_t& a = acks[client];
        a = std::max(a, id);
    }
    const std::string& client_of(const MouseQueue& q) const
    {
        for (const auto& [client, queue] : mouse_queues)
            if (&queue == &q) return client;
        static const std::string none;
        return none;
    }

    void mouse_in_order(const std::string& client, uint64_t id, MouseAction a)
    {
        MouseQueue& q = mouse_queues[client];
        if (id < q.next) return;  // given up on, or sent twice
        q.waiting.emplace(id, std::move(a));
        drain(q, false);
    }

    // Handles the actions that are next in line; with `late`, also those
    // behind a gap that has waited too long.
    void drain(MouseQueue& q, bool late)
    {
        auto now = std::chrono::steady_clock::now();
        while (!q.waiting.empty()) {
            auto it = q.waiting.begin();
            bool give_up = late && now - it->second.arrived > std::chrono::duration<double>(PanelLoop::kMouseGapSeconds);
            if (it->first != q.next && !give_up) break;
            mouse(it->second.action, it->second.x, it->second.y);
            acknowledge(client_of(q), it->first);
            q.next = it->first + 1;
            q.waiting.erase(it);
        }
    }

    void drain_late()
    {
        for (auto& [client, q] : mouse_queues)
            if (!q.waiting.empty()) drain(q, true);
    }

    Panel& panel() { return session->panel(); }
    Aircraft& aircraft() { return session->aircraft(); }
    Host& host() { return session->host(); }

    GaugeRenderer& renderer(Gauge& g)
    {
        auto& r = renderers[&g];
        if (!r) r = std::make_unique<GaugeRenderer>(g);
        return *r;
    }

    std::string name_of(const Panel::PlacedGauge& g) const
    {
        return g.placement.module + "!" + g.placement.gauge;
    }

    // Key events and messages the modules and the model produced since the
    // last look; the host's own record is emptied so that it cannot grow
    // without end in a long run.
    void collect_records()
    {
        for (const KeyEvent& e : host().key_events()) {
            Event ev{session->time(), e.id, e.value};
            events.push_back(ev);
            new_events.push_back(ev);
            if (events.size() > kKeptEvents) events.pop_front();
        }
        host().clear_records();
        const auto& messages = aircraft().messages();
        for (; messages_seen < messages.size(); ++messages_seen) new_messages.push_back(messages[messages_seen]);
    }

    // One picture of a panel rectangle inside a window: its colour, then
    // every gauge over it in drawing order.
    std::string patch(Panel::Window& w, PanelRect r)
    {
        const auto& c = w.config.color;
        Image image(r.width, r.height, Rgba{c[0], c[1], c[2], 255});
        for (Panel::PlacedGauge& g : w.gauges) {
            PanelRect gr{g.x, g.y, g.width, g.height};
            if (intersect(gr, r).width == 0) continue;
            composite_over(image, renderer(*g.gauge).picture(), g.x - r.x, g.y - r.y);
        }
        return base64(encode_png(image, 0, 0, r.width, r.height));
    }

    json window_patch(Panel::Window& w, PanelRect r)
    {
        PanelRect wr{w.config.x, w.config.y, w.config.width, w.config.height};
        r = intersect(r, wr);
        if (r.width == 0) return nullptr;
        return {{"window", w.config.ident}, {"x", r.x}, {"y", r.y}, {"w", r.width}, {"h", r.height},
                {"png", patch(w, r)}};
    }

    // The frame of what changed since the previous one; null when nothing
    // did.
    json frame()
    {
        json patches = json::array();
        json windows = json::array();
        for (Panel::Window& w : panel().windows()) {
            bool was = shown.count(w.config.ident) ? shown[w.config.ident] : false;
            if (was != w.visible) {
                windows.push_back({{"ident", w.config.ident}, {"visible", w.visible}});
                shown[w.config.ident] = w.visible;
            }
            if (!w.visible) continue;
            std::vector<PanelRect> changed;
            for (Panel::PlacedGauge& g : w.gauges) {
                GaugeRenderer& r = renderer(*g.gauge);
                if (!r.refresh()) continue;
                Rect c = r.changed_region();
                if (!c.empty()) changed.push_back({g.x + c.x, g.y + c.y, c.width, c.height});
            }
            // A window that has just opened goes out whole.
            if (!was) changed = {{w.config.x, w.config.y, w.config.width, w.config.height}};
            for (PanelRect r : changed) {
                json p = window_patch(w, r);
                if (!p.is_null()) patches.push_back(std::move(p));
            }
        }
        collect_records();
        if (patches.empty() && windows.empty() && new_events.empty() && new_messages.empty() && acks.empty())
            return nullptr;
        json f = {{"time", session->time()}, {"patches", std::move(patches)}};
        if (!acks.empty()) f["acks"] = acks;
        if (!windows.empty()) f["windows"] = std::move(windows);
        if (!new_events.empty()) {
            json e = json::array();
            for (const Event& ev : new_events) e.push_back(event_json(ev));
            f["events"] = std::move(e);
        }
        if (!new_messages.empty()) f["messages"] = new_messages;
        new_events.clear();
        new_messages.clear();
        acks.clear();
        return f;
    }

    // The panel as the frames published so far leave it: every window shown
    // then, whole, from the pictures of the latest refresh.
    json key_frame()
    {
        json patches = json::array();
        json windows = json::array();
        for (Panel::Window& w : panel().windows()) {
            bool visible = shown.count(w.config.ident) ? shown[w.config.ident] : false;
            windows.push_back({{"ident", w.config.ident}, {"visible", visible}});
            if (!visible) continue;
            json p = window_patch(w, {w.config.x, w.config.y, w.config.width, w.config.height});
            if (!p.is_null()) patches.push_back(std::move(p));
        }
        return {{"time", session->time()}, {"key", true}, {"patches", std::move(patches)},
                {"windows", std::move(windows)}};
    }

    static json event_json(const Event& e)
    {
        return {{"time", e.time}, {"id", hex(e.id)}, {"value", int32_t(e.value)}};
    }

    json box_json(const Panel::PlacedGauge& g, const Box& b)
    {
        double s = g.gauge->scale();
        if (b.x == 0 && b.y == 0 && b.width == 0 && b.height == 0)
            return {{"x", g.x}, {"y", g.y}, {"w", g.width}, {"h", g.height}, {"whole", true}};
        return {{"x", g.x + b.x * s}, {"y", g.y + b.y * s}, {"w", b.width * s}, {"h", b.height * s}};
    }

    json tooltip_args(Gauge& gauge, const MouseArea& tip)
    {
        json args = json::array();
        Host::Scope scope(host());
        uint32_t count = std::min(tip.event_id, kMaxTooltipArgs);
        for (uint32_t i = 0; tip.args && i < count; ++i) {
            TooltipArg arg = tip.args[i];  // a copy: reading it changes nothing the gauge sees
            json a = {{"token", arg.source.token}};
            if (arg.source.token) host().lookup(arg.source);
            if (arg.text) {
                const char* t = arg.text(0, 0, 0, 0, &arg.source, 0);
                a["text"] = cp1252_to_utf8(t ? std::string(t, strnlen(t, 256)) : std::string());
            } else if (arg.number) {
                a["result"] = number(arg.number(0, 0, 0, 0, &arg.source, 0));
            } else {
                a["result"] = number(arg.source.value);
            }
            args.push_back(std::move(a));
        }
        (void)gauge;
        return args;
    }

    json hover(double x, double y)
    {
        json out = {{"x", x}, {"y", y}, {"cursor", CURSOR_NONE}};
        auto hit = panel().hit(x, y);
        if (!hit || !hit->window) return out;
        out["window"] = hit->window->config.ident;
        if (!hit->gauge) return out;
        Panel::PlacedGauge& g = *hit->gauge;
        Gauge& gauge = *g.gauge;
        out["gauge"] = name_of(g);
        out["gx"] = hit->x;
        out["gy"] = hit->y;
        out["box"] = {{"x", g.x}, {"y", g.y}, {"w", g.width}, {"h", g.height}};
        if (auto click = gauge.click_area_at(hit->x, hit->y, 0xFFFFFFFFu)) {
            const MouseArea& a = *click->area;
            out["cursor"] = a.cursor;
            out["click"] = {{"record", click->record}, {"box", box_json(g, a.box)}, {"cursor", a.cursor},
                            {"flags", hex(a.flags)}};
        }
        if (auto tip = gauge.tooltip_area_at(hit->x, hit->y)) {
            const MouseArea& parent = tip->area[-1];
            std::string text = gauge.format_tooltip(*tip->area);
            out["tooltip"] = text;
            out["tip"] = {{"record", tip->record}, {"parent_record", tip->record - 1}, {"box", box_json(g, parent.box)},
                          {"text", text}, {"args", tooltip_args(gauge, *tip->area)}};
        }
        return out;
    }

    json areas()
    {
        json out = json::array();
        for (Panel::Window& w : panel().windows()) {
            if (!w.visible) continue;
            for (Panel::PlacedGauge& g : w.gauges) {
                json records = json::array();
                const MouseArea* list = g.gauge->header()->mouse_list;
                int depth = 0;
                for (int i = 0; list && i < kMaxMouseRecords && list[i].kind != MOUSE_END; ++i) {
                    const MouseArea& a = list[i];
                    json r = {{"record", i + 1}, {"kind", area_kind(a.kind)}, {"depth", depth}};
                    if (a.kind == MOUSE_PARENT) {
                        r["box"] = box_json(g, a.box);
                        r["tooltip"] = list[i + 1].kind == MOUSE_TOOLTIP;
                        ++depth;
                    } else if (a.kind == MOUSE_CLICK) {
                        r["box"] = box_json(g, a.box);
                        r["cursor"] = a.cursor;
                        r["flags"] = hex(a.flags);
                    } else if (a.kind == MOUSE_END_PARENT) {
                        --depth;
                    } else if (a.kind == MOUSE_TOOLTIP && a.routine.tooltip_text) {
                        r["format"] = cp1252_to_utf8(std::string(a.routine.tooltip_text, strnlen(a.routine.tooltip_text, 512)));
                    }
                    records.push_back(std::move(r));
                }
                out.push_back({{"gauge", name_of(g)}, {"window", w.config.ident},
                               {"box", {{"x", g.x}, {"y", g.y}, {"w", g.width}, {"h", g.height}}},
                               {"records", std::move(records)}});
            }
        }
        return out;
    }

    json failure_keys()
    {
        std::map<uint32_t, std::set<std::string>> keys;
        for (Panel::Window& w : panel().windows())
            for (Panel::PlacedGauge& g : w.gauges)
                for (const ElementState& e : g.gauge->elements())
                    for (const FailureRecord* f = e.element->failures; f && f->key; ++f)
                        keys[f->key].insert(g.placement.gauge);
        json out = json::array();
        for (auto& [key, gauges] : keys)
            out.push_back({{"key", key}, {"failed", host().failed(key)}, {"gauges", gauges}});
        for (uint32_t key : host().failures())
            if (!keys.count(key)) out.push_back({{"key", key}, {"failed", true}, {"gauges", json::array()}});
        return out;
    }

    json state()
    {
        collect_records();
        Aircraft& a = aircraft();
        json tokens = json::array();
        for (uint32_t t : Aircraft::tokens())
            tokens.push_back({{"token", t}, {"value", number(a.value(t))}, {"model", number(a.model_value(t))},
                              {"overridden", a.overridden(t)}});
        json events = json::array();
        for (const Event& e : events_view()) events.push_back(event_json(e));
        json windows = json::array();
        for (Panel::Window& w : panel().windows())
            windows.push_back({{"ident", w.config.ident}, {"title", w.config.title}, {"visible", w.visible}});
        return {{"time", session->time()},
                {"ticks", session->ticks()},
                {"paused", paused},
                {"demo", {{"running", a.demo_flight_running()}, {"time", a.demo_flight_time()},
                          {"length", Aircraft::demo_flight_seconds()}}},
                {"engine_running", a.engine_running()},
                {"metric", a.metric()},
                {"tokens", std::move(tokens)},
                {"failures", failure_keys()},
                {"events", std::move(events)},
                {"messages", a.messages()},
                {"windows", std::move(windows)},
                {"scenario_done", session->scenario_done()},
                {"scenario_error", scenario_error},
                {"unknown_windows", panel().unknown_toggles()}};
    }
    const std::deque<Event>& events_view() const { return events; }

    // The gauges of a window that has just opened have not been updated
    // while it was closed.
    void update_opened_windows(const std::map<int, bool>& before)
    {
        for (Panel::Window& w : panel().windows()) {
            auto it = before.find(w.config.ident);
            if (w.visible && it != before.end() && !it->second)
                for (Panel::PlacedGauge& g : w.gauges) g.gauge->update();
        }
    }

    std::map<int, bool> visibility()
    {
        std::map<int, bool> v;
        for (Panel::Window& w : panel().windows()) v[w.config.ident] = w.visible;
        return v;
    }

    // The pilot's mouse. The touched gauge is updated at once, so that the
    // switch shows its new position in the very next frame rather than one
    // host update later; the rest of the panel follows at the next update.
    void mouse(const std::string& action, double x, double y)
    {
        auto before = visibility();
        if (action == "down") {
            auto hit = panel().hit(x, y);
            pressed = hit && hit->gauge ? hit->gauge : nullptr;
            panel().press(x, y);
        } else if (action == "move") {
            panel().move(x, y);
        } else {
            panel().release();
        }
        if (pressed) {
            Panel::Window* w = panel().window_of(*pressed);
            if (w && w->visible) pressed->gauge->update();
        }
        if (action == "up") pressed = nullptr;
        update_opened_windows(before);
    }

    json command(const json& c)
    {
        if (!c.is_object() || !c.contains("op") || !c["op"].is_string())
            throw std::invalid_argument("a command is an object with an \"op\"");
        std::string op = c["op"];
        auto before = visibility();
        Aircraft& a = aircraft();
        auto need = [&](const char* key) -> const json& {
            if (!c.contains(key)) throw std::invalid_argument(op + " needs \"" + key + "\"");
            return c[key];
        };
        if (op == "play") paused = false;
        else if (op == "pause") paused = true;
        else if (op == "step") {
            int n = c.value("ticks", 1);
            if (n < 1 || n > 18 * 3600) throw std::invalid_argument("step: ticks from 1 to 64800");
            for (int i = 0; i < n; ++i) session->tick();
        } else if (op == "demo") a.start_demo_flight();
        else if (op == "engine_running") a.preset_running();
        else if (op == "set") {
            uint32_t token = parse_number(need("token"), "token");
            const json& v = need("value");
            if (v.is_string() && v.get<std::string>().rfind("i:", 0) == 0) {
                std::string s = v.get<std::string>().substr(2);
                size_t used = 0;
                long n = 0;
                try {
                    n = std::stol(s, &used);
                } catch (const std::exception&) {
                    used = 0;
                }
                if (used == 0 || used != s.size() || n < INT32_MIN || n > INT32_MAX)
                    throw std::invalid_argument("bad 32-bit value " + v.dump());
                a.set_int32(token, int32_t(n));
            } else if (v.is_number()) {
                a.set(token, v.get<double>());
            } else if (v.is_string()) {
                std::string s = v.get<std::string>();
                size_t used = 0;
                double d = 0;
                try {
                    d = std::stod(s, &used);
                } catch (const std::exception&) {
                    used = 0;
                }
                if (used == 0 || used != s.size()) throw std::invalid_argument("bad token value " + v.dump());
                a.set(token, d);
            } else {
                throw std::invalid_argument("bad token value " + v.dump());
            }
        } else if (op == "release") {
            if (c.contains("token") && c["token"] == "all") a.release_all();
            else a.release(parse_number(need("token"), "token"));
        } else if (op == "release_all") a.release_all();
        else if (op == "fail") host().fail(parse_number(need("key"), "failure key"));
        else if (op == "repair") host().repair(parse_number(need("key"), "failure key"));
        else if (op == "units") {
            const json& m = need("metric");
            if (!m.is_boolean()) throw std::invalid_argument("units: \"metric\" is true or false");
            a.set_metric(m.get<bool>());
        } else if (op == "key") {
            uint32_t id = parse_number(need("id"), "key event");
            int64_t value = c.value("value", int64_t(0));
            if (value < INT32_MIN || value > int64_t(UINT32_MAX)) throw std::invalid_argument("key: value out of range");
            host().key_event(id, uint32_t(value));
        } else if (op == "window") {
            int ident = int(parse_number(need("ident"), "window"));
            if (!panel().window(ident)) throw std::invalid_argument("no window " + std::to_string(ident));
            std::string action = c.value("action", "toggle");
            if (action == "toggle") panel().toggle_window(uint32_t(ident));
            else if (action == "open") panel().set_visible(ident, true);
            else if (action == "close") panel().set_visible(ident, false);
            else throw std::invalid_argument("window action is open, close or toggle");
        } else if (op == "refuel") {
            std::string tank = need("tank").get<std::string>();
            double gallons = need("gallons").get<double>();
            Tank t = tank == "left" ? Tank::left : tank == "right" ? Tank::right : tank == "aux" ? Tank::aux
                   : throw std::invalid_argument("tank is left, right or aux");
            if (!(gallons >= 0 && gallons <= a.capacity(t))) throw std::invalid_argument("gallons out of range");
            a.refuel(t, gallons);
        } else if (op == "scenario") {
            const json& text = need("text");
            if (!text.is_string()) throw std::invalid_argument("scenario: \"text\" is the scenario's text");
            try {
                session->play(parse_scenario(text.get<std::string>(), c.value("name", "page")));
            } catch (const ScenarioError& e) {
                throw std::invalid_argument(e.what());
            }
            scenario_error.clear();
        } else {
            throw std::invalid_argument("unknown command '" + op + "'");
        }
        update_opened_windows(before);
        return {{"ok", true}, {"time", session->time()}, {"paused", paused}};
    }

    // One host update, unless paused. A scenario step that cannot be done
    // stops the scenario and is reported in the state.
    void tick()
    {
        if (paused) return;
        try {
            session->tick();
        } catch (const ScenarioError& e) {
            scenario_error = e.what();
            session->play(Scenario{});
        }
    }
};

PanelLoop::PanelLoop(const LoopOptions& options) : state_(std::make_unique<State>())
{
    std::promise<void> loaded;
    auto ready = loaded.get_future();
    thread_ = std::thread([this, options, p = std::move(loaded)]() mutable { run(options, std::move(p)); });
    try {
        ready.get();
    } catch (...) {
        thread_.join();
        throw;
    }
}

PanelLoop::~PanelLoop()
{
    stop();
    if (thread_.joinable()) thread_.join();
}

void PanelLoop::stop()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    tasks_cv_.notify_all();
    frames_cv_.notify_all();
}

bool PanelLoop::stopping() const
{
    std::lock_guard lock(mutex_);
    return stop_;
}

void PanelLoop::post(std::function<void(State&)> task)
{
    {
        std::lock_guard lock(mutex_);
        if (stop_) return;
        tasks_.push_back(std::move(task));
    }
    tasks_cv_.notify_all();
}

json PanelLoop::call(std::function<json(State&)> task)
{
    auto promise = std::make_shared<std::promise<json>>();
    auto result = promise->get_future();
    {
        std::lock_guard lock(mutex_);
        if (stop_) throw std::runtime_error("the server is stopping");
        tasks_.push_back([promise, task = std::move(task)](State& s) {
            try {
                promise->set_value(task(s));
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        });
    }
    tasks_cv_.notify_all();
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        throw std::runtime_error("the panel did not answer in time");
    return result.get();
}

void PanelLoop::publish(std::string frame, uint64_t& seq_out)
{
    {
        std::lock_guard lock(mutex_);
        seq_out = ++seq_;
        frames_.emplace_back(seq_, std::move(frame));
        if (frames_.size() > kKeptFrames) frames_.pop_front();
    }
    frames_cv_.notify_all();
}

void PanelLoop::run(LoopOptions options, std::promise<void> loaded)
{
    State& s = *state_;
    try {
        s.session = std::make_unique<Session>(options.panel, options.gauges);
        if (options.engine_running) s.aircraft().preset_running();
        if (options.demo) s.aircraft().start_demo_flight();
        if (!options.scenario.empty()) s.session->play(load_scenario(options.scenario));
        s.paused = options.paused;
        s.frame();  // draws everything once; clients start from key frames
    } catch (...) {
        loaded.set_exception(std::current_exception());
        return;
    }
    loaded.set_value();

    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(Session::kTick));
    auto next = clock::now() + period;
    for (;;) {
        std::deque<std::function<void(State&)>> tasks;
        {
            std::unique_lock lock(mutex_);
            tasks_cv_.wait_until(lock, next, [&] { return stop_ || !tasks_.empty(); });
            if (stop_) break;
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) task(s);
        s.drain_late();
        auto now = clock::now();
        if (now >= next) {
            s.tick();
            next += period;
            // Far behind (a stalled machine): start afresh rather than race.
            if (now - next > 10 * period) next = now + period;
        }
        try {
            json f = s.frame();
            if (!f.is_null()) {
                uint64_t seq = 0;
                publish(f.dump(), seq);
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "gaugehost serve: drawing failed: %s\n", e.what());
        }
    }
}

json PanelLoop::layout()
{
    return call([](State& s) {
        json windows = json::array();
        for (Panel::Window& w : s.panel().windows()) {
            const auto& c = w.config;
            char colour[16];
            std::snprintf(colour, sizeof colour, "#%02x%02x%02x", c.color[0], c.color[1], c.color[2]);
            json gauges = json::array();
            for (Panel::PlacedGauge& g : w.gauges)
                gauges.push_back({{"name", s.name_of(g)}, {"x", g.x}, {"y", g.y}, {"w", g.width}, {"h", g.height}});
            windows.push_back({{"ident", c.ident}, {"title", c.title}, {"x", c.x}, {"y", c.y}, {"w", c.width},
                               {"h", c.height}, {"color", colour}, {"visible", w.visible},
                               {"gauges", std::move(gauges)}});
        }
        return json{{"width", s.panel().width()}, {"height", s.panel().height()}, {"rate", Host::kUpdateRate},
                    {"panel", s.panel().config().path}, {"windows", std::move(windows)}};
    });
}

json PanelLoop::hover(double x, double y)
{
    return call([x, y](State& s) { return s.hover(x, y); });
}

json PanelLoop::areas()
{
    return call([](State& s) { return s.areas(); });
}

json PanelLoop::state()
{
    return call([](State& s) { return s.state(); });
}

json PanelLoop::command(const json& c)
{
    return call([c](State& s) { return s.command(c); });
}

void PanelLoop::mouse(const std::string& action, double x, double y, uint64_t id, const std::string& client)
{
    post([action, x, y, id, client](State& s) {
        if (client.empty()) {
            s.mouse(action, x, y);
            s.acknowledge(client, id);
        } else {
            s.mouse_in_order(client, id, {action, x, y, std::chrono::steady_clock::now()});
        }
    });
}

std::string PanelLoop::key_frame(uint64_t& seq)
{
    json f = call([this, &seq](State& s) {
        json f = s.key_frame();
        // Still on the loop thread: no frame is published meanwhile.
        std::lock_guard lock(mutex_);
        seq = seq_;
        return f;
    });
    return f.dump();
}

bool PanelLoop::frames_after(uint64_t& seq, std::vector<std::string>& out, int timeout_ms)
{
    std::unique_lock lock(mutex_);
    frames_cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return stop_ || seq_ > seq; });
    if (seq_ <= seq) return true;
    if (frames_.empty() || frames_.front().first > seq + 1) return false;
    for (auto& [n, f] : frames_) {
        if (n <= seq) continue;
        out.push_back(f);
        seq = n;
    }
    return true;
}

}  // namespace gaugehost::web
