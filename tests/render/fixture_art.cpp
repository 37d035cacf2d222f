#include "fixture_art.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace render_test {

using gaugehost::Image;
using gaugehost::Rgba;

namespace {

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWindow{1, 1, 1, 255};

double distance_from(int x, int y, double cx, double cy)
{
    return std::hypot(x + 0.5 - cx, y + 0.5 - cy);
}

void fill(Image& image, int x0, int y0, int x1, int y1, Rgba c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) image.at(x, y) = c;
}

}  // namespace

void write_bmp(const Image& image, const std::string& path)
{
    uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
    uint32_t data_size = stride * uint32_t(image.height);
    std::vector<uint8_t> out(54 + data_size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(image.width));
    put32(22, uint32_t(image.height));
    out[26] = 1;
    out[28] = 24;
    put32(34, data_size);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = out.data() + 54 + size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            Rgba c = image.at(x, y);
            row[x * 3] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!f) throw std::runtime_error(path + ": cannot write");
}

void write_fixture_art(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    // Test programs run in parallel and each writes the art: a finished
    // file replaces the old one in one step, so readers never see half.
    auto save = [&](int number, const Image& image) {
        std::string path = folder + "/" + std::to_string(number) + ".bmp";
        std::string part = path + "." + std::to_string(::getpid()) + ".part";
        write_bmp(image, part);
        std::filesystem::rename(part, path);
    };

    // Dial face: a light disc on black (transparent) corners.
    Image face(64, 64, kBlack);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (distance_from(x, y, 32, 32) < 31) face.at(x, y) = kFace;
    save(300, face);

    // Dial needle: 25x5 with the pivot at (2,2), a shaft three pixels thick
    // and a red tip at its right end.
    Image needle(25, 5, kBlack);
    fill(needle, 0, 1, 22, 3, kShaft);
    fill(needle, 23, 1, 24, 3, kDialTip);
    save(301, needle);

    // Ball needle: 17x3 with the pivot at (1,1), one pixel thick, blue tip.
    Image ball(17, 3, kBlack);
    fill(ball, 0, 1, 14, 1, kShaft);
    fill(ball, 15, 1, 16, 1, kBallTip);
    save(302, ball);

    // Cover: a brown ring round the dial, black (transparent) elsewhere.
    Image cover(64, 64, kBlack);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            double d = distance_from(x, y, 32, 32);
            if (d >= 28 && d < 31) cover.at(x, y) = {120, 80, 40, 255};
        }
    save(303, cover);

    // Parts face: grey with a black (transparent) frame.
    Image parts(80, 60, kBlack);
    fill(parts, 1, 1, 78, 58, {90, 90, 90, 255});
    save(400, parts);

    // Icon pictures: red, green, blue; the blue one has a black hole.
    Rgba icon_colours[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int i = 0; i < 3; ++i) {
        Image icon(10, 10, icon_colours[i]);
        if (i == 2) fill(icon, 3, 3, 6, 6, kBlack);
        save(410 + i, icon);
    }

    save(420, Image(8, 4, kSlider));

    // Strip: dark blue with coloured bars, its last row black (transparent).
    Image strip(60, 12, {30, 30, 80, 255});
    for (int k = 0; k < 6; ++k) fill(strip, 10 * k + 4, 0, 10 * k + 5, 10, kBars[k]);
    fill(strip, 0, 11, 59, 11, kBlack);
    save(430, strip);
    // Window: shows the strip everywhere but a red index line in column 10
    // and black (nothing) 2x2 corners.
    Image window(20, 12, kWindow);
    fill(window, 10, 0, 10, 11, kIndex);
    for (int cy : {0, 10})
        for (int cx : {0, 18}) fill(window, cx, cy, cx + 1, cy + 1, kBlack);
    save(431, window);

    // Sprite texture: a white horizontal bar (rows 15 and 16) with a red mark
    // at its right end; black (transparent) elsewhere.
    Image texture(32, 32, kBlack);
    fill(texture, 0, 15, 31, 16, kShaft);
    fill(texture, 26, 13, 31, 18, kHorizonMark);
    save(440, texture);
    // Mask: a disc of radius 14 on the middle.
    Image mask(32, 32, kBlack);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (distance_from(x, y, 16, 16) < 14) mask.at(x, y) = kWindow;
    save(441, mask);
}

}  // namespace render_test
