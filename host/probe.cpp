#include "probe.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "format.h"
#include "gauge.h"
#include "host.h"
#include "paths.h"

namespace gaugehost {

std::optional<double> parse_double(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    std::string t = text;
    if (t[0] == '+') t.erase(0, 1);
    double value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

std::optional<long long> parse_integer(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const char* begin = text.data();
    const char* stop = text.data() + text.size();
    int base = 10;
    bool negative = false;
    if (*begin == '-') negative = true, ++begin;
    if (stop - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) base = 16, begin += 2;
    auto [end, ec] = std::from_chars(begin, stop, value, base);
    if (ec != std::errc() || end != stop || begin == stop) return std::nullopt;
    return negative ? -value : value;
}

namespace {

std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return parts;
}

[[noreturn]] void bad(const std::string& option, const std::string& value, const std::string& expected)
{
    throw std::invalid_argument("bad value '" + value + "' for " + option + ": expected " + expected);
}

double coordinate(const std::string& option, const std::string& value, const std::string& text)
{
    auto v = parse_double(text);
    if (!v || !std::isfinite(*v) || std::fabs(*v) > 1e6) bad(option, value, "X,Y with numbers");
    return *v;
}

uint32_t unsigned32(const std::string& option, const std::string& text)
{
    auto v = parse_integer(text);
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL) bad(option, text, "a number from 0 to 4294967295");
    return uint32_t(*v);
}

}  // namespace

ProbeRequest parse_probe_arguments(const std::vector<std::string>& args)
{
    ProbeRequest request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        auto xy = [&](const std::string& option, const std::string& v, size_t min_parts, size_t max_parts) {
            auto parts = split(v, ',');
            if (parts.size() < min_parts || parts.size() > max_parts)
                bad(option, v, min_parts == max_parts && min_parts == 3 ? "X,Y,MS" : "X,Y");
            return parts;
        };
        ProbeStep step{};
        if (a == "--json") {
            request.json = true;
            continue;
        } else if (a == "--gauges") {
            request.gauges_folder = value();
            continue;
        } else if (a == "--token") {
            const std::string& v = value();
            size_t eq = v.find('=');
            if (eq == std::string::npos) bad(a, v, "N=V");
            auto token = parse_integer(v.substr(0, eq));
            if (!token || *token <= 0 || *token > 0xFFFFFFFFLL) bad(a, v, "a token number above 0");
            step.kind = ProbeStep::Token;
            step.token = uint32_t(*token);
            std::string rhs = v.substr(eq + 1);
            if (rhs.rfind("i:", 0) == 0) {
                auto iv = parse_integer(rhs.substr(2));
                if (!iv || *iv < INT32_MIN || *iv > UINT32_MAX) bad(a, v, "N=i:V with a 32-bit integer V");
                step.token_is_int32 = true;
                step.int_value = int32_t(uint32_t(*iv));
            } else {
                auto dv = parse_double(rhs);
                if (!dv) bad(a, v, "N=V with a number V (nan, inf, -0 accepted) or N=i:V");
                step.value = *dv;
            }
        } else if (a == "--updates") {
            const std::string& v = value();
            auto n = parse_integer(v);
            if (!n || *n < 0 || *n > 1000000) bad(a, v, "a count from 0 to 1000000");
            step.kind = ProbeStep::Updates;
            step.count = int(*n);
        } else if (a == "--update-gauge") {
            step.kind = ProbeStep::UpdateGauge;
            step.name = value();
        } else if (a == "--click") {
            const std::string& v = value();
            auto parts = xy(a, v, 2, 3);
            step.kind = ProbeStep::Click;
            step.x = coordinate(a, v, parts[0]);
            step.y = coordinate(a, v, parts[1]);
            step.flags = parts.size() == 3 ? unsigned32(a, parts[2]) : MOUSE_LEFT_CLICK;
        } else if (a == "--hold") {
            const std::string& v = value();
            auto parts = xy(a, v, 3, 3);
            step.kind = ProbeStep::Hold;
            step.x = coordinate(a, v, parts[0]);
            step.y = coordinate(a, v, parts[1]);
            auto ms = parse_integer(parts[2]);
            if (!ms || *ms < 0 || *ms > 3600000) bad(a, v, "X,Y,MS with MS from 0 to 3600000");
            step.count = int(*ms);
        } else if (a == "--press" || a == "--move" || a == "--hover") {
            const std::string& v = value();
            auto parts = xy(a, v, 2, 2);
            step.kind = a == "--press" ? ProbeStep::Press : a == "--move" ? ProbeStep::Move : ProbeStep::Hover;
            step.x = coordinate(a, v, parts[0]);
            step.y = coordinate(a, v, parts[1]);
        } else if (a == "--release") {
            step.kind = ProbeStep::Release;
        } else if (a == "--width") {
            const std::string& v = value();
            auto w = parse_integer(v);
            if (!w || *w < 1 || *w > 16384) bad(a, v, "a width from 1 to 16384");
            step.kind = ProbeStep::Width;
            step.count = int(*w);
        } else if (a == "--fail" || a == "--repair") {
            step.kind = a == "--fail" ? ProbeStep::Fail : ProbeStep::Repair;
            step.token = unsigned32(a, value());
        } else if (a.rfind("--", 0) == 0) {
            throw std::invalid_argument("unknown option " + a);
        } else {
            positional.push_back(a);
            continue;
        }
        request.steps.push_back(step);
    }
    if (positional.size() != 2) throw std::invalid_argument("expected MODULE GAUGE");
    request.module = positional[0];
    request.gauge = positional[1];
    return request;
}

