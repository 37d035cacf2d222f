// "Airspeed": airspeed indicator in statute miles per hour (0 to 700) with a
// Machmeter disc (0 to .85) turning behind a window right of the centre.
#include "flight.h"

enum : int32_t {
    BMP_AIRSPEED_DIAL = 2000,
    BMP_AIRSPEED_NEEDLE = 3000,
    BMP_AIRSPEED_COVER = 4000,
    BMP_MACH_DISC = 5000,
};

enum : uint32_t {
    TOKEN_AIRSPEED_KNOTS = 61,
    TOKEN_MACH_20480 = 64,  // Mach number x 20480
};

static double airspeed_needle_value(Needle* needle);
static double mach_disc_value(Needle* needle);
static double airspeed_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double mach_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord airspeed_failures[] = {{6, 2, 0}, FAILURE_END};

static const NonlinearityRow mach_disc_table[] = {
    {222, 143, 0.0, 0},
    {163, 220, 0.2, 0},
    {72, 183, 0.4, 0},
    {85, 86, 0.6, 0},
    {182, 73, 0.8, 0},
};

// The 300 mph row stands on the dial's 300 mark: 110 px from the centre
// (141,143) at 45.5 degrees below the horizontal, midway in angle between the
// directions of the 200 mph row (-4.2 degrees) and the 400 mph row (95.1).
static const NonlinearityRow airspeed_table[] = {
    {141, 32, 0.0, 0},   {160, 34, 50.0, 0},  {205, 53, 100.0, 0},
    {251, 135, 200.0, 0}, {218, 221, 300.0, 0}, {131, 254, 400.0, 0},
    {50, 208, 500.0, 0},  {33, 115, 600.0, 0},  {94, 43, 700.0, 0},
};

namespace {
extern StaticImage airspeed_dial;
extern Needle mach_disc;
extern StaticImage airspeed_cover;
extern Needle airspeed_needle;

ElementHeader* airspeed_dial_next[] = {&mach_disc.header, nullptr};
ElementHeader* mach_disc_next[] = {&airspeed_cover.header, nullptr};
ElementHeader* airspeed_cover_next[] = {&airspeed_needle.header, nullptr};

StaticImage airspeed_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_AIRSPEED_DIAL,
    .gauge = &airspeed_gauge,
    .next = airspeed_dial_next,
    .failures = airspeed_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle mach_disc = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_MACH_DISC,
               .position = {141, 143},
               .offset = {80, 80},
               .gauge = &airspeed_gauge,
               .next = mach_disc_next,
               .failures = airspeed_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_MACH_20480},
    .table = mach_disc_table,
    .row_count = rows_of(mach_disc_table),
    .rotation_limit = 12,
    .callback = mach_disc_value,
};

StaticImage airspeed_cover = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_AIRSPEED_COVER,
    .gauge = &airspeed_gauge,
    .next = airspeed_cover_next,
    .failures = airspeed_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle airspeed_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_AIRSPEED_NEEDLE,
               .position = {141, 143},
               .offset = {57, 10},
               .gauge = &airspeed_gauge,
               .failures = airspeed_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_AIRSPEED_KNOTS},
    .table = airspeed_table,
    .row_count = rows_of(airspeed_table),
    .rotation_limit = 12,
    .callback = airspeed_needle_value,
};

ElementHeader* airspeed_root = &airspeed_dial.header;

TooltipArg airspeed_tooltip_args[] = {tooltip_number(TOKEN_AIRSPEED_KNOTS, airspeed_tooltip)};
TooltipArg mach_tooltip_args[] = {tooltip_number(TOKEN_MACH_20480, mach_tooltip)};

MouseArea airspeed_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Airspeed Indicator (%1!d! mph)", airspeed_tooltip_args),
    mouse_parent_corners(176, 103, 217, 184),  // the Mach window
    mouse_tooltip("Machmeter (%1!1.3f! mach)", mach_tooltip_args),
    mouse_end_parent(),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader airspeed_gauge = gauge_header("Airspeed", 283, &airspeed_root, airspeed_mouse);

// Knots to statute miles per hour, held to the dial's 0 to 700.
static double airspeed_mph(double knots)
{
    double v = knots * 1.15078030303;
    if (v > 700) v = 700;
    else if (v < 0) v = 0;
    return v;
}

// Token 64 to the Mach number, held to the disc's 0 to .85.
static double mach_number(double token)
{
    double v = token * 3.2 / 65536;
    if (v > 0.85) v = 0.85;
    else if (v < 0) v = 0;
    return v;
}

// Element callback of the airspeed needle: called on every update.
static double airspeed_needle_value(Needle* needle)
{
    return airspeed_mph(needle->source.value);
}

// Element callback of the Mach disc: called on every update.
static double mach_disc_value(Needle* needle)
{
    return mach_number(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double airspeed_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return airspeed_mph(source->value);
}

// Tooltip callback of the Mach window.
static double mach_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return mach_number(source->value);
}
