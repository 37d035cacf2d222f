// gaugehost: load gauge modules, drive their gauges, draw and serve them.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const gaugehost::cli::Args&);
    const char* summary;
};

const Command commands[] = {
    {"list", gaugehost::cli::list_command, "modules and their gauges in Linkage order, with size fields"},
    {"probe", gaugehost::cli::probe_command, "drive one gauge through steps and report its state"},
    {"render", gaugehost::cli::render_command, "draw a gauge after probe steps, or a panel (--panel), to a PNG file"},
    {"run", gaugehost::cli::run_command, "fly the panel over host time: PNG frames and an animated GIF"},
    {"serve", gaugehost::cli::serve_command, "the interactive panel in a browser on 127.0.0.1"},
    {"conform", gaugehost::cli::conform_command, "run scenario files in one process, compare two hosts' results"},
    {"info", gaugehost::cli::info_command, "what each module carries: version, exports, imports, bitmaps"},
};

void usage(FILE* to)
{
    std::fprintf(to, "usage: gaugehost COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : commands) std::fprintf(to, "  %-8s %s\n", c.name, c.summary);
    std::fprintf(to, "\n'gaugehost COMMAND --help' describes a command.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        usage(stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : commands) {
        if (name != c.name) continue;
        try {
            return c.run(args);
        } catch (const std::invalid_argument& e) {
            std::fprintf(stderr, "gaugehost %s: %s\n(see 'gaugehost %s --help')\n", c.name, e.what(), c.name);
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "gaugehost %s: %s\n", c.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "gaugehost: unknown command '%s'\n\n", name.c_str());
    usage(stderr);
    return 2;
}
