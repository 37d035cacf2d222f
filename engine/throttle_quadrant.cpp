// "Throttle_quadrant": engine control quadrant. Throttle, mixture and
// propeller levers stand side by side; each knob is a slider following the
// host's lever position (1.0 at the top of its travel, 0.0 at the bottom),
// and each slot is a drag area that sets its lever to the position under the
// pointer (16383 at the top, 0 at the bottom, not clamped).
#include "framework/convert.h"

#include "engine.h"

enum : int32_t {
    BMP_QUADRANT = 3200,
    BMP_THROTTLE_KNOB = 3300,
    BMP_MIXTURE_KNOB = 3400,
    BMP_PROPELLER_KNOB = 3500,
};

enum : uint32_t {
    TOKEN_THROTTLE_LEVER = 558,  // fraction of travel
    TOKEN_PROPELLER_LEVER = 559,
    TOKEN_MIXTURE_LEVER = 560,
};

enum : uint32_t {
    KEY_THROTTLE_SET = 0x1011C,
    KEY_MIXTURE_SET = 0x1017F,
    KEY_PROPELLER_SET = 0x10183,
};

// Lever geometry in background pixels: travel of the knob's top edge and its
// top position (the element's y).
static const double THROTTLE_TRAVEL = 410, THROTTLE_TOP = 0;
static const double MIXTURE_TRAVEL = 404, MIXTURE_TOP = 8;
static const double PROPELLER_TRAVEL = 297, PROPELLER_TOP = 70;

// Height of the background; 1.5406977f is the float nearest to 530 / 344.
static const double QUADRANT_BACKGROUND_HEIGHT = 530;
static const float QUADRANT_HEIGHT_PER_WIDTH = 1.5406977f;

// Lever positions sent with the key events.
static const double LEVER_POSITION_TOP = 16383;

// The quadrant's drawn size, from the header's size field at service
// message 6; 1.0 until the first one.
static float quadrant_width = 1.0f;
static float quadrant_height = 1.0f;

static void quadrant_size_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double propeller_slider_value(Slider* slider);
static double mixture_slider_value(Slider* slider);
static double throttle_slider_value(Slider* slider);
static double lever_percent_tooltip(TOOLTIP_CALLBACK_PARAMS);
static int32_t throttle_drag(Point* position, uint32_t mouse_flags);
static int32_t mixture_drag(Point* position, uint32_t mouse_flags);
static int32_t propeller_drag(Point* position, uint32_t mouse_flags);

static const FailureRecord quadrant_failures[] = {FAILURE_END};

namespace {
extern StaticImage quadrant_background;
extern Slider propeller_knob;
extern Slider mixture_knob;
extern Slider throttle_knob;

ElementHeader* quadrant_background_next[] = {&propeller_knob.header, nullptr};
ElementHeader* propeller_knob_next[] = {&mixture_knob.header, nullptr};
ElementHeader* mixture_knob_next[] = {&throttle_knob.header, nullptr};

StaticImage quadrant_background = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_QUADRANT,
    .gauge = &throttle_quadrant_gauge,
    .next = quadrant_background_next,
    .failures = quadrant_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Slider propeller_knob = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = BMP_PROPELLER_KNOB,
               .position = {245, 70},
               .gauge = &throttle_quadrant_gauge,
               .next = propeller_knob_next,
               .image_flags = IMAGE_FLAGS_MOVING},
    .y = {.source = {.token = TOKEN_PROPELLER_LEVER}, .scale = 1.0},
    .y_callback = propeller_slider_value,
};

Slider mixture_knob = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = BMP_MIXTURE_KNOB,
               .position = {128, 8},
               .gauge = &throttle_quadrant_gauge,
               .next = mixture_knob_next,
               .image_flags = IMAGE_FLAGS_MOVING},
    .y = {.source = {.token = TOKEN_MIXTURE_LEVER}, .scale = 1.0},
    .y_callback = mixture_slider_value,
};

Slider throttle_knob = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = BMP_THROTTLE_KNOB,
               .position = {0, 0},
               .gauge = &throttle_quadrant_gauge,
               .image_flags = IMAGE_FLAGS_MOVING},
    .y = {.source = {.token = TOKEN_THROTTLE_LEVER}, .scale = 1.0},
    .y_callback = throttle_slider_value,
};

ElementHeader* quadrant_root = &quadrant_background.header;

