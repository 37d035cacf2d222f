// The modules as files: what the native shared objects and the Windows
// deliverables export, import and carry.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/support.h"

namespace fs = std::filesystem;
using orvane_test::run_command;

namespace {

struct ModuleFacts {
    const char* name;
    const char* version;
};

const ModuleFacts kModules[] = {
    {"Orvane", "2.9.60418.11"},
    {"Orvane_engine", "2.9.60227.8"},
    {"Orvane_electric", "2.9.60410.6"},
};

std::set<std::string> lines_matching(const std::string& text, const std::regex& pattern, int group)
{
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[group].str());
    return found;
}

TEST(NativeModules, ExportOnlyImportTableAndLinkage)
{
    for (const auto& m : kModules) {
        std::string so = std::string(ORVANE_GAUGES_DIR) + "/" + m.name + ".so";
        auto r = run_command("nm -D --defined-only '" + so + "'");
        ASSERT_EQ(r.exit_code, 0) << r.output;
        auto symbols = lines_matching(r.output, std::regex(R"(\s[A-Za-z]\s(\S+))"), 1);
        EXPECT_EQ(symbols, (std::set<std::string>{"ImportTable", "Linkage"})) << m.name << "\n" << r.output;
    }
}

std::string win32_module(const ModuleFacts& m)
{
    return std::string(ORVANE_WIN32_GAUGES_DIR) + "/" + m.name + ".gau";
}

TEST(WindowsModules, ExportTheTwoSymbolsUnderTheirOwnNameAndImportOnlySystemDlls)
{
    for (const auto& m : kModules) {
        std::string gau = win32_module(m);
        ASSERT_TRUE(fs::exists(gau)) << gau << " missing: the test command builds the Windows deliverables";
        auto r = run_command("i686-w64-mingw32-objdump -p '" + gau + "'");
        ASSERT_EQ(r.exit_code, 0) << r.output;
        EXPECT_NE(r.output.find("file format pei-i386"), std::string::npos) << m.name;
        auto exports = lines_matching(r.output, std::regex(R"(\n\s+\[\s*\d+\] ([A-Za-z_]\w*)(?=\n))"), 1);
        EXPECT_EQ(exports, (std::set<std::string>{"ImportTable", "Linkage"})) << m.name;
        auto dll_name = lines_matching(r.output, std::regex(R"(\nName\s+[0-9a-f]+ (\S+))"), 1);
        EXPECT_EQ(dll_name, (std::set<std::string>{std::string(m.name) + ".gau"})) << m.name;
        auto imports = lines_matching(r.output, std::regex(R"(DLL Name: (\S+))"), 1);
        for (const auto& dll : imports)
            EXPECT_TRUE(dll == "KERNEL32.dll" || dll == "msvcrt.dll") << m.name << " imports " << dll;
        EXPECT_NE(r.output.find("DllCharacteristics"), std::string::npos);
    }
}

// The fixed file information of the version resource: the signature
// 0xFEEF04BD, the structure version, then file version MS/LS and product
// version MS/LS.
std::string fixed_file_version(const std::vector<uint8_t>& data, bool product)
{
    const uint8_t signature[4] = {0xBD, 0x04, 0xEF, 0xFE};
    auto it = std::search(data.begin(), data.end(), signature, signature + 4);
    if (it == data.end() || data.end() - it < 24) return "none";
    size_t at = size_t(it - data.begin()) + (product ? 16 : 8);
    auto u32 = [&](size_t p) { return uint32_t(data[p]) | data[p + 1] << 8 | data[p + 2] << 16 | uint32_t(data[p + 3]) << 24; };
    uint32_t ms = u32(at), ls = u32(at + 4);
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

TEST(WindowsModules, CarryTheirVersionNumbers)
{
    for (const auto& m : kModules) {
        std::ifstream in(win32_module(m), std::ios::binary);
        ASSERT_TRUE(in) << win32_module(m);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(fixed_file_version(data, false), m.version) << m.name;
        EXPECT_EQ(fixed_file_version(data, true), m.version) << m.name;
    }
}

TEST(WindowsModules, StayWithinTheirBitmapsPlus32Kilobytes)
{
    // Plain C-like module code is a few kilobytes; pulling in the C++
    // runtime would add some 200 KB.
    for (const auto& m : kModules) {
        uintmax_t bitmaps = 0;
        fs::path folder = fs::path(ORVANE_WIN32_BITMAPS_DIR) / m.name;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec))
            if (e.path().extension() == ".bmp") bitmaps += e.file_size();
        uintmax_t size = fs::file_size(win32_module(m));
        EXPECT_LE(size, bitmaps + 32 * 1024) << m.name << ": " << size << " bytes for " << bitmaps
                                              << " bytes of bitmaps";
    }
}

