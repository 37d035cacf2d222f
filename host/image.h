// A plain RGBA picture and the BMP files the modules' bitmaps come in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gaugehost {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

// Pixels row by row from the top, no padding.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Image() = default;
    Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    Rgba& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool empty() const { return width == 0 || height == 0; }
};

// A decoded bitmap keeps its bit depth so that tests can check it.
struct Bitmap {
    Image image;  // alpha 255 everywhere
    int bits_per_pixel = 0;
};

// Decodes an uncompressed Windows BMP (1, 4, 8 bits with a palette, or 24 and
// 32 bits), with or without the 14-byte file header (a DIB as stored in a
// bitmap resource starts at the info header). Throws std::runtime_error with
// a clear message for anything malformed or truncated.
Bitmap decode_bmp(std::span<const uint8_t> data, bool has_file_header, const std::string& what);

Bitmap load_bmp_file(const std::string& path);

}  // namespace gaugehost
