#include "bmp_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unordered_map>

namespace art {

using gaugehost::Image;
using gaugehost::Rgba;

namespace {

uint32_t key_of(const Rgba& c)
{
    return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

bool is_key_colour(uint32_t key)
{
    return key == 0x000000 || key == 0x010101;
}

// One distinct colour of the picture and how many pixels have it.
struct Entry {
    double r, g, b;
    double count;
    uint32_t key;
};

// Distance with the eye's weights: green matters most, blue least.
double distance(double r1, double g1, double b1, double r2, double g2, double b2)
{
    double dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

struct Cluster {
    size_t begin, end;  // range of entries
    double error = 0;   // weighted squared error about the mean
    int axis = 0;       // channel of the largest spread
};

void measure(Cluster& c, const std::vector<Entry>& e)
{
    double n = 0, s[3] = {0, 0, 0}, q[3] = {0, 0, 0};
    for (size_t i = c.begin; i < c.end; ++i) {
        double v[3] = {e[i].r, e[i].g, e[i].b};
        n += e[i].count;
        for (int k = 0; k < 3; ++k) {
            s[k] += v[k] * e[i].count;
            q[k] += v[k] * v[k] * e[i].count;
        }
    }
    const double weight[3] = {3, 4, 2};
    c.error = 0;
    double best = -1;
    for (int k = 0; k < 3; ++k) {
        double var = q[k] - s[k] * s[k] / n;
        c.error += weight[k] * var;
        if (weight[k] * var > best) {
            best = weight[k] * var;
            c.axis = k;
        }
    }
    if (c.end - c.begin < 2) c.error = 0;
}

// Median cut on the weighted colours, then a few rounds of k-means.
std::vector<Rgba> cluster_palette(std::vector<Entry>& entries, size_t slots)
{
    std::vector<Cluster> clusters{{0, entries.size()}};
    measure(clusters[0], entries);
    while (clusters.size() < slots) {
        auto worst = std::max_element(clusters.begin(), clusters.end(),
                                      [](const Cluster& a, const Cluster& b) { return a.error < b.error; });
        if (worst->error <= 0) break;
        Cluster c = *worst;
        auto channel = [&](const Entry& x) { return c.axis == 0 ? x.r : c.axis == 1 ? x.g : x.b; };
        std::sort(entries.begin() + c.begin, entries.begin() + c.end,
                  [&](const Entry& a, const Entry& b) { return channel(a) < channel(b); });
        double total = 0;
        for (size_t i = c.begin; i < c.end; ++i) total += entries[i].count;
        double run = 0;
        size_t cut = c.begin + 1;
        for (size_t i = c.begin; i < c.end - 1; ++i) {
            run += entries[i].count;
            cut = i + 1;
            if (run >= total / 2) break;
        }
        Cluster a{c.begin, cut}, b{cut, c.end};
        measure(a, entries);
        measure(b, entries);
        *worst = a;
        clusters.push_back(b);
    }

    std::vector<std::array<double, 3>> centre(clusters.size());
    for (size_t k = 0; k < clusters.size(); ++k) {
        double n = 0, s[3] = {0, 0, 0};
        for (size_t i = clusters[k].begin; i < clusters[k].end; ++i) {
            n += entries[i].count;
            s[0] += entries[i].r * entries[i].count;
            s[1] += entries[i].g * entries[i].count;
            s[2] += entries[i].b * entries[i].count;
        }
        centre[k] = {s[0] / n, s[1] / n, s[2] / n};
    }
    std::vector<size_t> owner(entries.size());
    for (int round = 0; round < 6; ++round) {
        std::vector<std::array<double, 4>> sum(centre.size(), {0, 0, 0, 0});
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            double best = 1e300;
            for (size_t k = 0; k < centre.size(); ++k) {
                double d = distance(e.r, e.g, e.b, centre[k][0], centre[k][1], centre[k][2]);
                if (d < best) {
                    best = d;
                    owner[i] = k;
                }
            }
            auto& s = sum[owner[i]];
            s[0] += e.r * e.count;
            s[1] += e.g * e.count;
            s[2] += e.b * e.count;
            s[3] += e.count;
        }
        for (size_t k = 0; k < centre.size(); ++k)
            if (sum[k][3] > 0) centre[k] = {sum[k][0] / sum[k][3], sum[k][1] / sum[k][3], sum[k][2] / sum[k][3]};
    }
    std::vector<Rgba> palette;
    for (const auto& c : centre) {
        Rgba p{uint8_t(std::lround(c[0])), uint8_t(std::lround(c[1])), uint8_t(std::lround(c[2])), 255};
        // A cluster of dark colours must not turn into a key colour.
        if (is_key_colour(key_of(p))) p = {2, 2, 2, 255};
        palette.push_back(p);
    }
    return palette;
}

}  // namespace

IndexedImage quantise(const Image& image, int bits)
{
    if (bits != 4 && bits != 8) throw std::invalid_argument("bit depth must be 4 or 8");
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.bits = bits;
    const size_t capacity = size_t(1) << bits;

    std::unordered_map<uint32_t, double> counts;
    for (const Rgba& p : image.pixels) counts[key_of(p)] += 1;

    std::unordered_map<uint32_t, uint8_t> slot_of;
    auto colour_of = [](uint32_t key) {
        return Rgba{uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key), 255};
    };
    if (counts.size() <= capacity) {
        std::vector<uint32_t> keys;
        for (const auto& [key, n] : counts) keys.push_back(key);
        std::sort(keys.begin(), keys.end());  // (0,0,0) first when present
        for (uint32_t key : keys) {
            slot_of[key] = uint8_t(out.palette.size());
            out.palette.push_back(colour_of(key));
        }
    } else {
        std::vector<Entry> entries;
        for (const auto& [key, n] : counts) {
            if (is_key_colour(key)) {
                slot_of[key] = uint8_t(out.palette.size());
                out.palette.push_back(colour_of(key));
            } else {
                entries.push_back({double(key >> 16), double((key >> 8) & 0xFF), double(key & 0xFF), n, key});
            }
        }
        size_t first = out.palette.size();
        std::vector<Rgba> clustered = cluster_palette(entries, capacity - first);
        out.palette.insert(out.palette.end(), clustered.begin(), clustered.end());
        for (const Entry& e : entries) {
            double best = 1e300;
            size_t chosen = first;
            for (size_t k = first; k < out.palette.size(); ++k) {
                const Rgba& p = out.palette[k];
                double d = distance(e.r, e.g, e.b, p.r, p.g, p.b);
                if (d < best) {
                    best = d;
                    chosen = k;
                }
            }
            slot_of[e.key] = uint8_t(chosen);
        }
    }
    out.index.reserve(image.pixels.size());
    for (const Rgba& p : image.pixels) out.index.push_back(slot_of.at(key_of(p)));
    return out;
}

std::vector<uint8_t> encode_bmp(const IndexedImage& image)
{
    const size_t colours = size_t(1) << image.bits;
    if (image.palette.size() > colours) throw std::logic_error("palette larger than the bit depth");
    const size_t row_bytes = (size_t(image.width) * image.bits + 31) / 32 * 4;
    const size_t pixels_at = 14 + 40 + colours * 4;
    const size_t file_size = pixels_at + row_bytes * size_t(image.height);
    std::vector<uint8_t> out(file_size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
    };
    auto put16 = [&](size_t at, uint16_t v) {
        out[at] = uint8_t(v);
        out[at + 1] = uint8_t(v >> 8);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(file_size));
    put32(10, uint32_t(pixels_at));
    put32(14, 40);
    put32(18, uint32_t(image.width));
    put32(22, uint32_t(image.height));  // positive: rows stored bottom-up
    put16(26, 1);
    put16(28, uint16_t(image.bits));
    put32(30, 0);  // no compression
    put32(34, uint32_t(row_bytes * size_t(image.height)));
    put32(38, 2835);  // 72 dots per inch
    put32(42, 2835);
    put32(46, uint32_t(colours));
    put32(50, 0);
    for (size_t i = 0; i < image.palette.size(); ++i) {
        out[54 + 4 * i] = image.palette[i].b;
        out[54 + 4 * i + 1] = image.palette[i].g;
        out[54 + 4 * i + 2] = image.palette[i].r;
    }
    for (int y = 0; y < image.height; ++y) {
        size_t row = pixels_at + size_t(image.height - 1 - y) * row_bytes;
        for (int x = 0; x < image.width; ++x) {
            uint8_t v = image.index[size_t(y) * size_t(image.width) + size_t(x)];
            if (image.bits == 8) {
                out[row + size_t(x)] = v;
            } else {
                out[row + size_t(x) / 2] |= uint8_t(x % 2 == 0 ? v << 4 : v);
            }
        }
    }
    return out;
}

void write_file_if_changed(const std::string& path, const std::vector<uint8_t>& data)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == data) return;
        }
    }
    // Written beside it and renamed over it, so that a reader never sees
    // half a file.
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        if (!out) throw std::runtime_error(path + ": cannot write file");
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) throw std::runtime_error(path + ": cannot write file (" + ec.message() + ")");
}

}  // namespace art
