// Artwork of the flight instruments module (Orvane).
#include <cmath>
#include <cstdio>
#include <string>

#include "artwork.h"
#include "canvas.h"

namespace art {

namespace {

constexpr Colour kEdgeMatte{0.2, 0.2, 0.2};  // what a bezel's outer edge stands on

// "0", ".05", ".1": a Mach number as the disc prints it.
std::string mach_label(double m)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", m);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "0") return s;
    return s.substr(s.find('.'));
}

// ---------------------------------------------------------------------------
// "Airspeed": dial 2000, Mach disc 5000, cover 4000, needle 3000.

enum { AIRSPEED_DIAL = 1, MACH_DISC = 2, AIRSPEED_COVER = 3, AIRSPEED_NEEDLE = 4 };

// The Mach window: a sector about the dial centre.
constexpr double kMachWindowInner = 41, kMachWindowOuter = 74, kMachWindowHalf = 29;

void mach_window_path(cairo_t* cr, double cx, double cy, double index)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, kMachWindowOuter, radians(index - kMachWindowHalf), radians(index + kMachWindowHalf));
    cairo_arc_negative(cr, cx, cy, kMachWindowInner, radians(index + kMachWindowHalf),
                       radians(index - kMachWindowHalf));
    cairo_close_path(cr);
}

void airspeed_face(cairo_t* cr, GaugeRecords& g, bool window_open)
{
    Point c = g.centre(AIRSPEED_NEEDLE);
    double cx = c.x + 0.5, cy = c.y + 0.5;
    round_case(cr, cx, cy, 130, 140);
    // Scale: a mark every 10 mph from 50 on, long ones every 50, numerals
    // every 100; all where the needle points for their value.
    radial_mark(cr, cx, cy, g.angle(AIRSPEED_NEEDLE, 0), 106, 127, 3.5);
    for (int v = 50; v <= 700; v += 10) {
        bool major = v % 50 == 0;
        radial_mark(cr, cx, cy, g.angle(AIRSPEED_NEEDLE, v), major ? 108 : 117, 127, major ? 3 : 1.6);
    }
    for (int v = 0; v <= 700; v += 100) {
        double x, y;
        point_at(cx, cy, g.angle(AIRSPEED_NEEDLE, v), 92, x, y);
        text_centred(cr, std::to_string(v), x, y, 18, Font::narrow);
    }
    text_centred(cr, "M.P.H.", cx, cy + 62, 16, Font::sans_bold);
    text_centred(cr, "AIRSPEED", cx, cy + 82, 9, Font::sans);

    // The Mach window, its frame and its index at the disc's 0 direction.
    double index = g.angle(MACH_DISC, 0);
    double lx, ly;
    point_at(cx, cy, index, (kMachWindowInner + kMachWindowOuter) / 2, lx, ly);
    text_centred(cr, "MACH METER", lx, cy - 47, 8.5, Font::sans_bold);
    mach_window_path(cr, cx, cy, index);
    cairo_set_source_rgb(cr, 0.30, 0.30, 0.31);
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    if (window_open) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    } else {
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    }
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    double tx, ty, ax, ay, bx, by;
    point_at(cx, cy, index, kMachWindowInner - 1.5, tx, ty);
    point_at(cx, cy, index - 8, kMachWindowInner - 10, ax, ay);
    point_at(cx, cy, index + 8, kMachWindowInner - 10, bx, by);
    set_colour(cr, style::mark);
    cairo_move_to(cr, tx, ty);
    cairo_line_to(cr, ax, ay);
    cairo_line_to(cr, bx, by);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void draw_airspeed(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(283, 285);
        airspeed_face(dial.cr(), g, false);
        out.add(g.bitmap(AIRSPEED_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas cover(283, 285);
        airspeed_face(cover.cr(), g, true);
        out.add(g.bitmap(AIRSPEED_COVER, ELEMENT_STATIC), cover.flatten(kEdgeMatte), 8, g.name());
    }
    {
        // The disc turns with the needle value; the mark for Mach m must
        // stand at the window's index when the host turns the disc to m.
        Canvas disc(160, 160);
        cairo_t* cr = disc.cr();
        Point p = g.pivot(MACH_DISC);
        double cx = p.x, cy = p.y;
        cairo_arc(cr, cx, cy, 79.5, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
        cairo_fill(cr);
        double index = g.angle(MACH_DISC, 0);
        for (int step = 0; step <= 17; ++step) {
            double m = step * 0.05;
            double turn = g.angle(MACH_DISC, m);
            double at = index - turn;  // in the unturned disc
            bool major = step % 2 == 0;
            radial_mark(cr, cx, cy, at, major ? 63 : 67, 78, major ? 2.2 : 1.5);
            double x, y;
            point_at(cx, cy, at, 53, x, y);
            // Upright when the disc is turned to bring it to the window.
            text_centred(cr, mach_label(m), x, y, major ? 12 : 10, Font::sans_bold, style::mark, -turn);
        }
        out.add(g.bitmap(MACH_DISC, ELEMENT_NEEDLE), disc.flatten(style::face, 0.5), 8, g.name());
    }
    {
        Canvas needle(170, 20);
        Point p = g.pivot(AIRSPEED_NEEDLE);
        lance_needle(needle.cr(), p.x, p.y, 170 - p.x - 1.5, 5, 46, 8.5);
        out.add(g.bitmap(AIRSPEED_NEEDLE, ELEMENT_NEEDLE), needle.flatten(style::face, 0.35), 8, g.name());
    }
}

}  // namespace

void add_flight_art(std::vector<GaugeArt>& list)
{
    list.push_back({"Orvane", "Airspeed", draw_airspeed});
}

}  // namespace art
