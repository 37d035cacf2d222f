// Panel configuration files and scenario files: what they accept, and a
// clear "file:line: message" for everything they do not.
#include "host/panel/panel_config.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/panel/scenario.h"

using namespace gaugehost;

namespace {

const char* kGood =
    "# a comment\n"
    "; another\n"
    "[Window00]\n"
    "title=Main Panel\n"
    "ident=0\n"
    "position=0,0\n"
    "size=800,600\n"
    "gauge00=Orvane!Airspeed, 20, 30\n"
    "gauge01=Orvane_engine!RPM,300,30,141\n"
    "\n"
    "[Window01]\r\n"
    "Title = Engine\r\n"
    "IDENT=10000\r\n"
    "visible=0\r\n"
    "position=10,600\r\n"
    "size=400,300\r\n"
    "color=1,2,3\r\n";

TEST(PanelConfig, ReadsWindowsAndGauges)
{
    PanelConfig c = parse_panel_config(kGood, "good.cfg");
    ASSERT_EQ(c.windows.size(), 2u);
    const WindowConfig& main = c.windows[0];
    EXPECT_EQ(main.title, "Main Panel");
    EXPECT_EQ(main.ident, 0);
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.width, 800);
    ASSERT_EQ(main.gauges.size(), 2u);
    EXPECT_EQ(main.gauges[0].module, "Orvane");
    EXPECT_EQ(main.gauges[0].gauge, "Airspeed");
    EXPECT_EQ(main.gauges[0].x, 20);
    EXPECT_EQ(main.gauges[0].y, 30);
    EXPECT_FALSE(main.gauges[0].width.has_value());
    EXPECT_EQ(main.gauges[0].line, 8);
    EXPECT_EQ(main.gauges[1].width.value(), 141);
    const WindowConfig& engine = c.windows[1];
    EXPECT_EQ(engine.title, "Engine");
    EXPECT_EQ(engine.ident, 10000);
    EXPECT_FALSE(engine.visible);
    EXPECT_EQ(engine.color[2], 3);
    EXPECT_EQ(c.width(), 800);
    EXPECT_EQ(c.height(), 900);
    EXPECT_EQ(c.window(10000), &c.windows[1]);
    EXPECT_EQ(c.window(10), nullptr);
}

struct BadCase {
    const char* text;
    const char* message;  // the whole message after "bad.cfg:"
};

class BadPanelLines : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadPanelLines, NameFileLineAndWhatIsWrong)
{
    const BadCase& c = GetParam();
    try {
        parse_panel_config(c.text, "bad.cfg");
        FAIL() << "accepted: " << c.text;
    } catch (const PanelConfigError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("bad.cfg:") + c.message);
    }
}

#define WIN "[Window00]\ntitle=T\nident=1\nposition=0,0\nsize=10,10\n"

