// What a loaded gauge module carries as a Windows module: its version
// resource, export and import directories and the bitmaps its records name.
// The Windows host asks the loader and the version API; the native host
// reads a .gau file with the PE reader (and knows nothing of this kind
// about a native shared object).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/module.h"
#include "version.h"

namespace gaugehost::pe {

struct ImportedDll {
    std::string name;  // as the import directory names it
    std::string path;  // where the loader found it (Windows host), else empty
    std::optional<bool> system;  // loaded from the system folder (Windows host)
};

struct ModuleFacts {
    std::string name;
    std::string file;
    std::string code;  // the library whose code runs (see Module::code_path)
    std::string source;  // "loader" (Windows host), "file" (PE reader) or "none"
    std::optional<VersionInfo> version;
    std::string export_name;
    std::vector<std::string> exports;
    std::vector<ImportedDll> imports;
    struct GaugeBitmaps {
        std::string gauge;
        uint32_t size = 0;
        std::vector<int> named;    // bitmap numbers named by the element records
        std::vector<int> missing;  // those the module does not have
    };
    std::vector<GaugeBitmaps> gauges;
};

// Throws std::runtime_error for a module whose headers cannot be read.
ModuleFacts module_facts(Module& module);

nlohmann::json facts_json(const ModuleFacts& facts);
std::string facts_text(const ModuleFacts& facts);

}  // namespace gaugehost::pe
