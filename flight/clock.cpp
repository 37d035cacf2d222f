// "Clock": twelve-hour cockpit clock with hour, minute and sweep-second
// hands about one centre. The minute hand carries the seconds as a fraction
// of a minute, the hour hand the minutes as a fraction of an hour. Each hand
// is a needle pair (see flight.h) over its own turn: 60 or 12.
#include "flight.h"

enum : int32_t {
    BMP_CLOCK_DIAL = 23000,
    BMP_HOUR_HAND = 23100,
    BMP_MINUTE_HAND = 23200,
    BMP_SECOND_HAND = 23300,
};

enum : uint32_t {
    TOKEN_CLOCK_HOUR = 3,
    TOKEN_CLOCK_MINUTE = 4,
    TOKEN_CLOCK_SECOND = 5,
};

// One turn of each hand, in its own unit.
static const double HOUR_TURN = 12;
static const double MINUTE_TURN = 60;
static const double SECOND_TURN = 60;

// Second value last taken by the second hand, copy A.
static double clock_seconds = 0.0;
// Minute value with its seconds fraction, last computed by the minute hand,
// copy A.
static double clock_minutes = 0.0;

// The tooltip text has no insert; its argument shows this empty text.
static const char clock_tooltip_string[] = "";

static void clock_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double hour_copy_b_value(Needle* needle);
static double hour_copy_a_value(Needle* needle);
static double minute_copy_b_value(Needle* needle);
static double minute_copy_a_value(Needle* needle);
static double second_copy_b_value(Needle* needle);
static double second_copy_a_value(Needle* needle);
static const char* clock_tooltip_text(TOOLTIP_CALLBACK_PARAMS);

// No failure affects the clock.
static const FailureRecord clock_failures[] = {FAILURE_END};

// Half tables (copy B): -turn/2 .. turn/2; full tables (copy A): 0 .. turn.
// Twelve o'clock straight up in all six.
// clang-format off
static const NonlinearityRow hour_half_table[] = {
    {141, 201, -6.0, 0},
    {82, 141, -3.0, 0},
    {141, 82, 0.0, 0},
    {200, 141, 3.0, 0},
    {141, 201, 6.0, 0},
};
static const NonlinearityRow hour_full_table[] = {
    {141, 82, 0.0, 0},
    {200, 141, 3.0, 0},
    {141, 201, 6.0, 0},
    {82, 141, 9.0, 0},
    {141, 82, 12.0, 0},
};
static const NonlinearityRow minute_half_table[] = {
    {141, 220, -30.0, 0},
    {61, 141, -15.0, 0},
    {141, 61, 0.0, 0},
    {220, 141, 15.0, 0},
    {141, 220, 30.0, 0},
};
static const NonlinearityRow minute_full_table[] = {
    {141, 61, 0.0, 0},
    {220, 141, 15.0, 0},
    {141, 220, 30.0, 0},
    {61, 141, 45.0, 0},
    {141, 61, 60.0, 0},
};
static const NonlinearityRow second_half_table[] = {
    {141, 241, -30.0, 0},
    {40, 141, -15.0, 0},
    {141, 40, 0.0, 0},
    {240, 141, 15.0, 0},
    {141, 241, 30.0, 0},
};
static const NonlinearityRow second_full_table[] = {
    {141, 40, 0.0, 0},
    {240, 141, 15.0, 0},
    {141, 241, 30.0, 0},
    {40, 141, 45.0, 0},
    {141, 40, 60.0, 0},
};
// clang-format on

namespace {
extern StaticImage clock_dial;
extern Needle hour_copy_b;
extern Needle hour_copy_a;
extern Needle minute_copy_b;
extern Needle minute_copy_a;
extern Needle second_copy_b;
extern Needle second_copy_a;

ElementHeader* clock_dial_next[] = {&hour_copy_b.header, nullptr};
ElementHeader* hour_copy_b_next[] = {&hour_copy_a.header, nullptr};
ElementHeader* hour_copy_a_next[] = {&minute_copy_b.header, nullptr};
ElementHeader* minute_copy_b_next[] = {&minute_copy_a.header, nullptr};
ElementHeader* minute_copy_a_next[] = {&second_copy_b.header, nullptr};
ElementHeader* second_copy_b_next[] = {&second_copy_a.header, nullptr};

StaticImage clock_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_CLOCK_DIAL,
    .gauge = &clock_gauge,
    .next = clock_dial_next,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

// The host updates the hands in this order, hours first: each carried
// fraction is the one stored on the previous update.
Needle hour_copy_b = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_HOUR_HAND,
               .position = {142, 142},
               .offset = {9, 8},
               .gauge = &clock_gauge,
               .next = hour_copy_b_next,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_HOUR},
    .table = hour_half_table,
    .row_count = rows_of(hour_half_table),
    .rotation_limit = 12,
    .callback = hour_copy_b_value,
};

