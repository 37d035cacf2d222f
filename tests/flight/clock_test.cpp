// "Clock" through the host: the pair rule of each hand at its quarter
// points, and the carried fractions that lag one update behind.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "directions.h"
#include "tests/support/support.h"

using flight_test::direction;
using flight_test::turn_between;
using orvane_test::element;
using orvane_test::probe;

namespace {

enum { HOUR_B = 2, HOUR_A = 3, MINUTE_B = 4, MINUTE_A = 5, SECOND_B = 6, SECOND_A = 7 };

struct PairCase {
    const char* value;
    bool a_shown, b_shown;
    double b_value;              // copy A's value is the hand's value itself
    int row_x = -1, row_y = -1;  // a value on a row: the point the shown copies point at
};

void expect_pair(const nlohmann::json& r, int a_index, int b_index, const PairCase& c)
{
    const auto& a = element(r, a_index);
    const auto& b = element(r, b_index);
    double v = std::stod(c.value);
    EXPECT_EQ(!a["hidden"].get<bool>(), c.a_shown) << c.value;
    EXPECT_EQ(!b["hidden"].get<bool>(), c.b_shown) << c.value;
    EXPECT_EQ(a["values"][0].get<double>(), v) << c.value;
    EXPECT_EQ(b["values"][0].get<double>(), c.b_value) << c.value;
    // On a row, every shown copy points at the row's point.
    if (c.row_x < 0) return;
    double row = direction(142, 142, c.row_x, c.row_y);
    if (c.a_shown) {
        EXPECT_NEAR(turn_between(row, a["angle"].get<double>()), 0, 1e-9) << c.value;
    }
    if (c.b_shown) {
        EXPECT_NEAR(turn_between(row, b["angle"].get<double>()), 0, 1e-9) << c.value;
    }
}

class SecondHand : public ::testing::TestWithParam<PairCase> {};

TEST_P(SecondHand, PairRule)
{
    auto r = probe("Orvane", "Clock", {"--token", std::string("5=") + GetParam().value});
    expect_pair(r, SECOND_A, SECOND_B, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, SecondHand,
                         ::testing::Values(PairCase{"0", false, true, 0, 141, 40},
                                           PairCase{"14.9", false, true, 14.9},
                                           PairCase{"15", true, true, 15, 240, 141},  // both, same angle
                                           PairCase{"15.1", true, false, 15.1},
                                           PairCase{"30", true, false, 30, 141, 241},  // B hidden with 30
                                           PairCase{"30.5", true, false, -29.5},
                                           PairCase{"45", true, true, -15, 40, 141},  // both, same angle
                                           PairCase{"45.1", false, true, 45.1 - 60},
                                           PairCase{"50", false, true, -10},
                                           PairCase{"59.9", false, true, 59.9 - 60}));

class HourHand : public ::testing::TestWithParam<PairCase> {};

TEST_P(HourHand, PairRule)
{
    // Minutes and seconds 0: the hour hand carries no fraction.
    auto r = probe("Orvane", "Clock", {"--token", std::string("3=") + GetParam().value, "--updates", "2"});
    expect_pair(r, HOUR_A, HOUR_B, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HourHand,
    ::testing::Values(PairCase{"0", false, true, 0, 141, 82}, PairCase{"2.25", false, true, 2.25},
                      PairCase{"3", true, true, 3, 200, 141},  // both, same angle
                      PairCase{"6", true, false, 6, 141, 201}, PairCase{"6.5", true, false, -5.5},
                      PairCase{"9", true, true, -3, 82, 141},  // both, same angle
                      PairCase{"10.5", false, true, -1.5},
                      PairCase{"15", false, true, 3, 200, 141}));  // not reduced by twelve

TEST(Clock, BothCopiesDrawTheSameAngleAtTheQuarterPoints)
{
    for (const char* h : {"3", "9"}) {
        auto r = probe("Orvane", "Clock", {"--token", std::string("3=") + h});
        EXPECT_NEAR(element(r, HOUR_A)["angle"].get<double>(), element(r, HOUR_B)["angle"].get<double>(),
                    1e-9);
    }
    for (const char* m : {"15", "45"}) {
        auto r = probe("Orvane", "Clock", {"--token", std::string("4=") + m});
        EXPECT_NEAR(element(r, MINUTE_A)["angle"].get<double>(), element(r, MINUTE_B)["angle"].get<double>(),
                    1e-9);
        EXPECT_FALSE(element(r, MINUTE_A)["hidden"].get<bool>());
        EXPECT_FALSE(element(r, MINUTE_B)["hidden"].get<bool>());
    }
}

TEST(Clock, NotANumberShowsCopyBOnly)
{
    auto r = probe("Orvane", "Clock", {"--token", "5=nan", "--token", "4=nan", "--token", "3=nan"});
    for (auto [a, b] : {std::pair{SECOND_A, SECOND_B}, {MINUTE_A, MINUTE_B}, {HOUR_A, HOUR_B}}) {
        EXPECT_TRUE(element(r, a)["hidden"].get<bool>()) << a;
        EXPECT_FALSE(element(r, b)["hidden"].get<bool>()) << b;
        EXPECT_EQ(element(r, b)["values_text"][0], "nan");
    }
}

TEST(Clock, MinutesReachTheHourHandOneUpdateLate)
{
    // 10:30:00. The first update carries nothing; the second carries the
    // minutes stored by the first: 10.5, past 9, so copy B shows -1.5.
    auto first =
        probe("Orvane", "Clock", {"--token", "3=10", "--token", "4=30", "--token", "5=0", "--updates", "1"});
    EXPECT_EQ(element(first, HOUR_A)["values"][0].get<double>(), 10.0);
    EXPECT_EQ(element(first, MINUTE_A)["values"][0].get<double>(), 30.0);

    auto second =
        probe("Orvane", "Clock", {"--token", "3=10", "--token", "4=30", "--token", "5=0", "--updates", "2"});
    EXPECT_EQ(element(second, MINUTE_A)["values"][0].get<double>(), 30.0);
    EXPECT_EQ(element(second, HOUR_A)["values"][0].get<double>(), 10.5);
    EXPECT_TRUE(element(second, HOUR_A)["hidden"].get<bool>());
    EXPECT_FALSE(element(second, HOUR_B)["hidden"].get<bool>());
    EXPECT_EQ(element(second, HOUR_B)["values"][0].get<double>(), -1.5);
}

TEST(Clock, SecondsReachTheMinuteHandAndThenTheHourHandEachOneUpdateLate)
{
    // 1:10:30, three updates: the seconds arrive at the minute hand on the
    // second update, and those minutes at the hour hand on the third.
    std::vector<std::string> tokens = {"--token", "3=1", "--token", "4=10", "--token", "5=30"};
    struct {
        int updates;
        double minutes, hours;
    } cases[] = {{1, 10, 1}, {2, 10.5, 1 + 10.0 / 60}, {3, 10.5, 1 + 10.5 / 60}};
    for (const auto& c : cases) {
        auto args = tokens;
        args.insert(args.end(), {"--updates", std::to_string(c.updates)});
        auto r = probe("Orvane", "Clock", args);
        EXPECT_DOUBLE_EQ(element(r, MINUTE_A)["values"][0].get<double>(), c.minutes) << c.updates;
        EXPECT_DOUBLE_EQ(element(r, MINUTE_B)["values"][0].get<double>(), c.minutes) << c.updates;
        EXPECT_DOUBLE_EQ(element(r, HOUR_A)["values"][0].get<double>(), c.hours) << c.updates;
        EXPECT_DOUBLE_EQ(element(r, HOUR_B)["values"][0].get<double>(), c.hours) << c.updates;
    }
}

TEST(Clock, CarriedFractionFollowsTheSecondsOfThePreviousUpdate)
{
    // The seconds change between updates: the minute hand carries the old
    // seconds, the second hand shows the new ones.
    auto r =
        probe("Orvane", "Clock",
              {"--token", "4=20", "--token", "5=12", "--updates", "1", "--token", "5=48", "--updates", "1"});
    EXPECT_DOUBLE_EQ(element(r, MINUTE_A)["values"][0].get<double>(), 20.2);
    EXPECT_EQ(element(r, SECOND_A)["values"][0].get<double>(), 48.0);
    EXPECT_EQ(element(r, SECOND_B)["values"][0].get<double>(), -12.0);
}

TEST(Clock, TooltipIsThePlainWordAndNothingIsClickable)
{
    auto r = probe("Orvane", "Clock",
                   {"--token", "3=4", "--hover", "141,141", "--hover", "0,0", "--click", "141,141"});
    EXPECT_EQ(r["tooltips"][0]["text"], "Clock");
    EXPECT_EQ(r["tooltips"][1]["text"], "Clock");
    EXPECT_TRUE(r["events"].empty());
    EXPECT_TRUE(r["windows"].empty());
}

TEST(Clock, NoFailureStopsTheClock)
{
    auto r = probe("Orvane", "Clock",
                   {"--token", "5=10", "--updates", "1", "--fail", "7", "--fail", "11", "--fail", "12",
                    "--token", "5=20", "--updates", "1"});
    EXPECT_EQ(element(r, SECOND_A)["values"][0].get<double>(), 20.0);
}

}  // namespace
