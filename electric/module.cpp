// Linkage of the electrical and controls module: its gauges in the order
// panel configurations see them.
#include "electric.h"

extern "C" {
GAUGE_EXPORT ModuleLinkage<6> Linkage = {
    {LINKAGE_MODULE_ID, module_init, module_deinit, {0, 0, 0}},
    {
        &ignition_gauge,
        &gear_warning_light_gauge,
        &flaps_gear_sw_gauge,
        &ammeter_gauge,
        &switch_box_gauge,
        &starter_gauge,
        nullptr,
    },
};
}

GaugeHeader* const module_first_gauge = &ignition_gauge;
