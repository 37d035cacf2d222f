// "TurnBank" through the host: the turn needle's folding of angles above
// 180 and its clamps, the ball on its descending table.
#include <gtest/gtest.h>

#include <string>

#include "directions.h"
#include "tests/support/support.h"

using flight_test::direction;
using orvane_test::element;
using orvane_test::probe;

namespace {

struct TurnCase {
    const char* rate;
    double value;
    int row_x, row_y;  // row the needle must point at, or -1
};

class TurnNeedle : public ::testing::TestWithParam<TurnCase> {};

TEST_P(TurnNeedle, FoldsNegatesAndClamps)
{
    const TurnCase& c = GetParam();
    auto r = probe("Orvane", "TurnBank", {"--token", std::string("79=") + c.rate});
    const auto& needle = element(r, 4);
    EXPECT_DOUBLE_EQ(needle["values"][0].get<double>(), c.value) << c.rate;
    if (c.row_x >= 0) {
        EXPECT_NEAR(needle["angle"].get<double>(), direction(139, 214, c.row_x, c.row_y), 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TurnNeedle,
                         ::testing::Values(TurnCase{"10", -10, -1, -1},   // left turn: left of centre
                                           TurnCase{"350", 10, -1, -1},   // folded to -10, negated
                                           TurnCase{"180", -50, 77, 59},  // not folded: -180 held at -50
                                           TurnCase{"181", 50, 199, 58},  // folded to -179: 179 held at 50
                                           TurnCase{"0", 0, 139, 47},     // straight up
                                           TurnCase{"50", -50, 77, 59},   // exactly the left stop
                                           TurnCase{"310", 50, 199, 58},  // exactly the right stop
                                           TurnCase{"-10", 10, -1, -1},   // negative angles are not folded
                                           TurnCase{"inf", -50, 77, 59},  // folded to inf, negated, held
                                           TurnCase{"-inf", 50, 199, 58}));

TEST(TurnNeedle, LeftAndRightOfTheCentreMark)
{
    auto left = probe("Orvane", "TurnBank", {"--token", "79=10"});
    auto right = probe("Orvane", "TurnBank", {"--token", "79=350"});
    double up = direction(139, 214, 139, 47);
    EXPECT_LT(element(left, 4)["angle"].get<double>(), up);
    EXPECT_GT(element(right, 4)["angle"].get<double>(), up);
}

TEST(TurnNeedle, NotANumberPassesEveryTest)
{
    auto r = probe("Orvane", "TurnBank", {"--token", "79=nan", "--token", "69=nan"});
    EXPECT_EQ(element(r, 4)["values_text"][0], "nan");
    EXPECT_EQ(element(r, 2)["values_text"][0], "nan");
}

struct BallCase {
    const char* deflection;
    double value;
    int row_x, row_y;
};

class Ball : public ::testing::TestWithParam<BallCase> {};

TEST_P(Ball, RollsToTheRowPoint)
{
    const BallCase& c = GetParam();
    auto r = probe("Orvane", "TurnBank", {"--token", std::string("69=") + c.deflection});
    const auto& ball = element(r, 2);
    EXPECT_EQ(ball["values"][0].get<double>(), c.value);
    EXPECT_NEAR(ball["angle"].get<double>(), direction(138, -270, c.row_x, c.row_y), 1e-9);
}

// The table runs 127, 0, -127: 127 is its first row.
INSTANTIATE_TEST_SUITE_P(Cases, Ball,
                         ::testing::Values(BallCase{"127", 127, 219, 164}, BallCase{"200", 127, 219, 164},
                                           BallCase{"0", 0, 138, 172}, BallCase{"-127", -127, 60, 164},
                                           BallCase{"-1e308", -127, 60, 164}));

TEST(Ball, RightDeflectionMovesTheBallRight)
{
    auto r = probe("Orvane", "TurnBank", {"--token", "69=60"});
    double angle = element(r, 2)["angle"].get<double>();
    EXPECT_LT(angle, direction(138, -270, 138, 172));  // smaller angle: to the right of the bottom
    EXPECT_GT(angle, direction(138, -270, 219, 164));
}

TEST(TurnBank, NoTooltipAnywhereAndNothingClickable)
{
    auto r = probe("Orvane", "TurnBank", {"--hover", "138,138", "--click", "138,138", "--click", "0,0"});
    EXPECT_TRUE(r["tooltips"][0]["text"].is_null());
    EXPECT_TRUE(r["events"].empty());
    EXPECT_TRUE(r["windows"].empty());
}

}  // namespace
