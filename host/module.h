// Loading a gauge module: the library, its two symbols, its gauge list and
// its bitmaps.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/gauge.h"
#include "image.h"

namespace gaugehost {

// Where a module's bitmaps come from, by resource number.
class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // nullopt when the module has no bitmap of that number; throws for a
    // bitmap that exists but cannot be read.
    virtual std::optional<Bitmap> load(int number) = 0;
    virtual std::string describe() const = 0;
};

// BMP files named <number>.bmp in one folder.
class FolderBitmaps : public BitmapSource {
public:
    explicit FolderBitmaps(std::string folder) : folder_(std::move(folder)) {}
    std::optional<Bitmap> load(int number) override;
    std::string describe() const override { return folder_; }

private:
    std::string folder_;
};

class Module {
public:
    // Loads the library, stores `services` in its ImportTable, reads Linkage
    // and calls the module init routine. Throws std::runtime_error with a
    // clear message when the file is not a gauge module.
    Module(const std::string& path, HostServiceTable* services);
    // Calls the module deinit routine and unloads the library.
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }
    const std::vector<GaugeHeader*>& gauges() const { return gauges_; }
    GaugeHeader* find_gauge(const std::string& gauge_name) const;
    ImportEntry* import_table() const { return import_table_; }
    // The loader's handle of the library (HMODULE in the Windows host).
    void* native_handle() const { return handle_; }
    // The library whose code runs: the module file itself, except for a
    // Windows module opened by the native host (see module_file_in).
    const std::string& code_path() const { return code_path_; }

    // The module's bitmap of that number, cached; null if it has none.
    const Bitmap* bitmap(int number);
    void set_bitmap_source(std::unique_ptr<BitmapSource> source);
    BitmapSource* bitmap_source() const { return bitmaps_.get(); }

private:
    std::string path_;
    std::string code_path_;
    std::string name_;
    void* handle_ = nullptr;
    ImportEntry* import_table_ = nullptr;
    LinkageHead* linkage_ = nullptr;
    std::vector<GaugeHeader*> gauges_;
    std::unique_ptr<BitmapSource> bitmaps_;
    std::map<int, std::optional<Bitmap>> cache_;
};

// File name of a module of this build's kind: "Orvane.so" natively,
// "Orvane.gau" in the Windows host.
std::string module_file_name(const std::string& module_name);
// Module names of the modules in a folder, sorted.
std::vector<std::string> modules_in_folder(const std::string& folder);
// The file of a module in a folder, empty if there is none. The native host
// also accepts a folder of Windows deliverables (NAME.gau without NAME.so):
// it then runs the code of the native build's NAME.so from the default
// gauges folder and draws with the bitmap resources of NAME.gau.
std::string module_file_in(const std::string& folder, const std::string& module_name);

}  // namespace gaugehost
