// "Climb": vertical speed indicator in feet per minute, 6000 down to 6000
// up, with 0 at the left of the dial.
#include "flight.h"

enum : int32_t {
    BMP_CLIMB_DIAL = 6000,
    BMP_CLIMB_NEEDLE = 7000,
};

enum : uint32_t {
    TOKEN_VERTICAL_SPEED_256 = 65,  // metres per second x 256, positive up
};

enum : uint32_t { HELP_CLIMB = 43894 };

static double vertical_speed_needle_value(Needle* needle);
static double vertical_speed_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord climb_failures[] = {{19, 2, 0}, FAILURE_END};

// Climbing turns the needle clockwise over the upper half from 0 at the
// left, descending anticlockwise over the lower half.
// clang-format off
static const NonlinearityRow vertical_speed_table[] = {
    {246, 163, -6000.0, 0},
    {232, 198, -5000.0, 0},
    {206, 225, -4000.0, 0},
    {167, 244, -3000.0, 0},
    {120, 244, -2000.0, 0},
    {65, 213, -1000.0, 0},
    {44, 184, -500.0, 0},
    {37, 142, 0.0, 0},
    {44, 104, 500.0, 0},
    {64, 72, 1000.0, 0},
    {120, 39, 2000.0, 0},
    {168, 39, 3000.0, 0},
    {209, 59, 4000.0, 0},
    {233, 88, 5000.0, 0},
    {246, 124, 6000.0, 0},
};
// clang-format on

namespace {
extern StaticImage climb_dial;
extern Needle vertical_speed_needle;

ElementHeader* climb_dial_next[] = {&vertical_speed_needle.header, nullptr};

StaticImage climb_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_CLIMB_DIAL,
    .gauge = &climb_gauge,
    .next = climb_dial_next,
    .failures = climb_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle vertical_speed_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_CLIMB_NEEDLE,
               .position = {142, 142},
               .offset = {29, 6},
               .gauge = &climb_gauge,
               .failures = climb_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_VERTICAL_SPEED_256},
    .table = vertical_speed_table,
    .row_count = rows_of(vertical_speed_table),
    .rotation_limit = 12,
    .callback = vertical_speed_needle_value,
};

ElementHeader* climb_root = &climb_dial.header;

TooltipArg climb_tooltip_args[] = {tooltip_number(TOKEN_VERTICAL_SPEED_256, vertical_speed_tooltip)};

MouseArea climb_mouse[] = {
    mouse_parent(0, 0, 0, 0, HELP_CLIMB),
    mouse_tooltip("Vertical Speed Indicator (%1!d! ft/min)", climb_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader climb_gauge = gauge_header("Climb", 285, &climb_root, climb_mouse);

// Token 65 to feet per minute, held to the dial's -6000 to 6000.
static double feet_per_minute(double token)
{
    double v = token / 256 / 0.305 * 60;
    if (v > 6000)
        v = 6000;
    else if (v < -6000)
        v = -6000;
    return v;
}

// Element callback of the needle: called on every update.
static double vertical_speed_needle_value(Needle* needle)
{
    return feet_per_minute(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double vertical_speed_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return feet_per_minute(source->value);
}
