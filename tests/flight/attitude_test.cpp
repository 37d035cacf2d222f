// "Attitude" through the host: the pitch clamp of the horizon bar, bank on
// both sprites, the pitch-bar knob with its stops and the caging knob.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

enum { HORIZON = 2, BANK_POINTER = 3, AIRCRAFT = 4, FLAG = 5, KNOB = 7 };

// Pointer positions on the gauge's click areas.
const char* const kCagingKnob = "300,300";
const char* const kPitchLeft = "140,300";
const char* const kPitchRight = "170,300";

std::vector<std::string> clicks(const char* at, int count)
{
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        args.push_back("--click");
        args.push_back(at);
    }
    return args;
}

struct PitchCase {
    const char* pitch;
    double y_value;
    double shift;
    const char* tooltip_pitch;
};

class HorizonPitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P(HorizonPitch, ClampedForTheBarNotForTheTooltip)
{
    const PitchCase& c = GetParam();
    auto r = probe("Orvane", "Attitude", {"--token", std::string("78=") + c.pitch, "--hover", "50,50"});
    const auto& bar = element(r, HORIZON);
    EXPECT_EQ(bar["values"][1].get<double>(), c.y_value);
    EXPECT_EQ(bar["shift_y"].get<double>(), c.shift);
    EXPECT_EQ(r["tooltips"][0]["text"],
              std::string("Attitude Indicator (Bank 0\u00B0, Pitch ") + c.tooltip_pitch + "\u00B0)");
}

INSTANTIATE_TEST_SUITE_P(Cases, HorizonPitch,
                         ::testing::Values(PitchCase{"60", 45, 90, "60"}, PitchCase{"45", 45, 90, "45"},
                                           PitchCase{"-45", -45, -90, "-45"},
                                           PitchCase{"-60", -45, -90, "-60"},
                                           PitchCase{"12.5", 12.5, 25, "12"},
                                           PitchCase{"1e300", 45, 90, "2147483647"}));

TEST(Attitude, NotANumberPitchPassesTheClamp)
{
    auto r = probe("Orvane", "Attitude", {"--token", "78=nan"});
    EXPECT_EQ(element(r, HORIZON)["values_text"][1], "nan");
}

TEST(Attitude, BankTurnsBothSpritesTheOtherWay)
{
    auto r = probe("Orvane", "Attitude", {"--token", "80=30", "--token", "78=-10", "--hover", "10,10"});
    EXPECT_EQ(element(r, HORIZON)["rotation"].get<double>(), -30.0);
    EXPECT_EQ(element(r, BANK_POINTER)["rotation"].get<double>(), -30.0);
    EXPECT_EQ(element(r, BANK_POINTER)["shift_y"].get<double>(), 0.0);  // the pointer does not pitch
    EXPECT_EQ(element(r, HORIZON)["shift_y"].get<double>(), -20.0);
    EXPECT_EQ(r["tooltips"][0]["text"], "Attitude Indicator (Bank 30\u00B0, Pitch -10\u00B0)");
}

TEST(Attitude, PitchBarStopsAfterElevenAndTwentyOneClicks)
{
    auto down = clicks(kPitchLeft, 11);
    auto r = probe("Orvane", "Attitude", down);
    EXPECT_EQ(element(r, AIRCRAFT)["values"][1].get<double>(), 10.0);
    EXPECT_EQ(element(r, AIRCRAFT)["offset_y"], 30);  // 30 px below its stored position

    auto ten = clicks(kPitchLeft, 10);
    EXPECT_EQ(element(probe("Orvane", "Attitude", ten), AIRCRAFT)["offset_y"], 30);

    auto both = down;
    auto up = clicks(kPitchRight, 21);
    both.insert(both.end(), up.begin(), up.end());
    r = probe("Orvane", "Attitude", both);
    EXPECT_EQ(element(r, AIRCRAFT)["values"][1].get<double>(), -10.0);
    EXPECT_EQ(element(r, AIRCRAFT)["offset_y"], -30);  // 30 px above
    EXPECT_TRUE(r["events"].empty());
}

TEST(Attitude, SharedKnobColumnsReachOnlyTheLeftHalf)
{
    struct {
        const char* at;
        double setting;
    } cases[] = {{"134,285", 1},  {"156,300", 1}, {"157,300", 1}, {"158,334", 1}, {"159,300", -1},
                 {"181,300", -1}, {"182,300", 0}, {"133,300", 0}, {"150,335", 0}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Attitude", {"--click", c.at});
        EXPECT_EQ(element(r, AIRCRAFT)["values"][1].get<double>(), c.setting) << c.at;
    }
}

TEST(Attitude, CagedFlagHiddenAndKnobUncagedBeforeTheFirstClick)
{
    auto before = probe("Orvane", "Attitude", {"--updates", "0"});
    EXPECT_TRUE(element(before, FLAG)["hidden"].get<bool>());
    EXPECT_EQ(element(before, FLAG)["flags"], 0x40000007u);
    auto r = probe("Orvane", "Attitude", {"--updates", "3"});
    EXPECT_TRUE(element(r, FLAG)["hidden"].get<bool>());
    EXPECT_EQ(element(r, KNOB)["bitmap"], 14000);
}

TEST(Attitude, CagingTwiceShowsThenHidesTheFlagAndSendsTheKeyEachTime)
{
    auto once = probe("Orvane", "Attitude", {"--click", kCagingKnob});
    EXPECT_FALSE(element(once, FLAG)["hidden"].get<bool>());
    EXPECT_EQ(element(once, FLAG)["bitmap"], 18000);
    EXPECT_EQ(element(once, KNOB)["bitmap"], 14001);
    ASSERT_EQ(once["events"].size(), 1u);
    EXPECT_EQ(once["events"][0]["id"], "0x10345");
    EXPECT_EQ(once["events"][0]["value"], 0);

    auto twice = probe("Orvane", "Attitude", {"--click", kCagingKnob, "--click", "350,345"});
    EXPECT_TRUE(element(twice, FLAG)["hidden"].get<bool>());
    EXPECT_EQ(element(twice, KNOB)["bitmap"], 14000);
    ASSERT_EQ(twice["events"].size(), 2u);
    for (const auto& e : twice["events"]) {
        EXPECT_EQ(e["id"], "0x10345");
        EXPECT_EQ(e["value"], 0);
    }
}

TEST(Attitude, CagingClickShowsTheFlagAtOnceBeforeTheNextUpdate)
{
    // The mouse callback writes the flag itself: a press without an update
    // already shows it.
    auto r = probe("Orvane", "Attitude", {"--updates", "1", "--press", kCagingKnob, "--release"});
    EXPECT_FALSE(element(r, FLAG)["hidden"].get<bool>());
    EXPECT_EQ(element(r, KNOB)["bitmap"], 14000);  // the knob's picture follows on the next update
}

TEST(Attitude, FailureEightFreezesTheHorizonButNotTheAircraft)
{
    auto r = probe(
        "Orvane", "Attitude",
        {"--token", "78=10", "--updates", "1", "--fail", "8", "--token", "78=30", "--click", kPitchLeft});
    EXPECT_EQ(element(r, HORIZON)["shift_y"].get<double>(), 20.0);
    EXPECT_EQ(element(r, AIRCRAFT)["offset_y"], 3);
}

}  // namespace
