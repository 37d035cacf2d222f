// The engine module's needle dials through the host: "Manifold", "RPM",
// "Engine_gauge", "Coolant_temperature" and "OAT". Conversions and clamps of
// needle and tooltip callbacks, NaN through the clamps, needles on their
// table rows, and the engine failure list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

double value_of(const nlohmann::json& e, size_t axis = 0)
{
    // NaN and the infinities come as null with their text beside them.
    const auto& v = e["values"][axis];
    if (!v.is_null()) return v.get<double>();
    return std::strtod(e["values_text"][axis].get<std::string>().c_str(), nullptr);
}

// Screen direction (degrees clockwise from the x axis) from a centre to a point.
double direction(double cx, double cy, double x, double y)
{
    double a = std::atan2(y - cy, x - cx) * 180 / M_PI;
    return a < 0 ? a + 360 : a;
}

struct DialCase {
    const char* gauge;
    const char* token;  // N=V
    int element;        // the needle
    double expected;    // NaN: the value passes unchanged
    double tolerance;
    const char* hover;
    const char* tooltip;  // UTF-8
};

void PrintTo(const DialCase& c, std::ostream* os)
{
    *os << c.gauge << " " << c.token;
}

class DialValues : public ::testing::TestWithParam<DialCase> {};

TEST_P(DialValues, NeedleAndTooltipConvertAndClamp)
{
    const DialCase& c = GetParam();
    auto r = probe("Orvane_engine", c.gauge, {"--token", c.token, "--hover", c.hover});
    double v = value_of(element(r, c.element));
    if (std::isnan(c.expected))
        EXPECT_TRUE(std::isnan(v)) << v;
    else
        EXPECT_NEAR(v, c.expected, c.tolerance);
    EXPECT_EQ(r["tooltips"][0]["text"], c.tooltip);
}

// Tooltip areas of the engine dial: oil temperature above y 110, oil
// pressure lower left, fuel pressure lower right.
#define OIL_T "100,50"
#define OIL_P "80,200"
#define FUEL_P "200,200"

INSTANTIATE_TEST_SUITE_P(
    Manifold, DialValues,
    ::testing::Values(DialCase{"Manifold", "152=0", 2, 10, 0, "10,10", "Manifold Pressure (10 inHg)"},
                      DialCase{"Manifold", "152=65536", 2, 64, 0, "10,10", "Manifold Pressure (64 inHg)"},
                      DialCase{"Manifold", "152=76800", 2, 75, 0, "10,10", "Manifold Pressure (75 inHg)"},
                      DialCase{"Manifold", "152=76801", 2, 75, 0, "10,10", "Manifold Pressure (75 inHg)"},
                      DialCase{"Manifold", "152=1e300", 2, 75, 0, "10,10", "Manifold Pressure (75 inHg)"},
                      DialCase{"Manifold", "152=-inf", 2, 10, 0, "10,10", "Manifold Pressure (10 inHg)"},
                      DialCase{"Manifold", "152=30000", 2, 30000.0 / 65536 * 64, 1e-12, "10,10",
                               "Manifold Pressure (29 inHg)"},
                      DialCase{"Manifold", "152=nan", 2, kNaN, 0, "10,10", "Manifold Pressure (0 inHg)"}));

INSTANTIATE_TEST_SUITE_P(
    RPM, DialValues,
    ::testing::Values(DialCase{"RPM", "390=-100", 2, 0, 0, "10,10", "Tachometer (0 RPM)"},
                      DialCase{"RPM", "390=4500", 2, 4500, 0, "10,10", "Tachometer (4500 RPM)"},
                      DialCase{"RPM", "390=5200", 2, 4500, 0, "10,10", "Tachometer (4500 RPM)"},
                      DialCase{"RPM", "390=2345.9", 2, 2345.9, 0, "10,10", "Tachometer (2345 RPM)"},
                      DialCase{"RPM", "390=nan", 2, kNaN, 0, "10,10", "Tachometer (0 RPM)"}));

