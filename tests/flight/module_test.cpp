// The flight instruments module as `gaugehost list` shows it: eleven gauges
// in Linkage order with their size fields.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace {

TEST(FlightModule, ListShowsTheElevenGaugesInOrderWithTheirSizes)
{
    auto result = orvane_test::run_gaugehost({"list", "--gauges", ORVANE_GAUGES_DIR});
    ASSERT_EQ(result.exit_code, 0) << result.output;

    std::istringstream lines(result.output);
    std::string line;
    bool in_flight = false;
    std::vector<std::pair<std::string, int>> gauges;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != ' ') {
            in_flight = line.rfind("Orvane (", 0) == 0;
            continue;
        }
        if (!in_flight) continue;
        std::istringstream fields(line);
        int number = 0, size = 0;
        std::string name, word;
        fields >> number >> name >> word >> size;
        ASSERT_EQ(word, "size") << line;
        gauges.emplace_back(name, size);
    }
    std::vector<std::pair<std::string, int>> expected = {
        {"Airspeed", 283},
        {"Climb", 285},
        {"TurnBank", 276},
        {"Attitude", 352},
        {"Compass", 281},
        {"Altitude", 283},
        {"Directional_gyro", 145},
        {"Clock", 283},
        {"Icon_Engine_Quadrant", 19},
        {"Icon_Throttle_Quadrant", 19},
        {"Icon_Map", 19},
    };
    EXPECT_EQ(gauges, expected);
}

}  // namespace
