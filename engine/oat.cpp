// "OAT": outside air thermometer, -40 to 40 C. The needle pivots low on the
// dial; a cover of the lower dial, drawn after it, hides its pivot and lower
// end.
#include "engine.h"

enum : int32_t {
    BMP_OAT_DIAL = 4100,
    BMP_OAT_COVER = 4200,
    BMP_OAT_NEEDLE = 4300,
};

enum : uint32_t {
    TOKEN_OUTSIDE_AIR = 350,  // degrees C / 256
};

static double oat_needle_value(Needle* needle);
static double oat_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord oat_failures[] = {{2, 2, 0}, FAILURE_END};

static const NonlinearityRow oat_table[] = {
    {44, 104, -40.0, 0}, {89, 73, -20.0, 0}, {142, 62, 0.0, 0}, {197, 74, 20.0, 0}, {240, 103, 40.0, 0},
};

namespace {
extern StaticImage oat_dial;
extern Needle oat_needle;
extern StaticImage oat_cover;

ElementHeader* oat_dial_next[] = {&oat_needle.header, nullptr};
ElementHeader* oat_needle_next[] = {&oat_cover.header, nullptr};

StaticImage oat_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_OAT_DIAL,
    .gauge = &oat_gauge,
    .next = oat_dial_next,
    .failures = oat_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle oat_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_OAT_NEEDLE,
               .position = {142, 201},
               .offset = {0, 4},
               .gauge = &oat_gauge,
               .next = oat_needle_next,
               .failures = oat_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_OUTSIDE_AIR},
    .table = oat_table,
    .row_count = rows_of(oat_table),
    .rotation_limit = 12,
    .callback = oat_needle_value,
};

StaticImage oat_cover = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_OAT_COVER,
    .position = {0, 167},
    .gauge = &oat_gauge,
    .failures = oat_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* oat_root = &oat_dial.header;

TooltipArg oat_tooltip_args[] = {tooltip_number(TOKEN_OUTSIDE_AIR, oat_tooltip)};

MouseArea oat_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Outside Air Temperature (%1!d!\xB0" "C)", oat_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader oat_gauge = gauge_header("OAT", 283, &oat_root, oat_mouse);

// Token 350 to degrees C, held to -50 to 50: 10 degrees beyond the scale's
// ends, so the needle may pass them.
static double outside_air_celsius(double token)
{
    double t = token * 256;
    if (t > 50) t = 50;
    if (t < -50) t = -50;
    return t;
}

// Element callback of the outside air needle: called on every update.
static double oat_needle_value(Needle* needle)
{
    return outside_air_celsius(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double oat_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return outside_air_celsius(source->value);
}
