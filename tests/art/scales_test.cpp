// Scale agreement: for sample values on every dial, the dial carries its
// mark exactly where the host points the needle for that value (the host's
// own needle mapping at the needle's rotation centre), and no mark where
// the scale has none.
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/gauge.h"
#include "host/host.h"
#include "host/needle_map.h"

namespace fs = std::filesystem;

namespace {

struct DialCase {
    const char* module;
    const char* gauge;
    int needle;  // element (from 1) whose table the scale follows
    int dial;    // element whose bitmap carries the scale
    std::vector<double> marked;     // values with a long mark
    double r_in, r_out;             // along the ray: where long marks lie
    std::vector<double> unmarked;   // values between marks
    double gap_in, gap_out;         // where only long marks reach
};

const DialCase kDials[] = {
    {"Orvane", "Airspeed", 4, 1, {0, 50, 100, 150, 200, 300, 450, 600, 700}, 109, 126, {125, 325, 575}, 109, 115},
    {"Orvane", "Climb", 2, 1, {0, 500, -500, 1000, -1000, 2000, -2000, 4000, -4000, 6000, -6000}, 109, 126,
     {750, -750, 3250, -3250}, 109, 115},
    {"Orvane", "Compass", 5, 1, {0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330}, 105, 124,
     {15, 105, 255}, 105, 109},
    {"Orvane", "Altitude", 5, 1, {0, 100, 200, 300, 400, 500, 600, 700, 800, 900}, 107, 126, {30, 130, 830},
     107, 112},
    {"Orvane", "Clock", 5, 1, {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55}, 75, 91, {2.5, 17.5, 47.5}, 75, 80},
    {"Orvane_engine", "Manifold", 2, 1, {10, 15, 20, 30, 45, 60, 75}, 108, 126, {12.5, 42.5}, 108, 116},
    {"Orvane_engine", "RPM", 2, 1, {0, 500, 1500, 2500, 3500, 4500}, 108, 126, {250, 2750}, 108, 116},
    {"Orvane_engine", "Engine_gauge", 2, 1, {-50, 0, 50, 100, 150}, 85, 100, {25, 75}, 85, 89},
    {"Orvane_engine", "Engine_gauge", 4, 3, {0, 50, 100, 150, 200}, 46, 55, {25, 125}, 46, 48},
    {"Orvane_engine", "Engine_gauge", 5, 3, {0, 5, 10, 15, 20}, 46, 55, {2.5, 12.5}, 46, 48},
    {"Orvane_engine", "Fuel", 2, 1, {0, 10, 20, 30, 40, 50, 60}, 125, 140, {7.5, 32.5}, 125, 129},
    {"Orvane_engine", "Fuel", 3, 1, {0, 10, 20, 30, 40, 50, 60}, 125, 140, {7.5, 32.5}, 125, 129},
    {"Orvane_engine", "Coolant_temperature", 2, 1, {-50, 0, 50, 100, 150}, 122, 137, {-45, 75}, 122, 127},
    {"Orvane_engine", "OAT", 2, 1, {-40, -30, -20, 0, 10, 40}, 122, 137, {-37.5, 17.5}, 122, 127},
    {"Orvane_electric", "Ammeter", 2, 1, {-40, -20, 0, 20, 40}, 95, 109, {-25, 15}, 95, 98},
};

bool mark_coloured(const gaugehost::Rgba& p)
{
    return 0.3 * p.r + 0.59 * p.g + 0.11 * p.b > 150;
}

// Mark-coloured pixels on the ray from (cx, cy) at the angle, between the
// radii, within `across` pixels to either side.
int mark_pixels(const gaugehost::Image& image, double cx, double cy, double degrees, double r_in, double r_out,
                double across)
{
    double ux = std::cos(degrees * M_PI / 180), uy = std::sin(degrees * M_PI / 180);
    int count = 0;
    for (double r = r_in; r <= r_out; r += 0.5) {
        for (double s = -across; s <= across; s += 0.5) {
            int x = int(std::floor(cx + r * ux - s * uy)), y = int(std::floor(cy + r * uy + s * ux));
            if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
            if (mark_coloured(image.at(x, y))) ++count;
        }
    }
    return count;
}

// A loaded module and one of its gauges, if the module has it.
struct Loaded {
    gaugehost::TokenStore tokens;
    gaugehost::Host host{tokens};
    gaugehost::Module* module = nullptr;
    std::optional<gaugehost::Gauge> gauge;

