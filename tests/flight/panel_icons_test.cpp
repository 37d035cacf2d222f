// The three panel window icons through the host: every click on the 19x19
// picture toggles its window or asks for the map, with no state of its own.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

struct IconCase {
    const char* gauge;
    int bitmap;
    const char* tooltip;
    int window;         // toggled per click, or 0
    const char* event;  // sent per click, or null
};

class PanelIcon : public ::testing::TestWithParam<IconCase> {};

TEST_P(PanelIcon, TwoClicksActTwice)
{
    const IconCase& c = GetParam();
    auto r = probe("Orvane", c.gauge, {"--click", "0,0", "--click", "18,18", "--hover", "9,9"});
    EXPECT_EQ(element(r, 1)["bitmap"], c.bitmap);
    EXPECT_EQ(r["size"], 19);
    EXPECT_EQ(r["tooltips"][0]["text"], c.tooltip);
    if (c.window) {
        EXPECT_EQ(r["windows"], nlohmann::json::array({c.window, c.window}));
        EXPECT_TRUE(r["events"].empty());
    } else {
        EXPECT_TRUE(r["windows"].empty());
        ASSERT_EQ(r["events"].size(), 2u);
        for (const auto& e : r["events"]) {
            EXPECT_EQ(e["id"], c.event);
            EXPECT_EQ(e["value"], 0);
        }
    }
}

TEST_P(PanelIcon, OutsideThePictureNothingHappens)
{
    const IconCase& c = GetParam();
    auto r = probe("Orvane", c.gauge, {"--click", "19,0", "--click", "0,19", "--click", "19,19"});
    EXPECT_TRUE(r["windows"].empty());
    EXPECT_TRUE(r["events"].empty());
}

INSTANTIATE_TEST_SUITE_P(Icons, PanelIcon,
                         ::testing::Values(IconCase{"Icon_Engine_Quadrant", 24000,
                                                    "Display/Hide Engine Gauges Quadrant", 10000, nullptr},
                                           IconCase{"Icon_Throttle_Quadrant", 25000,
                                                    "Display/Hide Throttle Quadrant", 10, nullptr},
                                           IconCase{"Icon_Map", 26000, "Display Flight Map", 0, "0x10380"}));

}  // namespace
