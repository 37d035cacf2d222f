// "Ammeter": the charge current in amperes on a dial centred on 0, minus to
// the left and plus to the right.
#include "electric.h"

enum : int32_t {
    BMP_AMMETER_DIAL = 3300,
    BMP_AMMETER_COVER = 3400,
    BMP_AMMETER_NEEDLE = 3500,
};

enum : uint32_t {
    TOKEN_AMPERES = 754,  // negative toward the minus side
};

static double ammeter_needle_value(Needle* needle);
static double ammeter_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord ammeter_failures[] = {{20, 2, 0}, FAILURE_END};

// The scale ends at +-40; the host carries values up to the +-50 clamp on
// beyond the end rows.
static const NonlinearityRow ammeter_table[] = {
    {42, 93, -40.0, 0}, {72, 77, -20.0, 0}, {105, 72, 0.0, 0}, {138, 78, 20.0, 0}, {168, 92, 40.0, 0},
};

namespace {
extern StaticImage ammeter_dial;
extern Needle ammeter_needle;
extern StaticImage ammeter_cover;

ElementHeader* ammeter_dial_next[] = {&ammeter_needle.header, nullptr};
ElementHeader* ammeter_needle_next[] = {&ammeter_cover.header, nullptr};

StaticImage ammeter_dial = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_AMMETER_DIAL,
    .gauge = &ammeter_gauge,
    .next = ammeter_dial_next,
    .failures = ammeter_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Needle ammeter_needle = {
    .header = {.kind = ELEMENT_NEEDLE,
               .bitmap = BMP_AMMETER_NEEDLE,
               .position = {105, 182},
               .offset = {12, 3},
               .gauge = &ammeter_gauge,
               .next = ammeter_needle_next,
               .failures = ammeter_failures,
               .image_flags = IMAGE_FLAGS_NEEDLE},
    .source = {.token = TOKEN_AMPERES},
    .table = ammeter_table,
    .row_count = rows_of(ammeter_table),
    .rotation_limit = 12,
    .callback = ammeter_needle_value,
};

// The bezel and the cover plate that hides the needle's root.
StaticImage ammeter_cover = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_AMMETER_COVER,
    .gauge = &ammeter_gauge,
    .failures = ammeter_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* ammeter_root = &ammeter_dial.header;

TooltipArg ammeter_tooltip_args[] = {tooltip_number(TOKEN_AMPERES, ammeter_tooltip)};

MouseArea ammeter_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Ammeter (%1!d!A)", ammeter_tooltip_args),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader ammeter_gauge = gauge_header("Ammeter", 210, &ammeter_root, ammeter_mouse);

// Amperes held to +-50, upper bound first; NaN passes both tests unchanged.
static double ammeter_amperes(double amperes)
{
    if (amperes > 50) amperes = 50;
    if (amperes < -50) amperes = -50;
    return amperes;
}

// Element callback of the needle: called on every update.
static double ammeter_needle_value(Needle* needle)
{
    return ammeter_amperes(needle->source.value);
}

// Tooltip callback of the dial: called while the pointer rests on it.
static double ammeter_tooltip(TOOLTIP_CALLBACK_PARAMS)
{
    return ammeter_amperes(source->value);
}