TooltipArg throttle_tooltip_args[] = {tooltip_number(TOKEN_THROTTLE_LEVER, lever_percent_tooltip)};
TooltipArg mixture_tooltip_args[] = {tooltip_number(TOKEN_MIXTURE_LEVER, lever_percent_tooltip)};
TooltipArg propeller_tooltip_args[] = {tooltip_number(TOKEN_PROPELLER_LEVER, lever_percent_tooltip)};

MouseArea quadrant_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent_corners(0, 0, 120, 530),
    mouse_tooltip("Throttle Control (%1!d!%%)", throttle_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(128, 8, 235, 518),
    mouse_tooltip("Mixture Control (%1!d!%%)", mixture_tooltip_args),
    mouse_end_parent(),
    mouse_parent_corners(245, 70, 343, 467),
    mouse_tooltip("Propeller Control (%1!d!%%)", propeller_tooltip_args),
    mouse_end_parent(),
    mouse_click_corners(0, 0, 120, 530, CURSOR_HAND, MOUSE_CLICK_DRAG, throttle_drag),
    mouse_click_corners(128, 8, 235, 518, CURSOR_HAND, MOUSE_CLICK_DRAG, mixture_drag),
    mouse_click_corners(245, 70, 343, 467, CURSOR_HAND, MOUSE_CLICK_DRAG, propeller_drag),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader throttle_quadrant_gauge =
    gauge_header("Throttle_quadrant", 344, &quadrant_root, quadrant_mouse, quadrant_size_callback);

// Gauge callback: on service message 6, before each update, takes the drawn
// width from the size field (the host writes it there) and the height that
// goes with it.
static void quadrant_size_callback(GaugeHeader* gauge, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    quadrant_width = (float)gauge->size;
    quadrant_height = quadrant_width * QUADRANT_HEIGHT_PER_WIDTH;
}

// Element callback of the propeller knob: downward offset for the lever
// fraction, called on every update. Not clamped.
static double propeller_slider_value(Slider* slider)
{
    return (PROPELLER_TRAVEL + PROPELLER_TOP) - slider->y.source.value * PROPELLER_TRAVEL - PROPELLER_TOP;
}

// Element callback of the mixture knob: as the propeller's.
static double mixture_slider_value(Slider* slider)
{
    return (MIXTURE_TRAVEL + MIXTURE_TOP) - slider->y.source.value * MIXTURE_TRAVEL - MIXTURE_TOP;
}

// Element callback of the throttle knob: as the propeller's.
static double throttle_slider_value(Slider* slider)
{
    return (THROTTLE_TRAVEL + THROTTLE_TOP) - slider->y.source.value * THROTTLE_TRAVEL - THROTTLE_TOP;
}

// Tooltip callback of the three slots: the lever position in percent.
static double lever_percent_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value * 100.0;
}

// The lever position (16383 at the top of the travel, 0 at the bottom) for a
// pointer row y in drawn units, the inverse of the slider offset. Not
// clamped: below the travel it is negative, above it beyond 16383.
//
// The result is truncated toward zero through 64 bits and its low 32 bits
// are sent, so negative positions go out in two's complement. Absurd sizes
// and pointer rows stay defined: NaN (a size field of 0 makes s infinite
// and B zero) gives 0, and results beyond the 64-bit range saturate before
// their low 32 bits are taken.
static uint32_t lever_position(int32_t y, double travel, double top)
{
    double s = QUADRANT_BACKGROUND_HEIGHT / quadrant_height;  // background pixels per pointer unit
    double b = travel / s;                                   // the travel in pointer units
    double f = (b - (y - top / s)) / b * LEVER_POSITION_TOP;
    return low_32_bits(trunc_to_int64(f));
}

// Mouse callback of the throttle slot: called on the press and on every
// move while the left button is held, also outside the slot.
static int32_t throttle_drag(Point* position, uint32_t)
{
    trigger_key_event(KEY_THROTTLE_SET, lever_position(position->y, THROTTLE_TRAVEL, THROTTLE_TOP));
    return 1;
}

// Mouse callback of the mixture slot: as the throttle's.
static int32_t mixture_drag(Point* position, uint32_t)
{
    trigger_key_event(KEY_MIXTURE_SET, lever_position(position->y, MIXTURE_TRAVEL, MIXTURE_TOP));
    return 1;
}

// Mouse callback of the propeller slot: as the throttle's.
static int32_t propeller_drag(Point* position, uint32_t)
{
    trigger_key_event(KEY_PROPELLER_SET, lever_position(position->y, PROPELLER_TRAVEL, PROPELLER_TOP));
    return 1;
}
