#include "records.h"

#include <filesystem>
#include <stdexcept>

namespace art {

ModuleRecords::ModuleRecords(const std::string& gauges_dir, const std::string& module_name) : name_(module_name)
{
    std::filesystem::path path = std::filesystem::path(gauges_dir) / gaugehost::module_file_name(module_name);
    module_ = &host_.load_module(path.string());
}

GaugeRecords::GaugeRecords(ModuleRecords& module, GaugeHeader* header)
    : module_(&module), gauge_(module.host(), module.module(), header)
{
}

const ElementHeader& GaugeRecords::element(int index, ElementKind kind) const
{
    if (index < 1 || index > element_count())
        throw std::runtime_error(name() + ": has no element " + std::to_string(index) + " (it has " +
                                 std::to_string(element_count()) + ")");
    const ElementHeader* e = gauge_.elements()[size_t(index - 1)].element;
    if (e->kind != kind)
        throw std::runtime_error(name() + ": element " + std::to_string(index) + " is a " +
                                 gaugehost::element_kind_name(e->kind) + ", the artwork expects a " +
                                 gaugehost::element_kind_name(kind));
    return *e;
}

const Needle& GaugeRecords::needle(int index) const
{
    const Needle& n = reinterpret_cast<const Needle&>(element(index, ELEMENT_NEEDLE));
    if (!n.table || n.row_count < 2)
        throw std::runtime_error(name() + ": needle " + std::to_string(index) + " has no table");
    return n;
}

double GaugeRecords::angle(int index, double value) const
{
    needle(index);
    auto a = gauge_.elements()[size_t(index - 1)].map.angle(value);
    if (!a) throw std::runtime_error(name() + ": no direction for value " + std::to_string(value));
    return *a;
}

std::vector<double> GaugeRecords::row_values(int index) const
{
    const Needle& n = needle(index);
    std::vector<double> values;
    for (uint32_t i = 0; i < n.row_count; ++i) values.push_back(n.table[i].value);
    return values;
}

const Icon& GaugeRecords::icon(int index) const
{
    return reinterpret_cast<const Icon&>(element(index, ELEMENT_ICON));
}

const Slider& GaugeRecords::slider(int index) const
{
    return reinterpret_cast<const Slider&>(element(index, ELEMENT_SLIDER));
}

const Sprite& GaugeRecords::sprite(int index) const
{
    return reinterpret_cast<const Sprite&>(element(index, ELEMENT_SPRITE));
}

const MovingImage& GaugeRecords::moving(int index) const
{
    return reinterpret_cast<const MovingImage&>(element(index, ELEMENT_MOVING));
}

const StringElement& GaugeRecords::string_element(int index) const
{
    return reinterpret_cast<const StringElement&>(element(index, ELEMENT_STRING));
}

double GaugeRecords::strip_position(int index, double token_value)
{
    const MovingImage& m = moving(index);
    if (m.x.source.token) module_->tokens().set(m.x.source.token, token_value);
    gauge_.update();
    return gauge_.elements()[size_t(index - 1)].strip_x;
}

int GaugeRecords::slider_offset(int index, double token_value)
{
    const Slider& s = slider(index);
    if (s.y.source.token) module_->tokens().set(s.y.source.token, token_value);
    gauge_.update();
    return gauge_.elements()[size_t(index - 1)].offset_y;
}

std::vector<Box> GaugeRecords::click_boxes() const
{
    std::vector<Box> boxes;
    for (const MouseArea* a = gauge_.header()->mouse_list; a && a->kind != MOUSE_END; ++a)
        if (a->kind == MOUSE_CLICK) boxes.push_back(a->box);
    return boxes;
}

std::vector<Box> GaugeRecords::tooltip_boxes() const
{
    std::vector<Box> boxes;
    const MouseArea* parent = nullptr;
    for (const MouseArea* a = gauge_.header()->mouse_list; a && a->kind != MOUSE_END; ++a) {
        if (a->kind == MOUSE_PARENT) parent = a;
        if (a->kind == MOUSE_TOOLTIP && parent) boxes.push_back(parent->box);
    }
    return boxes;
}

}  // namespace art
