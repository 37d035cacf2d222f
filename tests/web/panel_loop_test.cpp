// The server side of `gaugehost serve` in-process: the panel loop (hover,
// commands, frames, mouse acknowledgements) on a small panel of flight
// instruments, and the HTTP API's answers to bad requests.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "host/render/renderer.h"
#include "host/web/http_server.h"
#include "host/web/panel_loop.h"
#include "tests/support/support.h"

namespace {

using gaugehost::web::LoopOptions;
using gaugehost::web::PanelLoop;
using nlohmann::json;

// Window 0 (open): the airspeed indicator and the climb indicator; window
// 10000 (closed): the compass.
const char* kPanel =
    "[Window00]\ntitle=Main\nident=0\nposition=0,0\nsize=460,240\ncolor=10,20,30\n"
    "gauge00=Orvane!Airspeed, 20, 20, 200\ngauge01=Orvane!Climb, 240, 20, 200\n"
    "[Window01]\ntitle=Engine\nident=10000\nposition=0,240\nsize=230,230\nvisible=0\ncolor=40,42,46\n"
    "gauge00=Orvane!Compass, 10, 10, 200\n";

std::string panel_file()
{
    std::string path = std::string(ORVANE_BINARY_DIR) + "/web_tests_panel.cfg";
    std::ofstream(path) << kPanel;
    return path;
}

LoopOptions options()
{
    LoopOptions o;
    o.panel = panel_file();
    o.gauges = ORVANE_GAUGES_DIR;
    return o;
}

gaugehost::Image decode_patch(const json& patch)
{
    static const std::string table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int n = 0;
    for (char c : patch.at("png").get<std::string>()) {
        size_t v = table.find(c);
        if (v == std::string::npos) continue;
        bits = bits << 6 | uint32_t(v);
        n += 6;
        if (n >= 8) {
            n -= 8;
            bytes += char(bits >> n & 0xFF);
        }
    }
    std::string path = std::string(ORVANE_BINARY_DIR) + "/web_tests_patch.png";
    std::ofstream(path, std::ios::binary) << bytes;
    return gaugehost::read_png(path);
}

// Frames until one satisfies `want` (or none comes for a second).
json frame_where(PanelLoop& loop, uint64_t& seq, const std::function<bool(const json&)>& want)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        std::vector<std::string> frames;
        EXPECT_TRUE(loop.frames_after(seq, frames, 1000));
        for (const std::string& f : frames) {
            json j = json::parse(f);
            if (want(j)) return j;
        }
    }
    return nullptr;
}

bool inside(const json& p, int x, int y, int w, int h)
{
    return p["x"].get<int>() >= x && p["y"].get<int>() >= y && p["x"].get<int>() + p["w"].get<int>() <= x + w &&
           p["y"].get<int>() + p["h"].get<int>() <= y + h;
}

const json& token(const json& state, uint32_t t)
{
    for (const json& e : state["tokens"])
        if (e["token"] == t) return e;
    throw std::runtime_error("no token " + std::to_string(t));
}

TEST(PanelLoop, HoverFindsGaugeTooltipAndRecords)
{
    PanelLoop loop(options());
    json h = loop.hover(120, 120);
    EXPECT_EQ(h["gauge"], "Orvane!Airspeed");
    EXPECT_EQ(h["window"], 0);
    EXPECT_DOUBLE_EQ(h["gx"].get<double>(), 100);
    EXPECT_EQ(h["cursor"], -1);
    EXPECT_EQ(h["tooltip"].get<std::string>().rfind("Airspeed Indicator (", 0), 0u) << h.dump();
    EXPECT_EQ(h["tip"]["text"], h["tooltip"]);
    EXPECT_EQ(h["tip"]["args"][0]["token"], 61);

    json bare = loop.hover(5, 5);  // the window, between gauges
    EXPECT_EQ(bare["window"], 0);
    EXPECT_FALSE(bare.contains("gauge"));
    EXPECT_EQ(bare["cursor"], -1);
    EXPECT_FALSE(loop.hover(100, 300).contains("window")) << "the closed window takes no mouse";
    EXPECT_FALSE(loop.hover(5000, -20).contains("window"));
}

