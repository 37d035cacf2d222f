// The generator as a command: a full run into a fresh folder with the
// contact sheet, and clear errors for bad arguments.
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "host/image.h"
#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

std::string art(const std::string& args)
{
    return std::string("'") + ORVANE_ART_BIN + "' " + args;
}

TEST(Generator, WritesEveryModuleAndAContactSheetIntoAFreshFolder)
{
    fs::path dir = fs::temp_directory_path() / ("orvane_art_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* m : {"Orvane", "Orvane_engine", "Orvane_electric"})
        fs::copy_file(fs::path(ORVANE_GAUGES_DIR) / (std::string(m) + ".so"), dir / (std::string(m) + ".so"));
    fs::path sheet = dir / "sheet.png";
    auto r = orvane_test::run_command(art("--gauges '" + dir.string() + "' --contact-sheet '" + sheet.string() + "'"));
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("Orvane: "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("contact sheet: "), std::string::npos) << r.output;

    // The same bitmaps as the build's own run, byte for byte.
    int compared = 0;
    for (const char* m : {"Orvane", "Orvane_engine", "Orvane_electric"}) {
        ASSERT_TRUE(fs::is_regular_file(dir / m / "bitmaps.rc")) << m;
        for (const auto& f : fs::directory_iterator(dir / m)) {
            if (f.path().extension() != ".bmp") continue;
            auto ours = gaugehost::load_bmp_file(f.path().string());
            auto built = gaugehost::load_bmp_file((fs::path(ORVANE_GAUGES_DIR) / m / f.path().filename()).string());
            EXPECT_EQ(ours.image.pixels, built.image.pixels) << f.path();
            ++compared;
        }
    }
    EXPECT_GT(compared, 0);

    auto id = orvane_test::run_command("identify '" + sheet.string() + "'");
    ASSERT_EQ(id.exit_code, 0) << id.output;
    EXPECT_NE(id.output.find(" PNG 1800x"), std::string::npos) << id.output;
    fs::remove_all(dir);
}

TEST(Generator, BadArgumentsAreRefusedWithAMessage)
{
    auto unknown = orvane_test::run_command(art("--colour red"));
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_NE(unknown.output.find("unknown argument --colour"), std::string::npos) << unknown.output;

    auto missing = orvane_test::run_command(art(""));
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_NE(missing.output.find("--gauges DIR is required"), std::string::npos) << missing.output;

    auto no_value = orvane_test::run_command(art("--gauges"));
    EXPECT_EQ(no_value.exit_code, 2);

    auto nowhere = orvane_test::run_command(art("--gauges /nonexistent/orvane"));
    EXPECT_EQ(nowhere.exit_code, 1);
    EXPECT_NE(nowhere.output.find("no such module file"), std::string::npos) << nowhere.output;

    auto help = orvane_test::run_command(art("--help"));
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("usage: orvane_art"), std::string::npos);
}

}  // namespace
