// The records by which a gauge module describes its gauges to the host:
// gauge header, element records of the seven kinds, token variables,
// nonlinearity tables, failure lists, mouse areas and tooltips.
//
// Ownership: every record is static, writable module data that lives from
// load to unload. Fields marked "host" are written by the host only; fields
// marked "module" are set in the module's static data and never changed by
// the host. Callbacks write only image flags (element callbacks and mouse
// callbacks) and module variables.
//
// Field widths: 32-bit fields are fixed-width integers; pointers have the
// platform's width (32 bits in the Windows deliverables, whose layout is
// checked with static_asserts at the end of this header).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "abi.h"

struct GaugeHeader;
struct ElementHeader;
struct MouseArea;

// ---------------------------------------------------------------------------
// Token variables

// The host's value for one token. The value field holds a double; an
// enumerated token (the fuel tank selector) holds a 32-bit integer in its
// first (low-order) four bytes instead. Read such tokens with the helpers
// below, never through a differently typed pointer.
struct TokenVar {
    uint32_t token{};      // module: host token number; 0 = no token, no look-up
    uint32_t reserved1{};  // 0
    uint32_t reserved2{};  // 0
    uint32_t padding{};    // 0; keeps the value field 8-byte aligned in every build
    double value{};        // host: the token's current value, written by the look-up
    uint64_t reserved3{};  // 0
};

// ---------------------------------------------------------------------------
// Element records

enum ElementKind : uint32_t {
    ELEMENT_STATIC = 0,
    ELEMENT_NEEDLE = 1,
    ELEMENT_STRING = 2,
    ELEMENT_SLIDER = 3,
    ELEMENT_ICON = 4,
    ELEMENT_MOVING = 5,
    ELEMENT_SPRITE = 6,
};

// Image flags.
enum : uint32_t {
    IMAGE_TRANSPARENT = 0x1,  // colour (0,0,0) is not drawn
    IMAGE_DYNAMIC = 0x2,      // the element moves or changes
    IMAGE_REDRAW = 0x4,       // icons and the string
    IMAGE_NEEDLE_AA = 0x80,   // needles
    IMAGE_HIDDEN = 0x40000000u,

    IMAGE_FLAGS_STATIC = IMAGE_TRANSPARENT,                                     // 0x1
    IMAGE_FLAGS_NEEDLE = IMAGE_TRANSPARENT | IMAGE_DYNAMIC | IMAGE_NEEDLE_AA,  // 0x83
    IMAGE_FLAGS_MOVING = IMAGE_TRANSPARENT | IMAGE_DYNAMIC,                     // 0x3
    IMAGE_FLAGS_ICON = IMAGE_TRANSPARENT | IMAGE_DYNAMIC | IMAGE_REDRAW,       // 0x7
};

// Bitmap number of an element that has none (the string element).
enum : int32_t { BITMAP_NONE = -1 };

struct Point {
    int32_t x{};
    int32_t y{};
};

// One failure record: while the host reports the failure key as failed, it
// applies the failure action to the element. A list ends with {0, 0, 0}.
struct FailureRecord {
    uint32_t key{};
    uint32_t action{};  // 1: the element freezes as last drawn; 2: its value reads 0
    uint32_t reserved{};
};

#define FAILURE_END \
    { 0, 0, 0 }

// Common head of every element record.
struct ElementHeader {
    uint32_t kind{};                  // module: ElementKind
    int32_t bitmap{};                 // module: resource number, BITMAP_NONE for the string
    Point position{};                 // module: needle: rotation centre; others: top-left corner
    Point previous_position{};        // host
    Point offset{};                   // module: needle: pivot in its bitmap; sprite: texture centre
    GaugeHeader* gauge{};             // module: the gauge this element belongs to
    ElementHeader* previous{};        // host
    ElementHeader** next{};           // module: null-terminated list of next elements, or null
    const FailureRecord* failures{};  // module: failure list, or null
    uint32_t image_flags{};           // module, element and mouse callbacks: IMAGE_* bits
    uint32_t image_flags2{};          // 0
    uint32_t reserved{};              // 0
};

// A row of a needle's nonlinearity table: the value at which the needle
// points from its rotation centre at the pixel point (x, y) of the gauge.
struct NonlinearityRow {
    int32_t x{};
    int32_t y{};
    double value{};
    double angle{};  // 0; the host derives each row's direction from x and y
};

struct Needle;
struct StringElement;
struct Slider;
struct Icon;
struct MovingImage;
struct Sprite;

