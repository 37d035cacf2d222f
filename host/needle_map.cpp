#include "needle_map.h"

#include <cmath>

namespace gaugehost {

double normalise_degrees(double a)
{
    double r = std::fmod(a, 360.0);
    if (r < 0) r += 360.0;
    if (r >= 360.0) r = 0.0;
    return r;
}

NeedleMap::NeedleMap(Point centre, const NonlinearityRow* rows, uint32_t count)
{
    double previous = 0;
    for (uint32_t i = 0; i < count; ++i) {
        double dx = rows[i].x - centre.x;
        double dy = rows[i].y - centre.y;
        double a = std::atan2(dy, dx) * 180.0 / M_PI;
        if (i > 0) {
            // Clockwise from the previous row: add the turn in [0, 360).
            a = previous + normalise_degrees(a - previous);
        }
        values_.push_back(rows[i].value);
        angles_.push_back(a);
        previous = a;
    }
}

std::optional<double> NeedleMap::angle(double value) const
{
    size_t n = values_.size();
    if (n == 0 || std::isnan(value)) return std::nullopt;
    if (n == 1) return angles_[0];

    // The segment that encloses the value, or the end segment nearest to it.
    // Tables run in ascending or descending value order.
    bool ascending = values_[n - 1] >= values_[0];
    auto before = [&](double a, double b) { return ascending ? a < b : a > b; };
    size_t seg = 0;
    if (!before(value, values_[0])) {
        seg = n - 2;
        for (size_t i = 0; i + 1 < n; ++i) {
            if (!before(values_[i + 1], value)) {
                seg = i;
                break;
            }
        }
    }
    double v0 = values_[seg], v1 = values_[seg + 1];
    double a0 = angles_[seg], a1 = angles_[seg + 1];
    if (value == v0) return a0;
    if (value == v1) return a1;
    if (v1 == v0) return a0;
    double a = a0 + (value - v0) / (v1 - v0) * (a1 - a0);
    // Far beyond the table the extension is no longer a direction.
    if (!std::isfinite(a) || std::fabs(a) > 1e12) return std::nullopt;
    return a;
}

double step_towards(double drawn, double target, double limit)
{
    double diff = normalise_degrees(target - drawn);
    if (diff > 180.0) diff -= 360.0;
    if (limit <= 0 || std::fabs(diff) <= limit) return target;
    return drawn + (diff > 0 ? limit : -limit);
}

}  // namespace gaugehost
