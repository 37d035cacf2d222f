// The PE reader: a built image whose every offset is known, the same image
// broken in each way a file can be broken, and the real deliverables.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "host/conform.h"
#include "host/host.h"
#include "host/pe/module_facts.h"
#include "host/pe/pe_file.h"
#include "host/pe/resource_bitmaps.h"
#include "host/pe/version.h"
#include "tests/support/support.h"
#include "tests/win32/pe_builder.h"
#include "tests/win32/win32_support.h"

namespace fs = std::filesystem;
using gaugehost::pe::PeError;
using gaugehost::pe::PeFile;
using orvane_test::PeBuilder;

namespace {

// A 3 x 2 DIB with 8 bits per pixel and a three-colour palette, bottom-up:
// the bottom row is red, green, blue; the top row blue, blue, red.
std::vector<uint8_t> small_dib()
{
    std::vector<uint8_t> d(40 + 3 * 4 + 2 * 4, 0);
    PeBuilder::put32(d, 0, 40);
    PeBuilder::put32(d, 4, 3);
    PeBuilder::put32(d, 8, 2);
    PeBuilder::put16(d, 12, 1);
    PeBuilder::put16(d, 14, 8);
    PeBuilder::put32(d, 32, 3);
    const uint8_t palette[12] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // BGRx: red, green, blue
    std::copy(palette, palette + 12, d.begin() + 40);
    const uint8_t rows[8] = {0, 1, 2, 0, 2, 2, 0, 0};
    std::copy(rows, rows + 8, d.begin() + 52);
    return d;
}

// A version block: node(key, value, children) as the resource compiler
// writes it.
std::vector<uint8_t> version_node(const std::string& key, const std::vector<uint8_t>& value, bool text,
                                  const std::vector<std::vector<uint8_t>>& children)
{
    std::vector<uint8_t> n(6, 0);
    for (char c : key) n.push_back(uint8_t(c)), n.push_back(0);
    n.push_back(0), n.push_back(0);
    while (n.size() % 4) n.push_back(0);
    n.insert(n.end(), value.begin(), value.end());
    while (n.size() % 4) n.push_back(0);
    for (const auto& c : children) {
        n.insert(n.end(), c.begin(), c.end());
        while (n.size() % 4) n.push_back(0);
    }
    PeBuilder::put16(n, 0, uint32_t(n.size()));
    PeBuilder::put16(n, 2, uint32_t(text ? value.size() / 2 : value.size()));
    PeBuilder::put16(n, 4, text ? 1 : 0);
    return n;
}

std::vector<uint8_t> utf16(const std::string& s)
{
    std::vector<uint8_t> v;
    for (char c : s) v.push_back(uint8_t(c)), v.push_back(0);
    v.push_back(0), v.push_back(0);
    return v;
}

std::vector<uint8_t> version_resource(uint32_t ms, uint32_t ls)
{
    std::vector<uint8_t> fixed(52, 0);
    PeBuilder::put32(fixed, 0, 0xFEEF04BD);
    PeBuilder::put32(fixed, 4, 0x10000);
    PeBuilder::put32(fixed, 8, ms);
    PeBuilder::put32(fixed, 12, ls);
    PeBuilder::put32(fixed, 16, ms);
    PeBuilder::put32(fixed, 20, ls);
    auto strings = version_node(
        "StringFileInfo", {}, true,
        {version_node("040904b0", {}, true,
                      {version_node("FileVersion", utf16("2.9.60418.11"), true, {}),
                       version_node("ProductName", utf16("Orvane"), true, {})})});
    return version_node("VS_VERSION_INFO", fixed, false, {strings});
}

PeBuilder fixture_builder()
{
    PeBuilder b;
    b.resources = {{2, 100, small_dib()}, {2, 101, small_dib()}, {16, 1, version_resource(0x00020009, 0xEC02000B)}};
    return b;
}

TEST(PeReader, ReadsExportsImportsBitmapsAndVersionOfABuiltImage)
{
    PeBuilder b = fixture_builder();
    PeFile file(b.build(), "fixture");
    EXPECT_EQ(file.machine(), 0x14C);
    EXPECT_TRUE(file.is_dll());
    EXPECT_EQ(file.export_module_name(), "Fixture.gau");
    EXPECT_EQ(file.exports(), (std::vector<std::string>{"ImportTable", "Linkage"}));
    EXPECT_EQ(file.imported_dlls(), (std::vector<std::string>{"KERNEL32.dll"}));
    EXPECT_EQ(file.resource_ids(2), (std::vector<uint32_t>{100, 101}));
    EXPECT_FALSE(file.resource(2, 102));
    EXPECT_FALSE(file.resource(3, 100));

    auto data = file.resource(2, 100);
    ASSERT_TRUE(data);
    auto bitmap = gaugehost::decode_bmp(*data, false, "bitmap 100");
    ASSERT_EQ(bitmap.image.width, 3);
    ASSERT_EQ(bitmap.image.height, 2);
    EXPECT_EQ(bitmap.bits_per_pixel, 8);
    EXPECT_EQ(bitmap.image.at(0, 1), (gaugehost::Rgba{255, 0, 0, 255}));  // bottom row: red, green, blue
    EXPECT_EQ(bitmap.image.at(2, 1), (gaugehost::Rgba{0, 0, 255, 255}));
    EXPECT_EQ(bitmap.image.at(2, 0), (gaugehost::Rgba{255, 0, 0, 255}));

    auto version = gaugehost::pe::parse_version_resource(*file.resource(16, 1), "fixture");
    EXPECT_EQ(version.file_version, "2.9.60418.11");
    EXPECT_EQ(version.product_version, "2.9.60418.11");
    EXPECT_EQ(version.strings.at("FileVersion"), "2.9.60418.11");
    EXPECT_EQ(version.strings.at("ProductName"), "Orvane");
}

struct BrokenImage {
    const char* name;
    std::function<void(std::vector<uint8_t>&, const PeBuilder&)> damage;
    const char* message;
};

TEST(PeReader, RejectsMalformedAndTruncatedImagesWithAClearError)
{
    using B = PeBuilder;
    const BrokenImage cases[] = {
        {"empty file", [](auto& f, auto&) { f.clear(); }, "no DOS header"},
        {"truncated DOS header", [](auto& f, auto&) { f.resize(40); }, "no DOS header"},
        {"not MZ", [](auto& f, auto&) { f[0] = 'Z'; }, "no DOS header"},
        {"PE header offset past the end", [](auto& f, auto&) { B::put32(f, 0x3C, 0x100000); },
         "PE header offset 0x100000 lies outside the file"},
        {"truncated PE header", [](auto& f, auto&) { f.resize(B::kPeHeader + 10); }, "lies outside the file"},
        {"no PE signature", [](auto& f, auto&) { f[B::kPeHeader] = 'X'; }, "no PE signature"},
        {"unknown optional header", [](auto& f, auto&) { B::put16(f, B::kOptionalHeader, 0x999); },
         "unknown optional header magic 0x999"},
        {"optional header too short", [](auto& f, auto&) { B::put16(f, B::kPeHeader + 20, 0x40); },
         "optional header too short"},
        {"optional header past the end", [](auto& f, auto&) { f.resize(B::kOptionalHeader + 100); },
         "optional header runs past the end"},
        {"too many data directories", [](auto& f, auto&) { B::put32(f, B::kOptionalHeader + 92, 1000); },
         "data directories do not fit"},
        {"no sections", [](auto& f, auto&) { B::put16(f, B::kPeHeader + 6, 0); }, "impossible section count 0"},
        {"truncated section table", [](auto& f, auto&) { f.resize(B::kSectionTable + 50); },
         "section table runs past the end"},
        {"section larger than the file", [](auto& f, auto&) { B::put32(f, B::kSectionTable + 40 + 16, 0x100000); },
         "section '.rsrc' data (0x400 + 0x100000) lies beyond the end of the file"},
        {"file cut inside the resources", [](auto& f, auto&) { f.resize(B::kRsrcRaw + 0x20); },
         "lies beyond the end of the file"},
        {"export name in no section", [](auto& f, auto&) { B::put32(f, B::kExportDir + 12, 0x50000); },
         "export module name at 0x50000 lies in no section"},
        {"absurd export count", [](auto& f, auto&) { B::put32(f, B::kExportDir + 24, 0x7FFFFFFF); },
         "export directory claims 2147483647 names"},
        {"export names past the section", [](auto& f, auto&) { B::put32(f, B::kExportDir + 24, 200); },
         "export name table at 0x1040 (800 bytes) runs past the file data of section '.rdata'"},
        {"string without end", [](auto& f, auto&) { std::fill(f.begin() + B::kStrings, f.begin() + B::kRsrcRaw, 'A'); },
         "export module name at 0x1100 has no end"},
        {"import directory without end",
         [](auto& f, auto&) { std::fill(f.begin() + B::kImportDir, f.begin() + B::kStrings, 1); },
         "imported DLL name at 0x1010101 lies in no section"},
        {"resource directory loop to the root",
         [](auto& f, auto& b) { B::put32(f, b.type_entries[0] + 4, 0x80000000u); },
         "resource directory loop (the table at offset 0x0 is reached twice)"},
        {"two types sharing one name table",
         [](auto& f, auto& b) { B::put32(f, b.type_entries[1] + 4, 0x80000000u | (b.name_tables[0] - B::kRsrcRaw)); },
         "resource directory loop"},
        {"table outside the resource directory",
         [](auto& f, auto& b) { B::put32(f, b.type_entries[0] + 4, 0x80000000u | 0x7FFF0000u); },
         "resource table at offset 0x7FFF0000 lies outside the resource directory"},
        {"entry count past the directory", [](auto& f, auto&) { B::put16(f, B::kRsrcRaw + 14, 5000); },
         "runs past the resource directory"},
        {"data entry where a table belongs", [](auto& f, auto& b) { B::put32(f, b.type_entries[0] + 4, 0x10); },
         "data entry at level 1 where a table belongs"},
        {"tree deeper than three levels",
         [](auto& f, auto& b) { B::put32(f, b.language_entries[0] + 4, 0x80000000u | 0x10); },
         "nested deeper than three levels"},
        {"data entry outside the directory", [](auto& f, auto& b) { B::put32(f, b.language_entries[0] + 4, 0x7FFFFF00); },
         "resource data entry at offset 0x7FFFFF00 lies outside the resource directory"},
        {"resource data larger than its section", [](auto& f, auto& b) { B::put32(f, b.data_entries[0] + 4, 0x100000); },
         "resource data at 0x20"},
        {"resource data in no section", [](auto& f, auto& b) { B::put32(f, b.data_entries[0], 0x900000); },
         "resource data at 0x900000 lies in no section"},
        {"resource directory larger than its section",
         [](auto& f, auto&) { B::put32(f, B::kOptionalHeader + 96 + 2 * 8 + 4, 0x10000); },
         "resource directory at 0x2000 (65536 bytes) runs past"},
    };
    for (const auto& c : cases) {
        PeBuilder b = fixture_builder();
        std::vector<uint8_t> image = b.build();
        c.damage(image, b);
        try {
            PeFile file(image, "fixture");
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PeError& e) {
            std::string message = e.what();
            EXPECT_EQ(message.rfind("fixture: not a readable Windows module: ", 0), 0u) << c.name << ": " << message;
            EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        }
    }
}

TEST(PeReader, EveryTruncationAndRandomDamageIsReadOrRejectedNeverACrash)
{
    PeBuilder b = fixture_builder();
    const std::vector<uint8_t> image = b.build();
    auto read_all = [](std::vector<uint8_t> data) {
        try {
            PeFile file(std::move(data), "damaged");
            for (uint32_t type : {2u, 16u})
                for (uint32_t id : file.resource_ids(type)) {
                    auto r = file.resource(type, id);
                    if (type == 2) gaugehost::decode_bmp(*r, false, "damaged bitmap");
                    else gaugehost::pe::parse_version_resource(*r, "damaged");
                }
        } catch (const std::runtime_error&) {
            // PeError or a bitmap/version error: a clear rejection.
        }
    };
    for (size_t size = 0; size < image.size(); ++size)
        read_all(std::vector<uint8_t>(image.begin(), image.begin() + long(size)));
    std::mt19937 random(8);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> damaged = image;
        for (int k = 0; k < 4; ++k) {
            // Mostly headers and the resource tree, where the offsets are.
            size_t at = random() % 2 ? random() % PeBuilder::kRdataRaw : PeBuilder::kRsrcRaw + random() % b.rsrc_size;
            damaged[at] = uint8_t(random());
        }
        read_all(damaged);
    }
}

