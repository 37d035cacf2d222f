#include "renderer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <optional>

#include "pixels.h"
#include "text.h"

namespace gaugehost {

using render::Layer;
using render::Pixel;
using render::Texture;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kFar = 1 << 20;

// Fixed point 16.16 of a coordinate, saturated so that far-off positions
// stay far off (and stepping along a row cannot overflow).
int64_t fixed(double v)
{
    double f = std::floor(v * 65536.0 + 0.5);
    if (!(f > -1e15)) return int64_t(-1e15);
    if (f > 1e15) return int64_t(1e15);
    return int64_t(f);
}

// Cosine and sine of an angle in degrees, exact at the quarter turns.
void cos_sin(double degrees, double& c, double& s)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360.0;
    if (d == 0) c = 1, s = 0;
    else if (d == 90) c = 0, s = 1;
    else if (d == 180) c = -1, s = 0;
    else if (d == 270) c = 0, s = -1;
    else c = std::cos(d * kPi / 180.0), s = std::sin(d * kPi / 180.0);
}

bool is_black(Rgba c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// A run of pixels of a cached layer that are not transparent.
struct Run {
    int x0, x1;
    bool opaque;
};

// Consecutive static elements drawn once into one layer, kept as runs of
// drawn pixels per row so that compositing skips the empty parts.
struct StaticLayer {
    Layer layer;
    std::vector<Run> runs;
    std::vector<int> row_start;  // height + 1 entries into runs

    void index()
    {
        runs.clear();
        row_start.assign(size_t(layer.height) + 1, 0);
        for (int y = 0; y < layer.height; ++y) {
            row_start[size_t(y)] = int(runs.size());
            const Pixel* p = layer.row(y);
            int x = 0;
            while (x < layer.width) {
                uint32_t a = render::alpha_of(p[x]);
                if (a == 0) {
                    ++x;
                    continue;
                }
                bool opaque = a == 255;
                int x0 = x;
                while (x < layer.width && render::alpha_of(p[x]) != 0 && (render::alpha_of(p[x]) == 255) == opaque)
                    ++x;
                runs.push_back({x0, x, opaque});
            }
        }
        row_start[size_t(layer.height)] = int(runs.size());
    }

    void composite(Layer& canvas, const Rect& clip) const
    {
        for (int y = clip.y; y < clip.y + clip.height; ++y) {
            const Pixel* in = layer.row(y);
            Pixel* out = canvas.row(y);
            int x_end = clip.x + clip.width;
            for (int i = row_start[size_t(y)]; i < row_start[size_t(y) + 1]; ++i) {
                const Run& r = runs[size_t(i)];
                if (r.x1 <= clip.x) continue;
                if (r.x0 >= x_end) break;
                int x0 = std::max(r.x0, clip.x), x1 = std::min(r.x1, x_end);
                if (r.opaque) {
                    std::copy(in + x0, in + x1, out + x0);
                } else {
                    for (int x = x0; x < x1; ++x) out[x] = render::over(in[x], out[x]);
                }
            }
        }
    }
};

// What a moving element looks like now: when two looks are equal, the
// element draws the same pixels.
struct Look {
    bool drawn = false;
    int bitmap = 0;
    double a = 0, b = 0, c = 0;
    std::string text;
    bool operator==(const Look&) const = default;
};

// The pixels an element covers: for each row from y0, the columns [x0, x1).
struct Coverage {
    int y0 = 0;
    std::vector<std::pair<int, int>> rows;

    bool row(int y, int& x0, int& x1) const
    {
        if (y < y0 || y >= y0 + int(rows.size())) return false;
        x0 = rows[size_t(y - y0)].first;
        x1 = rows[size_t(y - y0)].second;
        return x1 > x0;
    }
};

// A set of pixels: sorted, disjoint column spans per row.
struct Spans {
    std::vector<std::vector<std::pair<int, int>>> rows;
    std::vector<int> used;  // rows that hold spans, in no order

    void reset(int height)
    {
        rows.assign(size_t(height), {});
        used.clear();
    }
    void clear()
    {
        for (int y : used) rows[size_t(y)].clear();
        used.clear();
    }
    bool empty() const { return used.empty(); }
    void add(int y, int x0, int x1)
    {
        if (x1 <= x0 || y < 0 || y >= int(rows.size())) return;
        auto& r = rows[size_t(y)];
        if (r.empty()) used.push_back(y);
        // Merge with every span it overlaps or touches.
        auto it = r.begin();
        while (it != r.end() && it->second < x0) ++it;
        auto first = it;
        while (it != r.end() && it->first <= x1) {
            x0 = std::min(x0, it->first);
            x1 = std::max(x1, it->second);
            ++it;
        }
        it = r.erase(first, it);
        r.insert(it, {x0, x1});
    }
    void add(const Coverage& c)
    {
        for (size_t i = 0; i < c.rows.size(); ++i) add(c.y0 + int(i), c.rows[i].first, c.rows[i].second);
    }
};

}  // namespace

