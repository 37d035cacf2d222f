// Artwork of the flight instruments module (Orvane).
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <cstdio>
#include <string>

#include "artwork.h"
#include "canvas.h"
#include "parts.h"

namespace art {

namespace {


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
    text_centred(cr, "M.P.H.", cx, cy + 46, 16, Font::sans_bold);
    text_centred(cr, "AIRSPEED", cx, cy + 64, 9, Font::sans);

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
        double cx = p.x + 0.5, cy = p.y + 0.5;
        cairo_arc(cr, cx, cy, 79, 0, 2 * M_PI);
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
        lance_needle(needle.cr(), p.x + 0.5, p.y + 0.5, 170 - p.x - 1.5, 5, 46, 8.5);
        out.add(g.bitmap(AIRSPEED_NEEDLE, ELEMENT_NEEDLE), needle.flatten(style::face, 0.35), 8, g.name());
    }
}


// ---------------------------------------------------------------------------
// "Climb": dial 6000, needle 7000.

enum { CLIMB_DIAL = 1, CLIMB_NEEDLE = 2 };

void draw_climb(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(285, 285);
        cairo_t* cr = dial.cr();
        Point c = g.centre(CLIMB_NEEDLE);
        double cx = c.x + 0.5, cy = c.y + 0.5;
        round_case(cr, cx, cy, 131, 141.5);
        // Marks every 100 ft/min up to 1000, every 250 to 2000, every 500
        // beyond, both ways; long marks at the numbered values.
        auto marks = [&](int sign) {
            for (int v = 0; v <= 6000; v += v < 1000 ? 100 : v < 2000 ? 250 : 500) {
                bool major = v == 0 || v == 500 || v % 1000 == 0;
                radial_mark(cr, cx, cy, g.angle(CLIMB_NEEDLE, sign * v), major ? 108 : 117, 127,
                            major ? 3.2 : 1.6);
            }
        };
        marks(1);
        marks(-1);
        const std::pair<int, const char*> numerals[] = {{500, ".5"}, {1000, "1"}, {2000, "2"}, {4000, "4"}};
        for (int sign : {1, -1}) {
            for (const auto& [v, text] : numerals) {
                double x, y;
                point_at(cx, cy, g.angle(CLIMB_NEEDLE, sign * v), 91, x, y);
                text_centred(cr, text, x, y, 24, Font::narrow);
            }
        }
        double x, y;
        point_at(cx, cy, g.angle(CLIMB_NEEDLE, 0), 91, x, y);
        text_centred(cr, "0", x, y, 24, Font::narrow);
        // One 6 for both ends of the scale, midway between them.
        double up6 = g.angle(CLIMB_NEEDLE, 6000), down6 = g.angle(CLIMB_NEEDLE, -6000);
        point_at(cx, cy, (up6 + down6 + (down6 < up6 ? 360 : 0)) / 2, 91, x, y);
        text_centred(cr, "6", x, y, 24, Font::narrow);
        point_at(cx, cy, g.angle(CLIMB_NEEDLE, 2500), 52, x, y);
        text_centred(cr, "UP", x, y, 15, Font::sans_bold);
        point_at(cx, cy, g.angle(CLIMB_NEEDLE, -2500), 52, x, y);
        text_centred(cr, "DOWN", x, y, 15, Font::sans_bold);
        text_centred(cr, "CLIMB", cx + 52, cy - 12, 17, Font::sans_bold);
        text_centred(cr, "1000 FT PER MIN", cx + 50, cy + 12, 8.5, Font::sans);
        out.add(g.bitmap(CLIMB_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    add_needle(out, g, CLIMB_NEEDLE, 135, 13, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 135 - px - 1, 4.5, 24, 5.5);
    });
}

// ---------------------------------------------------------------------------
// "TurnBank": dial 8000, ball 9000, reference lines 10000, turn needle 11000.

enum { TURN_DIAL = 1, TURN_BALL = 2, TURN_LINES = 3, TURN_NEEDLE = 4 };

// The ball in its bitmap: centre column and radius (columns 155 to 198).
constexpr double kBallX = 177, kBallR = 21;
constexpr double kTubeHalfWidth = 24;

