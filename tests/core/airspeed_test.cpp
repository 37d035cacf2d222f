// "Airspeed" through the host: callbacks, tables, tooltips and failures
// checked together.
#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

// Direction (screen degrees, clockwise from x) from the dial centre to a point.
double direction_to(double x, double y)
{
    double a = std::atan2(y - 143, x - 141) * 180 / M_PI;
    return a < 0 ? a + 360 : a;
}

TEST(Airspeed, HundredKnotsAndMachHalfAsTheDialShowsThem)
{
    auto r = probe("Orvane", "Airspeed",
                   {"--token", "61=100", "--token", "64=10240", "--hover", "100,60", "--hover", "190,150"});
    EXPECT_NEAR(element(r, 4)["values"][0].get<double>(), 115.078030303, 1e-9);
    EXPECT_DOUBLE_EQ(element(r, 2)["values"][0].get<double>(), 0.5);
    EXPECT_EQ(r["tooltips"][0]["text"], "Airspeed Indicator (115 mph)");
    EXPECT_EQ(r["tooltips"][1]["text"], "Machmeter (0.500 mach)");
    EXPECT_EQ(element(r, 1)["bitmap"], 2000);
    EXPECT_EQ(element(r, 2)["bitmap"], 5000);
    EXPECT_EQ(element(r, 3)["bitmap"], 4000);
    EXPECT_EQ(element(r, 4)["bitmap"], 3000);
}

struct NeedleCase {
    const char* knots;
    double mph;
    int row_x, row_y;  // the table row the needle must point at
    double tolerance;  // degrees; the knots of some cases are rounded
};

class AirspeedRows : public ::testing::TestWithParam<NeedleCase> {};

TEST_P(AirspeedRows, NeedlePointsAtRow)
{
    const NeedleCase& c = GetParam();
    auto r = probe("Orvane", "Airspeed", {"--token", std::string("61=") + c.knots});
    const auto& needle = element(r, 4);
    EXPECT_NEAR(needle["values"][0].get<double>(), c.mph, 1e-5);
    EXPECT_NEAR(needle["angle"].get<double>(), direction_to(c.row_x, c.row_y), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Cases, AirspeedRows,
                         ::testing::Values(NeedleCase{"0", 0, 141, 32, 1e-9},      // straight up
                                           NeedleCase{"-20", 0, 141, 32, 1e-9},    // negative: held at 0
                                           NeedleCase{"1000", 700, 94, 43, 1e-9},  // held at 700: row 9
                                           NeedleCase{"86.8975596268900", 100.0, 205, 53, 1e-4},
                                           NeedleCase{"260.692678880670", 300.0, 218, 221, 1e-4}));

TEST(Airspeed, NaNAirspeedPassesTheClampsAndLeavesTheNeedleAtRest)
{
    auto r = probe("Orvane", "Airspeed", {"--token", "61=nan", "--token", "64=nan", "--hover", "10,10"});
    EXPECT_TRUE(element(r, 4)["values"][0].is_null());
    EXPECT_EQ(element(r, 4)["values_text"][0], "nan");
    EXPECT_EQ(r["tooltips"][0]["text"], "Airspeed Indicator (0 mph)");
}

TEST(Airspeed, MachOneIsHeldAtPointEightyFiveBeyondTheLastRow)
{
    auto r = probe("Orvane", "Airspeed", {"--token", "64=20480", "--hover", "180,110"});
    const auto& disc = element(r, 2);
    EXPECT_DOUBLE_EQ(disc["values"][0].get<double>(), 0.85);
    // Beyond 0.8 the last segment goes on at its degrees per unit.
    double a6 = direction_to(85, 86), a8 = direction_to(182, 73);
    double expected = a8 + (a8 - a6) / 0.2 * 0.05;
    EXPECT_NEAR(disc["angle"].get<double>(), std::fmod(expected, 360), 1e-9);
    EXPECT_EQ(r["tooltips"][0]["text"], "Machmeter (0.850 mach)");
}

TEST(Airspeed, MachWindowTooltipOnlyInsideTheWindow)
{
    // Corners of the window area (176,103)-(217,184): half-open box.
    struct {
        const char* at;
        bool mach;
    } cases[] = {{"176,103", true}, {"216,183", true}, {"217,150", false}, {"190,184", false},
                 {"175,150", false}, {"0,0", false},   {"282,284", false}};
    for (auto& c : cases) {
        auto r = probe("Orvane", "Airspeed", {"--token", "64=4096", "--hover", c.at});
        std::string text = r["tooltips"][0]["text"];
        EXPECT_EQ(text.rfind("Machmeter", 0) == 0, c.mach) << c.at << ": " << text;
    }
}

TEST(Airspeed, FailureSixTakesBothNeedlesToZero)
{
    auto r = probe("Orvane", "Airspeed", {"--fail", "6", "--token", "61=100", "--token", "64=10240", "--updates", "1"});
    EXPECT_EQ(element(r, 4)["values"][0].get<double>(), 0.0);
    EXPECT_EQ(element(r, 2)["values"][0].get<double>(), 0.0);
    auto repaired = probe("Orvane", "Airspeed",
                          {"--fail", "6", "--token", "61=100", "--updates", "1", "--repair", "6", "--updates", "1"});
    EXPECT_NEAR(element(repaired, 4)["values"][0].get<double>(), 115.078030303, 1e-9);
}

TEST(Airspeed, NeedleTurnsAtMostTwelveDegreesPerUpdate)
{
    // The first update draws at the target; 0 -> 300 mph then takes steps
    // of 12 degrees clockwise (the shorter way round).
    auto r = probe("Orvane", "Airspeed", {"--updates", "1", "--token", "61=260.69", "--updates", "1"});
    const auto& needle = element(r, 4);
    double start = direction_to(141, 32);
    EXPECT_NEAR(needle["angle"].get<double>(), std::fmod(start + 12, 360), 1e-9);
}

}  // namespace
