// "Fuel_selector" through the host: clicks on the five sectors, the
// handle's reconciliation with the host's selector (token 422, a 32-bit
// integer read unsigned), the reserve position, and the sector tooltips
// with the capacities shared with "Fuel".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

// A point inside each sector.
#define OFF "100,200"
#define LEFT "50,150"
#define RIGHT "80,60"
#define RESERVE "150,60"
#define AUXILIARY "200,150"

struct SequenceCase {
    const char* name;
    std::vector<std::string> steps;
    int picture;              // handle position after the steps
    std::vector<int> events;  // values of 0x101AA sent
};

void PrintTo(const SequenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class SelectorSequences : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(SelectorSequences, HandleFollowsClicksAndTheHost)
{
    const SequenceCase& c = GetParam();
    auto r = probe("Orvane_engine", "Fuel_selector", c.steps);
    const auto& handle = element(r, 2);
    EXPECT_EQ(handle["picture"], c.picture) << c.name;
    EXPECT_EQ(handle["bitmap"], 3700 + c.picture) << c.name;
    std::vector<int> sent;
    for (const auto& e : r["events"]) {
        EXPECT_EQ(e["id"], "0x101AA");
        sent.push_back(e["value"]);
    }
    EXPECT_EQ(sent, c.events) << c.name;
}

// --click runs one update right after the click.
INSTANTIATE_TEST_SUITE_P(
    Cases, SelectorSequences,
    ::testing::Values(
        SequenceCase{"starts off", {"--updates", "1"}, 0, {}},
        SequenceCase{"host 2 from off shows left", {"--token", "422=i:2"}, 1, {}},
        SequenceCase{"host 1 from off shows left", {"--token", "422=i:1"}, 1, {}},
        SequenceCase{"host 9 shows auxiliary", {"--token", "422=i:9"}, 4, {}},
        SequenceCase{"host 3 shows right", {"--token", "422=i:3"}, 2, {}},
        SequenceCase{"reserve kept while the host reports 2 then 1",
                     {"--token", "422=i:2", "--click", RESERVE, "--updates", "3", "--token", "422=i:1",
                      "--updates", "2", "--token", "422=i:2", "--updates", "1"},
                     3,
                     {2}},
        SequenceCase{"reserve lost when the host still reports 3",
                     {"--token", "422=i:3", "--updates", "1", "--click", RESERVE},
                     2,
                     {2}},
        SequenceCase{"reserve lost for good: a later 2 shows left",
                     {"--token", "422=i:3", "--click", RESERVE, "--token", "422=i:2", "--updates", "1"},
                     1,
                     {2}},
        SequenceCase{"reserve then host 3",
                     {"--token", "422=i:2", "--click", RESERVE, "--token", "422=i:3", "--updates", "1"},
                     2,
                     {2}},
        SequenceCase{"reserve then host 0",
                     {"--token", "422=i:2", "--click", RESERVE, "--token", "422=i:0", "--updates", "1"},
                     0,
                     {2}},
        SequenceCase{"left click, host 2 keeps left",
                     {"--token", "422=i:2", "--click", LEFT, "--updates", "2"},
                     1,
                     {2}},
        SequenceCase{"right click while the host still reports 2 shows left",
                     {"--token", "422=i:2", "--click", RIGHT},
                     1,
                     {3}},
        SequenceCase{"right click, then the host reports 3",
                     {"--token", "422=i:2", "--click", RIGHT, "--token", "422=i:3", "--updates", "1"},
                     2,
                     {3}},
        SequenceCase{"auxiliary click, host 9", {"--token", "422=i:9", "--click", AUXILIARY}, 4, {9}},
        SequenceCase{"off click, host 0",
                     {"--token", "422=i:2", "--updates", "1", "--token", "422=i:0", "--click", OFF},
                     0,
                     {0}},
        SequenceCase{"host 5 leaves the reserve",
                     {"--token", "422=i:2", "--click", RESERVE, "--token", "422=i:5", "--updates", "1"},
                     3,
                     {2}},
        SequenceCase{"host 8 leaves the auxiliary",
                     {"--token", "422=i:9", "--updates", "1", "--token", "422=i:8", "--updates", "1"},
                     4,
                     {}},
        SequenceCase{"host 10 leaves the right tank",
                     {"--token", "422=i:3", "--updates", "1", "--token", "422=i:10", "--updates", "1"},
                     2,
                     {}},
        SequenceCase{"host 4 leaves off", {"--token", "422=i:4"}, 0, {}},
        SequenceCase{"bit pattern of -1 leaves the reserve",
                     {"--token", "422=i:2", "--click", RESERVE, "--token", "422=i:-1", "--updates", "1"},
                     3,
                     {2}},
        SequenceCase{"bit pattern of -1 leaves the left tank",
                     {"--token", "422=i:1", "--updates", "1", "--token", "422=i:-1", "--updates", "1"},
                     1,
                     {}},
        SequenceCase{"a double 2.0 is not the integer 2", {"--token", "422=2"}, 0, {}}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return "case" + std::to_string(info.index); });

TEST(FuelSelector, SharedColumnOfRightAndReserveReachesOneSector)
{
    // Right tank x 52..131, reserve x 132..200 (half-open boxes).
    struct {
        const char* at;
        std::vector<int> events;
        int picture;
    } cases[] = {{"131,60", {3}, 2}, {"132,60", {2}, 3},  {"200,100", {2}, 3}, {"201,60", {}, 0},
                 {"52,38", {3}, 2},  {"132,101", {}, 0},  {"92,174", {0}, 0},  {"170,227", {0}, 0},
                 {"33,115", {2}, 1}, {"229,172", {9}, 4}, {"140,140", {}, 0}};
    for (auto& c : cases) {
        // The host answers the right tank with 3 and the reserve with 2.
        std::string host =
            c.events.empty() || c.events[0] == 0 ? "422=i:0" : "422=i:" + std::to_string(c.events[0]);
        auto r = probe("Orvane_engine", "Fuel_selector", {"--token", host, "--click", c.at});
        std::vector<int> sent;
        for (const auto& e : r["events"]) sent.push_back(e["value"]);
        EXPECT_EQ(sent, c.events) << c.at;
        EXPECT_EQ(element(r, 2)["picture"], c.picture) << c.at;
    }
}

std::string level(const char* token, double fraction)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s=%.17g", token, fraction * 8388608);
    return buffer;
}

