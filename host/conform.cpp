#include "conform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "gauge.h"
#include "host.h"
#include "probe.h"

namespace gaugehost {

// ---------------------------------------------------------------------------
// ConformScenario files

std::vector<ConformScenario> parse_scenarios(const std::string& text, const std::string& origin)
{
    std::vector<ConformScenario> scenarios;
    std::set<std::string> names;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const int first_line = number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (!line.empty() && line.back() == '\\') {
            line.pop_back();
            std::string more;
            if (!std::getline(in, more)) break;
            ++number;
            if (!more.empty() && more.back() == '\r') more.pop_back();
            line += " " + more;
        }
        const std::string where = origin + ":" + std::to_string(first_line);
        std::istringstream words(line);
        std::vector<std::string> parts;
        for (std::string w; words >> w;) parts.push_back(w);
        if (parts.empty() || parts[0][0] == '#') continue;

        ConformScenario s;
        s.origin = where;
        if (parts[0].size() < 2 || parts[0].back() != ':')
            throw std::runtime_error(where + ": expected 'NAME: MODULE GAUGE [STEP]...'");
        s.name = parts[0].substr(0, parts[0].size() - 1);
        if (parts.size() < 3) throw std::runtime_error(where + ": scenario '" + s.name + "' needs MODULE GAUGE");
        s.module = parts[1];
        s.gauge = parts[2];
        s.steps.assign(parts.begin() + 3, parts.end());
        if (!names.insert(s.name).second) throw std::runtime_error(where + ": scenario '" + s.name + "' given twice");
        for (const auto& step : s.steps) {
            if (step == "--gauges" || step == "--json")
                throw std::runtime_error(where + ": " + step + " does not belong in a scenario");
        }
        std::vector<std::string> args = {s.module, s.gauge};
        args.insert(args.end(), s.steps.begin(), s.steps.end());
        try {
            parse_probe_arguments(args);
        } catch (const std::invalid_argument& e) {
            throw std::runtime_error(where + ": scenario '" + s.name + "': " + e.what());
        }
        scenarios.push_back(std::move(s));
    }
    return scenarios;
}

std::vector<ConformScenario> read_scenario_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot read scenario file");
    std::stringstream text;
    text << in.rdbuf();
    return parse_scenarios(text.str(), path);
}

std::string scenario_line(const ConformScenario& scenario)
{
    std::string line = scenario.name + ": " + scenario.module + " " + scenario.gauge;
    for (const auto& step : scenario.steps) line += " " + step;
    return line;
}

nlohmann::json run_scenarios(const std::vector<ConformScenario>& scenarios, const std::string& gauges_folder)
{
    nlohmann::json result;
#if defined(_WIN32)
    result["host"] = "windows";
#else
    result["host"] = "native";
#endif
    result["scenarios"] = nlohmann::json::array();
    for (const ConformScenario& s : scenarios) {
        nlohmann::json entry;
        entry["name"] = s.name;
        entry["module"] = s.module;
        entry["gauge"] = s.gauge;
        std::vector<std::string> args = {s.module, s.gauge};
        args.insert(args.end(), s.steps.begin(), s.steps.end());
        args.push_back("--gauges");
        args.push_back(gauges_folder);
        try {
            entry["report"] = run_probe(parse_probe_arguments(args));
        } catch (const std::exception& e) {
            entry["error"] = e.what();
        }
        result["scenarios"].push_back(std::move(entry));
    }
    return result;
}

// ---------------------------------------------------------------------------
// Default scenarios

