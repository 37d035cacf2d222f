// Pieces shared by the gauges' drawing routines.
#pragma once

#include "artwork.h"
#include "canvas.h"

namespace art {

// What the outer edge of a bezel or plate mostly stands on: the panel.
constexpr Colour kEdgeMatte{0.2, 0.2, 0.2};

// Centre of a mouse box (the knobs and labels that click areas lie over).
inline void box_centre(const Box& b, double& x, double& y)
{
    x = b.x + b.width / 2.0;
    y = b.y + b.height / 2.0;
}

// A needle bitmap drawn by `draw(cr, px, py)` with the centre of the
// record's pivot pixel at (px, py), flattened for a dark face.
template <typename Draw>
void add_needle(ModuleArt& out, GaugeRecords& g, int index, int width, int height, Draw draw)
{
    Canvas c(width, height);
    Point p = g.pivot(index);
    draw(c.cr(), p.x + 0.5, p.y + 0.5);
    out.add(g.bitmap(index, ELEMENT_NEEDLE), c.flatten(style::face, 0.35), 8, g.name());
}

}  // namespace art
