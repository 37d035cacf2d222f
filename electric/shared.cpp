// Callbacks that several gauges of the module share; each gauge names them
// in its records (see electric.h for who uses which).
#include "electric.h"

// The text of tooltips without an insert. Nothing writes it.
static const char empty_text[] = "";

// Element callback of a switch icon: called on every update, after the host
// has looked up the switch's token. A token holding 0 or 1 passes through
// as the picture index; the host clamps anything else to the pictures.
double switch_picture(Icon* icon)
{
    return icon->source.value;
}

// Tooltip callback of a tooltip without an insert: called while the pointer
// rests on its area; the host shows the tooltip text unchanged.
const char* empty_tooltip_text(TOOLTIP_CALLBACK_PARAMS)
{
    (void)source;
    return empty_text;
}

// Gauge callback of a stateless gauge: called with every service message,
// and does nothing with any of them.
void stateless_gauge_callback(GaugeHeader*, int32_t, uint32_t) {}
