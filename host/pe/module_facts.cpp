#include "module_facts.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "host/gauge.h"
#include "host/host.h"
#include "pe_file.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace gaugehost::pe {

namespace {

#if defined(_WIN32)

std::string lower(std::string s)
{
    for (char& c : s) c = char(tolower((unsigned char)c));
    return s;
}

// Export and import directories of the image as the loader mapped it.
void read_loaded_image(void* handle, ModuleFacts& facts)
{
    const auto* base = static_cast<const uint8_t*>(handle);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) throw std::runtime_error(facts.file + ": loaded image has no DOS header");
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) throw std::runtime_error(facts.file + ": loaded image has no PE header");
    const auto& directories = nt->OptionalHeader.DataDirectory;

    const auto& exports = directories[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (exports.VirtualAddress && exports.Size) {
        const auto* e = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exports.VirtualAddress);
        facts.export_name = reinterpret_cast<const char*>(base + e->Name);
        const auto* names = reinterpret_cast<const DWORD*>(base + e->AddressOfNames);
        for (DWORD i = 0; i < e->NumberOfNames; ++i) {
            const char* name = reinterpret_cast<const char*>(base + names[i]);
            // Every name must also resolve through the loader.
            if (!GetProcAddress(static_cast<HMODULE>(handle), name))
                throw std::runtime_error(facts.file + ": export '" + name + "' does not resolve");
            facts.exports.push_back(name);
        }
    }

    char system_folder[MAX_PATH];
    UINT n = GetSystemDirectoryA(system_folder, MAX_PATH);
    const std::string system_prefix = lower(std::string(system_folder, n)) + "\\";
    const auto& imports = directories[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress && imports.Size) {
        const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; d->Name; ++d) {
            ImportedDll dll;
            dll.name = reinterpret_cast<const char*>(base + d->Name);
            HMODULE loaded = GetModuleHandleA(dll.name.c_str());
            if (loaded) {
                char path[MAX_PATH];
                DWORD len = GetModuleFileNameA(loaded, path, MAX_PATH);
                dll.path.assign(path, len);
            }
            dll.system = !dll.path.empty() && lower(dll.path).rfind(system_prefix, 0) == 0 &&
                         dll.path.find('\\', system_prefix.size()) == std::string::npos;
            facts.imports.push_back(dll);
        }
    }
}

#endif

// Bitmap numbers an element record names: its own, an icon's pictures, the
// window of a moving image and the mask of a sprite.
void named_bitmaps(const ElementHeader* e, std::set<int>& out)
{
    switch (e->kind) {
    case ELEMENT_STRING:
        return;
    case ELEMENT_ICON: {
        const auto* icon = reinterpret_cast<const Icon*>(e);
        for (uint32_t i = 0; i < std::min<uint32_t>(icon->picture_count, 1024); ++i) out.insert(e->bitmap + int(i));
        return;
    }
    case ELEMENT_MOVING:
    case ELEMENT_SPRITE:
        out.insert(e->bitmap);
        out.insert(e->bitmap + 1);
        return;
    default:
        out.insert(e->bitmap);
    }
}

}  // namespace

ModuleFacts module_facts(Module& module)
{
    ModuleFacts facts;
    facts.name = module.name();
    facts.file = module.path();
    facts.code = module.code_path();
#if defined(_WIN32)
    facts.source = "loader";
    read_loaded_image(module.native_handle(), facts);
    facts.version = read_version_info(module.path());
#else
    if (std::filesystem::path(module.path()).extension() == ".gau") {
        facts.source = "file";
        PeFile file = PeFile::open(module.path());
        facts.export_name = file.export_module_name();
        facts.exports = file.exports();
        for (const auto& dll : file.imported_dlls()) facts.imports.push_back({dll, "", std::nullopt});
        facts.version = read_version_info(module.path());
    } else {
        facts.source = "none";
    }
#endif
    TokenStore tokens;
    Host host(tokens);
    for (GaugeHeader* header : module.gauges()) {
        Gauge gauge(host, module, header);
        ModuleFacts::GaugeBitmaps g;
        g.gauge = gauge.name();
        g.size = header->size;
        std::set<int> named;
        for (const ElementState& s : gauge.elements()) named_bitmaps(s.element, named);
        for (int number : named) {
            g.named.push_back(number);
            if (!module.bitmap(number)) g.missing.push_back(number);
        }
        facts.gauges.push_back(g);
    }
    return facts;
}

nlohmann::json facts_json(const ModuleFacts& f)
{
    nlohmann::json j;
    j["name"] = f.name;
    j["file"] = f.file;
    j["code"] = f.code;
    j["source"] = f.source;
    if (f.version) {
        j["version"] = {{"file", f.version->file_version},
                        {"product", f.version->product_version},
                        {"strings", f.version->strings}};
    } else {
        j["version"] = nullptr;
    }
    j["export_name"] = f.export_name;
    j["exports"] = f.exports;
    j["imports"] = nlohmann::json::array();
    for (const auto& d : f.imports) {
        nlohmann::json i = {{"dll", d.name}, {"path", d.path}};
        i["system"] = d.system ? nlohmann::json(*d.system) : nlohmann::json(nullptr);
        j["imports"].push_back(i);
    }
    j["gauges"] = nlohmann::json::array();
    for (const auto& g : f.gauges)
        j["gauges"].push_back({{"name", g.gauge}, {"size", g.size}, {"bitmaps", g.named}, {"missing", g.missing}});
    return j;
}

std::string facts_text(const ModuleFacts& f)
{
    std::ostringstream out;
    out << f.name << ": " << f.file << "\n";
    if (f.code != f.file) out << "  code from " << f.code << "\n";
    if (f.version)
        out << "  version " << f.version->file_version << " (product " << f.version->product_version << ")\n";
    else if (f.source != "none")
        out << "  no version resource\n";
    if (f.source != "none") {
        out << "  exports (" << f.source << ", as " << f.export_name << "):";
        for (const auto& e : f.exports) out << " " << e;
        out << "\n  imports:";
        for (const auto& d : f.imports) {
            out << " " << d.name;
            if (!d.path.empty()) out << " (" << d.path << (d.system.value_or(false) ? ", system" : ", NOT system") << ")";
        }
        out << "\n";
    }
    for (const auto& g : f.gauges) {
        out << "  " << g.gauge << ": size " << g.size << ", " << g.named.size() << " bitmaps named";
        if (g.missing.empty()) {
            out << ", all present\n";
        } else {
            out << ", missing:";
            for (int m : g.missing) out << " " << m;
            out << "\n";
        }
    }
    return out.str();
}

}  // namespace gaugehost::pe
