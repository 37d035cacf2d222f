#include "samples.h"

#include <filesystem>
#include <map>
#include <utility>

#include "host/gauge.h"
#include "host/host.h"
#include "host/render/renderer.h"

namespace art {

namespace {

struct Token {
    uint32_t token;
    double value;
    bool int32 = false;  // kept as a 32-bit integer (the fuel tank selector)
};

// A plausible moment in flight for each gauge.
const std::map<std::string, std::vector<Token>> kSampleStates = {
    {"Airspeed", {{61, 150}, {64, 6144}}},
    {"Climb", {{65, 1280}}},
    {"TurnBank", {{69, 40}, {79, 355}}},
    {"Attitude", {{78, 5}, {80, 15}}},
    {"Compass", {{81, 75}}},
    {"Altitude", {{74, 4350}, {76, 29.92}}},
    {"Directional_gyro", {{84, 75}}},
    {"Clock", {{3, 10}, {4, 10}, {5, 30}}},
    {"Manifold", {{152, 30000}}},
    {"RPM", {{390, 2400}}},
    {"Engine_gauge", {{147, 9000}, {148, 30000}, {425, 1000}}},
    {"Fuel", {{291, 6000000}, {297, 4000000}, {292, 60}, {298, 60}}},
    {"Throttle_quadrant", {{558, 0.8}, {560, 1.0}, {559, 0.6}}},
    {"Fuel_selector", {{422, 2, true}, {292, 60}, {298, 60}}},
    {"Coolant_temperature", {{417, 635.67}}},
    {"OAT", {{350, 15.0 / 256}}},
    {"Ignition", {{133, 1}, {134, 1}}},
    {"Gear_warning_light", {{558, 0.1}}},
    {"Flaps_gear_sw", {{331, 1}}},
    {"Ammeter", {{754, 12}}},
    {"Switch_box", {{364, 1}, {363, 1}, {367, 1}}},
    {"Starter", {{401, 0}}},
};

}  // namespace

std::vector<SamplePicture> render_samples(const std::string& gauges_dir, const std::string& module_name,
                                          const std::vector<std::string>& gauge_names)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    gaugehost::Module& module = host.load_module(
        (std::filesystem::path(gauges_dir) / gaugehost::module_file_name(module_name)).string());
    std::vector<SamplePicture> pictures;
    for (const std::string& name : gauge_names) {
        GaugeHeader* header = module.find_gauge(name);
        if (!header) continue;
        auto state = kSampleStates.find(name);
        if (state != kSampleStates.end())
            for (const Token& t : state->second) {
                if (t.int32) tokens.set_int32(t.token, int32_t(t.value));
                else tokens.set(t.token, t.value);
            }
        gaugehost::Gauge gauge(host, module, header);
        for (int i = 0; i < 3; ++i) gauge.update();
        gaugehost::GaugeRenderer renderer(gauge);
        pictures.push_back({module_name + " \"" + name + "\"", renderer.picture()});
    }
    return pictures;
}

}  // namespace art