// Element callbacks: called by the host on every update of the element,
// hidden or not, after it has looked up the element's source tokens. They
// return the element's value for one axis and may set or clear
// IMAGE_HIDDEN in the record's image flags.
typedef double(GAUGE_CALL* NeedleCallback)(Needle* needle);
typedef double(GAUGE_CALL* StringCallback)(StringElement* string);
typedef double(GAUGE_CALL* SliderCallback)(Slider* slider);
typedef double(GAUGE_CALL* IconCallback)(Icon* icon);
typedef double(GAUGE_CALL* MovingCallback)(MovingImage* moving);
typedef double(GAUGE_CALL* SpriteCallback)(Sprite* sprite);

struct StaticImage {
    ElementHeader header{};
};

struct Needle {
    ElementHeader header{};
    TokenVar source{};                // module: token; host: value
    const NonlinearityRow* table{};   // module
    uint32_t row_count{};             // module
    uint32_t rotation_limit{};        // module: largest turn per update, whole degrees
    NeedleCallback callback{};        // module
};

// Size of the text buffer the host hands to a string element, terminator
// included.
enum : uint32_t { STRING_BUFFER_SIZE = 32 };

struct StringElement {
    ElementHeader header{};
    TokenVar sources[3]{};      // module: tokens; host: values (only the first is used)
    char* text{};               // host: buffer of STRING_BUFFER_SIZE bytes, filled by the callback
    uint32_t box_width{};       // module: text box, pixels
    uint32_t box_height{};
    uint32_t foreground{};      // module: colours as 0x00BBGGRR
    uint32_t background{};
    uint32_t highlight{};
    char font_name[32]{};       // module: zero-terminated
    uint32_t font_weight{};
    uint32_t font_charset{};
    uint32_t font_height{};     // pixels
    uint32_t text_flags{};
    StringCallback callback{};  // module
};

struct SliderAxis {
    TokenVar source{};  // module: token (0: none); host: value
    double scale{};     // module: pixels per unit of the callback's result
};

struct Slider {
    ElementHeader header{};
    SliderAxis x{};
    SliderAxis y{};
    SliderCallback x_callback{};  // module, or null
    SliderCallback y_callback{};
};

struct Icon {
    ElementHeader header{};
    TokenVar source{};         // module: token (0: none); host: value
    uint32_t switch_type{};    // 0
    uint32_t picture_count{};  // module: pictures are bitmaps bitmap .. bitmap + count - 1
    double scale{};            // 0
    int32_t picture_offset{};  // 0
    IconCallback callback{};   // module
};

struct MovingAxis {
    TokenVar source{};  // module: token (0: none); host: value
    double minimum{};   // module: both 0: the axis does not move
    double maximum{};
};

// A moving picture (bitmap) seen through its window (bitmap + 1).
struct MovingImage {
    ElementHeader header{};
    MovingAxis x{};
    MovingAxis y{};
    MovingCallback x_callback{};  // module
    MovingCallback y_callback{};
};

struct SpriteAxis {
    TokenVar source{};  // module: token (0: none); host: value
    double scale{};     // module
};

// A texture (bitmap) shown through its mask (bitmap + 1), shifted in x and y
// and turned about the texture centre (header offset).
struct Sprite {
    ElementHeader header{};
    SpriteAxis x{};
    SpriteAxis y{};
    SpriteAxis rotation{};
    float texture_scale_x{};  // module: magnification
    float texture_scale_y{};
    SpriteCallback x_callback{};  // module, or null: the source token's value is used
    SpriteCallback y_callback{};
    SpriteCallback rotation_callback{};
};

// ---------------------------------------------------------------------------
// Mouse areas and tooltips

enum MouseAreaKind : uint32_t {
    MOUSE_END = 0,
    MOUSE_PARENT = 1,
    MOUSE_CLICK = 2,
    MOUSE_END_PARENT = 3,
    MOUSE_TOOLTIP = 4,
};

// Mouse actions (mouse flags).
enum : uint32_t {
    MOUSE_LEFT_CLICK = 0x20000000,
    MOUSE_LEFT_DRAG = 0x00800000,
    MOUSE_REPEAT = 0x00200000,
    MOUSE_CLICK_DRAG = MOUSE_LEFT_CLICK | MOUSE_LEFT_DRAG,      // 0x20800000
    MOUSE_CLICK_REPEAT = MOUSE_LEFT_CLICK | MOUSE_REPEAT,       // 0x20200000
};

// Cursor codes (pointer pictures).
enum : int32_t {
    CURSOR_NONE = -1,
    CURSOR_UP = 1,      // moves a control up, on, clockwise or higher
    CURSOR_DOWN = 2,    // moves a control down, off, anticlockwise or lower
    CURSOR_HAND = 5,    // a button or lever acting as one
};

struct Box {
    int32_t x{};
    int32_t y{};
    int32_t width{};   // 0, 0, 0, 0 stands for the whole gauge
    int32_t height{};
};

