// The panel: the windows of a panel configuration with their gauges loaded
// and placed, which windows are open, where the mouse goes, and the updates
// of every gauge that can be seen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/gauge.h"
#include "host/host.h"
#include "panel_config.h"

namespace gaugehost {

class Panel {
public:
    struct PlacedGauge {
        std::unique_ptr<Gauge> gauge;
        GaugePlacement placement;
        int x = 0, y = 0;           // top-left corner on the panel
        int width = 0, height = 0;  // drawn size
    };
    struct Window {
        WindowConfig config;
        bool visible = true;
        std::vector<PlacedGauge> gauges;
        bool contains(double px, double py) const
        {
            return px >= config.x && px < config.x + config.width && py >= config.y &&
                   py < config.y + config.height;
        }
    };
    // Where a panel position lands: the window in front there, and the gauge
    // under it with the position in the gauge's drawn units (none when the
    // window has no gauge there).
    struct Hit {
        Window* window = nullptr;
        PlacedGauge* gauge = nullptr;
        double x = 0, y = 0;
    };

    // Loads the modules the configuration names from `gauges_folder` (or
    // takes those the host has already loaded) and places the gauges.
    // Throws PanelConfigError "FILE:LINE: ..." for an unknown module or
    // gauge. Hooks the host's window toggles.
    Panel(Host& host, PanelConfig config, const std::string& gauges_folder);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    Host& host() const { return *host_; }
    const PanelConfig& config() const { return config_; }
    std::vector<Window>& windows() { return windows_; }
    Window* window(int ident);
    int width() const { return config_.width(); }
    int height() const { return config_.height(); }

    // Opens a closed window and closes an open one, as the icon gauges ask.
    // A window number the panel does not have is noted in unknown_toggles().
    void toggle_window(uint32_t ident);
    void set_visible(int ident, bool visible);
    const std::vector<uint32_t>& unknown_toggles() const { return unknown_toggles_; }

    // One update of every gauge of every open window, in drawing order.
    void update();

    // The gauge named "Gauge" or "Module!Gauge"; null when there is none, or
    // when the name fits gauges of several modules.
    PlacedGauge* find(const std::string& name);
    Window* window_of(const PlacedGauge& gauge);

    // The mouse, at panel positions. The front-most open window that
    // contains the point takes it; a press that reaches a click area keeps
    // the mouse on that gauge until the release (drags may leave it).
    std::optional<Hit> hit(double px, double py);
    bool press(double px, double py, uint32_t flags = MOUSE_LEFT_CLICK);
    void move(double px, double py);
    void release();
    // Host time passes with the button held (repeat areas repeat).
    void hold_for(double seconds);
    std::optional<std::string> tooltip_at(double px, double py);

private:
    Host* host_;
    PanelConfig config_;
    std::vector<Window> windows_;
    PlacedGauge* captured_ = nullptr;
    std::vector<uint32_t> unknown_toggles_;
};

}  // namespace gaugehost
