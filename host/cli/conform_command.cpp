#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <set>
#include <stdexcept>

#include "commands.h"
#include "host/conform.h"
#include "host/paths.h"

namespace gaugehost::cli {

static const char* kConformUsage =
    "usage: gaugehost conform SCENARIO_FILE... [--gauges DIR]\n"
    "       gaugehost conform --generate [--gauges DIR]\n"
    "       gaugehost conform --compare EXPECTED.json ACTUAL.json\n"
    "\n"
    "Runs every scenario of the files, each on its module loaded fresh, and\n"
    "prints one JSON document with every scenario's probe report (or its\n"
    "error). A scenario file holds one scenario per line:\n"
    "    NAME: MODULE GAUGE [STEP]...\n"
    "with the steps of 'gaugehost probe'; '#' starts a comment line and a\n"
    "line ending in '\\' continues on the next.\n"
    "\n"
    "--generate prints default scenarios for every gauge of every module in\n"
    "DIR: tokens in, updates, hovers, clicks, holds, drags, failures, width.\n"
    "--compare compares two such documents field by field, numbers exactly,\n"
    "prints every difference and exits 1 if there is one.\n";

namespace {

nlohmann::json read_json(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot read file");
    std::stringstream text;
    text << in.rdbuf();
    try {
        return nlohmann::json::parse(text.str());
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(path + ": not a JSON document (" + e.what() + ")");
    }
}

}  // namespace

int conform_command(const Args& args)
{
    if (wants_help(args, kConformUsage)) return 0;
    std::string folder = default_gauges_folder();
    std::vector<std::string> files;
    bool generate = false;
    bool compare = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--gauges") {
            if (i + 1 >= args.size()) throw std::invalid_argument("--gauges needs a value");
            folder = args[++i];
        } else if (args[i] == "--generate") {
            generate = true;
        } else if (args[i] == "--compare") {
            compare = true;
        } else if (args[i].rfind("--", 0) == 0) {
            throw std::invalid_argument("unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (generate && compare) throw std::invalid_argument("--generate and --compare exclude each other");

    if (compare) {
        if (files.size() != 2) throw std::invalid_argument("--compare needs EXPECTED.json ACTUAL.json");
        nlohmann::json expected = read_json(files[0]), actual = read_json(files[1]);
        auto differences = compare_results(expected, actual);
        const std::string a = expected.value("host", "expected"), b = actual.value("host", "actual");
        for (const auto& d : differences) std::printf("%s\n", describe(d, a, b).c_str());
        size_t count = expected.contains("scenarios") ? expected["scenarios"].size() : 0;
        if (differences.empty()) {
            std::printf("%s and %s agree on all %zu scenarios\n", a.c_str(), b.c_str(), count);
            return 0;
        }
        std::printf("%zu differences in %zu scenarios\n", differences.size(), count);
        return 1;
    }

    if (!std::filesystem::is_directory(folder)) throw std::runtime_error(folder + ": no such folder");
    if (generate) {
        if (!files.empty()) throw std::invalid_argument("--generate takes no scenario files");
        std::printf("# Default scenarios for the gauges of %s (gaugehost conform --generate).\n", folder.c_str());
        for (const ConformScenario& s : default_scenarios(folder)) std::printf("%s\n", scenario_line(s).c_str());
        return 0;
    }
    if (files.empty()) throw std::invalid_argument("expected SCENARIO_FILE");
    std::vector<ConformScenario> scenarios;
    std::set<std::string> names;
    for (const auto& f : files) {
        for (auto& s : read_scenario_file(f)) {
            if (!names.insert(s.name).second)
                throw std::runtime_error(s.origin + ": scenario '" + s.name + "' given twice");
            scenarios.push_back(std::move(s));
        }
    }
    std::printf("%s\n", run_scenarios(scenarios, folder).dump().c_str());
    return 0;
}

}  // namespace gaugehost::cli
