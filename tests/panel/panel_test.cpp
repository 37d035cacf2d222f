// The panel with the real gauges: placing, window toggles from the icon
// gauges, the front-most window taking the mouse, and the engine started by
// clicks only on the shipped panel. Tests that need a gauge the modules do
// not offer yet say so and skip.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "host/model/aircraft.h"
#include "host/panel/session.h"
#include "tests/support/support.h"

using namespace gaugehost;

namespace {

const std::string kPanel = ORVANE_SOURCE_DIR "/panel/orvane.cfg";

// The gauges of `names` ("Module!Gauge") that the built modules lack.
std::string missing_gauges(const std::vector<std::string>& names)
{
    TokenStore tokens;
    Host host(tokens);
    std::string missing;
    for (const auto& n : names) {
        std::string module = n.substr(0, n.find('!')), gauge = n.substr(n.find('!') + 1);
        Module* m = host.module(module);
        std::string path = std::string(ORVANE_GAUGES_DIR) + "/" + module_file_name(module);
        if (!m && std::filesystem::exists(path)) m = &host.load_module(path);
        if (!m || !m->find_gauge(gauge)) missing += " " + n;
    }
    return missing;
}

std::vector<std::string> gauges_of(const PanelConfig& c)
{
    std::vector<std::string> all;
    for (const auto& w : c.windows)
        for (const auto& g : w.gauges) all.push_back(g.module + "!" + g.gauge);
    return all;
}

#define REQUIRE_GAUGES(...)                                                       \
    do {                                                                          \
        std::string missing = missing_gauges(__VA_ARGS__);                        \
        if (!missing.empty()) GTEST_SKIP() << "gauges not built yet:" << missing; \
    } while (0)

const char* kIconPanel =
    "[Window00]\ntitle=Main\nident=0\nposition=0,0\nsize=400,300\n"
    "gauge00=Orvane!Airspeed, 0, 0, 200\n"
    "gauge01=Orvane!Icon_Engine_Quadrant, 300, 250\n"
    "gauge02=Orvane!Icon_Throttle_Quadrant, 330, 250, 38\n"
    "gauge03=Orvane!Icon_Map, 370, 250\n"
    "[Window01]\ntitle=Engine\nident=10000\nposition=100,50\nsize=200,200\nvisible=0\n"
    "gauge00=Orvane!Airspeed, 10, 10, 100\n"
    "[Window02]\ntitle=Quadrant\nident=10\nposition=0,200\nsize=100,100\nvisible=0\n";

TEST(Panel, PlacesGaugesAtTheirDrawnSize)
{
    REQUIRE_GAUGES({"Orvane!Airspeed"});
    PanelConfig c = parse_panel_config(
        "[Window00]\ntitle=T\nident=0\nposition=10,20\nsize=900,600\n"
        "gauge00=Orvane!Airspeed, 5, 6\ngauge01=Orvane!Airspeed, 300, 6, 141\n",
        "p.cfg");
    Session s(c, ORVANE_GAUGES_DIR);
    auto& gauges = s.panel().windows()[0].gauges;
    EXPECT_EQ(gauges[0].x, 15);
    EXPECT_EQ(gauges[0].y, 26);
    EXPECT_EQ(gauges[0].width, 283);
    EXPECT_EQ(gauges[1].width, 141);
    EXPECT_EQ(gauges[1].gauge->drawn_width(), 141);
    // Two instances of one gauge: find() cannot tell them apart.
    EXPECT_EQ(s.panel().find("Airspeed"), nullptr);
    if (gauges[0].gauge->background_height() == 0) GTEST_SKIP() << "the module's bitmaps are not built yet";
    EXPECT_EQ(gauges[0].height, 285);
    EXPECT_EQ(gauges[1].height, 142);  // 285 * 141 / 283, rounded
}

TEST(Panel, UnknownModuleOrGaugeNamesTheLine)
{
    REQUIRE_GAUGES({"Orvane!Airspeed"});
    struct {
        const char* line;
        std::string message;
    } cases[] = {
        {"gauge00=Orvane!Airspeeed, 0, 0", "p.cfg:6: module Orvane has no gauge 'Airspeeed'"},
        {"gauge00=Nowhere!Airspeed, 0, 0",
         "p.cfg:6: unknown module 'Nowhere' (no " ORVANE_GAUGES_DIR "/" + module_file_name("Nowhere") + ")"},
    };
    for (const auto& c : cases) {
        std::string text =
            std::string("[Window00]\ntitle=T\nident=0\nposition=0,0\nsize=9,9\n") + c.line + "\n";
        try {
            Session s(parse_panel_config(text, "p.cfg"), ORVANE_GAUGES_DIR);
            ADD_FAILURE() << "accepted " << c.line;
        } catch (const PanelConfigError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(Panel, FrontMostOpenWindowTakesThePointer)
{
    REQUIRE_GAUGES({"Orvane!Airspeed", "Orvane!Icon_Engine_Quadrant", "Orvane!Icon_Throttle_Quadrant",
                    "Orvane!Icon_Map"});
    Session s(parse_panel_config(kIconPanel, "p.cfg"), ORVANE_GAUGES_DIR);
    Panel& p = s.panel();
    // (150,100) lies on the main panel's airspeed and on the closed engine
    // window's airspeed.
    auto h = p.hit(150, 100);
    ASSERT_TRUE(h && h->gauge);
    EXPECT_EQ(h->window->config.ident, 0);
    EXPECT_EQ(h->x, 150);
    p.set_visible(10000, true);
    h = p.hit(150, 100);
    ASSERT_TRUE(h && h->gauge);
    EXPECT_EQ(h->window->config.ident, 10000);
    EXPECT_EQ(h->x, 40);
    EXPECT_EQ(h->y, 40);
    // An open window with nothing under the pointer still covers what lies
    // behind it.
    h = p.hit(290, 240);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->window->config.ident, 10000);
    EXPECT_EQ(h->gauge, nullptr);
    EXPECT_FALSE(p.hit(500, 500).has_value());
}

TEST(Panel, IconGaugesOpenAndCloseTheirWindows)
{
    REQUIRE_GAUGES({"Orvane!Airspeed", "Orvane!Icon_Engine_Quadrant", "Orvane!Icon_Throttle_Quadrant",
                    "Orvane!Icon_Map"});
    Session s(parse_panel_config(kIconPanel, "p.cfg"), ORVANE_GAUGES_DIR);
    Panel& p = s.panel();
    auto visible = [&](int ident) { return p.window(ident)->visible; };
    ASSERT_FALSE(visible(10000));
    ASSERT_FALSE(visible(10));

    struct {
        double x, y;  // panel position clicked
        bool engine, quadrant;
    } clicks[] = {
        {309, 259, true, false},   // engine icon: opens 10000
        {300, 250, false, false},  // its top-left pixel: closes it again
        {367, 287, false, true},   // quadrant icon drawn at 38: its bottom-right pixel
        {318.9, 268.9, true, true}, {319, 259, true, true},  // just right of the engine icon: nothing
        {330, 250, true, false},
    };
    for (const auto& c : clicks) {
        p.press(c.x, c.y);
        p.release();
        s.tick();
        EXPECT_EQ(visible(10000), c.engine) << c.x << "," << c.y;
        EXPECT_EQ(visible(10), c.quadrant) << c.x << "," << c.y;
    }
    EXPECT_TRUE(p.unknown_toggles().empty());

    // The map icon asks the aircraft for the flight map.
    p.press(375, 255);
    p.release();
    ASSERT_EQ(s.aircraft().messages().size(), 1u);
    EXPECT_EQ(s.aircraft().messages()[0], "flight map requested");
}

TEST(Panel, ToggleOfAWindowThePanelLacksIsNoted)
{
    REQUIRE_GAUGES({"Orvane!Icon_Engine_Quadrant"});
    Session s(parse_panel_config("[Window00]\ntitle=T\nident=0\nposition=0,0\nsize=50,50\n"
                                 "gauge00=Orvane!Icon_Engine_Quadrant, 0, 0\n",
                                 "p.cfg"),
              ORVANE_GAUGES_DIR);
    s.panel().press(5, 5);
    ASSERT_EQ(s.panel().unknown_toggles().size(), 1u);
    EXPECT_EQ(s.panel().unknown_toggles()[0], 10000u);
}

TEST(Panel, GaugesOfClosedWindowsAreNotUpdated)
{
    REQUIRE_GAUGES({"Orvane!Airspeed", "Orvane!Icon_Engine_Quadrant", "Orvane!Icon_Throttle_Quadrant",
                    "Orvane!Icon_Map"});
    Session s(parse_panel_config(kIconPanel, "p.cfg"), ORVANE_GAUGES_DIR);
    s.aircraft().set(token::airspeed, 100);
    s.tick();
    auto& front = s.panel().windows()[0].gauges[0];
    auto& hidden = s.panel().windows()[1].gauges[0];
    EXPECT_NEAR(front.gauge->elements()[3].values.at(0), 115.078, 1e-3);
    EXPECT_TRUE(hidden.gauge->elements()[3].values.empty() ||
                hidden.gauge->elements()[3].values[0] != 115.078);
    s.panel().set_visible(10000, true);
    s.tick();
    EXPECT_NEAR(hidden.gauge->elements()[3].values.at(0), 115.078, 1e-3);
}

TEST(Session, ScenarioNamingAGaugeNotOnThePanelFailsBeforeItStarts)
{
    REQUIRE_GAUGES({"Orvane!Airspeed", "Orvane!Icon_Engine_Quadrant", "Orvane!Icon_Throttle_Quadrant",
                    "Orvane!Icon_Map"});
    Session s(parse_panel_config(kIconPanel, "p.cfg"), ORVANE_GAUGES_DIR);
    try {
        s.play(parse_scenario("wait 1\nclick Ignition 1,1\n", "s.txt"));
        FAIL();
    } catch (const ScenarioError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "s.txt:2: no gauge 'Ignition' on the panel (or several: name it as Module!Gauge)");
    }
    // A gauge in a closed window cannot be clicked.
    s.panel().set_visible(10000, false);
    PanelConfig c = parse_panel_config(kIconPanel, "p.cfg");
    Session t(c, ORVANE_GAUGES_DIR);
    t.play(parse_scenario("click Icon_Map 1,1\nwindow 0 close\nwait 1\nclick Icon_Map 1,1\n", "s.txt"));
    try {
        t.run_until(2);
        FAIL();
    } catch (const ScenarioError& e) {
        EXPECT_EQ(std::string(e.what()), "s.txt:4: gauge 'Icon_Map' is in window 0 (Main), which is closed");
    }
    EXPECT_EQ(t.aircraft().messages().size(), 1u);
}

TEST(Session, TimedStepsTakeTheirTime)
{
    REQUIRE_GAUGES({"Orvane!Airspeed", "Orvane!Icon_Engine_Quadrant", "Orvane!Icon_Throttle_Quadrant",
                    "Orvane!Icon_Map"});
    Session s(parse_panel_config(kIconPanel, "p.cfg"), ORVANE_GAUGES_DIR);
    s.play(parse_scenario("set 61 50\nwait 1\nset 61 80\nwait 0.5\nrelease 61\n", "s.txt"));
    s.tick();
    EXPECT_EQ(s.aircraft().value(token::airspeed), 50);
    s.run_until(1.0);
    EXPECT_EQ(s.aircraft().value(token::airspeed), 50);
    s.tick();
    EXPECT_EQ(s.aircraft().value(token::airspeed), 80);
    s.run_until(1.5);
    EXPECT_FALSE(s.scenario_done());
    s.tick();
    EXPECT_TRUE(s.scenario_done());
    EXPECT_FALSE(s.aircraft().overridden(token::airspeed));
}

// The shipped panel, driven only by clicks on the real gauges' click areas:
// battery, magnetos, fuel selector, mixture, starter.
TEST(EndToEnd, EngineStartsByClicksOnly)
{
    REQUIRE_GAUGES(gauges_of(load_panel_config(kPanel)));
    Session s(kPanel, ORVANE_GAUGES_DIR);
    Scenario scenario = load_scenario(ORVANE_SOURCE_DIR "/scenarios/engine_start.txt");
    // Only clicks and waits: nothing set by hand, no key event typed.
    for (const auto& step : scenario.steps)
        ASSERT_TRUE(step.kind == ScenarioStep::Wait || step.kind == ScenarioStep::Click ||
                    step.kind == ScenarioStep::Hold || step.kind == ScenarioStep::Drag)
            << "line " << step.line;
    ASSERT_FALSE(s.aircraft().engine_running());
    s.play(scenario);
    std::set<uint32_t> sent;
    while (!s.scenario_done()) {
        s.tick();
        for (const auto& e : s.host().key_events()) sent.insert(e.id);
    }
    for (uint32_t id : {key::battery_toggle, key::magnetos_both, key::fuel_selector_set, key::mixture_set,
                        key::starter_engage})
        EXPECT_TRUE(sent.count(id)) << std::hex << id << " never sent";
    EXPECT_TRUE(s.aircraft().engine_running());
    double rpm = s.aircraft().value(token::rpm);
    EXPECT_GT(rpm, Aircraft::kIdleRpm + 100);
    EXPECT_EQ(s.aircraft().value(token::starter), 0.0) << "the starter let go after the engine caught";
    Panel::PlacedGauge* gauge = s.panel().find("RPM");
    ASSERT_NE(gauge, nullptr);
    ASSERT_TRUE(s.panel().window_of(*gauge)->visible);
    EXPECT_NEAR(gauge->gauge->elements()[1].values.at(0), rpm, 50);
    EXPECT_GT(gauge->gauge->elements()[1].values.at(0), Aircraft::kIdleRpm + 100);
}

}  // namespace
