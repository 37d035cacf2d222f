#include "resource_bitmaps.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace gaugehost::pe {

FileResourceBitmaps::FileResourceBitmaps(const std::string& path) : file_(PeFile::open(path)) {}

std::optional<Bitmap> FileResourceBitmaps::load(int number)
{
    if (number < 1 || number > 0xFFFF) return std::nullopt;
    auto data = file_.resource(RESOURCE_BITMAP, uint32_t(number));
    if (!data) return std::nullopt;
    return decode_bmp(*data, false, file_.what() + " bitmap " + std::to_string(number));
}

#if defined(_WIN32)
std::optional<Bitmap> LoadedResourceBitmaps::load(int number)
{
    if (number < 1 || number > 0xFFFF) return std::nullopt;
    HMODULE module = reinterpret_cast<HMODULE>(handle_);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(number), MAKEINTRESOURCEA(RESOURCE_BITMAP));
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    std::string what = path_ + " bitmap " + std::to_string(number);
    if (!bytes || size == 0) throw std::runtime_error(what + ": LoadResource failed");
    return decode_bmp(std::span<const uint8_t>(static_cast<const uint8_t*>(bytes), size), false, what);
}
#endif

}  // namespace gaugehost::pe
