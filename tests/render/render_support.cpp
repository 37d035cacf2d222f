#include "render_support.h"

#include <cmath>

#include "fixture_art.h"
#include "host/probe.h"
#include "host/render/renderer.h"

namespace render_test {

const std::string& fixtures_folder()
{
    static const std::string folder = [] {
        std::string f = ORVANE_RENDER_FIXTURES_DIR;
        write_fixture_art(f + "/RenderFixture");
        return f;
    }();
    return folder;
}

gaugehost::Image draw(const std::string& gauge, const std::vector<std::string>& steps)
{
    return draw_in(fixtures_folder(), "RenderFixture", gauge, steps);
}

gaugehost::Image draw_in(const std::string& folder, const std::string& module, const std::string& gauge,
                         const std::vector<std::string>& steps)
{
    std::vector<std::string> args = {module, gauge};
    args.insert(args.end(), steps.begin(), steps.end());
    args.push_back("--gauges");
    args.push_back(folder);
    gaugehost::Image picture;
    gaugehost::run_probe(gaugehost::parse_probe_arguments(args),
                         [&](gaugehost::Gauge& g) { picture = gaugehost::render_gauge(g); });
    return picture;
}

Spot find(const gaugehost::Image& image, const std::function<bool(gaugehost::Rgba)>& match, int x0, int y0, int x1,
          int y1)
{
    if (x1 < 0) x1 = image.width;
    if (y1 < 0) y1 = image.height;
    Spot s;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (match(image.at(x, y))) {
                ++s.count;
                s.x += x + 0.5;
                s.y += y + 0.5;
            }
    if (s.count) s.x /= s.count, s.y /= s.count;
    return s;
}

double direction(double cx, double cy, double x, double y)
{
    double d = std::atan2(y - cy, x - cx) * 180.0 / 3.14159265358979323846;
    return d < 0 ? d + 360.0 : d;
}

double angle_between(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

bool reddish(gaugehost::Rgba c) { return c.a > 128 && c.r > 160 && c.g < 110 && c.b < 110; }
bool bluish(gaugehost::Rgba c) { return c.a > 128 && c.b > 160 && c.r < 110 && c.g < 110; }

}  // namespace render_test
