// "Ignition": the four-position magneto switch (OFF, L, R, BOTH). The lever
// follows the host's two magneto switches as read before each update; a
// click only sends a key event, and the picture changes once the host has
// switched the magnetos and the next update has read them.
#include "electric.h"
#include "framework/convert.h"

enum : int32_t {
    BMP_IGNITION_HOUSING = 2000,
    BMP_IGNITION_LEVER = 2100,  // 2100 + position: Off, Right, Left, Both
};

enum : uint32_t {
    TOKEN_RIGHT_MAGNETO = 133,  // on while it holds exactly the double 1.0
    TOKEN_LEFT_MAGNETO = 134,
};

enum : uint32_t {
    KEY_MAGNETO_DECREASE = 0x10062,  // one position toward Off
    KEY_MAGNETO_INCREASE = 0x10063,  // one position toward Both
    KEY_MAGNETO_OFF = 0x101E7,
    KEY_MAGNETO_LEFT = 0x101E8,
    KEY_MAGNETO_RIGHT = 0x101E9,
    KEY_MAGNETO_BOTH = 0x101EA,
};

// Ignition positions: 1 for the right magneto plus 2 for the left one. The
// position is also the lever's picture index.
enum : int32_t {
    IGNITION_OFF = 0,
    IGNITION_RIGHT = 1,
    IGNITION_LEFT = 2,
    IGNITION_BOTH = 3,
};

static void ignition_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double ignition_picture(Icon* icon);
static const char* ignition_name(TOOLTIP_CALLBACK_PARAMS);
static int32_t ignition_step_down(Point* position, uint32_t mouse_flags);
static int32_t ignition_step_up(Point* position, uint32_t mouse_flags);
static int32_t ignition_to_off(Point* position, uint32_t mouse_flags);
static int32_t ignition_to_left(Point* position, uint32_t mouse_flags);
static int32_t ignition_to_right(Point* position, uint32_t mouse_flags);
static int32_t ignition_to_both(Point* position, uint32_t mouse_flags);

static const FailureRecord ignition_failures[] = {FAILURE_END};

// The switch position as read at the latest service message 6; Off until
// the first one.
static int32_t ignition_position = IGNITION_OFF;

static TokenVar right_magneto = {.token = TOKEN_RIGHT_MAGNETO};
static TokenVar left_magneto = {.token = TOKEN_LEFT_MAGNETO};

namespace {
extern StaticImage ignition_housing;
extern Icon ignition_lever;

ElementHeader* ignition_housing_next[] = {&ignition_lever.header, nullptr};

StaticImage ignition_housing = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_IGNITION_HOUSING,
    .gauge = &ignition_gauge,
    .next = ignition_housing_next,
    .failures = ignition_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon ignition_lever = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_IGNITION_LEVER,
               .position = {35, 99},
               .gauge = &ignition_gauge,
               .failures = ignition_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .picture_count = 4,
    .callback = ignition_picture,
};

ElementHeader* ignition_root = &ignition_housing.header;

TooltipArg ignition_tooltip_args[] = {tooltip_text(0, ignition_name)};

// The lower halves of the dial step the switch; the four areas above them
// lie over the labels OFF, L, R and BOTH.
MouseArea ignition_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(33, 0, 315, 286),
    mouse_tooltip("Ignition %1!s!", ignition_tooltip_args),
    mouse_end_parent(),
    mouse_click(51, 142, 125, 121, CURSOR_DOWN, MOUSE_LEFT_CLICK, ignition_step_down),
    mouse_click(175, 142, 123, 121, CURSOR_UP, MOUSE_LEFT_CLICK, ignition_step_up),
    mouse_click(51, 27, 77, 116, CURSOR_HAND, MOUSE_LEFT_CLICK, ignition_to_off),
    mouse_click(128, 27, 48, 116, CURSOR_HAND, MOUSE_LEFT_CLICK, ignition_to_left),
    mouse_click(175, 27, 48, 116, CURSOR_HAND, MOUSE_LEFT_CLICK, ignition_to_right),
    mouse_click(223, 27, 75, 116, CURSOR_HAND, MOUSE_LEFT_CLICK, ignition_to_both),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader ignition_gauge =
    gauge_header("Ignition", 351, &ignition_root, ignition_mouse, ignition_gauge_callback);

// A magneto is on only while its value field holds the double +1.0 bit for
// bit: 0.999, 2, NaN or an integer 1 in the low half all count as off.
static bool magneto_on(const TokenVar* magneto)
{
    return token_bits(magneto) == double_bits(1.0);
}

// Gauge callback: called before each update; rebuilds the position from the
// magnetos on service message 6 and ignores every other message.
static void ignition_gauge_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&left_magneto);
    lookup_token(&right_magneto);
    ignition_position = IGNITION_OFF;
    if (magneto_on(&right_magneto)) ignition_position += IGNITION_RIGHT;
    if (magneto_on(&left_magneto)) ignition_position += IGNITION_LEFT;
}

// Element callback of the lever: called on every update, after the gauge
// callback.
static double ignition_picture(Icon*)
{
    return ignition_position;
}

// Tooltip callback of the dial: called while the pointer rests on it.
static const char* ignition_name(TOOLTIP_CALLBACK_PARAMS)
{
    (void)source;
    switch (ignition_position) {
        case IGNITION_RIGHT:
            return "Right";
        case IGNITION_LEFT:
            return "Left";
        case IGNITION_BOTH:
            return "Both";
        default:
            return "Off";
    }
}

// Mouse callback of the lower left half: called on a click there.
static int32_t ignition_step_down(Point*, uint32_t)
{
    trigger_key_event(KEY_MAGNETO_DECREASE, 0);
    return 1;
}

// Mouse callback of the lower right half: called on a click there; there is
// no step beyond Both.
static int32_t ignition_step_up(Point*, uint32_t)
{
    if (ignition_position < IGNITION_BOTH) trigger_key_event(KEY_MAGNETO_INCREASE, 0);
    return 1;
}

// Mouse callbacks of the four labels: called on a click on OFF, L, R, BOTH.
static int32_t ignition_to_off(Point*, uint32_t)
{
    trigger_key_event(KEY_MAGNETO_OFF, 0);
    return 1;
}

static int32_t ignition_to_left(Point*, uint32_t)
{
    trigger_key_event(KEY_MAGNETO_LEFT, 0);
    return 1;
}

static int32_t ignition_to_right(Point*, uint32_t)
{
    trigger_key_event(KEY_MAGNETO_RIGHT, 0);
    return 1;
}

static int32_t ignition_to_both(Point*, uint32_t)
{
    trigger_key_event(KEY_MAGNETO_BOTH, 0);
    return 1;
}
