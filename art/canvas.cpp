#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {

Canvas::Canvas(int width, int height) : width_(width), height_(height)
{
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a drawing surface");
    cr_ = cairo_create(surface_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_BEST);
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

namespace {

// Un-premultiplied pixel of an ARGB32 surface.
void read_pixel(const unsigned char* row, int x, double& a, double& r, double& g, double& b)
{
    uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
    a = ((v >> 24) & 0xFF) / 255.0;
    r = ((v >> 16) & 0xFF) / 255.0;  // premultiplied
    g = ((v >> 8) & 0xFF) / 255.0;
    b = (v & 0xFF) / 255.0;
}

uint8_t byte(double v)
{
    return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace

gaugehost::Image Canvas::flatten(Colour matte, double threshold) const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    gaugehost::Image out(width_, height_, {0, 0, 0, 255});
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            double a, r, g, b;
            read_pixel(data + size_t(y) * size_t(stride), x, a, r, g, b);
            if (a < threshold) continue;
            gaugehost::Rgba p{byte(r + (1 - a) * matte.r), byte(g + (1 - a) * matte.g),
                              byte(b + (1 - a) * matte.b), 255};
            if (p.r == 0 && p.g == 0 && p.b == 0) p = {1, 1, 2, 255};
            out.at(x, y) = p;
        }
    }
    return out;
}

gaugehost::Image Canvas::exact() const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    gaugehost::Image out(width_, height_, {0, 0, 0, 255});
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            double a, r, g, b;
            read_pixel(data + size_t(y) * size_t(stride), x, a, r, g, b);
            out.at(x, y) = {byte(r), byte(g), byte(b), 255};
        }
    }
    return out;
}

void Canvas::paint(const Canvas& other, double x, double y)
{
    cairo_save(cr_);
    cairo_set_source_surface(cr_, other.surface_, x, y);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void set_colour(cairo_t* cr, Colour c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

double radians(double degrees)
{
    return degrees * M_PI / 180.0;
}

void point_at(double cx, double cy, double degrees, double r, double& x, double& y)
{
    x = cx + r * std::cos(radians(degrees));
    y = cy + r * std::sin(radians(degrees));
}

void round_case(cairo_t* cr, double cx, double cy, double r_face, double r_outer)
{
    cairo_save(cr);
    // Bezel: metal lit from the upper left.
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx - r_outer, cy - r_outer, cx + r_outer, cy + r_outer);
    cairo_pattern_add_color_stop_rgb(rim, 0, style::rim_light.r, style::rim_light.g, style::rim_light.b);
    cairo_pattern_add_color_stop_rgb(rim, 1, style::rim_dark.r, style::rim_dark.g, style::rim_dark.b);
    cairo_arc(cr, cx, cy, r_outer, 0, 2 * M_PI);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    // Inner lip, lit the other way.
    double lip = std::max(2.0, (r_outer - r_face) * 0.35);
    cairo_pattern_t* inner =
        cairo_pattern_create_linear(cx - r_face, cy - r_face, cx + r_face, cy + r_face);
    cairo_pattern_add_color_stop_rgb(inner, 0, 0.07, 0.07, 0.08);
    cairo_pattern_add_color_stop_rgb(inner, 1, 0.30, 0.30, 0.32);
    cairo_arc(cr, cx, cy, r_face + lip, 0, 2 * M_PI);
    cairo_set_source(cr, inner);
    cairo_fill(cr);
    cairo_pattern_destroy(inner);
    // Face, a shade lighter in the middle.
    cairo_pattern_t* face = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r_face);
    cairo_pattern_add_color_stop_rgb(face, 0, style::face.r, style::face.g, style::face.b);
    cairo_pattern_add_color_stop_rgb(face, 0.8, style::face.r, style::face.g, style::face.b);
    cairo_pattern_add_color_stop_rgb(face, 1, style::face_edge.r, style::face_edge.g, style::face_edge.b);
    cairo_arc(cr, cx, cy, r_face, 0, 2 * M_PI);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    cairo_restore(cr);
}