// Mouse callback: called by the host when an action named in the area's
// mouse flags happens inside its box. The position is in the units in
// which the gauge is drawn, from its top-left corner. Returns 1.
typedef int32_t(GAUGE_CALL* MouseCallback)(Point* position, uint32_t mouse_flags);

// Tooltip callbacks get six argument words from the host; only the fifth,
// the argument's token variable (already looked up), is the module's.
#define TOOLTIP_CALLBACK_PARAMS \
    uint32_t, uint32_t, uint32_t, uint32_t, TokenVar *source, uint32_t
typedef double(GAUGE_CALL* TooltipNumberCallback)(TOOLTIP_CALLBACK_PARAMS);
typedef const char*(GAUGE_CALL* TooltipTextCallback)(TOOLTIP_CALLBACK_PARAMS);

struct TooltipArg {
    TokenVar source{};                // module: token (0: none); host: value
    uint32_t reserved1{};             // 0
    uint32_t reserved2{};             // 0
    TooltipNumberCallback number{};   // module: for numeric inserts, or null
    void* reserved3{};                // null
    TooltipTextCallback text{};       // module: for %n!s! inserts, or null
};

struct MouseArea {
    uint32_t kind{};      // module: MouseAreaKind
    Box box{};            // module: parents and click areas
    int32_t cursor{};     // module: click areas; CURSOR_NONE elsewhere
    uint32_t help_id{};   // module: host help text, 0 for none
    uint32_t flags{};     // module: click areas: mouse actions that call the routine
    uint32_t event_id{};  // module: tooltip records: number of arguments
    union {
        MouseCallback callback{};    // click area
        const char* tooltip_text;  // tooltip record: Windows-1252 format text
        void* none;
    } routine{};
    TooltipArg* args{};  // tooltip record: event_id arguments
};

// Constructors of mouse-list records, so that a gauge's mouse list reads
// like its table. Boxes given as corners (x1, y1)-(x2, y2) become
// x1, y1, x2 - x1, y2 - y1.
constexpr MouseArea mouse_parent(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t help_id = 0)
{
    return MouseArea{MOUSE_PARENT, {x, y, w, h}, CURSOR_NONE, help_id, 0, 0, {nullptr}, nullptr};
}
constexpr MouseArea mouse_parent_corners(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return mouse_parent(x1, y1, x2 - x1, y2 - y1);
}
template <size_t N>
constexpr MouseArea mouse_tooltip(const char* text, TooltipArg (&args)[N])
{
    MouseArea area{MOUSE_TOOLTIP, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, N, {nullptr}, args};
    area.routine.tooltip_text = text;
    return area;
}
constexpr MouseArea mouse_click(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cursor,
                                uint32_t flags, MouseCallback callback)
{
    MouseArea area{MOUSE_CLICK, {x, y, w, h}, cursor, 0, flags, 0, {nullptr}, nullptr};
    area.routine.callback = callback;
    return area;
}
constexpr MouseArea mouse_click_corners(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                        int32_t cursor, uint32_t flags, MouseCallback callback)
{
    return mouse_click(x1, y1, x2 - x1, y2 - y1, cursor, flags, callback);
}
constexpr MouseArea mouse_end_parent()
{
    return MouseArea{MOUSE_END_PARENT, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, 0, {nullptr}, nullptr};
}
constexpr MouseArea mouse_end()
{
    return MouseArea{MOUSE_END, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, 0, {nullptr}, nullptr};
}

// Tooltip argument constructors.
constexpr TooltipArg tooltip_number(uint32_t token, TooltipNumberCallback callback)
{
    return TooltipArg{{token, 0, 0, 0, 0.0, 0}, 0, 0, callback, nullptr, nullptr};
}
constexpr TooltipArg tooltip_text(uint32_t token, TooltipTextCallback callback)
{
    return TooltipArg{{token, 0, 0, 0, 0.0, 0}, 0, 0, nullptr, nullptr, callback};
}

// ---------------------------------------------------------------------------
// Gauge header

enum : uint32_t {
    GAUGE_HEADER_VERSION = 700,
    SERVICE_PRE_UPDATE = 6,  // sent to the gauge callback before each update
};

// Gauge callback: called by the host with a service message; the gauges act
// on SERVICE_PRE_UPDATE only.
typedef void(GAUGE_CALL* GaugeCallback)(GaugeHeader* gauge, int32_t message, uint32_t extra);

// The standard routines: each hands the module's first gauge's root element
// to the host's element-list service of the same name.
typedef void(GAUGE_CALL* StandardRoutine)();
typedef void(GAUGE_CALL* StandardRoutineWithValue)(uint32_t value);

