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

namespace {

struct Tap {
    int index;
    float weight;
};

// The source pixels and weights that make target pixel `o` along one axis.
void taps_for(int o, int source_size, int target_size, std::vector<Tap>& taps)
{
    taps.clear();
    double s = double(target_size) / source_size;
    if (s < 1) {
        // Area average over the pixel's footprint in the source.
        double from = o / s, to = (o + 1) / s;
        int i0 = int(std::floor(from)), i1 = std::min(source_size, int(std::ceil(to)));
        for (int i = std::max(0, i0); i < i1; ++i) {
            double w = std::min(to, double(i + 1)) - std::max(from, double(i));
            if (w > 0) taps.push_back({i, float(w * s)});
        }
    } else {
        double c = (o + 0.5) / s - 0.5;
        int i0 = int(std::floor(c));
        float f = float(c - i0);
        auto clamp = [&](int i) { return std::clamp(i, 0, source_size - 1); };
        taps.push_back({clamp(i0), 1 - f});
        if (f > 0) taps.push_back({clamp(i0 + 1), f});
    }
}

}  // namespace

void resample(const Layer& source, Layer& target, const Rect& region)
{
    Rect r = intersect(region, {0, 0, target.width, target.height});
    if (r.empty() || source.empty()) return;
    std::vector<std::vector<Tap>> columns(size_t(r.width));
    for (int x = 0; x < r.width; ++x) taps_for(r.x + x, source.width, target.width, columns[size_t(x)]);
    std::vector<Tap> rows;
    std::vector<float> sum(size_t(r.width) * 4);
    for (int y = r.y; y < r.y + r.height; ++y) {
        taps_for(y, source.height, target.height, rows);
        std::fill(sum.begin(), sum.end(), 0.f);
        for (const Tap& row : rows) {
            const Pixel* in = source.row(row.index);
            for (int x = 0; x < r.width; ++x) {
                float c[4] = {0, 0, 0, 0};
                for (const Tap& col : columns[size_t(x)]) {
                    Pixel p = in[col.index];
                    c[0] += float(p & 0xFF) * col.weight;
                    c[1] += float((p >> 8) & 0xFF) * col.weight;
                    c[2] += float((p >> 16) & 0xFF) * col.weight;
                    c[3] += float(p >> 24) * col.weight;
                }
                for (int k = 0; k < 4; ++k) sum[size_t(x) * 4 + size_t(k)] += c[k] * row.weight;
            }
        }
        Pixel* out = target.row(y) + r.x;
        for (int x = 0; x < r.width; ++x) {
            const float* c = &sum[size_t(x) * 4];
            auto byte = [](float v) { return uint32_t(std::clamp(v + 0.5f, 0.f, 255.f)); };
            uint32_t a = byte(c[3]);
            out[x] = pack(std::min(byte(c[0]), a), std::min(byte(c[1]), a), std::min(byte(c[2]), a), a);
        }
    }
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
