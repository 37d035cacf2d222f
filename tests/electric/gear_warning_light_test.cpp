// "Gear_warning_light" through the host: lit while the gear is not down on
// all three legs (each strictly beyond 16300) and the throttle is below 33
// percent (token 558 x 100, truncated; NaN 0, huge values saturated).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

struct LampCase {
    const char* nose;   // token 332
    const char* left;   // token 333
    const char* right;  // token 334
    const char* throttle;
    bool lit;
};

std::ostream& operator<<(std::ostream& out, const LampCase& c)
{
    return out << "legs " << c.nose << "/" << c.left << "/" << c.right << " throttle " << c.throttle;
}

class GearWarning : public ::testing::TestWithParam<LampCase> {};

TEST_P(GearWarning, LampFollowsGearAndThrottle)
{
    const LampCase& c = GetParam();
    auto r = probe("Orvane_electric", "Gear_warning_light",
                   {"--token", std::string("332=") + c.nose, "--token", std::string("333=") + c.left,
                    "--token", std::string("334=") + c.right, "--token", std::string("558=") + c.throttle});
    const auto& lamp = element(r, 2);
    EXPECT_EQ(lamp["values"][0].get<double>(), c.lit ? 1.0 : 0.0);
    EXPECT_EQ(lamp["picture"], c.lit ? 1 : 0);
    EXPECT_EQ(lamp["bitmap"], c.lit ? 2501 : 2500);
    EXPECT_EQ(element(r, 1)["bitmap"], 2500);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GearWarning,
    ::testing::Values(
        // Gear down: dark at any throttle.
        LampCase{"16384", "16384", "16384", "0", false}, LampCase{"16384", "16384", "16384", "-0.1", false},
        LampCase{"16300.000000000004", "16300.000000000004", "16300.000000000004", "0", false},
        // One leg exactly at 16300 (strictly greater needed), the others down.
        LampCase{"16300", "16384", "16384", "0.2", true}, LampCase{"16384", "16300", "16384", "0.2", true},
        LampCase{"16384", "16384", "16300", "0.2", true}, LampCase{"nan", "16384", "16384", "0.2", true},
        LampCase{"16384", "16384", "nan", "0.2", true},
        // Gear up: the throttle percent decides, 32 lit, 33 dark.
        LampCase{"0", "0", "0", "0.329", true}, LampCase{"0", "0", "0", "0.33", false},
        LampCase{"0", "0", "0", "0.3299999", true}, LampCase{"0", "0", "0", "1.0", false},
        LampCase{"0", "0", "0", "-0.1", true}, LampCase{"0", "0", "0", "0", true},
        // Out of range and NaN throttle: saturated, NaN reads 0 percent.
        LampCase{"0", "0", "0", "nan", true}, LampCase{"0", "0", "0", "1e300", false},
        LampCase{"0", "0", "0", "-1e300", true}, LampCase{"0", "0", "0", "inf", false},
        LampCase{"0", "0", "0", "-inf", true}, LampCase{"0", "0", "0", "21474836.48", false},
        LampCase{"16384", "16384", "16384", "nan", false},
        LampCase{"16384", "16384", "16384", "-1e300", false}));

TEST(GearWarning, LampFollowsTheLatestUpdateOnly)
{
    auto r = probe("Orvane_electric", "Gear_warning_light",
                   {"--token", "558=1", "--updates", "2", "--token", "558=0.1", "--updates", "1"});
    EXPECT_EQ(element(r, 2)["picture"], 1);
    auto extended = probe("Orvane_electric", "Gear_warning_light",
                          {"--token", "558=0.1", "--updates", "1", "--token", "332=16384", "--token",
                           "333=16384", "--token", "334=16384", "--updates", "1"});
    EXPECT_EQ(element(extended, 2)["picture"], 0);
}

TEST(GearWarning, TooltipTextWithoutInsertOverTheLamp)
{
    auto r = probe("Orvane_electric", "Gear_warning_light",
                   {"--hover", "0,0", "--hover", "61,61", "--hover", "30,30"});
    for (const auto& t : r["tooltips"]) EXPECT_EQ(t["text"], "Landing Gear Warning Light") << t["x"];
    EXPECT_TRUE(r["events"].empty());
    // No click area: a click sends nothing.
    auto clicked = probe("Orvane_electric", "Gear_warning_light", {"--click", "30,30"});
    EXPECT_TRUE(clicked["events"].empty());
}

}  // namespace
