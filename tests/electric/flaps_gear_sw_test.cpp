// "Flaps_gear_sw" through the host: the gear lever from token 331, the flap
// lever from the movement of token 329's whole part between updates, the
// percent tooltips and the four lever halves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

std::vector<std::string> events_of(const nlohmann::json& report)
{
    std::vector<std::string> list;
    for (const auto& e : report["events"])
        list.push_back(e["id"].get<std::string>() + " " + e["value"].dump());
    return list;
}

// The flap lever's picture after one update per value of token 329.
std::vector<int> flap_pictures(const std::vector<std::string>& left_flap)
{
    std::vector<int> pictures;
    for (size_t n = 1; n <= left_flap.size(); ++n) {
        std::vector<std::string> args;
        for (size_t i = 0; i < n; ++i) {
            args.push_back("--token");
            args.push_back("329=" + left_flap[i]);
            args.push_back("--updates");
            args.push_back("1");
        }
        pictures.push_back(element(probe("Orvane_electric", "Flaps_gear_sw", args), 3)["picture"].get<int>());
    }
    return pictures;
}

enum { DOWN = 0, UP = 1, OFF = 2 };

TEST(FlapsGear, GearLeverFollowsTokenAboveZero)
{
    struct {
        const char* lever;
        int picture;
    } cases[] = {{"1", 1}, {"0", 0}, {"-1", 0}, {"0.5", 1}, {"-0", 0}, {"nan", 0}, {"1e-300", 1}, {"inf", 1}};
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Flaps_gear_sw", {"--token", std::string("331=") + c.lever});
        EXPECT_EQ(element(r, 2)["picture"], c.picture) << c.lever;
        EXPECT_EQ(element(r, 2)["bitmap"], 3100 + c.picture) << c.lever;
    }
}

TEST(FlapsGear, FlapLeverShowsTheMovementSinceItsPreviousUpdate)
{
    struct {
        std::vector<std::string> left_flap;
        std::vector<int> pictures;
    } cases[] = {
        {{"0", "100", "100", "50"}, {OFF, DOWN, OFF, UP}},
        {{"100", "100"}, {DOWN, OFF}},                 // first update: from the initial 0
        {{"100", "100.9", "101"}, {DOWN, OFF, DOWN}},  // 100.9 reads 100
        {{"-0.7", "1", "-0.7"}, {OFF, DOWN, UP}},      // -0.7 reads 0
        {{"nan", "1e300", "1e300", "-1e300", "inf", "nan"}, {OFF, DOWN, OFF, UP, DOWN, UP}},
        {{"16384", "16384.5", "0.999"}, {DOWN, OFF, UP}},
    };
    for (auto& c : cases) EXPECT_EQ(flap_pictures(c.left_flap), c.pictures) << c.left_flap[0];
}

TEST(FlapsGear, RightFlapAloneLeavesTheLeverAtOff)
{
    auto r = probe("Orvane_electric", "Flaps_gear_sw",
                   {"--token", "329=100", "--updates", "2", "--token", "330=5000", "--updates", "1",
                    "--token", "330=0", "--updates", "1"});
    EXPECT_EQ(element(r, 3)["picture"], OFF);
    EXPECT_EQ(element(r, 3)["bitmap"], 3202);
}

TEST(FlapsGear, TooltipsGiveTheNearestWholePercentDown)
{
    struct {
        const char* value;
        const char* percent;
    } cases[] = {
        {"16384", "100"}, {"8192", "50"}, {"0", "0"},        {"8191", "50"},  // 49.99 + 0.5
        {"82", "1"},      {"81.9", "0"},  {"-16384", "-99"}, {"nan", "0"},   {"1e300", "2147483647"}};
    for (auto& c : cases) {
        std::string v = c.value;
        auto r = probe("Orvane_electric", "Flaps_gear_sw",
                       {"--token", "329=" + v, "--token", "330=8192", "--token", "332=" + v, "--token",
                        "333=16384", "--token", "334=0", "--hover", "10,10", "--hover", "189,239"});
        std::string p = c.percent;
        EXPECT_EQ(r["tooltips"][0]["text"], "Flaps Switch (left " + p + "%, right 50% down)") << v;
        EXPECT_EQ(r["tooltips"][1]["text"],
                  "Landing Gear Control Switch (nose " + p + "%, left 100%, right 0% down)")
            << v;
    }
}

TEST(FlapsGear, TooltipAreasSplitAtColumn95)
{
    auto r = probe("Orvane_electric", "Flaps_gear_sw",
                   {"--hover", "94,0", "--hover", "95,0", "--hover", "0,239", "--hover", "189,0"});
    const char* flaps = "Flaps Switch (left 0%, right 0% down)";
    const char* gear = "Landing Gear Control Switch (nose 0%, left 0%, right 0% down)";
    EXPECT_EQ(r["tooltips"][0]["text"], flaps);
    EXPECT_EQ(r["tooltips"][1]["text"], gear);
    EXPECT_EQ(r["tooltips"][2]["text"], flaps);
    EXPECT_EQ(r["tooltips"][3]["text"], gear);
}

TEST(FlapsGear, EachPointReachesOneLeverHalfOnly)
{
    struct {
        const char* at;
        const char* event;  // nullptr: no area
    } cases[] = {
        {"95,40", "0x1021F 0"},   {"189,118", "0x1021F 0"}, {"100,119", "0x1021F 0"},  // row 119: upper half
        {"100,120", "0x10220 0"}, {"189,198", "0x10220 0"}, {"100,199", nullptr},     {"100,39", nullptr},
        {"0,40", "0x100DF 0"},    {"94,119", "0x100DF 0"},  {"0,120", "0x100DE 0"},   {"94,198", "0x100DE 0"},
        {"0,199", nullptr},       {"50,20", nullptr},
    };
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Flaps_gear_sw", {"--click", c.at});
        std::vector<std::string> expected;
        if (c.event) expected.push_back(c.event);
        EXPECT_EQ(events_of(r), expected) << c.at;
    }
}

TEST(FlapsGear, ClicksDoNotLookAtTheLevers)
{
    // Gear already down, flaps fully down: both lower halves still send.
    auto r = probe("Orvane_electric", "Flaps_gear_sw",
                   {"--token", "331=1", "--token", "329=16384", "--updates", "1", "--click", "150,150",
                    "--click", "50,150"});
    EXPECT_EQ(events_of(r), (std::vector<std::string>{"0x10220 0", "0x100DE 0"}));
    EXPECT_EQ(element(r, 2)["picture"], 1);
}

}  // namespace
