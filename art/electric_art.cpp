// Artwork of the electrical and controls module (Orvane_electric).
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "artwork.h"
#include "canvas.h"
#include "parts.h"

namespace art {

namespace {



// ---------------------------------------------------------------------------
// "Ignition": housing 2000 with the labels OFF, L, R, BOTH; 2100..2103 the
// lower dial with the lever at OFF, R, L and BOTH.

enum { IGN_HOUSING = 1, IGN_LEVER = 2 };

void draw_ignition(GaugeRecords& g, ModuleArt& out)
{
    // The click areas: the two lower halves of the dial, then the labels
    // OFF, L, R and BOTH.
    auto clicks = g.click_boxes();
    if (clicks.size() != 6) throw std::runtime_error("Ignition: six click areas expected");
    double pivot_x = (clicks[0].x + clicks[1].x + clicks[1].width) / 2.0;
    double pivot_y = clicks[0].y + clicks[0].height * 0.45;
    const char* labels[] = {"OFF", "L", "R", "BOTH"};

    Canvas housing(351, 315);
    cairo_t* cr = housing.cr();
    // The housing: a round case holding the labels and the lever's sweep.
    double r = 150;
    round_case(cr, pivot_x, 160, r - 11, r);
    double label_x[4], label_y[4];
    for (int i = 0; i < 4; ++i) {
        box_centre(clicks[2 + i], label_x[i], label_y[i]);
        text_centred(cr, labels[i], label_x[i], label_y[i] - 6, i == 3 ? 20 : 24, Font::sans_bold);
        double a = std::atan2(label_y[i] - pivot_y, label_x[i] - pivot_x) * 180 / M_PI;
        radial_mark(cr, pivot_x, pivot_y, a, 84, 96, 3);
    }
    text_centred(cr, "IGNITION", pivot_x, pivot_y + 88, 13, Font::sans_bold);
    text_centred(cr, "MAGNETOS", pivot_x, pivot_y + 104, 8, Font::sans);
    out.add(g.bitmap(IGN_HOUSING, ELEMENT_STATIC), housing.flatten(kEdgeMatte), 8, g.name());

    // Picture order: 0 OFF, 1 R, 2 L, 3 BOTH.
    const int label_of_picture[] = {0, 2, 1, 3};
    const Icon& lever = g.icon(IGN_LEVER);
    Point at = lever.header.position;
    for (uint32_t picture = 0; picture < lever.picture_count && picture < 4; ++picture) {
        Canvas c(282, 207);
        c.paint(housing, -at.x, -at.y);
        cairo_t* k = c.cr();
        int l = label_of_picture[picture];
        double a = std::atan2(label_y[l] - pivot_y, label_x[l] - pivot_x);
        cairo_save(k);
        cairo_translate(k, pivot_x - at.x, pivot_y - at.y);
        cairo_rotate(k, a);
        // A key-shaped lever: a broad grip with a pointer towards the label.
        cairo_move_to(k, -46, -20);
        cairo_line_to(k, 50, -13);
        cairo_line_to(k, 78, 0);
        cairo_line_to(k, 50, 13);
        cairo_line_to(k, -46, 20);
        cairo_arc(k, -46, 0, 20, M_PI / 2, 3 * M_PI / 2);
        cairo_close_path(k);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, -20, 0, 20);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.62, 0.60, 0.55);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.30, 0.29, 0.26);
        cairo_set_source(k, p);
        cairo_fill(k);
        cairo_pattern_destroy(p);
        cairo_set_source_rgb(k, 0.08, 0.08, 0.08);
        cairo_move_to(k, 30, -2);
        cairo_line_to(k, 74, 0);
        cairo_line_to(k, 30, 2);
        cairo_close_path(k);
        cairo_fill(k);
        cairo_restore(k);
        out.add(lever.header.bitmap + int(picture), c.flatten(kEdgeMatte), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Gear_warning_light": the lamp dark (2500) and lit (2501).

void lamp(cairo_t* cr, bool lit)
{
    double c = 31;
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 62, 62);
    cairo_pattern_add_color_stop_rgb(rim, 0, 0.70, 0.70, 0.70);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.18, 0.18, 0.19);
    cairo_arc(cr, c, c, 30, 0, 2 * M_PI);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    cairo_arc(cr, c, c, 23, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
    cairo_fill(cr);
    cairo_pattern_t* lens = cairo_pattern_create_radial(c - 6, c - 6, 1, c, c, 21);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(lens, 0, 1.0, 0.85, 0.75);
        cairo_pattern_add_color_stop_rgb(lens, 0.3, 1.0, 0.25, 0.15);
        cairo_pattern_add_color_stop_rgb(lens, 1, 0.80, 0.06, 0.04);
    } else {
        cairo_pattern_add_color_stop_rgb(lens, 0, 0.55, 0.22, 0.20);
        cairo_pattern_add_color_stop_rgb(lens, 0.3, 0.30, 0.04, 0.03);
        cairo_pattern_add_color_stop_rgb(lens, 1, 0.16, 0.02, 0.02);
    }
    cairo_arc(cr, c, c, 21, 0, 2 * M_PI);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
}

