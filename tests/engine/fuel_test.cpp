// "Fuel" through the host: needles and tooltips from levels and the
// capacities fetched on service message 6, which "Fuel_selector" also
// fetches into the same module variables; the two-record failure list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

// Level tokens are fractions of capacity x 2^23.
std::string level(const char* token, double fraction)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s=%.17g", token, fraction * 8388608);
    return buffer;
}

double value_of(const nlohmann::json& e)
{
    const auto& v = e["values"][0];
    if (!v.is_null()) return v.get<double>();
    return std::strtod(e["values_text"][0].get<std::string>().c_str(), nullptr);
}

#define LEFT_SCALE "50,100"
#define RIGHT_SCALE "200,100"

struct TankCase {
    const char* side;  // "left" or "right"
    double capacity;
    double fraction;
    double needle;  // NaN: passes unchanged
    const char* tooltip;
};

void PrintTo(const TankCase& c, std::ostream* os)
{
    *os << c.side << " capacity " << c.capacity << " fraction " << c.fraction;
}

class FuelTanks : public ::testing::TestWithParam<TankCase> {};

TEST_P(FuelTanks, NeedleAndTooltipInGallons)
{
    const TankCase& c = GetParam();
    bool left = std::string(c.side) == "left";
    std::string capacity = std::string(left ? "292=" : "298=") + std::to_string(c.capacity);
    std::string fill = std::isnan(c.fraction) ? std::string(left ? "291=nan" : "297=nan")
                                              : level(left ? "291" : "297", c.fraction);
    auto r = probe("Orvane_engine", "Fuel",
                   {"--token", capacity, "--token", fill, "--hover", left ? LEFT_SCALE : RIGHT_SCALE});
    double v = value_of(element(r, left ? 2 : 3));
    if (std::isnan(c.needle))
        EXPECT_TRUE(std::isnan(v)) << v;
    else
        EXPECT_NEAR(v, c.needle, 1e-9);
    std::string text =
        std::string(left ? "Fuel Left" : "Fuel Right") + " Tank Level Indicator (" + c.tooltip + " gallons)";
    EXPECT_EQ(r["tooltips"][0]["text"], text);
}

const double kNaN = std::nan("");

// The tooltip adds 0.5 so that "%1!d!" rounds: 14.6 gallons shows 15.
INSTANTIATE_TEST_SUITE_P(
    Cases, FuelTanks,
    ::testing::Values(TankCase{"left", 60, 1.0, 60, "60"},  // 60.5 capped
                      TankCase{"left", 60, 0.5, 30, "30"},  // 30.5
                      TankCase{"left", 60, 14.6 / 60, 14.6, "15"},
                      TankCase{"left", 75, 1.0, 60, "60"},  // 75 capped
                      TankCase{"left", 60, -0.25, 0, "0"}, TankCase{"left", 60, kNaN, kNaN, "0"},
                      TankCase{"right", 60, 1.0, 60, "60"}, TankCase{"right", 40, 0.5, 20, "20"},
                      TankCase{"right", 60, 24.6 / 60, 24.6, "25"}, TankCase{"right", 90, 1.0, 60, "60"},
                      TankCase{"right", 60, -1.0, 0, "0"}, TankCase{"right", 60, kNaN, kNaN, "0"}));

TEST(Fuel, RightNeedleOnItsDescendingTableAndLeftOnItsAscendingOne)
{
    auto r =
        probe("Orvane_engine", "Fuel",
              {"--token", "292=60", "--token", "298=60", "--token", level("291", 1.0), "--token", "297=0"});
    auto direction = [](double cx, double cy, double x, double y) {
        double a = std::atan2(y - cy, x - cx) * 180 / M_PI;
        return a < 0 ? a + 360 : a;
    };
    EXPECT_NEAR(element(r, 2)["angle"].get<double>(), direction(220, 142, 121, 45), 1e-9);  // 60: last row
    EXPECT_NEAR(element(r, 3)["angle"].get<double>(), direction(61, 142, 158, 243), 1e-9);  // 0: last row
}

TEST(Fuel, CapacitiesArriveWithServiceMessageSixOfEitherGauge)
{
    std::vector<std::string> tanks = {"--token", "292=60",         "--token",
                                      "298=60",  "--token",        level("291", 14.6 / 60),
                                      "--token", level("297", 0.5)};
    auto with = [&](std::vector<std::string> steps) {
        std::vector<std::string> all = tanks;
        all.insert(all.end(), steps.begin(), steps.end());
        return probe("Orvane_engine", "Fuel", all);
    };
    // No service message 6 yet: capacities 0, the tooltips return 0.5.
    auto before = with({"--updates", "0", "--hover", LEFT_SCALE, "--hover", RIGHT_SCALE});
    EXPECT_EQ(before["tooltips"][0]["text"], "Fuel Left Tank Level Indicator (0 gallons)");
    EXPECT_EQ(before["tooltips"][1]["text"], "Fuel Right Tank Level Indicator (0 gallons)");
    // The selector's message 6 fills the same capacities.
    auto via_selector = with(
        {"--updates", "0", "--update-gauge", "Fuel_selector", "--hover", LEFT_SCALE, "--hover", RIGHT_SCALE});
    EXPECT_EQ(via_selector["tooltips"][0]["text"], "Fuel Left Tank Level Indicator (15 gallons)");
    EXPECT_EQ(via_selector["tooltips"][1]["text"], "Fuel Right Tank Level Indicator (30 gallons)");
    // Capacities follow the host on every message 6, and are not reset.
    auto changed = with({"--updates", "1", "--token", "292=30", "--updates", "1", "--hover", LEFT_SCALE});
    EXPECT_NEAR(value_of(element(changed, 2)), 7.3, 1e-9);
    EXPECT_EQ(changed["tooltips"][0]["text"], "Fuel Left Tank Level Indicator (7 gallons)");
}

TEST(Fuel, TooltipOnlyOverEachScale)
{
    struct {
        const char* at;
        const char* text;
    } cases[] = {{"43,32", "Fuel Left Tank Level Indicator (60 gallons)"},
                 {"127,252", "Fuel Left Tank Level Indicator (60 gallons)"},
                 {"154,32", "Fuel Right Tank Level Indicator (30 gallons)"},
                 {"238,252", "Fuel Right Tank Level Indicator (30 gallons)"},
                 {"128,100", nullptr},
                 {"140,140", nullptr},
                 {"239,100", nullptr},
                 {"50,253", nullptr},
                 {"50,31", nullptr}};
    for (auto& c : cases) {
        auto r = probe("Orvane_engine", "Fuel",
                       {"--token", "292=60", "--token", "298=60", "--token", level("291", 1.0), "--token",
                        level("297", 0.5), "--hover", c.at});
        if (c.text)
            EXPECT_EQ(r["tooltips"][0]["text"], c.text) << c.at;
        else
            EXPECT_TRUE(r["tooltips"][0]["text"].is_null()) << c.at;
    }
}

TEST(Fuel, FailureKeysTenAndTwentyEachTakeBothNeedlesToZero)
{
    for (const char* key : {"10", "20", "2"}) {
        auto r = probe("Orvane_engine", "Fuel",
                       {"--token", "292=60", "--token", "298=60", "--token", level("291", 0.5), "--token",
                        level("297", 0.25), "--fail", key, "--updates", "1"});
        bool fails = std::string(key) != "2";
        EXPECT_EQ(value_of(element(r, 2)), fails ? 0.0 : 30.0) << key;
        EXPECT_EQ(value_of(element(r, 3)), fails ? 0.0 : 15.0) << key;
    }
}

}  // namespace
