// "TurnBank": turn and bank indicator. An inclinometer ball rolls along a
// curved tube under two reference lines; a turn needle pivoted below the
// centre swings left and right of the top mark.
#include "flight.h"

enum : int32_t {
    BMP_TURNBANK_DIAL = 8000,
    BMP_BALL = 9000,
    BMP_REFERENCE_LINES = 10000,
    BMP_TURN_NEEDLE = 11000,
};

enum : uint32_t {
    TOKEN_BALL = 69,          // ball deflection, -127 to 127, positive to the right
    TOKEN_RATE_OF_TURN = 79,  // as an angle: 0..180 a left turn, 180..360 a right turn
};

enum : uint32_t { HELP_TURNBANK = 43908 };

static double ball_value(Needle* needle);
static double turn_needle_value(Needle* needle);

// The gauge shows no failure.
static const FailureRecord turnbank_failures[] = {FAILURE_END};

// The ball is a needle whose centre lies 270 px above the gauge, so its
// picture moves along a flat arc through the tube. Descending values: 127
// is the right-hand end.
// clang-format off
static const NonlinearityRow ball_table[] = {
    {219, 164, 127.0, 0},
    {138, 172, 0.0, 0},
    {60, 164, -127.0, 0},
};
// clang-format on

// clang-format off
static const NonlinearityRow turn_needle_table[] = {
    {77, 59, -50.0, 0},
    {139, 47, 0.0, 0},
    {199, 58, 50.0, 0},
};
// clang-format on

namespace {
extern StaticImage turnbank_dial;
extern Needle ball;
extern StaticImage reference_lines;
extern Needle turn_needle;

ElementHeader* turnbank_dial_next[] = {&ball.header, nullptr};
ElementHeader* ball_next[] = {&reference_lines.header, nullptr};
ElementHeader* reference_lines_next[] = {&turn_needle.header, nullptr};

StaticImage turnbank_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_TURNBANK_DIAL,
    .gauge = &turnbank_gauge,
    .next = turnbank_dial_next,
    .failures = turnbank_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle ball = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_BALL,
               .position = {138, -270},
               .offset = {-264, 22},
               .gauge = &turnbank_gauge,
               .next = ball_next,
               .failures = turnbank_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_BALL},
    .table = ball_table,
    .row_count = rows_of(ball_table),
    .rotation_limit = 12,
    .callback = ball_value,
};

// Drawn after the ball, so the lines lie over it.
StaticImage reference_lines = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_REFERENCE_LINES,
    .position = {107, 143},
    .gauge = &turnbank_gauge,
    .next = reference_lines_next,
    .failures = turnbank_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle turn_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_TURN_NEEDLE,
               .position = {139, 214},
               .offset = {20, 14},
               .gauge = &turnbank_gauge,
               .failures = turnbank_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_RATE_OF_TURN},
    .table = turn_needle_table,
    .row_count = rows_of(turn_needle_table),
    .rotation_limit = 12,
    .callback = turn_needle_value,
};

ElementHeader* turnbank_root = &turnbank_dial.header;

MouseArea turnbank_mouse[] = {
    mouse_parent(0, 0, 0, 0, HELP_TURNBANK),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader turnbank_gauge = gauge_header("TurnBank", 276, &turnbank_root, turnbank_mouse);

// Element callback of the ball: called on every update. Holds the ball at
// the tube's ends.
static double ball_value(Needle* needle)
{
    double v = needle->source.value;
    if (v >= 127)
        v = 127;
    else if (v <= -127)
        v = -127;
    return v;
}

// Element callback of the turn needle: called on every update. A rate of
// turn above 180 degrees stands for a negative one; a left turn (0..180)
// swings the needle left, to negative values.
static double turn_needle_value(Needle* needle)
{
    double v = needle->source.value;
    if (v > 180) v = v - 360;
    v = -v;
    if (v >= 50)
        v = 50;
    else if (v <= -50)
        v = -50;
    return v;
}
