#include "panel_config.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace gaugehost {

namespace {

constexpr int kMaxCoordinate = 16384;

std::string trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::string lower(std::string s)
{
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) parts.push_back(trim(part));
    if (!s.empty() && s.back() == sep) parts.push_back("");
    return parts;
}

// A whole decimal integer (optional sign) within [lo, hi].
std::optional<int> parse_int(const std::string& s, long lo, long hi)
{
    if (s.empty() || s.size() > 12) return std::nullopt;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size()) return std::nullopt;
    for (size_t k = i; k < s.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return std::nullopt;
    long v = std::stol(s);
    if (v < lo || v > hi) return std::nullopt;
    return int(v);
}

class Parser {
public:
    explicit Parser(std::string path) : path_(std::move(path)) {}

    [[noreturn]] void fail(int line, const std::string& message) const
    {
        throw PanelConfigError(path_ + ":" + std::to_string(line) + ": " + message);
    }

    // "N,M" as two integers within bounds.
    std::pair<int, int> pair(int line, const std::string& key, const std::string& value, long lo, long hi)
    {
        auto parts = split(value, ',');
        std::optional<int> a, b;
        if (parts.size() == 2) a = parse_int(parts[0], lo, hi), b = parse_int(parts[1], lo, hi);
        if (!a || !b)
            fail(line, key + " must be two whole numbers from " + std::to_string(lo) + " to " +
                           std::to_string(hi) + ", as " + key + "=X,Y (got '" + value + "')");
        return {*a, *b};
    }

    GaugePlacement gauge(int line, const std::string& key, const std::string& value)
    {
        auto parts = split(value, ',');
        if (parts.size() < 3 || parts.size() > 4)
            fail(line, key + " must read Module!Gauge, x, y[, width] (got '" + value + "')");
        GaugePlacement g;
        g.line = line;
        size_t bang = parts[0].find('!');
        if (bang == std::string::npos || bang == 0 || bang + 1 == parts[0].size() ||
            parts[0].find('!', bang + 1) != std::string::npos)
            fail(line, key + ": '" + parts[0] + "' is not Module!Gauge");
        g.module = parts[0].substr(0, bang);
        g.gauge = parts[0].substr(bang + 1);
        auto x = parse_int(parts[1], -kMaxCoordinate, kMaxCoordinate);
        auto y = parse_int(parts[2], -kMaxCoordinate, kMaxCoordinate);
        if (!x) fail(line, key + ": x '" + parts[1] + "' is not a whole number within +-16384");
        if (!y) fail(line, key + ": y '" + parts[2] + "' is not a whole number within +-16384");
        g.x = *x, g.y = *y;
        if (parts.size() == 4) {
            auto w = parse_int(parts[3], 1, kMaxCoordinate);
            if (!w) fail(line, key + ": width '" + parts[3] + "' is not a whole number from 1 to 16384");
            g.width = *w;
        }
        return g;
    }

