// One panel-like frame: every gauge of the modules in the gauges folder,
// laid out side by side on one canvas, is updated with changing token
// values and drawn. "Ours" is the gauge renderer (cached static layers,
// redrawing only changed regions); "Cairo" draws the same frame the
// straightforward way, element by element with cairo_rotate and bilinear
// surface patterns, every frame. The ratio of the two is printed last.
#include <cairo.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/gauge.h"
#include "host/host.h"
#include "host/render/renderer.h"

using namespace gaugehost;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgba kBackdrop{40, 42, 46, 255};

// ---- the panel: modules, gauges, their places and changing values

struct Scene {
    TokenStore tokens;
    Host host{tokens};
    std::vector<std::unique_ptr<Gauge>> gauges;
    std::vector<Point> places;
    std::vector<uint32_t> token_numbers;
    Image backdrop;
    int frame = 0;

    // `scale`: every gauge drawn at that fraction of its default width.
    explicit Scene(const std::string& folder, double scale = 1.0)
    {
        std::map<uint32_t, bool> seen;
        auto note = [&](const TokenVar& v) {
            // The fuel selector's token holds an integer, not a double.
            if (v.token != 0 && v.token != 422 && !seen[v.token]) {
                seen[v.token] = true;
                token_numbers.push_back(v.token);
            }
        };
        int x = 10, y = 10, row_height = 0;
        const int canvas_width = 1500;
        for (const auto& name : modules_in_folder(folder)) {
            Module& m = host.load_module((std::filesystem::path(folder) / module_file_name(name)).string());
            for (GaugeHeader* h : m.gauges()) {
                auto g = std::make_unique<Gauge>(host, m, h);
                if (scale != 1.0) g->set_drawn_width(std::max(1, int(std::lround(g->default_width() * scale))));
                for (ElementState& s : g->elements()) {
                    ElementHeader* e = s.element;
                    switch (e->kind) {
                    case ELEMENT_NEEDLE: note(reinterpret_cast<Needle*>(e)->source); break;
                    case ELEMENT_STRING: note(reinterpret_cast<StringElement*>(e)->sources[0]); break;
                    case ELEMENT_SLIDER: note(reinterpret_cast<Slider*>(e)->y.source); break;
                    case ELEMENT_ICON: note(reinterpret_cast<Icon*>(e)->source); break;
                    case ELEMENT_MOVING: note(reinterpret_cast<MovingImage*>(e)->x.source); break;
                    case ELEMENT_SPRITE: {
                        auto* sp = reinterpret_cast<Sprite*>(e);
                        note(sp->x.source), note(sp->y.source), note(sp->rotation.source);
                        break;
                    }
                    }
                }
                int w = int(std::ceil((g->background_width() ? g->background_width() : g->default_width()) * scale));
                int hgt = int(std::ceil((g->background_height() ? g->background_height() : g->default_width()) * scale));
                if (x + w > canvas_width - 10) x = 10, y += row_height + 10, row_height = 0;
                places.push_back({x, y});
                x += w + 10;
                row_height = std::max(row_height, hgt);
                gauges.push_back(std::move(g));
            }
        }
        backdrop = Image(canvas_width, y + row_height + 10, kBackdrop);
    }

    // Next frame: every token moves, every gauge updates.
    void advance()
    {
        ++frame;
        for (uint32_t t : token_numbers) tokens.set(t, 50 + 50 * std::sin(frame * 0.05 + t * 0.7));
        host.advance_time(1.0 / Host::kUpdateRate);
        for (auto& g : gauges) g->update();
    }
};

// ---- ours

struct Ours {
    Scene* scene;
    std::vector<std::unique_ptr<GaugeRenderer>> renderers;
    Image canvas;

    explicit Ours(Scene& s) : scene(&s), canvas(s.backdrop)
    {
        for (auto& g : s.gauges) renderers.push_back(std::make_unique<GaugeRenderer>(*g));
    }

