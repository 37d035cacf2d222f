// `gaugehost render`: draws a gauge to a PNG file after probe steps.
#include <cstdio>
#include <stdexcept>

#include "commands.h"
#include "host/gauge.h"
#include "host/probe.h"
#include "host/render/renderer.h"

namespace gaugehost::cli {

static const char* kRenderUsage =
    "usage: gaugehost render MODULE GAUGE [STEP]... --out FILE.png [--width W]\n"
    "                        [--gauges DIR] [--json]\n"
    "\n"
    "Loads MODULE fresh, performs the steps as 'gaugehost probe' does (see\n"
    "'gaugehost probe --help'), then draws GAUGE as it stands after the last\n"
    "step into FILE.png (RGBA, transparent where the gauge draws nothing).\n"
    "--width W draws the gauge at width W (the height scales alike); it acts\n"
    "as a step, so put it before the steps that should see it. With --json the\n"
    "probe report is printed too.\n"
    "'gaugehost render --panel FILE ...' draws a panel (see 'gaugehost render\n"
    "--panel x --help').\n";

int render_command(const Args& args)
{
    for (const auto& a : args)
        if (a == "--panel") return panel_render_command(args);
    if (wants_help(args, kRenderUsage)) return 0;
    Args probe_args;
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out") {
            if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument("--out needs a file name");
            out = args[++i];
        } else {
            probe_args.push_back(args[i]);
        }
    }
    ProbeRequest request = parse_probe_arguments(probe_args);
    if (out.empty()) throw std::invalid_argument("missing --out FILE.png");
    Image picture;
    nlohmann::json report = run_probe(request, [&](Gauge& gauge) { picture = render_gauge(gauge); });
    write_png(picture, out);
    if (request.json) std::printf("%s\n", report.dump(2).c_str());
    else std::printf("%s!%s drawn %dx%d to %s\n", request.module.c_str(), request.gauge.c_str(), picture.width,
                     picture.height, out.c_str());
    return 0;
}

}  // namespace gaugehost::cli
