// "Ignition" through the host: the position built from the two magneto
// tokens bit for bit, its name in the tooltip, and the six click areas.
#include <gtest/gtest.h>

#include <ostream>
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

struct MagnetoCase {
    const char* right;  // token 133 as a probe value
    const char* left;   // token 134
    int position;
    const char* name;
};

std::ostream& operator<<(std::ostream& out, const MagnetoCase& c)
{
    return out << "133=" << c.right << " 134=" << c.left;
}

class IgnitionPositions : public ::testing::TestWithParam<MagnetoCase> {};

TEST_P(IgnitionPositions, PictureAndNameFollowTheMagnetos)
{
    const MagnetoCase& c = GetParam();
    auto r = probe("Orvane_electric", "Ignition",
                   {"--token", std::string("133=") + c.right, "--token", std::string("134=") + c.left,
                    "--hover", "200,100"});
    const auto& lever = element(r, 2);
    EXPECT_EQ(lever["values"][0].get<double>(), c.position);
    EXPECT_EQ(lever["picture"], c.position);
    EXPECT_EQ(lever["bitmap"], 2100 + c.position);
    EXPECT_EQ(r["tooltips"][0]["text"], std::string("Ignition ") + c.name);
    EXPECT_TRUE(r["events"].empty());
}

// Only the double +1.0, compared as 64 bits, counts as on.
INSTANTIATE_TEST_SUITE_P(
    Cases, IgnitionPositions,
    ::testing::Values(MagnetoCase{"0", "0", 0, "Off"}, MagnetoCase{"1", "0", 1, "Right"},
                      MagnetoCase{"0", "1", 2, "Left"}, MagnetoCase{"1", "1", 3, "Both"},
                      MagnetoCase{"0.999", "1", 2, "Left"}, MagnetoCase{"2", "1", 2, "Left"},
                      MagnetoCase{"1", "0.999", 1, "Right"}, MagnetoCase{"1", "2", 1, "Right"},
                      MagnetoCase{"-1", "-1", 0, "Off"}, MagnetoCase{"0.5", "1.0000000000000002", 0, "Off"},
                      MagnetoCase{"nan", "nan", 0, "Off"}, MagnetoCase{"inf", "1", 2, "Left"},
                      MagnetoCase{"i:1", "1", 2, "Left"},  // an integer 1 in the low half
                      MagnetoCase{"1", "i:1", 1, "Right"}, MagnetoCase{"1e300", "-0", 0, "Off"}));

TEST(Ignition, NameIsOffUntilTheFirstUpdateReadsTheMagnetos)
{
    // The tooltip before any update still names the initial position.
    auto r = probe("Orvane_electric", "Ignition",
                   {"--token", "133=1",     "--token",   "134=1",   "--updates", "0",       "--hover",
                    "100,100", "--updates", "1",         "--hover", "100,100",   "--token", "134=0",
                    "--hover", "100,100",   "--updates", "1",       "--hover",   "100,100"});
    ASSERT_EQ(r["tooltips"].size(), 4u);
    EXPECT_EQ(r["tooltips"][0]["text"], "Ignition Off");
    EXPECT_EQ(r["tooltips"][1]["text"], "Ignition Both");
    EXPECT_EQ(r["tooltips"][2]["text"], "Ignition Both");  // token changed, no update yet
    EXPECT_EQ(r["tooltips"][3]["text"], "Ignition Right");
    EXPECT_EQ(element(r, 2)["picture"], 1);
}

TEST(Ignition, PositionIsBuiltAfreshOnEveryUpdate)
{
    auto r = probe("Orvane_electric", "Ignition",
                   {"--token", "133=1", "--token", "134=1", "--updates", "3", "--token", "133=0.999",
                    "--token", "134=nan", "--updates", "1"});
    EXPECT_EQ(element(r, 2)["picture"], 0);
}

TEST(Ignition, AClickNeverMovesThePictureByItself)
{
    // BOTH label: the key event goes out, the lever stays at Off until the
    // host's magnetos change and an update reads them.
    auto clicked = probe("Orvane_electric", "Ignition", {"--updates", "1", "--click", "250,60"});
    EXPECT_EQ(events_of(clicked), (std::vector<std::string>{"0x101EA 0"}));
    EXPECT_EQ(element(clicked, 2)["picture"], 0);
    auto after = probe(
        "Orvane_electric", "Ignition",
        {"--updates", "1", "--click", "250,60", "--token", "133=1", "--token", "134=1", "--updates", "1"});
    EXPECT_EQ(element(after, 2)["picture"], 3);
}

TEST(Ignition, StepUpIsSilentAtBothOnly)
{
    struct {
        const char* right;
        const char* left;
        std::vector<std::string> events;
    } cases[] = {
        {"0", "0", {"0x10063 0"}}, {"1", "0", {"0x10063 0"}}, {"0", "1", {"0x10063 0"}}, {"1", "1", {}}};
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Ignition",
                       {"--token", std::string("133=") + c.right, "--token", std::string("134=") + c.left,
                        "--updates", "1", "--click", "250,200"});
        EXPECT_EQ(events_of(r), c.events) << c.right << "," << c.left;
    }
}

TEST(Ignition, StepDownIsSentAtEveryPositionAlsoAtOff)
{
    for (const char* magnetos : {"0", "1"}) {
        auto r = probe("Orvane_electric", "Ignition",
                       {"--token", std::string("133=") + magnetos, "--token", std::string("134=") + magnetos,
                        "--updates", "1", "--click", "100,200", "--click", "100,200"});
        EXPECT_EQ(events_of(r), (std::vector<std::string>{"0x10062 0", "0x10062 0"})) << magnetos;
    }
}

TEST(Ignition, EachPointReachesOneAreaOnly)
{
    struct {
        const char* at;
        const char* event;  // nullptr: no area
    } cases[] = {
        {"51,142", "0x10062 0"},  {"175,262", "0x10062 0"},  // lower left half, column 175 shared
        {"176,142", "0x10063 0"}, {"297,262", "0x10063 0"},  // lower right half
        {"298,200", nullptr},     {"175,263", nullptr},     {"50,200", nullptr},
        {"51,27", "0x101E7 0"},   {"127,100", "0x101E7 0"},  // OFF label
        {"100,142", "0x10062 0"},                            // row 142: the lower row wins
        {"128,27", "0x101E8 0"},  {"175,100", "0x101E8 0"},  // L label, column 175 shared
        {"176,27", "0x101E9 0"},  {"222,142", "0x10063 0"},  // R label; its row 142 goes to the lower row
        {"223,27", "0x101EA 0"},  {"297,141", "0x101EA 0"},  // BOTH label
        {"200,142", "0x10063 0"}, {"100,26", nullptr},      {"10,10", nullptr},
    };
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Ignition", {"--updates", "1", "--click", c.at});
        std::vector<std::string> expected;
        if (c.event) expected.push_back(c.event);
        EXPECT_EQ(events_of(r), expected) << c.at;
    }
}

TEST(Ignition, TooltipOnlyOverTheDial)
{
    struct {
        const char* at;
        bool shown;
    } cases[] = {
        {"33,0", true}, {"347,285", true}, {"32,100", false}, {"348,100", false}, {"100,286", false}};
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Ignition", {"--token", "133=1", "--hover", c.at});
        if (c.shown)
            EXPECT_EQ(r["tooltips"][0]["text"], "Ignition Right") << c.at;
        else
            EXPECT_TRUE(r["tooltips"][0]["text"].is_null()) << c.at;
    }
}

}  // namespace
