// "Attitude": artificial horizon. A horizon bar moves with pitch and turns
// with bank behind the dial's window, a bank pointer turns with bank; in
// front sit the miniature aircraft (the pitch bar, set with a knob under
// the dial) and the caging knob with its flag.
#include "flight.h"

enum : int32_t {
    BMP_ATTITUDE_DIAL = 12000,
    BMP_ATTITUDE_BEZEL = 13000,
    BMP_CAGING_KNOB = 14000,   // 14000 uncaged, 14001 caged
    BMP_BANK_POINTER = 15000,  // mask 15001
    BMP_HORIZON_BAR = 16000,   // mask 16001
    BMP_MINIATURE_AIRCRAFT = 17000,
    BMP_CAGED_FLAG = 18000,
};

enum : uint32_t {
    TOKEN_PITCH = 78,  // degrees, positive nose up
    TOKEN_BANK = 80,   // degrees, positive right wing down
};

enum : uint32_t {
    HELP_ATTITUDE = 43789,
    KEY_TOGGLE_ATTITUDE_CAGE = 0x10345,
};

enum : int32_t { PITCH_BAR_STOP = 10 };

// 1 while the gauge counts the gyro as caged; it alternates with each click
// on the caging knob and is never read back from the host.
static int32_t attitude_caged = 0;
// Pitch-bar knob position, -10 .. +10; each step moves the miniature
// aircraft 3 px, +1 downward.
static int32_t pitch_bar_setting = 0;

static double pitch_clamp_value(Sprite* sprite);
static double pitch_bar_value(Slider* slider);
static double caged_flag_value(Icon* icon);
static double caging_knob_value(Icon* icon);
static int32_t caging_click(Point* position, uint32_t mouse_flags);
static int32_t pitch_knob_left(Point* position, uint32_t mouse_flags);
static int32_t pitch_knob_right(Point* position, uint32_t mouse_flags);
static double bank_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double pitch_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord attitude_failures[] = {{8, 1, 0}, FAILURE_END};

namespace {
extern StaticImage attitude_dial;
extern Sprite horizon_bar;
extern Sprite bank_pointer;
extern Slider miniature_aircraft;
extern Icon caged_flag;
extern StaticImage attitude_bezel;
extern Icon caging_knob;

ElementHeader* attitude_dial_next[] = {&horizon_bar.header, nullptr};
ElementHeader* horizon_bar_next[] = {&bank_pointer.header, nullptr};
ElementHeader* bank_pointer_next[] = {&miniature_aircraft.header, nullptr};
ElementHeader* miniature_aircraft_next[] = {&caged_flag.header, nullptr};
ElementHeader* caged_flag_next[] = {&attitude_bezel.header, nullptr};
ElementHeader* attitude_bezel_next[] = {&caging_knob.header, nullptr};

StaticImage attitude_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ATTITUDE_DIAL,
    .gauge = &attitude_gauge,
    .next = attitude_dial_next,
    .failures = attitude_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

// Both sprites turn about the centre of their 256x256 texture placed at
// (29,29), and show only through the window of their mask.
Sprite horizon_bar = {
    .header = {.kind = ELEMENT_SPRITE,
               .bitmap = BMP_HORIZON_BAR,
               .position = {29, 29},
               .offset = {157, 157},
               .gauge = &attitude_gauge,
               .next = horizon_bar_next,
               .failures = attitude_failures,
               .image_flags = IMAGE_FLAGS_MOVING},
    .x = {},
    .y = {.source = {.token = TOKEN_PITCH}, .scale = 2.0},
    .rotation = {.source = {.token = TOKEN_BANK}, .scale = -1.0},
    .texture_scale_x = 1.0f,
    .texture_scale_y = 1.0f,
    .y_callback = pitch_clamp_value,
};

Sprite bank_pointer = {
    .header = {.kind = ELEMENT_SPRITE,
               .bitmap = BMP_BANK_POINTER,
               .position = {29, 29},
               .offset = {157, 157},
               .gauge = &attitude_gauge,
               .next = bank_pointer_next,
               .failures = attitude_failures,
               .image_flags = IMAGE_FLAGS_MOVING},
    .rotation = {.source = {.token = TOKEN_BANK}, .scale = -1.0},
    .texture_scale_x = 1.0f,
    .texture_scale_y = 1.0f,
};

Slider miniature_aircraft = {
    .header = {.kind = ELEMENT_SLIDER,
               .bitmap = BMP_MINIATURE_AIRCRAFT,
               .position = {76, 154},
               .gauge = &attitude_gauge,
               .next = miniature_aircraft_next,
               .image_flags = IMAGE_FLAGS_MOVING},
    .y = {.scale = 3.0},
    .y_callback = pitch_bar_value,
};

// Starts hidden: the gyro starts uncaged.
Icon caged_flag = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_CAGED_FLAG,
               .position = {186, 181},
               .gauge = &attitude_gauge,
               .next = caged_flag_next,
               .image_flags = IMAGE_FLAGS_ICON | IMAGE_HIDDEN},
    .picture_count = 1,
    .callback = caged_flag_value,
};

