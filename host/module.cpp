#include "module.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "paths.h"
#include "pe/resource_bitmaps.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace gaugehost {

namespace fs = std::filesystem;

#if defined(_WIN32)
static const char* kModuleExtension = ".gau";
#else
static const char* kModuleExtension = ".so";
#endif

std::string module_file_name(const std::string& module_name)
{
    return module_name + kModuleExtension;
}

// A Windows module that the native host reads for its bitmaps.
static const char* kWindowsModuleExtension = ".gau";

std::vector<std::string> modules_in_folder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file()) continue;
        const auto extension = entry.path().extension();
        if (extension == kModuleExtension || extension == kWindowsModuleExtension)
            names.push_back(entry.path().stem().string());
    }
    if (ec) throw std::runtime_error(folder + ": cannot read folder (" + ec.message() + ")");
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string module_file_in(const std::string& folder, const std::string& module_name)
{
    std::error_code ec;
    for (const char* extension : {kModuleExtension, kWindowsModuleExtension}) {
        fs::path file = fs::path(folder) / (module_name + extension);
        if (fs::is_regular_file(file, ec)) return file.string();
    }
    return "";
}

std::optional<Bitmap> FolderBitmaps::load(int number)
{
    fs::path file = fs::path(folder_) / (std::to_string(number) + ".bmp");
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    return load_bmp_file(file.string());
}

namespace {

void* open_library(const std::string& path, std::string& error)
{
#if defined(_WIN32)
    HMODULE h = LoadLibraryA(path.c_str());
    if (!h) error = "LoadLibrary failed (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(h);
#else
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) error = dlerror();
    return h;
#endif
}

void* find_symbol(void* handle, const char* name)
{
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

void close_library(void* handle)
{
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

}  // namespace

Module::Module(const std::string& path, HostServiceTable* services) : path_(path), code_path_(path)
{
    name_ = fs::path(path).stem().string();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw std::runtime_error(path + ": no such module file");
#if !defined(_WIN32)
    // A Windows deliverable: its bitmaps are read from the file, its code
    // is the native build of the same sources.
    std::unique_ptr<BitmapSource> resource_bitmaps;
    if (fs::path(path).extension() == kWindowsModuleExtension) {
        resource_bitmaps = std::make_unique<pe::FileResourceBitmaps>(path);
        code_path_ = (fs::path(default_gauges_folder()) / module_file_name(name_)).string();
        if (!fs::is_regular_file(code_path_, ec))
            throw std::runtime_error(path + ": the native host runs a Windows module with the code of the native "
                                            "build, and there is no " + code_path_);
    }
#endif
    std::string error;
    handle_ = open_library(fs::absolute(code_path_).string(), error);
    if (!handle_) throw std::runtime_error(code_path_ + ": cannot load module: " + error);

    import_table_ = static_cast<ImportEntry*>(find_symbol(handle_, "ImportTable"));
    linkage_ = static_cast<LinkageHead*>(find_symbol(handle_, "Linkage"));
    auto reject = [&](const std::string& why) {
        close_library(handle_);
        handle_ = nullptr;
        throw std::runtime_error(path + ": not a gauge module: " + why);
    };
    if (!import_table_) reject("no ImportTable symbol");
    if (!linkage_) reject("no Linkage symbol");
    if (import_table_[0].id != IMPORT_SERVICE_TABLE_ID) reject("ImportTable entry 1 is not the service table");
    if (linkage_->module_id != LINKAGE_MODULE_ID) reject("Linkage has the wrong module identifier");

    GaugeHeader* const* list = linkage_gauges(linkage_);
    for (size_t i = 0; list[i]; ++i) {
        if (i >= 1024) reject("gauge list has no end");
        if (list[i]->version != GAUGE_HEADER_VERSION || !list[i]->name || !list[i]->element_list)
            reject("gauge " + std::to_string(i + 1) + " has a malformed header");
        gauges_.push_back(list[i]);
    }

    import_table_[0].services = services;
    if (linkage_->init) linkage_->init();

#if defined(_WIN32)
    bitmaps_ = std::make_unique<pe::LoadedResourceBitmaps>(handle_, path);
#else
    if (resource_bitmaps) {
        bitmaps_ = std::move(resource_bitmaps);
    } else {
        fs::path folder = fs::path(path).parent_path() / name_;
        bitmaps_ = std::make_unique<FolderBitmaps>(folder.string());
    }
#endif
}

Module::~Module()
{
    if (!handle_) return;
    if (linkage_->deinit) linkage_->deinit();
    close_library(handle_);
}

GaugeHeader* Module::find_gauge(const std::string& gauge_name) const
{
    for (GaugeHeader* g : gauges_)
        if (gauge_name == g->name) return g;
    return nullptr;
}

void Module::set_bitmap_source(std::unique_ptr<BitmapSource> source)
{
    bitmaps_ = std::move(source);
    cache_.clear();
}

const Bitmap* Module::bitmap(int number)
{
    auto it = cache_.find(number);
    if (it == cache_.end()) it = cache_.emplace(number, bitmaps_ ? bitmaps_->load(number) : std::nullopt).first;
    return it->second ? &*it->second : nullptr;
}

}  // namespace gaugehost