INSTANTIATE_TEST_SUITE_P(
    Table, BadPanelLines,
    ::testing::Values(
        BadCase{"", "1: no [WindowNN] section: the panel has no window"},
        BadCase{"title=x\n", "1: 'title' outside a [WindowNN] section"},
        BadCase{"[Window00\n", "1: section header '[Window00' lacks its closing ']'"},
        BadCase{"[Panel]\n", "1: unknown section [Panel]; expected [WindowNN]"},
        BadCase{"[Window]\n", "1: unknown section [Window]; expected [WindowNN]"},
        BadCase{"[WindowXY]\n", "1: unknown section [WindowXY]; expected [WindowNN]"},
        BadCase{WIN "[Window00]\n", "6: [Window00] appears twice (first at line 1)"},
        BadCase{WIN "just words\n", "6: expected key=value or [WindowNN], got 'just words'"},
        BadCase{WIN "=5\n", "6: missing key before '='"},
        BadCase{WIN "colour=1,2,3\n", "6: unknown key 'colour'"},
        BadCase{WIN "title=again\n", "6: 'title' given twice in this window"},
        BadCase{"[Window00]\ntitle=\n", "2: title is empty"},
        BadCase{"[Window00]\ntitle=T\nident=-1\n",
                "3: ident must be a window number from 0 to 2147483647 (got '-1')"},
        BadCase{"[Window00]\ntitle=T\nident=ten\n",
                "3: ident must be a window number from 0 to 2147483647 (got 'ten')"},
        BadCase{"[Window00]\nposition=1\n",
                "2: position must be two whole numbers from 0 to 16384, as position=X,Y (got '1')"},
        BadCase{"[Window00]\nsize=0,10\n",
                "2: size must be two whole numbers from 1 to 16384, as size=X,Y (got '0,10')"},
        BadCase{"[Window00]\nsize=10,10,10\n",
                "2: size must be two whole numbers from 1 to 16384, as size=X,Y (got '10,10,10')"},
        BadCase{"[Window00]\nvisible=maybe\n", "2: visible must be 1 or 0 (got 'maybe')"},
        BadCase{"[Window00]\ncolor=1,2,256\n",
                "2: color must be three numbers from 0 to 255, as color=R,G,B (got '1,2,256')"},
        BadCase{WIN "gauge00=Orvane!Airspeed, 1\n",
                "6: gauge00 must read Module!Gauge, x, y[, width] (got 'Orvane!Airspeed, 1')"},
        BadCase{WIN "gauge00=Airspeed, 1, 2\n", "6: gauge00: 'Airspeed' is not Module!Gauge"},
        BadCase{WIN "gauge00=Orvane!, 1, 2\n", "6: gauge00: 'Orvane!' is not Module!Gauge"},
        BadCase{WIN "gauge00=a!b!c, 1, 2\n", "6: gauge00: 'a!b!c' is not Module!Gauge"},
        BadCase{WIN "gauge00=Orvane!Airspeed, 1.5, 2\n",
                "6: gauge00: x '1.5' is not a whole number within +-16384"},
        BadCase{WIN "gauge00=Orvane!Airspeed, 1, 99999\n",
                "6: gauge00: y '99999' is not a whole number within +-16384"},
        BadCase{WIN "gauge00=Orvane!Airspeed, 1, 2, 0\n",
                "6: gauge00: width '0' is not a whole number from 1 to 16384"},
        BadCase{WIN "gauge00=Orvane!Airspeed, 1, 2, 1, 1\n",
                "6: gauge00 must read Module!Gauge, x, y[, width] (got 'Orvane!Airspeed, 1, 2, 1, 1')"},
        BadCase{WIN "gaugeA=Orvane!Airspeed, 1, 2\n", "6: gauge key 'gaugea' must be gaugeNN with a number"},
        BadCase{"[Window00]\ntitle=T\nposition=0,0\nsize=1,1\n", "1: [Window00] has no ident= line"},
        BadCase{WIN "[Window01]\ntitle=U\nident=1\nposition=0,0\nsize=1,1\n",
                "8: window ident 1 is already used by the window of line 1"}));

TEST(PanelConfig, MissingFileIsAClearError)
{
    try {
        load_panel_config("/nonexistent/panel.cfg");
        FAIL();
    } catch (const PanelConfigError& e) {
        EXPECT_EQ(std::string(e.what()), "/nonexistent/panel.cfg: cannot read the panel file");
    }
}

TEST(PanelConfig, ShippedPanelReads)
{
    PanelConfig c = load_panel_config(ORVANE_SOURCE_DIR "/panel/orvane.cfg");
    ASSERT_NE(c.window(0), nullptr);
    ASSERT_NE(c.window(10000), nullptr);
    ASSERT_NE(c.window(10), nullptr);
    EXPECT_FALSE(c.window(10000)->visible);
    EXPECT_FALSE(c.window(10)->visible);
    // Every one of the 25 gauges is placed once.
    size_t gauges = 0;
    for (const auto& w : c.windows) gauges += w.gauges.size();
    EXPECT_EQ(gauges, 25u);
    // Every gauge lies inside its window.
    for (const auto& w : c.windows)
        for (const auto& g : w.gauges) {
            EXPECT_GE(g.x, 0) << g.gauge;
            EXPECT_GE(g.y, 0) << g.gauge;
            EXPECT_LT(g.x + g.width.value_or(0), w.width) << g.gauge;
        }
}

// ---------------------------------------------------------------------------
// Scenarios

