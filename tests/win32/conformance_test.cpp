// The conformance suite: the same scenarios run by the native host on the
// native modules and by gaugehost.exe under Wine on the .gau files, compared
// field by field; the comparer itself; what the Windows loader and version
// API see in the deliverables.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "host/conform.h"
#include "host/host.h"
#include "host/pe/module_facts.h"
#include "tests/support/support.h"
#include "tests/win32/win32_support.h"

namespace fs = std::filesystem;
using gaugehost::ConformScenario;

namespace {

// The hand-written scenarios of conformance/ and the default ones for every
// gauge of the native build, in one file that both hosts read.
std::vector<ConformScenario> suite_scenarios()
{
    std::vector<ConformScenario> all;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(ORVANE_SOURCE_DIR) / "conformance"))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
        for (auto& s : gaugehost::read_scenario_file(f.string())) all.push_back(std::move(s));
    for (auto& s : gaugehost::default_scenarios(ORVANE_GAUGES_DIR)) all.push_back(std::move(s));
    return all;
}

fs::path write_scenarios(const std::vector<ConformScenario>& scenarios)
{
    fs::path folder = fs::path(ORVANE_BINARY_DIR) / "conformance";
    fs::create_directories(folder);
    fs::path file = folder / "scenarios.txt";
    std::ofstream out(file, std::ios::binary);
    for (const auto& s : scenarios) out << gaugehost::scenario_line(s) << "\n";
    return file;
}

// module -> gauge names, as the native host lists them.
std::map<std::string, std::vector<std::string>> native_gauges()
{
    std::map<std::string, std::vector<std::string>> gauges;
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    for (const auto& name : gaugehost::modules_in_folder(ORVANE_GAUGES_DIR)) {
        auto& m = host.load_module(gaugehost::module_file_in(ORVANE_GAUGES_DIR, name));
        for (GaugeHeader* g : m.gauges()) gauges[name].push_back(g->name);
    }
    return gauges;
}

TEST(Conformance, EveryGaugeIsCoveredByTheSuite)
{
    auto scenarios = suite_scenarios();
    std::map<std::string, std::set<std::string>> kinds;  // "Module/Gauge" -> steps used
    for (const auto& s : scenarios)
        for (const auto& step : s.steps) kinds[s.module + "/" + s.gauge].insert(step);
    size_t count = 0;
    for (const auto& [module, gauges] : native_gauges()) {
        for (const auto& g : gauges) {
            ++count;
            const auto& used = kinds[module + "/" + g];
            for (const char* step : {"--token", "--updates", "--width"})
                EXPECT_TRUE(used.count(step)) << module << "/" << g << " has no scenario with " << step;
        }
    }
    EXPECT_GT(count, 0u);
}

TEST(Conformance, WindowsHostUnderWineAgreesWithTheNativeHost)
{
    REQUIRE_WINE();
    auto scenarios = suite_scenarios();
    fs::path file = write_scenarios(scenarios);
    auto native = gaugehost::run_scenarios(scenarios, ORVANE_GAUGES_DIR);
    for (const auto& s : native["scenarios"])
        EXPECT_FALSE(s.contains("error")) << s["name"].get<std::string>() << ": " << s["error"];

    // All scenarios in one Wine process.
    auto r = orvane_test::run_windows_host(
        {"conform", orvane_test::windows_path(file), "--gauges", orvane_test::windows_path(ORVANE_WIN32_GAUGES_DIR)});
    ASSERT_EQ(r.exit_code, 0) << r.err << r.out.substr(0, 2000);
    nlohmann::json windows;
    ASSERT_NO_THROW(windows = nlohmann::json::parse(r.out)) << r.out.substr(0, 2000);
    EXPECT_EQ(windows["host"], "windows");
    EXPECT_EQ(windows["scenarios"].size(), scenarios.size());
    std::ofstream(fs::path(ORVANE_BINARY_DIR) / "conformance" / "native.json") << native.dump(1);
    std::ofstream(fs::path(ORVANE_BINARY_DIR) / "conformance" / "windows.json") << windows.dump(1);

    auto differences = gaugehost::compare_results(native, windows);
    size_t shown = 0;
    for (const auto& d : differences)
        if (shown++ < 200) ADD_FAILURE() << gaugehost::describe(d);
    EXPECT_TRUE(differences.empty()) << differences.size() << " differences in " << scenarios.size()
                                     << " scenarios (both results are in " << ORVANE_BINARY_DIR << "/conformance)";
}