TEST(PanelLoop, CommandsReachModelAndHost)
{
    PanelLoop loop(options());
    std::string before = loop.hover(120, 120)["tooltip"];
    loop.command({{"op", "set"}, {"token", 61}, {"value", 120}});
    json s = loop.state();
    EXPECT_EQ(token(s, 61)["value"], 120.0);
    EXPECT_TRUE(token(s, 61)["overridden"]);
    EXPECT_NE(loop.hover(120, 120)["tooltip"], before) << "the tooltip reads the hand-set airspeed";
    loop.command({{"op", "release"}, {"token", "61"}});
    EXPECT_FALSE(token(loop.state(), 61)["overridden"]);

    loop.command({{"op", "set"}, {"token", 422}, {"value", "i:3"}});
    EXPECT_TRUE(token(loop.state(), 422)["overridden"]);
    loop.command({{"op", "release_all"}});
    EXPECT_FALSE(token(loop.state(), 422)["overridden"]);

    loop.command({{"op", "fail"}, {"key", 6}});
    bool failed = false;
    s = loop.state();
    for (const json& f : s["failures"])
        if (f["key"] == 6) failed = f["failed"];
    EXPECT_TRUE(failed) << "failure key 6 (the airspeed indicator's) is listed as failed";
    loop.command({{"op", "repair"}, {"key", "0x6"}});
    s = loop.state();
    for (const json& f : s["failures"])
        if (f["key"] == 6) {
            EXPECT_FALSE(f["failed"]);
        }

    loop.command({{"op", "units"}, {"metric", true}});
    s = loop.state();
    EXPECT_TRUE(s["metric"]);
    EXPECT_EQ(token(s, 335)["value"], 2.0);

    loop.command({{"op", "key"}, {"id", "0x10380"}});
    s = loop.state();
    ASSERT_FALSE(s["events"].empty());
    EXPECT_EQ(s["events"].back()["id"], "0x10380");
    EXPECT_FALSE(s["messages"].empty()) << "the flight map request leaves a message for the pilot";

    loop.command({{"op", "pause"}});
    double t = loop.state()["time"];
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(loop.state()["time"], t) << "paused: host time stands still";
    loop.command({{"op", "step"}, {"ticks", 18}});
    EXPECT_NEAR(loop.state()["time"].get<double>(), t + 1.0, 1e-6);
    loop.command({{"op", "play"}});
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_GT(loop.state()["time"].get<double>(), t + 1.0);
}

TEST(PanelLoop, BadCommandsAreRefused)
{
    PanelLoop loop(options());
    const json bad[] = {
        json::array(),
        {{"op", 3}},
        {{"op", "fly"}},
        {{"op", "set"}, {"token", 61}},
        {{"op", "set"}, {"token", 61}, {"value", "fast"}},
        {{"op", "set"}, {"token", -1}, {"value", 1}},
        {{"op", "set"}, {"token", 422}, {"value", "i:99999999999"}},
        {{"op", "window"}, {"ident", 99}},
        {{"op", "window"}, {"ident", 0}, {"action", "slam"}},
        {{"op", "key"}},
        {{"op", "units"}, {"metric", "yes"}},
        {{"op", "step"}, {"ticks", 0}},
        {{"op", "refuel"}, {"tank", "left"}, {"gallons", 1e9}},
        {{"op", "scenario"}, {"text", "click Nowhere 1,1\n"}},
        {{"op", "scenario"}, {"text", "hover 1\n"}},
    };
    for (const json& c : bad) EXPECT_THROW(loop.command(c), std::invalid_argument) << c.dump();
    // Still running and answering.
    EXPECT_EQ(loop.hover(120, 120)["gauge"], "Orvane!Airspeed");
}

