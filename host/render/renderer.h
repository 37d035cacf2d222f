// Drawing gauges: a gauge's element chain, with the drawing values of its
// latest update, into an RGBA picture.
//
// Pictures are Image (straight, not premultiplied, RGBA). Pixel (i, j)
// covers the square [i, i+1) x [j, j+1); its centre is (i + 0.5, j + 0.5).
//
// What the renderer does with each element kind:
// - static image, slider, icon: the bitmap at the element's position (a
//   slider moved by its offset, an icon showing its current picture);
// - needle: the needle bitmap with the centre of its pivot pixel on the
//   centre of the rotation-centre pixel, turned clockwise on screen by the
//   drawn angle (bilinear filtering on premultiplied pixels);
// - moving image: the strip behind its window (bitmap + 1) at the element's
//   position; window pixels (1,1,1) show the strip, starting at column
//   strip_x * (strip width - window width) and row strip_y * (strip height -
//   window height), (0,0,0) show nothing, any other colour is drawn as
//   itself;
// - sprite: the texture (bitmap) placed at the element's position, magnified
//   by the texture scale about the texture centre (header offset, gauge
//   pixels), shifted by (shift_x, shift_y) in its own turned frame and
//   turned clockwise on screen by `rotation` degrees about the centre; shown
//   only where the mask (bitmap + 1, at the element's position) is not
//   (0,0,0);
// - string: the text in Liberation Mono, the record's font height taken as
//   the font's cell height (ascent + descent, as a positive font height
//   means on Windows), in the foreground colour on the background colour
//   filling the box (a black background under flag 0x1 is transparent),
//   left aligned, vertically centred and clipped to the box.
// With image flag 0x1, colour (0,0,0) of a bitmap is transparent; such
// pixels count as alpha 0 before any filtering, so edges blend cleanly.
// Hidden elements are skipped; elements whose bitmaps are missing draw
// nothing. A frozen element (failure action 1) draws its last values.
//
// The gauge is drawn in gauge pixels (its background bitmap's size) and
// then scaled to its drawn width (Gauge::drawn_width()) when that differs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/gauge.h"
#include "host/image.h"

namespace gaugehost {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Draws one gauge. Static elements are drawn once and kept as cached layers;
// a refresh redraws only when a drawing value has changed since the previous
// one, and then only the pixels, row by row, that the changed elements
// covered before or cover now.
class GaugeRenderer {
public:
    explicit GaugeRenderer(Gauge& gauge);
    ~GaugeRenderer();
    GaugeRenderer(const GaugeRenderer&) = delete;
    GaugeRenderer& operator=(const GaugeRenderer&) = delete;

    Gauge& gauge() const;

    // Size of the drawn picture: the gauge's drawn width, and the background
    // bitmap's height scaled alike (square when the gauge has no background
    // bitmap yet).
    int width() const;
    int height() const;

    // Brings the picture up to date with the gauge's drawing values. Returns
    // true when the picture changed since the previous refresh.
    bool refresh();

    // The picture as of the latest refresh (refreshed first if there has
    // been none), alpha 0 where nothing is drawn.
    const Image& picture();

    // The part of the picture that the latest refresh changed (drawn
    // pixels); empty when nothing changed, the whole picture after the
    // first refresh or a change of drawn width.
    Rect changed_region() const;
    // The same region as disjoint rectangles that hug the changed pixels
    // (a turning needle changes a thin band, not its bounding box).
    const std::vector<Rect>& changed_parts() const;

    // Refreshes and composites the picture over `target` with its top-left
    // corner at (x, y), clipped to the target.
    void draw(Image& target, int x, int y);

    // Forgets every cached layer (for instance after the module's bitmaps
    // changed); the next refresh draws everything again.
    void invalidate();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Draws the gauge once into a new picture of its drawn size.
Image render_gauge(Gauge& gauge);

// Composites `source` over `target` with the source's top-left corner at
// (x, y), clipped to the target (Porter-Duff "over", straight alpha).
void composite_over(Image& target, const Image& source, int x, int y);
// The same for the part `region` of the source only (source pixels), for
// instance a renderer's changed_region().
void composite_over(Image& target, const Image& source, int x, int y, const Rect& region);

// Resamples a picture to another size with good filtering (area averaging
// when shrinking, bilinear when enlarging; premultiplied alpha).
Image scale_image(const Image& source, int width, int height);

// PNG files (8-bit RGBA). Both throw std::runtime_error with the path and
// the reason on failure.
void write_png(const Image& image, const std::string& path);
Image read_png(const std::string& path);

}  // namespace gaugehost
