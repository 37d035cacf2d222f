// The drawn bitmaps against the modules' records: every bitmap a record
// names is there, with its stated size and bit depth, read by the host's
// reader and by an independent one; the resource scripts list them all.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "host/gauge.h"
#include "host/host.h"
#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

struct Stated {
    int width, height, bits;
};

// Sizes and depths of every bitmap of the three modules, as the instruments
// are described.
const std::map<std::string, std::map<int, Stated>> kStated = {
    {"Orvane",
     {{2000, {283, 285, 8}},  {3000, {170, 20, 8}},   {4000, {283, 285, 8}},   {5000, {160, 160, 8}},
      {6000, {285, 285, 8}},  {7000, {135, 13, 8}},   {8000, {276, 276, 8}},   {9000, {201, 44, 8}},
      {10000, {62, 55, 8}},   {11000, {191, 28, 8}},  {12000, {352, 346, 8}},  {13000, {352, 346, 8}},
      {14000, {125, 120, 8}}, {14001, {125, 120, 8}}, {15000, {256, 256, 4}},  {15001, {256, 256, 4}},
      {16000, {256, 256, 4}}, {16001, {256, 256, 4}}, {17000, {163, 100, 8}},  {18000, {54, 89, 8}},
      {19000, {281, 294, 8}}, {19100, {210, 23, 8}},  {19200, {204, 44, 8}},   {20000, {283, 286, 8}},
      {20100, {137, 17, 8}},  {20200, {97, 29, 8}},   {20300, {51, 11, 8}},    {21000, {145, 202, 8}},
      {22000, {706, 33, 8}},  {22001, {87, 33, 8}},   {23000, {283, 285, 8}},  {23100, {68, 17, 8}},
      {23200, {88, 17, 8}},   {23300, {137, 17, 8}},  {24000, {19, 19, 8}},    {25000, {19, 19, 8}},
      {26000, {19, 19, 8}}}},
    {"Orvane_engine",
     {{2000, {283, 285, 8}}, {2100, {168, 19, 8}},  {2200, {282, 283, 8}}, {2300, {168, 19, 8}},
      {2400, {283, 285, 8}}, {2500, {283, 285, 8}}, {2600, {114, 13, 8}},  {2700, {68, 13, 8}},
      {2800, {68, 13, 8}},   {2900, {283, 285, 8}}, {3000, {181, 15, 8}},  {3100, {181, 15, 8}},
      {3200, {344, 530, 8}}, {3300, {120, 120, 8}}, {3400, {107, 107, 8}}, {3500, {100, 101, 8}},
      {3600, {264, 244, 8}}, {3700, {264, 244, 8}}, {3701, {264, 244, 8}}, {3702, {264, 244, 8}},
      {3703, {264, 244, 8}}, {3704, {264, 244, 8}}, {3800, {283, 285, 8}}, {3900, {283, 117, 8}},
      {4000, {138, 8, 8}},   {4100, {283, 285, 8}}, {4200, {283, 117, 8}}, {4300, {138, 8, 8}}}},
    {"Orvane_electric",
     {{2000, {351, 315, 8}}, {2100, {282, 207, 8}}, {2101, {282, 207, 8}}, {2102, {282, 207, 8}},
      {2103, {282, 207, 8}}, {2500, {62, 62, 8}},   {2501, {62, 62, 8}},   {3000, {190, 240, 8}},
      {3100, {52, 135, 8}},  {3101, {52, 135, 8}},  {3200, {54, 135, 8}},  {3201, {54, 135, 8}},
      {3202, {54, 135, 8}},  {3300, {210, 210, 8}}, {3400, {210, 210, 8}}, {3500, {120, 7, 8}},
      {3600, {206, 191, 8}}, {3700, {16, 94, 8}},   {3701, {16, 94, 8}},   {3800, {267, 329, 8}},
      {3900, {180, 284, 8}}, {3901, {180, 284, 8}}}},
};

