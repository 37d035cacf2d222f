// "Altitude": three-hand altimeter that always reads in feet, with the
// barometric setting in a window right of the centre and a setting knob in
// the lower left corner. While the host's unit system is metric, token 74
// holds metres and every hand and the tooltip convert it.
// The Windows build formats with msvcrt's printf, which the system already
// has, instead of linking MinGW's own (some 48 KB); see setting_text_value.
#define __USE_MINGW_ANSI_STDIO 0
#include <stdio.h>

#include "flight.h"
#include "framework/convert.h"

enum : int32_t {
    BMP_ALTIMETER_DIAL = 20000,
    BMP_HUNDREDS_HAND = 20100,
    BMP_THOUSANDS_HAND = 20200,
    BMP_TEN_THOUSANDS_HAND = 20300,
};

enum : uint32_t {
    TOKEN_ALTITUDE = 74,            // feet, or metres while the unit system is metric
    TOKEN_BAROMETRIC_SETTING = 76,  // inches of mercury
    TOKEN_UNIT_SYSTEM = 335,        // exactly 2.0: metric
};

enum : uint32_t {
    KEY_ALTIMETER_KNOB_LEFT = 0x1015C,
    KEY_ALTIMETER_KNOB_RIGHT = 0x1015B,
};

// 1: token 74 is taken as feet; 0: as metres, divided by 0.305.
static int32_t altitude_in_feet = 1;
// Handed to the host's look-up on every service message 6.
static TokenVar unit_system_var = {.token = TOKEN_UNIT_SYSTEM};

static void altimeter_gauge_callback(GaugeHeader* gauge, int32_t message, uint32_t extra);
static double setting_text_value(StringElement* string);
static double altitude_hand_value(Needle* needle);
static int32_t setting_knob_left(Point* position, uint32_t mouse_flags);
static int32_t setting_knob_right(Point* position, uint32_t mouse_flags);
static double altitude_tooltip(TOOLTIP_CALLBACK_PARAMS);
static double setting_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord altimeter_failures[] = {{7, 1, 0}, FAILURE_END};

// Each table covers one turn of its hand in ten steps and stops one step
// short of the full turn; the hands get the whole altitude, so above 900,
// 9000 and 90000 ft they rest on the host's extension of the last row.
// clang-format off
static const NonlinearityRow ten_thousands_table[] = {
    {141, 99, 0.0, 0},
    {166, 108, 10000.0, 0},
    {183, 130, 20000.0, 0},
    {183, 158, 30000.0, 0},
    {167, 180, 40000.0, 0},
    {141, 188, 50000.0, 0},
    {114, 179, 60000.0, 0},
    {99, 157, 70000.0, 0},
    {99, 130, 80000.0, 0},
    {115, 108, 90000.0, 0},
};
// clang-format on

// clang-format off
static const NonlinearityRow thousands_table[] = {
    {141, 77, 0.0, 0},
    {179, 90, 1000.0, 0},
    {204, 124, 2000.0, 0},
    {204, 165, 3000.0, 0},
    {180, 198, 4000.0, 0},
    {140, 244, 5000.0, 0},
    {101, 198, 6000.0, 0},
    {77, 164, 7000.0, 0},
    {77, 123, 8000.0, 0},
    {102, 90, 9000.0, 0},
};
// clang-format on

// clang-format off
static const NonlinearityRow hundreds_table[] = {
    {141, 44, 0.0, 0},
    {199, 62, 100.0, 0},
    {237, 113, 200.0, 0},
    {237, 176, 300.0, 0},
    {200, 225, 400.0, 0},
    {140, 244, 500.0, 0},
    {82, 224, 600.0, 0},
    {46, 174, 700.0, 0},
    {47, 113, 800.0, 0},
    {82, 63, 900.0, 0},
};
// clang-format on

namespace {
extern StaticImage altimeter_dial;
extern StringElement setting_window;
extern Needle ten_thousands_hand;
extern Needle thousands_hand;
extern Needle hundreds_hand;

ElementHeader* altimeter_dial_next[] = {&setting_window.header, nullptr};
ElementHeader* setting_window_next[] = {&ten_thousands_hand.header, nullptr};
ElementHeader* ten_thousands_hand_next[] = {&thousands_hand.header, nullptr};
ElementHeader* thousands_hand_next[] = {&hundreds_hand.header, nullptr};

StaticImage altimeter_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ALTIMETER_DIAL,
    .gauge = &altitude_gauge,
    .next = altimeter_dial_next,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

StringElement setting_window = {
    .header = {.kind = ELEMENT_STRING,
               .bitmap = BITMAP_NONE,
               .position = {203, 131},
               .gauge = &altitude_gauge,
               .next = setting_window_next,
               .failures = altimeter_failures,
               .image_flags = IMAGE_TRANSPARENT | IMAGE_DYNAMIC | IMAGE_REDRAW},
    .sources = {{.token = TOKEN_BAROMETRIC_SETTING}, {}, {}},
    .box_width = 50,
    .box_height = 33,
    .foreground = 0x0083A5AB,  // red 171, green 165, blue 131
    .background = 0x00000000,
    .highlight = 0x0083A5AB,
    .font_name = "Courier New",
    .font_weight = 400,
    .font_charset = 1,
    .font_height = 37,
    .text_flags = 4,
    .callback = setting_text_value,
};

Needle ten_thousands_hand = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_TEN_THOUSANDS_HAND,
               .position = {141, 143},
               .offset = {6, 5},
               .gauge = &altitude_gauge,
               .next = ten_thousands_hand_next,
               .failures = altimeter_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_ALTITUDE},
    .table = ten_thousands_table,
    .row_count = rows_of(ten_thousands_table),
    .rotation_limit = 12,
    .callback = altitude_hand_value,
};

