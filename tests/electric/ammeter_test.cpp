// "Ammeter" through the host: the +-50 clamp, the needle on the table rows
// and beyond them, the whole-ampere tooltip and failure 20.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

// Direction (screen degrees, clockwise from x) from the pivot to a point.
double direction_to(double x, double y)
{
    double a = std::atan2(y - 182, x - 105) * 180 / M_PI;
    return a < 0 ? a + 360 : a;
}

struct AmmeterCase {
    const char* amperes;
    double value;
    const char* tooltip;
};

std::ostream& operator<<(std::ostream& out, const AmmeterCase& c)
{
    return out << c.amperes << " A";
}

class AmmeterClamp : public ::testing::TestWithParam<AmmeterCase> {};

TEST_P(AmmeterClamp, NeedleAndTooltipReadTheClampedCurrent)
{
    const AmmeterCase& c = GetParam();
    auto r = probe("Orvane_electric", "Ammeter",
                   {"--token", std::string("754=") + c.amperes, "--hover", "105,100"});
    EXPECT_EQ(element(r, 2)["values"][0].get<double>(), c.value);
    EXPECT_EQ(r["tooltips"][0]["text"], c.tooltip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AmmeterClamp,
    ::testing::Values(AmmeterCase{"0", 0, "Ammeter (0A)"}, AmmeterCase{"20", 20, "Ammeter (20A)"},
                      AmmeterCase{"75", 50, "Ammeter (50A)"}, AmmeterCase{"-75", -50, "Ammeter (-50A)"},
                      AmmeterCase{"50", 50, "Ammeter (50A)"}, AmmeterCase{"-50", -50, "Ammeter (-50A)"},
                      AmmeterCase{"50.0000001", 50, "Ammeter (50A)"},
                      AmmeterCase{"1e300", 50, "Ammeter (50A)"}, AmmeterCase{"-inf", -50, "Ammeter (-50A)"},
                      AmmeterCase{"20.9", 20.9, "Ammeter (20A)"}, AmmeterCase{"-0.5", -0.5, "Ammeter (0A)"},
                      AmmeterCase{"-12.7", -12.7, "Ammeter (-12A)"}));

TEST(Ammeter, NaNPassesTheClampAndShowsZeroAmperes)
{
    auto r = probe("Orvane_electric", "Ammeter", {"--token", "754=nan", "--hover", "10,10"});
    EXPECT_TRUE(element(r, 2)["values"][0].is_null());
    EXPECT_EQ(element(r, 2)["values_text"][0], "nan");
    EXPECT_EQ(r["tooltips"][0]["text"], "Ammeter (0A)");
}

TEST(Ammeter, NeedlePointsAtTheTableRows)
{
    struct {
        const char* amperes;
        int x, y;
    } rows[] = {{"-40", 42, 93}, {"-20", 72, 77}, {"0", 105, 72}, {"20", 138, 78}, {"40", 168, 92}};
    for (auto& row : rows) {
        auto r = probe("Orvane_electric", "Ammeter", {"--token", std::string("754=") + row.amperes});
        EXPECT_NEAR(element(r, 2)["angle"].get<double>(), direction_to(row.x, row.y), 1e-9) << row.amperes;
    }
    // At 0 straight up from the pivot.
    auto zero = probe("Orvane_electric", "Ammeter", {"--token", "754=0"});
    EXPECT_NEAR(element(zero, 2)["angle"].get<double>(), 270.0, 1e-9);
}

TEST(Ammeter, BeyondTheEndRowsTheNeedleGoesOnToTheClamp)
{
    // 75 A is held at 50: the last segment continued for 10 A more.
    double a20 = direction_to(138, 78), a40 = direction_to(168, 92);
    auto plus = probe("Orvane_electric", "Ammeter", {"--token", "754=75"});
    EXPECT_NEAR(element(plus, 2)["angle"].get<double>(), a40 + (a40 - a20) / 2, 1e-9);
    double m20 = direction_to(72, 77), m40 = direction_to(42, 93);
    auto minus = probe("Orvane_electric", "Ammeter", {"--token", "754=-75"});
    EXPECT_NEAR(element(minus, 2)["angle"].get<double>(), m40 - (m20 - m40) / 2, 1e-9);
}

TEST(Ammeter, FailureTwentyTakesTheCurrentAsZero)
{
    auto r = probe("Orvane_electric", "Ammeter", {"--fail", "20", "--token", "754=30", "--updates", "1"});
    EXPECT_EQ(element(r, 2)["values"][0].get<double>(), 0.0);
    EXPECT_NEAR(element(r, 2)["angle"].get<double>(), 270.0, 1e-9);
    auto other = probe("Orvane_electric", "Ammeter", {"--fail", "6", "--token", "754=30", "--updates", "1"});
    EXPECT_EQ(element(other, 2)["values"][0].get<double>(), 30.0);
}

TEST(Ammeter, ElementsInDrawingOrder)
{
    auto r = probe("Orvane_electric", "Ammeter", {"--click", "105,100"});
    ASSERT_EQ(r["elements"].size(), 3u);
    EXPECT_EQ(element(r, 1)["bitmap"], 3300);
    EXPECT_EQ(element(r, 2)["bitmap"], 3500);
    EXPECT_EQ(element(r, 2)["flags"], 0x83);
    EXPECT_EQ(element(r, 3)["bitmap"], 3400);
    EXPECT_TRUE(r["events"].empty());  // no click areas
}

}  // namespace
