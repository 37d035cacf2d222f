// Drawing the render fixture module's gauges in the tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/image.h"

namespace render_test {

// The folder holding RenderFixture.so and its bitmaps (written on first use).
const std::string& fixtures_folder();

// Loads the fixture module fresh, runs probe steps on the gauge and draws it.
gaugehost::Image draw(const std::string& gauge, const std::vector<std::string>& steps);
// The same for a gauge of a module in another folder.
gaugehost::Image draw_in(const std::string& folder, const std::string& module, const std::string& gauge,
                         const std::vector<std::string>& steps);

struct Spot {
    int count = 0;
    double x = 0, y = 0;  // centroid of the pixel centres
};

// Centroid of the pixels for which `match` holds, inside [x0,x1)x[y0,y1)
// (the whole picture by default).
Spot find(const gaugehost::Image& image, const std::function<bool(gaugehost::Rgba)>& match, int x0 = 0,
          int y0 = 0, int x1 = -1, int y1 = -1);

// Screen degrees, clockwise from the x axis, in [0, 360), from (cx, cy) to (x, y).
double direction(double cx, double cy, double x, double y);
// Smallest difference between two directions, degrees.
double angle_between(double a, double b);

bool reddish(gaugehost::Rgba c);
bool bluish(gaugehost::Rgba c);

}  // namespace render_test
