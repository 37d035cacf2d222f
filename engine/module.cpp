// Linkage of the engine module. Its gauges are not written yet: the list is
// empty, so the host finds the module but no gauge in it.
#include "framework/module.h"

extern "C" {
GAUGE_EXPORT ModuleLinkage<0> Linkage = {
    {LINKAGE_MODULE_ID, module_init, module_deinit, {0, 0, 0}},
    {nullptr},
};
}

GaugeHeader* const module_first_gauge = nullptr;
