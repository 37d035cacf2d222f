#include "artwork.h"

#include <stdexcept>

namespace art {

void ModuleArt::add(int number, gaugehost::Image image, int bits, const std::string& gauge)
{
    auto [it, fresh] = bitmaps_.emplace(number, ArtBitmap{std::move(image), bits, gauge});
    if (!fresh)
        throw std::logic_error("bitmap " + std::to_string(number) + " drawn twice (" + it->second.gauge + ", " +
                               gauge + ")");
}

std::vector<GaugeArt> all_gauge_art()
{
    std::vector<GaugeArt> list;
    add_flight_art(list);
    add_engine_art(list);
    add_electric_art(list);
    return list;
}

}  // namespace art
