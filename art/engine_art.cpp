// Artwork of the engine instruments module (Orvane_engine).
#include "artwork.h"
#include "canvas.h"

namespace art {

void add_engine_art(std::vector<GaugeArt>&) {}

}  // namespace art