    void draw()
    {
        for (size_t i = 0; i < renderers.size(); ++i) {
            if (!renderers[i]->refresh()) continue;
            Point at = scene->places[i];
            // Put the backdrop back under the changed parts, then the gauge over them.
            for (const Rect& c : renderers[i]->changed_parts()) {
                for (int y = c.y; y < c.y + c.height; ++y)
                    std::copy_n(&scene->backdrop.at(at.x + c.x, at.y + y), c.width, &canvas.at(at.x + c.x, at.y + y));
                composite_over(canvas, renderers[i]->picture(), at.x, at.y, c);
            }
        }
    }
};

// ---- cairo

cairo_surface_t* argb_surface(const Image& image, bool key_black)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < image.width; ++x) {
            Rgba c = image.at(x, y);
            bool clear = key_black && c.r == 0 && c.g == 0 && c.b == 0;
            uint32_t a = clear ? 0 : c.a;
            auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
            row[x] = a << 24 | pm(c.r) << 16 | pm(c.g) << 8 | pm(c.b);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// An alpha-only mask: opaque where `keep` holds.
template <typename Keep>
cairo_surface_t* mask_surface(const Image& image, Keep keep)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, image.width, image.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) data[y * stride + x] = keep(image.at(x, y)) ? 255 : 0;
    cairo_surface_mark_dirty(s);
    return s;
}

struct Cairo {
    Scene* scene;
    cairo_surface_t* canvas;
    cairo_surface_t* backdrop;
    struct Surfaces {
        cairo_surface_t* argb = nullptr;     // the bitmap, black transparent
        cairo_surface_t* mask = nullptr;     // sprite mask, moving window
        cairo_surface_t* overlay = nullptr;  // the window's own colours
    };
    std::map<std::pair<Module*, int>, Surfaces> surfaces;

