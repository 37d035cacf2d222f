// The pictures whose colours carry meaning for the host: the sprite masks
// and textures, the gyro's window, the airspeed cover's window, the black
// surroundings of the dials and the needles on black.
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "host/gauge.h"
#include "host/host.h"

namespace fs = std::filesystem;

namespace {

using gaugehost::Image;
using gaugehost::Rgba;

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWindow{1, 1, 1, 255};

bool light(const Rgba& p)
{
    return 0.3 * p.r + 0.59 * p.g + 0.11 * p.b > 100;
}

struct Loaded {
    gaugehost::TokenStore tokens;
    gaugehost::Host host{tokens};
    gaugehost::Module* module = nullptr;

    explicit Loaded(const std::string& module_name)
    {
        module = &host.load_module(
            (fs::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name(module_name)).string());
    }
    const Image& bitmap(int number)
    {
        const gaugehost::Bitmap* b = module->bitmap(number);
        if (!b) throw std::runtime_error("bitmap " + std::to_string(number) + " missing");
        return b->image;
    }
};

TEST(AttitudeSprites, MasksAreBlackOutsideTheWindowAndOneOneOneInside)
{
    Loaded orvane("Orvane");
    if (!orvane.module->find_gauge("Attitude")) GTEST_SKIP() << "no Attitude gauge yet";
    for (int mask : {15001, 16001}) {
        SCOPED_TRACE(mask);
        const Image& m = orvane.bitmap(mask);
        int x1 = 1000, y1 = 1000, x2 = -1, y2 = -1;
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                const Rgba& p = m.at(x, y);
                ASSERT_TRUE(p == kBlack || p == kWindow) << "other colour at " << x << "," << y;
                if (p == kWindow) {
                    x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
                }
            }
        // A disc over columns 18 to 236, cut off below row 210.
        EXPECT_EQ(x1, 18);
        EXPECT_EQ(x2, 236);
        EXPECT_EQ(y1, 18);
        EXPECT_EQ(y2, 210);
        EXPECT_EQ(m.at(127, 127), kWindow);
        EXPECT_EQ(m.at(20, 20), kBlack);     // outside the disc, inside its box
        EXPECT_EQ(m.at(127, 215), kBlack);   // below the cut
        EXPECT_EQ(m.at(30, 200), kBlack);    // lower corner of the cut-off disc
        EXPECT_EQ(m.at(127, 209), kWindow);  // just above the cut
    }
    EXPECT_EQ(orvane.bitmap(15001).pixels, orvane.bitmap(16001).pixels);
}

TEST(AttitudeSprites, TexturesDrawOnlyTheBarAndThePointer)
{
    Loaded orvane("Orvane");
    if (!orvane.module->find_gauge("Attitude")) GTEST_SKIP() << "no Attitude gauge yet";
    const Image& bar = orvane.bitmap(16000);
    const Image& pointer = orvane.bitmap(15000);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            bool in_bar = y >= 126 && y <= 130;
            EXPECT_EQ(bar.at(x, y) != kBlack, in_bar) << "bar at " << x << "," << y;
            bool in_pointer = x >= 124 && x <= 130 && y >= 21 && y <= 46;
            if (!in_pointer) {
                EXPECT_EQ(pointer.at(x, y), kBlack) << "pointer at " << x << "," << y;
            }
        }
    EXPECT_TRUE(light(bar.at(128, 128)));
    EXPECT_TRUE(light(pointer.at(127, 40)));  // a mark, not an empty texture
    EXPECT_TRUE(light(pointer.at(127, 23)));
}

TEST(DirectionalGyro, WindowHasNoBlackAndALightIndexLine)
{
    Loaded orvane("Orvane");
    if (!orvane.module->find_gauge("Directional_gyro")) GTEST_SKIP() << "no Directional_gyro gauge yet";
    const Image& w = orvane.bitmap(22001);
    int other = 0;
    for (int y = 0; y < w.height; ++y)
        for (int x = 0; x < w.width; ++x) {
            const Rgba& p = w.at(x, y);
            ASSERT_NE(p, kBlack) << x << "," << y;
            if (x == 43 || x == 44) {
                EXPECT_TRUE(light(p)) << "index line at " << x << "," << y;
            } else if (p != kWindow) {
                EXPECT_TRUE(light(p)) << x << "," << y;
                bool corner = (x < 4 || x >= w.width - 4) && (y < 4 || y >= w.height - 4);
                EXPECT_TRUE(corner) << "not (1,1,1) away from the corners at " << x << "," << y;
                ++other;
            }
        }
    EXPECT_GT(other, 0);  // the corners are drawn
    EXPECT_LE(other, 4 * 8);
}