StaticImage attitude_bezel = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ATTITUDE_BEZEL,
    .gauge = &attitude_gauge,
    .next = attitude_bezel_next,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon caging_knob = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_CAGING_KNOB,
               .position = {227, 226},
               .gauge = &attitude_gauge,
               .failures = attitude_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .picture_count = 2,
    .callback = caging_knob_value,
};

ElementHeader* attitude_root = &attitude_dial.header;

TooltipArg attitude_tooltip_args[] = {
    tooltip_number(TOKEN_BANK, bank_tooltip),
    tooltip_number(TOKEN_PITCH, pitch_tooltip),
};

// The pitch-bar knob halves share columns 157 and 158; the left half, tried
// first, takes them.
MouseArea attitude_mouse[] = {
    mouse_parent(0, 0, 0, 0, HELP_ATTITUDE),
    mouse_tooltip("Attitude Indicator (Bank %1!d!\xB0, Pitch %2!d!\xB0)", attitude_tooltip_args),
    mouse_click(239, 237, 112, 109, CURSOR_UP, MOUSE_LEFT_CLICK, caging_click),
    mouse_click(134, 285, 25, 50, CURSOR_DOWN, MOUSE_LEFT_CLICK, pitch_knob_left),
    mouse_click(157, 285, 25, 50, CURSOR_UP, MOUSE_LEFT_CLICK, pitch_knob_right),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader attitude_gauge = gauge_header("Attitude", 352, &attitude_root, attitude_mouse);

// Element callback of the horizon bar's y axis: called on every update.
// Holds the pitch to +-45 degrees, 90 px either way at the scale of 2.
static double pitch_clamp_value(Sprite* sprite)
{
    double p = sprite->y.source.value;
    if (p > 45)
        return 45;
    else if (p < -45)
        return -45;
    return p;
}

// Element callback of the miniature aircraft: called on every update.
static double pitch_bar_value(Slider*)
{
    return pitch_bar_setting;
}

// Element callback of the caged flag: called on every update, hidden or
// not, so it shows the flag again once the gyro counts as caged.
static double caged_flag_value(Icon* icon)
{
    if (attitude_caged != 0)
        show_element(&icon->header);
    else
        hide_element(&icon->header);
    return 0;
}

// Element callback of the caging knob: called on every update; picture 1
// while caged.
static double caging_knob_value(Icon*)
{
    return attitude_caged;
}

// Mouse callback of the caging knob: called on a left click. Shows or hides
// the flag at once and asks the host to toggle caging.
static int32_t caging_click(Point*, uint32_t)
{
    if (attitude_caged == 0) {
        show_element(&caged_flag.header);
        attitude_caged = 1;
    } else {
        hide_element(&caged_flag.header);
        attitude_caged = 0;
    }
    trigger_key_event(KEY_TOGGLE_ATTITUDE_CAGE, 0);
    return 1;
}

// Mouse callback of the pitch-bar knob's left half: called on a left
// click. Moves the miniature aircraft one step down, up to its stop.
static int32_t pitch_knob_left(Point*, uint32_t)
{
    if (pitch_bar_setting < PITCH_BAR_STOP) pitch_bar_setting += 1;
    return 1;
}

// Mouse callback of the pitch-bar knob's right half: called on a left
// click. Moves the miniature aircraft one step up, up to its stop.
static int32_t pitch_knob_right(Point*, uint32_t)
{
    if (pitch_bar_setting > -PITCH_BAR_STOP) pitch_bar_setting -= 1;
    return 1;
}

// Tooltip callbacks of the dial: called while the pointer rests on it. The
// pitch is shown without the horizon bar's clamp.
static double bank_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value;
}

static double pitch_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value;
}
