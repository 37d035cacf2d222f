// Linkage of the engine instruments module: its gauges in the order panel
// configurations see them.
#include "engine.h"

extern "C" {
GAUGE_EXPORT ModuleLinkage<8> Linkage = {
    {LINKAGE_MODULE_ID, module_init, module_deinit, {0, 0, 0}},
    {
        &manifold_gauge,
        &rpm_gauge,
        &engine_gauge_gauge,
        &fuel_gauge,
        &throttle_quadrant_gauge,
        &fuel_selector_gauge,
        &coolant_temperature_gauge,
        &oat_gauge,
        nullptr,
    },
};
}

GaugeHeader* const module_first_gauge = &manifold_gauge;
