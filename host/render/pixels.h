// Premultiplied pixels for the renderer's own layers: one 32-bit word per
// pixel, red in the low byte, then green, blue and alpha, each colour
// channel already multiplied by alpha. Blending and filtering work on two
// channels at once (red and blue, green and alpha) in the word's halves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/image.h"
#include "renderer.h"

namespace gaugehost::render {

using Pixel = uint32_t;

inline uint32_t alpha_of(Pixel p) { return p >> 24; }

inline Pixel pack(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r | g << 8 | b << 16 | a << 24;
}

// Each of the two 8-bit channels of x (bits 0-7 and 16-23) times f / 255,
// rounded.
inline uint32_t multiply_pair(uint32_t x, uint32_t f)
{
    uint32_t t = x * f + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Every channel times f / 255.
inline Pixel multiply(Pixel p, uint32_t f)
{
    return multiply_pair(p & 0x00FF00FFu, f) | multiply_pair((p >> 8) & 0x00FF00FFu, f) << 8;
}

// Porter-Duff "over" on premultiplied pixels.
inline Pixel over(Pixel source, Pixel target)
{
    uint32_t a = alpha_of(source);
    if (a == 255) return source;
    if (a == 0) return target;
    return source + multiply(target, 255 - a);
}

// a + (b - a) * f / 256 per channel, f from 0 to 256.
inline Pixel mix(Pixel a, Pixel b, uint32_t f)
{
    uint32_t g = 256 - f;
    uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

Pixel premultiply(Rgba c);
Rgba unpremultiply(Pixel p);


// A premultiplied picture.
struct Layer {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    Layer() = default;
    Layer(int w, int h, Pixel fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    Pixel* row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const Pixel* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
    Pixel at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool empty() const { return width == 0 || height == 0; }
};

// A bitmap made ready for filtering: premultiplied, with colour (0,0,0) as
// alpha 0 when `key_black`, and a one-pixel transparent border all round,
// so that a bilinear sample never reads outside and edges fade out.
struct Texture {
    Layer padded;   // (width + 2) x (height + 2)
    int width = 0;  // the bitmap's size
    int height = 0;
    Rect content;   // bounding box of the pixels that are not transparent
    // Per row of the bitmap, the columns [first, second) that hold pixels
    // that are not transparent (first == second: none).
    std::vector<std::pair<int, int>> row_content;

    // Bilinear sample at texture position (u, v) in 16.16 fixed point,
    // already shifted so that (0, 0) is the centre of the border's corner
    // pixel. Transparent outside.
    Pixel sample(int64_t u, int64_t v) const
    {
        if (u < 0 || v < 0) return 0;
        int64_t x = u >> 16, y = v >> 16;
        if (x >= padded.width - 1 || y >= padded.height - 1) return 0;
        uint32_t fx = (uint32_t(u) & 0xFFFF) >> 8, fy = (uint32_t(v) & 0xFFFF) >> 8;
        const Pixel* p = padded.row(int(y)) + x;
        const Pixel* q = p + padded.width;
        Pixel a = p[0], b = p[1], c = q[0], d = q[1];
        // Inside a flat area (or clear space) there is nothing to blend.
        if ((a == b && a == c && a == d) || (fx == 0 && fy == 0)) return a;
        return mix(mix(a, b, fx), mix(c, d, fx), fy);
    }
};

Texture make_texture(const Image& image, bool key_black);

// Rectangle helpers.
Rect intersect(const Rect& a, const Rect& b);
Rect unite(const Rect& a, const Rect& b);

// Resampling of a whole picture to another size: area averaging where the
// target is smaller, bilinear where it is larger, on premultiplied pixels.
// The weights are worked out once per pair of sizes.
class Resampler {
public:
    Resampler() = default;
    Resampler(int source_width, int source_height, int target_width, int target_height);

    // Target pixels [x0, x1) of row y from the source picture.
    void row(const Layer& source, Layer& target, int y, int x0, int x1) const;

private:
    struct Axis {
        std::vector<uint32_t> start;  // per target index, into index/weight; one more at the end
        std::vector<int> index;       // source pixel
        std::vector<uint32_t> weight; // sum 4096 per target pixel
    };
    static Axis axis(int source_size, int target_size);
    Axis columns_, rows_;
};

// Resamples `source` onto the pixels of `target` inside `region`, the whole
// of source mapping onto the whole of target.
void resample(const Layer& source, Layer& target, const Rect& region);

// Straight RGBA from premultiplied, inside a region (same size pictures).
void to_image(const Layer& source, Image& target, const Rect& region);
Layer to_layer(const Image& image);

}  // namespace gaugehost::render
