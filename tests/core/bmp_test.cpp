// The host's BMP reader on small fixtures, good and corrupt.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "host/image.h"

namespace {

void put32(std::vector<uint8_t>& d, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (8 * i));
}

// A 3x2 bitmap, 8 bits per pixel, bottom-up, palette of 4 colours.
std::vector<uint8_t> tiny_bmp()
{
    std::vector<uint8_t> d(14 + 40 + 4 * 4 + 2 * 4, 0);
    d[0] = 'B';
    d[1] = 'M';
    put32(d, 2, uint32_t(d.size()));
    put32(d, 10, 14 + 40 + 16);
    put32(d, 14, 40);
    put32(d, 18, 3);
    put32(d, 22, 2);
    d[26] = 1;
    d[28] = 8;
    put32(d, 46, 4);
    const uint8_t palette[4][4] = {{0, 0, 0, 0}, {1, 1, 1, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}};  // BGR0
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) d[54 + i * 4 + j] = palette[i][j];
    // bottom row first: 0 1 2, then top row: 3 3 0
    uint8_t rows[8] = {0, 1, 2, 0, 3, 3, 0, 0};
    for (int i = 0; i < 8; ++i) d[70 + i] = rows[i];
    return d;
}

TEST(Bmp, DecodesPaletteBottomUp)
{
    auto b = gaugehost::decode_bmp(tiny_bmp(), true, "tiny");
    EXPECT_EQ(b.bits_per_pixel, 8);
    ASSERT_EQ(b.image.width, 3);
    ASSERT_EQ(b.image.height, 2);
    EXPECT_EQ(b.image.at(0, 1), (gaugehost::Rgba{0, 0, 0, 255}));
    EXPECT_EQ(b.image.at(1, 1), (gaugehost::Rgba{1, 1, 1, 255}));
    EXPECT_EQ(b.image.at(2, 1), (gaugehost::Rgba{0, 0, 255, 255}));  // palette BGR -> blue
    EXPECT_EQ(b.image.at(0, 0), (gaugehost::Rgba{255, 0, 0, 255}));
}

TEST(Bmp, RejectsCorruptFilesWithAClearMessage)
{
    struct Case {
        const char* what;
        void (*spoil)(std::vector<uint8_t>&);
        const char* message;
    } cases[] = {
        {"magic", [](std::vector<uint8_t>& d) { d[0] = 'X'; }, "not a BMP"},
        {"truncated header", [](std::vector<uint8_t>& d) { d.resize(30); }, "truncated bitmap header"},
        {"truncated pixels", [](std::vector<uint8_t>& d) { d.resize(d.size() - 3); }, "truncated pixel data"},
        {"compressed", [](std::vector<uint8_t>& d) { d[30] = 1; }, "compressed"},
        {"depth", [](std::vector<uint8_t>& d) { d[28] = 7; }, "bit depth"},
        {"zero width", [](std::vector<uint8_t>& d) { put32(d, 18, 0); }, "impossible bitmap size"},
        {"huge height", [](std::vector<uint8_t>& d) { put32(d, 22, 0x7FFFFFFF); }, "impossible bitmap size"},
        {"palette", [](std::vector<uint8_t>& d) { put32(d, 46, 1000); }, "palette"},
        {"index", [](std::vector<uint8_t>& d) { d[70] = 9; }, "outside the palette"},
        {"offset", [](std::vector<uint8_t>& d) { put32(d, 10, 0xFFFFFF); }, "pixel data offset"},
    };
    for (auto& c : cases) {
        auto d = tiny_bmp();
        c.spoil(d);
        try {
            gaugehost::decode_bmp(d, true, "fixture.bmp");
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find("fixture.bmp"), std::string::npos) << c.what;
        }
    }
}

}  // namespace
