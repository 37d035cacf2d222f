// `gaugehost run` and `gaugehost render --panel` from the outside: bad panel
// files, scenarios and arguments give a clear message and a non-zero exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/render/renderer.h"
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

namespace {

TEST(PanelCli, RunWritesFramesAndRenderDrawsPanelAndWindow)
{
    namespace fs = std::filesystem;
    std::string panel =
        write_temp("small.cfg",
                   "[Window00]\ntitle=Main\nident=0\nposition=0,0\nsize=320,300\n"
                   "gauge00=Orvane!Airspeed, 10, 10, 200\n"
                   "[Window01]\ntitle=Second\nident=7\nposition=320,0\nsize=150,120\nvisible=0\n"
                   "gauge00=Orvane!Airspeed, 5, 5, 100\n");
    std::string scenario = write_temp("small.txt", "set 61 120\nwait 0.5\nwindow 7 open\nwait 0.5\n");
    fs::path out = fs::temp_directory_path() / "orvane_panel_cli" / "frames";
    fs::remove_all(out);
    auto r = run_gaugehost({"run", "--panel", panel, "--scenario", scenario, "--seconds", "1", "--fps", "2",
                            "--gif-width", "0", "--out", out.string()});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("3 frames of 470x300 over 1.00 s"), std::string::npos) << r.output;
    for (const char* f : {"frame_00000.png", "frame_00001.png", "frame_00002.png"}) {
        gaugehost::Image frame = gaugehost::read_png((out / f).string());
        EXPECT_EQ(frame.width, 470);
        EXPECT_EQ(frame.height, 300);
    }
    EXPECT_FALSE(fs::exists(out / "frame_00003.png"));
    // The second window opens half-way: the first frame shows bare
    // background there, the last one the window's colour.
    gaugehost::Image first = gaugehost::read_png((out / "frame_00000.png").string());
    gaugehost::Image last = gaugehost::read_png((out / "frame_00002.png").string());
    EXPECT_NE(first.at(460, 110), last.at(460, 110));

    std::string png = (out / "window.png").string();
    r = run_gaugehost({"render", "--panel", panel, "--window", "7", "--time", "0.5", "--out", png});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("window 7 (Second) drawn 150x120 at 0.50 s"), std::string::npos) << r.output;
    EXPECT_EQ(gaugehost::read_png(png).width, 150);
    r = run_gaugehost({"render", "--panel", panel, "--window", "8", "--out", png});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.output.find("the panel has no window with ident 8"), std::string::npos) << r.output;
}

}  // namespace