struct TooltipCase {
    std::vector<std::string> tokens;
    const char* at;
    const char* text;
};

void PrintTo(const TooltipCase& c, std::ostream* os)
{
    *os << "hover " << c.at;
}

class SelectorTooltips : public ::testing::TestWithParam<TooltipCase> {};

TEST_P(SelectorTooltips, SectorTooltipsAfterServiceMessageSix)
{
    const TooltipCase& c = GetParam();
    std::vector<std::string> steps = c.tokens;
    steps.insert(steps.end(), {"--updates", "1", "--hover", c.at});
    auto r = probe("Orvane_engine", "Fuel_selector", steps);
    if (c.text)
        EXPECT_EQ(r["tooltips"][0]["text"], c.text) << c.at;
    else
        EXPECT_TRUE(r["tooltips"][0]["text"].is_null()) << c.at;  // no whole-gauge tooltip
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectorTooltips,
    ::testing::Values(
        TooltipCase{{"--token", "292=60", "--token", level("291", 1.0)}, LEFT, "Left tank (60 gallons)"},
        TooltipCase{
            {"--token", "292=60", "--token", level("291", 1.0)}, RESERVE, "Reserve tank (20 gallons)"},
        TooltipCase{{"--token", "292=60", "--token", level("291", 0.25)}, LEFT, "Left tank (15 gallons)"},
        TooltipCase{
            {"--token", "292=60", "--token", level("291", 0.25)}, RESERVE, "Reserve tank (15 gallons)"},
        // + 0.5: 14.6 gallons shows 15
        TooltipCase{
            {"--token", "292=60", "--token", level("291", 14.6 / 60)}, LEFT, "Left tank (15 gallons)"},
        TooltipCase{
            {"--token", "292=60", "--token", level("291", 14.6 / 60)}, RESERVE, "Reserve tank (15 gallons)"},
        // Unlike "Fuel", no cap at 60 and no lower bound.
        TooltipCase{{"--token", "292=80", "--token", level("291", 1.0)}, LEFT, "Left tank (80 gallons)"},
        TooltipCase{
            {"--token", "292=60", "--token", level("291", -1.0)}, RESERVE, "Reserve tank (-59 gallons)"},
        TooltipCase{{"--token", "298=40", "--token", level("297", 1.0)}, RIGHT, "Right tank (40 gallons)"},
        TooltipCase{{"--token", "298=40", "--token", level("297", 0.6)}, RIGHT, "Right tank (24 gallons)"},
        TooltipCase{{"--token", "294=20", "--token", level("293", 1.0)}, AUXILIARY, "Auxiliary tank"},
        TooltipCase{{}, OFF, "Fuel OFF"}, TooltipCase{{}, "10,10", nullptr}));

TEST(FuelSelector, TooltipsBeforeServiceMessageSixAndFromTheFuelGauge)
{
    std::vector<std::string> tanks = {"--token", "292=60", "--token", level("291", 14.6 / 60),
                                      "--token", "298=60", "--token", level("297", 0.5)};
    auto with = [&](std::vector<std::string> steps) {
        std::vector<std::string> all = tanks;
        all.insert(all.end(), steps.begin(), steps.end());
        return probe("Orvane_engine", "Fuel_selector", all);
    };
    // Every capacity 0: each tooltip returns 0.5.
    auto before = with({"--updates", "0", "--hover", LEFT, "--hover", RIGHT, "--hover", RESERVE});
    EXPECT_EQ(before["tooltips"][0]["text"], "Left tank (0 gallons)");
    EXPECT_EQ(before["tooltips"][1]["text"], "Right tank (0 gallons)");
    EXPECT_EQ(before["tooltips"][2]["text"], "Reserve tank (0 gallons)");
    // The "Fuel" gauge's message 6 fills the left and right capacities only.
    auto via_fuel = with(
        {"--updates", "0", "--update-gauge", "Fuel", "--hover", LEFT, "--hover", RIGHT, "--hover", RESERVE});
    EXPECT_EQ(via_fuel["tooltips"][0]["text"], "Left tank (15 gallons)");
    EXPECT_EQ(via_fuel["tooltips"][1]["text"], "Right tank (30 gallons)");
    EXPECT_EQ(via_fuel["tooltips"][2]["text"], "Reserve tank (0 gallons)");
    auto own = with({"--updates", "1", "--hover", RESERVE});
    EXPECT_EQ(own["tooltips"][0]["text"], "Reserve tank (15 gallons)");
}

TEST(FuelSelector, NoFailureReachesTheSelector)
{
    for (const char* key : {"2", "10", "20"}) {
        auto r =
            probe("Orvane_engine", "Fuel_selector", {"--token", "422=i:9", "--fail", key, "--updates", "1"});
        EXPECT_EQ(element(r, 2)["picture"], 4) << key;
    }
}

}  // namespace
