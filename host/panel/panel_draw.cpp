#include "panel_draw.h"

#include <algorithm>

namespace gaugehost {

namespace {

const Rgba kPanelBackground{16, 16, 18, 255};

void fill(Image& target, int x, int y, int w, int h, Rgba colour)
{
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(target.width, x + w), y1 = std::min(target.height, y + h);
    for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i) target.at(i, j) = colour;
}

}  // namespace

GaugeRenderer& PanelPainter::renderer(Gauge& gauge)
{
    auto& r = renderers_[&gauge];
    if (!r) r = std::make_unique<GaugeRenderer>(gauge);
    return *r;
}

void PanelPainter::paint_window(Image& target, Panel::Window& window, int x, int y)
{
    const WindowConfig& c = window.config;
    Rgba colour{c.color[0], c.color[1], c.color[2], 255};
    fill(target, x, y, c.width, c.height, colour);
    // Gauges are clipped to their window, as the pointer is.
    Image inside(c.width, c.height, colour);
    for (Panel::PlacedGauge& g : window.gauges) renderer(*g.gauge).draw(inside, g.x - c.x, g.y - c.y);
    composite_over(target, inside, x, y);
    // A thin frame marks the window's edge.
    Rgba frame{uint8_t(std::min(255, c.color[0] + 40)), uint8_t(std::min(255, c.color[1] + 40)),
               uint8_t(std::min(255, c.color[2] + 40)), 255};
    fill(target, x, y, c.width, 1, frame);
    fill(target, x, y + c.height - 1, c.width, 1, frame);
    fill(target, x, y, 1, c.height, frame);
    fill(target, x + c.width - 1, y, 1, c.height, frame);
}

Image PanelPainter::draw_panel()
{
    Image picture(panel_->width(), panel_->height(), kPanelBackground);
    for (Panel::Window& w : panel_->windows())
        if (w.visible) paint_window(picture, w, w.config.x, w.config.y);
    return picture;
}

Image PanelPainter::draw_window(Panel::Window& window)
{
    Image picture(window.config.width, window.config.height, kPanelBackground);
    paint_window(picture, window, 0, 0);
    return picture;
}

}  // namespace gaugehost