void draw_turn_bank(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(276, 276);
        cairo_t* cr = dial.cr();
        double cx = 138, cy = 138;
        round_case(cr, cx, cy, 126, 137.5);
        // Turn marks where the needle points at the values of its table's
        // rows: the large one at 0, a smaller one at each end.
        Point n = g.centre(TURN_NEEDLE);
        double nx = n.x + 0.5, ny = n.y + 0.5;
        for (double v : g.row_values(TURN_NEEDLE)) {
            bool centre_mark = v == 0;
            radial_mark(cr, nx, ny, g.angle(TURN_NEEDLE, v), centre_mark ? 146 : 150, 170, centre_mark ? 9 : 5);
        }
        double x, y;
        point_at(nx, ny, g.angle(TURN_NEEDLE, g.row_values(TURN_NEEDLE).front()), 130, x, y);
        text_centred(cr, "L", x, y, 22, Font::sans_bold);
        point_at(nx, ny, g.angle(TURN_NEEDLE, g.row_values(TURN_NEEDLE).back()), 130, x, y);
        text_centred(cr, "R", x, y, 22, Font::sans_bold);
        text_centred(cr, "TURN", cx, 96, 17, Font::sans_bold);

        // The glass tube along the ball's arc, a little longer than its travel.
        Point b = g.centre(TURN_BALL);
        double bx = b.x + 0.5, by = b.y + 0.5;
        double radius = kBallX - (g.pivot(TURN_BALL).x + 0.5);
        double a1 = g.angle(TURN_BALL, 127), a2 = g.angle(TURN_BALL, -127);
        double lo = std::min(a1, a2), hi = std::max(a1, a2);
        double extra = (kBallR + 3) / radius * 180 / M_PI;
        cairo_new_path(cr);
        cairo_arc(cr, bx, by, radius + kTubeHalfWidth, radians(lo - extra), radians(hi + extra));
        cairo_arc_negative(cr, bx, by, radius - kTubeHalfWidth, radians(hi + extra), radians(lo - extra));
        cairo_close_path(cr);
        cairo_pattern_t* glass = cairo_pattern_create_linear(0, by + radius - kTubeHalfWidth, 0,
                                                             by + radius + kTubeHalfWidth);
        cairo_pattern_add_color_stop_rgb(glass, 0, 0.86, 0.86, 0.78);
        cairo_pattern_add_color_stop_rgb(glass, 0.5, 0.70, 0.71, 0.62);
        cairo_pattern_add_color_stop_rgb(glass, 1, 0.52, 0.53, 0.46);
        cairo_set_source(cr, glass);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(glass);
        cairo_set_source_rgb(cr, 0.35, 0.35, 0.36);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        text_centred(cr, "BANK", cx, by + radius - kTubeHalfWidth - 14, 15, Font::sans_bold);
        // The hole the turn needle comes out of.
        cairo_arc(cr, nx, ny, 17, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.025, 0.025, 0.03);
        cairo_fill(cr);
        out.add(g.bitmap(TURN_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas ball(201, 44);
        cairo_t* cr = ball.cr();
        cairo_pattern_t* p = cairo_pattern_create_radial(kBallX - 7, 22 - 7, 1, kBallX, 22, kBallR);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.55, 0.55, 0.57);
        cairo_pattern_add_color_stop_rgb(p, 0.35, 0.16, 0.16, 0.17);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.04, 0.045);
        cairo_arc(cr, kBallX, 22, kBallR - 0.5, 0, 2 * M_PI);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        out.add(g.bitmap(TURN_BALL, ELEMENT_NEEDLE), ball.flatten({0.7, 0.71, 0.62}, 0.5), 8, g.name());
    }
    {
        Canvas lines(62, 55);
        cairo_t* cr = lines.cr();
        cairo_set_source_rgb(cr, 0.62, 0.09, 0.07);
        cairo_rectangle(cr, 6, 0, 4, 55);
        cairo_rectangle(cr, 52, 0, 4, 55);
        cairo_fill(cr);
        out.add(g.bitmap(TURN_LINES, ELEMENT_STATIC), lines.exact(), 8, g.name());
    }
    add_needle(out, g, TURN_NEEDLE, 191, 28, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 191 - px - 1, 5, 0, 0);
        cairo_arc(cr, px, py, 13, 0, 2 * M_PI);
        set_colour(cr, style::pointer);
        cairo_fill(cr);
        cairo_arc(cr, px, py, 9, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
        cairo_fill(cr);
    });
}

// ---------------------------------------------------------------------------
// "Attitude": dial 12000, horizon bar 16000/16001, bank pointer 15000/15001,
// miniature aircraft 17000, caged flag 18000, bezel 13000, caging knob
// 14000/14001.

enum {
    ATT_DIAL = 1,
    ATT_HORIZON = 2,
    ATT_BANK_POINTER = 3,
    ATT_AIRCRAFT = 4,
    ATT_CAGED_FLAG = 5,
    ATT_BEZEL = 6,
    ATT_CAGING_KNOB = 7
};

// The window in the sprites' 256x256 bitmaps: a disc over columns 18 to
// 236, cut off below row 210.
constexpr double kWindowX = 127.5, kWindowY = 127.5, kWindowR = 109.5, kWindowCut = 211;