void put_double(nlohmann::json& object, const std::string& key, double value)
{
    if (std::isfinite(value)) {
        object[key] = value;
    } else {
        object[key] = nullptr;
        object[key + "_text"] = format_double("f", value);
    }
}

namespace {

bool runs_update(ProbeStep::Kind kind)
{
    return kind == ProbeStep::Updates || kind == ProbeStep::UpdateGauge || kind == ProbeStep::Click ||
           kind == ProbeStep::Hold;
}

nlohmann::json element_report(const ElementState& s)
{
    nlohmann::json e;
    e["index"] = s.index;
    e["kind"] = element_kind_name(s.kind());
    e["bitmap"] = s.shown_bitmap();
    e["hidden"] = s.hidden();
    e["flags"] = s.element->image_flags;
    if (s.frozen) e["frozen"] = true;
    nlohmann::json values = nlohmann::json::array();
    nlohmann::json texts = nlohmann::json::array();
    bool any_text = false;
    for (double v : s.values) {
        values.push_back(std::isfinite(v) ? nlohmann::json(v) : nlohmann::json(nullptr));
        texts.push_back(format_double("f", v));
        any_text |= !std::isfinite(v);
    }
    if (s.kind() != ELEMENT_STATIC) {
        e["values"] = values;
        if (any_text) e["values_text"] = texts;
    }
    switch (s.kind()) {
    case ELEMENT_NEEDLE:
        put_double(e, "angle", normalise_degrees(s.angle));
        if (s.target_angle) put_double(e, "target_angle", normalise_degrees(*s.target_angle));
        else e["target_angle"] = nullptr;
        break;
    case ELEMENT_ICON:
        e["picture"] = s.picture;
        break;
    case ELEMENT_SLIDER:
        e["offset_x"] = s.offset_x;
        e["offset_y"] = s.offset_y;
        break;
    case ELEMENT_SPRITE:
        put_double(e, "shift_x", s.shift_x);
        put_double(e, "shift_y", s.shift_y);
        put_double(e, "rotation", s.rotation);
        break;
    case ELEMENT_MOVING:
        put_double(e, "strip_x", s.strip_x);
        put_double(e, "strip_y", s.strip_y);
        break;
    case ELEMENT_STRING:
        e["text"] = cp1252_to_utf8(s.text);
        if (s.text_overflow) e["text_overflow"] = true;
        break;
    }
    return e;
}

std::string hex(uint32_t v)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", v);
    return buffer;
}

}  // namespace

