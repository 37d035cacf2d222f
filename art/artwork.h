// The artwork generator: one drawing routine per gauge, which draws every
// bitmap of the gauge from the gauge's own records.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/image.h"
#include "records.h"

namespace art {

// A finished bitmap before it is written.
struct ArtBitmap {
    gaugehost::Image image;
    int bits = 8;  // 8, or 4 for the attitude sprites and their masks
    std::string gauge;
};

// The bitmaps of one module by resource number.
class ModuleArt {
public:
    // Throws when a number is given twice.
    void add(int number, gaugehost::Image image, int bits, const std::string& gauge);
    const std::map<int, ArtBitmap>& bitmaps() const { return bitmaps_; }

private:
    std::map<int, ArtBitmap> bitmaps_;
};

using DrawGauge = void (*)(GaugeRecords& gauge, ModuleArt& out);

struct GaugeArt {
    const char* module;
    const char* gauge;
    DrawGauge draw;
};

// Every gauge the artwork knows, module by module in the modules' order.
std::vector<GaugeArt> all_gauge_art();

void add_flight_art(std::vector<GaugeArt>& list);
void add_engine_art(std::vector<GaugeArt>& list);
void add_electric_art(std::vector<GaugeArt>& list);

}  // namespace art
