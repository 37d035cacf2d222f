// "Climb" through the host: the feet-per-minute conversion, its clamps, the
// needle on its table and the tooltip.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "directions.h"
#include "tests/support/support.h"

using flight_test::direction;
using orvane_test::element;
using orvane_test::probe;

namespace {

double needle_direction(int x, int y)
{
    return direction(142, 142, x, y);
}

struct ClimbCase {
    const char* token;
    double feet_per_minute;
    int row_x, row_y;     // row the needle must point at, or -1
    const char* tooltip;  // whole feet per minute, or null: not checked
};

class ClimbCases : public ::testing::TestWithParam<ClimbCase> {};

TEST_P(ClimbCases, NeedleAndTooltip)
{
    const ClimbCase& c = GetParam();
    auto r = probe("Orvane", "Climb", {"--token", std::string("65=") + c.token, "--hover", "142,20"});
    const auto& needle = element(r, 2);
    EXPECT_NEAR(needle["values"][0].get<double>(), c.feet_per_minute, 1e-9);
    if (c.row_x >= 0) {
        EXPECT_NEAR(needle["angle"].get<double>(), needle_direction(c.row_x, c.row_y), 1e-6);
    }
    if (c.tooltip) {
        EXPECT_EQ(r["tooltips"][0]["text"],
                  std::string("Vertical Speed Indicator (") + c.tooltip + " ft/min)");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClimbCases,
    ::testing::Values(ClimbCase{"256", 60 / 0.305, -1, -1, "196"},               // 1 m/s up
                      ClimbCase{"-256", -60 / 0.305, -1, -1, "-196"},            // 1 m/s down
                      ClimbCase{"0", 0, 37, 142, "0"},                           // straight left
                      ClimbCase{"-10240", -6000, 246, 163, "-6000"},             // 40 m/s down: row 1
                      ClimbCase{"10240", 6000, 246, 124, "6000"},                // row 15
                      ClimbCase{"1e300", 6000, 246, 124, "6000"},                // held at the top
                      ClimbCase{"-inf", -6000, 246, 163, "-6000"},               // held at the bottom
                      ClimbCase{"1301.3333333333333", 1000, 64, 72, nullptr}));  // row 10

TEST(Climb, NotANumberPassesTheClamps)
{
    auto r = probe("Orvane", "Climb", {"--token", "65=nan", "--hover", "10,10"});
    EXPECT_TRUE(element(r, 2)["values"][0].is_null());
    EXPECT_EQ(element(r, 2)["values_text"][0], "nan");
    EXPECT_EQ(r["tooltips"][0]["text"], "Vertical Speed Indicator (0 ft/min)");
}

TEST(Climb, FailureNineteenTakesTheNeedleToZero)
{
    auto r = probe("Orvane", "Climb", {"--fail", "19", "--token", "65=2560", "--updates", "1"});
    EXPECT_EQ(element(r, 2)["values"][0].get<double>(), 0.0);
    EXPECT_NEAR(element(r, 2)["angle"].get<double>(), 180.0, 1e-9);
}

}  // namespace