struct GaugeHeader {
    uint32_t version{};  // module: GAUGE_HEADER_VERSION
    const char* name{};  // module: the name panel configurations use
    ElementHeader** element_list{};  // module: one variable holding the root element
    StandardRoutine query{};
    StandardRoutineWithValue install{};
    StandardRoutine initialise{};
    StandardRoutine update{};
    StandardRoutineWithValue generate{};
    StandardRoutine draw{};
    StandardRoutine kill{};
    uint32_t reserved1{};   // 0
    uint32_t size{};        // module: width of the background bitmap; host: drawn width
    uint32_t reserved2{};   // 0
    MouseArea* mouse_list{};   // module
    GaugeCallback callback{};  // module, or null
    void* host_data{};         // host: free for the host's own use
    uint32_t reserved3{};      // 0
    uint32_t reserved4{};      // 0
};

// ---------------------------------------------------------------------------
// Host service table (its address is stored in ImportTable entry 1)

typedef void(GAUGE_CALL* ElementListService)(ElementHeader* root);
typedef void(GAUGE_CALL* ElementListValueService)(ElementHeader* root, uint32_t value);
typedef void(GAUGE_CALL* ToggleWindowService)(uint32_t window);
typedef void(GAUGE_CALL* TriggerKeyService)(uint32_t key_event, uint32_t value);
typedef void(GAUGE_CALL* LookupVarService)(TokenVar* var);

struct HostServiceTable {
    void* entries_0_23[24]{};
    ElementListService query{};                 // 24
    ElementListValueService install{};          // 25
    ElementListService initialise{};            // 26
    ElementListService update{};                // 27
    ElementListValueService generate{};         // 28
    ElementListService draw{};                  // 29
    void* entry_30{};
    ElementListService kill{};                  // 31
    void* entries_32_34[3]{};
    ToggleWindowService toggle_window{};        // 35
    TriggerKeyService trigger_key_event{};      // 36
    void* entries_37_39[3]{};
    LookupVarService lookup_var{};              // 40
    void* entries_41_63[23]{};
};

static_assert(offsetof(HostServiceTable, query) == 24 * sizeof(void*), "entry 24");
static_assert(offsetof(HostServiceTable, kill) == 31 * sizeof(void*), "entry 31");
static_assert(offsetof(HostServiceTable, toggle_window) == 35 * sizeof(void*), "entry 35");
static_assert(offsetof(HostServiceTable, trigger_key_event) == 36 * sizeof(void*), "entry 36");
static_assert(offsetof(HostServiceTable, lookup_var) == 40 * sizeof(void*), "entry 40");

// ---------------------------------------------------------------------------
// Module symbols

struct ImportEntry {
    uint32_t id{};                  // 0x0F for the service table entry, 0 at the end
    HostServiceTable* services{};   // host: stored when the module is loaded
};

enum : uint32_t {
    IMPORT_SERVICE_TABLE_ID = 0x0F,
    LINKAGE_MODULE_ID = 0x13,
};

typedef void(GAUGE_CALL* ModuleRoutine)();

// The fixed head of Linkage; the null-terminated gauge list follows it.
struct LinkageHead {
    uint32_t module_id{};  // LINKAGE_MODULE_ID
    ModuleRoutine init{};
    ModuleRoutine deinit{};
    uint32_t zero[3]{};
};

template <size_t GaugeCount>
struct ModuleLinkage {
    LinkageHead head{};
    GaugeHeader* gauges[GaugeCount + 1]{};  // null-terminated
};

// Where the host finds the gauge list behind a Linkage it knows only by address.
inline GaugeHeader* const* linkage_gauges(const LinkageHead* head)
{
    return reinterpret_cast<GaugeHeader* const*>(reinterpret_cast<const char*>(head) +
                                                  sizeof(ModuleLinkage<0>) - sizeof(GaugeHeader*));
}

// ---------------------------------------------------------------------------
// Layout of the 32-bit Windows deliverables.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4, "32-bit pointers");
static_assert(sizeof(TokenVar) == 32 && offsetof(TokenVar, value) == 16, "token variable");
static_assert(sizeof(ElementHeader) == 60, "element header");
static_assert(offsetof(ElementHeader, gauge) == 32 && offsetof(ElementHeader, image_flags) == 48,
              "element header fields");
static_assert(sizeof(NonlinearityRow) == 24, "nonlinearity row");
static_assert(sizeof(FailureRecord) == 12, "failure record");
static_assert(sizeof(MouseArea) == 44 && offsetof(MouseArea, routine) == 36, "mouse area");
static_assert(offsetof(GaugeHeader, size) == 44 && sizeof(GaugeHeader) == 72, "gauge header");
static_assert(sizeof(ImportEntry) == 8, "import table entry");
static_assert(sizeof(LinkageHead) == 24, "linkage head");
static_assert(offsetof(Needle, source) == 64, "needle token after the header");
#endif