nlohmann::json run_probe(const ProbeRequest& request, const std::function<void(Gauge&)>& after_steps)
{
    TokenStore tokens;
    Host host(tokens);
    std::string folder = request.gauges_folder.empty() ? default_gauges_folder() : request.gauges_folder;
    std::string path = module_file_in(folder, request.module);
    if (path.empty())
        throw std::runtime_error("unknown module '" + request.module + "': no " +
                                 (std::filesystem::path(folder) / module_file_name(request.module)).string());
    Module& module = host.load_module(path);

    std::map<std::string, std::unique_ptr<Gauge>> gauges;
    auto gauge_named = [&](const std::string& name) -> Gauge& {
        auto it = gauges.find(name);
        if (it != gauges.end()) return *it->second;
        GaugeHeader* header = module.find_gauge(name);
        if (!header) throw std::runtime_error("unknown gauge '" + name + "' in module " + module.name());
        return *(gauges[name] = std::make_unique<Gauge>(host, module, header));
    };
    Gauge& gauge = gauge_named(request.gauge);

    const double tick = 1.0 / Host::kUpdateRate;
    auto one_update = [&](Gauge& g) {
        host.advance_time(tick);
        gauge.hold_for(tick);
        g.update();
    };

    // Without a step that updates, one update runs after the leading tokens.
    std::vector<ProbeStep> steps = request.steps;
    bool any_update = false;
    for (const auto& s : steps) any_update |= runs_update(s.kind);
    if (!any_update) {
        size_t at = 0;
        while (at < steps.size() && steps[at].kind == ProbeStep::Token) ++at;
        ProbeStep update{};
        update.kind = ProbeStep::Updates;
        update.count = 1;
        steps.insert(steps.begin() + long(at), update);
    }

    nlohmann::json tooltips = nlohmann::json::array();
    for (const ProbeStep& s : steps) {
        switch (s.kind) {
        case ProbeStep::Token:
            if (s.token_is_int32) tokens.set_int32(s.token, s.int_value);
            else tokens.set(s.token, s.value);
            break;
        case ProbeStep::Updates:
            for (int i = 0; i < s.count; ++i) one_update(gauge);
            break;
        case ProbeStep::UpdateGauge:
            one_update(gauge_named(s.name));
            break;
        case ProbeStep::Click:
            gauge.press(s.x, s.y, s.flags);
            gauge.release();
            one_update(gauge);
            break;
        case ProbeStep::Hold: {
            // Updates run at the host's rate while the button is held;
            // repeat areas are called every 100 ms of host time.
            gauge.press(s.x, s.y);
            double total = s.count / 1000.0, t = 0;
            for (double next = tick; next <= total + 1e-9; next += tick) {
                host.advance_time(next - t);
                gauge.hold_for(next - t);
                gauge.update();
                t = next;
            }
            gauge.hold_for(total - t);
            gauge.release();
            break;
        }
        case ProbeStep::Press:
            gauge.press(s.x, s.y);
            break;
        case ProbeStep::Move:
            gauge.move(s.x, s.y);
            break;
        case ProbeStep::Release:
            gauge.release();
            break;
        case ProbeStep::Width:
            gauge.set_drawn_width(s.count);
            break;
        case ProbeStep::Fail:
            host.fail(s.token);
            break;
        case ProbeStep::Repair:
            host.repair(s.token);
            break;
        case ProbeStep::Hover: {
            nlohmann::json t;
            t["x"] = s.x;
            t["y"] = s.y;
            auto text = gauge.tooltip_at(s.x, s.y);
            t["text"] = text ? nlohmann::json(*text) : nlohmann::json(nullptr);
            tooltips.push_back(t);
            break;
        }
        }
    }

    if (after_steps) after_steps(gauge);

    nlohmann::json report;
    report["module"] = module.name();
    report["gauge"] = gauge.name();
    report["size"] = gauge.header()->size;
    report["elements"] = nlohmann::json::array();
    for (const ElementState& s : gauge.elements()) report["elements"].push_back(element_report(s));
    report["tooltips"] = tooltips;
    report["events"] = nlohmann::json::array();
    for (const KeyEvent& k : host.key_events())
        report["events"].push_back({{"id", hex(k.id)}, {"value", k.signed_value()}});
    report["windows"] = host.window_toggles();
    return report;
}

std::string probe_report_text(const nlohmann::json& report)
{
    std::ostringstream out;
    auto number = [](const nlohmann::json& object, const std::string& key) -> std::string {
        if (!object.contains(key)) return "";
        if (object[key].is_null()) return object.value(key + "_text", std::string("null"));
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", object[key].get<double>());
        return buffer;
    };
    out << report["module"].get<std::string>() << "!" << report["gauge"].get<std::string>() << " (size "
        << report["size"] << ")\n";
    for (const auto& e : report["elements"]) {
        out << "  " << e["index"] << " " << e["kind"].get<std::string>() << " bitmap " << e["bitmap"];
        if (e.contains("values")) {
            out << " value";
            for (size_t i = 0; i < e["values"].size(); ++i) {
                if (e["values"][i].is_null()) out << " " << e["values_text"][i].get<std::string>();
                else {
                    char buffer[64];
                    std::snprintf(buffer, sizeof buffer, "%.17g", e["values"][i].get<double>());
                    out << " " << buffer;
                }
            }
        }
        if (e.contains("angle")) out << " angle " << number(e, "angle");
        if (e.contains("picture")) out << " picture " << e["picture"];
        if (e.contains("offset_y")) out << " offset " << e["offset_x"] << "," << e["offset_y"];
        if (e.contains("shift_x"))
            out << " shift " << number(e, "shift_x") << "," << number(e, "shift_y") << " rotation "
                << number(e, "rotation");
        if (e.contains("strip_x")) out << " strip " << number(e, "strip_x") << "," << number(e, "strip_y");
        if (e.contains("text")) out << " text \"" << e["text"].get<std::string>() << "\"";
        if (e.value("text_overflow", false)) out << " (text overflow)";
        if (e["hidden"].get<bool>()) out << " hidden";
        if (e.value("frozen", false)) out << " frozen";
        out << "\n";
    }
    for (const auto& t : report["tooltips"]) {
        out << "tooltip " << t["x"] << "," << t["y"] << ": "
            << (t["text"].is_null() ? std::string("(none)") : t["text"].get<std::string>()) << "\n";
    }
    for (const auto& k : report["events"])
        out << "event " << k["id"].get<std::string>() << " " << k["value"] << "\n";
    for (const auto& w : report["windows"]) out << "window " << w << "\n";
    return out.str();
}

}  // namespace gaugehost
