// Tiny DLL for the Wine self-test: exports one data symbol (see
// selftest_dll.def) and carries a bitmap and a version resource
// (selftest_dll.rc), the same kinds of things our gauge DLLs expose.
#include <cstdint>

struct SelftestData {
    std::uint32_t magic;
    char name[16];
};

extern "C" {
SelftestData orvane_selftest_data = {0x4F52564Eu, "orvane-selftest"};
}
