// "Icon_Engine_Quadrant", "Icon_Throttle_Quadrant", "Icon_Map": three 19x19
// buttons. The first two open and close the panel windows of the engine
// gauges and of the throttle quadrant, the third asks the host for its
// flight map. They keep no state: each click goes straight to the host.
#include "flight.h"

enum : int32_t {
    BMP_ICON_ENGINE_QUADRANT = 24000,
    BMP_ICON_THROTTLE_QUADRANT = 25000,
    BMP_ICON_MAP = 26000,
};

// Panel windows of the aircraft's panel configuration.
enum : uint32_t {
    WINDOW_ENGINE_GAUGES = 10000,
    WINDOW_THROTTLE_QUADRANT = 10,
};

enum : uint32_t { KEY_SHOW_FLIGHT_MAP = 0x10380 };

// The tooltip texts have no insert; each argument shows its empty text.
static const char engine_quadrant_tooltip_string[] = "";
static const char throttle_quadrant_tooltip_string[] = "";
static const char map_tooltip_string[] = "";

static int32_t engine_quadrant_click(Point* position, uint32_t mouse_flags);
static int32_t throttle_quadrant_click(Point* position, uint32_t mouse_flags);
static int32_t map_click(Point* position, uint32_t mouse_flags);
static const char* engine_quadrant_tooltip(TOOLTIP_CALLBACK_PARAMS);
static const char* throttle_quadrant_tooltip(TOOLTIP_CALLBACK_PARAMS);
static const char* map_tooltip(TOOLTIP_CALLBACK_PARAMS);

static const FailureRecord icon_failures[] = {FAILURE_END};

namespace {

// "Icon_Engine_Quadrant"

StaticImage engine_quadrant_picture = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ICON_ENGINE_QUADRANT,
    .gauge = &icon_engine_quadrant_gauge,
    .failures = icon_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* engine_quadrant_root = &engine_quadrant_picture.header;

TooltipArg engine_quadrant_tooltip_args[] = {tooltip_text(0, engine_quadrant_tooltip)};

MouseArea engine_quadrant_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Display/Hide Engine Gauges Quadrant", engine_quadrant_tooltip_args),
    mouse_click(0, 0, 19, 19, CURSOR_HAND, MOUSE_LEFT_CLICK, engine_quadrant_click),
    mouse_end_parent(),
    mouse_end(),
};

// "Icon_Throttle_Quadrant"

StaticImage throttle_quadrant_picture = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ICON_THROTTLE_QUADRANT,
    .gauge = &icon_throttle_quadrant_gauge,
    .failures = icon_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* throttle_quadrant_root = &throttle_quadrant_picture.header;

TooltipArg throttle_quadrant_tooltip_args[] = {tooltip_text(0, throttle_quadrant_tooltip)};

MouseArea throttle_quadrant_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Display/Hide Throttle Quadrant", throttle_quadrant_tooltip_args),
    mouse_click(0, 0, 19, 19, CURSOR_HAND, MOUSE_LEFT_CLICK, throttle_quadrant_click),
    mouse_end_parent(),
    mouse_end(),
};

// "Icon_Map"

StaticImage map_picture = {{
    .kind = ELEMENT_STATIC,
    .bitmap = BMP_ICON_MAP,
    .gauge = &icon_map_gauge,
    .failures = icon_failures,
    .image_flags = IMAGE_FLAGS_STATIC,
}};

ElementHeader* map_root = &map_picture.header;

TooltipArg map_tooltip_args[] = {tooltip_text(0, map_tooltip)};

MouseArea map_mouse[] = {
    mouse_parent(0, 0, 0, 0),
    mouse_tooltip("Display Flight Map", map_tooltip_args),
    mouse_click(0, 0, 19, 19, CURSOR_HAND, MOUSE_LEFT_CLICK, map_click),
    mouse_end_parent(),
    mouse_end(),
};
}  // namespace

GaugeHeader icon_engine_quadrant_gauge =
    gauge_header("Icon_Engine_Quadrant", 19, &engine_quadrant_root, engine_quadrant_mouse);
GaugeHeader icon_throttle_quadrant_gauge =
    gauge_header("Icon_Throttle_Quadrant", 19, &throttle_quadrant_root, throttle_quadrant_mouse);
GaugeHeader icon_map_gauge = gauge_header("Icon_Map", 19, &map_root, map_mouse);

// Mouse callbacks of the three buttons: called on a left click anywhere on
// the picture. The host keeps track of whether a window is open.
static int32_t engine_quadrant_click(Point*, uint32_t)
{
    toggle_panel_window(WINDOW_ENGINE_GAUGES);
    return 1;
}

static int32_t throttle_quadrant_click(Point*, uint32_t)
{
    toggle_panel_window(WINDOW_THROTTLE_QUADRANT);
    return 1;
}

static int32_t map_click(Point*, uint32_t)
{
    trigger_key_event(KEY_SHOW_FLIGHT_MAP, 0);
    return 1;
}

// Tooltip callbacks of the three buttons: called while the pointer rests
// on them.
static const char* engine_quadrant_tooltip(TOOLTIP_CALLBACK_NO_TOKEN)
{
    return engine_quadrant_tooltip_string;
}

static const char* throttle_quadrant_tooltip(TOOLTIP_CALLBACK_NO_TOKEN)
{
    return throttle_quadrant_tooltip_string;
}

static const char* map_tooltip(TOOLTIP_CALLBACK_NO_TOKEN)
{
    return map_tooltip_string;
}
