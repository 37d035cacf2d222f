// Golden pictures: each case draws a fixture gauge state and compares it with
// tests/render/expected/<case>.png. On a mismatch the test writes actual.png
// and diff.png under build/linux/render_golden/<case>/.
//
// After a deliberate change of the drawing, regenerate every expected
// picture with:
//   ORVANE_UPDATE_GOLDEN=1 build/linux/bin/render_tests --gtest_filter='Golden*'
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "host/render/renderer.h"
#include "render_support.h"

using gaugehost::Image;
using gaugehost::Rgba;

namespace {

// Font rasterisation may differ by a step between FreeType versions.
constexpr int kTolerance = 3;

struct GoldenCase {
    const char* name;
    const char* gauge;
    std::vector<std::string> steps;
};

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesTheExpectedPicture)
{
    const GoldenCase& c = GetParam();
    Image actual = render_test::draw(c.gauge, c.steps);
    std::string expected_path = std::string(ORVANE_RENDER_EXPECTED_DIR) + "/" + c.name + ".png";
    std::filesystem::path out = std::filesystem::path(ORVANE_BINARY_DIR) / "render_golden" / c.name;
    std::filesystem::create_directories(out);
    gaugehost::write_png(actual, (out / "actual.png").string());

    const char* update = std::getenv("ORVANE_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        gaugehost::write_png(actual, expected_path);
        GTEST_SKIP() << "wrote " << expected_path;
    }
    const char* how = "\nAfter a deliberate change, regenerate the expected pictures with:\n"
                      "  ORVANE_UPDATE_GOLDEN=1 build/linux/bin/render_tests --gtest_filter='Golden*'\n";
    ASSERT_TRUE(std::filesystem::exists(expected_path)) << expected_path << " is missing." << how;
    Image expected = gaugehost::read_png(expected_path);
    ASSERT_EQ(actual.width, expected.width) << how;
    ASSERT_EQ(actual.height, expected.height) << how;

    // diff.png: mismatching pixels in red over a faded copy of the expected picture.
    Image diff(actual.width, actual.height);
    int bad = 0, worst = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        Rgba a = actual.pixels[i], e = expected.pixels[i];
        int d = std::max({std::abs(a.r - e.r), std::abs(a.g - e.g), std::abs(a.b - e.b), std::abs(a.a - e.a)});
        worst = std::max(worst, d);
        if (d > kTolerance) {
            ++bad;
            diff.pixels[i] = {255, 0, 0, 255};
        } else {
            diff.pixels[i] = {uint8_t(e.r / 3), uint8_t(e.g / 3), uint8_t(e.b / 3), 255};
        }
    }
    if (bad) gaugehost::write_png(diff, (out / "diff.png").string());
    EXPECT_EQ(bad, 0) << c.name << ": " << bad << " pixels differ by more than " << kTolerance << " (worst "
                      << worst << "); see " << (out / "actual.png").string() << " and "
                      << (out / "diff.png").string() << how;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Golden,
    ::testing::Values(
        GoldenCase{"dial_up", "Dial", {"--token", "2001=0", "--token", "2002=100"}},
        GoldenCase{"dial_right", "Dial", {"--token", "2001=10", "--token", "2002=-100"}},
        GoldenCase{"dial_down", "Dial", {"--token", "2001=20", "--token", "2002=0"}},
        GoldenCase{"dial_odd_angle", "Dial", {"--token", "2001=13.3", "--token", "2002=37"}},
        GoldenCase{"dial_ball_hidden", "Dial", {"--token", "2001=27", "--token", "2003=1"}},
        GoldenCase{"dial_width_150", "Dial", {"--width", "150", "--token", "2001=6"}},
        GoldenCase{"dial_width_41", "Dial", {"--width", "41", "--token", "2001=6"}},
        GoldenCase{"parts_rest", "Parts", {}},
        GoldenCase{"parts_moved", "Parts",
                   {"--token", "2004=2", "--token", "2005=6", "--token", "2006=37", "--token", "78=4", "--token",
                    "80=25", "--token", "2008=29.92"}},
        GoldenCase{"parts_left_bank", "Parts", {"--token", "80=-40", "--token", "78=-3", "--token", "2006=100"}},
        GoldenCase{"parts_width_120", "Parts", {"--width", "120", "--token", "80=10", "--token", "2008=30.1"}}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

}  // namespace