struct GaugeRenderer::State {
    Gauge* gauge;
    std::map<std::pair<int, bool>, std::optional<Texture>> textures;

    // Built by rebuild().
    bool built = false;
    int native_width = 0, native_height = 0;
    int drawn_width = 0, drawn_height = 0;
    std::vector<bool> static_shown;  // per element: static and drawn
    std::vector<StaticLayer> layers;
    // Drawing order: a static layer (>= 0) or a moving element (-1 - index).
    std::vector<int> steps;

    // Per element: the look last drawn, the pixels it covers and the cached text.
    std::vector<Look> looks;
    std::vector<Rect> bounds;
    std::vector<Coverage> coverage;
    std::vector<Layer> texts;
    std::vector<std::string> text_keys;

    Layer canvas;  // gauge pixels
    Layer scaled;  // drawn pixels when the drawn width differs
    render::Resampler resampler;
    Image picture;
    Rect changed;
    std::vector<Rect> changed_parts;
    bool picture_ready = false;
    Spans dirty;        // gauge pixels to draw again
    Spans drawn_dirty;  // drawn pixels to scale again

    explicit State(Gauge& g) : gauge(&g) {}

    const Bitmap* bitmap(int number)
    {
        try {
            return gauge->module().bitmap(number);
        } catch (const std::exception&) {
            return nullptr;  // unreadable art draws nothing, like missing art
        }
    }

    const Texture* texture(int number, bool key_black)
    {
        auto key = std::make_pair(number, key_black);
        auto it = textures.find(key);
        if (it == textures.end()) {
            const Bitmap* b = bitmap(number);
            it = textures.emplace(key, b ? std::optional<Texture>(render::make_texture(b->image, key_black))
                                         : std::nullopt).first;
        }
        return it->second ? &*it->second : nullptr;
    }

    static bool keyed(const ElementState& s) { return (s.element->image_flags & IMAGE_TRANSPARENT) != 0; }

    void native_size(int& w, int& h)
    {
        const auto& elements = gauge->elements();
        const Bitmap* background = elements.empty() ? nullptr : bitmap(elements.front().element->bitmap);
        if (background) {
            w = background->image.width;
            h = background->image.height;
        } else {
            w = h = gauge->default_width();
        }
    }

    void drawn_size(int& w, int& h)
    {
        int nw, nh;
        native_size(nw, nh);
        w = std::clamp(gauge->drawn_width(), 1, 16384);
        h = nw == w ? nh : std::clamp(int(std::lround(double(nh) * w / nw)), 1, 16384);
    }

    bool static_drawn(const ElementState& s)
    {
        const Point& p = s.element->position;
        return !s.hidden() && p.x > -kFar && p.x < kFar && p.y > -kFar && p.y < kFar &&
               texture(s.element->bitmap, keyed(s));
    }