TEST(PeReader, RejectsMalformedVersionResources)
{
    const auto good = version_resource(0x00020009, 0xEC02000B);
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        const char* message;
    } cases[] = {
        {"empty", {}, "no VS_VERSION_INFO block"},
        {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + 60), "does not fit"},
        {"wrong key", version_node("VS_VERSION_INFX", std::vector<uint8_t>(52, 0), false, {}), "no VS_VERSION_INFO"},
        {"no fixed information", version_node("VS_VERSION_INFO", {}, false, {}), "no fixed file information"},
        {"wrong signature", version_node("VS_VERSION_INFO", std::vector<uint8_t>(52, 0), false, {}),
         "wrong signature"},
    };
    for (const auto& c : cases) {
        try {
            gaugehost::pe::parse_version_resource(c.data, "v");
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

// ---------------------------------------------------------------------------
// The real deliverables

TEST(PeReader, ReadsTheDeliverablesAndTheirBitmapsMatchTheArtwork)
{
    for (const auto& m : orvane_test::kDeliverables) {
        const std::string gau = orvane_test::win32_module_file(m.name);
        ASSERT_TRUE(fs::exists(gau)) << gau;
        PeFile file = PeFile::open(gau);
        EXPECT_EQ(file.machine(), 0x14C) << m.name;
        EXPECT_EQ(file.export_module_name(), std::string(m.name) + ".gau");
        EXPECT_EQ(std::set<std::string>(file.exports().begin(), file.exports().end()),
                  (std::set<std::string>{"ImportTable", "Linkage"}));
        for (const auto& dll : file.imported_dlls())
            EXPECT_TRUE(dll == "KERNEL32.dll" || dll == "msvcrt.dll") << m.name << " imports " << dll;
        auto version = gaugehost::pe::read_version_info(gau);
        ASSERT_TRUE(version) << m.name;
        EXPECT_EQ(version->file_version, m.version);
        EXPECT_EQ(version->product_version, m.version);
        EXPECT_EQ(version->strings.at("FileVersion"), m.version);

        // Each bitmap resource is the artwork's BMP file, pixel for pixel.
        gaugehost::pe::FileResourceBitmaps resources(gau);
        gaugehost::FolderBitmaps folder(std::string(ORVANE_GAUGES_DIR) + "/" + m.name);
        auto ids = file.resource_ids(gaugehost::pe::RESOURCE_BITMAP);
        size_t bmp_files = 0;
        for (const auto& e : fs::directory_iterator(std::string(ORVANE_GAUGES_DIR) + "/" + m.name))
            bmp_files += e.path().extension() == ".bmp";
        EXPECT_EQ(ids.size(), bmp_files) << m.name;
        for (uint32_t id : ids) {
            auto from_resource = resources.load(int(id));
            auto from_file = folder.load(int(id));
            ASSERT_TRUE(from_resource && from_file) << m.name << " bitmap " << id;
            EXPECT_EQ(from_resource->bits_per_pixel, from_file->bits_per_pixel) << id;
            EXPECT_TRUE(from_resource->image.pixels == from_file->image.pixels) << m.name << " bitmap " << id;
        }
    }
}

TEST(NativeHostOnDeliverables, TakesCodeFromTheNativeBuildAndBitmapsFromTheGau)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    const std::string folder = ORVANE_WIN32_GAUGES_DIR;
    ASSERT_EQ(gaugehost::module_file_in(folder, "Orvane"), folder + "/Orvane.gau");
    gaugehost::Module& module = host.load_module(gaugehost::module_file_in(folder, "Orvane"));
    EXPECT_EQ(fs::path(module.code_path()).filename(), "Orvane.so");
    EXPECT_EQ(fs::canonical(fs::path(module.code_path()).parent_path()), fs::canonical(ORVANE_GAUGES_DIR));
    EXPECT_NE(module.bitmap_source()->describe().find("Orvane.gau"), std::string::npos);

    // Every bitmap the records name is in each deliverable, as far as the
    // artwork draws it: the .gau lacks nothing that the native build has.
    for (const auto& m : orvane_test::kDeliverables) {
        auto facts = gaugehost::pe::module_facts(host.load_module(gaugehost::module_file_in(folder, m.name)));
        auto native = gaugehost::pe::module_facts(host.load_module(std::string(ORVANE_GAUGES_DIR) + "/" + m.name + ".so"));
        EXPECT_EQ(facts.source, "file");
        ASSERT_EQ(facts.gauges.size(), native.gauges.size()) << m.name;
        for (size_t i = 0; i < facts.gauges.size(); ++i) {
            const auto& g = facts.gauges[i];
            EXPECT_FALSE(g.named.empty()) << g.gauge;
            EXPECT_EQ(g.named, native.gauges[i].named) << g.gauge;
            EXPECT_EQ(g.missing, native.gauges[i].missing) << m.name << " " << g.gauge;
            if (!native.gauges[i].missing.empty())
                std::printf("note: the artwork has no bitmaps yet for %zu bitmap numbers of %s %s\n",
                            native.gauges[i].missing.size(), m.name, g.gauge.c_str());
        }
    }
}

TEST(NativeHostOnDeliverables, ProbesAndDrawsTheSameAsWithTheArtworkFolder)
{
    // Every default scenario gives the same report with the .gau bitmaps
    // (sizes of whole-gauge areas come from the background bitmap).
    auto scenarios = gaugehost::default_scenarios(ORVANE_GAUGES_DIR);
    ASSERT_FALSE(scenarios.empty());
    auto with_folder = gaugehost::run_scenarios(scenarios, ORVANE_GAUGES_DIR);
    auto with_gau = gaugehost::run_scenarios(scenarios, ORVANE_WIN32_GAUGES_DIR);
    for (const auto& d : gaugehost::compare_results(with_folder, with_gau))
        ADD_FAILURE() << gaugehost::describe(d, "artwork folder", ".gau bitmaps");
    for (const auto& s : with_gau["scenarios"]) EXPECT_FALSE(s.contains("error")) << s["name"] << ": " << s["error"];

    // And the renderer draws the same picture from either.
    const fs::path out = fs::path(ORVANE_BINARY_DIR) / "test-win32-render";
    fs::create_directories(out);
    for (const char* folder : {ORVANE_GAUGES_DIR, ORVANE_WIN32_GAUGES_DIR}) {
        auto r = orvane_test::run_gaugehost({"render", "Orvane", "Airspeed", "--token", "61=120", "--out",
                                             (out / (fs::path(folder).parent_path().filename().string() + ".png")).string(),
                                             "--gauges", folder});
        ASSERT_EQ(r.exit_code, 0) << r.output;
    }
    EXPECT_TRUE(orvane_test::same_file(out / "linux.png", out / "win32.png"));
}

}  // namespace
