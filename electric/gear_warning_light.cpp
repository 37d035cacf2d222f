// "Gear_warning_light": a red lamp that lights while the throttle is pulled
// back below 33 percent and the landing gear is not down on all three legs.
#include "electric.h"
#include "framework/convert.h"

enum : int32_t {
    BMP_GEAR_WARNING_DARK = 2500,  // also the background
    BMP_GEAR_WARNING_LIT = 2501,
};

enum : uint32_t {
    TOKEN_NOSE_GEAR = 332,  // leg extension, 0 up to 16384 fully down
    TOKEN_LEFT_GEAR = 333,
    TOKEN_RIGHT_GEAR = 334,
    TOKEN_THROTTLE = 558,  // lever position, 0 closed to 1 fully open
};

// A leg counts as down only beyond this extension.
static const double GEAR_LEG_DOWN = 16300.0;
// The lamp lights below this throttle percent.
static const int32_t THROTTLE_WARNING_PERCENT = 33;

static void gear_warning_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double warning_light(Icon* icon);

static const FailureRecord gear_warning_failures[] = {FAILURE_END};

// As read at the latest service message 6; both 0 until the first one, so
// the lamp starts lit.
static int32_t gear_down = 0;
static int32_t throttle_percent = 0;

static TokenVar left_gear = {.token = TOKEN_LEFT_GEAR};
static TokenVar right_gear = {.token = TOKEN_RIGHT_GEAR};
static TokenVar nose_gear = {.token = TOKEN_NOSE_GEAR};
static TokenVar throttle = {.token = TOKEN_THROTTLE};

namespace {
extern StaticImage gear_warning_background;
extern Icon gear_warning_lamp;

ElementHeader* gear_warning_background_next[] = {&gear_warning_lamp.header, nullptr};

StaticImage gear_warning_background = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_GEAR_WARNING_DARK,
    .gauge = &gear_warning_light_gauge,
    .next = gear_warning_background_next,
    .failures = gear_warning_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon gear_warning_lamp = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_GEAR_WARNING_DARK,
               .gauge = &gear_warning_light_gauge,
               .failures = gear_warning_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .picture_count = 2,
    .callback = warning_light,
};

ElementHeader* gear_warning_root = &gear_warning_background.header;

TooltipArg gear_warning_tooltip_args[] = {tooltip_text(0, empty_tooltip_text)};

MouseArea gear_warning_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(0, 0, 62, 62),
    mouse_tooltip("Landing Gear Warning Light", gear_warning_tooltip_args),
    mouse_end_parent(),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader gear_warning_light_gauge = gauge_header("Gear_warning_light", 62, &gear_warning_root,
                                                    gear_warning_mouse, gear_warning_gauge_callback);

// Gauge callback: called before each update; reads the gear legs and the
// throttle on service message 6 and ignores every other message.
static void gear_warning_gauge_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&left_gear);
    lookup_token(&right_gear);
    lookup_token(&nose_gear);
    lookup_token(&throttle);
    // NaN reads 0 percent; values beyond the int32 range saturate.
    throttle_percent = trunc_to_int32(throttle.value * 100.0);
    gear_down = 0;
    // Strictly beyond the mark on every leg; a NaN leg is not down.
    if (left_gear.value > GEAR_LEG_DOWN && right_gear.value > GEAR_LEG_DOWN &&
        nose_gear.value > GEAR_LEG_DOWN)
        gear_down = 1;
}

// Element callback of the lamp: called on every update, after the gauge
// callback. 1 lights it, 0 leaves it dark.
static double warning_light(Icon*)
{
    if (gear_down == 0 && throttle_percent < THROTTLE_WARNING_PERCENT) return 1.0;
    return 0.0;
}