    // Whether the static layers must be drawn again: first refresh, another
    // drawn size, or a static element shown or hidden.
    bool needs_rebuild()
    {
        if (!built) return true;
        int w, h;
        drawn_size(w, h);
        if (w != drawn_width || h != drawn_height) return true;
        const auto& elements = gauge->elements();
        for (size_t i = 0; i < elements.size(); ++i)
            if (elements[i].kind() == ELEMENT_STATIC && static_drawn(elements[i]) != static_shown[i]) return true;
        return false;
    }

    void rebuild()
    {
        native_size(native_width, native_height);
        drawn_size(drawn_width, drawn_height);
        const auto& elements = gauge->elements();
        static_shown.assign(elements.size(), false);
        layers.clear();
        steps.clear();
        Rect all{0, 0, native_width, native_height};
        for (size_t i = 0; i < elements.size(); ++i) {
            const ElementState& s = elements[i];
            if (s.kind() != ELEMENT_STATIC) {
                steps.push_back(-1 - int(i));
                continue;
            }
            static_shown[i] = static_drawn(s);
            if (!static_shown[i]) continue;
            if (steps.empty() || steps.back() < 0) {
                steps.push_back(int(layers.size()));
                layers.push_back({Layer(native_width, native_height), {}, {}});
            }
            blit(layers.back().layer, all, *texture(s.element->bitmap, keyed(s)), s.element->position.x,
                 s.element->position.y);
        }
        for (auto& l : layers) l.index();
        looks.assign(elements.size(), Look{});
        bounds.assign(elements.size(), Rect{});
        coverage.assign(elements.size(), Coverage{});
        texts.assign(elements.size(), Layer{});
        text_keys.assign(elements.size(), std::string{});
        canvas = Layer(native_width, native_height);
        scaled = drawn_width == native_width ? Layer{} : Layer(drawn_width, drawn_height);
        if (!scaled.empty()) resampler = render::Resampler(native_width, native_height, drawn_width, drawn_height);
        picture = Image(drawn_width, drawn_height);
        dirty.reset(native_height);
        drawn_dirty.reset(drawn_height);
        built = true;
    }

    // ---- the look and bounds of each moving element

    Look look_of(const ElementState& s)
    {
        Look l;
        if (s.hidden() || !s.updated) return l;
        const ElementHeader* e = s.element;
        // Positions far outside any picture draw nothing (and keep the
        // arithmetic below far from overflowing).
        auto near = [](int32_t v) { return v > -kFar && v < kFar; };
        if (!near(e->position.x) || !near(e->position.y) || !near(e->offset.x) || !near(e->offset.y) ||
            !near(s.offset_x) || !near(s.offset_y))
            return l;
        bool key = keyed(s);
        switch (s.kind()) {
        case ELEMENT_NEEDLE:
            l.bitmap = e->bitmap;
            l.a = std::fmod(s.angle, 360.0);
            l.drawn = std::isfinite(s.angle) && texture(e->bitmap, key);
            break;
        case ELEMENT_SLIDER:
            l.bitmap = e->bitmap;
            l.a = s.offset_x;
            l.b = s.offset_y;
            l.drawn = texture(e->bitmap, key);
            break;
        case ELEMENT_ICON:
            l.bitmap = s.shown_bitmap();
            l.drawn = texture(l.bitmap, key);
            break;
        case ELEMENT_MOVING:
            l.bitmap = e->bitmap;
            l.a = s.strip_x;
            l.b = s.strip_y;
            l.drawn = std::isfinite(s.strip_x) && std::isfinite(s.strip_y) && texture(e->bitmap, key) &&
                      bitmap(e->bitmap + 1);
            break;
        case ELEMENT_SPRITE:
            l.bitmap = e->bitmap;
            l.a = s.shift_x;
            l.b = s.shift_y;
            l.c = s.rotation;
            l.drawn = std::isfinite(s.shift_x) && std::isfinite(s.shift_y) && std::isfinite(s.rotation) &&
                      texture(e->bitmap, key) && texture(e->bitmap + 1, true);
            break;
        case ELEMENT_STRING:
            l.text = s.text;
            l.drawn = true;
            break;
        }
        if (!l.drawn) l = Look{};
        return l;
    }