namespace {

// Remembers every token a gauge looks up (element records, tooltip
// arguments and the look-ups of its callbacks).
class RecordingTokens : public TokenStore {
public:
    void lookup(TokenVar& var) override
    {
        seen.insert(var.token);
        TokenStore::lookup(var);
    }
    std::set<uint32_t> seen;
};

// Values given to every token a module reads; each set is meant for some
// kind of input: ordinary readings, big ones, fractions (levers), switch
// positions, enumerations in the low half, and the values that break
// careless conversions.
const char* const kValueSets[] = {"small", "large", "unit", "whole", "int32", "extreme"};

uint32_t mix(uint32_t a, uint32_t b)
{
    uint32_t h = a * 2654435761u ^ (b + 0x9E3779B9u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

std::string token_value(const std::string& set, uint32_t token)
{
    uint32_t set_number = 0;
    for (char c : set) set_number = set_number * 31 + uint8_t(c);
    const uint32_t h = mix(token, set_number);
    char buffer[64];
    if (set == "small") {
        int v = int(h % 20001) - 10000;  // -100.00 .. 100.00
        std::snprintf(buffer, sizeof buffer, "%s%d.%02d", v < 0 ? "-" : "", std::abs(v) / 100, std::abs(v) % 100);
    } else if (set == "large") {
        std::snprintf(buffer, sizeof buffer, "%lld.5", (long long)(h % 200001) - 100000);
    } else if (set == "unit") {
        std::snprintf(buffer, sizeof buffer, "0.%03u", h % 1000);
    } else if (set == "whole") {
        std::snprintf(buffer, sizeof buffer, "%u", h % 4);
    } else if (set == "int32") {
        std::snprintf(buffer, sizeof buffer, "i:%d", int(h % 5) - 1);
    } else {
        static const char* const extremes[] = {"nan", "inf", "-inf", "-0", "1e308", "-1e308", "2147483648",
                                               "-2147483649", "4294967296.5", "1e-310", "9.2233720368547758e18"};
        return extremes[h % (sizeof extremes / sizeof extremes[0])];
    }
    return buffer;
}

struct Point2 {
    int x = 0, y = 0;
};

// A point inside each area: the grid point nearest the middle of all grid
// points that reach it.
struct AreaPoints {
    std::map<int, std::vector<Point2>> hits;  // record -> grid points
    std::map<int, uint32_t> flags;            // record -> mouse flags

    Point2 middle(int record) const
    {
        const auto& points = hits.at(record);
        double mx = 0, my = 0;
        for (const auto& p : points) mx += p.x, my += p.y;
        mx /= double(points.size());
        my /= double(points.size());
        Point2 best = points.front();
        double best_d = 1e300;
        for (const auto& p : points) {
            double d = (p.x - mx) * (p.x - mx) + (p.y - my) * (p.y - my);
            if (d < best_d) best_d = d, best = p;
        }
        return best;
    }
};

struct GaugeFacts {
    std::string name;
    int width = 0;
    int height = 0;
    AreaPoints clicks;
    std::map<int, Point2> tooltips;  // record -> point
    std::set<uint32_t> failure_keys;
};

std::string xy(double x, double y)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g,%g", x, y);
    return buffer;
}

GaugeFacts survey(Host& host, Module& module, GaugeHeader* header)
{
    Gauge gauge(host, module, header);
    GaugeFacts facts;
    facts.name = gauge.name();
    gauge.update();
    facts.width = gauge.background_width() ? gauge.background_width() : gauge.default_width();
    facts.height = gauge.background_height() ? gauge.background_height() : facts.width;
    const int step = std::max(1, std::min(facts.width, facts.height) / 64);
    std::map<int, std::vector<Point2>> tooltip_hits;
    for (int y = step / 2; y < facts.height; y += step) {
        for (int x = step / 2; x < facts.width; x += step) {
            // What a left press would reach, else an area that wants other
            // mouse actions.
            auto hit = gauge.click_area_at(x, y);
            if (!hit) hit = gauge.click_area_at(x, y, 0xFFFFFFFFu);
            if (hit) {
                facts.clicks.hits[hit->record].push_back({x, y});
                facts.clicks.flags[hit->record] = hit->area->flags;
            }
            if (auto tip = gauge.tooltip_area_at(x, y)) tooltip_hits[tip->record].push_back({x, y});
        }
    }
    AreaPoints tips;
    tips.hits = tooltip_hits;
    for (const auto& [record, points] : tooltip_hits) {
        facts.tooltips[record] = tips.middle(record);
        gauge.tooltip_at(facts.tooltips[record].x, facts.tooltips[record].y);  // records its tokens
    }
    for (const ElementState& s : gauge.elements()) {
        const FailureRecord* f = s.element->failures;
        for (int i = 0; f && i < 64 && f[i].key != 0; ++i) facts.failure_keys.insert(f[i].key);
    }
    return facts;
}

}  // namespace

std::vector<ConformScenario> default_scenarios(const std::string& gauges_folder)
{
    std::vector<ConformScenario> scenarios;
    for (const std::string& module_name : modules_in_folder(gauges_folder)) {
        RecordingTokens tokens;
        Host host(tokens);
        Module& module = host.load_module(module_file_in(gauges_folder, module_name));
        std::vector<GaugeFacts> gauges;
        for (GaugeHeader* header : module.gauges()) gauges.push_back(survey(host, module, header));
        // Once more with every token seen so far set, for the look-ups that
        // only happen on some paths.
        for (uint32_t t : std::set<uint32_t>(tokens.seen)) tokens.set(t, 1.5);
        for (GaugeHeader* header : module.gauges()) survey(host, module, header);
        tokens.seen.erase(0);
        const std::set<uint32_t> read(tokens.seen);

        auto set_tokens = [&](std::vector<std::string>& steps, const std::string& set) {
            for (uint32_t t : read) {
                steps.push_back("--token");
                steps.push_back(std::to_string(t) + "=" + token_value(set, t));
            }
        };
        for (const GaugeFacts& g : gauges) {
            auto hovers = [&](std::vector<std::string>& steps, double scale = 1.0) {
                for (const auto& [record, p] : g.tooltips) {
                    steps.push_back("--hover");
                    steps.push_back(xy(std::floor(p.x * scale), std::floor(p.y * scale)));
                }
            };
            auto add = [&](const std::string& what, std::vector<std::string> steps) {
                scenarios.push_back({module_name + "/" + g.name + "/" + what, module_name, g.name, std::move(steps),
                                     "default"});
            };

            std::vector<std::string> steps = {"--updates", "2"};
            hovers(steps);
            add("zero", steps);
            for (const char* set : kValueSets) {
                steps.clear();
                set_tokens(steps, set);
                steps.insert(steps.end(), {"--updates", "3"});
                hovers(steps);
                add(std::string("tokens-") + set, steps);
            }

            const int width = std::max(1, g.width * 3 / 4);
            steps.clear();
            set_tokens(steps, "small");
            steps.insert(steps.end(), {"--width", std::to_string(width), "--updates", "2"});
            hovers(steps, double(width) / g.width);
            add("width-" + std::to_string(width), steps);

            for (uint32_t key : g.failure_keys) {
                steps.clear();
                set_tokens(steps, "small");
                steps.insert(steps.end(), {"--updates", "2", "--fail", std::to_string(key)});
                set_tokens(steps, "large");
                steps.insert(steps.end(), {"--updates", "3"});
                hovers(steps);
                add("fail-" + std::to_string(key), steps);
            }

            for (const auto& [record, points] : g.clicks.hits) {
                const Point2 p = g.clicks.middle(record);
                const Point2 corner = points.front();
                const uint32_t flags = g.clicks.flags.at(record);
                for (const char* set : {"whole", "unit", "extreme"}) {
                    steps.clear();
                    set_tokens(steps, set);
                    steps.insert(steps.end(), {"--updates", "2"});
                    if (!(flags & MOUSE_LEFT_CLICK)) {
                        char f[16];
                        std::snprintf(f, sizeof f, "0x%X", flags);
                        steps.insert(steps.end(), {"--click", xy(p.x, p.y) + "," + f});
                    } else if (flags & MOUSE_REPEAT) {
                        steps.insert(steps.end(), {"--hold", xy(p.x, p.y) + ",350", "--updates", "1", "--hold",
                                                   xy(corner.x, corner.y) + ",100"});
                    } else if (flags & MOUSE_LEFT_DRAG) {
                        steps.insert(steps.end(), {"--press", xy(p.x, p.y), "--move", xy(p.x + 17, p.y + 3), "--move",
                                                   xy(p.x - 9, p.y + 40), "--move", xy(p.x - 300, p.y - 300), "--move",
                                                   xy(p.x + 2, p.y - 1), "--release", "--updates", "1"});
                    } else {
                        steps.insert(steps.end(), {"--click", xy(p.x, p.y), "--updates", "1", "--click",
                                                   xy(corner.x, corner.y)});
                    }
                    steps.insert(steps.end(), {"--updates", "2"});
                    hovers(steps);
                    add("area-" + std::to_string(record) + "-" + set, steps);
                }
            }
        }
    }
    return scenarios;
}

// ---------------------------------------------------------------------------
// Comparing results

namespace {

std::string shown(const nlohmann::json& v)
{
    if (v.is_number_float()) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", v.get<double>());
        return buffer;
    }
    return v.dump();
}

// A readable name for an item of one of the report's lists.
std::string item_name(const std::string& list, size_t i, const nlohmann::json& item)
{
    if (list == "elements") {
        std::string name = "element " + std::to_string(i + 1);
        if (item.is_object() && item.contains("kind")) name += " (" + item["kind"].get<std::string>() + ")";
        return name;
    }
    if (list == "tooltips") {
        std::string name = "tooltip " + std::to_string(i + 1);
        if (item.is_object() && item.contains("x")) name += " at " + shown(item["x"]) + "," + shown(item["y"]);
        return name;
    }
    if (list == "events") return "key event " + std::to_string(i + 1);
    if (list == "windows") return "window toggle " + std::to_string(i + 1);
    return list + "[" + std::to_string(i) + "]";
}

void diff(const std::string& scenario, const std::string& path, const std::string& list, const nlohmann::json& a,
          const nlohmann::json& b, std::vector<Difference>& out)
{
    auto join = [&](const std::string& more) { return path.empty() ? more : path + " " + more; };
    if (a.is_object() && b.is_object()) {
        std::vector<std::string> keys;
        for (auto it = a.begin(); it != a.end(); ++it) keys.push_back(it.key());
        for (auto it = b.begin(); it != b.end(); ++it)
            if (!a.contains(it.key())) keys.push_back(it.key());
        for (const auto& k : keys) {
            if (!a.contains(k)) out.push_back({scenario, join(k), "(absent)", shown(b[k])});
            else if (!b.contains(k)) out.push_back({scenario, join(k), shown(a[k]), "(absent)"});
            else diff(scenario, join(k), k, a[k], b[k], out);
        }
        return;
    }
    if (a.is_array() && b.is_array()) {
        const bool named = list == "elements" || list == "tooltips" || list == "events" || list == "windows";
        const std::string base = named ? path.substr(0, path.size() - list.size()) : path;
        if (a.size() != b.size())
            out.push_back({scenario, join("count"), std::to_string(a.size()), std::to_string(b.size())});
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            std::string p = named ? base + item_name(list, i, a[i]) : path + "[" + std::to_string(i) + "]";
            diff(scenario, p, "", a[i], b[i], out);
        }
        return;
    }
    if (a != b) out.push_back({scenario, path.empty() ? "value" : path, shown(a), shown(b)});
}

}  // namespace

