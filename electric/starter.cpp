// "Starter": the engine starter pedal on the cockpit floor. The pedal shows
// the host's starter state; pressing it engages the starter, again on every
// repeat while the button is held. It never disengages the starter: the
// host does that by itself.
#include "electric.h"

enum : int32_t {
    BMP_STARTER_FLOOR = 3800,
    BMP_STARTER_PEDAL = 3900,  // 3900 released, 3901 pressed
};

enum : uint32_t {
    TOKEN_STARTER = 401,  // 0 not engaged, 1 engaged
};

enum : uint32_t {
    KEY_STARTER_ENGAGE = 0x1018C,
};

static int32_t starter_pedal_pressed(Point* position, uint32_t mouse_flags);

static const FailureRecord starter_failures[] = {FAILURE_END};

namespace {
extern StaticImage starter_floor;
extern Icon starter_pedal;

ElementHeader* starter_floor_next[] = {&starter_pedal.header, nullptr};

StaticImage starter_floor = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_STARTER_FLOOR,
    .gauge = &starter_gauge,
    .next = starter_floor_next,
    .failures = starter_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

Icon starter_pedal = {
    .header = {.kind = ELEMENT_ICON,
               .bitmap = BMP_STARTER_PEDAL,
               .position = {5, 20},
               .gauge = &starter_gauge,
               .failures = starter_failures,
               .image_flags = IMAGE_FLAGS_ICON},
    .source = {.token = TOKEN_STARTER},
    .picture_count = 2,
    .callback = switch_picture,
};

ElementHeader* starter_root = &starter_floor.header;

TooltipArg starter_tooltip_args[] = {tooltip_text(0, empty_tooltip_text)};

MouseArea starter_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_parent(0, 0, 267, 329),
    mouse_tooltip("Starter Pedal", starter_tooltip_args),
    mouse_end_parent(),
    mouse_click(41, 20, 144, 284, CURSOR_HAND, MOUSE_CLICK_REPEAT, starter_pedal_pressed),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader starter_gauge =
    gauge_header("Starter", 267, &starter_root, starter_mouse, stateless_gauge_callback);

// Mouse callback of the pedal: called on the press and again on every repeat
// while the button stays down; nothing happens on release.
static int32_t starter_pedal_pressed(Point*, uint32_t)
{
    trigger_key_event(KEY_STARTER_ENGAGE, 1);
    return 1;
}