    Rect bounds_of(const ElementState& s, const Look& l)
    {
        if (!l.drawn) return {};
        const ElementHeader* e = s.element;
        Rect r;
        switch (s.kind()) {
        case ELEMENT_NEEDLE: {
            const Texture* t = texture(e->bitmap, keyed(s));
            double c, sn;
            cos_sin(l.a, c, sn);
            double px = e->offset.x + 0.5, py = e->offset.y + 0.5;
            double cx = e->position.x + 0.5, cy = e->position.y + 0.5;
            double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
            for (int corner = 0; corner < 4; ++corner) {
                double bx = (corner & 1 ? t->width : 0) - px, by = (corner & 2 ? t->height : 0) - py;
                double sx = cx + c * bx - sn * by, sy = cy + sn * bx + c * by;
                x0 = std::min(x0, sx), y0 = std::min(y0, sy), x1 = std::max(x1, sx), y1 = std::max(y1, sy);
            }
            int ix0 = int(std::max(-1e6, std::floor(x0))) - 1, iy0 = int(std::max(-1e6, std::floor(y0))) - 1;
            int ix1 = int(std::min(1e6, std::ceil(x1))) + 1, iy1 = int(std::min(1e6, std::ceil(y1))) + 1;
            r = {ix0, iy0, ix1 - ix0, iy1 - iy0};
            break;
        }
        case ELEMENT_SLIDER:
        case ELEMENT_ICON: {
            const Texture* t = texture(l.bitmap, keyed(s));
            r = {e->position.x + int(l.a), e->position.y + int(l.b), t->width, t->height};
            break;
        }
        case ELEMENT_MOVING:
        case ELEMENT_SPRITE: {
            const Bitmap* mask = bitmap(e->bitmap + 1);
            r = {e->position.x, e->position.y, mask->image.width, mask->image.height};
            break;
        }
        case ELEMENT_STRING: {
            auto* se = reinterpret_cast<const StringElement*>(e);
            r = {e->position.x, e->position.y, int(std::min<uint32_t>(se->box_width, 4096)),
                 int(std::min<uint32_t>(se->box_height, 4096))};
            break;
        }
        }
        return render::intersect(r, {0, 0, native_width, native_height});
    }

    // ---- drawing, each clipped to `clip` (gauge pixels, inside the canvas)

    static void blit(Layer& canvas, const Rect& clip, const Texture& t, int x, int y)
    {
        Rect r = render::intersect(clip, {x, y, t.width, t.height});
        for (int row = r.y; row < r.y + r.height; ++row) {
            const Pixel* in = t.padded.row(row - y + 1) + 1 - x;
            Pixel* out = canvas.row(row);
            for (int col = r.x; col < r.x + r.width; ++col) out[col] = render::over(in[col], out[col]);
        }
    }

    void draw_needle(const ElementState& s, const Look& l, const Rect& clip)
    {
        const ElementHeader* e = s.element;
        const Texture& t = *texture(e->bitmap, keyed(s));
        double c, sn;
        cos_sin(l.a, c, sn);
        // Screen pixel (X, Y) samples the needle bitmap at pivot + R^-1 (X - cx, Y - cy),
        // in padded texture coordinates (pixel centres on whole numbers).
        double u_origin = e->offset.x + 1.0, v_origin = e->offset.y + 1.0;
        int64_t du = fixed(c), dv = fixed(-sn);
        for (int y = clip.y; y < clip.y + clip.height; ++y) {
            double dx = clip.x - e->position.x, dy = y - e->position.y;
            int64_t u = fixed(u_origin + c * dx + sn * dy);
            int64_t v = fixed(v_origin - sn * dx + c * dy);
            Pixel* out = canvas.row(y);
            for (int x = clip.x; x < clip.x + clip.width; ++x, u += du, v += dv) {
                Pixel p = t.sample(u, v);
                if (p) out[x] = render::over(p, out[x]);
            }
        }
    }

