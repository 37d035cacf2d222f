#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "commands.h"
#include "host/host.h"
#include "host/paths.h"
#include "host/pe/module_facts.h"

namespace gaugehost::cli {

static const char* kInfoUsage =
    "usage: gaugehost info [MODULE]... [--gauges DIR] [--json]\n"
    "\n"
    "Loads each MODULE (default: every module in DIR) and reports what it\n"
    "carries: its version resource, the names its export directory gives,\n"
    "the DLLs it imports and, per gauge, the bitmaps its element records name\n"
    "and any the module lacks. The Windows host asks the Windows loader and\n"
    "version API (an imported DLL counts as a system DLL when the loader took\n"
    "it from the system folder); the native host reads a .gau file itself.\n";

int info_command(const Args& args)
{
    if (wants_help(args, kInfoUsage)) return 0;
    std::string folder = default_gauges_folder();
    std::vector<std::string> names;
    bool json = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--gauges") {
            if (i + 1 >= args.size()) throw std::invalid_argument("--gauges needs a value");
            folder = args[++i];
        } else if (args[i] == "--json") {
            json = true;
        } else if (args[i].rfind("--", 0) == 0) {
            throw std::invalid_argument("unknown option " + args[i]);
        } else {
            names.push_back(args[i]);
        }
    }
    if (!std::filesystem::is_directory(folder)) throw std::runtime_error(folder + ": no such folder");
    if (names.empty()) names = modules_in_folder(folder);
    if (names.empty()) throw std::runtime_error(folder + ": no gauge modules found");

    TokenStore tokens;
    Host host(tokens);
    nlohmann::json report;
    report["modules"] = nlohmann::json::array();
    for (const auto& name : names) {
        std::string path = module_file_in(folder, name);
        if (path.empty()) throw std::runtime_error("unknown module '" + name + "' in " + folder);
        pe::ModuleFacts facts = pe::module_facts(host.load_module(path));
        if (json) report["modules"].push_back(pe::facts_json(facts));
        else std::fputs(pe::facts_text(facts).c_str(), stdout);
    }
    if (json) std::printf("%s\n", report.dump(2).c_str());
    return 0;
}

}  // namespace gaugehost::cli