INSTANTIATE_TEST_SUITE_P(
    EngineGauge, DialValues,
    ::testing::Values(DialCase{"Engine_gauge", "147=0", 2, 0, 0, OIL_T, "Oil Temperature (0°C)"},
                      DialCase{"Engine_gauge", "147=16384", 2, 140, 0, OIL_T, "Oil Temperature (140°C)"},
                      DialCase{"Engine_gauge", "147=32768", 2, 150, 0, OIL_T, "Oil Temperature (150°C)"},
                      DialCase{"Engine_gauge", "147=-8192", 2, -50, 0, OIL_T, "Oil Temperature (-50°C)"},
                      DialCase{"Engine_gauge", "147=-100000", 2, -50, 0, OIL_T, "Oil Temperature (-50°C)"},
                      DialCase{"Engine_gauge", "147=nan", 2, kNaN, 0, OIL_T, "Oil Temperature (0°C)"},
                      DialCase{"Engine_gauge", "148=65536", 4, 220, 0, OIL_P, "Oil Pressure (220 PSI)"},
                      DialCase{"Engine_gauge", "148=81920", 4, 225, 0, OIL_P, "Oil Pressure (225 PSI)"},
                      DialCase{"Engine_gauge", "148=-5", 4, 0, 0, OIL_P, "Oil Pressure (0 PSI)"},
                      DialCase{"Engine_gauge", "148=nan", 4, kNaN, 0, OIL_P, "Oil Pressure (0 PSI)"},
                      DialCase{"Engine_gauge", "425=1440", 5, 10, 0, FUEL_P, "Fuel Pressure (10 PSI)"},
                      DialCase{"Engine_gauge", "425=2880", 5, 20, 0, FUEL_P, "Fuel Pressure (20 PSI)"},
                      DialCase{"Engine_gauge", "425=4320", 5, 27, 0, FUEL_P, "Fuel Pressure (27 PSI)"},
                      DialCase{"Engine_gauge", "425=9999", 5, 27, 0, FUEL_P, "Fuel Pressure (27 PSI)"},
                      DialCase{"Engine_gauge", "425=-1", 5, 0, 0, FUEL_P, "Fuel Pressure (0 PSI)"},
                      DialCase{"Engine_gauge", "425=nan", 5, kNaN, 0, FUEL_P, "Fuel Pressure (0 PSI)"}));

INSTANTIATE_TEST_SUITE_P(
    Thermometers, DialValues,
    ::testing::Values(
        DialCase{"Coolant_temperature", "417=491.67", 2, 0, 1e-9, "10,10", "Coolant Temperature (0°C)"},
        DialCase{"Coolant_temperature", "417=671.67", 2, 100, 1e-9, "10,10", "Coolant Temperature (100°C)"},
        DialCase{"Coolant_temperature", "417=800", 2, 170, 0, "10,10", "Coolant Temperature (170°C)"},
        DialCase{"Coolant_temperature", "417=0", 2, -70, 0, "10,10", "Coolant Temperature (-70°C)"},
        DialCase{"Coolant_temperature", "417=nan", 2, kNaN, 0, "10,10", "Coolant Temperature (0°C)"},
        DialCase{"OAT", "350=0", 2, 0, 0, "10,10", "Outside Air Temperature (0°C)"},
        DialCase{"OAT", "350=0.0625", 2, 16, 0, "10,10", "Outside Air Temperature (16°C)"},
        DialCase{"OAT", "350=-0.125", 2, -32, 0, "10,10", "Outside Air Temperature (-32°C)"},
        DialCase{"OAT", "350=0.25", 2, 50, 0, "10,10", "Outside Air Temperature (50°C)"},
        DialCase{"OAT", "350=-1", 2, -50, 0, "10,10", "Outside Air Temperature (-50°C)"},
        DialCase{"OAT", "350=nan", 2, kNaN, 0, "10,10", "Outside Air Temperature (0°C)"}));