    void draw_sprite(const ElementState& s, const Look& l, const Rect& clip)
    {
        auto* sp = reinterpret_cast<const Sprite*>(s.element);
        const ElementHeader* e = s.element;
        const Texture& tex = *texture(e->bitmap, keyed(s));
        const Texture& mask = *texture(e->bitmap + 1, true);
        double kx = sp->texture_scale_x, ky = sp->texture_scale_y;
        if (!std::isfinite(kx) || !std::isfinite(ky) || std::fabs(kx) < 1e-6 || std::fabs(ky) < 1e-6) return;
        double c, sn;
        cos_sin(l.c, c, sn);
        // Screen point S = C + R (shift + k (T - C)), so
        // T = C + (R^-1 (S - C) - shift) / k.
        double cx = e->offset.x, cy = e->offset.y;
        double u_base = cx - e->position.x + 0.5, v_base = cy - e->position.y + 0.5;
        int64_t du = fixed(c / kx), dv = fixed(-sn / ky);
        Rect r = render::intersect(clip, {e->position.x, e->position.y, mask.width, mask.height});
        for (int y = r.y; y < r.y + r.height; ++y) {
            double sx = r.x + 0.5 - cx, sy = y + 0.5 - cy;
            int64_t u = fixed(u_base + (c * sx + sn * sy - l.a) / kx);
            int64_t v = fixed(v_base + (-sn * sx + c * sy - l.b) / ky);
            const Pixel* m = mask.padded.row(y - e->position.y + 1) + 1 - e->position.x;
            Pixel* out = canvas.row(y);
            for (int x = r.x; x < r.x + r.width; ++x, u += du, v += dv) {
                uint32_t coverage = render::alpha_of(m[x]);
                if (!coverage) continue;
                Pixel p = tex.sample(u, v);
                if (!p) continue;
                if (coverage != 255) p = render::multiply(p, coverage);
                out[x] = render::over(p, out[x]);
            }
        }
    }

    void draw_moving(const ElementState& s, const Look& l, const Rect& clip)
    {
        const ElementHeader* e = s.element;
        const Texture& strip = *texture(e->bitmap, keyed(s));
        const Image& window = bitmap(e->bitmap + 1)->image;
        double col0 = l.a * (strip.width - window.width), row0 = l.b * (strip.height - window.height);
        Rect r = render::intersect(clip, {e->position.x, e->position.y, window.width, window.height});
        for (int y = r.y; y < r.y + r.height; ++y) {
            int j = y - e->position.y;
            int64_t v = fixed(row0 + j + 1.0);
            int64_t u = fixed(col0 + (r.x - e->position.x) + 1.0);
            Pixel* out = canvas.row(y);
            for (int x = r.x; x < r.x + r.width; ++x, u += 65536) {
                Rgba w = window.at(x - e->position.x, j);
                if (w.r == 1 && w.g == 1 && w.b == 1) {
                    Pixel p = strip.sample(u, v);
                    if (p) out[x] = render::over(p, out[x]);
                } else if (!is_black(w)) {
                    out[x] = render::premultiply(w);
                }
            }
        }
    }