void radial_mark(cairo_t* cr, double cx, double cy, double degrees, double r_in, double r_out, double width,
                 Colour c)
{
    double x1, y1, x2, y2;
    point_at(cx, cy, degrees, r_in, x1, y1);
    point_at(cx, cy, degrees, r_out, x2, y2);
    cairo_save(cr);
    set_colour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

namespace {

void select_font(cairo_t* cr, Font font, double size)
{
    switch (font) {
    case Font::sans:
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        break;
    case Font::sans_bold:
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    case Font::narrow:
        cairo_select_font_face(cr, "Liberation Sans Narrow", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    case Font::serif_bold:
        cairo_select_font_face(cr, "Liberation Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    }
    cairo_set_font_size(cr, size);
}

}  // namespace

void text_centred(cairo_t* cr, const std::string& text, double x, double y, double size, Font font, Colour c,
                  double degrees)
{
    cairo_save(cr);
    select_font(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, radians(degrees));
    cairo_move_to(cr, -(e.x_bearing + e.width / 2), -(e.y_bearing + e.height / 2));
    set_colour(cr, c);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

double text_width(cairo_t* cr, const std::string& text, double size, Font font)
{
    cairo_save(cr);
    select_font(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_restore(cr);
    return e.width;
}

void knurled_knob(cairo_t* cr, double cx, double cy, double r)
{
    cairo_save(cr);
    // Knurled edge.
    int teeth = std::max(16, int(r * 2.2));
    for (int i = 0; i < teeth; ++i) {
        double a = 2 * M_PI * i / teeth;
        double shade = 0.18 + 0.10 * std::cos(a + M_PI / 4);
        cairo_set_source_rgb(cr, shade, shade, shade * 1.04);
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, r, a, a + M_PI / teeth);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, shade * 0.55, shade * 0.55, shade * 0.58);
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, r, a + M_PI / teeth, a + 2 * M_PI / teeth);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    // Domed top.
    cairo_pattern_t* top = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r * 0.8);
    cairo_pattern_add_color_stop_rgb(top, 0, 0.38, 0.38, 0.40);
    cairo_pattern_add_color_stop_rgb(top, 1, 0.09, 0.09, 0.10);
    cairo_arc(cr, cx, cy, r * 0.8, 0, 2 * M_PI);
    cairo_set_source(cr, top);
    cairo_fill(cr);
    cairo_pattern_destroy(top);
    cairo_restore(cr);
}

void screw(cairo_t* cr, double cx, double cy, double r, double slot_degrees)
{
    cairo_save(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.55, 0.55, 0.55);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.16, 0.16, 0.17);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    double x1, y1, x2, y2;
    point_at(cx, cy, slot_degrees, r * 0.85, x1, y1);
    point_at(cx, cy, slot_degrees + 180, r * 0.85, x2, y2);
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    cairo_set_line_width(cr, std::max(1.0, r * 0.28));
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void lance_needle(cairo_t* cr, double px, double py, double length, double width, double tail, double hub,
                  Colour c)
{
    cairo_save(cr);
    set_colour(cr, c);
    // Pointer: parallel shank, tapering to a point at the tip.
    double taper = std::min(length * 0.22, width * 4);
    cairo_move_to(cr, px - tail, py - width * 0.45);
    cairo_line_to(cr, px + length - taper, py - width / 2);
    cairo_line_to(cr, px + length, py);
    cairo_line_to(cr, px + length - taper, py + width / 2);
    cairo_line_to(cr, px - tail, py + width * 0.45);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Hub: dark metal with a light rim.
    if (hub > 0) {
        cairo_pattern_t* p = cairo_pattern_create_radial(px - hub * 0.3, py - hub * 0.3, 0, px, py, hub);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.45, 0.46);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.13, 0.13, 0.14);
        cairo_arc(cr, px, py, hub, 0, 2 * M_PI);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_restore(cr);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void plate(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_save(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, style::panel.r * 1.25, style::panel.g * 1.25, style::panel.b * 1.25);
    cairo_pattern_add_color_stop_rgb(p, 1, style::panel.r * 0.8, style::panel.g * 0.8, style::panel.b * 0.8);
    rounded_rect(cr, x, y, w, h, r);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgb(cr, 0.36, 0.37, 0.36);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace art
