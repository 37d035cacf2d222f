// Helpers of the Windows deliverable tests: the modules, and running the
// Windows gauge host under Wine (tools/wine/run.sh with the prefix that
// tools/wine/setup.sh made in build/wine).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/support.h"

namespace orvane_test {

struct Deliverable {
    const char* name;
    const char* version;
};

inline const Deliverable kDeliverables[] = {
    {"Orvane", "2.9.60418.11"},
    {"Orvane_engine", "2.9.60227.8"},
    {"Orvane_electric", "2.9.60410.6"},
};

inline std::string win32_module_file(const std::string& name)
{
    return std::string(ORVANE_WIN32_GAUGES_DIR) + "/" + name + ".gau";
}

inline bool same_file(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb) return false;
    return std::vector<char>(std::istreambuf_iterator<char>(fa), {}) ==
           std::vector<char>(std::istreambuf_iterator<char>(fb), {});
}

inline bool in_ci()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// A path as the Windows host sees it (drive Z: is the root folder).
inline std::string windows_path(const std::filesystem::path& path)
{
    return "Z:" + std::filesystem::absolute(path).lexically_normal().string();
}

inline std::string windows_host()
{
    return std::string(ORVANE_WIN32_BIN) + "/gaugehost.exe";
}

// Empty when Wine can run the Windows host, else why not.
inline std::string wine_missing()
{
    namespace fs = std::filesystem;
    if (!fs::exists(fs::path(ORVANE_SOURCE_DIR) / "tools/wine/run.sh")) return "tools/wine/run.sh missing";
    if (!fs::exists(fs::path(ORVANE_WINE_DIR) / "wineprefix/.orvane-ready"))
        return std::string("no Wine prefix in ") + ORVANE_WINE_DIR + " (run: bash tools/wine/setup.sh build/wine)";
    return "";
}

struct WineResult {
    int exit_code = -1;
    std::string out;  // stdout, CR stripped
    std::string err;
};

// Runs the Windows gaugehost.exe with the arguments under Wine.
inline WineResult run_windows_host(const std::vector<std::string>& args)
{
    namespace fs = std::filesystem;
    auto quote = [](const std::string& s) {
        std::string q = "'";
        for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    static int serial = 0;
    const fs::path err_file = fs::path(ORVANE_BINARY_DIR) / ("test-wine-stderr-" + std::to_string(++serial) + ".txt");
    std::string line = "bash " + quote(std::string(ORVANE_SOURCE_DIR) + "/tools/wine/run.sh") + " " +
                       quote(ORVANE_WINE_DIR) + " " + quote(windows_host());
    for (const auto& a : args) line += " " + quote(a);
    line += " 2>" + quote(err_file.string());
    // run_command adds "2>&1", which now only joins the already redirected
    // stderr: stdout stays clean for JSON.
    CommandResult r = run_command("{ " + line + "; }");
    WineResult w;
    w.exit_code = r.exit_code;
    w.out = r.output;
    std::ifstream in(err_file, std::ios::binary);
    w.err.assign(std::istreambuf_iterator<char>(in), {});
    return w;
}

}  // namespace orvane_test

// Skips the test where Wine is not set up, except in CI (CI=true), where a
// missing Wine is a failure. A missing gaugehost.exe always fails.
#define REQUIRE_WINE()                                                                                   \
    do {                                                                                                 \
        ASSERT_TRUE(std::filesystem::exists(orvane_test::windows_host())) << orvane_test::windows_host(); \
        std::string why_ = orvane_test::wine_missing();                                                  \
        if (!why_.empty()) {                                                                             \
            if (orvane_test::in_ci()) FAIL() << why_;                                                    \
            GTEST_SKIP() << why_;                                                                        \
        }                                                                                                \
    } while (0)
