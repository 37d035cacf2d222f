#include "contact_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <stdexcept>

#include "host/image.h"

namespace art {

namespace {

constexpr int kSheetWidth = 1800;
constexpr int kGap = 14;
constexpr int kLabel = 16;
constexpr int kMaxTile = 360;  // larger bitmaps are shown scaled down

// A rendered gauge: straight RGBA, laid over the sheet where alpha is 0.
cairo_surface_t* to_surface_rgba(const gaugehost::Image& image)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < image.width; ++x) {
            const gaugehost::Rgba& p = image.at(x, y);
            auto pm = [&](uint8_t c) { return uint32_t(c) * p.a / 255; };
            row[x] = uint32_t(p.a) << 24 | pm(p.r) << 16 | pm(p.g) << 8 | pm(p.b);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

cairo_surface_t* to_surface(const gaugehost::Image& image)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < image.width; ++x) {
            const gaugehost::Rgba& p = image.at(x, y);
            uint32_t v = uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b;
            if (v == 0) v = ((x / 4 + y / 4) % 2) ? 0x505050 : 0x383838;  // transparent
            row[x] = v;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

}  // namespace

void write_contact_sheet(const std::string& png_path, const std::vector<SamplePicture>& samples,
                         const std::vector<SheetEntry>& entries)
{
    struct Tile {
        std::string label;
        gaugehost::Image image;
        bool rendered;  // a gauge from the renderer, not a bitmap
        double scale;
        int w, h, x, y;
    };
    std::vector<Tile> tiles;
    int x = kGap, y = kGap, row_height = 0;
    auto place = [&](std::string label, gaugehost::Image image, bool rendered, bool new_row) {
        double scale = std::min(1.0, double(kMaxTile) / std::max(image.width, image.height));
        int w = std::max(int(image.width * scale), 110), h = int(image.height * scale) + kLabel;
        if ((new_row && x > kGap) || x + w + kGap > kSheetWidth) {
            x = kGap;
            y += row_height + kGap;
            row_height = 0;
        }
        tiles.push_back({std::move(label), std::move(image), rendered, scale, w, h, x, y});
        x += w + kGap;
        row_height = std::max(row_height, h);
    };
    for (const SamplePicture& s : samples) place(s.label, s.image, true, false);
    bool first = true;
    for (const SheetEntry& e : entries) {
        gaugehost::Bitmap b = gaugehost::load_bmp_file(e.file);
        std::string label = e.module + " " + std::to_string(e.number) + "  " + std::to_string(b.image.width) + "x" +
                            std::to_string(b.image.height) + " " + std::to_string(b.bits_per_pixel) + "bpp";
        place(label, std::move(b.image), false, first);
        first = false;
    }
    int height = y + row_height + kGap;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, std::max(height, 1));
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.22, 0.24, 0.26);
    cairo_paint(cr);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    for (const Tile& t : tiles) {
        cairo_set_source_rgb(cr, 0.95, 0.95, 0.9);
        cairo_move_to(cr, t.x, t.y + 11);
        cairo_show_text(cr, t.label.c_str());
        cairo_surface_t* s = t.rendered ? to_surface_rgba(t.image) : to_surface(t.image);
        cairo_save(cr);
        cairo_translate(cr, t.x, t.y + kLabel);
        cairo_scale(cr, t.scale, t.scale);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(s);
    }
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(sheet, png_path.c_str());
    cairo_surface_destroy(sheet);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(png_path + ": cannot write the contact sheet (" +
                                 cairo_status_to_string(status) + ")");
}

}  // namespace art
