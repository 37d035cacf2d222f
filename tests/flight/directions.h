// Directions as the host draws needles: screen degrees, clockwise from the
// x axis, in 0 .. 360.
#pragma once

#include <cmath>

namespace flight_test {

// Direction from a needle's rotation centre to a pixel point.
inline double direction(double cx, double cy, double x, double y)
{
    double a = std::atan2(y - cy, x - cx) * 180 / M_PI;
    return a < 0 ? a + 360 : a;
}

// Difference of two directions, -180 .. 180.
inline double turn_between(double from, double to)
{
    double d = std::fmod(to - from, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}

}  // namespace flight_test
