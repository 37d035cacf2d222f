// "Engine_gauge": three-in-one engine dial. Oil temperature (-50 to 150 C) in
// the window at the top, oil pressure (0 to 200 PSI) lower left, fuel
// pressure (0 to 20 PSI) lower right; the face plate is drawn between the
// oil temperature needle and the two pressure needles.
#include "engine.h"

enum : int32_t {
    BMP_OIL_TEMPERATURE_SCALE = 2400,
    BMP_ENGINE_FACE_PLATE = 2500,
    BMP_OIL_TEMPERATURE_NEEDLE = 2600,
    BMP_OIL_PRESSURE_NEEDLE = 2700,
    BMP_FUEL_PRESSURE_NEEDLE = 2800,
};

enum : uint32_t {
    TOKEN_OIL_TEMPERATURE = 147,  // degrees C x 16384 / 140
    TOKEN_OIL_PRESSURE = 148,     // PSI x 16384 / 55
    TOKEN_FUEL_PRESSURE = 425,    // pounds per square foot
};

static double oil_temperature_needle_value(Needle* needle);
static double oil_pressure_needle_value(Needle* needle);
static double fuel_pressure_needle_value(Needle* needle);
static double oil_temperature_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double oil_pressure_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double fuel_pressure_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord engine_gauge_failures[] = {{2, 2, 0}, FAILURE_END};

static const NonlinearityRow oil_temperature_table[] = {
    {68, 80, -50.0, 0}, {101, 54, 0.0, 0}, {143, 45, 50.0, 0}, {182, 55, 100.0, 0}, {215, 82, 150.0, 0},
};

static const NonlinearityRow oil_pressure_table[] = {
    {116, 243, 0.0, 0},
    {62, 201, 100.0, 0},
    {89, 137, 200.0, 0},
};

// Descending: the needle turns clockwise from 20 PSI down to 0.
static const NonlinearityRow fuel_pressure_table[] = {
    {206, 147, 20.0, 0},
    {218, 208, 10.0, 0},
    {167, 243, 0.0, 0},
};

namespace {
extern StaticImage oil_temperature_scale;
extern Needle oil_temperature_needle;
extern StaticImage engine_face_plate;
extern Needle oil_pressure_needle;
extern Needle fuel_pressure_needle;

ElementHeader* oil_temperature_scale_next[] = {&oil_temperature_needle.header, nullptr};
ElementHeader* oil_temperature_needle_next[] = {&engine_face_plate.header, nullptr};
ElementHeader* engine_face_plate_next[] = {&oil_pressure_needle.header, nullptr};
ElementHeader* oil_pressure_needle_next[] = {&fuel_pressure_needle.header, nullptr};

StaticImage oil_temperature_scale = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_OIL_TEMPERATURE_SCALE,
    .gauge = &engine_gauge_gauge,
    .next = oil_temperature_scale_next,
    .failures = engine_gauge_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle oil_temperature_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_OIL_TEMPERATURE_NEEDLE,
               .position = {141, 142},
               .offset = {16, 6},
               .gauge = &engine_gauge_gauge,
               .next = oil_temperature_needle_next,
               .failures = engine_gauge_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_OIL_TEMPERATURE},
    .table = oil_temperature_table,
    .row_count = rows_of(oil_temperature_table),
    .rotation_limit = 12,
    .callback = oil_temperature_needle_value,
};

StaticImage engine_face_plate = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ENGINE_FACE_PLATE,
    .gauge = &engine_gauge_gauge,
    .next = engine_face_plate_next,
    .failures = engine_gauge_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle oil_pressure_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_OIL_PRESSURE_NEEDLE,
               .position = {116, 187},
               .offset = {11, 6},
               .gauge = &engine_gauge_gauge,
               .next = oil_pressure_needle_next,
               .failures = engine_gauge_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_OIL_PRESSURE},
    .table = oil_pressure_table,
    .row_count = rows_of(oil_pressure_table),
    .rotation_limit = 12,
    .callback = oil_pressure_needle_value,
};

Needle fuel_pressure_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_FUEL_PRESSURE_NEEDLE,
               .position = {167, 187},
               .offset = {11, 6},
               .gauge = &engine_gauge_gauge,
               .failures = engine_gauge_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_FUEL_PRESSURE},
    .table = fuel_pressure_table,
    .row_count = rows_of(fuel_pressure_table),
    .rotation_limit = 12,
    .callback = fuel_pressure_needle_value,
};

ElementHeader* engine_gauge_root = &oil_temperature_scale.header;

TooltipArg oil_temperature_tooltip_args[] = {tooltip_number(TOKEN_OIL_TEMPERATURE, oil_temperature_tooltip)};
TooltipArg oil_pressure_tooltip_args[] = {tooltip_number(TOKEN_OIL_PRESSURE, oil_pressure_tooltip)};
TooltipArg fuel_pressure_tooltip_args[] = {tooltip_number(TOKEN_FUEL_PRESSURE, fuel_pressure_tooltip)};

// The upper area meets the two lower ones along y 110.
MouseArea engine_gauge_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent_corners(41, 23, 242, 110),
    mouse_tooltip("Oil Temperature (%1!d!\xB0" "C)", oil_temperature_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(41, 110, 128, 263),
    mouse_tooltip("Oil Pressure (%1!d! PSI)", oil_pressure_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(156, 110, 242, 263),
    mouse_tooltip("Fuel Pressure (%1!d! PSI)", fuel_pressure_tooltip_args),
    mouse_end_parent(),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader engine_gauge_gauge = gauge_header("Engine_gauge", 283, &engine_gauge_root, engine_gauge_mouse);

// Token 147 to degrees C, held to -50 to 150.
static double oil_temperature_celsius(double token)
{
    double t = token / 16384 * 140;
    if (t > 150) t = 150;
    if (t < -50) t = -50;
    return t;
}

// Token 148 to PSI, held to 0 to 225: the needle may pass the 200 mark.
static double oil_pressure_psi(double token)
{
    double p = token / 16384 * 55;
    if (p > 225) p = 225;
    if (p < 0) p = 0;
    return p;
}

// Token 425 (pounds per square foot) to PSI, held to 0 to 27: the needle may
// pass the 20 mark.
static double fuel_pressure_psi(double token)
{
    double p = token / 144;
    if (p > 27) p = 27;
    if (p < 0) p = 0;
    return p;
}

// Element callback of the oil temperature needle: called on every update.
static double oil_temperature_needle_value(Needle* needle)
{
    return oil_temperature_celsius(needle->source.value);
}

// Element callback of the oil pressure needle: called on every update.
static double oil_pressure_needle_value(Needle* needle)
{
    return oil_pressure_psi(needle->source.value);
}

// Element callback of the fuel pressure needle: called on every update.
static double fuel_pressure_needle_value(Needle* needle)
{
    return fuel_pressure_psi(needle->source.value);
}

// Tooltip callback of the oil temperature area.
static double oil_temperature_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return oil_temperature_celsius(source->value);
}

// Tooltip callback of the oil pressure area.
static double oil_pressure_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return oil_pressure_psi(source->value);
}

// Tooltip callback of the fuel pressure area.
static double fuel_pressure_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return fuel_pressure_psi(source->value);
}
