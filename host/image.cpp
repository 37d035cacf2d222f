#include "image.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace gaugehost {

namespace {

uint32_t u32(std::span<const uint8_t> d, size_t at)
{
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
           uint32_t(d[at + 3]) << 24;
}
uint16_t u16(std::span<const uint8_t> d, size_t at)
{
    return uint16_t(d[at] | d[at + 1] << 8);
}

}  // namespace

Bitmap decode_bmp(std::span<const uint8_t> data, bool has_file_header, const std::string& what)
{
    auto fail = [&](const std::string& why) -> Bitmap {
        throw std::runtime_error(what + ": " + why);
    };
    size_t info = 0;
    if (has_file_header) {
        if (data.size() < 14 || data[0] != 'B' || data[1] != 'M') return fail("not a BMP file");
        info = 14;
    }
    if (data.size() < info + 40) return fail("truncated bitmap header");
    uint32_t header_size = u32(data, info);
    if (header_size < 40 || header_size > data.size() - info)
        return fail("unsupported bitmap header size " + std::to_string(header_size));
    int32_t width = int32_t(u32(data, info + 4));
    int32_t height_signed = int32_t(u32(data, info + 8));
    uint16_t bpp = u16(data, info + 14);
    uint32_t compression = u32(data, info + 16);
    uint32_t colours_used = u32(data, info + 32);
    if (compression != 0) return fail("compressed bitmaps are not supported");
    if (width <= 0 || width > 16384 || height_signed == 0 || height_signed < -16384 ||
        height_signed > 16384)
        return fail("impossible bitmap size");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return fail("unsupported bit depth " + std::to_string(bpp));
    bool top_down = height_signed < 0;
    int height = top_down ? -height_signed : height_signed;

    size_t palette_at = info + header_size;
    size_t palette_count = 0;
    if (bpp <= 8) {
        palette_count = colours_used ? colours_used : (1u << bpp);
        if (palette_count > (1u << bpp)) return fail("palette larger than the bit depth allows");
    }
    if (palette_at + palette_count * 4 > data.size()) return fail("truncated palette");

    size_t pixels_at = palette_at + palette_count * 4;
    if (has_file_header) {
        uint32_t offset = u32(data, 10);
        if (offset < pixels_at || offset > data.size()) return fail("bad pixel data offset");
        pixels_at = offset;
    }
    size_t stride = ((size_t(width) * bpp + 31) / 32) * 4;
    if (pixels_at + stride * size_t(height) > data.size()) return fail("truncated pixel data");

    Bitmap out;
    out.bits_per_pixel = bpp;
    out.image = Image(width, height);
    for (int row = 0; row < height; ++row) {
        const uint8_t* line = data.data() + pixels_at + stride * size_t(row);
        int y = top_down ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            Rgba px{0, 0, 0, 255};
            if (bpp <= 8) {
                unsigned index;
                if (bpp == 8) index = line[x];
                else if (bpp == 4) index = (line[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
                else index = (line[x / 8] >> (7 - x % 8)) & 1;
                if (index >= palette_count) return fail("pixel outside the palette");
                const uint8_t* entry = data.data() + palette_at + index * 4;
                px = {entry[2], entry[1], entry[0], 255};
            } else {
                const uint8_t* p = line + size_t(x) * (bpp / 8);
                px = {p[2], p[1], p[0], 255};
            }
            out.image.at(x, y) = px;
        }
    }
    return out;
}

Bitmap load_bmp_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return decode_bmp(data, true, path);
}

}  // namespace gaugehost
