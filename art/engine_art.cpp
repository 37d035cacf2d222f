// Artwork of the engine instruments module (Orvane_engine).
#include <algorithm>
#include <cmath>
#include <string>

#include "artwork.h"
#include "canvas.h"
#include "parts.h"

namespace art {

namespace {



void numeral(cairo_t* cr, GaugeRecords& g, int needle, double value, double r, const std::string& text,
             double size, Font font = Font::narrow)
{
    Point c = g.centre(needle);
    double x, y;
    point_at(c.x + 0.5, c.y + 0.5, g.angle(needle, value), r, x, y);
    text_centred(cr, text, x, y, size, font);
}

void mark(cairo_t* cr, GaugeRecords& g, int needle, double value, double r_in, double r_out, double width,
          Colour colour = style::mark)
{
    Point c = g.centre(needle);
    radial_mark(cr, c.x + 0.5, c.y + 0.5, g.angle(needle, value), r_in, r_out, width, colour);
}

// ---------------------------------------------------------------------------
// "Manifold" (dial 2000, needle 2100) and "RPM" (dial 2200, needle 2300).

enum { DIAL = 1, NEEDLE = 2 };

void draw_manifold(GaugeRecords& g, ModuleArt& out)
{
    Canvas dial(283, 285);
    cairo_t* cr = dial.cr();
    Point c = g.centre(NEEDLE);
    round_case(cr, c.x + 0.5, c.y + 0.5, 130, 140);
    for (int v = 10; v <= 75; ++v) {
        bool major = v % 5 == 0;
        mark(cr, g, NEEDLE, v, major ? 107 : 117, 127, major ? 3.2 : 1.5);
    }
    for (int v = 10; v <= 70; v += 10) numeral(cr, g, NEEDLE, v, 91, std::to_string(v), 26);
    text_centred(cr, "MANIFOLD", c.x + 0.5, c.y + 40, 13, Font::sans_bold);
    text_centred(cr, "PRESSURE", c.x + 0.5, c.y + 56, 13, Font::sans_bold);
    text_centred(cr, "INCHES OF MERCURY", c.x + 0.5, c.y + 72, 7.5, Font::sans);
    out.add(g.bitmap(DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    add_needle(out, g, NEEDLE, 168, 19, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 168 - px - 1, 5, 44, 8);
    });
}

void draw_rpm(GaugeRecords& g, ModuleArt& out)
{
    Canvas dial(282, 283);
    cairo_t* cr = dial.cr();
    Point c = g.centre(NEEDLE);
    round_case(cr, c.x + 0.5, c.y + 0.5, 130, 140);
    for (int v = 0; v <= 4500; v += 100) {
        bool major = v % 500 == 0;
        mark(cr, g, NEEDLE, v, major ? 107 : 117, 127, major ? 3.2 : 1.5);
    }
    for (int v = 0; v <= 4500; v += 500) numeral(cr, g, NEEDLE, v, 91, std::to_string(v / 100), 26);
    text_centred(cr, "R.P.M.", c.x + 0.5, c.y - 40, 15, Font::sans_bold);
    text_centred(cr, "X 100", c.x + 0.5, c.y - 22, 9, Font::sans_bold);
    text_centred(cr, "TACHOMETER", c.x + 0.5, c.y + 48, 9, Font::sans);
    out.add(g.bitmap(DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    add_needle(out, g, NEEDLE, 168, 19, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 168 - px - 1, 5, 44, 8);
    });
}

// ---------------------------------------------------------------------------
// "Engine_gauge": oil temperature scale 2400, its needle 2600, face plate
// 2500 with the window and the pressure scales, needles 2700 and 2800.

enum { ENG_TEMP_SCALE = 1, ENG_OIL_TEMP = 2, ENG_PLATE = 3, ENG_OIL_PRESSURE = 4, ENG_FUEL_PRESSURE = 5 };

void engine_window_path(cairo_t* cr, GaugeRecords& g)
{
    Point c = g.centre(ENG_OIL_TEMP);
    double a1 = g.angle(ENG_OIL_TEMP, -50) - 9, a2 = g.angle(ENG_OIL_TEMP, 150) + 9;
    cairo_new_path(cr);
    cairo_arc(cr, c.x + 0.5, c.y + 0.5, 112, radians(a1), radians(a2));
    cairo_arc_negative(cr, c.x + 0.5, c.y + 0.5, 60, radians(a2), radians(a1));
    cairo_close_path(cr);
}

void draw_engine_gauge(GaugeRecords& g, ModuleArt& out)
{
    Point c = g.centre(ENG_OIL_TEMP);
    double cx = c.x + 0.5, cy = c.y + 0.5;
    {
        Canvas scale(283, 285);
        cairo_t* cr = scale.cr();
        round_case(cr, cx, cy, 130, 140);
        for (int v = -50; v <= 150; v += 10) {
            bool major = v % 50 == 0;
            mark(cr, g, ENG_OIL_TEMP, v, major ? 84 : 90, 101, major ? 3 : 1.6);
        }
        for (int v = -50; v <= 150; v += 50) numeral(cr, g, ENG_OIL_TEMP, v, 72, std::to_string(v), 14);
        out.add(g.bitmap(ENG_TEMP_SCALE, ELEMENT_STATIC), scale.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas plate(283, 285);
        cairo_t* cr = plate.cr();
        round_case(cr, cx, cy, 130, 140);
        // Window over the temperature arc, framed.
        engine_window_path(cr, g);
        cairo_set_source_rgb(cr, 0.32, 0.32, 0.33);
        cairo_set_line_width(cr, 3);
        cairo_stroke_preserve(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        text_centred(cr, "OIL TEMP \xC2\xB0" "C", cx, cy - 34, 9.5, Font::sans_bold);
        // Oil pressure on the left, fuel pressure on the right.
        for (int v = 0; v <= 200; v += 10) {
            bool major = v % 50 == 0;
            mark(cr, g, ENG_OIL_PRESSURE, v, major ? 45 : 49, 56, major ? 2.6 : 1.3);
        }
        for (int v = 0; v <= 200; v += 50) numeral(cr, g, ENG_OIL_PRESSURE, v, 36, std::to_string(v), 11);
        for (int v = 0; v <= 20; ++v) {
            bool major = v % 5 == 0;
            mark(cr, g, ENG_FUEL_PRESSURE, v, major ? 45 : 49, 56, major ? 2.6 : 1.3);
        }
        for (int v = 0; v <= 20; v += 5) numeral(cr, g, ENG_FUEL_PRESSURE, v, 37, std::to_string(v), 11);
        Point oil = g.centre(ENG_OIL_PRESSURE), fuel = g.centre(ENG_FUEL_PRESSURE);
        text_centred(cr, "OIL", oil.x + 13, oil.y - 30, 10, Font::sans_bold);
        text_centred(cr, "FUEL", fuel.x - 13, fuel.y - 30, 10, Font::sans_bold);
        text_centred(cr, "LBS. PER SQ. IN.", cx, cy + 112, 7.5, Font::sans_bold);
        out.add(g.bitmap(ENG_PLATE, ELEMENT_STATIC), plate.flatten(kEdgeMatte), 8, g.name());
    }
    add_needle(out, g, ENG_OIL_TEMP, 114, 13, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 114 - px - 1, 4, 12, 5.5);
    });
    for (int needle : {ENG_OIL_PRESSURE, ENG_FUEL_PRESSURE})
        add_needle(out, g, needle, 68, 13, [](cairo_t* cr, double px, double py) {
            lance_needle(cr, px, py, 68 - px - 1, 3.5, 8, 5.5);
        });
}

// ---------------------------------------------------------------------------
// "Fuel": dial 2900, left tank needle 3000, right tank needle 3100.

enum { FUEL_DIAL = 1, FUEL_LEFT = 2, FUEL_RIGHT = 3 };

void draw_fuel(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(283, 285);
        cairo_t* cr = dial.cr();
        double cx = 141.5, cy = 142.5;
        round_case(cr, cx, cy, 130, 140);
        // Each tank's scale on the half opposite its needle's pivot.
        for (int needle : {FUEL_LEFT, FUEL_RIGHT}) {
            for (int v = 0; v <= 60; v += 5) {
                bool major = v % 10 == 0;
                mark(cr, g, needle, v, major ? 124 : 130, 141, major ? 3 : 1.6);
            }
            for (int v = 0; v <= 60; v += 10) numeral(cr, g, needle, v, 153, std::to_string(v), 14);
        }
        text_centred(cr, "FUEL", cx, cy + 44, 15, Font::sans_bold);
        text_centred(cr, "GALLONS", cx, cy + 60, 8, Font::sans_bold);
        text_centred(cr, "L", cx - 20, cy - 60, 16, Font::sans_bold);
        text_centred(cr, "R", cx + 20, cy - 60, 16, Font::sans_bold);
        out.add(g.bitmap(FUEL_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    for (int needle : {FUEL_LEFT, FUEL_RIGHT})
        add_needle(out, g, needle, 181, 15, [](cairo_t* cr, double px, double py) {
            lance_needle(cr, px, py, 181 - px - 1, 4.5, 32, 6.5);
        });
}

// ---------------------------------------------------------------------------
// "Throttle_quadrant": quadrant 3200 with three slots, knobs 3500
// (propeller), 3400 (mixture), 3300 (throttle).

enum { QUAD_PLATE = 1, QUAD_PROPELLER = 2, QUAD_MIXTURE = 3, QUAD_THROTTLE = 4 };

struct Lever {
    int element;
    int size_w, size_h;
    const char* name;
    const char* top;
    const char* bottom;
    Colour knob;
};

const Lever kLevers[] = {
    {QUAD_THROTTLE, 120, 120, "THROTTLE", "OPEN", "CLOSED", {0.16, 0.16, 0.17}},
    {QUAD_MIXTURE, 107, 107, "MIXTURE", "RICH", "LEAN", {0.62, 0.08, 0.06}},
    {QUAD_PROPELLER, 100, 101, "PROPELLER", "INC.", "DEC.", {0.12, 0.22, 0.55}},
};

void draw_throttle_quadrant(GaugeRecords& g, ModuleArt& out)
{
    Canvas quadrant(344, 530);
    cairo_t* cr = quadrant.cr();
    plate(cr, 0.5, 0.5, 343, 529, 14);
    for (auto [sx, sy] : {std::pair{12.0, 12.0}, {332.0, 12.0}, {12.0, 518.0}, {332.0, 518.0}}) screw(cr, sx, sy, 5);
    for (const Lever& lever : kLevers) {
        // The slot runs between the knob's centre at the top and at the
        // bottom of its travel, as the host moves the slider.
        Point at = g.slider(lever.element).header.position;
        double x = at.x + lever.size_w / 2.0;
        double top = at.y + g.slider_offset(lever.element, 1.0) + lever.size_h / 2.0;
        double bottom = at.y + g.slider_offset(lever.element, 0.0) + lever.size_h / 2.0;
        rounded_rect(cr, x - 8, top - 8, 16, bottom - top + 16, 8);
        cairo_set_source_rgb(cr, 0.03, 0.03, 0.035);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.36, 0.36, 0.35);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        text_centred(cr, lever.top, x + 24, top + 4, 9, Font::sans_bold, style::mark, -90);
        text_centred(cr, lever.bottom, x + 24, bottom - 4, 9, Font::sans_bold, style::mark, -90);
        text_centred(cr, lever.name, x, std::min(bottom + 36, 514.0), 11, Font::sans_bold);

        Canvas knob(lever.size_w, lever.size_h);
        cairo_t* k = knob.cr();
        double kx = lever.size_w / 2.0, ky = lever.size_h / 2.0, r = std::min(kx, ky) - 3;
        cairo_arc(k, kx + 2, ky + 3, r, 0, 2 * M_PI);
        cairo_set_source_rgba(k, 0.02, 0.02, 0.02, 0.6);
        cairo_fill(k);
        cairo_pattern_t* dome = cairo_pattern_create_radial(kx - r * 0.35, ky - r * 0.35, r * 0.05, kx, ky, r);
        cairo_pattern_add_color_stop_rgb(dome, 0, std::min(1.0, lever.knob.r + 0.45),
                                         std::min(1.0, lever.knob.g + 0.45), std::min(1.0, lever.knob.b + 0.45));
        cairo_pattern_add_color_stop_rgb(dome, 0.45, lever.knob.r, lever.knob.g, lever.knob.b);
        cairo_pattern_add_color_stop_rgb(dome, 1, lever.knob.r * 0.45, lever.knob.g * 0.45, lever.knob.b * 0.45);
        cairo_arc(k, kx, ky, r, 0, 2 * M_PI);
        cairo_set_source(k, dome);
        cairo_fill(k);
        cairo_pattern_destroy(dome);
        out.add(g.slider(lever.element).header.bitmap, knob.flatten(style::panel, 0.5), 8, g.name());
    }
    out.add(g.bitmap(QUAD_PLATE, ELEMENT_STATIC), quadrant.flatten(kEdgeMatte), 8, g.name());
}

// ---------------------------------------------------------------------------
// "Fuel_selector": dial 3600, and 3700..3704 the dial with the handle on
// each sector (off, left, right, reserve, auxiliary).

enum { SEL_DIAL = 1, SEL_HANDLE = 2 };

const char* const kSectorNames[] = {"OFF", "LEFT", "RIGHT", "RESERVE", "AUX."};

void draw_fuel_selector(GaugeRecords& g, ModuleArt& out)
{
    // The sectors lie under the click areas, in the order of the handle's
    // pictures.
    auto sectors = g.click_boxes();
    const Icon& handle = g.icon(SEL_HANDLE);
    if (sectors.size() != handle.picture_count)
        throw std::runtime_error("Fuel_selector: one click area per handle position expected");
    double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
    for (const Box& b : sectors) {
        x1 = std::min(x1, double(b.x));
        y1 = std::min(y1, double(b.y));
        x2 = std::max(x2, double(b.x + b.width));
        y2 = std::max(y2, double(b.y + b.height));
    }
    double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2, r = std::max(x2 - x1, y2 - y1) / 2 + 8;

    Canvas dial(264, 244);
    cairo_t* cr = dial.cr();
    round_case(cr, cx, cy, r - 7, r);
    for (size_t i = 0; i < sectors.size(); ++i) {
        double sx = sectors[i].x + sectors[i].width / 2.0, sy = sectors[i].y + sectors[i].height / 2.0;
        double a = std::atan2(sy - cy, sx - cx) * 180 / M_PI;
        radial_mark(cr, cx, cy, a, r - 20, r - 9, 4, i == 0 ? style::red : style::mark);
        double lx, ly;
        point_at(cx, cy, a, std::hypot(sx - cx, sy - cy) * 0.92, lx, ly);
        text_centred(cr, kSectorNames[i < 5 ? i : 4], lx, ly, 12, Font::sans_bold, i == 0 ? style::red : style::mark);
    }
    text_centred(cr, "FUEL", cx, cy + 34, 10, Font::sans_bold);
    gaugehost::Image background = dial.flatten(kEdgeMatte);
    out.add(g.bitmap(SEL_DIAL, ELEMENT_STATIC), background, 8, g.name());

    for (uint32_t picture = 0; picture < handle.picture_count; ++picture) {
        Canvas c(264, 244);
        c.paint(dial, 0, 0);
        cairo_t* h = c.cr();
        const Box& b = sectors[picture];
        double a = std::atan2(b.y + b.height / 2.0 - cy, b.x + b.width / 2.0 - cx) * 180 / M_PI;
        cairo_save(h);
        cairo_translate(h, cx, cy);
        cairo_rotate(h, radians(a));
        // A tapered handle with a rounded grip behind the hub.
        cairo_move_to(h, -30, -14);
        cairo_line_to(h, 44, -5);
        cairo_line_to(h, 52, 0);
        cairo_line_to(h, 44, 5);
        cairo_line_to(h, -30, 14);
        cairo_arc(h, -30, 0, 14, M_PI / 2, 3 * M_PI / 2);
        cairo_close_path(h);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, -14, 0, 14);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.75, 0.73, 0.66);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.42, 0.40, 0.35);
        cairo_set_source(h, p);
        cairo_fill(h);
        cairo_pattern_destroy(p);
        cairo_arc(h, 0, 0, 7, 0, 2 * M_PI);
        cairo_set_source_rgb(h, 0.25, 0.25, 0.26);
        cairo_fill(h);
        cairo_restore(h);
        out.add(handle.header.bitmap + int(picture), c.flatten(kEdgeMatte), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Coolant_temperature" (dial 3800, needle 4000, cover 3900) and "OAT"
// (dial 4100, needle 4300, cover 4200): the needle pivots under a cover
// of the lower dial.

enum { THERMO_DIAL = 1, THERMO_NEEDLE = 2, THERMO_COVER = 3 };

void draw_thermometer(GaugeRecords& g, ModuleArt& out, int low, int high, int minor, int major, int step,
                      const char* title)
{
    Canvas dial(283, 285);
    cairo_t* cr = dial.cr();
    double cx = 141.5, cy = 142.5;
    round_case(cr, cx, cy, 130, 140);
    Point cover_at = g.position(THERMO_COVER, ELEMENT_STATIC);
    // The cover plate: the lower dial, a shade lighter, with its edge.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, 130, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, cover_at.y, 283, 285);
    cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, cover_at.y, 283, 2);
    cairo_set_source_rgb(cr, 0.34, 0.34, 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
    for (int v = low; v <= high; v += minor) {
        bool big = (v - low) % major == 0;
        mark(cr, g, THERMO_NEEDLE, v, big ? 121 : 128, 138, big ? 3 : 1.6);
    }
    for (int v = low; v <= high; v += step) numeral(cr, g, THERMO_NEEDLE, v, 108, std::to_string(v), 17);
    text_centred(cr, title, cx, cover_at.y + 40, 12, Font::sans_bold);
    text_centred(cr, "\xC2\xB0" "C", cx, cover_at.y + 60, 14, Font::sans_bold);
    out.add(g.bitmap(THERMO_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());

    Canvas cover(283, 117);
    cover.paint(dial, -cover_at.x, -cover_at.y);
    out.add(g.bitmap(THERMO_COVER, ELEMENT_STATIC), cover.flatten(kEdgeMatte), 8, g.name());

    add_needle(out, g, THERMO_NEEDLE, 138, 8, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 138 - px - 0.5, 3.5, 0, 0);
    });
}

void draw_coolant(GaugeRecords& g, ModuleArt& out)
{
    draw_thermometer(g, out, -50, 150, 10, 50, 50, "COOLANT");
}

void draw_oat(GaugeRecords& g, ModuleArt& out)
{
    draw_thermometer(g, out, -40, 40, 5, 10, 20, "OUTSIDE AIR");
}

}  // namespace

void add_engine_art(std::vector<GaugeArt>& list)
{
    list.push_back({"Orvane_engine", "Manifold", draw_manifold});
    list.push_back({"Orvane_engine", "RPM", draw_rpm});
    list.push_back({"Orvane_engine", "Engine_gauge", draw_engine_gauge});
    list.push_back({"Orvane_engine", "Fuel", draw_fuel});
    list.push_back({"Orvane_engine", "Throttle_quadrant", draw_throttle_quadrant});
    list.push_back({"Orvane_engine", "Fuel_selector", draw_fuel_selector});
    list.push_back({"Orvane_engine", "Coolant_temperature", draw_coolant});
    list.push_back({"Orvane_engine", "OAT", draw_oat});
}

}  // namespace art
