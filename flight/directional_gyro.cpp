// "Directional_gyro": heading indicator of the drum type. A heading scale
// slides behind a window at the top so that the heading stands under the
// window's index line; a knob under the window sends the host's heading
// indicator events.
#include "flight.h"

enum : int32_t {
    BMP_GYRO_FACE = 21000,
    BMP_HEADING_STRIP = 22000,  // window (mask) 22001
};

enum : uint32_t {
    TOKEN_GYRO_HEADING = 84,  // degrees
};

enum : uint32_t {
    KEY_HEADING_KNOB_LEFT = 0x10156,
    KEY_HEADING_KNOB_RIGHT = 0x10155,
};

static double strip_x_value(MovingImage* strip);
static double strip_y_value(MovingImage* strip);
static int32_t gyro_knob_left(Point* position, uint32_t mouse_flags);
static int32_t gyro_knob_right(Point* position, uint32_t mouse_flags);
static double gyro_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord gyro_failures[] = {{11, 1, 0}, FAILURE_END};

namespace {
extern StaticImage gyro_face;
extern MovingImage heading_strip;

ElementHeader* gyro_face_next[] = {&heading_strip.header, nullptr};

StaticImage gyro_face = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_GYRO_FACE,
    .gauge = &directional_gyro_gauge,
    .next = gyro_face_next,
    .failures = gyro_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

// The strip's marks decrease from left to right and its first and last 87
// columns show the same marks, so x values 0 and 360 both show north.
MovingImage heading_strip = {
    .header = {.kind = ELEMENT_MOVING,
               .bitmap = BMP_HEADING_STRIP,
               .position = {30, 35},
               .gauge = &directional_gyro_gauge,
               .failures = gyro_failures,
               .image_flags = IMAGE_FLAGS_MOVING},
    .x = {.source = {.token = TOKEN_GYRO_HEADING}, .minimum = 0.0, .maximum = 360.0},
    .y = {.minimum = 0.0, .maximum = 0.0},
    .x_callback = strip_x_value,
    .y_callback = strip_y_value,
};

ElementHeader* gyro_root = &gyro_face.header;

TooltipArg gyro_tooltip_args[] = {tooltip_number(TOKEN_GYRO_HEADING, gyro_tooltip)};

// The knob halves share column 72; the left half, tried first, takes it.
MouseArea gyro_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Heading Indicator (Heading %1!d!\xB0)", gyro_tooltip_args),
    mouse_click(55, 168, 18, 33, CURSOR_DOWN, MOUSE_LEFT_CLICK, gyro_knob_left),
    mouse_click(72, 168, 18, 33, CURSOR_UP, MOUSE_LEFT_CLICK, gyro_knob_right),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader directional_gyro_gauge = gauge_header("Directional_gyro", 145, &gyro_root, gyro_mouse);

// Element callback of the strip's x axis: called on every update. 360
// minus the heading; a heading outside 0 .. 360 gives 0 (north), not the
// nearer end.
static double strip_x_value(MovingImage* strip)
{
    double v = 360 - strip->x.source.value;
    if (v < 0)
        return 0;
    else if (v > 360 || v != v)
        return 0;
    return v;
}

// Element callback of the strip's y axis: called on every update. The y
// range is 0 to 0, so the value moves nothing.
static double strip_y_value(MovingImage*)
{
    return 1.0;
}

// Mouse callback of the knob's left half: called on a left click.
static int32_t gyro_knob_left(Point*, uint32_t)
{
    trigger_key_event(KEY_HEADING_KNOB_LEFT, 0);
    return 1;
}

// Mouse callback of the knob's right half: called on a left click.
static int32_t gyro_knob_right(Point*, uint32_t)
{
    trigger_key_event(KEY_HEADING_KNOB_RIGHT, 0);
    return 1;
}

// Tooltip callback of the face: called while the pointer rests on it.
static double gyro_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value;
}