    explicit Cairo(Scene& s) : scene(&s)
    {
        canvas = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s.backdrop.width, s.backdrop.height);
        backdrop = argb_surface(s.backdrop, false);
    }
    ~Cairo()
    {
        for (auto& [k, v] : surfaces)
            for (cairo_surface_t* x : {v.argb, v.mask, v.overlay})
                if (x) cairo_surface_destroy(x);
        cairo_surface_destroy(canvas);
        cairo_surface_destroy(backdrop);
    }

    Surfaces& get(Gauge& g, int number)
    {
        auto key = std::make_pair(&g.module(), number);
        auto it = surfaces.find(key);
        if (it != surfaces.end()) return it->second;
        Surfaces s;
        if (const Bitmap* b = g.module().bitmap(number)) {
            s.argb = argb_surface(b->image, true);
            s.mask = mask_surface(b->image, [](Rgba c) { return c.r || c.g || c.b; });
            Image own = b->image;
            for (Rgba& c : own.pixels)
                if (c.r == 1 && c.g == 1 && c.b == 1) c = {0, 0, 0, 255};
            s.overlay = argb_surface(own, true);
        }
        return surfaces[key] = s;
    }

    void paint_bilinear(cairo_t* cr, cairo_surface_t* s, double x, double y)
    {
        cairo_set_source_surface(cr, s, x, y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
        cairo_paint(cr);
    }

    void draw_gauge(cairo_t* cr, Gauge& g)
    {
        for (const ElementState& s : g.elements()) {
            if (s.hidden() || !s.updated) continue;
            const ElementHeader* e = s.element;
            switch (s.kind()) {
            case ELEMENT_STATIC:
            case ELEMENT_ICON:
            case ELEMENT_SLIDER: {
                cairo_surface_t* b = get(g, s.shown_bitmap()).argb;
                if (b) paint_bilinear(cr, b, e->position.x + s.offset_x, e->position.y + s.offset_y);
                break;
            }
            case ELEMENT_NEEDLE: {
                cairo_surface_t* b = get(g, e->bitmap).argb;
                if (!b || !std::isfinite(s.angle)) break;
                cairo_save(cr);
                cairo_translate(cr, e->position.x + 0.5, e->position.y + 0.5);
                cairo_rotate(cr, std::fmod(s.angle, 360.0) * kPi / 180);
                cairo_translate(cr, -(e->offset.x + 0.5), -(e->offset.y + 0.5));
                paint_bilinear(cr, b, 0, 0);
                cairo_restore(cr);
                break;
            }
            case ELEMENT_SPRITE: {
                auto* sp = reinterpret_cast<const Sprite*>(e);
                Surfaces& tex = get(g, e->bitmap);
                Surfaces& mask = get(g, e->bitmap + 1);
                if (!tex.argb || !mask.mask) break;
                cairo_matrix_t gauge_space;
                cairo_get_matrix(cr, &gauge_space);
                cairo_save(cr);
                cairo_translate(cr, e->offset.x, e->offset.y);
                cairo_rotate(cr, s.rotation * kPi / 180);
                cairo_translate(cr, s.shift_x, s.shift_y);
                cairo_scale(cr, sp->texture_scale_x, sp->texture_scale_y);
                cairo_translate(cr, -e->offset.x, -e->offset.y);
                cairo_set_source_surface(cr, tex.argb, e->position.x, e->position.y);
                cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
                cairo_set_matrix(cr, &gauge_space);
                cairo_mask_surface(cr, mask.mask, e->position.x, e->position.y);
                cairo_restore(cr);
                break;
            }
            case ELEMENT_MOVING: {
                Surfaces& strip = get(g, e->bitmap);
                Surfaces& window = get(g, e->bitmap + 1);
                if (!strip.argb || !window.mask) break;
                const Bitmap* sb = g.module().bitmap(e->bitmap);
                const Bitmap* wb = g.module().bitmap(e->bitmap + 1);
                double col0 = s.strip_x * (sb->image.width - wb->image.width);
                double row0 = s.strip_y * (sb->image.height - wb->image.height);
                cairo_surface_t* inside = mask_surface(wb->image, [](Rgba c) { return c.r == 1 && c.g == 1 && c.b == 1; });
                cairo_set_source_surface(cr, strip.argb, e->position.x - col0, e->position.y - row0);
                cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
                cairo_mask_surface(cr, inside, e->position.x, e->position.y);
                cairo_surface_destroy(inside);
                paint_bilinear(cr, window.overlay, e->position.x, e->position.y);
                break;
            }
            case ELEMENT_STRING: {
                auto* se = reinterpret_cast<const StringElement*>(e);
                auto rgb = [](uint32_t bgr, int shift) { return ((bgr >> shift) & 0xFF) / 255.0; };
                cairo_save(cr);
                cairo_rectangle(cr, e->position.x, e->position.y, se->box_width, se->box_height);
                cairo_clip(cr);
                if (se->background & 0xFFFFFF) {
                    cairo_set_source_rgb(cr, rgb(se->background, 0), rgb(se->background, 8), rgb(se->background, 16));
                    cairo_paint(cr);
                }
                cairo_select_font_face(cr, "Liberation Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
                cairo_set_font_size(cr, se->font_height / 1.1328);
                cairo_font_extents_t fe;
                cairo_font_extents(cr, &fe);
                cairo_set_source_rgb(cr, rgb(se->foreground, 0), rgb(se->foreground, 8), rgb(se->foreground, 16));
                cairo_move_to(cr, e->position.x,
                              e->position.y + (se->box_height - (fe.ascent + fe.descent)) / 2 + fe.ascent);
                cairo_show_text(cr, s.text.c_str());
                cairo_restore(cr);
                break;
            }
            }
        }
    }

    void draw()
    {
        cairo_t* cr = cairo_create(canvas);
        cairo_set_source_surface(cr, backdrop, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        for (size_t i = 0; i < scene->gauges.size(); ++i) {
            cairo_save(cr);
            cairo_translate(cr, scene->places[i].x, scene->places[i].y);
            cairo_scale(cr, scene->gauges[i]->scale(), scene->gauges[i]->scale());
            draw_gauge(cr, *scene->gauges[i]);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(canvas);
    }

    Image picture()
    {
        Image out(scene->backdrop.width, scene->backdrop.height);
        unsigned char* data = cairo_image_surface_get_data(canvas);
        int stride = cairo_image_surface_get_stride(canvas);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                uint32_t p = reinterpret_cast<uint32_t*>(data + y * stride)[x];
                out.at(x, y) = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255};
            }
        return out;
    }
};

std::string gauges_folder()
{
    const char* env = std::getenv("ORVANE_BENCH_GAUGES");
    return env ? env : ORVANE_GAUGES_DIR;
}

// state.range(0): drawn width in percent of the default width.
void BM_Frame_Ours(benchmark::State& state)
{
    Scene scene(gauges_folder(), state.range(0) / 100.0);
    Ours ours(scene);
    scene.advance();
    ours.draw();
    for (auto _ : state) {
        scene.advance();
        ours.draw();
        benchmark::DoNotOptimize(ours.canvas.pixels.data());
    }
    state.counters["gauges"] = double(scene.gauges.size());
}

void BM_Frame_Cairo(benchmark::State& state)
{
    Scene scene(gauges_folder(), state.range(0) / 100.0);
    Cairo cairo(scene);
    scene.advance();
    cairo.draw();
    for (auto _ : state) {
        scene.advance();
        cairo.draw();
        benchmark::DoNotOptimize(cairo_image_surface_get_data(cairo.canvas));
    }
    state.counters["gauges"] = double(scene.gauges.size());
}

// The updates alone, common to both: what the drawing adds to them.
void BM_Frame_UpdatesOnly(benchmark::State& state)
{
    Scene scene(gauges_folder());
    for (auto _ : state) scene.advance();
}

BENCHMARK(BM_Frame_UpdatesOnly)->Unit(benchmark::kMicrosecond);
// At the modules' own sizes, and scaled as a panel may draw them.
BENCHMARK(BM_Frame_Ours)->Arg(100)->Arg(75)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Frame_Cairo)->Arg(100)->Arg(75)->Unit(benchmark::kMicrosecond);

