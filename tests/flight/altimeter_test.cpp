// "Altitude" through the host: the unit-system rule (only the exact double
// 2.0 means metres), the hands beyond their tables' last rows, the setting
// window's text for every kind of setting, and the knob.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "directions.h"
#include "tests/support/support.h"

using flight_test::direction;
using flight_test::turn_between;
using orvane_test::element;
using orvane_test::probe;

namespace {

enum { SETTING = 2, TEN_THOUSANDS = 3, THOUSANDS = 4, HUNDREDS = 5 };

const char* const kDial = "140,60";
const char* const kKnob = "30,260";

double hand_direction(int x, int y)
{
    return direction(141, 143, x, y);
}

struct UnitCase {
    const char* unit_system;  // token 335 as the probe sets it
    double feet;              // what the hands get for token 74 = 305
    const char* tooltip;
};

class UnitSystem : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitSystem, OnlyTheExactDoubleTwoMeansMetres)
{
    const UnitCase& c = GetParam();
    auto r = probe("Orvane", "Altitude",
                   {"--token", std::string("335=") + c.unit_system, "--token", "74=305", "--updates", "1",
                    "--hover", kDial});
    for (int hand : {TEN_THOUSANDS, THOUSANDS, HUNDREDS})
        EXPECT_NEAR(element(r, hand)["values"][0].get<double>(), c.feet, 1e-9) << c.unit_system;
    EXPECT_EQ(r["tooltips"][0]["text"], std::string("Altimeter (") + c.tooltip + " feet)") << c.unit_system;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitSystem,
                         ::testing::Values(UnitCase{"2", 1000, "1000"},  // metres: 305 / 0.305
                                           UnitCase{"2.0", 1000, "1000"}, UnitCase{"2.5", 305, "305"},
                                           UnitCase{"1", 305, "305"}, UnitCase{"0", 305, "305"},
                                           UnitCase{"-2", 305, "305"},
                                           UnitCase{"2.0000000000000004", 305, "305"},  // next double up
                                           UnitCase{"1.9999999999999998", 305, "305"},  // next double down
                                           UnitCase{"i:2", 305, "305"},  // the integer 2, not the double
                                           UnitCase{"nan", 305, "305"}));

TEST(UnitSystem, BeforeAnyUpdateTheAltitudeIsTakenAsFeet)
{
    auto r = probe("Orvane", "Altitude",
                   {"--token", "335=2", "--token", "74=305", "--updates", "0", "--hover", kDial});
    EXPECT_EQ(r["tooltips"][0]["text"], "Altimeter (305 feet)");
}

TEST(UnitSystem, AChangeTakesEffectAtTheNextUpdate)
{
    auto r = probe("Orvane", "Altitude",
                   {"--token", "74=305",  "--token",   "335=2",     "--updates", "1",       "--token",
                    "335=1",   "--hover", kDial,       "--updates", "1",         "--hover", kDial,
                    "--token", "335=2",   "--updates", "1",         "--hover",   kDial});
    EXPECT_EQ(r["tooltips"][0]["text"], "Altimeter (1000 feet)");  // still metres until message 6
    EXPECT_EQ(r["tooltips"][1]["text"], "Altimeter (305 feet)");
    EXPECT_EQ(r["tooltips"][2]["text"], "Altimeter (1000 feet)");
}

TEST(AltitudeHands, BeyondNineHundredFeetTheHundredsHandKeepsTurning)
{
    auto r = probe("Orvane", "Altitude", {"--token", "74=1500"});
    for (int hand : {TEN_THOUSANDS, THOUSANDS, HUNDREDS})
        EXPECT_EQ(element(r, hand)["values"][0].get<double>(), 1500.0);

    // Past its last row (900 ft) the hundreds hand goes on at the degrees
    // per foot of its last segment (800 to 900 ft): 600 ft further.
    double a800 = hand_direction(47, 113), a900 = hand_direction(82, 63);
    double per_foot = turn_between(a800, a900) / 100;
    double expected = std::fmod(a900 + 600 * per_foot + 720, 360);
    EXPECT_NEAR(element(r, HUNDREDS)["angle"].get<double>(), expected, 1e-9);
    // Which brings it close to the 500 ft mark, straight down.
    EXPECT_NEAR(element(r, HUNDREDS)["angle"].get<double>(), hand_direction(140, 244), 5);

    // The thousands hand half-way between its 1000 and 2000 ft rows.
    double a1000 = hand_direction(179, 90), a2000 = hand_direction(204, 124);
    EXPECT_NEAR(element(r, THOUSANDS)["angle"].get<double>(), a1000 + turn_between(a1000, a2000) / 2, 1e-9);
}

TEST(AltitudeHands, ZeroFeetPointsAllThreeHandsStraightUp)
{
    auto r = probe("Orvane", "Altitude", {"--token", "74=0"});
    for (int hand : {TEN_THOUSANDS, THOUSANDS, HUNDREDS})
        EXPECT_NEAR(element(r, hand)["angle"].get<double>(), 270.0, 1e-9);
}