Needle hour_copy_a = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_HOUR_HAND,
               .position = {142, 142},
               .offset = {9, 8},
               .gauge = &clock_gauge,
               .next = hour_copy_a_next,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_HOUR},
    .table = hour_full_table,
    .row_count = rows_of(hour_full_table),
    .rotation_limit = 12,
    .callback = hour_copy_a_value,
};

Needle minute_copy_b = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_MINUTE_HAND,
               .position = {142, 142},
               .offset = {9, 8},
               .gauge = &clock_gauge,
               .next = minute_copy_b_next,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_MINUTE},
    .table = minute_half_table,
    .row_count = rows_of(minute_half_table),
    .rotation_limit = 12,
    .callback = minute_copy_b_value,
};

Needle minute_copy_a = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_MINUTE_HAND,
               .position = {142, 142},
               .offset = {9, 8},
               .gauge = &clock_gauge,
               .next = minute_copy_a_next,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_MINUTE},
    .table = minute_full_table,
    .row_count = rows_of(minute_full_table),
    .rotation_limit = 18,
    .callback = minute_copy_a_value,
};

Needle second_copy_b = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_SECOND_HAND,
               .position = {142, 142},
               .offset = {38, 8},
               .gauge = &clock_gauge,
               .next = second_copy_b_next,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_SECOND},
    .table = second_half_table,
    .row_count = rows_of(second_half_table),
    .rotation_limit = 18,
    .callback = second_copy_b_value,
};

Needle second_copy_a = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_SECOND_HAND,
               .position = {142, 142},
               .offset = {38, 8},
               .gauge = &clock_gauge,
               .failures = clock_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_CLOCK_SECOND},
    .table = second_full_table,
    .row_count = rows_of(second_full_table),
    .rotation_limit = 18,
    .callback = second_copy_a_value,
};

ElementHeader* clock_root = &clock_dial.header;

TooltipArg clock_tooltip_args[] = {tooltip_text(0, clock_tooltip_text)};

MouseArea clock_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Clock", clock_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader clock_gauge = gauge_header("Clock", 283, &clock_root, clock_mouse, clock_gauge_callback);

// Gauge callback: called with every service message; the clock needs none.
static void clock_gauge_callback(GaugeHeader*, int32_t, uint32_t) {}

// Hour value with the minutes (and their seconds) of the previous update.
static double hour_value(const Needle* needle)
{
    return clock_minutes / 60 + needle->source.value;
}

// Minute value with the seconds of the previous update.
static double minute_value(const Needle* needle)
{
    return clock_seconds / 60 + needle->source.value;
}

// Element callback of the hour hand, copy B: called on every update.
static double hour_copy_b_value(Needle* needle)
{
    return needle_pair_half(needle, hour_value(needle), HOUR_TURN);
}

// Element callback of the hour hand, copy A: called on every update.
static double hour_copy_a_value(Needle* needle)
{
    return needle_pair_full(needle, hour_value(needle), HOUR_TURN);
}

// Element callback of the minute hand, copy B: called on every update. Its
// value is not stored.
static double minute_copy_b_value(Needle* needle)
{
    return needle_pair_half(needle, minute_value(needle), MINUTE_TURN);
}

// Element callback of the minute hand, copy A: called on every update.
// Stores the minutes for the hour hand's next update.
static double minute_copy_a_value(Needle* needle)
{
    double m = minute_value(needle);
    clock_minutes = m;
    return needle_pair_full(needle, m, MINUTE_TURN);
}

// Element callback of the second hand, copy B: called on every update.
static double second_copy_b_value(Needle* needle)
{
    return needle_pair_half(needle, needle->source.value, SECOND_TURN);
}

// Element callback of the second hand, copy A: called on every update.
// Stores the seconds for the minute hand's next update.
static double second_copy_a_value(Needle* needle)
{
    double s = needle->source.value;
    clock_seconds = s;
    return needle_pair_full(needle, s, SECOND_TURN);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static const char* clock_tooltip_text(TOOLTIP_CALLBACK_NO_TOKEN)
{
    return clock_tooltip_string;
}