TEST(WindowsHost, ListAndProbeAnswerAsTheNativeHostDoes)
{
    REQUIRE_WINE();
    const std::string win_gauges = orvane_test::windows_path(ORVANE_WIN32_GAUGES_DIR);
    auto native_list = orvane_test::run_gaugehost({"list", "--gauges", ORVANE_GAUGES_DIR});
    auto windows_list = orvane_test::run_windows_host({"list", "--gauges", win_gauges});
    ASSERT_EQ(windows_list.exit_code, 0) << windows_list.err;
    EXPECT_EQ(windows_list.out, native_list.output);

    const std::vector<std::string> probe = {"probe", "Orvane", "Airspeed", "--token", "61=100", "--token", "64=10240",
                                            "--hover", "100,60", "--hover", "190,150", "--json", "--gauges"};
    auto native_args = probe;
    native_args.push_back(ORVANE_GAUGES_DIR);
    auto windows_args = probe;
    windows_args.push_back(win_gauges);
    auto native_probe = orvane_test::run_gaugehost(native_args);
    auto windows_probe = orvane_test::run_windows_host(windows_args);
    ASSERT_EQ(windows_probe.exit_code, 0) << windows_probe.err;
    EXPECT_EQ(nlohmann::json::parse(windows_probe.out), nlohmann::json::parse(native_probe.output));

    // Bad input: the same clear errors and exit codes; drawing is native only.
    auto unknown = orvane_test::run_windows_host({"probe", "Orvane", "Nope", "--gauges", win_gauges});
    EXPECT_EQ(unknown.exit_code, 1);
    EXPECT_NE(unknown.err.find("unknown gauge 'Nope'"), std::string::npos) << unknown.err;
    auto render = orvane_test::run_windows_host({"render", "Orvane", "Airspeed", "--out", "x.png"});
    EXPECT_EQ(render.exit_code, 1);
    EXPECT_NE(render.err.find("not available in the Windows host"), std::string::npos) << render.err;
}

TEST(WindowsHost, LoaderAndVersionApiSeeTheExportsVersionsBitmapsAndSystemImports)
{
    REQUIRE_WINE();
    auto r = orvane_test::run_windows_host(
        {"info", "--json", "--gauges", orvane_test::windows_path(ORVANE_WIN32_GAUGES_DIR)});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    auto info = nlohmann::json::parse(r.out);
    std::map<std::string, nlohmann::json> by_name;
    for (const auto& m : info["modules"]) by_name[m["name"]] = m;

    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    for (const auto& d : orvane_test::kDeliverables) {
        ASSERT_TRUE(by_name.count(d.name)) << d.name;
        const auto& m = by_name[d.name];
        EXPECT_EQ(m["source"], "loader");
        EXPECT_EQ(m["export_name"], std::string(d.name) + ".gau");
        auto exports = m["exports"].get<std::vector<std::string>>();
        EXPECT_EQ(std::set<std::string>(exports.begin(), exports.end()),
                  (std::set<std::string>{"ImportTable", "Linkage"}))
            << d.name;
        EXPECT_EQ(exports.size(), 2u);
        EXPECT_EQ(m["version"]["file"], d.version);
        EXPECT_EQ(m["version"]["product"], d.version);
        EXPECT_EQ(m["version"]["strings"]["FileVersion"], d.version);
        EXPECT_EQ(m["version"]["strings"]["ProductVersion"], d.version);
        // A module may import nothing at all; what it imports must be the system's.
        for (const auto& i : m["imports"])
            EXPECT_EQ(i["system"], true) << d.name << " imports " << i["dll"] << " from " << i["path"];
        // Every bitmap the records name is in the module, as far as the
        // artwork draws it (the native build's bitmap folder).
        auto native = gaugehost::pe::facts_json(
            gaugehost::pe::module_facts(host.load_module(std::string(ORVANE_GAUGES_DIR) + "/" + d.name + ".so")));
        ASSERT_EQ(m["gauges"].size(), native["gauges"].size()) << d.name;
        for (size_t i = 0; i < m["gauges"].size(); ++i) {
            const auto& g = m["gauges"][i];
            EXPECT_FALSE(g["bitmaps"].empty()) << g["name"];
            EXPECT_EQ(g["bitmaps"], native["gauges"][i]["bitmaps"]) << g["name"];
            EXPECT_EQ(g["missing"], native["gauges"][i]["missing"]) << d.name << " " << g["name"];
        }

        // The native PE reader reads the same from the file.
        auto facts = gaugehost::pe::module_facts(host.load_module(orvane_test::win32_module_file(d.name)));
        auto mine = gaugehost::pe::facts_json(facts);
        EXPECT_EQ(mine["export_name"], m["export_name"]);
        EXPECT_EQ(mine["exports"], m["exports"]);
        EXPECT_EQ(mine["version"]["file"], m["version"]["file"]);
        EXPECT_EQ(mine["version"]["product"], m["version"]["product"]);
        ASSERT_EQ(mine["imports"].size(), m["imports"].size());
        for (size_t i = 0; i < m["imports"].size(); ++i) EXPECT_EQ(mine["imports"][i]["dll"], m["imports"][i]["dll"]);
        ASSERT_EQ(mine["gauges"].size(), m["gauges"].size());
        for (size_t i = 0; i < m["gauges"].size(); ++i) EXPECT_EQ(mine["gauges"][i]["bitmaps"], m["gauges"][i]["bitmaps"]);
    }
}