void draw_gear_warning(GaugeRecords& g, ModuleArt& out)
{
    const Icon& icon = g.icon(2);
    if (icon.header.bitmap != g.bitmap(1, ELEMENT_STATIC))
        throw std::runtime_error("Gear_warning_light: the dark lamp is expected to be the background too");
    for (uint32_t picture = 0; picture < icon.picture_count; ++picture) {
        Canvas c(62, 62);
        lamp(c.cr(), picture == 1);
        out.add(icon.header.bitmap + int(picture), c.flatten(kEdgeMatte), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Flaps_gear_sw": plates 3000, gear lever 3100/3101 (up, down), flap lever
// 3200/3201/3202 (down, up, off).

enum { FG_PLATES = 1, FG_GEAR = 2, FG_FLAPS = 3 };

enum class LeverAt { up, down, off };

void lever(cairo_t* cr, double px, double py, LeverAt at, bool gear, int height)
{
    // Hinge block.
    rounded_rect(cr, px - 11, py - 9, 22, 18, 3);
    cairo_set_source_rgb(cr, 0.30, 0.30, 0.31);
    cairo_fill(cr);
    double end = at == LeverAt::up ? 16 : at == LeverAt::down ? height - 16 : py;
    if (at != LeverAt::off) {
        cairo_set_source_rgb(cr, 0.72, 0.72, 0.70);
        cairo_set_line_width(cr, 6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, px, py);
        cairo_line_to(cr, px, end);
        cairo_stroke(cr);
    }
    if (gear) {
        // A wheel-shaped knob.
        cairo_arc(cr, px, end, 14, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
        cairo_fill(cr);
        cairo_arc(cr, px, end, 8, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.75, 0.75, 0.72);
        cairo_fill(cr);
    } else {
        // A flat knob, seen end-on when the lever stands at OFF.
        double w = at == LeverAt::off ? 20 : 30, h = at == LeverAt::off ? 20 : 11;
        rounded_rect(cr, px - w / 2, end - h / 2, w, h, 4);
        cairo_set_source_rgb(cr, 0.85, 0.83, 0.76);
        cairo_fill(cr);
    }
}

void draw_flaps_gear(GaugeRecords& g, ModuleArt& out)
{
    const Icon& gear = g.icon(FG_GEAR);
    const Icon& flaps = g.icon(FG_FLAPS);
    const int gear_w = 52, flap_w = 54, lever_h = 135;
    double gx = gear.header.position.x + gear_w / 2.0;
    double fx = flaps.header.position.x + flap_w / 2.0, fy = flaps.header.position.y + lever_h / 2.0;
    {
        Canvas plates(190, 240);
        cairo_t* cr = plates.cr();
        plate(cr, 0.5, 0.5, 94, 239, 6);
        plate(cr, 95.5, 0.5, 94, 239, 6);
        for (double x : {fx, gx}) {
            rounded_rect(cr, x - 5, 40, 10, 160, 5);
            cairo_set_source_rgb(cr, 0.04, 0.04, 0.045);
            cairo_fill(cr);
        }
        text_centred(cr, "UP", 47, 24, 14, Font::sans_bold);
        text_centred(cr, "OFF", 78, fy, 10, Font::sans_bold);
        text_centred(cr, "DOWN", 47, 205, 12, Font::sans_bold);
        text_centred(cr, "FLAPS", 47, 227, 13, Font::sans_bold);
        text_centred(cr, "UP", 142, 24, 14, Font::sans_bold);
        text_centred(cr, "DOWN", 142, 205, 12, Font::sans_bold);
        text_centred(cr, "GEAR", 142, 227, 13, Font::sans_bold, style::red);
        out.add(g.bitmap(FG_PLATES, ELEMENT_STATIC), plates.flatten(kEdgeMatte), 8, g.name());
    }
    const LeverAt gear_pictures[] = {LeverAt::up, LeverAt::down};
    for (uint32_t i = 0; i < gear.picture_count && i < 2; ++i) {
        Canvas c(gear_w, lever_h);
        lever(c.cr(), gear_w / 2.0, lever_h / 2.0, gear_pictures[i], true, lever_h);
        out.add(gear.header.bitmap + int(i), c.flatten(style::panel, 0.45), 8, g.name());
    }
    const LeverAt flap_pictures[] = {LeverAt::down, LeverAt::up, LeverAt::off};
    for (uint32_t i = 0; i < flaps.picture_count && i < 3; ++i) {
        Canvas c(flap_w, lever_h);
        lever(c.cr(), flap_w / 2.0, lever_h / 2.0, flap_pictures[i], false, lever_h);
        out.add(flaps.header.bitmap + int(i), c.flatten(style::panel, 0.45), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Ammeter": dial 3300, needle 3500, bezel and cover plate 3400.

enum { AMM_DIAL = 1, AMM_NEEDLE = 2, AMM_COVER = 3 };

constexpr double kAmmeterFace = 92, kAmmeterRim = 104;
constexpr double kCoverTop = 150;  // the cover plate hides the needle's root

void draw_ammeter(GaugeRecords& g, ModuleArt& out)
{
    double cx = 105, cy = 105;
    Point n = g.centre(AMM_NEEDLE);
    double nx = n.x + 0.5, ny = n.y + 0.5;
    {
        Canvas dial(210, 210);
        cairo_t* cr = dial.cr();
        round_case(cr, cx, cy, kAmmeterFace, kAmmeterRim);
        for (int v = -40; v <= 40; v += 10) {
            bool major = v % 20 == 0;
            radial_mark(cr, nx, ny, g.angle(AMM_NEEDLE, v), major ? 94 : 99, 110, major ? 3 : 1.6);
        }
        for (int v : {-40, -20, 20, 40}) {
            double x, y;
            point_at(nx, ny, g.angle(AMM_NEEDLE, v), 84, x, y);
            text_centred(cr, std::to_string(std::abs(v)), x, y, 11, Font::narrow);
        }
        double x, y;
        point_at(nx, ny, g.angle(AMM_NEEDLE, 0), 83, x, y);
        text_centred(cr, "0", x, y, 15, Font::sans_bold);
        point_at(nx, ny, g.angle(AMM_NEEDLE, -40), 116, x, y);
        text_centred(cr, "\xE2\x88\x92", x - 8, y + 10, 22, Font::sans_bold);
        point_at(nx, ny, g.angle(AMM_NEEDLE, 40), 116, x, y);
        text_centred(cr, "+", x + 8, y + 10, 22, Font::sans_bold);
        text_centred(cr, "AMPS.", cx, 38, 14, Font::sans_bold);
        out.add(g.bitmap(AMM_DIAL, ELEMENT_STATIC), dial.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas cover(210, 210);
        cairo_t* cr = cover.cr();
        round_case(cr, cx, cy, kAmmeterFace, kAmmeterRim);
        cairo_save(cr);
        cairo_arc(cr, cx, cy, kAmmeterFace + 1, 0, 2 * M_PI);
        cairo_clip(cr);
        cairo_rectangle(cr, 0, kCoverTop, 210, 210);
        cairo_set_source_rgb(cr, 0.20, 0.20, 0.21);
        cairo_fill(cr);
        cairo_rectangle(cr, 0, kCoverTop, 210, 2);
        cairo_set_source_rgb(cr, 0.40, 0.40, 0.41);
        cairo_fill(cr);
        cairo_restore(cr);
        screw(cr, cx, kCoverTop + 22, 6, 70);
        // Inside the ring above the plate: open, pure black.
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, 210, kCoverTop);
        cairo_clip(cr);
        cairo_arc(cr, cx, cy, kAmmeterFace, 0, 2 * M_PI);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr);
        cairo_restore(cr);
        out.add(g.bitmap(AMM_COVER, ELEMENT_STATIC), cover.flatten(kEdgeMatte), 8, g.name());
    }
    {
        Canvas needle(120, 7);
        cairo_t* cr = needle.cr();
        Point p = g.pivot(AMM_NEEDLE);
        double px = p.x + 0.5, py = p.y + 0.5;
        cairo_set_source_rgb(cr, 0.22, 0.22, 0.23);
        cairo_rectangle(cr, 0, py - 2.5, 52, 5);
        cairo_fill(cr);
        lance_needle(cr, 48, py, 120 - 48 - 0.5, 3.5, 0, 0);
        cairo_arc(cr, px, py, 3.4, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        cairo_fill(cr);
        out.add(g.bitmap(AMM_NEEDLE, ELEMENT_NEEDLE), needle.flatten(style::face, 0.35), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Switch_box": panel 3600, toggle lever 3700 (down, off) and 3701 (up, on).

const char* const kSwitchNames[][2] = {{"BATTERY", ""}, {"GENERATOR", ""}, {"PITOT", "HEAT"}, {"FUEL", "BOOST"}};

void draw_switch_box(GaugeRecords& g, ModuleArt& out)
{
    const int lever_w = 16, lever_h = 94;
    Canvas panel(206, 191);
    cairo_t* cr = panel.cr();
    plate(cr, 0.5, 0.5, 205, 190, 8);
    for (auto [sx, sy] : {std::pair{9.0, 9.0}, {197.0, 9.0}, {9.0, 182.0}, {197.0, 182.0}}) screw(cr, sx, sy, 4.5);
    int first_icon = 2;
    for (int i = 0; i < 4; ++i) {
        Point at = g.icon(first_icon + i).header.position;
        double x = at.x + lever_w / 2.0, y = at.y + lever_h / 2.0;
        cairo_arc(cr, x, y, 10, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.45, 0.45, 0.46);
        cairo_fill(cr);
        cairo_arc(cr, x, y, 6, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.055);
        cairo_fill(cr);
        text_centred(cr, "ON", x, at.y - 9, 10, Font::sans_bold);
        text_centred(cr, "OFF", x, at.y + lever_h + 10, 10, Font::sans_bold);
        const char* const* name = kSwitchNames[i];
        if (*name[1]) {
            text_centred(cr, name[0], x, 26, 10, Font::narrow);
            text_centred(cr, name[1], x, 39, 10, Font::narrow);
        } else {
            text_centred(cr, name[0], x, 33, 8, Font::narrow);
        }
    }
    out.add(g.bitmap(1, ELEMENT_STATIC), panel.flatten(kEdgeMatte), 8, g.name());

    const Icon& icon = g.icon(first_icon);
    for (int i = 1; i < 4; ++i)
        if (g.icon(first_icon + i).header.bitmap != icon.header.bitmap)
            throw std::runtime_error("Switch_box: the four switches are expected to share their pictures");
    for (uint32_t picture = 0; picture < icon.picture_count && picture < 2; ++picture) {
        Canvas c(lever_w, lever_h);
        cairo_t* k = c.cr();
        bool up = picture == 1;
        double cx = lever_w / 2.0, cy = lever_h / 2.0, end = up ? 5 : lever_h - 5;
        cairo_arc(k, cx, cy, 7.5, 0, 2 * M_PI);
        cairo_set_source_rgb(k, 0.55, 0.55, 0.56);
        cairo_fill(k);
        cairo_move_to(k, cx - 2.5, cy);
        cairo_line_to(k, cx - 4.5, end);
        cairo_line_to(k, cx + 4.5, end);
        cairo_line_to(k, cx + 2.5, cy);
        cairo_close_path(k);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, lever_w, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 0.95, 0.93);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.50, 0.50, 0.50);
        cairo_set_source(k, p);
        cairo_fill(k);
        cairo_pattern_destroy(p);
        cairo_arc(k, cx, end, 4.5, 0, 2 * M_PI);
        cairo_set_source_rgb(k, 0.85, 0.85, 0.83);
        cairo_fill(k);
        out.add(icon.header.bitmap + int(picture), c.flatten(style::panel, 0.45), 8, g.name());
    }
}

// ---------------------------------------------------------------------------
// "Starter": floor 3800, pedal 3900 (released) and 3901 (pressed).

void draw_starter(GaugeRecords& g, ModuleArt& out)
{
    {
        Canvas floor(267, 329);
        cairo_t* cr = floor.cr();
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 329);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.13, 0.13, 0.12);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.20, 0.20, 0.19);
        cairo_rectangle(cr, 0, 0, 267, 329);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        // Tread plate.
        cairo_set_source_rgb(cr, 0.24, 0.24, 0.23);
        for (int y = 8; y < 329; y += 16)
            for (int x = 34 + (y / 16 % 2) * 8; x < 267; x += 16) {
                cairo_move_to(cr, x - 4, y - 2);
                cairo_line_to(cr, x + 4, y + 2);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
        // The vertical bar on the left.
        cairo_pattern_t* bar = cairo_pattern_create_linear(4, 0, 26, 0);
        cairo_pattern_add_color_stop_rgb(bar, 0, 0.25, 0.25, 0.26);
        cairo_pattern_add_color_stop_rgb(bar, 0.4, 0.62, 0.62, 0.62);
        cairo_pattern_add_color_stop_rgb(bar, 1, 0.18, 0.18, 0.19);
        cairo_rectangle(cr, 4, 0, 22, 329);
        cairo_set_source(cr, bar);
        cairo_fill(cr);
        cairo_pattern_destroy(bar);
        out.add(g.bitmap(1, ELEMENT_STATIC), floor.flatten(kEdgeMatte), 8, g.name());
    }
    const Icon& pedal = g.icon(2);
    auto clicks = g.click_boxes();
    // The pedal lies under the click area.
    double x1 = 36, x2 = 180;
    if (!clicks.empty()) {
        x1 = clicks[0].x - pedal.header.position.x;
        x2 = x1 + clicks[0].width;
    }
    for (uint32_t picture = 0; picture < pedal.picture_count && picture < 2; ++picture) {
        Canvas c(180, 284);
        cairo_t* cr = c.cr();
        bool pressed = picture == 1;
        double mid = (x1 + x2) / 2, bottom = 276;
        double top = pressed ? 70 : 8;
        double top_half = pressed ? (x2 - x1) / 2 - 14 : (x2 - x1) / 2 - 2;
        double bottom_half = (x2 - x1) / 2 - 14;
        // Hinge at the bottom.
        rounded_rect(cr, mid - bottom_half, bottom - 6, 2 * bottom_half, 12, 4);
        cairo_set_source_rgb(cr, 0.30, 0.30, 0.31);
        cairo_fill(cr);
        cairo_move_to(cr, mid - top_half, top);
        cairo_line_to(cr, mid + top_half, top);
        cairo_line_to(cr, mid + bottom_half, bottom);
        cairo_line_to(cr, mid - bottom_half, bottom);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
        cairo_pattern_add_color_stop_rgb(p, 0, pressed ? 0.36 : 0.55, pressed ? 0.36 : 0.55, pressed ? 0.35 : 0.53);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.30, 0.30, 0.29);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        // Ribs across the pedal.
        cairo_set_source_rgb(cr, 0.16, 0.16, 0.16);
        cairo_set_line_width(cr, 3);
        for (double y = top + 16; y < bottom - 16; y += 18) {
            double f = (y - top) / (bottom - top);
            double half = top_half + (bottom_half - top_half) * f - 8;
            cairo_move_to(cr, mid - half, y);
            cairo_line_to(cr, mid - half * 0.35, y);
            cairo_move_to(cr, mid + half * 0.35, y);
            cairo_line_to(cr, mid + half, y);
            cairo_stroke(cr);
        }
        text_centred(cr, "STARTER", mid, (top + bottom) / 2, pressed ? 20 : 24, Font::sans_bold,
                     {0.92, 0.90, 0.82}, -90);
        out.add(pedal.header.bitmap + int(picture), c.flatten(style::panel, 0.45), 8, g.name());
    }
}

}  // namespace

void add_electric_art(std::vector<GaugeArt>& list)
{
    list.push_back({"Orvane_electric", "Ignition", draw_ignition});
    list.push_back({"Orvane_electric", "Gear_warning_light", draw_gear_warning});
    list.push_back({"Orvane_electric", "Flaps_gear_sw", draw_flaps_gear});
    list.push_back({"Orvane_electric", "Ammeter", draw_ammeter});
    list.push_back({"Orvane_electric", "Switch_box", draw_switch_box});
    list.push_back({"Orvane_electric", "Starter", draw_starter});
}

}  // namespace art