    Loaded(const std::string& module_name, const std::string& gauge_name)
    {
        module = &host.load_module(
            (fs::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name(module_name)).string());
        if (GaugeHeader* h = module->find_gauge(gauge_name)) gauge.emplace(host, *module, h);
    }
};

class DialScales : public ::testing::TestWithParam<DialCase> {};

TEST_P(DialScales, MarksStandWhereTheHostPointsTheNeedle)
{
    const DialCase& c = GetParam();
    Loaded loaded(c.module, c.gauge);
    if (!loaded.gauge) GTEST_SKIP() << c.gauge << " is not in " << c.module << " yet";
    const auto& elements = loaded.gauge->elements();
    ASSERT_GE(int(elements.size()), std::max(c.needle, c.dial));
    ASSERT_EQ(elements[size_t(c.needle - 1)].element->kind, ELEMENT_NEEDLE);
    auto* needle = reinterpret_cast<const Needle*>(elements[size_t(c.needle - 1)].element);
    // The host's mapping, built from the record as the host builds it.
    gaugehost::NeedleMap map(needle->header.position, needle->table, needle->row_count);
    const gaugehost::Bitmap* dial = loaded.module->bitmap(elements[size_t(c.dial - 1)].element->bitmap);
    ASSERT_NE(dial, nullptr);
    double cx = needle->header.position.x + 0.5, cy = needle->header.position.y + 0.5;
    for (double v : c.marked) {
        auto angle = map.angle(v);
        ASSERT_TRUE(angle.has_value());
        EXPECT_GE(mark_pixels(dial->image, cx, cy, *angle, c.r_in, c.r_out, 1.0), 6)
            << c.gauge << ": no mark for " << v << " at " << *angle << " degrees";
    }
    for (double v : c.unmarked) {
        auto angle = map.angle(v);
        ASSERT_TRUE(angle.has_value());
        EXPECT_EQ(mark_pixels(dial->image, cx, cy, *angle, c.gap_in, c.gap_out, 0.5), 0)
            << c.gauge << ": a mark at " << v << ", which the scale does not mark";
    }
}

INSTANTIATE_TEST_SUITE_P(Dials, DialScales, ::testing::ValuesIn(kDials),
                         [](const ::testing::TestParamInfo<DialCase>& info) {
                             return std::string(info.param.gauge) + "_" + std::to_string(info.param.needle);
                         });

// The Mach disc turns with its needle value: the mark for Mach m lies on
// the disc where turning it by the host's angle for m brings it to the
// window's index, the disc's direction at 0.
TEST(MachDisc, EachMarkReachesTheIndexWhenTheDiscTurnsToItsValue)
{
    Loaded loaded("Orvane", "Airspeed");
    ASSERT_TRUE(loaded.gauge);
    auto* disc = reinterpret_cast<const Needle*>(loaded.gauge->elements()[1].element);
    ASSERT_EQ(disc->header.kind, ELEMENT_NEEDLE);
    gaugehost::NeedleMap map(disc->header.position, disc->table, disc->row_count);
    const gaugehost::Bitmap* bitmap = loaded.module->bitmap(disc->header.bitmap);
    ASSERT_NE(bitmap, nullptr);
    double px = disc->header.offset.x + 0.5, py = disc->header.offset.y + 0.5;
    double index = *map.angle(0);
    for (int step = 0; step <= 17; ++step) {
        double m = step * 0.05;
        double on_disc = index - *map.angle(m);
        EXPECT_GE(mark_pixels(bitmap->image, px, py, on_disc, 69, 77, 1.0), 6) << "no mark for Mach " << m;
        double between = index - *map.angle(m + 0.025);
        EXPECT_EQ(mark_pixels(bitmap->image, px, py, between, 69, 77, 0.5), 0) << "mark after Mach " << m;
    }
    // Growing anticlockwise from 0 on the right: 0.2 about 75 degrees on.
    EXPECT_NEAR(index, 0, 1);
    EXPECT_NEAR(index - *map.angle(0.2), -75, 3);
}

}  // namespace