TEST(PanelLoop, FramesCarryOnlyWhatChanged)
{
    PanelLoop loop(options());
    uint64_t seq = 0;
    json key = json::parse(loop.key_frame(seq));
    ASSERT_EQ(key["patches"].size(), 1u);
    const json& whole = key["patches"][0];
    EXPECT_EQ(whole["window"], 0);
    EXPECT_TRUE(inside(whole, 0, 0, 460, 240) && whole["w"] == 460 && whole["h"] == 240);
    gaugehost::Image picture = decode_patch(whole);
    ASSERT_EQ(picture.width, 460);
    EXPECT_EQ(picture.at(5, 5), (gaugehost::Rgba{10, 20, 30, 255})) << "the window's colour between gauges";
    EXPECT_NE(picture.at(120, 120), (gaugehost::Rgba{10, 20, 30, 255})) << "the airspeed indicator";
    bool closed_listed = false;
    for (const json& w : key["windows"])
        if (w["ident"] == 10000) closed_listed = !w["visible"].get<bool>();
    EXPECT_TRUE(closed_listed);

    // A new airspeed moves the needle: the frame redraws inside the
    // airspeed indicator only.
    loop.command({{"op", "set"}, {"token", 61}, {"value", 140}});
    json f = frame_where(loop, seq, [](const json& j) {
        for (const json& p : j["patches"])
            if (!inside(p, 240, 20, 200, 220)) return true;
        return false;
    });
    ASSERT_FALSE(f.is_null()) << "a frame shows the airspeed needle";
    for (const json& p : f["patches"]) EXPECT_TRUE(inside(p, 20, 20, 200, 205)) << p["x"] << "," << p["y"];

    // A window that opens comes whole.
    loop.command({{"op", "window"}, {"ident", 10000}, {"action", "open"}});
    f = frame_where(loop, seq, [](const json& j) { return j.contains("windows"); });
    ASSERT_FALSE(f.is_null());
    EXPECT_EQ(f["windows"][0]["ident"], 10000);
    EXPECT_TRUE(f["windows"][0]["visible"]);
    bool whole_window = false;
    for (const json& p : f["patches"])
        whole_window |= p["window"] == 10000 && p["x"] == 0 && p["y"] == 240 && p["w"] == 230 && p["h"] == 230;
    EXPECT_TRUE(whole_window);
}

TEST(PanelLoop, MouseActionsAreAcknowledged)
{
    PanelLoop loop(options());
    uint64_t seq = 0;
    loop.key_frame(seq);
    loop.mouse("down", 120, 120, 7);
    loop.mouse("move", 130, 120, 8);
    loop.mouse("up", 130, 120, 9);
    json f = frame_where(loop, seq, [](const json& j) { return j.contains("acks") && j["acks"].value("", 0) >= 9; });
    ASSERT_FALSE(f.is_null());
    EXPECT_EQ(f["acks"][""], 9);
}

TEST(PanelLoop, MouseActionsOfAPageAreHandledInIdOrder)
{
    PanelLoop loop(options());
    uint64_t seq = 0;
    loop.key_frame(seq);
    // The release overtook the press on the way: nothing is handled until
    // the press is there, then both in order.
    loop.mouse("up", 120, 120, 2, "page");
    loop.mouse("move", 121, 120, 3, "page");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::vector<std::string> frames;
    loop.frames_after(seq, frames, 10);
    for (const std::string& f : frames) EXPECT_FALSE(json::parse(f).contains("acks")) << "nothing handled out of order";
    loop.mouse("down", 120, 120, 1, "page");
    json f = frame_where(loop, seq, [](const json& j) { return j.contains("acks"); });
    ASSERT_FALSE(f.is_null());
    EXPECT_EQ(f["acks"], json({{"page", 3}}));

    // A lost action is given up after a while; the ones behind it go on.
    auto sent = std::chrono::steady_clock::now();
    loop.mouse("up", 120, 120, 5, "page");
    f = frame_where(loop, seq, [](const json& j) { return j.contains("acks"); });
    ASSERT_FALSE(f.is_null());
    EXPECT_EQ(f["acks"], json({{"page", 5}}));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::duration<double>(PanelLoop::kMouseGapSeconds));

    // Another page counts on its own.
    loop.mouse("down", 120, 120, 1, "other");
    loop.mouse("up", 120, 120, 2, "other");
    f = frame_where(loop, seq, [](const json& j) { return j.contains("acks") && j["acks"].value("other", 0) >= 2; });
    ASSERT_FALSE(f.is_null());
    EXPECT_EQ(f["acks"], json({{"other", 2}}));
}

