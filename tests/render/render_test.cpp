// What the renderer draws for each element kind, checked on the pictures of
// the render fixture module (tests/render/fixture): needle tips on their
// table rows, the strip window, sprite direction, hidden and frozen
// elements, transparency and scaled drawing.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "fixture_art.h"
#include "host/gauge.h"
#include "host/host.h"
#include "host/render/renderer.h"
#include "render_support.h"
#include "tests/support/support.h"

using gaugehost::Image;
using gaugehost::Rgba;
using namespace render_test;

namespace {

// The needles turn about the centre of pixel (32,32).
constexpr double kCentre = 32.5;

struct TipCase {
    std::vector<std::string> steps;
    bool ball;           // the ball needle's blue tip, else the dial needle's red one
    double target_x, target_y;  // the pixel it must point at (row point), or a direction
    const char* what;
};

class NeedleTip : public ::testing::TestWithParam<TipCase> {};

TEST_P(NeedleTip, PointsAtTheRowPixel)
{
    const TipCase& c = GetParam();
    Image picture = draw("Dial", c.steps);
    Spot tip = find(picture, c.ball ? bluish : reddish);
    ASSERT_GT(tip.count, 0) << c.what;
    double expected = direction(kCentre, kCentre, c.target_x + 0.5, c.target_y + 0.5);
    EXPECT_LT(angle_between(direction(kCentre, kCentre, tip.x, tip.y), expected), 2.0)
        << c.what << ": tip at " << tip.x << "," << tip.y;
    // The tip sits at the needle's length from the centre (22 or 14.5 pixels).
    EXPECT_NEAR(std::hypot(tip.x - kCentre, tip.y - kCentre), c.ball ? 14.5 : 22.0, 1.0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NeedleTip,
    ::testing::Values(
        TipCase{{"--token", "2001=0"}, false, 32, 6, "first row, up"},
        TipCase{{"--token", "2001=10"}, false, 58, 32, "second row, right (0 degrees)"},
        TipCase{{"--token", "2001=20"}, false, 32, 58, "third row, down (90 degrees)"},
        TipCase{{"--token", "2001=30"}, false, 6, 32, "last row, left"},
        TipCase{{"--token", "2001=5"}, false, 58, 6, "between rows: 315 degrees"},
        TipCase{{"--token", "2001=35"}, false, 6, 6, "beyond the last row: 225 degrees"},
        TipCase{{"--token", "2001=-5"}, false, 6, 6, "before the first row: 225 degrees"},
        TipCase{{"--token", "2002=100"}, true, 58, 32, "descending table, first row"},
        TipCase{{"--token", "2002=0"}, true, 32, 58, "descending table, middle row"},
        TipCase{{"--token", "2002=-100"}, true, 6, 32, "descending table, last row"},
        TipCase{{"--token", "2002=50"}, true, 58, 58, "descending table, between rows: 45 degrees"},
        TipCase{{"--token", "2001=0", "--updates", "1", "--token", "2001=10", "--updates", "1"}, false, 32 + 100,
                32 - 100 * std::tan(75 * 3.14159265358979323846 / 180), "rotation limit: one step of 15 degrees"},
        TipCase{{"--token", "2001=0", "--updates", "1", "--token", "2001=10", "--updates", "3"}, false, 58, 6,
                "rotation limit: three steps"},
        TipCase{{"--token", "2001=0", "--updates", "1", "--token", "2001=10", "--updates", "7"}, false, 58, 32,
                "rotation limit: arrived and stays"},
        TipCase{{"--token", "2001=10", "--updates", "1", "--fail", "5", "--token", "2001=20", "--updates", "3"},
                false, 58, 32, "failure action 1 freezes the needle where it was drawn"}));

TEST(NeedleTip, ScaledDrawingScalesTheNeedle)
{
    Image big = draw("Dial", {"--token", "2001=20", "--width", "128"});
    ASSERT_EQ(big.width, 128);
    ASSERT_EQ(big.height, 128);
    Spot tip = find(big, reddish);
    EXPECT_NEAR(tip.x, 65.0, 1.5);
    EXPECT_NEAR(tip.y, 65.0 + 44.0, 2.0);

    Image small = draw("Dial", {"--width", "40"});
    EXPECT_EQ(small.width, 40);
    EXPECT_EQ(small.height, 40);
}

TEST(Needle, EdgesBlendIntoTheFaceWithoutDarkFringes)
{
    // An odd angle, so that every edge pixel is filtered.
    Image p = draw("Dial", {"--token", "2001=3.7", "--token", "2003=1"});
    int blended = 0, bright = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            if (std::hypot(x + 0.5 - kCentre, y + 0.5 - kCentre) > 19) continue;  // shaft only, no tip
            Rgba c = p.at(x, y);
            EXPECT_GE(std::min({c.r, c.g, c.b}), kFace.r - 2) << "dark pixel at " << x << "," << y;
            EXPECT_EQ(c.a, 255);
            if (c.r > 185 && c.r < 250) ++blended;
            if (c.r >= 250) ++bright;
        }
    EXPECT_GT(bright, 10);
    EXPECT_GT(blended, 10) << "the needle's edges are not filtered";
}

TEST(Needle, HiddenElementIsNotDrawnAndLaterOnesAre)
{
    Image shown = draw("Dial", {"--token", "2002=50"});
    Image hidden = draw("Dial", {"--token", "2002=50", "--token", "2003=1"});
    EXPECT_GT(find(shown, bluish).count, 0);
    EXPECT_EQ(find(hidden, bluish).count, 0);
    // The cover after the hidden needle is still drawn.
    EXPECT_EQ(hidden.at(32, 2), (Rgba{120, 80, 40, 255}));
    EXPECT_GT(find(hidden, reddish).count, 0);
}

TEST(StaticImage, BlackIsTransparent)
{
    Image p = draw("Dial", {});
    EXPECT_EQ(p.at(0, 0).a, 0);       // black corner of the face
    EXPECT_EQ(p.at(40, 40), kFace);   // face under the cover's black window
    EXPECT_EQ(p.at(32, 2), (Rgba{120, 80, 40, 255}));
}

struct StripCase {
    double value;
    int first_bar, second_bar;  // bars seen at window columns 4-5 and 14-15
};

class Strip : public ::testing::TestWithParam<StripCase> {};

TEST_P(Strip, WindowShowsTheStripColumnsOfItsPosition)
{
    const StripCase& c = GetParam();
    char token[32];
    std::snprintf(token, sizeof token, "2006=%g", c.value);
    Image p = draw("Parts", {"--token", token});
    // The window sits at (40,2).
    EXPECT_EQ(p.at(44, 7), kBars[c.first_bar]) << c.value;
    EXPECT_EQ(p.at(45, 7), kBars[c.first_bar]) << c.value;
    EXPECT_EQ(p.at(54, 7), kBars[c.second_bar]) << c.value;
    EXPECT_EQ(p.at(46, 7), (Rgba{30, 30, 80, 255}));
    EXPECT_EQ(p.at(50, 7), kIndex) << "window colours other than (1,1,1) are drawn as themselves";
    EXPECT_EQ(p.at(40, 2), (Rgba{90, 90, 90, 255})) << "black window pixels show nothing";
    EXPECT_EQ(p.at(44, 13), (Rgba{90, 90, 90, 255})) << "black strip pixels are transparent";
}

INSTANTIATE_TEST_SUITE_P(Positions, Strip,
                         ::testing::Values(StripCase{0, 0, 1}, StripCase{25, 1, 2}, StripCase{50, 2, 3},
                                           StripCase{100, 4, 5}, StripCase{150, 4, 5}, StripCase{-20, 0, 1}));

// The horizon sprite: texture centre (18,40), bar on its middle row.
constexpr double kHorizonX = 18, kHorizonY = 40;

bool whitish(Rgba c) { return c.a > 128 && c.r > 200 && c.g > 200 && c.b > 200; }

TEST(Sprite, PitchUpMovesTheHorizonDown)
{
    for (double pitch : {-5.0, 0.0, 5.0}) {
        Image p = draw("Parts", {"--token", "78=" + std::to_string(pitch)});
        Spot bar = find(p, whitish, 2, 24, 34, 56);
        ASSERT_GT(bar.count, 0) << pitch;
        EXPECT_NEAR(bar.y, kHorizonY + 2 * pitch, 0.6) << pitch;
    }
}

TEST(Sprite, RightBankTurnsTheHorizonAnticlockwise)
{
    // Bank 20 to the right (token 80 positive), rotation scale -1: the
    // horizon's right end rises, as the world tilts against the aircraft.
    Image p = draw("Parts", {"--token", "80=20"});
    Spot mark = find(p, reddish, 2, 24, 34, 56);
    ASSERT_GT(mark.count, 0);
    EXPECT_LT(mark.y, kHorizonY - 2);
    EXPECT_NEAR(direction(kHorizonX, kHorizonY, mark.x, mark.y), 340.0, 3.0);
    Spot left = find(p, whitish, 2, 24, 12, 56);
    EXPECT_GT(left.y, kHorizonY + 1);
}

TEST(Sprite, PitchShiftsAlongTheTurnedVertical)
{
    Image p = draw("Parts", {"--token", "80=90", "--token", "78=3"});
    // Turned a quarter anticlockwise the bar stands upright, and a pitch of
    // 3 (6 pixels along its own downward axis) moves it right.
    Spot bar = find(p, whitish, 2, 24, 34, 56);
    EXPECT_NEAR(bar.x, kHorizonX + 6, 0.6);
}

TEST(Sprite, ShownOnlyThroughItsMask)
{
    Image p = draw("Parts", {});
    // Outside the mask's disc the face shows even where the bar would be.
    EXPECT_EQ(p.at(3, 39), (Rgba{90, 90, 90, 255}));
    EXPECT_TRUE(whitish(p.at(18, 39)));
}

TEST(IconAndSlider, ShowTheirPictureAndOffset)
{
    Image p = draw("Parts", {"--token", "2004=1", "--token", "2005=7"});
    EXPECT_EQ(p.at(6, 6), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(p.at(23, 10), kSlider);
    EXPECT_EQ(p.at(23, 3), (Rgba{90, 90, 90, 255}));
    Image hole = draw("Parts", {"--token", "2004=2"});
    EXPECT_EQ(hole.at(2, 2), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(hole.at(6, 6), (Rgba{90, 90, 90, 255})) << "black icon pixels are transparent";
}

TEST(String, LeftAlignedAndCentredInItsBox)
{
    Image p = draw("Parts", {"--token", "2008=29.92"});
    // Box (38,30) 40x18 filled with the background colour.
    EXPECT_EQ(p.at(38, 30), (Rgba{0, 0, 64, 255}));
    EXPECT_EQ(p.at(77, 47), (Rgba{0, 0, 64, 255}));
    auto yellow = [](Rgba c) { return c.r > 150 && c.g > 150 && c.b < 100; };
    Spot text = find(p, yellow, 38, 30, 78, 48);
    ASSERT_GT(text.count, 20);
    int min_x = 1000, min_y = 1000, max_y = -1;
    for (int y = 30; y < 48; ++y)
        for (int x = 38; x < 78; ++x)
            if (yellow(p.at(x, y))) min_x = std::min(min_x, x), min_y = std::min(min_y, y), max_y = std::max(max_y, y);
    EXPECT_LE(min_x, 41);
    // Digits stand on the baseline; the cell is centred, so their middle is
    // a little above the box's.
    EXPECT_NEAR((min_y + max_y + 1) / 2.0, 39.0, 3.0);
    EXPECT_EQ(find(p, yellow, 0, 14, 80, 30).count, 0) << "text outside its box";
}

// Whatever the callbacks return, drawing stays defined (the sanitized
// build checks every conversion) and the picture keeps its size.
class ExtremeValues : public ::testing::TestWithParam<const char*> {};

TEST_P(ExtremeValues, DrawWithoutFaults)
{
    for (const char* gauge : {"Dial", "Parts"}) {
        std::vector<std::string> steps;
        for (int token : {2001, 2002, 2004, 2005, 2006, 78, 80, 2008})
            steps.insert(steps.end(), {"--token", std::to_string(token) + "=" + GetParam()});
        steps.insert(steps.end(), {"--updates", "2"});
        Image p = draw(gauge, steps);
        EXPECT_EQ(p.width, std::string(gauge) == "Dial" ? 64 : 80) << GetParam();
    }
    EXPECT_EQ(draw("Dial", {"--width", "1", "--token", std::string("2001=") + GetParam()}).width, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, ExtremeValues,
                         ::testing::Values("nan", "inf", "-inf", "1e300", "-1e300", "2147483648", "-2147483649",
                                           "1e-300", "123456789.5"));

TEST(MissingBitmaps, DrawNothing)
{
    Image p = draw("Bare", {"--token", "2001=10"});
    EXPECT_EQ(p.width, 30);
    EXPECT_EQ(p.height, 30);
    for (const Rgba& c : p.pixels) ASSERT_EQ(c.a, 0);
}

// Incremental drawing: after any sequence of value changes the cached
// picture equals a fresh drawing of the same state, and a frame without
// changes redraws nothing.
TEST(Renderer, IncrementalPicturesMatchFreshOnes)
{
    for (const char* name : {"Dial", "Parts"}) {
        gaugehost::TokenStore tokens;
        gaugehost::Host host(tokens);
        gaugehost::Module& module = host.load_module(fixtures_folder() + "/RenderFixture.so");
        gaugehost::Gauge gauge(host, module, module.find_gauge(name));
        gaugehost::GaugeRenderer renderer(gauge);
        gauge.update();
        EXPECT_TRUE(renderer.refresh());
        EXPECT_FALSE(renderer.refresh()) << name;
        EXPECT_TRUE(renderer.changed_region().empty());
        for (int frame = 1; frame <= 40; ++frame) {
            tokens.set(2001, frame * 1.7);
            tokens.set(2002, std::sin(frame) * 120);
            tokens.set(2003, frame % 7 == 0);
            tokens.set(2004, frame % 3);
            tokens.set(2005, frame % 9);
            tokens.set(2006, frame * 4.0);
            tokens.set(78, std::sin(frame * 0.3) * 10);
            tokens.set(80, frame * 11.0);
            tokens.set(2008, 28 + frame * 0.05);
            if (frame == 20) gauge.set_drawn_width(gauge.default_width() * 3 / 2);
            if (frame % 5 == 0) gauge.update();  // a frame where only some values move
            gauge.update();
            renderer.refresh();
            Image fresh = gaugehost::render_gauge(gauge);
            ASSERT_EQ(renderer.picture().width, fresh.width);
            ASSERT_TRUE(renderer.picture().pixels == fresh.pixels) << name << " frame " << frame;
        }
    }
}

TEST(Renderer, RedrawsOnlyWhereAMovingElementWas)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    gaugehost::Module& module = host.load_module(fixtures_folder() + "/RenderFixture.so");
    gaugehost::Gauge gauge(host, module, module.find_gauge("Parts"));
    gaugehost::GaugeRenderer renderer(gauge);
    gauge.update();
    renderer.refresh();
    tokens.set(2005, 3);  // the slider: 8x4 at (20,2), moving 3 down
    gauge.update();
    EXPECT_TRUE(renderer.refresh());
    gaugehost::Rect r = renderer.changed_region();
    EXPECT_EQ(r.x, 20);
    EXPECT_EQ(r.y, 2);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 7);
}

TEST(Png, RoundTripKeepsEveryChannel)
{
    Image image(3, 2);
    image.at(0, 0) = {1, 2, 3, 4};
    image.at(2, 1) = {255, 128, 0, 255};
    image.at(1, 0) = {10, 20, 30, 0};
    std::string path = std::string(ORVANE_BINARY_DIR) + "/render_png_round_trip.png";
    gaugehost::write_png(image, path);
    Image back = gaugehost::read_png(path);
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_TRUE(back.pixels == image.pixels);
    std::filesystem::remove(path);
}

TEST(Png, BadFilesGiveClearErrors)
{
    std::string path = std::string(ORVANE_BINARY_DIR) + "/render_not_a_png.png";
    write_bmp(Image(2, 2), path);
    EXPECT_THROW(gaugehost::read_png(path), std::runtime_error);
    EXPECT_THROW(gaugehost::read_png(path + ".missing"), std::runtime_error);
    EXPECT_THROW(gaugehost::write_png(Image(2, 2), "/nonexistent-folder/x.png"), std::runtime_error);
    std::filesystem::remove(path);
}

TEST(ScaleImage, AveragesWhenShrinkingAndKeepsFlatColours)
{
    Image checker(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) checker.at(x, y) = (x + y) % 2 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
    Image half = gaugehost::scale_image(checker, 2, 2);
    for (const Rgba& c : half.pixels) {
        EXPECT_NEAR(c.r, 128, 1);
        EXPECT_EQ(c.a, 255);
    }
    Image flat(5, 3, {10, 200, 30, 255});
    for (const Rgba& c : gaugehost::scale_image(flat, 13, 7).pixels) EXPECT_EQ(c, (Rgba{10, 200, 30, 255}));
    // Transparent neighbours do not darken a colour (premultiplied filtering).
    Image edge(2, 1);
    edge.at(0, 0) = {255, 255, 255, 255};
    Image one = gaugehost::scale_image(edge, 1, 1);
    EXPECT_EQ(one.at(0, 0).r, 255);
    EXPECT_NEAR(one.at(0, 0).a, 128, 1);
}

TEST(Composite, OverBlendsByAlpha)
{
    Image target(2, 1, {0, 0, 255, 255});
    Image source(2, 1);
    source.at(0, 0) = {255, 0, 0, 255};
    source.at(1, 0) = {255, 0, 0, 128};
    gaugehost::composite_over(target, source, 0, 0);
    EXPECT_EQ(target.at(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_NEAR(target.at(1, 0).r, 128, 1);
    EXPECT_NEAR(target.at(1, 0).b, 127, 1);
    EXPECT_EQ(target.at(1, 0).a, 255);
    gaugehost::composite_over(target, source, -5, 7);  // clipped away entirely
}

}  // namespace
