#include "scenario.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "host/probe.h"

namespace gaugehost {

namespace {

// Longest single timed step, seconds: a day.
constexpr double kMaxSeconds = 86400;

class LineParser {
public:
    LineParser(const std::string& path, int line, std::vector<std::string> words)
        : path_(path), line_(line), words_(std::move(words))
    {
    }

    [[noreturn]] void fail(const std::string& message) const
    {
        throw ScenarioError(path_ + ":" + std::to_string(line_) + ": " + message);
    }

    void expect_count(size_t lo, size_t hi, const char* usage) const
    {
        if (words_.size() < lo || words_.size() > hi) fail(std::string("expected '") + usage + "'");
    }

    double seconds(size_t i) const
    {
        auto v = parse_double(words_[i]);
        if (!v || !(*v >= 0) || *v > kMaxSeconds)
            fail("'" + words_[i] + "' is not a number of seconds from 0 to 86400");
        return *v;
    }

    void point(size_t i, double& x, double& y) const
    {
        const std::string& w = words_[i];
        size_t comma = w.find(',');
        std::optional<double> a, b;
        if (comma != std::string::npos)
            a = parse_double(w.substr(0, comma)), b = parse_double(w.substr(comma + 1));
        if (!a || !b || !std::isfinite(*a) || !std::isfinite(*b) || std::fabs(*a) > 1e6 ||
            std::fabs(*b) > 1e6)
            fail("'" + w + "' is not a position X,Y");
        x = *a, y = *b;
    }

    uint32_t unsigned32(size_t i, const char* what) const
    {
        auto v = parse_integer(words_[i]);
        if (!v || *v < 0 || *v > 0xFFFFFFFFLL) fail("'" + words_[i] + "' is not a " + what);
        return uint32_t(*v);
    }

