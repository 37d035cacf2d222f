// End to end through the host's renderer: the gauges drawn with the
// generated bitmaps show the value they are given.
#include <cmath>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "host/gauge.h"
#include "host/host.h"
#include "host/render/renderer.h"

namespace fs = std::filesystem;

namespace {

bool mark_coloured(const gaugehost::Rgba& p)
{
    return p.a > 200 && 0.3 * p.r + 0.59 * p.g + 0.11 * p.b > 150;
}

int mark_pixels(const gaugehost::Image& image, double cx, double cy, double degrees, double r_in, double r_out)
{
    double ux = std::cos(degrees * M_PI / 180), uy = std::sin(degrees * M_PI / 180);
    int count = 0;
    for (double r = r_in; r <= r_out; r += 0.5)
        for (double s = -1; s <= 1; s += 0.5) {
            int x = int(std::floor(cx + r * ux - s * uy)), y = int(std::floor(cy + r * uy + s * ux));
            if (x >= 0 && y >= 0 && x < image.width && y < image.height && mark_coloured(image.at(x, y))) ++count;
        }
    return count;
}

// The Machmeter window shows the mark of the Mach number under its index,
// and no mark half a step to either side of it.
TEST(RenderedAirspeed, MachWindowShowsTheMachNumberAtItsIndex)
{
    for (double mach : {0.0, 0.1, 0.25, 0.5, 0.65, 0.8, 0.85}) {
        SCOPED_TRACE(mach);
        gaugehost::TokenStore tokens;
        gaugehost::Host host(tokens);
        gaugehost::Module& module = host.load_module(
            (fs::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name("Orvane")).string());
        gaugehost::Gauge gauge(host, module, module.find_gauge("Airspeed"));
        tokens.set(64, mach * 20480);
        gauge.update();
        const auto& disc = gauge.elements()[1];
        ASSERT_EQ(disc.element->kind, ELEMENT_NEEDLE);
        double index = *disc.map.angle(0);
        double cx = disc.element->position.x + 0.5, cy = disc.element->position.y + 0.5;
        gaugehost::GaugeRenderer renderer(gauge);
        const gaugehost::Image& picture = renderer.picture();
        EXPECT_GE(mark_pixels(picture, cx, cy, index, 69, 77), 6);
        EXPECT_EQ(mark_pixels(picture, cx, cy, index - 9, 69, 77), 0);
        EXPECT_EQ(mark_pixels(picture, cx, cy, index + 9, 69, 77), 0);
        // Outside the window the cover hides the disc: only the face shows.
        EXPECT_EQ(mark_pixels(picture, cx, cy, index + 40, 60, 70), 0);
    }
}

}  // namespace
