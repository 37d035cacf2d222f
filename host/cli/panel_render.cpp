// `gaugehost render --panel`: draws the panel, or one of its windows, at a
// host time of the demo flight or after a scenario.
#include "panel_render.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "host/panel/panel_draw.h"
#include "host/paths.h"
#include "host/probe.h"

namespace gaugehost::cli {

double number_option(const std::string& option, const std::string& value, double lo, double hi)
{
    auto v = parse_double(value);
    if (!v || !(*v >= lo) || !(*v <= hi))
        throw std::invalid_argument(option + " '" + value + "': expected a number from " +
                                    std::to_string(int(lo)) + " to " + std::to_string(int(hi)));
    return *v;
}

bool take_panel_option(const Args& args, size_t& i, PanelOptions& options)
{
    const std::string& a = args[i];
    if (a != "--panel" && a != "--gauges" && a != "--scenario" && a != "--time") return false;
    if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument(a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--panel")
        options.panel = v;
    else if (a == "--gauges")
        options.gauges_folder = v;
    else if (a == "--scenario")
        options.scenario = v;
    else
        options.time = number_option(a, v, 0, 86400);
    return true;
}

std::string default_panel_file()
{
    namespace fs = std::filesystem;
    fs::path here = fs::path("panel") / "orvane.cfg";
    if (fs::exists(here)) return here.string();
    fs::path beside =
        fs::path(executable_folder()).parent_path().parent_path().parent_path() / "panel" / "orvane.cfg";
    if (fs::exists(beside)) return beside.string();
    throw std::invalid_argument("no --panel given and no panel/orvane.cfg found");
}

std::unique_ptr<Session> start_session(const PanelOptions& options, std::optional<Scenario>& scenario)
{
    std::string panel = options.panel.empty() ? default_panel_file() : options.panel;
    std::string folder = options.gauges_folder.empty() ? default_gauges_folder() : options.gauges_folder;
    if (!std::filesystem::is_directory(folder)) throw std::runtime_error(folder + ": no such gauges folder");
    if (!options.scenario.empty()) scenario = load_scenario(options.scenario);
    auto session = std::make_unique<Session>(panel, folder);
    if (scenario) {
        session->play(*scenario);
    } else {
        session->aircraft().preset_running();
        session->aircraft().start_demo_flight(/*work_levers=*/true);
    }
    return session;
}

static const char* kPanelRenderUsage =
    "usage: gaugehost render --panel FILE [--window N] [--time T | --scenario FILE]\n"
    "                        [--gauges DIR] --out FILE.png\n"
    "\n"
    "Loads the panel FILE with the aircraft model and draws the whole panel (every\n"
    "open window) or, with --window N, the window with ident N, into FILE.png.\n"
    "  --time T          host time in seconds (default 0). Without a scenario the\n"
    "                    engine runs and the demo flight (throttle included) starts\n"
    "                    at 0, so T picks a moment of it.\n"
    "  --scenario FILE   plays the scenario (see scenarios/) to its end, or to T\n"
    "                    when --time is given too.\n"
    "  --gauges DIR      where the modules are (default: beside the bin folder).\n"
    "A closed window asked for with --window gets one update of its gauges first.\n";

int panel_render_command(const Args& args)
{
    if (wants_help(args, kPanelRenderUsage)) return 0;
    PanelOptions options;
    std::string out;
    std::optional<int> window;
    for (size_t i = 0; i < args.size(); ++i) {
        if (take_panel_option(args, i, options)) continue;
        const std::string& a = args[i];
        if ((a == "--out" || a == "--window") && (i + 1 >= args.size() || args[i + 1].empty()))
            throw std::invalid_argument(a + " needs a value");
        if (a == "--out")
            out = args[++i];
        else if (a == "--window")
            window = int(number_option(a, args[++i], 0, 2147483647));
        else
            throw std::invalid_argument("unexpected argument '" + a + "'");
    }
    if (options.panel.empty()) throw std::invalid_argument("--panel FILE is required");
    if (out.empty()) throw std::invalid_argument("missing --out FILE.png");

    std::optional<Scenario> scenario;
    auto session = start_session(options, scenario);
    Panel::Window* target = nullptr;
    if (window) {
        target = session->panel().window(*window);
        if (!target)
            throw std::invalid_argument("the panel has no window with ident " + std::to_string(*window));
    }
    if (scenario) {
        while (!session->scenario_done() &&
               (!options.time || session->time() + Session::kTick / 2 < *options.time))
            session->tick();
    } else if (options.time) {
        session->run_until(*options.time);
    }
    // A closed window's gauges have not followed the aircraft: bring them
    // up to date (no host time passes).
    if (target && !target->visible)
        for (auto& g : target->gauges) g.gauge->update();
    PanelPainter painter(session->panel());
    Image picture = target ? painter.draw_window(*target) : painter.draw_panel();
    write_png(picture, out);
    std::printf(
        "%s drawn %dx%d at %.2f s to %s\n",
        target ? ("window " + std::to_string(*window) + " (" + target->config.title + ")").c_str() : "panel",
        picture.width, picture.height, session->time(), out.c_str());
    return 0;
}

}  // namespace gaugehost::cli