Needle thousands_hand = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_THOUSANDS_HAND,
               .position = {141, 143},
               .offset = {30, 14},
               .gauge = &altitude_gauge,
               .next = thousands_hand_next,
               .failures = altimeter_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_ALTITUDE},
    .table = thousands_table,
    .row_count = rows_of(thousands_table),
    .rotation_limit = 12,
    .callback = altitude_hand_value,
};

Needle hundreds_hand = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_HUNDREDS_HAND,
               .position = {141, 143},
               .offset = {37, 8},
               .gauge = &altitude_gauge,
               .failures = altimeter_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_ALTITUDE},
    .table = hundreds_table,
    .row_count = rows_of(hundreds_table),
    .rotation_limit = 12,
    .callback = altitude_hand_value,
};

ElementHeader* altimeter_root = &altimeter_dial.header;

TooltipArg altitude_tooltip_args[] = {tooltip_number(TOKEN_ALTITUDE, altitude_tooltip)};
TooltipArg setting_tooltip_args[] = {tooltip_number(TOKEN_BAROMETRIC_SETTING, setting_tooltip)};

// The knob halves share column 33; the left half, tried first, takes it.
MouseArea altimeter_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Altimeter (%1!d! feet)", altitude_tooltip_args),
    mouse_parent_corners(10, 239, 58, 285),  // the setting knob
    mouse_tooltip("Altimeter Calibration Knob (%1!1.2f! inHg)", setting_tooltip_args),
    mouse_end_parent(),
    mouse_click(10, 239, 24, 46, CURSOR_DOWN, MOUSE_LEFT_CLICK, setting_knob_left),
    mouse_click(33, 239, 24, 46, CURSOR_UP, MOUSE_LEFT_CLICK, setting_knob_right),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader altitude_gauge =
    gauge_header("Altitude", 283, &altimeter_root, altimeter_mouse, altimeter_gauge_callback);

// Gauge callback: called with every service message; on message 6, before
// each update, it reads the host's unit system. Only the exact double 2.0
// (all 64 bits) means metric; any other content, whatever the look-up
// left in the record, means feet.
static void altimeter_gauge_callback(GaugeHeader*, int32_t message, uint32_t)
{
    if (message != SERVICE_PRE_UPDATE) return;
    lookup_token(&unit_system_var);
    if (token_bits(&unit_system_var) == double_bits(2.0))
        altitude_in_feet = 0;
    else
        altitude_in_feet = 1;
}

// Altitude in feet, whatever unit the host gives it in.
static double altitude_feet(double altitude)
{
    double a = altitude;
    if (altitude_in_feet == 0) a = a / 0.305;
    return a;
}

// Element callback of all three hands: called on every update. Returns the
// whole altitude, not reduced to one turn of the hand.
static double altitude_hand_value(Needle* needle)
{
    return altitude_feet(needle->source.value);
}

// What the setting window shows. The text must be the same in the native
// build (glibc's printf) and in the Windows build (msvcrt's printf), and
// must stay far from the end of the host's buffer, so:
// - NaN, the infinities and settings of a million or more either way, which
//   no pressure unit (inHg, hPa, mmHg) can mean, show the fixed text "--.-":
//   the two printfs spell NaN and infinity differently, and "%4.1f" of 1e300
//   runs to 300 digits.
// - Every other setting is printed with "%4.1f" (at most 10 bytes with the
//   terminator), after two adjustments where the printfs disagree: a setting
//   exactly half-way between two tenths (k + 0.25 or k + 0.75, the only such
//   doubles) is rounded away from zero (glibc rounds it to even), and a
//   setting that shows as zero loses its sign (msvcrt drops it, glibc keeps
//   it). Below a million, both printfs round every other double alike.
static const char setting_placeholder[] = "--.-";
static const double setting_limit = 1000000.0;

static double setting_to_print(double s)
{
    if (s > -0.05 && s < 0.05) return 0.0;
    double quarters = s * 4;  // exact: a power of two
    int64_t q = trunc_to_int64(quarters);
    if ((double)q == quarters && (q & 1) != 0) {
        // s * 10 is exact here, and so is the whole number beside it.
        return (s * 10 + (s > 0 ? 0.5 : -0.5)) / 10;
    }
    return s;
}

// Element callback of the setting window: called on every update. Writes
// the setting with one decimal into the host's text buffer of
// STRING_BUFFER_SIZE bytes; returns the setting unchanged.
static double setting_text_value(StringElement* string)
{
    double s = string->sources[0].value;
    if (s > -setting_limit && s < setting_limit) {
        snprintf(string->text, STRING_BUFFER_SIZE, "%4.1f", setting_to_print(s));
    } else {
        snprintf(string->text, STRING_BUFFER_SIZE, "%s", setting_placeholder);
    }
    return s;
}

// Mouse callback of the knob's left half: called on a left click.
static int32_t setting_knob_left(Point*, uint32_t)
{
    trigger_key_event(KEY_ALTIMETER_KNOB_LEFT, 0);
    return 1;
}

// Mouse callback of the knob's right half: called on a left click.
static int32_t setting_knob_right(Point*, uint32_t)
{
    trigger_key_event(KEY_ALTIMETER_KNOB_RIGHT, 0);
    return 1;
}

// Tooltip callback of the dial: called while the pointer rests on it;
// always in feet.
static double altitude_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return altitude_feet(source->value);
}

// Tooltip callback of the setting knob.
static double setting_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return source->value;
}
