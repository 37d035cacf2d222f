// `gaugehost serve`: the panel in a browser, flown by the aircraft model.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "commands.h"
#include "host/paths.h"
#include "host/web/http_server.h"
#include "host/web/panel_loop.h"
#include "panel_render.h"

namespace gaugehost::cli {

namespace {

const char* kServeUsage =
    "usage: gaugehost serve [--panel FILE] [--port N] [--gauges DIR] [--scenario FILE]\n"
    "                       [--demo] [--engine-running] [--paused]\n"
    "\n"
    "Runs the panel (default: the shipped panel/orvane.cfg) with the aircraft model\n"
    "at the host's 18 updates per second and serves it on http://127.0.0.1:N/\n"
    "(default port 8180; 0 picks a free one). The page shows the panel windows\n"
    "live; the mouse works the gauges as in the simulator (tooltips, cursors,\n"
    "clicks, drags, held buttons); the side panel runs the demo flight, sets and\n"
    "releases tokens, fails and repairs, switches units and lists key events.\n"
    "  --scenario FILE  plays a scenario from the start (see scenarios/; the\n"
    "                   page can play one too)\n"
    "  --demo           starts the demo flight at once\n"
    "  --engine-running starts with the engine running and warm\n"
    "  --paused         host time stands still until the page says play\n"
    "Prints 'serving the panel at http://127.0.0.1:N/' once it listens; stops on\n"
    "Ctrl-C.\n";

std::atomic<bool> interrupted{false};

void on_signal(int)
{
    interrupted = true;
}

int parse_port(const std::string& s)
{
    size_t used = 0;
    int port = -1;
    try {
        port = std::stoi(s, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != s.size() || port < 0 || port > 65535)
        throw std::invalid_argument("--port needs a number from 0 to 65535, not '" + s + "'");
    return port;
}

}  // namespace

int serve_command(const Args& args)
{
    if (wants_help(args, kServeUsage)) return 0;
    web::LoopOptions options;
    int port = 8180;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--panel") options.panel = value();
        else if (a == "--port") port = parse_port(value());
        else if (a == "--gauges") options.gauges = value();
        else if (a == "--scenario") options.scenario = value();
        else if (a == "--demo") options.demo = true;
        else if (a == "--engine-running") options.engine_running = true;
        else if (a == "--paused") options.paused = true;
        else throw std::invalid_argument("unexpected argument '" + a + "'");
    }
    if (options.panel.empty()) options.panel = default_panel_file();
    if (options.gauges.empty()) options.gauges = default_gauges_folder();
    if (!std::filesystem::is_regular_file(options.panel)) throw std::runtime_error(options.panel + ": no such file");
    if (!options.scenario.empty() && !std::filesystem::is_regular_file(options.scenario))
        throw std::runtime_error(options.scenario + ": no such file");

    web::PanelLoop loop(options);
    web::HttpServer server(loop);
    int bound = server.bind(port);

    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::thread watcher([&] {
        while (!interrupted) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        loop.stop();
        server.stop();
    });
    std::printf("serving the panel at http://127.0.0.1:%d/\n", bound);
    std::fflush(stdout);
    server.listen();
    interrupted = true;
    watcher.join();
    return 0;
}

}  // namespace gaugehost::cli