struct SettingCase {
    const char* setting;
    const char* text;
};

class SettingWindow : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingWindow, OneDecimalOrThePlaceholderAndNeverPastTheBuffer)
{
    const SettingCase& c = GetParam();
    auto r = probe("Orvane", "Altitude", {"--token", std::string("76=") + c.setting});
    const auto& window = element(r, SETTING);
    EXPECT_EQ(window["text"], c.text) << c.setting;
    EXPECT_FALSE(window.contains("text_overflow")) << c.setting;
    // The callback returns the setting unchanged.
    double s = std::stod(c.setting);
    if (std::isfinite(s)) {
        EXPECT_EQ(window["values"][0].get<double>(), s);
    } else {
        EXPECT_EQ(window["values_text"][0], std::isnan(s) ? "nan" : s > 0 ? "inf" : "-inf");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingWindow,
    ::testing::Values(SettingCase{"29.92", "29.9"}, SettingCase{"30.06", "30.1"}, SettingCase{"0", " 0.0"},
                      SettingCase{"5", " 5.0"}, SettingCase{"1013.3", "1013.3"},
                      // Exactly half-way between two tenths: away from zero.
                      SettingCase{"29.25", "29.3"}, SettingCase{"29.75", "29.8"}, SettingCase{"0.25", " 0.3"},
                      SettingCase{"-0.25", "-0.3"}, SettingCase{"1013.25", "1013.3"},
                      SettingCase{"123456.75", "123456.8"},
                      // Near a half, not on it: as printf rounds the exact value.
                      SettingCase{"0.05", " 0.1"}, SettingCase{"-0.05", "-0.1"}, SettingCase{"0.15", " 0.1"},
                      SettingCase{"2.675", " 2.7"},
                      // Zero shows no sign.
                      SettingCase{"-0", " 0.0"}, SettingCase{"-0.04", " 0.0"},
                      SettingCase{"-999999.9", "-999999.9"}, SettingCase{"999999.94", "999999.9"},
                      SettingCase{"1000000", "--.-"}, SettingCase{"-1000000", "--.-"},
                      SettingCase{"1e300", "--.-"}, SettingCase{"-1e300", "--.-"},
                      SettingCase{"1.7976931348623157e308", "--.-"}, SettingCase{"inf", "--.-"},
                      SettingCase{"-inf", "--.-"}, SettingCase{"nan", "--.-"}, SettingCase{"-nan", "--.-"}));

TEST(SettingWindow, ShowsTheSettingWithoutTheUnitFlag)
{
    auto r = probe("Orvane", "Altitude", {"--token", "335=2", "--token", "76=29.92", "--updates", "2"});
    EXPECT_EQ(element(r, SETTING)["text"], "29.9");
}

TEST(SettingKnob, TooltipShowsTwoDecimals)
{
    auto r = probe("Orvane", "Altitude",
                   {"--token", "76=29.92", "--hover", kKnob, "--hover", "57,284", "--hover", "58,260"});
    EXPECT_EQ(r["tooltips"][0]["text"], "Altimeter Calibration Knob (29.92 inHg)");
    EXPECT_EQ(r["tooltips"][1]["text"], "Altimeter Calibration Knob (29.92 inHg)");
    EXPECT_EQ(r["tooltips"][2]["text"], "Altimeter (0 feet)");
}

TEST(SettingKnob, EachClickSendsOneEventAndTheSharedColumnOnlyTheLeftOne)
{
    struct {
        const char* at;
        const char* event;  // null: nothing
    } cases[] = {{"10,239", "0x1015C"}, {"32,260", "0x1015C"}, {"33,260", "0x1015C"}, {"33,284", "0x1015C"},
                 {"34,260", "0x1015B"}, {"56,260", "0x1015B"}, {"57,260", nullptr},   {"9,260", nullptr},
                 {"33,285", nullptr},   {"33,238", nullptr}};
    for (const auto& c : cases) {
        auto r = probe("Orvane", "Altitude", {"--token", "76=29.92", "--click", c.at});
        if (!c.event) {
            EXPECT_TRUE(r["events"].empty()) << c.at;
            continue;
        }
        ASSERT_EQ(r["events"].size(), 1u) << c.at;
        EXPECT_EQ(r["events"][0]["id"], c.event) << c.at;
        EXPECT_EQ(r["events"][0]["value"], 0) << c.at;
        EXPECT_EQ(element(r, SETTING)["text"], "29.9");  // the gauge keeps no setting of its own
    }
}

TEST(Altimeter, FailureSevenFreezesTheWindowAndTheHands)
{
    auto r = probe("Orvane", "Altitude",
                   {"--token", "74=500", "--token", "76=29.92", "--updates", "1", "--fail", "7", "--token",
                    "74=800", "--token", "76=30.5", "--updates", "1"});
    EXPECT_EQ(element(r, SETTING)["text"], "29.9");
    EXPECT_EQ(element(r, HUNDREDS)["values"][0].get<double>(), 500.0);
    EXPECT_EQ(element(r, THOUSANDS)["values"][0].get<double>(), 500.0);
}

}  // namespace
