// "Fuel_selector": fuel tank selector valve. Five sectors (off, left tank,
// right tank, reserve, auxiliary); a click on a sector sets the host's
// selector and turns the handle there, and the handle follows the host's
// selector value. The reserve is drawn from the left tank: the host hears
// "left tank" and only this gauge knows the handle stands on the reserve.
#include "framework/convert.h"

#include "engine.h"

enum : int32_t {
    BMP_SELECTOR_DIAL = 3600,
    BMP_SELECTOR_HANDLE = 3700,  // 3700 to 3704: the dial with the handle on each position
};

enum : uint32_t {
    TOKEN_LEFT_TANK_LEVEL = 291,  // fraction of capacity x 2^23
    TOKEN_LEFT_TANK_CAPACITY = 292,
    TOKEN_AUXILIARY_TANK_LEVEL = 293,
    TOKEN_AUXILIARY_TANK_CAPACITY = 294,
    TOKEN_RIGHT_TANK_LEVEL = 297,
    TOKEN_RIGHT_TANK_CAPACITY = 298,
    TOKEN_FUEL_SELECTOR = 422,  // 32-bit integer in the value field's low half
};

enum : uint32_t {
    KEY_FUEL_SELECTOR_SET = 0x101AA,
};

// The host's selector values.
enum : uint32_t {
    HOST_SELECTOR_OFF = 0,
    HOST_SELECTOR_ALL = 1,  // both tanks: shown as the left tank
    HOST_SELECTOR_LEFT = 2,
    HOST_SELECTOR_RIGHT = 3,
    HOST_SELECTOR_AUXILIARY = 9,
};

// Handle positions, which are also the icon's picture numbers.
enum : int32_t {
    SELECTOR_OFF = 0,
    SELECTOR_LEFT = 1,
    SELECTOR_RIGHT = 2,
    SELECTOR_RESERVE = 3,
    SELECTOR_AUXILIARY = 4,
};

// The reserve tooltip shows at most this many gallons.
static const double RESERVE_GALLONS = 20;

static int32_t selector_position = SELECTOR_OFF;
static double auxiliary_tank_capacity = 0;
static double reserve_tank_capacity = 0;

// Looked up on service message 6, in this order; the reserve has its own
// record for the left tank's capacity.
static TokenVar selector_right_capacity_var = {.token = TOKEN_RIGHT_TANK_CAPACITY};
static TokenVar selector_left_capacity_var = {.token = TOKEN_LEFT_TANK_CAPACITY};
static TokenVar selector_auxiliary_capacity_var = {.token = TOKEN_AUXILIARY_TANK_CAPACITY};
static TokenVar selector_reserve_capacity_var = {.token = TOKEN_LEFT_TANK_CAPACITY};

static void selector_capacity_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double selector_icon_value(Icon* icon);
static double off_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double selector_left_tank_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double selector_right_tank_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double reserve_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double auxiliary_tooltip(TOOLTIP_CALLBACK_PARAMS);
static int32_t off_click(Point* position, uint32_t mouse_flags);
static int32_t left_tank_click(Point* position, uint32_t mouse_flags);
static int32_t right_tank_click(Point* position, uint32_t mouse_flags);
static int32_t reserve_click(Point* position, uint32_t mouse_flags);
static int32_t auxiliary_click(Point* position, uint32_t mouse_flags);

static const FailureRecord selector_failures[] = {FAILURE_END};

namespace {
extern StaticImage selector_dial;
extern Icon selector_handle;

ElementHeader* selector_dial_next[] = {&selector_handle.header, nullptr};

StaticImage selector_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_SELECTOR_DIAL,
    .gauge = &fuel_selector_gauge,
    .next = selector_dial_next,
    .failures = selector_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon selector_handle = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_SELECTOR_HANDLE,
               .gauge = &fuel_selector_gauge,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_FUEL_SELECTOR},
    .picture_count = 5,
    .callback = selector_icon_value,
};

ElementHeader* selector_root = &selector_dial.header;

TooltipArg off_tooltip_args[] = {tooltip_number(0, off_tooltip)};
TooltipArg left_tank_tooltip_args[] = {tooltip_number(TOKEN_LEFT_TANK_LEVEL, selector_left_tank_tooltip)};
TooltipArg right_tank_tooltip_args[] = {tooltip_number(TOKEN_RIGHT_TANK_LEVEL, selector_right_tank_tooltip)};
TooltipArg reserve_tooltip_args[] = {tooltip_number(TOKEN_LEFT_TANK_LEVEL, reserve_tooltip)};
TooltipArg auxiliary_tooltip_args[] = {tooltip_number(TOKEN_AUXILIARY_TANK_LEVEL, auxiliary_tooltip)};