// Keeps the time per frame of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

// Both ways draw the same frame: how far apart are their pictures?
void compare_pictures()
{
    Scene a(gauges_folder()), b(gauges_folder());
    Ours ours(a);
    Cairo cairo(b);
    for (int i = 0; i < 3; ++i) a.advance(), b.advance(), ours.draw(), cairo.draw();
    Image mine = ours.canvas, theirs = cairo.picture();
    double total = 0;
    size_t far = 0;
    int worst = 0;
    for (size_t i = 0; i < mine.pixels.size(); ++i) {
        int d = std::max({std::abs(mine.pixels[i].r - theirs.pixels[i].r), std::abs(mine.pixels[i].g - theirs.pixels[i].g),
                          std::abs(mine.pixels[i].b - theirs.pixels[i].b)});
        total += d;
        far += d > 32;
        worst = std::max(worst, d);
    }
    std::printf("panel %dx%d, %zu gauges, %zu changing tokens\n", mine.width, mine.height, a.gauges.size(),
                a.token_numbers.size());
    std::printf("same frame, ours against cairo: mean difference %.4f, largest %d, %.4f%% of pixels differ by more "
                "than 32 (ORVANE_BENCH_PNG=prefix writes both)\n",
                total / double(mine.pixels.size()), worst, 100.0 * double(far) / double(mine.pixels.size()));
    if (const char* out = std::getenv("ORVANE_BENCH_PNG")) {
        write_png(mine, std::string(out) + "_ours.png");
        write_png(theirs, std::string(out) + "_cairo.png");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    compare_pictures();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // CPU time: the machine is shared, wall time says more about the others.
    double updates = reporter.seconds["BM_Frame_UpdatesOnly"];
    for (const char* size : {"100", "75"}) {
        double ours = reporter.seconds[std::string("BM_Frame_Ours/") + size];
        double cairo = reporter.seconds[std::string("BM_Frame_Cairo/") + size];
        if (!(ours > 0 && cairo > 0)) continue;
        std::printf("gauges at %s%% width, frame (updates + drawing), CPU time: cairo / ours = %.2f", size, cairo / ours);
        if (updates < ours && updates < cairo) std::printf("; drawing alone: %.2f", (cairo - updates) / (ours - updates));
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
