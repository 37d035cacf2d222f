// Drawing the artwork: a cairo canvas per picture and the small set of
// shapes the instruments are made of (faces, bezels, marks, numerals,
// knobs, pointers), in one period style: near-black faces, cream marks,
// dark metal rims.
#pragma once

#include <cairo.h>

#include <string>

#include "host/image.h"

namespace art {

struct Colour {
    double r, g, b;  // 0..1
};

// The palette of the style.
namespace style {
constexpr Colour face{0.085, 0.085, 0.095};       // dial faces: near black, never (0,0,0)
constexpr Colour face_edge{0.05, 0.05, 0.058};
constexpr Colour mark{0.93, 0.91, 0.84};          // marks, numerals, labels
constexpr Colour pointer{0.95, 0.94, 0.88};       // needles
constexpr Colour rim_light{0.42, 0.42, 0.44};     // bezel metal
constexpr Colour rim_dark{0.10, 0.10, 0.11};
constexpr Colour panel{0.16, 0.17, 0.16};         // flat panel plates
constexpr Colour red{0.78, 0.12, 0.10};
constexpr Colour amber{0.95, 0.62, 0.12};
}  // namespace style

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The finished picture for a bitmap whose colour (0,0,0) is transparent:
    // pixels covered less than `threshold` become (0,0,0); the others are
    // laid over `matte` (the colour they will mostly stand on, so that
    // anti-aliased edges blend into it) and are never (0,0,0).
    gaugehost::Image flatten(Colour matte, double threshold = 0.5) const;
    // Every pixel exactly as drawn (fully opaque pictures such as masks).
    gaugehost::Image exact() const;

    // Copies another canvas in at (x, y) of this one.
    void paint(const Canvas& other, double x, double y);

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void set_colour(cairo_t* cr, Colour c, double alpha = 1.0);

// Angles are screen degrees, clockwise from the x axis (y down), as the
// host measures needle directions.
double radians(double degrees);
void point_at(double cx, double cy, double degrees, double r, double& x, double& y);

// A round instrument: dark metal bezel from r_face to r_outer around a
// near-black face.
void round_case(cairo_t* cr, double cx, double cy, double r_face, double r_outer);
// A radial mark from r_in to r_out.
void radial_mark(cairo_t* cr, double cx, double cy, double degrees, double r_in, double r_out, double width,
                 Colour c = style::mark);

enum class Font { sans, sans_bold, narrow, serif_bold };
// Text centred (by its ink) on (x, y), upright, or turned by `degrees`.
void text_centred(cairo_t* cr, const std::string& text, double x, double y, double size,
                  Font font = Font::sans_bold, Colour c = style::mark, double degrees = 0);
// Ink width of a text.
double text_width(cairo_t* cr, const std::string& text, double size, Font font = Font::sans_bold);

// A knurled round knob seen from the front.
void knurled_knob(cairo_t* cr, double cx, double cy, double r);
// A slotted screw head.
void screw(cairo_t* cr, double cx, double cy, double r, double slot_degrees = 30);
// A lance-shaped needle along +x from the pivot (px, py): pointer of
// `length` and `width`, a tail of `tail` pixels and a hub of radius `hub`.
void lance_needle(cairo_t* cr, double px, double py, double length, double width, double tail, double hub,
                  Colour c = style::pointer);
// Rounded rectangle path.
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// A plate of brushed dark paint with a light edge.
void plate(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace art
