// "Coolant_temperature": engine coolant thermometer, -50 to 150 C. The needle
// pivots low on the dial; a cover of the lower dial, drawn after it, hides
// its pivot and lower end.
#include "engine.h"

enum : int32_t {
    BMP_COOLANT_DIAL = 3800,
    BMP_COOLANT_COVER = 3900,
    BMP_COOLANT_NEEDLE = 4000,
};

enum : uint32_t {
    TOKEN_COOLANT_RANKINE = 417,
};

static double coolant_needle_value(Needle* needle);
static double coolant_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord coolant_failures[] = {{2, 2, 0}, FAILURE_END};

static const NonlinearityRow coolant_table[] = {
    {44, 104, -50.0, 0}, {89, 73, 0.0, 0}, {142, 62, 50.0, 0}, {197, 74, 100.0, 0}, {240, 103, 150.0, 0},
};

namespace {
extern StaticImage coolant_dial;
extern Needle coolant_needle;
extern StaticImage coolant_cover;

ElementHeader* coolant_dial_next[] = {&coolant_needle.header, nullptr};
ElementHeader* coolant_needle_next[] = {&coolant_cover.header, nullptr};

StaticImage coolant_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_COOLANT_DIAL,
    .gauge = &coolant_temperature_gauge,
    .next = coolant_dial_next,
    .failures = coolant_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle coolant_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_COOLANT_NEEDLE,
               .position = {142, 201},
               .offset = {0, 4},
               .gauge = &coolant_temperature_gauge,
               .next = coolant_needle_next,
               .failures = coolant_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_COOLANT_RANKINE},
    .table = coolant_table,
    .row_count = rows_of(coolant_table),
    .rotation_limit = 12,
    .callback = coolant_needle_value,
};

StaticImage coolant_cover = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_COOLANT_COVER,
    .position = {0, 167},
    .gauge = &coolant_temperature_gauge,
    .failures = coolant_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* coolant_root = &coolant_dial.header;

TooltipArg coolant_tooltip_args[] = {tooltip_number(TOKEN_COOLANT_RANKINE, coolant_tooltip)};

MouseArea coolant_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Coolant Temperature (%1!d!\xB0" "C)", coolant_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader coolant_temperature_gauge =
    gauge_header("Coolant_temperature", 283, &coolant_root, coolant_mouse);

// Rankine to degrees C, held to -70 to 170: 20 degrees beyond the scale's
// ends, so the needle may pass them.
static double coolant_celsius(double rankine)
{
    double c = rankine * 5 / 9 - 273.15;
    if (c > 170) c = 170;
    if (c < -70) c = -70;
    return c;
}

// Element callback of the coolant needle: called on every update.
static double coolant_needle_value(Needle* needle)
{
    return coolant_celsius(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double coolant_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return coolant_celsius(source->value);
}