// The right tank and reserve sectors meet at x 132.
MouseArea selector_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent_corners(92, 174, 171, 228),
    mouse_tooltip("Fuel OFF", off_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(33, 115, 95, 171),
    mouse_tooltip("Left tank (%1!d! gallons)", left_tank_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(52, 38, 132, 103),
    mouse_tooltip("Right tank (%1!d! gallons)", right_tank_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(132, 38, 201, 101),
    mouse_tooltip("Reserve tank (%1!d! gallons)", reserve_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(159, 116, 230, 173),
    mouse_tooltip("Auxiliary tank", auxiliary_tooltip_args),
    mouse_end_parent(),
    mouse_click_corners(92, 174, 171, 228, CURSOR_HAND, MOUSE_LEFT_CLICK, off_click),
    mouse_click_corners(33, 115, 95, 171, CURSOR_HAND, MOUSE_LEFT_CLICK, left_tank_click),
    mouse_click_corners(52, 38, 132, 103, CURSOR_HAND, MOUSE_LEFT_CLICK, right_tank_click),
    mouse_click_corners(132, 38, 201, 101, CURSOR_HAND, MOUSE_LEFT_CLICK, reserve_click),
    mouse_click_corners(159, 116, 230, 173, CURSOR_HAND, MOUSE_LEFT_CLICK, auxiliary_click),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader fuel_selector_gauge =
    gauge_header("Fuel_selector", 264, &selector_root, selector_mouse, selector_capacity_callback);

// Gauge callback: on service message 6, before each update, fetches the tank
// capacities (the left and right ones shared with "Fuel").
static void selector_capacity_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&selector_right_capacity_var);
    lookup_token(&selector_left_capacity_var);
    lookup_token(&selector_auxiliary_capacity_var);
    lookup_token(&selector_reserve_capacity_var);
    right_tank_capacity = selector_right_capacity_var.value;
    left_tank_capacity = selector_left_capacity_var.value;
    auxiliary_tank_capacity = selector_auxiliary_capacity_var.value;
    reserve_tank_capacity = selector_reserve_capacity_var.value;
}

// Element callback of the handle: called on every update. Brings the handle
// in line with the host's selector; while the host reports the left tank
// (or both), a handle on the reserve stays there. Values the handle has no
// position for leave it where it is.
static double selector_icon_value(Icon* icon)
{
    switch (token_u32(&icon->source)) {
    case HOST_SELECTOR_OFF:
        selector_position = SELECTOR_OFF;
        break;
    case HOST_SELECTOR_ALL:
    case HOST_SELECTOR_LEFT:
        if (selector_position != SELECTOR_RESERVE) selector_position = SELECTOR_LEFT;
        break;
    case HOST_SELECTOR_RIGHT:
        selector_position = SELECTOR_RIGHT;
        break;
    case HOST_SELECTOR_AUXILIARY:
        selector_position = SELECTOR_AUXILIARY;
        break;
    default:
        break;
    }
    return selector_position;
}

// Tooltip callback of the off sector ("Fuel OFF" shows no value).
static double off_tooltip(uint32_t, uint32_t, uint32_t, uint32_t, TokenVar*, uint32_t)
{
    return 0;
}

// Tooltip callbacks of the tank sectors: gallons, + 0.5 to round the
// truncating "%1!d!".
static double selector_left_tank_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value / 8388608 * left_tank_capacity + 0.5;
}

static double selector_right_tank_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value / 8388608 * right_tank_capacity + 0.5;
}

// The reserve shows the left tank's fuel up to its 20 gallons; no lower bound.
static double reserve_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    double g = source->value / 8388608 * reserve_tank_capacity + 0.5;
    if (g > RESERVE_GALLONS) g = RESERVE_GALLONS;
    return g;
}

// "Auxiliary tank" shows no value.
static double auxiliary_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value / 8388608 * auxiliary_tank_capacity + 0.5;
}

// Mouse callbacks of the five sectors: called on a left click. Each tells
// the host, then turns the handle.
static int32_t off_click(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_SELECTOR_SET, HOST_SELECTOR_OFF);
    selector_position = SELECTOR_OFF;
    return 1;
}

static int32_t left_tank_click(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_SELECTOR_SET, HOST_SELECTOR_LEFT);
    selector_position = SELECTOR_LEFT;
    return 1;
}

static int32_t right_tank_click(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_SELECTOR_SET, HOST_SELECTOR_RIGHT);
    selector_position = SELECTOR_RIGHT;
    return 1;
}

static int32_t reserve_click(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_SELECTOR_SET, HOST_SELECTOR_LEFT);
    selector_position = SELECTOR_RESERVE;
    return 1;
}

static int32_t auxiliary_click(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_SELECTOR_SET, HOST_SELECTOR_AUXILIARY);
    selector_position = SELECTOR_AUXILIARY;
    return 1;
}