    PanelConfig parse(const std::string& text)
    {
        PanelConfig config;
        config.path = path_;
        WindowConfig* window = nullptr;
        std::set<std::string> keys;  // keys seen in the current section
        std::map<int, int> ident_line;
        std::map<int, int> section_line;
        auto finish = [&]() {
            if (!window) return;
            for (const char* required : {"title", "ident", "position", "size"})
                if (!keys.count(required))
                    fail(window->line, "[" + window->section_name + "] has no " + required + "= line");
            if (ident_line.count(window->ident))
                fail(keys_line_["ident"], "window ident " + std::to_string(window->ident) +
                                              " is already used by the window of line " +
                                              std::to_string(ident_line[window->ident]));
            ident_line[window->ident] = window->line;
        };

        std::istringstream in(text);
        std::string raw;
        int line = 0;
        while (std::getline(in, raw)) {
            ++line;
            if (!raw.empty() && raw.back() == '\r') raw.pop_back();
            std::string s = trim(raw);
            if (s.empty() || s[0] == '#' || s[0] == ';') continue;
            if (s[0] == '[') {
                if (s.back() != ']') fail(line, "section header '" + s + "' lacks its closing ']'");
                std::string name = trim(s.substr(1, s.size() - 2));
                std::string lname = lower(name);
                auto number =
                    lname.rfind("window", 0) == 0 ? parse_int(name.substr(6), 0, 9999) : std::nullopt;
                if (!number || name.size() == 6)
                    fail(line, "unknown section [" + name + "]; expected [WindowNN]");
                if (section_line.count(*number))
                    fail(line, "[" + name + "] appears twice (first at line " +
                                   std::to_string(section_line[*number]) + ")");
                section_line[*number] = line;
                finish();
                config.windows.emplace_back();
                window = &config.windows.back();
                window->section = *number;
                window->section_name = name;
                window->line = line;
                keys.clear();
                keys_line_.clear();
                continue;
            }
            size_t eq = s.find('=');
            if (eq == std::string::npos) fail(line, "expected key=value or [WindowNN], got '" + s + "'");
            std::string key = lower(trim(s.substr(0, eq)));
            std::string value = trim(s.substr(eq + 1));
            if (key.empty()) fail(line, "missing key before '='");
            if (!window) fail(line, "'" + key + "' outside a [WindowNN] section");
            bool is_gauge = key.rfind("gauge", 0) == 0;
            if (is_gauge && !parse_int(key.substr(5), 0, 9999))
                fail(line, "gauge key '" + key + "' must be gaugeNN with a number");
            if (keys.count(key)) fail(line, "'" + key + "' given twice in this window");
            keys.insert(key);
            keys_line_[key] = line;
            if (is_gauge) {
                window->gauges.push_back(gauge(line, key, value));
            } else if (key == "title") {
                if (value.empty()) fail(line, "title is empty");
                window->title = value;
            } else if (key == "ident") {
                auto v = parse_int(value, 0, 2147483647);
                if (!v)
                    fail(line, "ident must be a window number from 0 to 2147483647 (got '" + value + "')");
                window->ident = *v;
            } else if (key == "position") {
                auto [x, y] = pair(line, key, value, 0, kMaxCoordinate);
                window->x = x, window->y = y;
            } else if (key == "size") {
                auto [w, h] = pair(line, key, value, 1, kMaxCoordinate);
                window->width = w, window->height = h;
            } else if (key == "visible") {
                std::string v = lower(value);
                if (v == "1" || v == "yes" || v == "true")
                    window->visible = true;
                else if (v == "0" || v == "no" || v == "false")
                    window->visible = false;
                else
                    fail(line, "visible must be 1 or 0 (got '" + value + "')");
            } else if (key == "color") {
                auto parts = split(value, ',');
                bool ok = parts.size() == 3;
                for (size_t i = 0; ok && i < 3; ++i) {
                    auto c = parse_int(parts[i], 0, 255);
                    ok = c.has_value();
                    if (ok) window->color[i] = static_cast<unsigned char>(*c);
                }
                if (!ok)
                    fail(line,
                         "color must be three numbers from 0 to 255, as color=R,G,B (got '" + value + "')");
            } else {
                fail(line, "unknown key '" + key + "'");
            }
        }
        finish();
        if (config.windows.empty())
            fail(line > 0 ? line : 1, "no [WindowNN] section: the panel has no window");
        return config;
    }

private:
    std::string path_;
    std::map<std::string, int> keys_line_;
};

}  // namespace

int PanelConfig::width() const
{
    int w = 0;
    for (const auto& win : windows) w = std::max(w, win.x + win.width);
    return w;
}

int PanelConfig::height() const
{
    int h = 0;
    for (const auto& win : windows) h = std::max(h, win.y + win.height);
    return h;
}

const WindowConfig* PanelConfig::window(int ident) const
{
    for (const auto& win : windows)
        if (win.ident == ident) return &win;
    return nullptr;
}

PanelConfig parse_panel_config(const std::string& text, const std::string& path)
{
    return Parser(path).parse(text);
}

PanelConfig load_panel_config(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PanelConfigError(path + ": cannot read the panel file");
    std::ostringstream text;
    text << in.rdbuf();
    return parse_panel_config(text.str(), path);
}

}  // namespace gaugehost
