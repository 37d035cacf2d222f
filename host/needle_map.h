// Needle directions from a nonlinearity table.
//
// Each row's direction is the one from the rotation centre to the row's
// pixel point (screen degrees, clockwise from the x axis). Consecutive rows
// are joined the clockwise way, so the directions unwrap monotonically
// along the table. A value between two rows interpolates linearly in angle;
// a value beyond an end row extends the nearest end segment at its degrees
// per unit, so dials keep reading right past their last row.
#pragma once

#include <optional>
#include <vector>

#include "framework/gauge.h"

namespace gaugehost {

class NeedleMap {
public:
    NeedleMap() = default;
    NeedleMap(Point centre, const NonlinearityRow* rows, uint32_t count);

    // Unwrapped angle for a value; nullopt for NaN, an empty table or a
    // result too large to be a direction.
    std::optional<double> angle(double value) const;

    // The unwrapped direction of each row.
    const std::vector<double>& row_angles() const { return angles_; }

private:
    std::vector<double> values_;
    std::vector<double> angles_;
};

// Angle in [0, 360).
double normalise_degrees(double a);

// The drawn angle after one update: towards the target by at most `limit`
// degrees, the shorter way round. A limit of 0 jumps to the target.
double step_towards(double drawn, double target, double limit);

}  // namespace gaugehost