void attitude_window_path(cairo_t* cr, double ox, double oy)
{
    cairo_save(cr);
    cairo_rectangle(cr, ox, oy, 256, kWindowCut);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_arc(cr, ox + kWindowX, oy + kWindowY, kWindowR, 0, 2 * M_PI);
    cairo_restore(cr);
}

void attitude_case(cairo_t* cr, GaugeRecords& g, bool window_open)
{
    Point at = g.position(ATT_HORIZON, ELEMENT_SPRITE);
    double ox = at.x, oy = at.y;
    double cx = ox + kWindowX, cy = oy + kWindowY;
    round_case(cr, cx, cy, kWindowR + 6, 140);
    // Face plate below the window's cut.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, kWindowR + 6, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, oy + kWindowCut, 352, 346);
    cairo_set_source_rgb(cr, 0.20, 0.20, 0.21);
    cairo_fill(cr);
    cairo_restore(cr);
    // Bank scale: a mark at each bank angle where the pointer stands for
    // it (the sprite's rotation scale turns the bank into a turn).
    const Sprite& pointer = g.sprite(ATT_BANK_POINTER);
    const double top = -90;
    const std::pair<int, double> bank_marks[] = {{0, 0}, {10, 8}, {20, 8}, {30, 14}, {45, 8}, {60, 14}, {90, 14}};
    for (const auto& [bank, length] : bank_marks) {
        for (int sign : {1, -1}) {
            double a = top + sign * bank * pointer.rotation.scale;
            if (bank == 0) {
                double tx, ty, lx, ly, rx, ry;
                point_at(cx, cy, a, kWindowR - 14, tx, ty);
                point_at(cx, cy, a - 4, kWindowR - 1, lx, ly);
                point_at(cx, cy, a + 4, kWindowR - 1, rx, ry);
                set_colour(cr, style::mark);
                cairo_move_to(cr, tx, ty);
                cairo_line_to(cr, lx, ly);
                cairo_line_to(cr, rx, ry);
                cairo_close_path(cr);
                cairo_fill(cr);
            } else {
                radial_mark(cr, cx, cy, a, kWindowR - length, kWindowR, bank % 30 == 0 ? 3 : 2);
            }
        }
    }
    // Level marks at each side of the window.
    Point centre = g.sprite(ATT_HORIZON).header.offset;
    set_colour(cr, style::mark);
    cairo_rectangle(cr, cx - kWindowR, centre.y - 1.5 + 0.5, 16, 3);
    cairo_rectangle(cr, cx + kWindowR - 16, centre.y - 1.5 + 0.5, 16, 3);
    cairo_fill(cr);
    if (window_open) {
        attitude_window_path(cr, ox, oy);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_fill(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    // Pitch-bar knob under the dial, over its two click areas.
    auto clicks = g.click_boxes();
    if (clicks.size() >= 3) {
        double x1 = std::min(clicks[1].x, clicks[2].x), x2 = std::max(clicks[1].x + clicks[1].width, clicks[2].x + clicks[2].width);
        double y1 = clicks[1].y, y2 = clicks[1].y + clicks[1].height;
        double kx = (x1 + x2) / 2, ky = (y1 + y2) / 2;
        knurled_knob(cr, kx, ky, std::min(x2 - x1, y2 - y1) / 2 - 2);
        text_centred(cr, "PITCH", kx - 48, ky + 8, 9, Font::sans_bold);
    }
}

// The mask of both sprites: (1,1,1) where the window shows them.
gaugehost::Image attitude_mask()
{
    gaugehost::Image m(256, 256, {0, 0, 0, 255});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            double dx = x + 0.5 - kWindowX, dy = y + 0.5 - kWindowY;
            if (dx * dx + dy * dy <= kWindowR * kWindowR && y < kWindowCut) m.at(x, y) = {1, 1, 1, 255};
        }
    return m;
}

void draw_attitude(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(352, 346);
        attitude_case(dial.cr(), g, false);
        out.add(g.bitmap(ATT_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas bezel(352, 346);
        attitude_case(bezel.cr(), g, true);
        out.add(g.bitmap(ATT_BEZEL, ELEMENT_STATIC), bezel.flatten(kEdgeMatte), 8, g.name());
    }
    {
        // Horizon bar: rows 126 to 130, across the whole texture.
        gaugehost::Image bar(256, 256, {0, 0, 0, 255});
        const gaugehost::Rgba shades[] = {{200, 200, 190, 255}, {245, 244, 236, 255}, {252, 251, 245, 255},
                                          {236, 235, 226, 255}, {170, 170, 162, 255}};
        for (int row = 126; row <= 130; ++row)
            for (int x = 0; x < 256; ++x) bar.at(x, row) = shades[row - 126];
        int n = g.bitmap(ATT_HORIZON, ELEMENT_SPRITE);
        out.add(n, bar, 4, g.name());
        out.add(n + 1, attitude_mask(), 4, g.name());
    }
    {
        // Bank pointer: a wedge over columns 124 to 130, tip up at row 21.
        Canvas pointer(256, 256);
        cairo_t* cr = pointer.cr();
        set_colour(cr, style::pointer);
        cairo_move_to(cr, 127.5, 21);
        cairo_line_to(cr, 131, 35);
        cairo_line_to(cr, 130.5, 47);
        cairo_line_to(cr, 124.5, 47);
        cairo_line_to(cr, 124, 35);
        cairo_close_path(cr);
        cairo_fill(cr);
        int n = g.bitmap(ATT_BANK_POINTER, ELEMENT_SPRITE);
        out.add(n, pointer.flatten(style::face, 0.4), 4, g.name());
        out.add(n + 1, attitude_mask(), 4, g.name());
    }
    {
        // Miniature aircraft: wings level with the horizon bar at rest, on a
        // stem rising from the bottom of the window.
        Canvas aircraft(163, 100);
        cairo_t* cr = aircraft.cr();
        Point at = g.slider(ATT_AIRCRAFT).header.position;
        Point centre = g.sprite(ATT_HORIZON).header.offset;
        double wy = centre.y + 0.5 - at.y, wx = centre.x + 0.5 - at.x;
        cairo_move_to(cr, wx - 34, 99.5);
        cairo_line_to(cr, wx - 3, wy + 8);
        cairo_line_to(cr, wx + 3, wy + 8);
        cairo_line_to(cr, wx + 34, 99.5);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.22, 0.22, 0.23);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.40, 0.40, 0.42);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        set_colour(cr, style::amber);
        rounded_rect(cr, 1, wy - 2.5, wx - 14, 5, 2.5);
        rounded_rect(cr, wx + 13, wy - 2.5, 163 - wx - 14, 5, 2.5);
        cairo_fill(cr);
        cairo_arc(cr, wx, wy, 5, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, wx, wy);
        cairo_line_to(cr, wx, wy + 10);
        cairo_stroke(cr);
        out.add(g.slider(ATT_AIRCRAFT).header.bitmap, aircraft.flatten(style::face, 0.4), 8, g.name());
    }
    {
        // Caged flag: a striped flag with CAGED on it.
        Canvas flag(54, 89);
        cairo_t* cr = flag.cr();
        rounded_rect(cr, 2, 2, 50, 85, 4);
        cairo_save(cr);
        cairo_clip_preserve(cr);
        cairo_set_source_rgb(cr, 0.92, 0.90, 0.84);
        cairo_fill(cr);
        set_colour(cr, style::red);
        for (int i = -6; i < 12; ++i) {
            cairo_move_to(cr, 0, i * 16);
            cairo_line_to(cr, 54, i * 16 + 54);
            cairo_line_to(cr, 54, i * 16 + 62);
            cairo_line_to(cr, 0, i * 16 + 8);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_rectangle(cr, 10, 20, 34, 49);
        cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
        cairo_fill(cr);
        text_centred(cr, "CAGED", 27, 44.5, 12, Font::sans_bold, style::mark, -90);
        out.add(g.icon(ATT_CAGED_FLAG).header.bitmap, flag.flatten(style::face, 0.5), 8, g.name());
    }
    {
        // Caging knob, uncaged (pushed in) and caged (pulled out, its red
        // band showing), over the caging click area.
        const Icon& icon = g.icon(ATT_CAGING_KNOB);
        auto clicks = g.click_boxes();
        double kx = 62, ky = 60;
        if (!clicks.empty()) {
            box_centre(clicks[0], kx, ky);
            kx -= icon.header.position.x;
            ky -= icon.header.position.y;
        }
        for (uint32_t picture = 0; picture < icon.picture_count; ++picture) {
            Canvas knob(125, 120);
            cairo_t* cr = knob.cr();
            cairo_arc(cr, kx, ky, 44, 0, 2 * M_PI);
            cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.34, 0.34, 0.35);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            bool caged = picture == 1;
            if (caged) {
                cairo_arc(cr, kx, ky, 32, 0, 2 * M_PI);
                set_colour(cr, style::red);
                cairo_fill(cr);
            }
            knurled_knob(cr, kx, ky, caged ? 29 : 26);
            text_centred(cr, caged ? "CAGED" : "PULL TO CAGE", kx, ky + (caged ? 0 : 0), caged ? 10 : 7,
                         Font::sans_bold);
            out.add(icon.header.bitmap + int(picture), knob.flatten(kEdgeMatte), 8, g.name());
        }
    }
}

