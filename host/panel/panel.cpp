#include "panel.h"

#include <cmath>
#include <filesystem>

namespace gaugehost {

Panel::Panel(Host& host, PanelConfig config, const std::string& gauges_folder)
    : host_(&host), config_(std::move(config))
{
    for (const WindowConfig& wc : config_.windows) {
        Window w;
        w.config = wc;
        w.visible = wc.visible;
        for (const GaugePlacement& p : wc.gauges) {
            auto at = [&](const std::string& message) {
                return PanelConfigError(config_.path + ":" + std::to_string(p.line) + ": " + message);
            };
            Module* module = host.module(p.module);
            if (!module) {
                std::string path =
                    (std::filesystem::path(gauges_folder) / module_file_name(p.module)).string();
                if (!std::filesystem::exists(path))
                    throw at("unknown module '" + p.module + "' (no " + path + ")");
                try {
                    module = &host.load_module(path);
                } catch (const std::exception& e) {
                    throw at(e.what());
                }
            }
            GaugeHeader* header = module->find_gauge(p.gauge);
            if (!header) throw at("module " + p.module + " has no gauge '" + p.gauge + "'");
            PlacedGauge g;
            try {
                g.gauge = std::make_unique<Gauge>(host, *module, header);
            } catch (const std::exception& e) {
                throw at(e.what());
            }
            g.placement = p;
            if (p.width) g.gauge->set_drawn_width(*p.width);
            g.x = wc.x + p.x;
            g.y = wc.y + p.y;
            g.width = g.gauge->drawn_width();
            int bw = g.gauge->background_width(), bh = g.gauge->background_height();
            g.height = bw > 0 && bh > 0 ? int(std::lround(double(bh) * g.width / bw)) : g.width;
            w.gauges.push_back(std::move(g));
        }
        windows_.push_back(std::move(w));
    }
    host_->on_toggle_window = [this](uint32_t ident) { toggle_window(ident); };
}

Panel::~Panel()
{
    host_->on_toggle_window = nullptr;
}

Panel::Window* Panel::window(int ident)
{
    for (Window& w : windows_)
        if (w.config.ident == ident) return &w;
    return nullptr;
}

void Panel::toggle_window(uint32_t ident)
{
    Window* w = ident <= 0x7FFFFFFFu ? window(int(ident)) : nullptr;
    if (!w) {
        unknown_toggles_.push_back(ident);
        return;
    }
    w->visible = !w->visible;
    // A window that closes under the held button lets the mouse go.
    if (!w->visible && captured_ && window_of(*captured_) == w) release();
}

void Panel::set_visible(int ident, bool visible)
{
    Window* w = window(ident);
    if (w && w->visible != visible) toggle_window(uint32_t(ident));
}

void Panel::update()
{
    for (Window& w : windows_) {
        if (!w.visible) continue;
        for (PlacedGauge& g : w.gauges) g.gauge->update();
    }
}

Panel::PlacedGauge* Panel::find(const std::string& name)
{
    std::string module, gauge = name;
    size_t bang = name.find('!');
    if (bang != std::string::npos) module = name.substr(0, bang), gauge = name.substr(bang + 1);
    PlacedGauge* found = nullptr;
    for (Window& w : windows_)
        for (PlacedGauge& g : w.gauges) {
            if (g.placement.gauge != gauge || (!module.empty() && g.placement.module != module)) continue;
            if (found) return nullptr;
            found = &g;
        }
    return found;
}

Panel::Window* Panel::window_of(const PlacedGauge& gauge)
{
    for (Window& w : windows_)
        for (PlacedGauge& g : w.gauges)
            if (&g == &gauge) return &w;
    return nullptr;
}

std::optional<Panel::Hit> Panel::hit(double px, double py)
{
    for (auto w = windows_.rbegin(); w != windows_.rend(); ++w) {
        if (!w->visible || !w->contains(px, py)) continue;
        Hit hit;
        hit.window = &*w;
        for (auto g = w->gauges.rbegin(); g != w->gauges.rend(); ++g) {
            if (px >= g->x && px < g->x + g->width && py >= g->y && py < g->y + g->height) {
                hit.gauge = &*g;
                hit.x = px - g->x;
                hit.y = py - g->y;
                break;
            }
        }
        return hit;
    }
    return std::nullopt;
}

bool Panel::press(double px, double py, uint32_t flags)
{
    if (captured_) release();
    auto h = hit(px, py);
    if (!h || !h->gauge) return false;
    if (!h->gauge->gauge->press(h->x, h->y, flags)) return false;
    if (h->gauge->gauge->button_held()) captured_ = h->gauge;
    return true;
}

void Panel::move(double px, double py)
{
    if (captured_) captured_->gauge->move(px - captured_->x, py - captured_->y);
}

void Panel::release()
{
    if (!captured_) return;
    PlacedGauge* g = captured_;
    captured_ = nullptr;
    g->gauge->release();
}

void Panel::hold_for(double seconds)
{
    if (captured_) captured_->gauge->hold_for(seconds);
}

std::optional<std::string> Panel::tooltip_at(double px, double py)
{
    auto h = hit(px, py);
    if (!h || !h->gauge) return std::nullopt;
    return h->gauge->gauge->tooltip_at(h->x, h->y);
}

}  // namespace gaugehost
