// "Manifold": manifold pressure in inches of mercury, one needle over a
// 10 to 75 inHg scale.
#include "engine.h"

enum : int32_t {
    BMP_MANIFOLD_DIAL = 2000,
    BMP_MANIFOLD_NEEDLE = 2100,
};

enum : uint32_t {
    TOKEN_MANIFOLD_PRESSURE = 152,  // inHg x 65536 / 64
};

static double manifold_needle_value(Needle* needle);
static double manifold_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord manifold_failures[] = {{2, 2, 0}, FAILURE_END};

static const NonlinearityRow manifold_table[] = {
    {36, 176, 10.0, 0}, {52, 78, 20.0, 0},   {141, 33, 30.0, 0}, {230, 78, 40.0, 0},
    {245, 177, 50.0, 0}, {174, 247, 60.0, 0}, {76, 232, 70.0, 0}, {43, 193, 75.0, 0},
};

namespace {
extern StaticImage manifold_dial;
extern Needle manifold_needle;

ElementHeader* manifold_dial_next[] = {&manifold_needle.header, nullptr};

StaticImage manifold_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_MANIFOLD_DIAL,
    .gauge = &manifold_gauge,
    .next = manifold_dial_next,
    .failures = manifold_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle manifold_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_MANIFOLD_NEEDLE,
               .position = {141, 142},
               .offset = {56, 9},
               .gauge = &manifold_gauge,
               .failures = manifold_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_MANIFOLD_PRESSURE},
    .table = manifold_table,
    .row_count = rows_of(manifold_table),
    .rotation_limit = 12,
    .callback = manifold_needle_value,
};

ElementHeader* manifold_root = &manifold_dial.header;

TooltipArg manifold_tooltip_args[] = {tooltip_number(TOKEN_MANIFOLD_PRESSURE, manifold_tooltip)};

MouseArea manifold_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Manifold Pressure (%1!d! inHg)", manifold_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader manifold_gauge = gauge_header("Manifold", 283, &manifold_root, manifold_mouse);

// Token 152 to inches of mercury, held to the scale's 10 to 75.
static double manifold_inhg(double token)
{
    double p = token / 65536 * 64;
    if (p > 75) p = 75;
    if (p < 10) p = 10;
    return p;
}

// Element callback of the manifold needle: called on every update.
static double manifold_needle_value(Needle* needle)
{
    return manifold_inhg(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double manifold_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return manifold_inhg(source->value);
}
