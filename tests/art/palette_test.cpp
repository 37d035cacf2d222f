// The palette reduction and the BMP files it goes into: the key colours
// stay exact and nothing else becomes one, smooth pictures stay smooth,
// and the files read back as written.
#include <cmath>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "art/bmp_writer.h"
#include "host/image.h"

namespace {

using gaugehost::Image;
using gaugehost::Rgba;

Image decode(const std::vector<uint8_t>& file)
{
    return gaugehost::decode_bmp(file, true, "test").image;
}

TEST(Palette, KeyColoursStayExactAndNothingElseBecomesOne)
{
    // Far more colours than a palette holds, with the two key colours and
    // their nearest neighbours among them.
    Image image(300, 300);
    std::mt19937 random(7);
    for (Rgba& p : image.pixels)
        p = {uint8_t(random() % 256), uint8_t(random() % 256), uint8_t(random() % 256), 255};
    const Rgba near_keys[] = {{0, 0, 1, 255}, {1, 0, 0, 255}, {1, 1, 2, 255}, {2, 2, 2, 255}, {0, 1, 1, 255}};
    for (int x = 0; x < 300; ++x) {
        image.at(x, 0) = {0, 0, 0, 255};
        image.at(x, 1) = {1, 1, 1, 255};
        image.at(x, 2) = near_keys[x % 5];
    }
    for (int bits : {8, 4}) {
        SCOPED_TRACE(bits);
        art::IndexedImage indexed = art::quantise(image, bits);
        EXPECT_LE(indexed.palette.size(), size_t(1) << bits);
        Image back = decode(art::encode_bmp(indexed));
        ASSERT_EQ(back.width, 300);
        ASSERT_EQ(back.height, 300);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                const Rgba &was = image.at(x, y), &now = back.at(x, y);
                bool was_black = was == Rgba{0, 0, 0, 255}, was_one = was == Rgba{1, 1, 1, 255};
                ASSERT_EQ(now == (Rgba{0, 0, 0, 255}), was_black) << x << "," << y;
                ASSERT_EQ(now == (Rgba{1, 1, 1, 255}), was_one) << x << "," << y;
            }
    }
}

TEST(Palette, SmoothShadingKeepsWithinAFewLevels)
{
    // A dial-like picture: a dark radial gradient, a light ring of
    // anti-aliased edges and a black surround.
    Image image(283, 285, {0, 0, 0, 255});
    for (int y = 0; y < 285; ++y)
        for (int x = 0; x < 283; ++x) {
            double r = std::hypot(x - 141.5, y - 142.5);
            if (r > 140) continue;
            double shade = 20 + 40 * r / 140;
            double ring = std::exp(-std::pow((r - 110) / 2.0, 2));
            image.at(x, y) = {uint8_t(shade + (237 - shade) * ring), uint8_t(shade + (232 - shade) * ring),
                              uint8_t(shade * 1.1 + (214 - shade * 1.1) * ring), 255};
        }
    Image back = decode(art::encode_bmp(art::quantise(image, 8)));
    int worst = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const Rgba &a = image.pixels[i], &b = back.pixels[i];
        worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
    }
    EXPECT_LE(worst, 4);
}

TEST(Palette, FewColoursAreKeptExactlyAndRowsArePadded)
{
    // Odd widths exercise the row padding of both depths.
    for (int bits : {8, 4}) {
        for (int width : {1, 3, 19, 87}) {
            Image image(width, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < width; ++x)
                    image.at(x, y) = {uint8_t(40 * ((x + y) % 4)), uint8_t((y % 4) * 50), 200, 255};  // 16 colours
            std::vector<uint8_t> file = art::encode_bmp(art::quantise(image, bits));
            auto decoded = gaugehost::decode_bmp(file, true, "test");
            EXPECT_EQ(decoded.bits_per_pixel, bits);
            EXPECT_EQ(decoded.image.pixels, image.pixels) << bits << " bits, width " << width;
            size_t row = (size_t(width) * bits + 31) / 32 * 4;
            EXPECT_EQ(file.size(), 14 + 40 + (size_t(4) << bits) + row * 5);
        }
    }
}

}  // namespace
