// What the artwork takes from the modules themselves: each gauge's element
// records as the host reads them, and the host's own mapping of values to
// needle directions and strip positions, so that every mark stands where
// the host will point for its value.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/gauge.h"
#include "host/gauge.h"
#include "host/host.h"

namespace art {

// One native module loaded through the host library.
class ModuleRecords {
public:
    ModuleRecords(const std::string& gauges_dir, const std::string& module_name);
    const std::string& name() const { return name_; }
    gaugehost::Module& module() { return *module_; }
    // The gauge of that name, or null when the module does not have it (yet).
    GaugeHeader* find(const std::string& gauge_name) const { return module_->find_gauge(gauge_name); }
    gaugehost::Host& host() { return host_; }
    gaugehost::TokenStore& tokens() { return tokens_; }

private:
    std::string name_;
    gaugehost::TokenStore tokens_;
    gaugehost::Host host_{tokens_};
    gaugehost::Module* module_ = nullptr;
};

// One gauge's records. Element numbers count from 1 in drawing order; each
// accessor checks the element's kind and throws with a clear message when
// the records are not what the artwork is drawn for.
class GaugeRecords {
public:
    GaugeRecords(ModuleRecords& module, GaugeHeader* header);

    const std::string& name() const { return gauge_.name(); }
    int element_count() const { return int(gauge_.elements().size()); }
    const ElementHeader& element(int index, ElementKind kind) const;
    int bitmap(int index, ElementKind kind) const { return element(index, kind).bitmap; }
    Point position(int index, ElementKind kind) const { return element(index, kind).position; }

    const Needle& needle(int index) const;
    // Rotation centre of a needle, in gauge pixels.
    Point centre(int index) const { return needle(index).header.position; }
    // Pivot of a needle in its bitmap.
    Point pivot(int index) const { return needle(index).header.offset; }
    // Screen direction (degrees clockwise from x) in which the host points
    // the needle for the value; beyond the end rows the host's extension.
    double angle(int index, double value) const;
    // Values of the needle's table rows in stored order.
    std::vector<double> row_values(int index) const;

    const Icon& icon(int index) const;
    const Slider& slider(int index) const;
    const Sprite& sprite(int index) const;
    const MovingImage& moving(int index) const;
    const StringElement& string_element(int index) const;

    // The moving image's position (0..1 along x) that the host shows when
    // the element's x source token holds `token_value`: one update of the
    // gauge through the host.
    double strip_position(int index, double token_value);
    // The slider's downward offset in pixels when its y source token holds
    // `token_value`: one update of the gauge through the host.
    int slider_offset(int index, double token_value);

    // Click areas in stored order, and parent areas that carry a tooltip
    // (the box of the parent record before each tooltip record).
    std::vector<Box> click_boxes() const;
    std::vector<Box> tooltip_boxes() const;

private:
    ModuleRecords* module_;
    gaugehost::Gauge gauge_;
};

}  // namespace art
