// "RPM": tachometer, one needle over a 0 to 4500 RPM scale.
#include "engine.h"

enum : int32_t {
    BMP_RPM_DIAL = 2200,
    BMP_RPM_NEEDLE = 2300,
};

enum : uint32_t {
    TOKEN_ENGINE_RPM = 390,
};

static double rpm_needle_value(Needle* needle);
static double rpm_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord rpm_failures[] = {{2, 2, 0}, FAILURE_END};

static const NonlinearityRow rpm_table[] = {
    {106, 245, 0.0, 0},    {52, 206, 500.0, 0},   {30, 142, 1000.0, 0},  {50, 78, 1500.0, 0},
    {106, 36, 2000.0, 0},  {174, 36, 2500.0, 0},  {230, 77, 3000.0, 0},  {250, 142, 3500.0, 0},
    {228, 206, 4000.0, 0}, {173, 246, 4500.0, 0},
};

namespace {
extern StaticImage rpm_dial;
extern Needle rpm_needle;

ElementHeader* rpm_dial_next[] = {&rpm_needle.header, nullptr};

StaticImage rpm_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_RPM_DIAL,
    .gauge = &rpm_gauge,
    .next = rpm_dial_next,
    .failures = rpm_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle rpm_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_RPM_NEEDLE,
               .position = {140, 141},
               .offset = {56, 9},
               .gauge = &rpm_gauge,
               .failures = rpm_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_ENGINE_RPM},
    .table = rpm_table,
    .row_count = rows_of(rpm_table),
    .rotation_limit = 12,
    .callback = rpm_needle_value,
};

ElementHeader* rpm_root = &rpm_dial.header;

TooltipArg rpm_tooltip_args[] = {tooltip_number(TOKEN_ENGINE_RPM, rpm_tooltip)};

MouseArea rpm_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Tachometer (%1!d! RPM)", rpm_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader rpm_gauge = gauge_header("RPM", 282, &rpm_root, rpm_mouse);

// Engine speed held to the scale's 0 to 4500 RPM.
static double rpm_on_scale(double rpm)
{
    if (rpm > 4500) rpm = 4500;
    if (rpm < 0) rpm = 0;
    return rpm;
}

// Element callback of the RPM needle: called on every update.
static double rpm_needle_value(Needle* needle)
{
    return rpm_on_scale(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double rpm_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return rpm_on_scale(source->value);
}
