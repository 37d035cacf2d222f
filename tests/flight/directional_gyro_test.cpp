// "Directional_gyro" through the host: the strip's x value, which gives 0
// (north) for every heading outside 0 .. 360, the knob halves and the
// tooltip.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

enum { STRIP = 2 };

struct StripCase {
    const char* heading;
    double x_value;
};

class HeadingStrip : public ::testing::TestWithParam<StripCase> {};

TEST_P(HeadingStrip, ThreeSixtyMinusTheHeadingOrZero)
{
    const StripCase& c = GetParam();
    auto r = probe("Orvane", "Directional_gyro", {"--token", std::string("84=") + c.heading});
    const auto& strip = element(r, STRIP);
    EXPECT_EQ(strip["values"][0].get<double>(), c.x_value) << c.heading;
    EXPECT_DOUBLE_EQ(strip["strip_x"].get<double>(), c.x_value / 360) << c.heading;
    // The y value moves nothing: its range is 0 to 0.
    EXPECT_EQ(strip["values"][1].get<double>(), 1.0);
    EXPECT_EQ(strip["strip_y"].get<double>(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadingStrip,
                         ::testing::Values(StripCase{"0", 360}, StripCase{"90", 270}, StripCase{"180", 180},
                                           StripCase{"359.5", 0.5}, StripCase{"360", 0},
                                           StripCase{"360.5", 0},  // past north: 0, not the nearer end
                                           StripCase{"370", 0}, StripCase{"-0.5", 0}, StripCase{"-10", 0},
                                           StripCase{"1e308", 0}, StripCase{"-1e308", 0}, StripCase{"inf", 0},
                                           StripCase{"-inf", 0}, StripCase{"nan", 0}));

TEST(GyroKnob, EachClickSendsOneEventAndTheSharedColumnOnlyTheLeftOne)
{
    struct {
        const char* at;
        const char* event;  // null: nothing
    } cases[] = {{"55,168", "0x10156"}, {"71,180", "0x10156"}, {"72,180", "0x10156"}, {"72,200", "0x10156"},
                 {"73,180", "0x10155"}, {"89,200", "0x10155"}, {"90,180", nullptr},   {"54,180", nullptr},
                 {"72,201", nullptr},   {"72,167", nullptr}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Directional_gyro", {"--token", "84=90", "--click", c.at});
        if (!c.event) {
            EXPECT_TRUE(r["events"].empty()) << c.at;
            continue;
        }
        ASSERT_EQ(r["events"].size(), 1u) << c.at;
        EXPECT_EQ(r["events"][0]["id"], c.event) << c.at;
        EXPECT_EQ(r["events"][0]["value"], 0) << c.at;
        EXPECT_EQ(element(r, STRIP)["values"][0].get<double>(), 270.0);  // the gauge keeps no heading
    }
}

TEST(GyroKnob, TwoClicksTwoEvents)
{
    auto r =
        probe("Orvane", "Directional_gyro", {"--click", "80,180", "--click", "80,180", "--click", "60,180"});
    ASSERT_EQ(r["events"].size(), 3u);
    EXPECT_EQ(r["events"][0]["id"], "0x10155");
    EXPECT_EQ(r["events"][1]["id"], "0x10155");
    EXPECT_EQ(r["events"][2]["id"], "0x10156");
}

TEST(Gyro, TooltipFollowsTheHeadingUnchanged)
{
    struct {
        const char* heading;
        const char* shown;
    } cases[] = {{"90", "90"}, {"359.9", "359"}, {"370", "370"}, {"-10", "-10"}, {"nan", "0"}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Directional_gyro",
                       {"--token", std::string("84=") + c.heading, "--hover", "70,100"});
        EXPECT_EQ(r["tooltips"][0]["text"], std::string("Heading Indicator (Heading ") + c.shown + "\u00B0)");
    }
}

TEST(Gyro, FailureElevenFreezesTheStrip)
{
    auto r =
        probe("Orvane", "Directional_gyro",
              {"--token", "84=90", "--updates", "1", "--fail", "11", "--token", "84=180", "--updates", "1"});
    EXPECT_EQ(element(r, STRIP)["values"][0].get<double>(), 270.0);
    EXPECT_TRUE(element(r, STRIP)["frozen"].get<bool>());
}

}  // namespace
