// Gauge headers of the engine instruments module, in Linkage order, and the
// module variables that several of its gauges share.
#pragma once

#include "framework/module.h"

extern GaugeHeader manifold_gauge;
extern GaugeHeader rpm_gauge;
extern GaugeHeader engine_gauge_gauge;
extern GaugeHeader fuel_gauge;
extern GaugeHeader throttle_quadrant_gauge;
extern GaugeHeader fuel_selector_gauge;
extern GaugeHeader coolant_temperature_gauge;
extern GaugeHeader oat_gauge;

// Tank capacities in gallons (tokens 292 and 298), 0 until the first service
// message 6 of "Fuel" or "Fuel_selector"; both gauge callbacks refresh them,
// the fuel needles and both gauges' tank tooltips read them. Defined in
// fuel.cpp.
extern double left_tank_capacity;
extern double right_tank_capacity;
