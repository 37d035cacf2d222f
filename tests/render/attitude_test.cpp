// The real attitude indicator drawn end to end (module, element engine,
// renderer): bank and pitch move its horizon the right way. Skipped until
// the module's artwork has been generated.
#include <filesystem>

#include <gtest/gtest.h>

#include "render_support.h"

using gaugehost::Image;
using gaugehost::Rgba;
using render_test::Spot;

namespace {

const std::string kGauges = ORVANE_GAUGES_DIR;

bool has_art()
{
    return std::filesystem::exists(kGauges + "/Orvane/16000.bmp") &&
           std::filesystem::exists(kGauges + "/Orvane/12000.bmp");
}

// Pixels of `a` that differ from `b`, inside the band of rows [y0, y1) and
// columns [x0, x1).
Spot changed(const Image& a, const Image& b, int x0, int y0, int x1, int y1)
{
    Spot s;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            Rgba p = a.at(x, y), q = b.at(x, y);
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60) {
                ++s.count;
                s.x += x + 0.5;
                s.y += y + 0.5;
            }
        }
    if (s.count) s.x /= s.count, s.y /= s.count;
    return s;
}

TEST(Attitude, RightBankRaisesTheHorizonsRightEnd)
{
    if (!has_art()) GTEST_SKIP() << "no artwork in " << kGauges;
    Image level = render_test::draw_in(kGauges, "Orvane", "Attitude", {});
    Image banked = render_test::draw_in(kGauges, "Orvane", "Attitude", {"--token", "80=30"});
    // The horizon bar turns about (157,157); look beside the centre, away
    // from the bank pointer at the top.
    Spot left = changed(banked, level, 40, 100, 120, 240);
    Spot right = changed(banked, level, 194, 80, 274, 240);
    ASSERT_GT(left.count, 0);
    ASSERT_GT(right.count, 0);
    EXPECT_GT(left.y, 157 + 10);
    EXPECT_LT(right.y, 157 - 10);
}

TEST(Attitude, PitchUpMovesTheHorizonDown)
{
    if (!has_art()) GTEST_SKIP() << "no artwork in " << kGauges;
    Image level = render_test::draw_in(kGauges, "Orvane", "Attitude", {});
    Image nose_up = render_test::draw_in(kGauges, "Orvane", "Attitude", {"--token", "78=10"});
    // The pixels that changed are where the bar left and where it arrived,
    // 20 pixels lower (scale 2): together centred below the level bar.
    Spot moved = changed(nose_up, level, 40, 100, 120, 240);
    ASSERT_GT(moved.count, 0);
    EXPECT_GT(moved.y, 157 + 5);
    EXPECT_LT(moved.y, 157 + 30);
}

}  // namespace
