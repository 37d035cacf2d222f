// Console program for the Wine self-test: loads selftest_dll.dll the way our
// gauge host loads gauges and prints what it finds, one fact per line.
// Exit code: 0 when everything was found, 1 otherwise; "exit N" as the first
// argument makes it return N instead (checks exit code propagation).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct SelftestData {
    unsigned magic;
    char name[16];
};

int fail(const char* what) {
    std::printf("FAIL %s (error %lu)\n", what, GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "exit") == 0) {
        std::printf("exiting with %s\n", argv[2]);
        return std::atoi(argv[2]);
    }
    for (int i = 1; i < argc; ++i) std::printf("arg %d: %s\n", i, argv[i]);

    HMODULE dll = LoadLibraryA("selftest_dll.dll");
    if (!dll) return fail("LoadLibrary");
    std::printf("LoadLibrary: ok\n");

    auto* data = reinterpret_cast<const SelftestData*>(
        GetProcAddress(dll, "orvane_selftest_data"));
    if (!data) return fail("GetProcAddress");
    std::printf("data: magic=%08X name=%s\n", data->magic, data->name);

    HRSRC res = FindResourceA(dll, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!res) return fail("FindResource");
    HGLOBAL loaded = LoadResource(dll, res);
    if (!loaded) return fail("LoadResource");
    auto* bmp = static_cast<const BITMAPINFOHEADER*>(LockResource(loaded));
    unsigned sum = 0;
    auto* bytes = reinterpret_cast<const unsigned char*>(bmp);
    for (DWORD i = 0; i < SizeofResource(dll, res); ++i) sum += bytes[i];
    std::printf("bitmap: %ldx%ld %u bpp, %lu bytes, byte sum %u\n", bmp->biWidth,
                bmp->biHeight, bmp->biBitCount, SizeofResource(dll, res), sum);

    char path[MAX_PATH];
    GetModuleFileNameA(dll, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return fail("GetFileVersionInfoSize");
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path, 0, size, info.data())) return fail("GetFileVersionInfo");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len))
        return fail("VerQueryValue fixed");
    std::printf("version: %u.%u.%u.%u\n", unsigned(HIWORD(fixed->dwFileVersionMS)),
                unsigned(LOWORD(fixed->dwFileVersionMS)), unsigned(HIWORD(fixed->dwFileVersionLS)),
                unsigned(LOWORD(fixed->dwFileVersionLS)));
    char* text = nullptr;
    if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\FileDescription",
                        reinterpret_cast<void**>(&text), &len))
        return fail("VerQueryValue string");
    std::printf("description: %s\n", text);

    FreeLibrary(dll);
    std::printf("done\n");
    return 0;
}
