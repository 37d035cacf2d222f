// "Switch_box": four toggle switches, from left to right fuel boost pump,
// pitot heat, generator and battery. Each lever follows its host value (up
// on, down off); the boost pump and pitot heat send on or off by the half
// clicked, the generator and battery send one toggle from either half.
#include "electric.h"

enum : int32_t {
    BMP_SWITCH_PANEL = 3600,
    BMP_TOGGLE_LEVER = 3700,  // 3700 down (off), 3701 up (on)
};

enum : uint32_t {
    TOKEN_PITOT_HEAT = 13,  // each 0 off, 1 on
    TOKEN_GENERATOR = 363,
    TOKEN_BATTERY = 364,
    TOKEN_FUEL_BOOST = 367,
};

enum : uint32_t {
    KEY_FUEL_BOOST = 0x102BD,  // value 1 on, 0 off
    KEY_PITOT_HEAT = 0x1021A,  // value 1 on, 0 off
    KEY_GENERATOR_TOGGLE = 0x102C2,
    KEY_BATTERY_TOGGLE = 0x102C1,
};

static const char* on_off_name(TOOLTIP_CALLBACK_PARAMS);
static int32_t fuel_boost_on(Point* position, uint32_t mouse_flags);
static int32_t fuel_boost_off(Point* position, uint32_t mouse_flags);
static int32_t pitot_heat_on(Point* position, uint32_t mouse_flags);
static int32_t pitot_heat_off(Point* position, uint32_t mouse_flags);
static int32_t generator_toggle(Point* position, uint32_t mouse_flags);
static int32_t battery_toggle(Point* position, uint32_t mouse_flags);

static const FailureRecord switch_box_failures[] = {FAILURE_END};

namespace {
extern StaticImage switch_panel;
extern Icon battery_switch;
extern Icon generator_switch;
extern Icon pitot_heat_switch;
extern Icon fuel_boost_switch;

ElementHeader* switch_panel_next[] = {&battery_switch.header, nullptr};
ElementHeader* battery_switch_next[] = {&generator_switch.header, nullptr};
ElementHeader* generator_switch_next[] = {&pitot_heat_switch.header, nullptr};
ElementHeader* pitot_heat_switch_next[] = {&fuel_boost_switch.header, nullptr};

StaticImage switch_panel = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_SWITCH_PANEL,
    .gauge = &switch_box_gauge,
    .next = switch_panel_next,
    .failures = switch_box_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon battery_switch = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_TOGGLE_LEVER,
               .position = {164, 70},
               .gauge = &switch_box_gauge,
               .next = battery_switch_next,
               .failures = switch_box_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_BATTERY},
    .picture_count = 2,
    .callback = switch_picture,
};

Icon generator_switch = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_TOGGLE_LEVER,
               .position = {117, 70},
               .gauge = &switch_box_gauge,
               .next = generator_switch_next,
               .failures = switch_box_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_GENERATOR},
    .picture_count = 2,
    .callback = switch_picture,
};

Icon pitot_heat_switch = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_TOGGLE_LEVER,
               .position = {71, 70},
               .gauge = &switch_box_gauge,
               .next = pitot_heat_switch_next,
               .failures = switch_box_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_PITOT_HEAT},
    .picture_count = 2,
    .callback = switch_picture,
};

Icon fuel_boost_switch = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_TOGGLE_LEVER,
               .position = {24, 70},
               .gauge = &switch_box_gauge,
               .failures = switch_box_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_FUEL_BOOST},
    .picture_count = 2,
    .callback = switch_picture,
};

ElementHeader* switch_box_root = &switch_panel.header;

TooltipArg fuel_boost_tooltip_args[] = {tooltip_text(TOKEN_FUEL_BOOST, on_off_name)};
TooltipArg pitot_heat_tooltip_args[] = {tooltip_text(TOKEN_PITOT_HEAT, on_off_name)};
TooltipArg generator_tooltip_args[] = {tooltip_text(TOKEN_GENERATOR, on_off_name)};
TooltipArg battery_tooltip_args[] = {tooltip_text(TOKEN_BATTERY, on_off_name)};

// Each tooltip area covers its switch; the switch's click areas split it at
// row 117 into an upper half (on) and a lower half (off). The battery halves
// repeat while held.
MouseArea switch_box_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(24, 70, 16, 94),
    mouse_tooltip("Fuel Boost Pump Switch (%1!s!)", fuel_boost_tooltip_args),
    mouse_end_parent(),
    mouse_parent(71, 70, 16, 94),
    mouse_tooltip("Pitot Heat Switch (%1!s!)", pitot_heat_tooltip_args),
    mouse_end_parent(),
    mouse_parent(117, 70, 16, 94),
    mouse_tooltip("Generator Switch (%1!s!)", generator_tooltip_args),
    mouse_end_parent(),
    mouse_parent(164, 70, 16, 94),
    mouse_tooltip("Battery Switch (%1!s!)", battery_tooltip_args),
    mouse_end_parent(),
    mouse_click(24, 70, 16, 47, CURSOR_UP, MOUSE_LEFT_CLICK, fuel_boost_on),
    mouse_click(24, 117, 16, 47, CURSOR_DOWN, MOUSE_LEFT_CLICK, fuel_boost_off),
    mouse_click(71, 70, 16, 47, CURSOR_UP, MOUSE_LEFT_CLICK, pitot_heat_on),
    mouse_click(71, 117, 16, 47, CURSOR_DOWN, MOUSE_LEFT_CLICK, pitot_heat_off),
    mouse_click(117, 70, 16, 47, CURSOR_UP, MOUSE_LEFT_CLICK, generator_toggle),
    mouse_click(117, 117, 16, 47, CURSOR_DOWN, MOUSE_LEFT_CLICK, generator_toggle),
    mouse_click(164, 70, 16, 47, CURSOR_UP, MOUSE_CLICK_REPEAT, battery_toggle),
    mouse_click(164, 117, 16, 47, CURSOR_DOWN, MOUSE_CLICK_REPEAT, battery_toggle),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader switch_box_gauge =
    gauge_header("Switch_box", 206, &switch_box_root, switch_box_mouse, stateless_gauge_callback);

// Tooltip callback of the four switches: called while the pointer rests on
// one. Only 0 and -0 read as off; every other value, NaN too, reads as on.
static const char* on_off_name(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value == 0.0 ? "Off" : "On";
}

// Mouse callbacks of the switch halves: called on a click there, and the
// battery's again on every repeat while the button stays down. None looks
// at what the switch shows.
static int32_t fuel_boost_on(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_BOOST, 1);
    return 1;
}

static int32_t fuel_boost_off(Point*, uint32_t)
{
    trigger_key_event(KEY_FUEL_BOOST, 0);
    return 1;
}

static int32_t pitot_heat_on(Point*, uint32_t)
{
    trigger_key_event(KEY_PITOT_HEAT, 1);
    return 1;
}

static int32_t pitot_heat_off(Point*, uint32_t)
{
    trigger_key_event(KEY_PITOT_HEAT, 0);
    return 1;
}

static int32_t generator_toggle(Point*, uint32_t)
{
    trigger_key_event(KEY_GENERATOR_TOGGLE, 0);
    return 1;
}

static int32_t battery_toggle(Point*, uint32_t)
{
    trigger_key_event(KEY_BATTERY_TOGGLE, 0);
    return 1;
}
