// PNG pictures in memory, for sending over the wire: fast compression, as a
// picture goes out 18 times a second.
#pragma once

#include <string>

#include "host/image.h"

namespace gaugehost::web {

// The part x, y, width, height of the picture as PNG bytes (8-bit RGBA).
// The part must lie inside the picture.
std::string encode_png(const Image& image, int x, int y, int width, int height);

std::string base64(const std::string& bytes);

}  // namespace gaugehost::web