// Every bitmap number the module's element records name, with the gauge
// that names it.
std::map<int, std::string> named_bitmaps(const std::string& module_name)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    gaugehost::Module& module =
        host.load_module((fs::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name(module_name)).string());
    std::map<int, std::string> named;
    for (GaugeHeader* header : module.gauges()) {
        gaugehost::Gauge gauge(host, module, header);
        for (const auto& state : gauge.elements()) {
            const ElementHeader* e = state.element;
            switch (e->kind) {
            case ELEMENT_STRING:
                break;
            case ELEMENT_ICON: {
                auto* icon = reinterpret_cast<const Icon*>(e);
                for (uint32_t i = 0; i < icon->picture_count; ++i) named[e->bitmap + int(i)] = gauge.name();
                break;
            }
            case ELEMENT_SPRITE:
            case ELEMENT_MOVING:
                named[e->bitmap] = gauge.name();
                named[e->bitmap + 1] = gauge.name();  // mask or window
                break;
            default:
                named[e->bitmap] = gauge.name();
            }
        }
    }
    return named;
}

std::string folder_of(const std::string& module_name)
{
    return (fs::path(ORVANE_GAUGES_DIR) / module_name).string();
}

class ModuleBitmaps : public ::testing::TestWithParam<std::string> {};

TEST_P(ModuleBitmaps, EveryNamedBitmapHasItsStatedSizeAndDepthInBothReaders)
{
    const std::string module_name = GetParam();
    auto named = named_bitmaps(module_name);
    if (named.empty()) GTEST_SKIP() << module_name << " has no gauges yet";
    gaugehost::FolderBitmaps folder(folder_of(module_name));
    const std::regex identify_line(R"(BMP3? (\d+)x(\d+) .* (\d+)c )");
    for (const auto& [number, gauge] : named) {
        SCOPED_TRACE(module_name + " " + gauge + " bitmap " + std::to_string(number));
        auto stated = kStated.at(module_name).find(number);
        ASSERT_NE(stated, kStated.at(module_name).end()) << "a record names a bitmap with no stated size";
        auto bitmap = folder.load(number);
        ASSERT_TRUE(bitmap.has_value()) << "missing in " << folder_of(module_name);
        EXPECT_EQ(bitmap->image.width, stated->second.width);
        EXPECT_EQ(bitmap->image.height, stated->second.height);
        EXPECT_EQ(bitmap->bits_per_pixel, stated->second.bits);

        std::string file = folder_of(module_name) + "/" + std::to_string(number) + ".bmp";
        auto r = orvane_test::run_command("identify '" + file + "'");
        ASSERT_EQ(r.exit_code, 0) << r.output;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.output, m, identify_line)) << r.output;
        EXPECT_EQ(std::stoi(m[1]), stated->second.width);
        EXPECT_EQ(std::stoi(m[2]), stated->second.height);
        EXPECT_EQ(std::stoi(m[3]), 1 << stated->second.bits) << "palette size";
    }
}

TEST_P(ModuleBitmaps, ResourceScriptListsExactlyTheDrawnBitmaps)
{
    const std::string module_name = GetParam();
    std::ifstream rc(folder_of(module_name) + "/bitmaps.rc");
    ASSERT_TRUE(rc) << "no bitmaps.rc";
    std::set<int> listed;
    std::string line;
    const std::regex entry(R"re(^(\d+) BITMAP "([^"]+)"$)re");
    while (std::getline(rc, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, entry)) << line;
        int number = std::stoi(m[1]);
        EXPECT_TRUE(listed.insert(number).second) << "listed twice: " << number;
        fs::path file = m[2].str();
        EXPECT_TRUE(file.is_absolute()) << line;
        EXPECT_TRUE(fs::is_regular_file(file)) << line;
        EXPECT_EQ(file.filename().string(), std::to_string(number) + ".bmp");
    }
    std::set<int> on_disk;
    for (const auto& f : fs::directory_iterator(folder_of(module_name)))
        if (f.path().extension() == ".bmp") on_disk.insert(std::stoi(f.path().stem().string()));
    EXPECT_EQ(listed, on_disk);
    for (const auto& [number, gauge] : named_bitmaps(module_name)) EXPECT_TRUE(listed.count(number)) << number;
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleBitmaps, ::testing::Values("Orvane", "Orvane_engine", "Orvane_electric"));

}  // namespace
