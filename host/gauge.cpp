#include "gauge.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "format.h"

namespace gaugehost {

namespace {

// Bounds on walking module data, so that a malformed module cannot make the
// host loop forever.
constexpr int kMaxElements = 256;
constexpr int kMaxFailureRecords = 64;
constexpr int kMaxMouseRecords = 4096;
constexpr uint32_t kMaxTooltipArgs = 16;
constexpr char kGuardByte = char(0xA5);

}  // namespace

const char* element_kind_name(uint32_t kind)
{
    switch (kind) {
    case ELEMENT_STATIC: return "static";
    case ELEMENT_NEEDLE: return "needle";
    case ELEMENT_STRING: return "string";
    case ELEMENT_SLIDER: return "slider";
    case ELEMENT_ICON: return "icon";
    case ELEMENT_MOVING: return "moving";
    case ELEMENT_SPRITE: return "sprite";
    default: return "unknown";
    }
}

int ElementState::shown_bitmap() const
{
    if (element->kind == ELEMENT_ICON) return element->bitmap + picture;
    return element->bitmap;
}

Gauge::Gauge(Host& host, Module& module, GaugeHeader* header)
    : host_(&host), module_(&module), header_(header), name_(header->name)
{
    default_width_ = int(header->size);
    if (default_width_ <= 0 || default_width_ > 16384)
        throw std::runtime_error(name_ + ": impossible size field " + std::to_string(header->size));
    drawn_width_ = default_width_;
    ElementHeader* root = *header->element_list;
    if (!root) throw std::runtime_error(name_ + ": gauge has no root element");
    collect(root);
    for (size_t i = 0; i < elements_.size(); ++i) {
        ElementState& s = elements_[i];
        s.index = int(i + 1);
        if (s.element->kind > ELEMENT_SPRITE)
            throw std::runtime_error(name_ + ": element " + std::to_string(s.index) + " has unknown kind " +
                                     std::to_string(s.element->kind));
        if (s.element->kind == ELEMENT_NEEDLE) {
            auto* needle = reinterpret_cast<Needle*>(s.element);
            s.map = NeedleMap(needle->header.position, needle->table, needle->table ? needle->row_count : 0);
        }
    }
}

// Drawing order: an element, then the elements of its list of next
// elements, each followed by its own list.
void Gauge::collect(ElementHeader* element)
{
    for (const auto& s : elements_)
        if (s.element == element) throw std::runtime_error(name_ + ": element chain loops");
    if (elements_.size() >= size_t(kMaxElements)) throw std::runtime_error(name_ + ": too many elements");
    ElementState state;
    state.element = element;
    elements_.push_back(state);
    if (!element->next) return;
    for (int i = 0; element->next[i]; ++i) {
        if (i >= kMaxElements) throw std::runtime_error(name_ + ": list of next elements has no end");
        collect(element->next[i]);
    }
}

int Gauge::background_width() const
{
    const Bitmap* b = module_->bitmap(elements_.front().element->bitmap);
    return b ? b->image.width : 0;
}

int Gauge::background_height() const
{
    const Bitmap* b = module_->bitmap(elements_.front().element->bitmap);
    return b ? b->image.height : 0;
}

void Gauge::lookup(TokenVar& var)
{
    if (var.token != 0) host_->lookup(var);
}

void Gauge::update()
{
    Host::Scope scope(*host_);
    header_->size = uint32_t(drawn_width_);
    if (header_->callback) header_->callback(header_, int32_t(SERVICE_PRE_UPDATE), 0);
    for (ElementState& state : elements_) update_element(state);
}

void Gauge::update_element(ElementState& state)
{
    ElementHeader* e = state.element;
    uint32_t action = 0;
    if (e->failures) {
        for (int i = 0; i < kMaxFailureRecords && e->failures[i].key != 0; ++i) {
            if (host_->failed(e->failures[i].key)) {
                action = e->failures[i].action;
                break;
            }
        }
    }
    // Action 1: the element stays exactly as last drawn.
    state.frozen = action == 1 && state.updated;
    if (state.frozen) return;
    bool input_lost = action == 2;
    auto value_of = [&](double v) { return input_lost ? 0.0 : v; };

    switch (e->kind) {
    case ELEMENT_STATIC:
        break;
    case ELEMENT_NEEDLE: {
        auto* n = reinterpret_cast<Needle*>(e);
        lookup(n->source);
        double v = value_of(n->callback ? n->callback(n) : n->source.value);
        state.values = {v};
        state.target_angle = state.map.angle(v);
        if (state.target_angle) {
            state.angle = state.updated ? step_towards(state.angle, *state.target_angle, n->rotation_limit)
                                        : *state.target_angle;
        } else if (!state.updated && !state.map.row_angles().empty()) {
            state.angle = state.map.row_angles().front();
        }
        break;
    }
    case ELEMENT_STRING: {
        auto* s = reinterpret_cast<StringElement*>(e);
        std::fill(state.buffer.begin(), state.buffer.end(), kGuardByte);
        std::fill(state.buffer.begin(), state.buffer.begin() + STRING_BUFFER_SIZE, '\0');
        s->text = state.buffer.data();
        for (TokenVar& var : s->sources) lookup(var);
        double v = value_of(s->callback ? s->callback(s) : s->sources[0].value);
        state.values = {v};
        state.text_overflow = std::any_of(state.buffer.begin() + STRING_BUFFER_SIZE, state.buffer.end(),
                                          [](char c) { return c != kGuardByte; });
        state.text.assign(state.buffer.data(), strnlen(state.buffer.data(), STRING_BUFFER_SIZE - 1));
        break;
    }
    case ELEMENT_SLIDER: {
        auto* s = reinterpret_cast<Slider*>(e);
        lookup(s->x.source);
        lookup(s->y.source);
        double vx = value_of(s->x_callback ? s->x_callback(s) : s->x.source.token ? s->x.source.value : 0.0);
        double vy = value_of(s->y_callback ? s->y_callback(s) : s->y.source.token ? s->y.source.value : 0.0);
        state.values = {vx, vy};
        state.offset_x = round_int32(vx * s->x.scale);
        state.offset_y = round_int32(vy * s->y.scale);
        break;
    }
    case ELEMENT_ICON: {
        auto* icon = reinterpret_cast<Icon*>(e);
        lookup(icon->source);
        double v = value_of(icon->callback ? icon->callback(icon) : icon->source.value);
        state.values = {v};
        int32_t count = int32_t(std::min<uint32_t>(icon->picture_count, 1024));
        state.picture = std::clamp(saturate_int32(v), 0, std::max(count - 1, 0));
        break;
    }
    case ELEMENT_MOVING: {
        auto* m = reinterpret_cast<MovingImage*>(e);
        lookup(m->x.source);
        lookup(m->y.source);
        double vx = value_of(m->x_callback ? m->x_callback(m) : m->x.source.value);
        double vy = value_of(m->y_callback ? m->y_callback(m) : m->y.source.value);
        state.values = {vx, vy};
        auto proportion = [](const MovingAxis& axis, double v) {
            if (axis.minimum == axis.maximum) return 0.0;
            double p = (v - axis.minimum) / (axis.maximum - axis.minimum);
            if (std::isnan(p)) return 0.0;
            return std::clamp(p, 0.0, 1.0);
        };
        state.strip_x = proportion(m->x, vx);
        state.strip_y = proportion(m->y, vy);
        break;
    }
    case ELEMENT_SPRITE: {
        auto* s = reinterpret_cast<Sprite*>(e);
        lookup(s->x.source);
        lookup(s->y.source);
        lookup(s->rotation.source);
        auto axis = [&](SpriteAxis& a, SpriteCallback cb) {
            return value_of(cb ? cb(s) : a.source.token ? a.source.value : 0.0);
        };
        double vx = axis(s->x, s->x_callback);
        double vy = axis(s->y, s->y_callback);
        double vr = axis(s->rotation, s->rotation_callback);
        state.values = {vx, vy, vr};
        state.shift_x = vx * s->x.scale;
        state.shift_y = vy * s->y.scale;
        state.rotation = vr * s->rotation.scale;
        break;
    }
    }
    state.updated = true;
}

bool Gauge::contains(const Box& box, double gx, double gy) const
{
    if (box.x == 0 && box.y == 0 && box.width == 0 && box.height == 0) {
        int w = background_width() ? background_width() : default_width_;
        int h = background_height();
        return gx >= 0 && gx < w && gy >= 0 && (h == 0 || gy < h);
    }
    return gx >= box.x && gx < double(box.x) + box.width && gy >= box.y && gy < double(box.y) + box.height;
}

std::optional<AreaHit> Gauge::click_area_at(double x, double y, uint32_t flags) const
{
    double gx = x / scale(), gy = y / scale();
    const MouseArea* list = header_->mouse_list;
    for (int i = 0; list && i < kMaxMouseRecords && list[i].kind != MOUSE_END; ++i) {
        const MouseArea& a = list[i];
        if (a.kind == MOUSE_CLICK && (a.flags & flags) && a.routine.callback && contains(a.box, gx, gy))
            return AreaHit{&a, i + 1};
    }
    return std::nullopt;
}

std::optional<AreaHit> Gauge::tooltip_area_at(double x, double y) const
{
    double gx = x / scale(), gy = y / scale();
    const MouseArea* list = header_->mouse_list;
    std::optional<AreaHit> best;
    int best_depth = -1;
    int depth = 0;
    for (int i = 0; list && i < kMaxMouseRecords && list[i].kind != MOUSE_END; ++i) {
        const MouseArea& a = list[i];
        if (a.kind == MOUSE_PARENT) {
            ++depth;
            const MouseArea& following = list[i + 1];
            if (following.kind == MOUSE_TOOLTIP && depth > best_depth && contains(a.box, gx, gy)) {
                best = AreaHit{&following, i + 2};
                best_depth = depth;
            }
        } else if (a.kind == MOUSE_END_PARENT) {
            --depth;
        }
    }
    return best;
}

std::string Gauge::format_tooltip(const MouseArea& tooltip)
{
    Host::Scope scope(*host_);
    std::vector<TooltipValue> values;
    uint32_t count = std::min(tooltip.event_id, kMaxTooltipArgs);
    for (uint32_t i = 0; tooltip.args && i < count; ++i) {
        TooltipArg& arg = tooltip.args[i];
        lookup(arg.source);
        TooltipValue v;
        if (arg.text) {
            v.is_text = true;
            const char* text = arg.text(0, 0, 0, 0, &arg.source, 0);
            if (text) v.text.assign(text, strnlen(text, 4096));
        } else if (arg.number) {
            v.number = arg.number(0, 0, 0, 0, &arg.source, 0);
        } else {
            v.number = arg.source.value;
        }
        values.push_back(std::move(v));
    }
    const char* format = tooltip.routine.tooltip_text;
    return cp1252_to_utf8(format_message(format ? std::string(format, strnlen(format, 4096)) : "", values));
}

std::optional<std::string> Gauge::tooltip_at(double x, double y)
{
    auto hit = tooltip_area_at(x, y);
    if (!hit) return std::nullopt;
    return format_tooltip(*hit->area);
}

void Gauge::call_mouse(const MouseArea& area, double x, double y, uint32_t flags)
{
    Host::Scope scope(*host_);
    auto coordinate = [](double v) { return saturate_int32(std::floor(v)); };
    Point position{coordinate(x), coordinate(y)};
    area.routine.callback(&position, flags);
}

bool Gauge::press(double x, double y, uint32_t flags)
{
    release();
    auto hit = click_area_at(x, y, flags);
    if (!hit) return false;
    call_mouse(*hit->area, x, y, flags);
    if (hit->area->flags & (MOUSE_LEFT_DRAG | MOUSE_REPEAT)) {
        held_ = hit->area;
        held_x_ = x;
        held_y_ = y;
        repeat_clock_ = 0;
    }
    return true;
}

void Gauge::move(double x, double y)
{
    if (!held_) return;
    held_x_ = x;
    held_y_ = y;
    if (held_->flags & MOUSE_LEFT_DRAG) call_mouse(*held_, x, y, MOUSE_LEFT_DRAG);
}

void Gauge::release()
{
    held_ = nullptr;
}

void Gauge::hold_for(double seconds)
{
    if (!held_ || !(held_->flags & MOUSE_REPEAT) || !(seconds > 0)) return;
    repeat_clock_ += seconds;
    // A little slack so that 0.1 + 0.1 + 0.1 reaches 0.3.
    while (repeat_clock_ >= kRepeatInterval - 1e-9) {
        repeat_clock_ -= kRepeatInterval;
        call_mouse(*held_, held_x_, held_y_, MOUSE_REPEAT);
    }
}

}  // namespace gaugehost
