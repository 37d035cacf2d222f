// "Compass" through the host: the needle pair rule at the quarter points
// and beyond, the bug's stepping through 359, 360 and 1, and the knob's
// shared column.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "directions.h"
#include "tests/support/support.h"

using flight_test::direction;
using orvane_test::element;
using orvane_test::probe;

namespace {

enum { BUG_B = 2, BUG_A = 3, HEADING_B = 4, HEADING_A = 5 };

const char* const kKnobLeft = "10,260";
const char* const kKnobRight = "45,260";
const char* const kKnobTooltip = "30,290";

// Screen direction of a compass heading: north straight up, clockwise.
double heading_direction(double heading)
{
    return std::fmod(heading + 270, 360);
}

struct PairCase {
    const char* heading;
    bool a_shown;
    bool b_shown;
    double b_value;  // copy A's value is the heading itself
};

class HeadingPair : public ::testing::TestWithParam<PairCase> {};

TEST_P(HeadingPair, OneCopyOrBothAtTheQuarterPoints)
{
    const PairCase& c = GetParam();
    auto r = probe("Orvane", "Compass", {"--token", std::string("81=") + c.heading});
    const auto& a = element(r, HEADING_A);
    const auto& b = element(r, HEADING_B);
    double h = std::stod(c.heading);
    EXPECT_EQ(!a["hidden"].get<bool>(), c.a_shown) << c.heading;
    EXPECT_EQ(!b["hidden"].get<bool>(), c.b_shown) << c.heading;
    EXPECT_EQ(a["values"][0].get<double>(), h);
    EXPECT_EQ(b["values"][0].get<double>(), c.b_value);
    // A shown copy points at the heading.
    if (c.a_shown) {
        EXPECT_NEAR(a["angle"].get<double>(), heading_direction(h), 1e-9) << c.heading;
    }
    if (c.b_shown) {
        EXPECT_NEAR(b["angle"].get<double>(), heading_direction(h), 1e-9) << c.heading;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadingPair,
                         ::testing::Values(PairCase{"0", false, true, 0},    //
                                           PairCase{"45", false, true, 45},  //
                                           PairCase{"89.999", false, true, 89.999},
                                           PairCase{"90", true, true, 90},  // both, same angle
                                           PairCase{"90.001", true, false, 90.001},
                                           PairCase{"180", true, false, 180},  // B would be 180
                                           PairCase{"180.5", true, false, -179.5},
                                           PairCase{"200", true, false, -160},
                                           PairCase{"270", true, true, -90},  // both, same angle
                                           PairCase{"270.001", false, true, 270.001 - 360},
                                           PairCase{"300", false, true, -60}, PairCase{"360", false, true, 0},
                                           PairCase{"-30", false, true, -30}));

TEST(HeadingPair, BothCopiesDrawTheSameAngleAtTheQuarterPoints)
{
    for (const char* h : {"90", "270"}) {
        auto r = probe("Orvane", "Compass", {"--token", std::string("81=") + h});
        EXPECT_NEAR(element(r, HEADING_A)["angle"].get<double>(),
                    element(r, HEADING_B)["angle"].get<double>(), 1e-9);
    }
}

TEST(HeadingPair, NotANumberShowsCopyBOnly)
{
    auto r = probe("Orvane", "Compass", {"--token", "81=nan", "--hover", "140,100"});
    EXPECT_TRUE(element(r, HEADING_A)["hidden"].get<bool>());
    EXPECT_FALSE(element(r, HEADING_B)["hidden"].get<bool>());
    EXPECT_EQ(element(r, HEADING_B)["values_text"][0], "nan");
    EXPECT_EQ(r["tooltips"][0]["text"], "Magnetic Compass (0\u00B0)");
}

TEST(HeadingPair, CopiesAStartHiddenUntilTheirCallbacksRun)
{
    auto r = probe("Orvane", "Compass", {"--token", "81=180", "--updates", "0"});
    EXPECT_EQ(element(r, BUG_A)["flags"], 0x40000083u);
    EXPECT_EQ(element(r, HEADING_A)["flags"], 0x40000083u);
    EXPECT_EQ(element(r, BUG_B)["flags"], 0x83u);
    EXPECT_EQ(element(r, HEADING_B)["flags"], 0x83u);
}

TEST(Compass, TooltipShowsTheHeadingUnchanged)
{
    auto r = probe("Orvane", "Compass", {"--token", "81=359.9", "--hover", "140,139", "--hover", "280,293"});
    EXPECT_EQ(r["tooltips"][0]["text"], "Magnetic Compass (359\u00B0)");
    EXPECT_EQ(r["tooltips"][1]["text"], "Magnetic Compass (359\u00B0)");
}

std::vector<std::string> knob(const std::vector<const char*>& clicks)
{
    std::vector<std::string> args;
    for (const char* at : clicks) {
        args.push_back("--click");
        args.push_back(at);
    }
    args.push_back("--hover");
    args.push_back(kKnobTooltip);
    return args;
}

struct BugCase {
    std::vector<const char*> clicks;
    double bug;
};

TEST(Bug, StepsThrough359And360And1)
{
    const char* L = kKnobLeft;
    const char* R = kKnobRight;
    BugCase cases[] = {
        {{}, 0},
        {{L}, 359},              // 0 - 1 wraps to 359
        {{L, R}, 360},           // counting up reaches 360, not 0
        {{L, R, R}, 1},          // 361 wraps to 1
        {{L, R, R, L}, 0},       // back down from 1: 0
        {{L, R, R, L, L}, 359},  // and on to 359
        {{R}, 1},
        {{R, L}, 0},  // counting down reaches 0, not 360
        {{R, L, L}, 359},
    };
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Compass", knob(c.clicks));
        std::string label = std::to_string(c.clicks.size()) + " clicks";
        EXPECT_EQ(element(r, BUG_A)["values"][0].get<double>(), c.bug) << label;
        EXPECT_EQ(r["tooltips"][0]["text"],
                  "Magnetic Compass Bug Setting Knob (" + std::to_string(int(c.bug)) + "\u00B0)")
            << label;
        EXPECT_TRUE(r["events"].empty());
    }
}

TEST(Bug, At360CopyAHiddenAndCopyBShowsZero)
{
    auto r = probe("Orvane", "Compass", knob({kKnobLeft, kKnobRight}));
    EXPECT_TRUE(element(r, BUG_A)["hidden"].get<bool>());
    EXPECT_FALSE(element(r, BUG_B)["hidden"].get<bool>());
    EXPECT_EQ(element(r, BUG_B)["values"][0].get<double>(), 0.0);
    EXPECT_NEAR(element(r, BUG_B)["angle"].get<double>(), direction(140, 139, 140, 18), 1e-9);
    EXPECT_EQ(r["tooltips"][0]["text"], "Magnetic Compass Bug Setting Knob (360\u00B0)");
}

TEST(Bug, SharedColumnReachesOnlyTheLeftHalf)
{
    struct {
        const char* at;
        double bug;
    } cases[] = {{"2,239", 359}, {"27,260", 359}, {"28,260", 359}, {"28,293", 359}, {"29,260", 1},
                 {"54,260", 1},  {"55,260", 0},   {"1,260", 0},    {"28,238", 0},   {"28,294", 0}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Compass", {"--click", c.at});
        EXPECT_EQ(element(r, BUG_A)["values"][0].get<double>(), c.bug) << c.at;
    }
}

TEST(Bug, KnobTooltipOnlyOverTheKnob)
{
    struct {
        const char* at;
        bool knob;
    } cases[] = {{"2,239", true}, {"55,293", true}, {"56,260", false}, {"30,238", false}, {"1,260", false}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Compass", {"--hover", c.at});
        std::string text = r["tooltips"][0]["text"];
        EXPECT_EQ(text.rfind("Magnetic Compass Bug", 0) == 0, c.knob) << c.at << ": " << text;
    }
}

TEST(Bug, PairFollowsTheBugAcrossSouth)
{
    // 0 -> 359 by one left click: copy B shows -1, copy A hidden.
    auto r = probe("Orvane", "Compass", {"--click", kKnobLeft});
    EXPECT_EQ(element(r, BUG_B)["values"][0].get<double>(), -1.0);
    EXPECT_TRUE(element(r, BUG_A)["hidden"].get<bool>());
    EXPECT_NEAR(element(r, BUG_B)["angle"].get<double>(), heading_direction(359), 1e-9);
}

TEST(Compass, FailureTwelveFreezesTheHeadingNeedleOnly)
{
    auto r = probe(
        "Orvane", "Compass",
        {"--token", "81=45", "--updates", "1", "--fail", "12", "--token", "81=200", "--click", kKnobRight});
    EXPECT_EQ(element(r, HEADING_B)["values"][0].get<double>(), 45.0);
    EXPECT_FALSE(element(r, HEADING_B)["hidden"].get<bool>());
    EXPECT_EQ(element(r, BUG_B)["values"][0].get<double>(), 1.0);
}

}  // namespace
