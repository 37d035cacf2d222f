#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "commands.h"
#include "host/host.h"
#include "host/paths.h"
#include "host/probe.h"

namespace gaugehost::cli {

bool wants_help(const Args& args, const char* usage)
{
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(usage, stdout);
            return true;
        }
    }
    return false;
}

static const char* kListUsage =
    "usage: gaugehost list [--gauges DIR]\n"
    "\n"
    "Loads every gauge module in DIR (default: the gauges folder beside the\n"
    "host's bin folder) and prints its gauges in Linkage order with their\n"
    "size fields.\n";

int list_command(const Args& args)
{
    if (wants_help(args, kListUsage)) return 0;
    std::string folder = default_gauges_folder();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--gauges" && i + 1 < args.size()) folder = args[++i];
        else throw std::invalid_argument("unexpected argument '" + args[i] + "'");
    }
    if (!std::filesystem::is_directory(folder)) throw std::runtime_error(folder + ": no such folder");
    auto names = modules_in_folder(folder);
    if (names.empty()) throw std::runtime_error(folder + ": no gauge modules found");
    TokenStore tokens;
    Host host(tokens);
    for (const auto& name : names) {
        Module& m = host.load_module(module_file_in(folder, name));
        std::printf("%s (%zu gauges)\n", m.name().c_str(), m.gauges().size());
        int index = 1;
        for (GaugeHeader* g : m.gauges()) std::printf("  %2d  %-24s size %u\n", index++, g->name, g->size);
    }
    return 0;
}

static const char* kProbeUsage =
    "usage: gaugehost probe MODULE GAUGE [STEP]... [--gauges DIR] [--json]\n"
    "\n"
    "Loads MODULE fresh, performs the steps in the order given and reports the\n"
    "gauge's state after the last one. Steps:\n"
    "  --token N=V        set token N to the double V (nan, inf, -0 accepted)\n"
    "  --token N=i:V      store the 32-bit integer V in the value field's low half\n"
    "  --updates K        run K updates of the gauge (0 is valid)\n"
    "  --update-gauge G   run one update of gauge G of the same module\n"
    "  --click X,Y[,F]    mouse action with flags F (default 0x20000000, left\n"
    "                     click), then one update\n"
    "  --hold X,Y,MS      press there, let MS ms of host time pass, release\n"
    "  --press X,Y  --move X,Y  --release\n"
    "                     the same in pieces; a move with the button down drags\n"
    "  --width W          draw the gauge at width W\n"
    "  --fail KEY  --repair KEY\n"
    "  --hover X,Y        read the tooltip there (may be repeated)\n"
    "Without a step that runs an update, one update runs after the leading\n"
    "--token steps. Positions are in drawn units from the gauge's top-left.\n";

int probe_command(const Args& args)
{
    if (wants_help(args, kProbeUsage)) return 0;
    ProbeRequest request = parse_probe_arguments(args);
    nlohmann::json report = run_probe(request);
    if (request.json) std::printf("%s\n", report.dump(2).c_str());
    else std::fputs(probe_report_text(report).c_str(), stdout);
    return 0;
}

}  // namespace gaugehost::cli