    void draw_string(size_t i, const ElementState& s, const Look& l, const Rect& clip)
    {
        auto* se = reinterpret_cast<const StringElement*>(s.element);
        if (texts[i].empty() || text_keys[i] != l.text) {
            auto colour = [](uint32_t bgr) {
                return render::pack(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF, 255);
            };
            Pixel background = (se->header.image_flags & IMAGE_TRANSPARENT) && (se->background & 0xFFFFFF) == 0
                                   ? 0
                                   : colour(se->background);
            texts[i] = render::render_text(l.text, int(std::min<uint32_t>(se->box_width, 4096)),
                                           int(std::min<uint32_t>(se->box_height, 4096)),
                                           int(std::min<uint32_t>(se->font_height, 4096)), colour(se->foreground),
                                           background);
            text_keys[i] = l.text;
        }
        const Layer& t = texts[i];
        Rect r = render::intersect(clip, {s.element->position.x, s.element->position.y, t.width, t.height});
        for (int y = r.y; y < r.y + r.height; ++y) {
            const Pixel* in = t.row(y - s.element->position.y) - s.element->position.x;
            Pixel* out = canvas.row(y);
            for (int x = r.x; x < r.x + r.width; ++x) out[x] = render::over(in[x], out[x]);
        }
    }

    // The rows and columns that a convex quadrilateral (corners in order
    // round it) touches, inside `box`.
    static void cover_polygon(const double* vx, const double* vy, const Rect& box, Coverage& c)
    {
        c.y0 = box.y;
        c.rows.assign(size_t(box.height), {INT_MAX, INT_MIN});
        auto extend = [&](double y, double x) {
            if (!(y > -1e7 && y < 1e7 && x > -1e7 && x < 1e7)) return;
            int row = int(std::floor(y));
            if (row < box.y || row >= box.y + box.height) return;
            auto& r = c.rows[size_t(row - box.y)];
            r.first = std::min(r.first, int(std::floor(x)));
            r.second = std::max(r.second, int(std::ceil(x)) + 1);
        };
        for (int k = 0; k < 4; ++k) {
            double x0 = vx[k], y0 = vy[k], x1 = vx[(k + 1) % 4], y1 = vy[(k + 1) % 4];
            extend(y0, x0);
            // Where the edge crosses each row boundary: the rows on both sides.
            double lo = std::max(std::min(y0, y1), double(box.y)), hi = std::min(std::max(y0, y1), double(box.y + box.height));
            for (double y = std::ceil(lo); y <= hi; y += 1) {
                double x = y1 == y0 ? x0 : x0 + (x1 - x0) * (y - y0) / (y1 - y0);
                extend(y, x);
                extend(y - 1, x);
            }
        }
        for (auto& r : c.rows) {
            r.first = std::max(r.first, box.x);
            r.second = std::min(r.second, box.x + box.width);
            if (r.second < r.first) r = {box.x, box.x};
        }
    }