TEST(PanelLoop, BadPanelFailsToLoad)
{
    LoopOptions o = options();
    std::string path = std::string(ORVANE_BINARY_DIR) + "/web_tests_bad_panel.cfg";
    std::ofstream(path) << "[Window00]\ntitle=Main\nident=0\nposition=0,0\nsize=100,100\ngauge00=Orvane!Nothing, 0, 0\n";
    o.panel = path;
    EXPECT_ANY_THROW(PanelLoop loop(o));
}

TEST(HttpServer, ServesPageAndRefusesBadRequests)
{
    PanelLoop loop(options());
    gaugehost::web::HttpServer server(loop);
    int port = server.bind(0);
    std::thread t([&] { server.listen(); });
    httplib::Client client("127.0.0.1", port);

    auto page = client.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("/app.js"), std::string::npos);
    auto script = client.Get("/app.js");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->get_header_value("Content-Type").rfind("text/javascript", 0), 0u);

    auto hover = client.Get("/api/hover?x=120&y=120");
    ASSERT_TRUE(hover);
    EXPECT_EQ(json::parse(hover->body)["gauge"], "Orvane!Airspeed");

    struct Case {
        const char* method;
        const char* path;
        const char* body;
    } cases[] = {
        {"GET", "/api/hover?x=abc&y=1", ""},
        {"GET", "/api/hover?x=1", ""},
        {"GET", "/api/hover?x=nan&y=1", ""},
        {"POST", "/api/command", "{"},
        {"POST", "/api/command", "{\"op\":\"fly\"}"},
        {"POST", "/api/mouse", "{\"action\":\"jump\",\"x\":1,\"y\":1}"},
        {"POST", "/api/mouse", "{\"action\":\"down\"}"},
        {"POST", "/api/mouse", "[]"},
    };
    for (const Case& c : cases) {
        auto r = std::string(c.method) == "GET" ? client.Get(c.path) : client.Post(c.path, c.body, "application/json");
        ASSERT_TRUE(r) << c.path;
        EXPECT_EQ(r->status, 400) << c.path << " " << c.body;
        EXPECT_TRUE(json::parse(r->body).contains("error"));
    }
    auto missing = client.Get("/nothing-here");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    server.stop();
    t.join();
}

}  // namespace

namespace {

TEST(ServeCommand, BadArgumentsAreRefusedClearly)
{
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char* message;
    } cases[] = {
        {{"serve", "--port", "abc"}, 2, "--port needs a number from 0 to 65535"},
        {{"serve", "--port", "70000"}, 2, "--port needs a number"},
        {{"serve", "--port"}, 2, "--port needs a value"},
        {{"serve", "--bogus"}, 2, "unexpected argument '--bogus'"},
        {{"serve", "--panel", "/nonexistent/panel.cfg"}, 1, "no such file"},
        {{"serve", "--port", "0", "--scenario", "/nonexistent/s.txt"}, 1, "no such file"},
    };
    for (const Case& c : cases) {
        auto r = orvane_test::run_gaugehost(c.args);
        EXPECT_EQ(r.exit_code, c.exit_code) << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
}

}  // namespace
