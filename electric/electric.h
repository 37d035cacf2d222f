// Gauge headers of the electrical and controls module, in Linkage order,
// and the callbacks that several of its gauges share.
#pragma once

#include "framework/module.h"

extern GaugeHeader ignition_gauge;
extern GaugeHeader gear_warning_light_gauge;
extern GaugeHeader flaps_gear_sw_gauge;
extern GaugeHeader ammeter_gauge;
extern GaugeHeader switch_box_gauge;
extern GaugeHeader starter_gauge;

// Element callback of a two-position switch whose token holds 0 (off) or 1
// (on): the token value is the picture index ("Switch_box", "Starter").
double switch_picture(Icon* icon);

// Tooltip callback of a tooltip without an insert: an empty text
// ("Gear_warning_light", "Starter").
const char* empty_tooltip_text(TOOLTIP_CALLBACK_PARAMS);

// Gauge callback of the gauges that keep no state: ignores every message
// ("Switch_box", "Starter").
void stateless_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