    // The pixels an element draws: the turned rectangle round a needle's or
    // sprite's drawn pixels (with the pixel that filtering reaches beyond
    // them), the box of the others.
    void cover(const ElementState& s, const Look& l, const Rect& box, Coverage& c)
    {
        c.rows.clear();
        c.y0 = box.y;
        if (box.empty()) return;
        const ElementHeader* e = s.element;
        if (s.kind() == ELEMENT_NEEDLE) {
            const Texture* t = texture(e->bitmap, keyed(s));
            if (t->content.empty()) return;
            double cs, sn;
            cos_sin(l.a, cs, sn);
            double px = e->offset.x + 0.5, py = e->offset.y + 0.5;
            double cx = e->position.x + 0.5, cy = e->position.y + 0.5;
            double vx[4], vy[4];
            for (int k = 0; k < 4; ++k) {
                double bx = ((k == 1 || k == 2) ? t->content.x + t->content.width + 1.0 : t->content.x - 1.0) - px;
                double by = (k >= 2 ? t->content.y + t->content.height + 1.0 : t->content.y - 1.0) - py;
                vx[k] = cx + cs * bx - sn * by;
                vy[k] = cy + sn * bx + cs * by;
            }
            cover_polygon(vx, vy, box, c);
            return;
        }
        if (s.kind() == ELEMENT_SPRITE) {
            auto* sp = reinterpret_cast<const Sprite*>(e);
            const Texture* t = texture(e->bitmap, keyed(s));
            const Texture* mask = texture(e->bitmap + 1, true);
            if (t->content.empty()) return;
            double cs, sn;
            cos_sin(l.c, cs, sn);
            double kx = sp->texture_scale_x, ky = sp->texture_scale_y;
            double cx = e->offset.x, cy = e->offset.y;
            double vx[4], vy[4];
            for (int k = 0; k < 4; ++k) {
                // S = C + R (shift + k (T - C)), T a corner in gauge pixels.
                double tx = e->position.x + ((k == 1 || k == 2) ? t->content.x + t->content.width + 1.0 : t->content.x - 1.0);
                double ty = e->position.y + (k >= 2 ? t->content.y + t->content.height + 1.0 : t->content.y - 1.0);
                double ux = l.a + kx * (tx - cx), uy = l.b + ky * (ty - cy);
                vx[k] = cx + cs * ux - sn * uy;
                vy[k] = cy + sn * ux + cs * uy;
            }
            cover_polygon(vx, vy, box, c);
            // Only where the mask shows something.
            for (size_t i = 0; i < c.rows.size(); ++i) {
                int my = c.y0 + int(i) - e->position.y;
                auto& r = c.rows[i];
                if (my < 0 || my >= mask->height) {
                    r = {r.first, r.first};
                    continue;
                }
                auto [m0, m1] = mask->row_content[size_t(my)];
                r.first = std::max(r.first, e->position.x + m0);
                r.second = std::min(r.second, e->position.x + m1);
                if (r.second < r.first) r.second = r.first;
            }
            return;
        }
        c.rows.assign(size_t(box.height), {box.x, box.x + box.width});
    }

    void draw_element(size_t i, int y, int x0, int x1)
    {
        const ElementState& s = gauge->elements()[i];
        const Look& l = looks[i];
        int c0, c1;
        if (!l.drawn || !coverage[i].row(y, c0, c1)) return;
        c0 = std::max(c0, x0), c1 = std::min(c1, x1);
        if (c1 <= c0) return;
        Rect r{c0, y, c1 - c0, 1};
        switch (s.kind()) {
        case ELEMENT_NEEDLE: draw_needle(s, l, r); break;
        case ELEMENT_SLIDER:
        case ELEMENT_ICON:
            blit(canvas, r, *texture(l.bitmap, keyed(s)), s.element->position.x + int(l.a),
                 s.element->position.y + int(l.b));
            break;
        case ELEMENT_MOVING: draw_moving(s, l, r); break;
        case ELEMENT_SPRITE: draw_sprite(s, l, r); break;
        case ELEMENT_STRING: draw_string(i, s, l, r); break;
        }
    }

    // Draws the gauge again on one row of the canvas, columns [x0, x1).
    void compose(int y, int x0, int x1)
    {
        std::fill(canvas.row(y) + x0, canvas.row(y) + x1, 0);
        Rect row{x0, y, x1 - x0, 1};
        for (int step : steps) {
            if (step >= 0) layers[size_t(step)].composite(canvas, row);
            else draw_element(size_t(-1 - step), y, x0, x1);
        }
    }

    // Rectangles covering a set of spans: rows with equal spans one above
    // the other make one rectangle.
    static void to_rects(Spans& spans, std::vector<Rect>& out)
    {
        out.clear();
        std::sort(spans.used.begin(), spans.used.end());
        std::vector<size_t> open;  // indexes into out of the rectangles ending on the previous row
        std::vector<size_t> next;
        int previous = INT_MIN;
        for (int y : spans.used) {
            next.clear();
            for (const auto& [x0, x1] : spans.rows[size_t(y)]) {
                bool grown = false;
                if (previous == y - 1) {
                    for (size_t k : open) {
                        Rect& r = out[k];
                        if (r.x == x0 && r.width == x1 - x0) {
                            ++r.height;
                            next.push_back(k);
                            grown = true;
                            break;
                        }
                    }
                }
                if (!grown) {
                    next.push_back(out.size());
                    out.push_back({x0, y, x1 - x0, 1});
                }
            }
            open.swap(next);
            previous = y;
        }
    }