TEST(Scenario, ReadsEveryStep)
{
    Scenario s = parse_scenario(
        "# start\n"
        "wait 1.5\n"
        "click Ignition 260,80   # both\n"
        "hold Starter 110,160 2\n"
        "drag Orvane_engine!Throttle_quadrant 60,369 60,0 1\n"
        "key 0x1011C -2397\n"
        "set 61 120\n"
        "set 422 i:-1\n"
        "set 64 nan\n"
        "release 61\n"
        "release all\n"
        "fail 6\n"
        "repair 6\n"
        "units metric\n"
        "flight demo\n"
        "engine running\n"
        "refuel aux 12.5\n"
        "window 10000 open\n",
        "s.txt");
    ASSERT_EQ(s.steps.size(), 17u);
    EXPECT_EQ(s.steps[0].kind, ScenarioStep::Wait);
    EXPECT_EQ(s.steps[0].line, 2);
    EXPECT_EQ(s.steps[1].gauge, "Ignition");
    EXPECT_EQ(s.steps[1].x, 260);
    EXPECT_EQ(s.steps[2].seconds, 2);
    EXPECT_EQ(s.steps[3].gauge, "Orvane_engine!Throttle_quadrant");
    EXPECT_EQ(s.steps[3].y2, 0);
    EXPECT_EQ(s.steps[4].id, 0x1011Cu);
    EXPECT_EQ(int32_t(s.steps[4].value), -2397);
    EXPECT_TRUE(s.steps[6].is_int32);
    EXPECT_EQ(s.steps[6].int_value, -1);
    EXPECT_TRUE(std::isnan(s.steps[7].number));
    EXPECT_EQ(s.steps[9].kind, ScenarioStep::ReleaseAll);
    EXPECT_TRUE(s.steps[12].metric);
    EXPECT_EQ(s.steps[15].tank, 2);
    EXPECT_EQ(s.steps[16].window_action, 1);
    EXPECT_DOUBLE_EQ(s.duration(), 1.5 + 2 + 1);
}

class BadScenarioLines : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenarioLines, NameFileLineAndWhatIsWrong)
{
    const BadCase& c = GetParam();
    try {
        parse_scenario(c.text, "bad.txt");
        FAIL() << "accepted: " << c.text;
    } catch (const ScenarioError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("bad.txt:") + c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadScenarioLines,
    ::testing::Values(
        BadCase{
            "\n\nfly away\n",
            "3: unknown step 'fly' (wait, click, hold, drag, key, set, release, fail, repair, units, flight, "
            "engine, refuel, window)"},
        BadCase{"wait\n", "1: expected 'wait SECONDS'"},
        BadCase{"wait -1\n", "1: '-1' is not a number of seconds from 0 to 86400"},
        BadCase{"wait nan\n", "1: 'nan' is not a number of seconds from 0 to 86400"},
        BadCase{"wait 1e9\n", "1: '1e9' is not a number of seconds from 0 to 86400"},
        BadCase{"click Ignition\n", "1: expected 'click GAUGE X,Y'"},
        BadCase{"click Ignition 10\n", "1: '10' is not a position X,Y"},
        BadCase{"click Ignition 10,inf\n", "1: '10,inf' is not a position X,Y"},
        BadCase{"hold Starter 1,1\n", "1: expected 'hold GAUGE X,Y SECONDS'"},
        BadCase{"drag Throttle_quadrant 1,1 2,2\n", "1: expected 'drag GAUGE X,Y X2,Y2 SECONDS'"},
        BadCase{"key 0x1011C 99999999999\n", "1: '99999999999' is not a 32-bit key event value"},
        BadCase{"key zero\n", "1: 'zero' is not a key event id"},
        BadCase{"set 61\n", "1: expected 'set TOKEN VALUE'"},
        BadCase{"set 61 fast\n", "1: 'fast' is not a number"},
        BadCase{"set -61 1\n", "1: '-61' is not a token number"},
        BadCase{"set 422 i:4294967296\n", "1: 'i:4294967296' is not i: and a 32-bit integer"},
        BadCase{"units furlongs\n", "1: units must be 'metric' or 'feet', not 'furlongs'"},
        BadCase{"flight home\n", "1: the only flight is 'flight demo'"},
        BadCase{"engine off\n", "1: expected 'engine running'"},
        BadCase{"refuel centre 10\n", "1: tank must be left, right or aux, not 'centre'"},
        BadCase{"refuel left -5\n", "1: '-5' is not a number of gallons from 0 to 1000"},
        BadCase{"window 10 shut\n", "1: window action must be open, close or toggle, not 'shut'"}));

TEST(Scenario, ShippedScenariosRead)
{
    for (const char* name : {"demo_flight.txt", "engine_start.txt"}) {
        Scenario s = load_scenario(std::string(ORVANE_SOURCE_DIR "/scenarios/") + name);
        EXPECT_GT(s.steps.size(), 5u) << name;
        EXPECT_GT(s.duration(), 5.0) << name;
    }
}

}  // namespace
