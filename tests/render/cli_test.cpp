// `gaugehost render` end to end: the PNG it writes and its errors.
#include <filesystem>

#include <gtest/gtest.h>

#include "host/render/renderer.h"
#include "render_support.h"
#include "tests/support/support.h"

namespace {

TEST(RenderCommand, WritesThePictureTheRendererDraws)
{
    std::string out = std::string(ORVANE_BINARY_DIR) + "/render_cli_dial.png";
    std::filesystem::remove(out);
    auto r = orvane_test::run_gaugehost({"render", "RenderFixture", "Dial", "--token", "2001=13", "--width", "96",
                                         "--out", out, "--gauges", render_test::fixtures_folder()});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    gaugehost::Image written = gaugehost::read_png(out);
    gaugehost::Image expected = render_test::draw("Dial", {"--token", "2001=13", "--width", "96"});
    EXPECT_EQ(written.width, 96);
    EXPECT_TRUE(written.pixels == expected.pixels);
    std::filesystem::remove(out);
}

struct BadCase {
    std::vector<std::string> args;
    int exit_code;
    const char* message;
};

class RenderCommandErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(RenderCommandErrors, ExplainAndFail)
{
    const BadCase& c = GetParam();
    std::vector<std::string> args = {"render", "--gauges", render_test::fixtures_folder()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = orvane_test::run_gaugehost(args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderCommandErrors,
    ::testing::Values(BadCase{{"RenderFixture", "Dial"}, 2, "missing --out"},
                      BadCase{{"RenderFixture", "Dial", "--out"}, 2, "--out needs a file name"},
                      BadCase{{"RenderFixture", "Dial", "--out", "x.png", "--width", "0"}, 2, "--width"},
                      BadCase{{"RenderFixture", "Nope", "--out", "x.png"}, 1, "unknown gauge 'Nope'"},
                      BadCase{{"NoModule", "Dial", "--out", "x.png"}, 1, "unknown module 'NoModule'"},
                      BadCase{{"RenderFixture", "Dial", "--out", "/nonexistent-folder/x.png"}, 1, "cannot write"}));

}  // namespace
