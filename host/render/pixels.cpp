#include "pixels.h"

#include <cmath>

namespace gaugehost::render {

Pixel premultiply(Rgba c)
{
    if (c.a == 255) return pack(c.r, c.g, c.b, 255);
    return multiply(pack(c.r, c.g, c.b, 0), c.a) | uint32_t(c.a) << 24;
}

namespace {

// 255 / a in 16.16 fixed point, for each alpha.
struct Reciprocals {
    uint32_t of[256];
    Reciprocals()
    {
        of[0] = 0;
        for (uint32_t a = 1; a < 256; ++a) of[a] = (255u * 65536u + a / 2) / a;
    }
};
const Reciprocals reciprocals;

}  // namespace

Rgba unpremultiply(Pixel p)
{
    uint32_t a = alpha_of(p);
    if (a == 255) return {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 255};
    if (a == 0) return {0, 0, 0, 0};
    uint32_t k = reciprocals.of[a];
    auto channel = [k](uint32_t c) { return uint8_t(std::min<uint32_t>(255, (c * k + 32768) >> 16)); };
    return {channel(p & 0xFF), channel((p >> 8) & 0xFF), channel((p >> 16) & 0xFF), uint8_t(a)};
}

Texture make_texture(const Image& image, bool key_black)
{
    Texture t;
    t.width = image.width;
    t.height = image.height;
    t.padded = Layer(image.width + 2, image.height + 2);
    for (int y = 0; y < image.height; ++y) {
        Pixel* out = t.padded.row(y + 1) + 1;
        for (int x = 0; x < image.width; ++x) {
            Rgba c = image.at(x, y);
            out[x] = key_black && c.r == 0 && c.g == 0 && c.b == 0 ? 0 : premultiply(c);
        }
    }
    t.row_content.assign(size_t(image.height), {0, 0});
    for (int y = 0; y < image.height; ++y) {
        const Pixel* row = t.padded.row(y + 1) + 1;
        int first = 0, last = image.width;
        while (first < image.width && alpha_of(row[first]) == 0) ++first;
        while (last > first && alpha_of(row[last - 1]) == 0) --last;
        if (first < last) {
            t.row_content[size_t(y)] = {first, last};
            t.content = unite(t.content, {first, y, last - first, 1});
        }
    }
    return t;
}

Rect intersect(const Rect& a, const Rect& b)
{
    int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    int x1 = std::min(a.x + a.width, b.x + b.width), y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect unite(const Rect& a, const Rect& b)
{
    if (a.empty()) return b;
    if (b.empty()) return a;
    int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    int x1 = std::max(a.x + a.width, b.x + b.width), y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

Resampler::Axis Resampler::axis(int source_size, int target_size)
{
    Axis a;
    a.start.push_back(0);
    double s = double(target_size) / source_size;
    std::vector<std::pair<int, double>> taps;
    for (int o = 0; o < target_size; ++o) {
        taps.clear();
        if (s < 1) {
            // Area average over the pixel's footprint in the source.
            double from = o / s, to = (o + 1) / s;
            int i0 = int(std::floor(from)), i1 = std::min(source_size, int(std::ceil(to)));
            for (int i = std::max(0, i0); i < i1; ++i) {
                double w = std::min(to, double(i + 1)) - std::max(from, double(i));
                if (w > 0) taps.push_back({i, w * s});
            }
        } else {
            double c = (o + 0.5) / s - 0.5;
            int i0 = int(std::floor(c));
            double f = c - i0;
            auto clamp = [&](int i) { return std::clamp(i, 0, source_size - 1); };
            taps.push_back({clamp(i0), 1 - f});
            taps.push_back({clamp(i0 + 1), f});
        }
        // Whole-number weights that add up to exactly 4096.
        uint32_t given = 0;
        double sum = 0;
        for (size_t k = 0; k < taps.size(); ++k) {
            sum += taps[k].second;
            uint32_t upto = uint32_t(std::lround(std::min(sum, 1.0) * 4096));
            if (k + 1 == taps.size()) upto = 4096;
            if (upto > given) {
                a.index.push_back(taps[k].first);
                a.weight.push_back(upto - given);
                given = upto;
            }
        }
        a.start.push_back(uint32_t(a.index.size()));
    }
    return a;
}

Resampler::Resampler(int source_width, int source_height, int target_width, int target_height)
    : columns_(axis(source_width, target_width)), rows_(axis(source_height, target_height))
{
}

void Resampler::row(const Layer& source, Layer& target, int y, int x0, int x1) const
{
    Pixel* out = target.row(y);
    for (int x = x0; x < x1; ++x) {
        uint64_t rb = 0, ag = 0;
        for (uint32_t r = rows_.start[size_t(y)]; r < rows_.start[size_t(y) + 1]; ++r) {
            const Pixel* in = source.row(rows_.index[r]);
            uint64_t hrb = 0, hag = 0;
            for (uint32_t c = columns_.start[size_t(x)]; c < columns_.start[size_t(x) + 1]; ++c) {
                Pixel p = in[columns_.index[c]];
                uint64_t w = columns_.weight[c];
                // Red and blue, green and alpha, each pair in one word.
                hrb += (uint64_t(p & 0xFF) | uint64_t((p >> 16) & 0xFF) << 32) * w;
                hag += (uint64_t((p >> 8) & 0xFF) | uint64_t(p >> 24) << 32) * w;
            }
            uint64_t w = rows_.weight[r];
            rb += hrb * w;
            ag += hag * w;
        }
        auto byte = [](uint64_t v) { return uint32_t(((v & 0xFFFFFFFFu) + (1u << 23)) >> 24); };
        uint32_t a = byte(ag >> 32);
        out[x] = pack(std::min(byte(rb), a), std::min(byte(ag), a), std::min(byte(rb >> 32), a), a);
    }
}

void resample(const Layer& source, Layer& target, const Rect& region)
{
    Rect r = intersect(region, {0, 0, target.width, target.height});
    if (r.empty() || source.empty()) return;
    Resampler resampler(source.width, source.height, target.width, target.height);
    for (int y = r.y; y < r.y + r.height; ++y) resampler.row(source, target, y, r.x, r.x + r.width);
}

void to_image(const Layer& source, Image& target, const Rect& region)
{
    Rect r = intersect(region, {0, 0, source.width, source.height});
    for (int y = r.y; y < r.y + r.height; ++y) {
        const Pixel* in = source.row(y);
        Rgba* out = &target.at(0, y);
        for (int x = r.x; x < r.x + r.width; ++x) out[x] = unpremultiply(in[x]);
    }
}

Layer to_layer(const Image& image)
{
    Layer layer(image.width, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) layer.pixels[i] = premultiply(image.pixels[i]);
    return layer;
}

}  // namespace gaugehost::render
