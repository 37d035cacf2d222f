// "Flaps_gear_sw": the flap switch (up, off, down) on the left and the
// landing gear lever (up, down) on the right. The gear lever follows the
// host's gear lever; the flap lever shows which way the flaps moved since
// its previous update and rests at OFF while they stand still.
#include "electric.h"
#include "framework/convert.h"

enum : int32_t {
    BMP_FLAPS_GEAR_PLATES = 3000,
    BMP_GEAR_LEVER = 3100,  // 3100 up, 3101 down
    BMP_FLAP_LEVER = 3200,  // 3200 down, 3201 up, 3202 at OFF
};

enum : uint32_t {
    TOKEN_LEFT_FLAP = 329,  // extension, 0 up to 16384 fully down
    TOKEN_RIGHT_FLAP = 330,
    TOKEN_GEAR_LEVER = 331,  // down while above 0
    TOKEN_NOSE_GEAR = 332,   // leg extension, 0 up to 16384 fully down
    TOKEN_LEFT_GEAR = 333,
    TOKEN_RIGHT_GEAR = 334,
};

enum : uint32_t {
    KEY_FLAPS_UP = 0x100DF,
    KEY_FLAPS_DOWN = 0x100DE,
    KEY_GEAR_UP = 0x1021F,
    KEY_GEAR_DOWN = 0x10220,
};

// Picture indexes of the flap lever.
enum : int32_t {
    FLAP_LEVER_DOWN = 0,
    FLAP_LEVER_UP = 1,
    FLAP_LEVER_OFF = 2,
};

static void flaps_gear_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double gear_lever_picture(Icon* icon);
static double flap_lever_picture(Icon* icon);
static double percent_down(TOOLTIP_CALLBACK_PARAMS);
static int32_t send_gear_up(Point* position, uint32_t mouse_flags);
static int32_t send_gear_down(Point* position, uint32_t mouse_flags);
static int32_t send_flaps_up(Point* position, uint32_t mouse_flags);
static int32_t send_flaps_down(Point* position, uint32_t mouse_flags);

static const FailureRecord flaps_gear_failures[] = {FAILURE_END};

// As read at the latest service message 6: 1 while the gear lever is down,
// and the left flap's whole extension.
static int32_t gear_lever_down = 0;
static int32_t flap_position = 0;
// The flap position that the flap lever saw on its previous update.
static int32_t previous_flap_position = 0;

static TokenVar gear_lever = {.token = TOKEN_GEAR_LEVER};
static TokenVar left_flap = {.token = TOKEN_LEFT_FLAP};

namespace {
extern StaticImage flaps_gear_plates;
extern Icon gear_lever_icon;
extern Icon flap_lever_icon;

ElementHeader* flaps_gear_plates_next[] = {&gear_lever_icon.header, nullptr};
ElementHeader* gear_lever_icon_next[] = {&flap_lever_icon.header, nullptr};

StaticImage flaps_gear_plates = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_FLAPS_GEAR_PLATES,
    .gauge = &flaps_gear_sw_gauge,
    .next = flaps_gear_plates_next,
    .failures = flaps_gear_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon gear_lever_icon = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_GEAR_LEVER,
               .position = {101, 54},
               .gauge = &flaps_gear_sw_gauge,
               .next = gear_lever_icon_next,
               .failures = flaps_gear_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .picture_count = 2,
    .callback = gear_lever_picture,
};

Icon flap_lever_icon = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_FLAP_LEVER,
               .position = {4, 54},
               .gauge = &flaps_gear_sw_gauge,
               .failures = flaps_gear_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .picture_count = 3,
    .callback = flap_lever_picture,
};

ElementHeader* flaps_gear_root = &flaps_gear_plates.header;

TooltipArg flaps_tooltip_args[] = {
    tooltip_number(TOKEN_LEFT_FLAP, percent_down),
    tooltip_number(TOKEN_RIGHT_FLAP, percent_down),
};
TooltipArg gear_tooltip_args[] = {
    tooltip_number(TOKEN_NOSE_GEAR, percent_down),
    tooltip_number(TOKEN_LEFT_GEAR, percent_down),
    tooltip_number(TOKEN_RIGHT_GEAR, percent_down),
};

// Each lever's upper and lower halves share row 119; the first area listed
// takes it.
MouseArea flaps_gear_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(0, 0, 95, 240),
    mouse_tooltip("Flaps Switch (left %1!d!%%, right %2!d!%% down)", flaps_tooltip_args),
    mouse_end_parent(),
    mouse_parent(95, 0, 95, 240),
    mouse_tooltip("Landing Gear Control Switch (nose %1!d!%%, left %2!d!%%, right %3!d!%% down)",
                  gear_tooltip_args),
    mouse_end_parent(),
    mouse_click(95, 40, 95, 80, CURSOR_UP, MOUSE_LEFT_CLICK, send_gear_up),
    mouse_click(95, 119, 95, 80, CURSOR_DOWN, MOUSE_LEFT_CLICK, send_gear_down),
    mouse_click(0, 40, 95, 80, CURSOR_UP, MOUSE_LEFT_CLICK, send_flaps_up),
    mouse_click(0, 119, 95, 80, CURSOR_DOWN, MOUSE_LEFT_CLICK, send_flaps_down),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader flaps_gear_sw_gauge =
    gauge_header("Flaps_gear_sw", 190, &flaps_gear_root, flaps_gear_mouse, flaps_gear_gauge_callback);

// Gauge callback: called before each update; reads the gear lever and the
// left flap on service message 6 and ignores every other message.
static void flaps_gear_gauge_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&gear_lever);
    lookup_token(&left_flap);
    gear_lever_down = gear_lever.value > 0.0 ? 1 : 0;  // NaN: up
    // Whole units, toward zero; NaN reads 0 and huge values saturate.
    flap_position = trunc_to_int32(left_flap.value);
}

// Element callback of the gear lever: called on every update.
static double gear_lever_picture(Icon*)
{
    return gear_lever_down;
}

// Element callback of the flap lever: called on every update. The previous
// position advances here, not in the gauge callback, so the lever shows a
// movement for one update only.
static double flap_lever_picture(Icon*)
{
    int32_t picture = FLAP_LEVER_OFF;
    if (flap_position < previous_flap_position)
        picture = FLAP_LEVER_UP;
    else if (flap_position > previous_flap_position)
        picture = FLAP_LEVER_DOWN;
    previous_flap_position = flap_position;
    return picture;
}

// Tooltip callback of the five flap and gear arguments: called while the
// pointer rests on a lever. The host cuts the fraction off, so the added
// half gives the nearest whole percent.
static double percent_down(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value / 16384 * 100 + 0.5;
}

// Mouse callbacks of the lever halves: called on a click there.
static int32_t send_gear_up(Point*, uint32_t)
{
    trigger_key_event(KEY_GEAR_UP, 0);
    return 1;
}

static int32_t send_gear_down(Point*, uint32_t)
{
    trigger_key_event(KEY_GEAR_DOWN, 0);
    return 1;
}

static int32_t send_flaps_up(Point*, uint32_t)
{
    trigger_key_event(KEY_FLAPS_UP, 0);
    return 1;
}

static int32_t send_flaps_down(Point*, uint32_t)
{
    trigger_key_event(KEY_FLAPS_DOWN, 0);
    return 1;
}
