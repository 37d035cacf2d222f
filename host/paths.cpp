#include "paths.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace gaugehost {

std::string executable_folder()
{
#if defined(_WIN32)
    char buffer[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::string(buffer, n)).parent_path().string();
#else
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
#endif
}

std::string default_gauges_folder()
{
    return (std::filesystem::path(executable_folder()).parent_path() / "gauges").string();
}

}  // namespace gaugehost
