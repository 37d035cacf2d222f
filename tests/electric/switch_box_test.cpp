// "Switch_box" through the host: four switches whose pictures and tooltips
// follow their tokens, their halves' key events, and the battery switch
// repeating while held.
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

struct Switch {
    const char* token;
    int element;     // drawing order: battery, generator, pitot heat, boost pump
    const char* at;  // a point on the switch
    const char* label;
};

const Switch switches[] = {
    {"367", 5, "30,100", "Fuel Boost Pump Switch"},
    {"13", 4, "80,100", "Pitot Heat Switch"},
    {"363", 3, "120,100", "Generator Switch"},
    {"364", 2, "170,100", "Battery Switch"},
};

TEST(SwitchBox, EachSwitchShowsItsTokenAndNamesIt)
{
    struct {
        const char* value;
        int picture;
        const char* name;
    } cases[] = {{"0", 0, "Off"},  {"1", 1, "On"}, {"0.5", 0, "On"}, {"-0", 0, "Off"},
                 {"nan", 0, "On"}, {"2", 1, "On"}, {"-1", 0, "On"},  {"1e-300", 0, "On"}};
    for (const Switch& s : switches) {
        for (auto& c : cases) {
            auto r = probe("Orvane_electric", "Switch_box",
                           {"--token", std::string(s.token) + "=" + c.value, "--hover", s.at});
            const auto& icon = element(r, s.element);
            EXPECT_EQ(icon["picture"], c.picture) << s.label << " " << c.value;
            EXPECT_EQ(icon["bitmap"], 3700 + c.picture) << s.label << " " << c.value;
            EXPECT_EQ(r["tooltips"][0]["text"], std::string(s.label) + " (" + c.name + ")") << c.value;
            // The value passes through unchanged.
            if (std::string(c.value) == "nan")
                EXPECT_TRUE(icon["values"][0].is_null());
            else
                EXPECT_EQ(icon["values"][0].get<double>(), std::stod(c.value)) << c.value;
        }
    }
}

TEST(SwitchBox, OnlyTheSwitchesCarryTooltips)
{
    auto r = probe("Orvane_electric", "Switch_box",
                   {"--hover", "24,70", "--hover", "39,163", "--hover", "40,100", "--hover", "24,164",
                    "--hover", "100,20"});
    EXPECT_EQ(r["tooltips"][0]["text"], "Fuel Boost Pump Switch (Off)");
    EXPECT_EQ(r["tooltips"][1]["text"], "Fuel Boost Pump Switch (Off)");
    for (int i = 2; i < 5; ++i) EXPECT_TRUE(r["tooltips"][i]["text"].is_null()) << i;
}

TEST(SwitchBox, EachHalfSendsItsKeyEventWhateverTheSwitchShows)
{
    struct {
        const char* at;
        const char* event;  // nullptr: no area
    } cases[] = {
        {"24,70", "0x102BD 1"},  {"39,116", "0x102BD 1"},  {"24,117", "0x102BD 0"},  {"39,163", "0x102BD 0"},
        {"71,70", "0x1021A 1"},  {"86,116", "0x1021A 1"},  {"71,117", "0x1021A 0"},  {"86,163", "0x1021A 0"},
        {"117,70", "0x102C2 0"}, {"132,116", "0x102C2 0"}, {"117,117", "0x102C2 0"}, {"132,163", "0x102C2 0"},
        {"164,70", "0x102C1 0"}, {"179,116", "0x102C1 0"}, {"164,117", "0x102C1 0"}, {"179,163", "0x102C1 0"},
        {"40,100", nullptr},     {"24,69", nullptr},       {"24,164", nullptr},      {"180,100", nullptr},
    };
    for (const char* state : {"0", "1"}) {
        for (auto& c : cases) {
            auto r = probe("Orvane_electric", "Switch_box",
                           {"--token", std::string("367=") + state, "--token", std::string("13=") + state,
                            "--token", std::string("363=") + state, "--token", std::string("364=") + state,
                            "--updates", "1", "--click", c.at});
            std::vector<std::string> expected;
            if (c.event) expected.push_back(c.event);
            EXPECT_EQ(events_of(r), expected) << c.at << " with switches at " << state;
        }
    }
}

TEST(SwitchBox, HoldingRepeatsOnlyTheBatterySwitch)
{
    struct {
        const char* hold;
        size_t count;
        const char* event;
    } cases[] = {
        {"170,80,350", 4, "0x102C1 0"},   {"170,150,350", 4, "0x102C1 0"},  {"170,80,0", 1, "0x102C1 0"},
        {"170,80,99", 1, "0x102C1 0"},    {"170,80,1000", 11, "0x102C1 0"}, {"120,80,350", 1, "0x102C2 0"},
        {"120,150,1000", 1, "0x102C2 0"}, {"30,80,350", 1, "0x102BD 1"},    {"80,150,350", 1, "0x1021A 0"},
    };
    for (auto& c : cases) {
        // Releasing adds nothing: further updates after the hold send nothing.
        auto r = probe("Orvane_electric", "Switch_box", {"--hold", c.hold, "--updates", "5"});
        EXPECT_EQ(events_of(r), std::vector<std::string>(c.count, c.event)) << c.hold;
    }
}

TEST(SwitchBox, UpdatesSendNothing)
{
    auto r = probe(
        "Orvane_electric", "Switch_box",
        {"--token", "364=1", "--token", "363=1", "--updates", "20", "--width", "412", "--updates", "1"});
    EXPECT_TRUE(r["events"].empty());
    EXPECT_TRUE(r["windows"].empty());
    ASSERT_EQ(r["elements"].size(), 5u);
    EXPECT_EQ(element(r, 2)["picture"], 1);
    EXPECT_EQ(element(r, 3)["picture"], 1);
}

}  // namespace