    ScenarioStep parse() const
    {
        ScenarioStep s{};
        s.line = line_;
        const std::string& verb = words_[0];
        if (verb == "wait") {
            expect_count(2, 2, "wait SECONDS");
            s.kind = ScenarioStep::Wait;
            s.seconds = seconds(1);
        } else if (verb == "click") {
            expect_count(3, 3, "click GAUGE X,Y");
            s.kind = ScenarioStep::Click;
            s.gauge = words_[1];
            point(2, s.x, s.y);
        } else if (verb == "hold") {
            expect_count(4, 4, "hold GAUGE X,Y SECONDS");
            s.kind = ScenarioStep::Hold;
            s.gauge = words_[1];
            point(2, s.x, s.y);
            s.seconds = seconds(3);
        } else if (verb == "drag") {
            expect_count(5, 5, "drag GAUGE X,Y X2,Y2 SECONDS");
            s.kind = ScenarioStep::Drag;
            s.gauge = words_[1];
            point(2, s.x, s.y);
            point(3, s.x2, s.y2);
            s.seconds = seconds(4);
        } else if (verb == "key") {
            expect_count(2, 3, "key ID [VALUE]");
            s.kind = ScenarioStep::Key;
            s.id = unsigned32(1, "key event id");
            if (words_.size() == 3) {
                auto v = parse_integer(words_[2]);
                if (!v || *v < -2147483648LL || *v > 0xFFFFFFFFLL)
                    fail("'" + words_[2] + "' is not a 32-bit key event value");
                s.value = uint32_t(int64_t(*v));
            }
        } else if (verb == "set") {
            expect_count(3, 3, "set TOKEN VALUE");
            s.kind = ScenarioStep::Set;
            s.id = unsigned32(1, "token number");
            const std::string& v = words_[2];
            if (v.rfind("i:", 0) == 0) {
                auto n = parse_integer(v.substr(2));
                if (!n || *n < -2147483648LL || *n > 2147483647LL)
                    fail("'" + v + "' is not i: and a 32-bit integer");
                s.is_int32 = true;
                s.int_value = int32_t(*n);
            } else {
                auto d = parse_double(v);
                if (!d) fail("'" + v + "' is not a number");
                s.number = *d;
            }
        } else if (verb == "release") {
            expect_count(2, 2, "release TOKEN | release all");
            if (words_[1] == "all") {
                s.kind = ScenarioStep::ReleaseAll;
            } else {
                s.kind = ScenarioStep::Release;
                s.id = unsigned32(1, "token number");
            }
        } else if (verb == "fail" || verb == "repair") {
            expect_count(2, 2, "fail KEY | repair KEY");
            s.kind = verb == "fail" ? ScenarioStep::Fail : ScenarioStep::Repair;
            s.id = unsigned32(1, "failure key");
        } else if (verb == "units") {
            expect_count(2, 2, "units metric|feet");
            s.kind = ScenarioStep::Units;
            if (words_[1] == "metric")
                s.metric = true;
            else if (words_[1] == "feet")
                s.metric = false;
            else
                fail("units must be 'metric' or 'feet', not '" + words_[1] + "'");
        } else if (verb == "flight") {
            expect_count(2, 2, "flight demo");
            if (words_[1] != "demo") fail("the only flight is 'flight demo'");
            s.kind = ScenarioStep::FlightDemo;
        } else if (verb == "engine") {
            expect_count(2, 2, "engine running");
            if (words_[1] != "running") fail("expected 'engine running'");
            s.kind = ScenarioStep::EngineRunning;
        } else if (verb == "refuel") {
            expect_count(3, 3, "refuel left|right|aux GALLONS");
            s.kind = ScenarioStep::Refuel;
            const std::string& t = words_[1];
            if (t == "left")
                s.tank = 0;
            else if (t == "right")
                s.tank = 1;
            else if (t == "aux")
                s.tank = 2;
            else
                fail("tank must be left, right or aux, not '" + t + "'");
            auto g = parse_double(words_[2]);
            if (!g || !(*g >= 0) || *g > 1000)
                fail("'" + words_[2] + "' is not a number of gallons from 0 to 1000");
            s.number = *g;
        } else if (verb == "window") {
            expect_count(3, 3, "window IDENT open|close|toggle");
            s.kind = ScenarioStep::Window;
            s.id = unsigned32(1, "window number");
            const std::string& a = words_[2];
            if (a == "toggle")
                s.window_action = 0;
            else if (a == "open")
                s.window_action = 1;
            else if (a == "close")
                s.window_action = 2;
            else
                fail("window action must be open, close or toggle, not '" + a + "'");
        } else {
            fail("unknown step '" + verb +
                 "' (wait, click, hold, drag, key, set, release, fail, repair, units, flight, engine, "
                 "refuel, window)");
        }
        return s;
    }

private:
    const std::string& path_;
    int line_;
    std::vector<std::string> words_;
};

}  // namespace

double Scenario::duration() const
{
    double total = 0;
    for (const auto& s : steps)
        if (s.kind == ScenarioStep::Wait || s.kind == ScenarioStep::Hold || s.kind == ScenarioStep::Drag)
            total += s.seconds;
    return total;
}

Scenario parse_scenario(const std::string& text, const std::string& path)
{
    Scenario scenario;
    scenario.path = path;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        size_t hash = raw.find('#');
        std::string content = hash == std::string::npos ? raw : raw.substr(0, hash);
        std::istringstream words_in(content);
        std::vector<std::string> words;
        for (std::string w; words_in >> w;) words.push_back(w);
        if (words.empty()) continue;
        ScenarioStep step = LineParser(path, line, words).parse();
        step.text = content;
        scenario.steps.push_back(std::move(step));
    }
    return scenario;
}

Scenario load_scenario(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScenarioError(path + ": cannot read the scenario file");
    std::ostringstream text;
    text << in.rdbuf();
    return parse_scenario(text.str(), path);
}

}  // namespace gaugehost