std::vector<Difference> compare_results(const nlohmann::json& expected, const nlohmann::json& actual)
{
    std::vector<Difference> out;
    auto by_name = [](const nlohmann::json& result) {
        std::map<std::string, const nlohmann::json*> map;
        if (result.contains("scenarios"))
            for (const auto& s : result["scenarios"]) map[s.value("name", "")] = &s;
        return map;
    };
    auto theirs = by_name(actual);
    auto ours = by_name(expected);
    if (expected.contains("scenarios")) {
        for (const auto& s : expected["scenarios"]) {
            const std::string name = s.value("name", "");
            auto it = theirs.find(name);
            if (it == theirs.end()) {
                out.push_back({name, "scenario", "run", "(missing)"});
                continue;
            }
            const nlohmann::json& t = *it->second;
            const bool e1 = s.contains("error"), e2 = t.contains("error");
            if (e1 || e2) {
                // Both hosts refusing the same scenario agree (their messages
                // name their own module files).
                if (e1 != e2)
                    out.push_back({name, "error", e1 ? s["error"].get<std::string>() : "(none)",
                                   e2 ? t["error"].get<std::string>() : "(none)"});
                continue;
            }
            diff(name, "", "", s.value("report", nlohmann::json()), t.value("report", nlohmann::json()), out);
        }
    }
    for (const auto& [name, s] : theirs)
        if (!ours.count(name)) out.push_back({name, "scenario", "(missing)", "run"});
    return out;
}

std::string describe(const Difference& d, const std::string& expected_name, const std::string& actual_name)
{
    return "scenario '" + d.scenario + "': " + d.field + ": " + expected_name + " " + d.expected + " vs " +
           actual_name + " " + d.actual;
}

}  // namespace gaugehost
