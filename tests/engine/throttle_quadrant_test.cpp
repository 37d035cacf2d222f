// "Throttle_quadrant" through the host: lever positions sent by the drag
// areas (before and after the first service message 6, at the default and
// a doubled drawn width, dragged outside the slot and the gauge), the
// slider offsets, the percent tooltips, and defined results for absurd
// sizes and pointer positions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/module.h"
#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

struct Event {
    std::string id;
    int32_t value;
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* os)
{
    *os << e.id << " " << e.value;
}

std::vector<Event> events_of(const nlohmann::json& report)
{
    std::vector<Event> out;
    for (const auto& e : report["events"]) out.push_back({e["id"], e["value"]});
    return out;
}

// x inside each slot.
const char* const THROTTLE_X = "60";
const char* const MIXTURE_X = "180";
const char* const PROPELLER_X = "290";

std::string at(const char* x, int y)
{
    return std::string(x) + "," + std::to_string(y);
}

struct DragCase {
    const char* x;
    int y;
    const char* event;
    int32_t value;
};

void PrintTo(const DragCase& c, std::ostream* os)
{
    *os << c.x << "," << c.y;
}

class LeverPositions : public ::testing::TestWithParam<DragCase> {};

// Drawn at the default width 344: H = 530, one pointer unit per pixel.
TEST_P(LeverPositions, PressSendsThePositionUnderThePointer)
{
    const DragCase& c = GetParam();
    auto r =
        probe("Orvane_engine", "Throttle_quadrant", {"--updates", "1", "--press", at(c.x, c.y), "--release"});
    EXPECT_EQ(events_of(r), (std::vector<Event>{{c.event, c.value}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeverPositions,
    ::testing::Values(DragCase{THROTTLE_X, 0, "0x1011C", 16383}, DragCase{THROTTLE_X, 1, "0x1011C", 16343},
                      DragCase{THROTTLE_X, 205, "0x1011C", 8191},  // 8191.5 truncated
                      DragCase{THROTTLE_X, 410, "0x1011C", 0}, DragCase{THROTTLE_X, 470, "0x1011C", -2397},
                      DragCase{THROTTLE_X, 529, "0x1011C", -4755}, DragCase{MIXTURE_X, 8, "0x1017F", 16383},
                      DragCase{MIXTURE_X, 210, "0x1017F", 8191}, DragCase{MIXTURE_X, 412, "0x1017F", 0},
                      DragCase{MIXTURE_X, 517, "0x1017F", -4257}, DragCase{PROPELLER_X, 70, "0x10183", 16383},
                      DragCase{PROPELLER_X, 218, "0x10183", 8219}, DragCase{PROPELLER_X, 367, "0x10183", 0},
                      DragCase{PROPELLER_X, 465, "0x10183", -5405}));

TEST(ThrottleQuadrant, DragFollowsThePointerAlsoBeyondTheTravelAndTheGauge)
{
    // The slot ends at the gauge's bottom edge (530) and the mixture and
    // propeller slots at 518 and 467; the Part's bottom values lie on those
    // edges, so they are reached by dragging there.
    auto r = probe("Orvane_engine", "Throttle_quadrant", {"--updates",        "1",
                                                          "--press",          at(THROTTLE_X, 100),
                                                          "--move",           at(THROTTLE_X, 530),
                                                          "--move",           "500,600",
                                                          "--move",           "60,-41",
                                                          "--release",        "--move",
                                                          at(THROTTLE_X, 0),  "--press",
                                                          at(MIXTURE_X, 100), "--move",
                                                          at(MIXTURE_X, 518), "--release",
                                                          "--press",          at(PROPELLER_X, 100),
                                                          "--move",           at(PROPELLER_X, 467),
                                                          "--release"});
    EXPECT_EQ(events_of(r),
              (std::vector<Event>{{"0x1011C", 12387},     // 100: (410 - 100) / 410 x 16383 = 12387.1
                                  {"0x1011C", -4795},     // 530
                                  {"0x1011C", -7592},     // 600, outside the gauge
                                  {"0x1011C", 18021},     // -41, above the gauge
                                  {"0x1017F", 12652},     // 100: 312 / 404 x 16383 = 12652.2
                                  {"0x1017F", -4298},     // 518
                                  {"0x10183", 14728},     // 100: 267 / 297 x 16383 = 14728.2
                                  {"0x10183", -5516}}));  // 467
}

TEST(ThrottleQuadrant, BeforeTheFirstServiceMessageSixTheHeightIsOne)
{
    // H = 1.0: s = 530, so one pointer unit is 530 pixels.
    auto r = probe("Orvane_engine", "Throttle_quadrant",
                   {"--updates", "0", "--press", at(THROTTLE_X, 0), "--move", at(THROTTLE_X, 1), "--release",
                    "--updates", "1", "--press", at(THROTTLE_X, 1), "--release"});
    EXPECT_EQ(events_of(r), (std::vector<Event>{{"0x1011C", 16383}, {"0x1011C", -4795}, {"0x1011C", 16343}}));
}

TEST(ThrottleQuadrant, DoubleWidthHalvesThePointerUnit)
{
    // Drawn at 688: the host writes 688 into the size field, H = 1060, s = 0.5.
    auto r = probe("Orvane_engine", "Throttle_quadrant",
                   {"--width", "688", "--updates", "1", "--press", "120,410", "--move", "120,820",
                    "--release", "--press", "360,16", "--release", "--press", "580,734", "--release"});
    EXPECT_EQ(r["size"], 688);
    EXPECT_EQ(events_of(r),
              (std::vector<Event>{{"0x1011C", 8191}, {"0x1011C", 0}, {"0x1017F", 16383}, {"0x10183", 0}}));
}

TEST(ThrottleQuadrant, SlotsAreSeparateAndOnlyTheirBoxesAct)
{
    // Gaps: x 120..127 between throttle and mixture, 235..244 between
    // mixture and propeller; the mixture slot spans y 8..517 only.
    for (const char* point :
         {"120,100", "127,100", "235,100", "244,100", "343,100", "180,7", "180,518", "290,69", "290,467"}) {
        auto r =
            probe("Orvane_engine", "Throttle_quadrant", {"--updates", "1", "--press", point, "--release"});
        EXPECT_TRUE(r["events"].empty()) << point << ": " << r["events"];
    }
    for (auto [point, id] : {std::pair{"0,0", "0x1011C"},
                             {"119,529", "0x1011C"},
                             {"128,8", "0x1017F"},
                             {"234,517", "0x1017F"},
                             {"245,70", "0x10183"},
                             {"342,466", "0x10183"}}) {
        auto r =
            probe("Orvane_engine", "Throttle_quadrant", {"--updates", "1", "--press", point, "--release"});
        ASSERT_EQ(r["events"].size(), 1u) << point;
        EXPECT_EQ(r["events"][0]["id"], id) << point;
    }
}

struct SliderCase {
    const char* token;
    int element;
    double offset;  // callback value, pixels below the element's position
    int pixels;     // drawn offset
};

void PrintTo(const SliderCase& c, std::ostream* os)
{
    *os << c.token;
}

class SliderOffsets : public ::testing::TestWithParam<SliderCase> {};

TEST_P(SliderOffsets, KnobMovesDownByTravelTimesOneMinusFraction)
{
    const SliderCase& c = GetParam();
    auto r = probe("Orvane_engine", "Throttle_quadrant", {"--token", c.token});
    const auto& knob = element(r, c.element);
    EXPECT_NEAR(knob["values"][1].get<double>(), c.offset, 1e-9);
    EXPECT_EQ(knob["offset_y"], c.pixels);
    EXPECT_EQ(knob["offset_x"], 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SliderOffsets,
                         ::testing::Values(SliderCase{"558=1", 4, 0, 0}, SliderCase{"558=0", 4, 410, 410},
                                           SliderCase{"558=0.5", 4, 205, 205},
                                           SliderCase{"558=1.5", 4, -205, -205},
                                           SliderCase{"558=-0.25", 4, 512.5, 513},
                                           SliderCase{"560=1", 3, 0, 0}, SliderCase{"560=0", 3, 404, 404},
                                           SliderCase{"560=0.5", 3, 202, 202}, SliderCase{"559=1", 2, 0, 0},
                                           SliderCase{"559=0", 2, 297, 297},
                                           SliderCase{"559=2", 2, -297, -297}));

TEST(ThrottleQuadrant, SliderPassesNaNUnclamped)
{
    auto r = probe("Orvane_engine", "Throttle_quadrant", {"--token", "558=nan"});
    EXPECT_TRUE(element(r, 4)["values"][1].is_null());
    EXPECT_EQ(element(r, 4)["values_text"][1], "nan");
}

TEST(ThrottleQuadrant, PercentTooltips)
{
    struct {
        const char* token;
        const char* at;
        const char* text;
    } cases[] = {{"558=0.75", "60,300", "Throttle Control (75%)"},
                 {"560=0.755", "180,300", "Mixture Control (75%)"},
                 {"559=1", "290,300", "Propeller Control (100%)"},
                 {"559=1.234", "290,300", "Propeller Control (123%)"},
                 {"558=-0.5", "60,300", "Throttle Control (-50%)"},
                 {"558=0.75", "124,300", nullptr}};
    for (auto& c : cases) {
        auto r = probe("Orvane_engine", "Throttle_quadrant", {"--token", c.token, "--hover", c.at});
        if (c.text)
            EXPECT_EQ(r["tooltips"][0]["text"], c.text) << c.token;
        else
            EXPECT_TRUE(r["tooltips"][0]["text"].is_null()) << c.at;
    }
}

TEST(ThrottleQuadrant, NoFailureReachesTheQuadrant)
{
    for (const char* key : {"2", "10", "20"}) {
        auto r = probe("Orvane_engine", "Throttle_quadrant",
                       {"--token", "558=0.5", "--fail", key, "--updates", "1"});
        EXPECT_EQ(element(r, 4)["offset_y"], 205) << key;
    }
}

// ---------------------------------------------------------------------------
// Absurd sizes and pointer positions

// The lever position as the drag callback defines it: truncation toward
// zero through 64 bits (NaN 0, saturating), low 32 bits sent.
int32_t lever_position(double size_field, double y, double travel, double top)
{
    float w = float(size_field);
    float h = w * 1.5406977f;
    double s = 530 / double(h);
    double b = travel / s;
    double f = (b - (y - top / s)) / b * 16383;
    int64_t n;
    if (std::isnan(f))
        n = 0;
    else if (f >= 9223372036854775808.0)
        n = INT64_MAX;
    else if (f <= -9223372036854775808.0)
        n = INT64_MIN;
    else
        n = int64_t(f);
    return int32_t(uint32_t(uint64_t(n) & 0xFFFFFFFFu));
}

TEST(ThrottleQuadrant, FarPointerPositionsThroughTheProbe)
{
    struct {
        int width;
        const char* press;
        double y;
    } cases[] = {{1, "0,0", 1000000},      {1, "0,0", -1000000}, {16384, "0,0", 1000000},
                 {16384, "0,0", -1000000}, {344, "0,0", 999999}, {344, "0,0", -999999}};
    for (auto& c : cases) {
        auto r = probe("Orvane_engine", "Throttle_quadrant",
                       {"--width", std::to_string(c.width), "--updates", "1", "--press", c.press, "--move",
                        "0," + std::to_string(int(c.y)), "--release"});
        ASSERT_EQ(r["events"].size(), 2u);
        EXPECT_EQ(r["events"][0]["value"], 16383) << c.width;
        EXPECT_EQ(r["events"][1]["value"], lever_position(c.width, c.y, 410, 0)) << c.width << " " << c.y;
    }
}

// Size fields and pointer rows no panel draws, set straight in the header
// and the position record: the conversion stays defined (the UBSan build
// checks it) and gives the values above.
TEST(ThrottleQuadrant, AbsurdSizeFieldsAndPointerRows)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    std::string path =
        (std::filesystem::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name("Orvane_engine")).string();
    gaugehost::Module& module = host.load_module(path);
    GaugeHeader* quadrant = module.find_gauge("Throttle_quadrant");
    ASSERT_NE(quadrant, nullptr);
    std::vector<const MouseArea*> slots;
    for (const MouseArea* a = quadrant->mouse_list; a->kind != MOUSE_END; ++a)
        if (a->kind == MOUSE_CLICK) slots.push_back(a);
    ASSERT_EQ(slots.size(), 3u);
    const double travel[] = {410, 404, 297}, top[] = {0, 8, 70};

    const uint32_t sizes[] = {0, 1, 3, 344, 687, 4294967295u};
    const int32_t rows[] = {INT32_MIN, -1, 0, 1, 265, 530, INT32_MAX};
    for (uint32_t size : sizes) {
        for (int32_t y : rows) {
            for (size_t lever = 0; lever < 3; ++lever) {
                host.clear_records();
                gaugehost::Host::Scope scope(host);
                uint32_t kept = quadrant->size;
                quadrant->size = size;
                quadrant->callback(quadrant, SERVICE_PRE_UPDATE, 0);
                quadrant->size = kept;
                Point position{12345, y};
                EXPECT_EQ(slots[lever]->routine.callback(&position, MOUSE_LEFT_CLICK), 1);
                ASSERT_EQ(host.key_events().size(), 1u);
                EXPECT_EQ(host.key_events()[0].signed_value(),
                          lever_position(size, y, travel[lever], top[lever]))
                    << "size " << size << " y " << y << " lever " << lever;
            }
        }
    }
    // Size 0: H = 0, s infinite, B = 0; f is NaN at y 0 (sent as 0) and
    // infinite elsewhere (saturated: low bits of INT64_MIN are 0, of
    // INT64_MAX all ones).
    EXPECT_EQ(lever_position(0, 0, 410, 0), 0);
    EXPECT_EQ(lever_position(0, 5, 410, 0), 0);
    EXPECT_EQ(lever_position(0, -5, 410, 0), -1);
}

TEST(ThrottleQuadrant, OtherServiceMessagesLeaveTheSizeAlone)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    std::string path =
        (std::filesystem::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name("Orvane_engine")).string();
    GaugeHeader* quadrant = host.load_module(path).find_gauge("Throttle_quadrant");
    ASSERT_NE(quadrant, nullptr);
    const MouseArea* throttle = nullptr;
    for (const MouseArea* a = quadrant->mouse_list; a->kind != MOUSE_END; ++a)
        if (a->kind == MOUSE_CLICK && !throttle) throttle = a;
    gaugehost::Host::Scope scope(host);
    for (int32_t message : {0, 1, 5, 7, 13, -1}) quadrant->callback(quadrant, message, 344);
    Point position{10, 1};
    throttle->routine.callback(&position, MOUSE_LEFT_CLICK);
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_EQ(host.key_events()[0].signed_value(), -4795);  // still H = 1.0
}

}  // namespace