struct CliCase {
    std::vector<std::string> args;
    int exit_code;
    const char* message;
};

TEST(GaugehostCli, BadInputGetsAClearMessageAndNonZeroExit)
{
    const std::string gauges = ORVANE_GAUGES_DIR;
    CliCase cases[] = {
        {{}, 2, "usage"},
        {{"fly"}, 2, "unknown command 'fly'"},
        {{"probe"}, 2, "expected MODULE GAUGE"},
        {{"probe", "Orvane", "Airspeed", "--token", "61"}, 2, "bad value '61' for --token"},
        {{"probe", "Orvane", "Airspeed", "--token", "x=1"}, 2, "token number"},
        {{"probe", "Orvane", "Airspeed", "--token", "61=fast"}, 2, "bad value"},
        {{"probe", "Orvane", "Airspeed", "--click", "1"}, 2, "X,Y"},
        {{"probe", "Orvane", "Airspeed", "--hold", "1,2"}, 2, "X,Y,MS"},
        {{"probe", "Orvane", "Airspeed", "--updates", "-1"}, 2, "--updates"},
        {{"probe", "Orvane", "Airspeed", "--width", "0"}, 2, "--width"},
        {{"probe", "Orvane", "Airspeed", "--frobnicate"}, 2, "unknown option --frobnicate"},
        {{"probe", "Orvane", "Airspeed", "--gauges"}, 2, "--gauges needs a value"},
        {{"probe", "Nope", "Airspeed", "--gauges", gauges}, 1, "unknown module 'Nope'"},
        {{"probe", "Orvane", "Nope", "--gauges", gauges}, 1, "unknown gauge 'Nope'"},
        {{"list", "--gauges", "/nonexistent"}, 1, "no such folder"},
        {{"list", "--bogus"}, 2, "unexpected argument"},
    };
    for (const auto& c : cases) {
        auto r = orvane_test::run_gaugehost(c.args);
        std::string shown;
        for (const auto& a : c.args) shown += a + " ";
        EXPECT_EQ(r.exit_code, c.exit_code) << shown << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << shown << "\n" << r.output;
    }
}

TEST(GaugehostCli, ANonModuleFileIsRejected)
{
    fs::path folder = fs::path(ORVANE_BINARY_DIR) / "test-not-a-module";
    fs::create_directories(folder);
    std::ofstream(folder / "Broken.so") << "this is not a shared object";
    auto r = orvane_test::run_gaugehost({"probe", "Broken", "X", "--gauges", folder.string()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("cannot load module"), std::string::npos) << r.output;
    // A shared object without the two symbols.
    r = run_command("cc -shared -o '" + (folder / "Empty.so").string() + "' -x c /dev/null");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    r = orvane_test::run_gaugehost({"probe", "Empty", "X", "--gauges", folder.string()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output.find("not a gauge module: no ImportTable symbol"), std::string::npos) << r.output;
}

TEST(GaugehostCli, ProbeJsonMatchesTheAirspeedExample)
{
    auto r = orvane_test::run_gaugehost({"probe", "Orvane", "Airspeed", "--token", "61=100", "--token", "64=10240",
                                         "--hover", "100,60", "--hover", "190,150", "--json", "--gauges",
                                         ORVANE_GAUGES_DIR});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    auto report = nlohmann::json::parse(r.output);
    for (const char* key : {"elements", "tooltips", "events", "windows"}) EXPECT_TRUE(report.contains(key)) << key;
    EXPECT_NEAR(report["elements"][3]["values"][0].get<double>(), 115.078030303, 1e-9);
    EXPECT_EQ(report["elements"][1]["values"][0].get<double>(), 0.5);
    EXPECT_EQ(report["tooltips"][0]["text"], "Airspeed Indicator (115 mph)");
    EXPECT_EQ(report["tooltips"][1]["text"], "Machmeter (0.500 mach)");
}

TEST(GaugehostCli, ListShowsEveryModule)
{
    auto r = orvane_test::run_gaugehost({"list", "--gauges", ORVANE_GAUGES_DIR});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Airspeed"), std::string::npos);
    for (const auto& m : kModules) EXPECT_NE(r.output.find(std::string(m.name) + " ("), std::string::npos) << m.name;
}

}  // namespace