TEST(EngineGauge, TooltipAreasMeetAlongRow110AndLeaveTheMiddleToNone)
{
    struct {
        const char* at;
        const char* text;  // null: no tooltip there
    } cases[] = {{"41,23", "Oil Temperature (140°C)"},
                 {"241,109", "Oil Temperature (140°C)"},
                 {"41,110", "Oil Pressure (55 PSI)"},
                 {"127,262", "Oil Pressure (55 PSI)"},
                 {"156,110", "Fuel Pressure (10 PSI)"},
                 {"241,262", "Fuel Pressure (10 PSI)"},
                 {"140,150", nullptr},
                 {"242,50", nullptr},
                 {"100,263", nullptr},
                 {"40,100", nullptr}};
    for (auto& c : cases) {
        auto r =
            probe("Orvane_engine", "Engine_gauge",
                  {"--token", "147=16384", "--token", "148=16384", "--token", "425=1440", "--hover", c.at});
        if (c.text)
            EXPECT_EQ(r["tooltips"][0]["text"], c.text) << c.at;
        else
            EXPECT_TRUE(r["tooltips"][0]["text"].is_null()) << c.at << ": " << r["tooltips"][0]["text"];
    }
}

struct RowCase {
    const char* gauge;
    const char* token;
    int element;
    double cx, cy;  // rotation centre
    double px, py;  // the table row the needle must point at
};

void PrintTo(const RowCase& c, std::ostream* os)
{
    *os << c.gauge << " " << c.token;
}

class DialRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(DialRows, NeedlePointsAtItsRow)
{
    const RowCase& c = GetParam();
    auto r = probe("Orvane_engine", c.gauge, {"--token", c.token});
    EXPECT_NEAR(element(r, c.element)["angle"].get<double>(), direction(c.cx, c.cy, c.px, c.py), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialRows,
    ::testing::Values(RowCase{"Manifold", "152=0", 2, 141, 142, 36, 176},      // held at 10: row 1
                      RowCase{"Manifold", "152=76800", 2, 141, 142, 43, 193},  // 75: the last row
                      RowCase{"RPM", "390=4500", 2, 140, 141, 173, 246},
                      RowCase{"RPM", "390=-1", 2, 140, 141, 106, 245},
                      RowCase{"Engine_gauge", "147=-8192", 2, 141, 142, 68, 80},
                      RowCase{"Engine_gauge", "148=-5", 4, 116, 187, 116, 243},
                      RowCase{"Engine_gauge", "425=2880", 5, 167, 187, 206, 147},  // descending: first row
                      RowCase{"Engine_gauge", "425=0", 5, 167, 187, 167, 243},
                      RowCase{"Coolant_temperature", "417=401.67", 2, 142, 201, 44, 104},  // -50
                      RowCase{"OAT", "350=0", 2, 142, 201, 142, 62},
                      RowCase{"OAT", "350=0.15625", 2, 142, 201, 240, 103}));

TEST(EngineFailures, KeyTwoTakesEveryEngineNeedleToZero)
{
    struct {
        const char* gauge;
        std::vector<std::string> tokens;
        std::vector<int> needles;
    } gauges[] = {
        {"Manifold", {"--token", "152=65536"}, {2}},
        {"RPM", {"--token", "390=2000"}, {2}},
        {"Engine_gauge", {"--token", "147=8192", "--token", "148=8192", "--token", "425=1000"}, {2, 4, 5}},
        {"Coolant_temperature", {"--token", "417=600"}, {2}},
        {"OAT", {"--token", "350=0.1"}, {2}},
    };
    for (auto& g : gauges) {
        for (const char* key : {"2", "10", "20"}) {
            std::vector<std::string> args = g.tokens;
            args.insert(args.end(), {"--fail", key, "--updates", "1"});
            auto failed = probe("Orvane_engine", g.gauge, args);
            auto healthy = probe("Orvane_engine", g.gauge, g.tokens);
            for (int n : g.needles) {
                double v = value_of(element(failed, n)), normal = value_of(element(healthy, n));
                ASSERT_NE(normal, 0.0) << g.gauge;
                if (std::string(key) == "2")
                    EXPECT_EQ(v, 0.0) << g.gauge << " element " << n;
                else
                    EXPECT_EQ(v, normal) << g.gauge << " key " << key;
            }
        }
    }
}

}  // namespace
