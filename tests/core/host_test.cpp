// The host's element engine, mouse and tooltip handling, on the fixture
// module's "Probe" gauge (tests/core/fixture).
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "host/gauge.h"
#include "host/host.h"
#include "tests/support/support.h"

using orvane_test::element;

namespace {

nlohmann::json probe(const std::vector<std::string>& args)
{
    return orvane_test::probe_in(ORVANE_FIXTURES_DIR, "Fixture", "Probe", args);
}

// Element indexes in drawing order.
enum { FACE = 1, DIAL, BALL, ICON, SLIDER, STRIP, SPRITE, TEXT };

std::vector<std::string> event_ids(const nlohmann::json& r)
{
    std::vector<std::string> ids;
    for (const auto& e : r["events"]) ids.push_back(e["id"]);
    return ids;
}

TEST(ElementChain, DrawingOrderFollowsEachListBeforeTheNextEntry)
{
    auto r = probe({});
    std::vector<std::string> kinds;
    for (const auto& e : r["elements"]) kinds.push_back(e["kind"]);
    EXPECT_EQ(kinds, (std::vector<std::string>{"static", "needle", "needle", "icon", "slider", "moving", "sprite",
                                               "string"}));
}

struct AngleCase {
    const char* token;  // N=V
    int element;
    double angle;  // screen degrees, clockwise from the x axis, in [0, 360)
};

class NeedleAngles : public ::testing::TestWithParam<AngleCase> {};

TEST_P(NeedleAngles, FirstUpdateDrawsAtTheTableAngle)
{
    const AngleCase& c = GetParam();
    auto r = probe({"--token", c.token});
    EXPECT_NEAR(element(r, c.element)["angle"].get<double>(), c.angle, 1e-9) << c.token;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NeedleAngles,
    ::testing::Values(AngleCase{"1001=0", DIAL, 270},     // first row: straight up
                      AngleCase{"1001=5", DIAL, 315},     // between rows
                      AngleCase{"1001=10", DIAL, 0},      // on a row
                      AngleCase{"1001=30", DIAL, 180},    // last row
                      AngleCase{"1001=35", DIAL, 225},    // beyond the last row: 9 degrees per unit on
                      AngleCase{"1001=-5", DIAL, 225},    // before the first row
                      AngleCase{"1001=40", DIAL, 270},    // a whole turn
                      AngleCase{"1002=100", BALL, 0},     // descending table: first row
                      AngleCase{"1002=50", BALL, 45},
                      AngleCase{"1002=-100", BALL, 180},
                      AngleCase{"1002=150", BALL, 315},   // beyond the first row
                      AngleCase{"1002=-150", BALL, 225}));

TEST(Needle, ValuesWithoutADirectionLeaveTheNeedleWhereItWas)
{
    for (const char* v : {"nan", "inf", "-inf", "1e300"}) {
        auto r = probe({"--token", "1001=10", "--updates", "1", "--token", std::string("1001=") + v, "--updates", "1"});
        EXPECT_NEAR(element(r, DIAL)["angle"].get<double>(), 0, 1e-9) << v;
        EXPECT_TRUE(element(r, DIAL)["target_angle"].is_null()) << v;
    }
    auto first = probe({"--token", "1001=nan"});
    EXPECT_NEAR(element(first, DIAL)["angle"].get<double>(), 270, 1e-9);  // rests on the first row
}

TEST(Needle, TurnsByTheRotationLimitTheShorterWayRound)
{
    // From 0 (up) to 10 (right): 90 degrees clockwise at 10 per update.
    auto r = probe({"--updates", "1", "--token", "1001=10", "--updates", "3"});
    EXPECT_NEAR(element(r, DIAL)["angle"].get<double>(), 300, 1e-9);
    // From 0 to 30 (left): anticlockwise is shorter.
    r = probe({"--updates", "1", "--token", "1001=30", "--updates", "2"});
    EXPECT_NEAR(element(r, DIAL)["angle"].get<double>(), 250, 1e-9);
    // Reaches the target and stays there.
    r = probe({"--updates", "1", "--token", "1001=10", "--updates", "20"});
    EXPECT_NEAR(element(r, DIAL)["angle"].get<double>(), 0, 1e-9);
    // A limit of 0 jumps.
    r = probe({"--updates", "1", "--token", "1002=-100", "--updates", "1"});
    EXPECT_NEAR(element(r, BALL)["angle"].get<double>(), 180, 1e-9);
}

TEST(Icon, PictureIsTheTruncatedValueWithinThePictureCount)
{
    struct {
        const char* value;
        int picture;
    } cases[] = {{"0", 0}, {"1", 1}, {"2.9", 2}, {"7", 2}, {"-1", 0}, {"-0.5", 0},
                 {"nan", 0}, {"inf", 2}, {"-inf", 0}, {"1e300", 2}};
    for (auto& c : cases) {
        auto r = probe({"--token", std::string("1003=") + c.value});
        EXPECT_EQ(element(r, ICON)["picture"], c.picture) << c.value;
        EXPECT_EQ(element(r, ICON)["bitmap"], 110 + c.picture) << c.value;
    }
}

TEST(Slider, OffsetIsTheRoundedProductWithTheScale)
{
    struct {
        const char* value;
        int offset;
    } cases[] = {{"1", 3}, {"-1", -3}, {"0.2", 1}, {"0", 0}, {"nan", 0},
                 {"1e300", 2147483647}, {"-inf", -2147483647 - 1}};
    for (auto& c : cases) {
        auto r = probe({"--token", std::string("1004=") + c.value});
        EXPECT_EQ(element(r, SLIDER)["offset_y"], c.offset) << c.value;
        EXPECT_EQ(element(r, SLIDER)["offset_x"], 0) << c.value;
    }
}

TEST(MovingImage, StripPositionIsTheClampedProportionOfTheRange)
{
    struct {
        const char* value;
        double p;
    } cases[] = {{"0", 0}, {"90", 0.25}, {"360", 1}, {"-10", 0}, {"400", 1}, {"nan", 0}, {"inf", 1}};
    for (auto& c : cases) {
        auto r = probe({"--token", std::string("1005=") + c.value});
        EXPECT_DOUBLE_EQ(element(r, STRIP)["strip_x"].get<double>(), c.p) << c.value;
        EXPECT_DOUBLE_EQ(element(r, STRIP)["strip_y"].get<double>(), 0) << c.value;  // range 0..0
    }
}

TEST(Sprite, AxesWithoutCallbackTakeTheTokenTimesTheScale)
{
    auto r = probe({"--token", "1006=10"});
    EXPECT_DOUBLE_EQ(element(r, SPRITE)["shift_x"].get<double>(), 0);
    EXPECT_DOUBLE_EQ(element(r, SPRITE)["shift_y"].get<double>(), 20);
    EXPECT_DOUBLE_EQ(element(r, SPRITE)["rotation"].get<double>(), -10);
}

TEST(StringElement, TextComesFromTheBufferAndWritesPastItAreCaught)
{
    struct {
        const char* length;
        size_t shown;
        bool overflow;
    } cases[] = {{"0", 0, false}, {"5", 5, false}, {"31", 31, false}, {"32", 31, true}, {"40", 31, true}};
    for (auto& c : cases) {
        auto r = probe({"--token", std::string("1007=") + c.length});
        const auto& t = element(r, TEXT);
        EXPECT_EQ(t["text"].get<std::string>(), std::string(c.shown, 'x')) << c.length;
        EXPECT_EQ(t.value("text_overflow", false), c.overflow) << c.length;
    }
}

TEST(Failures, ActionOneFreezesActionTwoZeroesOthersCarryOn)
{
    // Key 5 (action 1): the dial stays as last drawn; the ball has no failure list.
    auto r = probe({"--token", "1001=10", "--token", "1002=100", "--updates", "1", "--fail", "5", "--token",
                    "1001=30", "--token", "1002=-100", "--updates", "5"});
    EXPECT_NEAR(element(r, DIAL)["angle"].get<double>(), 0, 1e-9);
    EXPECT_EQ(element(r, DIAL)["frozen"], true);
    EXPECT_NEAR(element(r, BALL)["angle"].get<double>(), 180, 1e-9);
    // Key 9 (action 2): values read 0.
    r = probe({"--fail", "9", "--token", "1001=10", "--token", "1003=2", "--updates", "1"});
    EXPECT_EQ(element(r, DIAL)["values"][0].get<double>(), 0.0);
    EXPECT_EQ(element(r, ICON)["picture"], 0);
    // Repaired: back to the input.
    r = probe({"--fail", "9", "--token", "1003=2", "--updates", "1", "--repair", "9", "--updates", "1"});
    EXPECT_EQ(element(r, ICON)["picture"], 2);
}

TEST(Mouse, SharedPixelsReachExactlyOneRoutine)
{
    struct {
        const char* at;
        std::vector<std::string> events;
    } cases[] = {
        {"49,45", {"0x11001"}}, {"50,45", {"0x11001"}},  // column 50 belongs to both: first in order wins
        {"51,45", {"0x11002"}}, {"99,59", {"0x11002"}},
        {"100,45", {}},                                   // half-open: x < 100
        {"50,60", {}},          {"50,39", {}},
    };
    for (auto& c : cases) {
        auto r = probe({"--click", c.at});
        EXPECT_EQ(event_ids(r), c.events) << c.at;
    }
}

TEST(Mouse, ClickFlagsMustMatchTheArea)
{
    // A right click (0x80000000) is not an action the left-click areas take.
    auto r = probe({"--click", "10,45,0x80000000"});
    EXPECT_TRUE(r["events"].empty());
}

TEST(Mouse, RepeatAreaIsCalledEveryHundredMillisecondsWhileHeld)
{
    struct {
        const char* ms;
        size_t calls;
    } cases[] = {{"0", 1}, {"99", 1}, {"100", 2}, {"350", 4}, {"1000", 11}};
    for (auto& c : cases) {
        auto r = probe({"--hold", std::string("10,75,") + c.ms});
        EXPECT_EQ(r["events"].size(), c.calls) << c.ms;
        for (const auto& e : r["events"]) EXPECT_EQ(e["id"], "0x11003");
    }
    // A plain click area is called once however long it is held.
    auto r = probe({"--hold", "10,45,500"});
    EXPECT_EQ(event_ids(r), (std::vector<std::string>{"0x11001"}));
}

TEST(Mouse, DragAreaKeepsTheMouseUntilReleaseEvenOutsideTheGauge)
{
    auto r = probe({"--press", "35,75", "--move", "35,80", "--move", "300,-40", "--release", "--move", "35,90"});
    ASSERT_EQ(r["events"].size(), 3u);
    EXPECT_EQ(r["events"][0]["value"], 75);
    EXPECT_EQ(r["events"][1]["value"], 80);
    EXPECT_EQ(r["events"][2]["value"], -40);  // sent as two's complement
}

TEST(Mouse, WindowTogglesAreRecordedEachTime)
{
    auto r = probe({"--click", "85,85", "--click", "85,85"});
    EXPECT_EQ(r["windows"], nlohmann::json::array({77, 77}));
}

TEST(Mouse, DrawnWidthScalesPointerPositionsAndTheSizeField)
{
    // At width 200 the drawn units are twice the gauge's pixels.
    auto r = probe({"--width", "200", "--click", "101,90", "--press", "70,150", "--release"});
    EXPECT_EQ(event_ids(r), (std::vector<std::string>{"0x11001", "0x11004"}));
    EXPECT_EQ(r["events"][1]["value"], 150);  // the routine gets drawn units
    EXPECT_EQ(r["size"], 200);
}

TEST(Tooltips, InnermostParentWithATooltipWins)
{
    auto r = probe({"--token", "1001=75.9", "--token", "1002=1.5", "--hover", "5,5", "--hover", "12,12",
                    "--hover", "16,16", "--hover", "70,20", "--hover", "100,50", "--hover", "-1,5"});
    const auto& t = r["tooltips"];
    EXPECT_EQ(t[0]["text"], "Dial (75%) 1.50 text\u00B0");  // whole gauge
    EXPECT_EQ(t[1]["text"], "Inner 75");
    EXPECT_EQ(t[2]["text"], "Nested []");                     // null text inserts nothing
    EXPECT_EQ(t[3]["text"], "Dial (75%) 1.50 text\u00B0");  // parent without tooltip: whole gauge
    EXPECT_TRUE(t[4]["text"].is_null());                      // outside the gauge
    EXPECT_TRUE(t[5]["text"].is_null());
}

TEST(HostServices, StandardRoutinesOfAnyGaugePassTheFirstGaugesRoot)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    auto& module = host.load_module(std::string(ORVANE_FIXTURES_DIR) + "/Fixture.so");
    GaugeHeader* first = module.find_gauge("Probe");
    GaugeHeader* second = module.find_gauge("Second");
    ASSERT_TRUE(first && second);
    {
        gaugehost::Host::Scope scope(host);
        second->update();
        second->install(42);
        second->kill();
    }
    const auto& calls = host.element_list_calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].entry, 27);
    EXPECT_EQ(calls[1].entry, 25);
    EXPECT_EQ(calls[1].value, 42u);
    EXPECT_EQ(calls[2].entry, 31);
    for (const auto& c : calls) EXPECT_EQ(c.root, *first->element_list);
    // Module data stays put between gauges: the service table is in ImportTable.
    EXPECT_EQ(module.import_table()[0].services, host.services());
    EXPECT_EQ(module.gauges().size(), 2u);
}

TEST(HostServices, GaugeCallbackGetsMessageSixBeforeEachUpdate)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    auto& module = host.load_module(std::string(ORVANE_FIXTURES_DIR) + "/Fixture.so");
    gaugehost::Gauge gauge(host, module, module.find_gauge("Probe"));
    gauge.update();
    gauge.update();
    // The fixture's gauge callback calls its update routine on message 6.
    EXPECT_EQ(host.element_list_calls().size(), 2u);
}

}  // namespace