// ---------------------------------------------------------------------------
// "Compass": dial 19000, bug 19200, heading needle 19100.

enum { COMPASS_DIAL = 1, COMPASS_BUG_B = 2, COMPASS_BUG_A = 3, COMPASS_NEEDLE_B = 4, COMPASS_NEEDLE_A = 5 };

void draw_compass(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(281, 294);
        cairo_t* cr = dial.cr();
        Point c = g.centre(COMPASS_NEEDLE_A);
        double cx = c.x + 0.5, cy = c.y + 0.5;
        round_case(cr, cx, cy, 128, 138.5);
        // The rose, where the heading needle points for each heading.
        for (int h = 0; h < 360; h += 5) {
            double a = g.angle(COMPASS_NEEDLE_A, h);
            bool ten = h % 10 == 0, thirty = h % 30 == 0;
            radial_mark(cr, cx, cy, a, thirty ? 104 : ten ? 110 : 116, 125, thirty ? 3.2 : ten ? 2 : 1.4);
        }
        const char* names[] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
        for (int i = 0; i < 12; ++i) {
            double x, y;
            point_at(cx, cy, g.angle(COMPASS_NEEDLE_A, i * 30), 88, x, y);
            bool cardinal = i % 3 == 0;
            text_centred(cr, names[i], x, y, cardinal ? 24 : 18, cardinal ? Font::sans_bold : Font::narrow,
                         cardinal && i == 0 ? style::amber : style::mark);
        }
        text_centred(cr, "COMPASS", cx, cy + 50, 10, Font::sans_bold);
        // Bug knob in the lower left corner, over its tooltip area.
        auto areas = g.tooltip_boxes();
        if (areas.size() >= 2) {
            double kx, ky;
            box_centre(areas[1], kx, ky);
            knurled_knob(cr, kx, ky, std::min(areas[1].width, areas[1].height) / 2.0 - 2);
        }
        out.add(g.bitmap(COMPASS_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    {
        // Bug: a broad amber arrow head near the rim on a thin shaft.
        Canvas bug(204, 44);
        cairo_t* cr = bug.cr();
        Point p = g.pivot(COMPASS_BUG_A);
        double px = p.x + 0.5, py = p.y + 0.5;
        set_colour(cr, style::amber);
        cairo_rectangle(cr, px - 20, py - 2, 100 + 20, 4);
        cairo_fill(cr);
        cairo_move_to(cr, 203, py);
        cairo_line_to(cr, px + 92, py - 19);
        cairo_line_to(cr, px + 100, py);
        cairo_line_to(cr, px + 92, py + 19);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_arc(cr, px, py, 6, 0, 2 * M_PI);
        cairo_fill(cr);
        out.add(g.bitmap(COMPASS_BUG_A, ELEMENT_NEEDLE), bug.flatten(style::face, 0.35), 8, g.name());
        if (g.bitmap(COMPASS_BUG_B, ELEMENT_NEEDLE) != g.bitmap(COMPASS_BUG_A, ELEMENT_NEEDLE))
            throw std::runtime_error("Compass: the bug's two copies name different bitmaps");
    }
    add_needle(out, g, COMPASS_NEEDLE_A, 210, 23, [](cairo_t* cr, double px, double py) {
        // Arrow head to the heading, a forked tail behind the hub.
        set_colour(cr, style::pointer);
        cairo_move_to(cr, px, py - 3);
        cairo_line_to(cr, 210 - 20, py - 3);
        cairo_line_to(cr, 210 - 20, py - 9);
        cairo_line_to(cr, 209, py);
        cairo_line_to(cr, 210 - 20, py + 9);
        cairo_line_to(cr, 210 - 20, py + 3);
        cairo_line_to(cr, px, py + 3);
        cairo_close_path(cr);
        cairo_fill(cr);
        set_colour(cr, style::red);
        cairo_move_to(cr, px, py - 3);
        cairo_line_to(cr, 12, py - 3);
        cairo_line_to(cr, 1, py - 9);
        cairo_line_to(cr, 6, py);
        cairo_line_to(cr, 1, py + 9);
        cairo_line_to(cr, 12, py + 3);
        cairo_line_to(cr, px, py + 3);
        cairo_close_path(cr);
        cairo_fill(cr);
        lance_needle(cr, px, py, 0, 0, 0, 9);
    });
    if (g.bitmap(COMPASS_NEEDLE_B, ELEMENT_NEEDLE) != g.bitmap(COMPASS_NEEDLE_A, ELEMENT_NEEDLE))
        throw std::runtime_error("Compass: the heading needle's two copies name different bitmaps");
}


// ---------------------------------------------------------------------------
// "Altitude": dial 20000, hands 20300 (ten thousands), 20200 (thousands),
// 20100 (hundreds).

enum { ALT_DIAL = 1, ALT_SETTING = 2, ALT_TEN_THOUSANDS = 3, ALT_THOUSANDS = 4, ALT_HUNDREDS = 5 };

void draw_altitude(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(283, 286);
        cairo_t* cr = dial.cr();
        Point c = g.centre(ALT_HUNDREDS);
        double cx = c.x + 0.5, cy = c.y + 0.5;
        round_case(cr, cx, cy, 130, 140);
        // One turn of the hundreds hand: a mark every 20 ft, numerals 0 to 9
        // at the hundreds.
        for (int v = 0; v < 1000; v += 20) {
            bool major = v % 100 == 0, half = v % 100 == 50;
            radial_mark(cr, cx, cy, g.angle(ALT_HUNDREDS, v), major ? 106 : half ? 113 : 118, 127,
                        major ? 3.4 : 1.6);
        }
        for (int digit = 0; digit <= 9; ++digit) {
            double x, y;
            point_at(cx, cy, g.angle(ALT_HUNDREDS, digit * 100), 91, x, y);
            text_centred(cr, std::to_string(digit), x, y, 26, Font::narrow);
        }
        text_centred(cr, "ALT", cx, cy - 42, 15, Font::sans_bold);
        text_centred(cr, "100 FEET", cx, cy + 40, 9, Font::sans_bold);
        text_centred(cr, "1000 FEET", cx, cy + 54, 7, Font::sans);
        // Setting window: a recess around the string element's text box.
        const StringElement& setting = g.string_element(ALT_SETTING);
        double wx = setting.header.position.x, wy = setting.header.position.y;
        rounded_rect(cr, wx - 4, wy - 4, setting.box_width + 8, setting.box_height + 8, 3);
        cairo_set_source_rgb(cr, 0.32, 0.32, 0.33);
        cairo_fill(cr);
        cairo_rectangle(cr, wx - 1, wy - 1, setting.box_width + 2, setting.box_height + 2);
        cairo_set_source_rgb(cr, 0.03, 0.03, 0.035);
        cairo_fill(cr);
        // Setting knob, over its tooltip area.
        auto areas = g.tooltip_boxes();
        if (areas.size() >= 2) {
            double kx, ky;
            box_centre(areas[1], kx, ky);
            knurled_knob(cr, kx, ky, std::min(areas[1].width, areas[1].height) / 2.0 - 1);
        }
        out.add(g.bitmap(ALT_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    add_needle(out, g, ALT_HUNDREDS, 137, 17, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 137 - px - 1, 5, 32, 7.5);
    });
    add_needle(out, g, ALT_THOUSANDS, 97, 29, [](cairo_t* cr, double px, double py) {
        // A broad leaf.
        set_colour(cr, style::pointer);
        cairo_move_to(cr, px - 24, py - 4);
        cairo_curve_to(cr, px + 10, py - 13, px + 40, py - 11, 96, py);
        cairo_curve_to(cr, px + 40, py + 11, px + 10, py + 13, px - 24, py + 4);
        cairo_close_path(cr);
        cairo_fill(cr);
        lance_needle(cr, px, py, 0, 0, 0, 9);
    });
    add_needle(out, g, ALT_TEN_THOUSANDS, 51, 11, [](cairo_t* cr, double px, double py) {
        // A short hand ending in a triangle.
        set_colour(cr, style::pointer);
        cairo_rectangle(cr, px - 4, py - 1.5, 38, 3);
        cairo_fill(cr);
        cairo_move_to(cr, 50.5, py);
        cairo_line_to(cr, 36, py - 5.5);
        cairo_line_to(cr, 36, py + 5.5);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_arc(cr, px, py, 4.5, 0, 2 * M_PI);
        cairo_fill(cr);
    });
}

// ---------------------------------------------------------------------------
// "Directional_gyro": face 21000, heading strip 22000 behind its window 22001.

enum { GYRO_FACE = 1, GYRO_STRIP = 2 };

constexpr int kStripWidth = 706, kStripHeight = 33, kWindowWidth = 87;
constexpr double kIndexCentre = 44;  // the index line covers window columns 43 and 44

void draw_directional_gyro(GaugeRecords& g, ModuleArt& out)
{
    const MovingImage& strip = g.moving(GYRO_STRIP);
    {
        Canvas face(145, 202);
        cairo_t* cr = face.cr();
        plate(cr, 0.5, 0.5, 144, 201, 10);
        for (auto [sx, sy] : {std::pair{10.0, 10.0}, {135.0, 10.0}, {10.0, 192.0}, {135.0, 192.0}})
            screw(cr, sx, sy, 5);
        double wx = strip.header.position.x, wy = strip.header.position.y;
        rounded_rect(cr, wx - 6, wy - 6, kWindowWidth + 12, kStripHeight + 12, 5);
        cairo_set_source_rgb(cr, 0.06, 0.06, 0.065);
        cairo_fill(cr);
        text_centred(cr, "DIRECTIONAL", 72.5, wy + kStripHeight + 26, 12, Font::sans_bold);
        text_centred(cr, "GYRO", 72.5, wy + kStripHeight + 42, 12, Font::sans_bold);
        auto clicks = g.click_boxes();
        if (clicks.size() >= 2) {
            double x1 = clicks[0].x, x2 = clicks[1].x + clicks[1].width;
            double y1 = clicks[0].y, y2 = clicks[0].y + clicks[0].height;
            knurled_knob(cr, (x1 + x2) / 2, (y1 + y2) / 2, std::min(x2 - x1, y2 - y1) / 2 - 1);
            text_centred(cr, "SET", (x1 + x2) / 2 - 36, (y1 + y2) / 2, 9, Font::sans_bold);
        }
        out.add(g.bitmap(GYRO_FACE, ELEMENT_STATIC), face.flatten(kEdgeMatte), 8, g.name());
    }
    {
        // Where the host shows each heading under the index: its strip
        // position for headings 0 and 360, and the straight line between
        // (checked at 180), carried on past both ends for the repeats.
        double p0 = g.strip_position(GYRO_STRIP, 0), p360 = g.strip_position(GYRO_STRIP, 360);
        double p180 = g.strip_position(GYRO_STRIP, 180);
        if (std::fabs(p180 - (p0 + p360) / 2) > 1e-9)
            throw std::runtime_error("Directional_gyro: the strip does not move in proportion to the heading");
        const double travel = kStripWidth - kWindowWidth;
        auto column = [&](double h) { return (p0 + (p360 - p0) * h / 360) * travel + kIndexCentre; };
        Canvas card(kStripWidth, kStripHeight);
        cairo_t* cr = card.cr();
        cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
        cairo_paint(cr);
        set_colour(cr, style::mark);
        for (int h = -40; h <= 400; h += 5) {
            double x = column(h);
            if (x < -20 || x > kStripWidth + 20) continue;
            bool ten = h % 10 == 0;
            cairo_rectangle(cr, x - 1, ten ? 23 : 27, 2, kStripHeight - (ten ? 23 : 27));
            cairo_fill(cr);
            if (ten) {
                int tens = ((h % 360) + 360) % 360 / 10;
                text_centred(cr, std::to_string(tens), x, 12, 12, Font::sans_bold);
            }
        }
        out.add(strip.header.bitmap, card.flatten(style::face, 0.5), 8, g.name());
    }
    {
        // The window: (1,1,1) shows the strip; the index line and the
        // rounded corners are drawn as themselves.
        gaugehost::Image window(kWindowWidth, kStripHeight, {1, 1, 1, 255});
        for (int y = 0; y < kStripHeight; ++y) {
            window.at(43, y) = {250, 190, 60, 255};
            window.at(44, y) = {250, 190, 60, 255};
        }
        const gaugehost::Rgba corner{150, 150, 146, 255};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j + i < 3; ++j) {
                window.at(i, j) = corner;
                window.at(kWindowWidth - 1 - i, j) = corner;
                window.at(i, kStripHeight - 1 - j) = corner;
                window.at(kWindowWidth - 1 - i, kStripHeight - 1 - j) = corner;
            }
        out.add(strip.header.bitmap + 1, window, 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Clock": dial 23000, hands 23100 (hour), 23200 (minute), 23300 (second).

enum { CLOCK_DIAL = 1, CLOCK_HOUR_A = 3, CLOCK_MINUTE_A = 5, CLOCK_SECOND_A = 7 };

void draw_clock(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas dial(283, 285);
        cairo_t* cr = dial.cr();
        Point c = g.centre(CLOCK_MINUTE_A);
        double cx = c.x + 0.5, cy = c.y + 0.5;
        round_case(cr, cx, cy, 130, 140);
        for (int m = 0; m < 60; ++m) {
            bool five = m % 5 == 0;
            radial_mark(cr, cx, cy, g.angle(CLOCK_MINUTE_A, m), five ? 74 : 81, 92, five ? 3.4 : 1.6);
        }
        for (int h = 1; h <= 12; ++h) {
            double x, y;
            point_at(cx, cy, g.angle(CLOCK_HOUR_A, h), 110, x, y);
            text_centred(cr, std::to_string(h), x, y, 26, Font::narrow);
        }
        text_centred(cr, "CLOCK", cx, cy + 40, 10, Font::sans_bold);
        out.add(g.bitmap(CLOCK_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    add_needle(out, g, CLOCK_HOUR_A, 68, 17, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 68 - px - 1, 8, 6, 6);
    });
    add_needle(out, g, CLOCK_MINUTE_A, 88, 17, [](cairo_t* cr, double px, double py) {
        lance_needle(cr, px, py, 88 - px - 1, 6, 6, 6);
    });
    add_needle(out, g, CLOCK_SECOND_A, 137, 17, [](cairo_t* cr, double px, double py) {
        set_colour(cr, style::amber);
        cairo_rectangle(cr, px - 34, py - 1, 137 - 1 - px + 34, 2);
        cairo_fill(cr);
        cairo_arc(cr, px - 26, py, 5, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_arc(cr, px, py, 4.5, 0, 2 * M_PI);
        cairo_fill(cr);
    });
}

// ---------------------------------------------------------------------------
// Panel window icons: 24000, 25000, 26000, each a 19x19 framed button.

void button(cairo_t* cr)
{
    cairo_rectangle(cr, 0, 0, 19, 19);
    cairo_set_source_rgb(cr, 0.55, 0.56, 0.55);
    cairo_fill(cr);
    cairo_move_to(cr, 19, 0);
    cairo_line_to(cr, 19, 19);
    cairo_line_to(cr, 0, 19);
    cairo_line_to(cr, 1.5, 17.5);
    cairo_line_to(cr, 17.5, 17.5);
    cairo_line_to(cr, 17.5, 1.5);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.10);
    cairo_fill(cr);
    cairo_rectangle(cr, 2, 2, 15, 15);
    cairo_set_source_rgb(cr, 0.22, 0.23, 0.22);
    cairo_fill(cr);
}

template <typename Symbol>
void add_icon(GaugeRecords& g, ModuleArt& out, Symbol symbol)
{
    Canvas c(19, 19);
    button(c.cr());
    symbol(c.cr());
    out.add(g.bitmap(1, ELEMENT_STATIC), c.flatten(style::panel, 0.5), 8, g.name());
}

void draw_icon_engine(GaugeRecords& g, ModuleArt& out)
{
    add_icon(g, out, [](cairo_t* cr) { text_centred(cr, "E", 9.5, 9.5, 12, Font::sans_bold); });
}

void draw_icon_throttle(GaugeRecords& g, ModuleArt& out)
{
    add_icon(g, out, [](cairo_t* cr) {
        // Three lever slots with their knobs at different heights.
        for (int i = 0; i < 3; ++i) {
            double x = 5.5 + 4 * i;
            cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
            cairo_rectangle(cr, x - 0.5, 4, 1, 11);
            cairo_fill(cr);
            set_colour(cr, i == 0 ? style::mark : i == 1 ? style::red : Colour{0.35, 0.55, 0.95});
            cairo_arc(cr, x, 6.5 + 2.5 * i, 1.8, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    });
}

void draw_icon_map(GaugeRecords& g, ModuleArt& out)
{
    add_icon(g, out, [](cairo_t* cr) {
        // A four-pointed compass star.
        set_colour(cr, style::mark);
        for (int i = 0; i < 4; ++i) {
            double a = radians(-90 + 90 * i);
            double tip = 6.5, side = 1.8;
            cairo_move_to(cr, 9.5 + tip * std::cos(a), 9.5 + tip * std::sin(a));
            cairo_line_to(cr, 9.5 + side * std::cos(a + M_PI / 2), 9.5 + side * std::sin(a + M_PI / 2));
            cairo_line_to(cr, 9.5 + side * std::cos(a - M_PI / 2), 9.5 + side * std::sin(a - M_PI / 2));
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        set_colour(cr, style::red);
        cairo_move_to(cr, 9.5, 3);
        cairo_line_to(cr, 11.3, 9.5);
        cairo_line_to(cr, 7.7, 9.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
}

}  // namespace

void add_flight_art(std::vector<GaugeArt>& list)
{
    list.push_back({"Orvane", "Airspeed", draw_airspeed});
    list.push_back({"Orvane", "Climb", draw_climb});
    list.push_back({"Orvane", "TurnBank", draw_turn_bank});
    list.push_back({"Orvane", "Attitude", draw_attitude});
    list.push_back({"Orvane", "Compass", draw_compass});
    list.push_back({"Orvane", "Altitude", draw_altitude});
    list.push_back({"Orvane", "Directional_gyro", draw_directional_gyro});
    list.push_back({"Orvane", "Clock", draw_clock});
    list.push_back({"Orvane", "Icon_Engine_Quadrant", draw_icon_engine});
    list.push_back({"Orvane", "Icon_Throttle_Quadrant", draw_icon_throttle});
    list.push_back({"Orvane", "Icon_Map", draw_icon_map});
}

}  // namespace art
