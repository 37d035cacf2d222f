// "Compass": magnetic compass with a fixed rose. A needle turns to the
// magnetic heading and a broad arrow, the bug, to a heading the pilot sets
// with the knob in the lower left corner, one degree per click. Each
// pointer is a needle pair (see flight.h).
#include "flight.h"

enum : int32_t {
    BMP_COMPASS_DIAL = 19000,
    BMP_HEADING_NEEDLE = 19100,
    BMP_COMPASS_BUG = 19200,
};

enum : uint32_t {
    TOKEN_MAGNETIC_HEADING = 81,  // degrees
};

// Heading of the bug in whole degrees, 0 .. 360 inclusive: counting up it
// passes 359, 360, 1; counting down 1, 0, 359.
static double compass_bug = 0.0;

static double bug_copy_b_value(Needle* needle);
static double bug_copy_a_value(Needle* needle);
static double heading_copy_b_value(Needle* needle);
static double heading_copy_a_value(Needle* needle);
static int32_t bug_left(Point* position, uint32_t mouse_flags);
static int32_t bug_right(Point* position, uint32_t mouse_flags);
static double heading_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double bug_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord compass_failures[] = {{12, 1, 0}, FAILURE_END};

// Copy B of each pair: -180 .. 180, north straight up.
// clang-format off
static const NonlinearityRow compass_half_turn_table[] = {
    {140, 259, -180.0, 0},
    {20, 139, -90.0, 0},
    {140, 18, 0.0, 0},
    {260, 139, 90.0, 0},
    {140, 259, 180.0, 0},
};
// clang-format on

// Copy A of each pair: 0 .. 360, north straight up.
// clang-format off
static const NonlinearityRow compass_full_turn_table[] = {
    {140, 18, 0.0, 0},
    {260, 139, 90.0, 0},
    {140, 259, 180.0, 0},
    {20, 139, 270.0, 0},
    {140, 18, 360.0, 0},
};
// clang-format on

namespace {
extern StaticImage compass_dial;
extern Needle bug_copy_b;
extern Needle bug_copy_a;
extern Needle heading_copy_b;
extern Needle heading_copy_a;

ElementHeader* compass_dial_next[] = {&bug_copy_b.header, nullptr};
ElementHeader* bug_copy_b_next[] = {&bug_copy_a.header, nullptr};
ElementHeader* bug_copy_a_next[] = {&heading_copy_b.header, nullptr};
ElementHeader* heading_copy_b_next[] = {&heading_copy_a.header, nullptr};

StaticImage compass_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_COMPASS_DIAL,
    .gauge = &compass_gauge,
    .next = compass_dial_next,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle bug_copy_b = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_COMPASS_BUG,
               .position = {140, 139},
               .offset = {86, 22},
               .gauge = &compass_gauge,
               .next = bug_copy_b_next,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .table = compass_half_turn_table,
    .row_count = rows_of(compass_half_turn_table),
    .rotation_limit = 12,
    .callback = bug_copy_b_value,
};

// Copies A start hidden until their callbacks first run.
Needle bug_copy_a = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_COMPASS_BUG,
               .position = {140, 139},
               .offset = {86, 22},
               .gauge = &compass_gauge,
               .next = bug_copy_a_next,
               .image_flags = IMAGE_FLAGS_NEEDLE | IMAGE_HIDDEN},
    .table = compass_full_turn_table,
    .row_count = rows_of(compass_full_turn_table),
    .rotation_limit = 12,
    .callback = bug_copy_a_value,
};

Needle heading_copy_b = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_HEADING_NEEDLE,
               .position = {140, 139},
               .offset = {91, 11},
               .gauge = &compass_gauge,
               .next = heading_copy_b_next,
               .failures = compass_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_MAGNETIC_HEADING},
    .table = compass_half_turn_table,
    .row_count = rows_of(compass_half_turn_table),
    .rotation_limit = 12,
    .callback = heading_copy_b_value,
};

Needle heading_copy_a = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_HEADING_NEEDLE,
               .position = {140, 139},
               .offset = {91, 11},
               .gauge = &compass_gauge,
               .failures = compass_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE | IMAGE_HIDDEN},
    .source = {.token = TOKEN_MAGNETIC_HEADING},
    .table = compass_full_turn_table,
    .row_count = rows_of(compass_full_turn_table),
    .rotation_limit = 12,
    .callback = heading_copy_a_value,
};

ElementHeader* compass_root = &compass_dial.header;

TooltipArg heading_tooltip_args[] = {tooltip_number(TOKEN_MAGNETIC_HEADING, heading_tooltip)};
TooltipArg bug_tooltip_args[] = {tooltip_number(0, bug_tooltip)};

// The knob halves share column 28; the left half, tried first, takes it.
MouseArea compass_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Magnetic Compass (%1!d!\xB0)", heading_tooltip_args),
    mouse_parent_corners(2, 239, 56, 294),  // the bug knob
    mouse_tooltip("Magnetic Compass Bug Setting Knob (%1!d!\xB0)", bug_tooltip_args),
    mouse_end_parent(),
    mouse_click(2, 239, 27, 55, CURSOR_DOWN, MOUSE_LEFT_CLICK, bug_left),
    mouse_click(28, 239, 27, 55, CURSOR_UP, MOUSE_LEFT_CLICK, bug_right),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader compass_gauge = gauge_header("Compass", 281, &compass_root, compass_mouse);

// Element callback of the bug, copy B: called on every update.
static double bug_copy_b_value(Needle* needle)
{
    return needle_pair_half(needle, compass_bug, 360);
}

// Element callback of the bug, copy A: called on every update.
static double bug_copy_a_value(Needle* needle)
{
    return needle_pair_full(needle, compass_bug, 360);
}

// Element callback of the heading needle, copy B: called on every update.
static double heading_copy_b_value(Needle* needle)
{
    return needle_pair_half(needle, needle->source.value, 360);
}

// Element callback of the heading needle, copy A: called on every update.
static double heading_copy_a_value(Needle* needle)
{
    return needle_pair_full(needle, needle->source.value, 360);
}

// Mouse callback of the knob's left half: called on a left click. One
// degree anticlockwise; 0 steps to 359.
static int32_t bug_left(Point*, uint32_t)
{
    compass_bug = compass_bug - 1;
    if (compass_bug < 0) compass_bug += 360;
    return 1;
}

// Mouse callback of the knob's right half: called on a left click. One
// degree clockwise; 360 steps to 1.
static int32_t bug_right(Point*, uint32_t)
{
    compass_bug = compass_bug + 1;
    if (compass_bug > 360) compass_bug -= 360;
    return 1;
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double heading_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value;
}

// Tooltip callback of the bug knob.
static double bug_tooltip(TOOLTIP_CALLBACK_NO_TOKEN)
{
    return compass_bug;
}
