// Gauge headers of the flight instruments module, in Linkage order, and the
// small helpers that several of its gauges share.
#pragma once

#include "framework/module.h"

extern GaugeHeader airspeed_gauge;
extern GaugeHeader climb_gauge;
extern GaugeHeader turnbank_gauge;
extern GaugeHeader attitude_gauge;
extern GaugeHeader compass_gauge;
extern GaugeHeader altitude_gauge;
extern GaugeHeader directional_gyro_gauge;
extern GaugeHeader clock_gauge;
extern GaugeHeader icon_engine_quadrant_gauge;
extern GaugeHeader icon_throttle_quadrant_gauge;
extern GaugeHeader icon_map_gauge;

// Parameters of a tooltip callback whose argument has no token.
#define TOOLTIP_CALLBACK_NO_TOKEN uint32_t, uint32_t, uint32_t, uint32_t, TokenVar*, uint32_t

inline void show_element(ElementHeader* element)
{
    element->image_flags &= ~uint32_t(IMAGE_HIDDEN);
}

inline void hide_element(ElementHeader* element)
{
    element->image_flags |= IMAGE_HIDDEN;
}

// Needle pairs: a pointer that turns through a full circle of length `turn`
// (360 degrees, 60 minutes, 12 hours) is drawn by two needles with the same
// bitmap. Copy A maps 0 .. turn and is shown between the quarter points,
// both included; copy B maps -turn/2 .. turn/2 and is shown outside them,
// both included. Each copy's value jumps by a full turn only where that
// copy is hidden, so neither needle ever swings round the long way. At the
// quarter points both are shown, at the same angle. A value that is not a
// number shows copy B only.
//
// Copy A: sets its visibility and returns its value.
inline double needle_pair_full(Needle* copy_a, double v, double turn)
{
    double q1 = turn / 4, q3 = 3 * turn / 4;
    if (v < q1)
        hide_element(&copy_a->header);
    else if (v > q3 || v != v)
        hide_element(&copy_a->header);
    else
        show_element(&copy_a->header);
    return v;
}

// Copy B: sets its visibility and returns its value.
inline double needle_pair_half(Needle* copy_b, double v, double turn)
{
    double q1 = turn / 4, q3 = 3 * turn / 4;
    if (v <= q1 || v != v)
        show_element(&copy_b->header);
    else if (v >= q3)
        show_element(&copy_b->header);
    else
        hide_element(&copy_b->header);
    return v > turn / 2 ? v - turn : v;
}
