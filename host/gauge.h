// One gauge as the host runs it: its element chain with the drawing values
// of the latest update, its mouse areas and its tooltips.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "framework/gauge.h"
#include "host.h"
#include "needle_map.h"

namespace gaugehost {

// Drawing values of one element after an update.
struct ElementState {
    ElementHeader* element = nullptr;
    int index = 0;  // from 1, in drawing order
    bool updated = false;  // has been through at least one update
    bool frozen = false;   // under a failure of action 1 at the latest update

    // Values returned by the element's callbacks (or taken from its token),
    // in axis order: needle, icon, string: one; slider, moving image: x, y;
    // sprite: x, y, rotation.
    std::vector<double> values;

    // Needle: drawn and target angle (unwrapped screen degrees, clockwise
    // from the x axis); nullopt target when the value maps to no direction.
    double angle = 0;
    std::optional<double> target_angle;
    NeedleMap map;

    int picture = 0;           // icon
    int offset_x = 0;          // slider: pixels right and down
    int offset_y = 0;
    double shift_x = 0;        // sprite: pixels right and down, degrees clockwise
    double shift_y = 0;
    double rotation = 0;
    double strip_x = 0;        // moving image: position in 0..1 per axis
    double strip_y = 0;
    std::string text;          // string (Windows-1252)
    bool text_overflow = false;  // the callback wrote past the host's buffer

    // Host-owned text buffer handed to a string element; the guard bytes
    // after it catch a callback that writes too far.
    std::array<char, STRING_BUFFER_SIZE + 32> buffer{};

    uint32_t kind() const { return element->kind; }
    bool hidden() const { return (element->image_flags & IMAGE_HIDDEN) != 0; }
    // The bitmap drawn for the element now (an icon's current picture).
    int shown_bitmap() const;
};

// A tooltip or click area found under the pointer.
struct AreaHit {
    const MouseArea* area = nullptr;
    int record = 0;  // from 1, in stored order
};

class Gauge {
public:
    Gauge(Host& host, Module& module, GaugeHeader* header);

    GaugeHeader* header() const { return header_; }
    Module& module() const { return *module_; }
    Host& host() const { return *host_; }
    const std::string& name() const { return name_; }
    std::vector<ElementState>& elements() { return elements_; }
    const std::vector<ElementState>& elements() const { return elements_; }

    // Default size (the header's size field as the module stores it) and the
    // background bitmap's size; 0 where the bitmap is missing.
    int default_width() const { return default_width_; }
    int background_width() const;
    int background_height() const;

    // Draws the gauge at another width: pointer positions are taken in drawn
    // units and the drawn width is written into the header's size field
    // before each service message 6.
    void set_drawn_width(int width) { drawn_width_ = width; }
    int drawn_width() const { return drawn_width_; }
    double scale() const { return double(drawn_width_) / default_width_; }

    // One update: service message 6 to the gauge callback, then the element
    // chain in order (token look-ups, callbacks, drawing values).
    void update();

    // Mouse, with positions in drawn units from the gauge's top-left corner.
    // A press calls the first click area (stored order) that contains the
    // point and reacts to the action; returns whether one was called.
    bool press(double x, double y, uint32_t flags = MOUSE_LEFT_CLICK);
    // With the button held on a drag area: calls it again (also outside).
    void move(double x, double y);
    void release();
    // Host time passes while the button is held: repeat areas are called
    // again every 100 ms.
    void hold_for(double seconds);
    bool button_held() const { return held_ != nullptr; }

    // The click area that a press at the point would call, if any.
    std::optional<AreaHit> click_area_at(double x, double y, uint32_t flags = MOUSE_LEFT_CLICK) const;
    // The tooltip record shown at the point: the innermost parent area with
    // a tooltip that contains it, else the whole-gauge tooltip.
    std::optional<AreaHit> tooltip_area_at(double x, double y) const;
    // The tooltip text at the point (UTF-8), calling its callbacks.
    std::optional<std::string> tooltip_at(double x, double y);
    std::string format_tooltip(const MouseArea& tooltip);

    static constexpr double kRepeatInterval = 0.1;

private:
    void collect(ElementHeader* element);
    void update_element(ElementState& state);
    bool contains(const Box& box, double gx, double gy) const;
    void call_mouse(const MouseArea& area, double x, double y, uint32_t flags);
    void lookup(TokenVar& var);

    Host* host_;
    Module* module_;
    GaugeHeader* header_;
    std::string name_;
    std::vector<ElementState> elements_;
    int default_width_ = 0;
    int drawn_width_ = 0;

    const MouseArea* held_ = nullptr;
    double held_x_ = 0, held_y_ = 0;
    double repeat_clock_ = 0;
};

const char* element_kind_name(uint32_t kind);

}  // namespace gaugehost
