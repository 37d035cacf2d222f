// "Fuel": fuel in the left and the right tank, 0 to 60 gallons each. Each
// needle pivots on the opposite half of the dial and reaches across to its
// scale. The host reports levels as fractions of capacity, so the gauge
// callback keeps the tank capacities, which "Fuel_selector" shares.
#include "engine.h"

enum : int32_t {
    BMP_FUEL_DIAL = 2900,
    BMP_LEFT_TANK_NEEDLE = 3000,
    BMP_RIGHT_TANK_NEEDLE = 3100,
};

enum : uint32_t {
    TOKEN_LEFT_TANK_LEVEL = 291,  // fraction of capacity x 2^23
    TOKEN_LEFT_TANK_CAPACITY = 292,
    TOKEN_RIGHT_TANK_LEVEL = 297,
    TOKEN_RIGHT_TANK_CAPACITY = 298,
};

double left_tank_capacity = 0;
double right_tank_capacity = 0;

static void fuel_capacity_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double left_tank_needle_value(Needle* needle);
static double right_tank_needle_value(Needle* needle);
static double left_tank_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double right_tank_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord fuel_failures[] = {{10, 2, 0}, {20, 2, 0}, FAILURE_END};

static const NonlinearityRow left_tank_table[] = {
    {123, 243, 0.0, 0},  {95, 206, 10.0, 0}, {85, 180, 15.0, 0}, {81, 156, 20.0, 0},
    {79, 142, 25.0, 0},  {81, 124, 30.0, 0}, {84, 108, 35.0, 0}, {88, 94, 40.0, 0},
    {95, 80, 45.0, 0},   {108, 59, 50.0, 0}, {121, 45, 60.0, 0},
};

// Descending: the right needle turns clockwise from full down to empty.
static const NonlinearityRow right_tank_table[] = {
    {161, 45, 60.0, 0},  {173, 59, 50.0, 0},  {186, 80, 45.0, 0},  {194, 94, 40.0, 0},
    {197, 108, 35.0, 0}, {200, 124, 30.0, 0}, {202, 142, 25.0, 0}, {200, 156, 20.0, 0},
    {196, 180, 15.0, 0}, {187, 206, 10.0, 0}, {158, 243, 0.0, 0},
};

// Looked up on service message 6, in this order.
static TokenVar fuel_right_capacity_var = {.token = TOKEN_RIGHT_TANK_CAPACITY};
static TokenVar fuel_left_capacity_var = {.token = TOKEN_LEFT_TANK_CAPACITY};

namespace {
extern StaticImage fuel_dial;
extern Needle left_tank_needle;
extern Needle right_tank_needle;

ElementHeader* fuel_dial_next[] = {&left_tank_needle.header, nullptr};
ElementHeader* left_tank_needle_next[] = {&right_tank_needle.header, nullptr};

StaticImage fuel_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_FUEL_DIAL,
    .gauge = &fuel_gauge,
    .next = fuel_dial_next,
    .failures = fuel_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle left_tank_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_LEFT_TANK_NEEDLE,
               .position = {220, 142},
               .offset = {39, 7},
               .gauge = &fuel_gauge,
               .next = left_tank_needle_next,
               .failures = fuel_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_LEFT_TANK_LEVEL},
    .table = left_tank_table,
    .row_count = rows_of(left_tank_table),
    .rotation_limit = 12,
    .callback = left_tank_needle_value,
};

Needle right_tank_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_RIGHT_TANK_NEEDLE,
               .position = {61, 142},
               .offset = {39, 7},
               .gauge = &fuel_gauge,
               .failures = fuel_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_RIGHT_TANK_LEVEL},
    .table = right_tank_table,
    .row_count = rows_of(right_tank_table),
    .rotation_limit = 12,
    .callback = right_tank_needle_value,
};

ElementHeader* fuel_root = &fuel_dial.header;

TooltipArg left_tank_tooltip_args[] = {tooltip_number(TOKEN_LEFT_TANK_LEVEL, left_tank_tooltip)};
TooltipArg right_tank_tooltip_args[] = {tooltip_number(TOKEN_RIGHT_TANK_LEVEL, right_tank_tooltip)};

MouseArea fuel_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(43, 32, 85, 221),
    mouse_tooltip("Fuel Left Tank Level Indicator (%1!d! gallons)", left_tank_tooltip_args),
    mouse_end_parent(),
    mouse_parent(154, 32, 85, 221),
    mouse_tooltip("Fuel Right Tank Level Indicator (%1!d! gallons)", right_tank_tooltip_args),
    mouse_end_parent(),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader fuel_gauge = gauge_header("Fuel", 283, &fuel_root, fuel_mouse, fuel_capacity_callback);

// Gauge callback: on service message 6, before each update, fetches the two
// tank capacities.
static void fuel_capacity_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&fuel_right_capacity_var);
    lookup_token(&fuel_left_capacity_var);
    right_tank_capacity = fuel_right_capacity_var.value;
    left_tank_capacity = fuel_left_capacity_var.value;
}

// Gallons held to the scale's 0 to 60.
static double gallons_on_scale(double g)
{
    if (g > 60) g = 60;
    if (g < 0) g = 0;
    return g;
}

// Element callback of the left tank needle: called on every update.
static double left_tank_needle_value(Needle* needle)
{
    return gallons_on_scale(needle->source.value / 8388608 * left_tank_capacity);
}

// Element callback of the right tank needle: called on every update.
static double right_tank_needle_value(Needle* needle)
{
    return gallons_on_scale(needle->source.value / 8388608 * right_tank_capacity);
}

// Tooltip callback of the left scale; + 0.5 rounds the truncating "%1!d!".
static double left_tank_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return gallons_on_scale(source->value / 8388608 * left_tank_capacity + 0.5);
}

// Tooltip callback of the right scale; + 0.5 rounds the truncating "%1!d!".
static double right_tank_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return gallons_on_scale(source->value / 8388608 * right_tank_capacity + 0.5);
}
