// Linkage of the flight instruments module: its gauges in the order panel
// configurations see them.
#include "flight.h"

extern "C" {
GAUGE_EXPORT ModuleLinkage<11> Linkage = {
    {LINKAGE_MODULE_ID, module_init, module_deinit, {0, 0, 0}},
    {
        &airspeed_gauge,
        &climb_gauge,
        &turnbank_gauge,
        &attitude_gauge,
        &compass_gauge,
        &altitude_gauge,
        &directional_gyro_gauge,
        &clock_gauge,
        &icon_engine_quadrant_gauge,
        &icon_throttle_quadrant_gauge,
        &icon_map_gauge,
        nullptr,
    },
};
}

GaugeHeader* const module_first_gauge = &airspeed_gauge;