TEST(DirectionalGyro, StripRepeatsItsFirstWindowAtItsEnd)
{
    Loaded orvane("Orvane");
    if (!orvane.module->find_gauge("Directional_gyro")) GTEST_SKIP() << "no Directional_gyro gauge yet";
    const Image& s = orvane.bitmap(22000);
    // Heading 360 shows the first 87 columns, heading 0 the last 87: the
    // same picture.
    int differing = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < 87; ++x) {
            const Rgba &a = s.at(x, y), &b = s.at(s.width - 87 + x, y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60) ++differing;
        }
    EXPECT_LT(differing, 87 * 33 / 50);
    // The 0 mark stands under the index line (columns 43 and 44).
    EXPECT_TRUE(light(s.at(43, 30)) || light(s.at(44, 30)));
    EXPECT_TRUE(light(s.at(s.width - 44, 30)) || light(s.at(s.width - 43, 30)));
}

TEST(Airspeed, CoverIsPureBlackOnlyInTheMachWindow)
{
    Loaded orvane("Orvane");
    const Image& cover = orvane.bitmap(4000);
    int window = 0;
    for (int y = 0; y < cover.height; ++y)
        for (int x = 0; x < cover.width; ++x) {
            double dx = x + 0.5 - 141.5, dy = y + 0.5 - 143.5;
            if (dx * dx + dy * dy > 125 * 125 || cover.at(x, y) != kBlack) continue;
            EXPECT_TRUE(x >= 177 && x <= 215 && y >= 107 && y <= 183) << "black at " << x << "," << y;
            ++window;
        }
    EXPECT_GT(window, 1000);
    EXPECT_EQ(cover.at(196, 143), kBlack);
    EXPECT_NE(orvane.bitmap(2000).at(196, 143), kBlack);  // the dial under it is closed there
}

// Every dial, needle and picture: black where nothing is drawn (corners),
// and every needle's pivot and pointer opaque, the pointer reaching to the
// right end of its bitmap.
class ModulePictures : public ::testing::TestWithParam<std::string> {};

TEST_P(ModulePictures, NeedlesRunRightFromTheirPivotOnBlack)
{
    Loaded loaded(GetParam());
    int needles = 0;
    for (GaugeHeader* header : loaded.module->gauges()) {
        gaugehost::Gauge gauge(loaded.host, *loaded.module, header);
        for (const auto& state : gauge.elements()) {
            if (state.element->kind != ELEMENT_NEEDLE) continue;
            const Image& n = loaded.bitmap(state.element->bitmap);
            Point pivot = state.element->offset;
            SCOPED_TRACE(gauge.name() + " needle " + std::to_string(state.index));
            EXPECT_EQ(n.at(0, 0), kBlack);
            EXPECT_EQ(n.at(n.width - 1, 0), kBlack);
            EXPECT_EQ(n.at(0, n.height - 1), kBlack);
            EXPECT_EQ(n.at(n.width - 1, n.height - 1), kBlack);
            if (pivot.x < 0 || pivot.x >= n.width) {
                // The inclinometer ball: its pivot lies far off the bitmap;
                // the ball is at the bitmap's right-hand end.
                EXPECT_NE(n.at(n.width - 25, n.height / 2), kBlack);
                continue;
            }
            EXPECT_NE(n.at(pivot.x, pivot.y), kBlack);
            bool reaches = false;
            for (int x = n.width - 8; x < n.width; ++x) reaches = reaches || n.at(x, pivot.y) != kBlack;
            EXPECT_TRUE(reaches) << "pointer does not run to the right end";
            ++needles;
        }
    }
    if (needles == 0) GTEST_SKIP() << "no needles in " << GetParam() << " yet";
}

TEST_P(ModulePictures, DialFacesAreBlackOutsideTheirBezel)
{
    Loaded loaded(GetParam());
    int faces = 0;
    for (GaugeHeader* header : loaded.module->gauges()) {
        gaugehost::Gauge gauge(loaded.host, *loaded.module, header);
        const auto& elements = gauge.elements();
        // Round instruments: a needle turns over the background.
        bool round = elements.size() > 1 && elements[1].element->kind == ELEMENT_NEEDLE;
        if (!round) continue;
        const Image& face = loaded.bitmap(elements[0].element->bitmap);
        SCOPED_TRACE(gauge.name());
        for (auto [x, y] : {std::pair{0, 0}, {face.width - 1, 0}, {0, face.height - 1},
                            {face.width - 1, face.height - 1}, {3, 3}})
            EXPECT_EQ(face.at(x, y), kBlack) << x << "," << y;
        EXPECT_NE(face.at(face.width / 2, face.height / 2), kBlack);  // the face itself is opaque
        ++faces;
    }
    if (faces == 0) GTEST_SKIP() << "no dials in " << GetParam() << " yet";
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulePictures, ::testing::Values("Orvane", "Orvane_engine", "Orvane_electric"));

}  // namespace
