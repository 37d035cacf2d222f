// Drawing the panel: its windows with their gauges, through the gauge
// renderer. Keeps one renderer per gauge, so that the static parts of every
// gauge are drawn once.
#pragma once

#include <map>
#include <memory>

#include "host/image.h"
#include "host/render/renderer.h"
#include "panel.h"

namespace gaugehost {

class PanelPainter {
public:
    explicit PanelPainter(Panel& panel) : panel_(&panel) {}

    // The whole panel at its extent: every open window in drawing order over
    // a dark background (closed windows leave the background bare).
    Image draw_panel();
    // One window at its own size, whether open or not, as its gauges stand.
    Image draw_window(Panel::Window& window);

private:
    void paint_window(Image& target, Panel::Window& window, int x, int y);
    GaugeRenderer& renderer(Gauge& gauge);

    Panel* panel_;
    std::map<Gauge*, std::unique_ptr<GaugeRenderer>> renderers_;
};

}  // namespace gaugehost
