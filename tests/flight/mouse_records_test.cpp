// What the probe report does not show of the flight gauges' mouse lists:
// the host help ids of the whole-gauge areas and the pointer pictures of the
// click areas, read from the module as the host loads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host.h"
#include "tests/support/support.h"

namespace {

struct MouseCase {
    const char* gauge;
    uint32_t help_id;              // of the whole-gauge area
    std::vector<int32_t> cursors;  // of the click areas, in stored order
};

TEST(FlightMouseLists, HelpIdsAndCursorCodes)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    gaugehost::Module& module = host.load_module(std::string(ORVANE_GAUGES_DIR) + "/Orvane.so");
    MouseCase cases[] = {
        {"Airspeed", 0, {}},
        {"Climb", 43894, {}},
        {"TurnBank", 43908, {}},
        {"Attitude", 43789, {CURSOR_UP, CURSOR_DOWN, CURSOR_UP}},  // caging knob, pitch-bar knob halves
        {"Compass", 0, {CURSOR_DOWN, CURSOR_UP}},
        {"Altitude", 0, {CURSOR_DOWN, CURSOR_UP}},
        {"Directional_gyro", 0, {CURSOR_DOWN, CURSOR_UP}},
        {"Clock", 0, {}},
        {"Icon_Engine_Quadrant", 0, {CURSOR_HAND}},
        {"Icon_Throttle_Quadrant", 0, {CURSOR_HAND}},
        {"Icon_Map", 0, {CURSOR_HAND}},
    };
    for (const auto& c : cases) {
        GaugeHeader* header = module.find_gauge(c.gauge);
        ASSERT_NE(header, nullptr) << c.gauge;
        const MouseArea* list = header->mouse_list;
        ASSERT_EQ(list[0].kind, MOUSE_PARENT) << c.gauge;
        EXPECT_EQ(list[0].help_id, c.help_id) << c.gauge;
        std::vector<int32_t> cursors;
        int depth = 0;
        size_t i = 0;
        for (; list[i].kind != MOUSE_END; ++i) {
            const MouseArea& a = list[i];
            if (a.kind == MOUSE_CLICK) {
                cursors.push_back(a.cursor);
                EXPECT_EQ(a.flags, MOUSE_LEFT_CLICK) << c.gauge;
            } else {
                EXPECT_EQ(a.cursor, CURSOR_NONE) << c.gauge << " record " << i + 1;
            }
            if (i > 0) {
                EXPECT_EQ(a.help_id, 0u) << c.gauge << " record " << i + 1;
            }
            if (a.kind == MOUSE_PARENT) ++depth;
            if (a.kind == MOUSE_END_PARENT) --depth;
            ASSERT_LT(i, 32u) << c.gauge << ": no end of list";
        }
        EXPECT_EQ(depth, 0) << c.gauge << ": every parent area is closed";
        EXPECT_EQ(list[i - 1].kind, MOUSE_END_PARENT) << c.gauge;
        EXPECT_EQ(cursors, c.cursors) << c.gauge;
    }
}

}  // namespace
