// `gaugehost run` and `gaugehost render --panel` from the outside: bad panel
// files, scenarios and arguments give a clear message and a non-zero exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/support.h"

using orvane_test::run_gaugehost;

namespace {

std::string write_temp(const std::string& name, const std::string& text)
{
    auto dir = std::filesystem::temp_directory_path() / "orvane_panel_cli";
    std::filesystem::create_directories(dir);
    auto path = (dir / name).string();
    std::ofstream(path) << text;
    return path;
}

struct CliCase {
    std::vector<std::string> args;  // "@panel" and "@scenario" stand for the files below
    int exit_code;
    std::string message;  // must appear in the output ("@panel" replaced too)
};

class PanelCli : public ::testing::TestWithParam<CliCase> {};

TEST_P(PanelCli, RejectsBadInput)
{
    std::string panel = write_temp("bad.cfg",
                                   "[Window00]\ntitle=Main\nident=0\nposition=0,0\nsize=100,100\n"
                                   "gauge00=Orvane!Airspeed 10 10\n");
    std::string scenario = write_temp("bad.txt", "wait 1\nclick Airspeed\n");
    std::string out = (std::filesystem::temp_directory_path() / "orvane_panel_cli" / "out").string();
    CliCase c = GetParam();
    for (auto& a : c.args) {
        if (a == "@panel") a = panel;
        if (a == "@scenario") a = scenario;
        if (a == "@out") a = out;
    }
    auto replace = [&](std::string s) {
        size_t at = s.find("@panel");
        if (at != std::string::npos) s.replace(at, 6, panel);
        at = s.find("@scenario");
        if (at != std::string::npos) s.replace(at, 9, scenario);
        return s;
    };
    auto r = run_gaugehost(c.args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.output;
    EXPECT_NE(r.output.find(replace(c.message)), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanelCli,
    ::testing::Values(
        CliCase{{"run", "--panel", "@panel", "--out", "@out"},
                1,
                "gaugehost run: @panel:6: gauge00 must read Module!Gauge, x, y[, width] (got "
                "'Orvane!Airspeed 10 10')"},
        CliCase{{"render", "--panel", "@panel", "--out", "@out/x.png"},
                1,
                "gaugehost render: @panel:6: gauge00 must"},
        CliCase{{"run", "--panel", "/nonexistent.cfg", "--out", "@out"},
                1,
                "/nonexistent.cfg: cannot read the panel file"},
        CliCase{{"run", "--scenario", "@scenario", "--out", "@out"},
                1,
                "@scenario:2: expected 'click GAUGE X,Y'"},
        CliCase{{"run", "--fps", "0", "--out", "@out"}, 2, "--fps '0': expected a number"},
        CliCase{{"run", "--fps", "many", "--out", "@out"}, 2, "--fps 'many'"},
        CliCase{{"run", "--seconds", "-1", "--out", "@out"}, 2, "--seconds '-1'"},
        CliCase{{"run", "--seconds"}, 2, "--seconds needs a value"},
        CliCase{{"run", "--frobnicate", "1"}, 2, "unexpected argument '--frobnicate'"},
        CliCase{{"run"}, 2, "missing --out DIR"},
        CliCase{{"render", "--panel", "@panel"}, 2, "missing --out FILE.png"},
        CliCase{{"render", "--panel", "@panel", "--window", "x", "--out", "a.png"}, 2, "--window 'x'"},
        CliCase{{"render", "--panel", "@panel", "--time", "nan", "--out", "a.png"}, 2, "--time 'nan'"},
        CliCase{
            {"run", "--gauges", "/nonexistent", "--out", "@out"}, 1, "/nonexistent: no such gauges folder"}));

TEST(PanelCli, HelpDescribesTheCommands)
{
    auto r = run_gaugehost({"run", "--help"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.output.find("usage: gaugehost run"), std::string::npos);
    r = run_gaugehost({"render", "--panel", "x", "--help"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.output.find("usage: gaugehost render --panel FILE"), std::string::npos);
}

}  // namespace