// ---------------------------------------------------------------------------
// The comparer: a doctored Windows result must fail with a readable line.

struct Doctoring {
    const char* name;
    // Changes the copy; returns false when the report lacks what it needs.
    std::function<bool(nlohmann::json& report)> change;
    const char* field;
    const char* native_value;   // as printed; "" = not checked
    const char* windows_value;
};

const nlohmann::json* first_element(const nlohmann::json& report, const char* kind)
{
    for (const auto& e : report["elements"])
        if (e["kind"] == kind) return &e;
    return nullptr;
}

TEST(ConformanceComparer, ReportsEachDoctoredFieldReadably)
{
    auto scenarios = gaugehost::parse_scenarios(
        "airspeed: Orvane Airspeed --token 61=100 --token 64=10240 --updates 3 --hover 100,60\n", "test");
    auto native = gaugehost::run_scenarios(scenarios, ORVANE_GAUGES_DIR);
    ASSERT_FALSE(native["scenarios"][0].contains("error")) << native["scenarios"][0]["error"];
    const nlohmann::json& report = native["scenarios"][0]["report"];
    ASSERT_TRUE(first_element(report, "needle"));
    const int needle = first_element(report, "needle")->at("index").get<int>() - 1;
    const double angle = report["elements"][needle]["angle"].get<double>();
    char next[64];
    std::snprintf(next, sizeof next, "%.17g", std::nextafter(angle, 1e9));
    char here[64];
    std::snprintf(here, sizeof here, "%.17g", angle);
    const std::string needle_name = "element " + std::to_string(needle + 1) + " (needle)";

    const Doctoring cases[] = {
        {"angle one ulp off",
         [&](nlohmann::json& r) { return r["elements"][needle]["angle"] = std::nextafter(angle, 1e9), true; },
         "angle", here, next},
        {"hidden flag", [](nlohmann::json& r) { return r["elements"][0]["hidden"] = true, true; },
         "element 1 (static) hidden", "false", "true"},
        {"tooltip text", [](nlohmann::json& r) { return r["tooltips"][0]["text"] = "Airspeed Indicator (116 mph)", true; },
         "tooltip 1 at 100,60 text", "\"Airspeed Indicator (115 mph)\"", "\"Airspeed Indicator (116 mph)\""},
        {"key event added",
         [](nlohmann::json& r) { return r["events"].push_back({{"id", "0x10000"}, {"value", -1}}), true; },
         "events count", "0", "1"},
        {"window toggle added", [](nlohmann::json& r) { return r["windows"].push_back(10000), true; },
         "windows count", "0", "1"},
        {"element missing", [](nlohmann::json& r) { return r["elements"].erase(r["elements"].size() - 1), true; },
         "elements count", "", ""},
        {"value one ulp off",
         [&](nlohmann::json& r) {
             double v = r["elements"][needle]["values"][0].get<double>();
             return r["elements"][needle]["values"][0] = std::nextafter(v, 1e300), true;
         },
         "values[0]", "", ""},
    };
    for (const auto& c : cases) {
        nlohmann::json windows = native;
        windows["host"] = "windows";
        ASSERT_TRUE(c.change(windows["scenarios"][0]["report"])) << c.name;
        auto differences = gaugehost::compare_results(native, windows);
        ASSERT_EQ(differences.size(), 1u) << c.name;
        const auto& d = differences[0];
        EXPECT_EQ(d.scenario, "airspeed");
        EXPECT_NE(d.field.find(c.field), std::string::npos) << c.name << ": " << d.field;
        if (std::string(c.field) == "angle") {
            EXPECT_EQ(d.field, needle_name + " angle");
        }
        if (*c.native_value) {
            EXPECT_EQ(d.expected, c.native_value) << c.name;
        }
        if (*c.windows_value) {
            EXPECT_EQ(d.actual, c.windows_value) << c.name;
        }
        EXPECT_EQ(gaugehost::describe(d), "scenario 'airspeed': " + d.field + ": native " + d.expected +
                                              " vs windows " + d.actual);
    }

    // A key event with another value, a scenario missing or failing on one side.
    nlohmann::json with_event = native;
    with_event["scenarios"][0]["report"]["events"] = {{{"id", "0x10000"}, {"value", 16383}}};
    nlohmann::json other_event = with_event;
    other_event["scenarios"][0]["report"]["events"][0]["value"] = 16384;
    auto d = gaugehost::compare_results(with_event, other_event);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(gaugehost::describe(d[0]), "scenario 'airspeed': key event 1 value: native 16383 vs windows 16384");

    nlohmann::json missing = native;
    missing["scenarios"] = nlohmann::json::array();
    d = gaugehost::compare_results(native, missing);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(gaugehost::describe(d[0]), "scenario 'airspeed': scenario: native run vs windows (missing)");

    nlohmann::json failed = native;
    failed["scenarios"][0].erase("report");
    failed["scenarios"][0]["error"] = "Orvane.gau: cannot load module";
    d = gaugehost::compare_results(native, failed);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].field, "error");
    EXPECT_EQ(d[0].actual, "Orvane.gau: cannot load module");
}

