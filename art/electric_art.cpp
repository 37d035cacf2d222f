// Artwork of the electrical and controls module (Orvane_electric).
#include "artwork.h"
#include "canvas.h"

namespace art {

void add_electric_art(std::vector<GaugeArt>&) {}

}  // namespace art
