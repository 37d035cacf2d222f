// `gaugehost run`: the panel flying over host time, written as a sequence of
// PNG frames and an animated GIF.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "commands.h"
#include "host/panel/panel_draw.h"
#include "panel_render.h"

namespace gaugehost::cli {

namespace {

const char* kRunUsage =
    "usage: gaugehost run [--panel FILE] [--scenario FILE] [--seconds S] [--fps F]\n"
    "                     [--gauges DIR] [--gif-width W] --out DIR\n"
    "\n"
    "Runs the aircraft model with the panel (default: the shipped panel/orvane.cfg)\n"
    "and writes what the whole panel shows as DIR/frame_00000.png, ... and an\n"
    "animated DIR/panel.gif.\n"
    "  --scenario FILE  plays the scenario (see scenarios/); without one the engine\n"
    "                   runs and the demo flight starts at once.\n"
    "  --seconds S      host time to run (default: the scenario's length plus 2 s,\n"
    "                   or the demo flight's length).\n"
    "  --fps F          frames per second of host time, up to the host's 18 updates\n"
    "                   per second (default 6).\n"
    "  --gif-width W    width of the animated picture (default 480; it shows at\n"
    "                   most 3 frames per second); 0 writes no GIF.\n"
    "The GIF is made with ImageMagick's convert.\n";

std::string frame_name(const std::string& prefix, int n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%05d.png", prefix.c_str(), n);
    return buffer;
}

std::string shell_quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

int run_command(const Args& args)
{
    namespace fs = std::filesystem;
    if (wants_help(args, kRunUsage)) return 0;
    PanelOptions options;
    std::string out;
    std::optional<double> seconds;
    double fps = 6;
    int gif_width = 480;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--time") throw std::invalid_argument("unexpected argument '--time' (use --seconds)");
        if (take_panel_option(args, i, options)) continue;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            if (a == "--out" || a == "--seconds" || a == "--fps" || a == "--gif-width")
                throw std::invalid_argument(a + " needs a value");
            throw std::invalid_argument("unexpected argument '" + a + "'");
        }
        if (a == "--out")
            out = args[++i];
        else if (a == "--seconds")
            seconds = number_option(a, args[++i], 0, 86400);
        else if (a == "--fps")
            fps = number_option(a, args[++i], 0.01, Host::kUpdateRate);
        else if (a == "--gif-width")
            gif_width = int(number_option(a, args[++i], 0, 4096));
        else
            throw std::invalid_argument("unexpected argument '" + a + "'");
    }
    if (out.empty()) throw std::invalid_argument("missing --out DIR");
    if (fps <= 0) throw std::invalid_argument("--fps must be above 0");

    std::optional<Scenario> scenario;
    auto session = start_session(options, scenario);
    double total = seconds ? *seconds : scenario ? scenario->duration() + 2 : Aircraft::demo_flight_seconds();

    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out)) throw std::runtime_error(out + ": cannot create the folder");
    for (const auto& entry : fs::directory_iterator(out)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("frame_", 0) == 0 && entry.path().extension() == ".png") fs::remove(entry.path());
    }
    fs::path gif_frames = fs::path(out) / "gif_frames";
    fs::remove_all(gif_frames, ec);
    if (gif_width > 0) fs::create_directories(gif_frames);

    PanelPainter painter(session->panel());
    const int gif_every = std::max(1, int(std::ceil(fps / 3 - 1e-9)));
    int frames = 0, gif_count = 0;
    auto capture = [&] {
        Image picture = painter.draw_panel();
        write_png(picture, (fs::path(out) / frame_name("frame_", frames)).string());
        if (gif_width > 0 && frames % gif_every == 0) {
            int h = std::max(1, int(std::lround(double(picture.height) * gif_width / picture.width)));
            write_png(scale_image(picture, gif_width, h),
                      (gif_frames / frame_name("g_", gif_count++)).string());
        }
        ++frames;
    };
    capture();
    while (session->time() + Session::kTick / 2 < total) {
        session->tick();
        if (session->time() + 1e-9 >= frames / fps) capture();
    }

    std::printf("%d frames of %dx%d over %.2f s of host time in %s/\n", frames, session->panel().width(),
                session->panel().height(), session->time(), out.c_str());
    if (scenario && !session->scenario_done())
        std::printf("note: the scenario was not finished after %.2f s\n", session->time());
    for (const auto& m : session->aircraft().messages()) std::printf("the pilot asked: %s\n", m.c_str());
    for (uint32_t w : session->panel().unknown_toggles())
        std::printf("note: a gauge toggled window %u, which the panel does not have\n", w);
    const Aircraft& a = session->aircraft();
    std::printf("at the end: engine %s, %.0f RPM, %.0f kt, altitude %.0f, heading %.0f\n",
                a.engine_running() ? "running" : "stopped", a.value(token::rpm), a.value(token::airspeed),
                a.value(token::altitude), a.value(token::gyro_heading));

    if (gif_width > 0) {
        std::string gif = (fs::path(out) / "panel.gif").string();
        int delay = int(std::lround(100.0 * gif_every / fps));
        std::string command = "convert -delay " + std::to_string(std::max(1, delay)) + " -loop 0 " +
                              shell_quote(gif_frames.string()) + "/g_*.png -layers Optimize " +
                              shell_quote(gif);
        int rc = std::system(command.c_str());
        fs::remove_all(gif_frames, ec);
        if (rc != 0) throw std::runtime_error("making the GIF failed (" + command + ")");
        std::printf("animated picture (%d frames): %s\n", gif_count, gif.c_str());
    }
    return 0;
}

}  // namespace gaugehost::cli