TEST(ConformanceComparer, CompareCommandFailsOnADifferenceAndPrintsIt)
{
    auto scenarios = gaugehost::parse_scenarios("a: Orvane Airspeed --token 61=80\n", "test");
    auto native = gaugehost::run_scenarios(scenarios, ORVANE_GAUGES_DIR);
    nlohmann::json windows = native;
    windows["host"] = "windows";
    fs::path folder = fs::path(ORVANE_BINARY_DIR) / "test-conform-compare";
    fs::create_directories(folder);
    std::ofstream(folder / "native.json") << native.dump();
    std::ofstream(folder / "same.json") << windows.dump();
    windows["scenarios"][0]["report"]["tooltips"] = {{{"x", 1.0}, {"y", 2.0}, {"text", "X"}}};
    std::ofstream(folder / "doctored.json") << windows.dump();

    auto same = orvane_test::run_gaugehost(
        {"conform", "--compare", (folder / "native.json").string(), (folder / "same.json").string()});
    EXPECT_EQ(same.exit_code, 0) << same.output;
    EXPECT_NE(same.output.find("native and windows agree on all 1 scenarios"), std::string::npos) << same.output;
    auto differ = orvane_test::run_gaugehost(
        {"conform", "--compare", (folder / "native.json").string(), (folder / "doctored.json").string()});
    EXPECT_EQ(differ.exit_code, 1) << differ.output;
    EXPECT_NE(differ.output.find("scenario 'a': tooltips count: native 0 vs windows 1"), std::string::npos)
        << differ.output;
}

TEST(ScenarioFiles, BadLinesAreRejectedWithFileAndLine)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"Orvane Airspeed\n", "f:1: expected 'NAME: MODULE GAUGE [STEP]...'"},
        {"# c\n\na:\n", "f:3: scenario 'a' needs MODULE GAUGE"},
        {"a: Orvane Airspeed --token 61\n", "f:1: scenario 'a': bad value '61' for --token"},
        {"a: Orvane Airspeed --bogus\n", "unknown option --bogus"},
        {"a: Orvane Airspeed --gauges x\n", "--gauges does not belong in a scenario"},
        {"a: Orvane Airspeed\nb: Orvane Airspeed\na: Orvane Airspeed\n", "f:3: scenario 'a' given twice"},
        {"a: Orvane Airspeed \\\n --click 1\n", "f:1: scenario 'a': bad value '1' for --click"},
    };
    for (const auto& c : cases) {
        try {
            gaugehost::parse_scenarios(c.text, "f");
            ADD_FAILURE() << c.text << " accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    auto ok = gaugehost::parse_scenarios("# x\r\nlong: Orvane Airspeed --token 61=1 \\\r\n  --updates 2\r\n", "f");
    ASSERT_EQ(ok.size(), 1u);
    EXPECT_EQ(ok[0].steps, (std::vector<std::string>{"--token", "61=1", "--updates", "2"}));

    auto r = orvane_test::run_gaugehost({"conform", "/nonexistent/scenarios.txt", "--gauges", ORVANE_GAUGES_DIR});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("cannot read scenario file"), std::string::npos) << r.output;
    r = orvane_test::run_gaugehost({"conform", "--gauges", ORVANE_GAUGES_DIR});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.output.find("expected SCENARIO_FILE"), std::string::npos) << r.output;
}

}  // namespace
