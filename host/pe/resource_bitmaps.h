// Bitmap sources that read a module's RT_BITMAP resources: from a .gau file
// (any host) or from a module loaded by the Windows loader.
#pragma once

#include <memory>
#include <string>

#include "host/module.h"
#include "pe_file.h"

namespace gaugehost::pe {

// The bitmaps of a Windows module file, read with the PE reader.
class FileResourceBitmaps : public BitmapSource {
public:
    // Reads and checks the file now; throws PeError.
    explicit FileResourceBitmaps(const std::string& path);
    std::optional<Bitmap> load(int number) override;
    std::string describe() const override { return file_.what() + " (bitmap resources)"; }

private:
    PeFile file_;
};

#if defined(_WIN32)
// The bitmaps of a loaded module, through FindResource and LoadResource.
class LoadedResourceBitmaps : public BitmapSource {
public:
    LoadedResourceBitmaps(void* module_handle, std::string path)
        : handle_(module_handle), path_(std::move(path))
    {
    }
    std::optional<Bitmap> load(int number) override;
    std::string describe() const override { return path_ + " (bitmap resources, loaded)"; }

private:
    void* handle_;
    std::string path_;
};
#endif

}  // namespace gaugehost::pe
