// Gauge headers of the flight instruments module, in Linkage order.
#pragma once

#include "framework/module.h"

extern GaugeHeader airspeed_gauge;