    bool refresh()
    {
        bool full = needs_rebuild();
        if (full) rebuild();
        const auto& elements = gauge->elements();
        dirty.clear();
        for (size_t i = 0; i < elements.size(); ++i) {
            if (elements[i].kind() == ELEMENT_STATIC) continue;
            Look l = look_of(elements[i]);
            if (!full && l == looks[i]) continue;
            if (!full) dirty.add(coverage[i]);
            looks[i] = std::move(l);
            bounds[i] = bounds_of(elements[i], looks[i]);
            cover(elements[i], looks[i], bounds[i], coverage[i]);
            if (!full) dirty.add(coverage[i]);
        }
        if (full)
            for (int y = 0; y < native_height; ++y) dirty.add(y, 0, native_width);
        for (int y : dirty.used)
            for (const auto& [x0, x1] : dirty.rows[size_t(y)]) compose(y, x0, x1);

        Spans* out = &dirty;
        if (!scaled.empty()) {
            // Each drawn pixel depends on the gauge pixels under its footprint.
            double sx = double(drawn_width) / native_width, sy = double(drawn_height) / native_height;
            drawn_dirty.clear();
            for (int y : dirty.used) {
                int d0 = int(std::floor(y * sy)) - 1, d1 = int(std::ceil((y + 1) * sy)) + 1;
                for (const auto& [x0, x1] : dirty.rows[size_t(y)]) {
                    int a = std::max(0, int(std::floor(x0 * sx)) - 1);
                    int b = std::min(drawn_width, int(std::ceil(x1 * sx)) + 1);
                    for (int d = std::max(0, d0); d < std::min(drawn_height, d1); ++d) drawn_dirty.add(d, a, b);
                }
            }
            for (int y : drawn_dirty.used)
                for (const auto& [x0, x1] : drawn_dirty.rows[size_t(y)])
                    resampler.row(canvas, scaled, y, x0, x1);
            out = &drawn_dirty;
        }
        const Layer& result = scaled.empty() ? canvas : scaled;
        for (int y : out->used)
            for (const auto& [x0, x1] : out->rows[size_t(y)]) render::to_image(result, picture, {x0, y, x1 - x0, 1});
        to_rects(*out, changed_parts);
        changed = {};
        for (const Rect& r : changed_parts) changed = render::unite(changed, r);
        picture_ready = true;
        return !changed.empty();
    }
};

GaugeRenderer::GaugeRenderer(Gauge& gauge) : state_(std::make_unique<State>(gauge)) {}
GaugeRenderer::~GaugeRenderer() = default;

Gauge& GaugeRenderer::gauge() const { return *state_->gauge; }

int GaugeRenderer::width() const
{
    int w, h;
    state_->drawn_size(w, h);
    return w;
}

int GaugeRenderer::height() const
{
    int w, h;
    state_->drawn_size(w, h);
    return h;
}

bool GaugeRenderer::refresh() { return state_->refresh(); }

const Image& GaugeRenderer::picture()
{
    if (!state_->picture_ready) state_->refresh();
    return state_->picture;
}

Rect GaugeRenderer::changed_region() const { return state_->changed; }

const std::vector<Rect>& GaugeRenderer::changed_parts() const { return state_->changed_parts; }

void GaugeRenderer::draw(Image& target, int x, int y)
{
    state_->refresh();
    composite_over(target, state_->picture, x, y);
}

void GaugeRenderer::invalidate()
{
    state_->textures.clear();
    state_->built = false;
}

Image render_gauge(Gauge& gauge)
{
    GaugeRenderer renderer(gauge);
    renderer.refresh();
    return renderer.picture();
}

}  // namespace gaugehost
