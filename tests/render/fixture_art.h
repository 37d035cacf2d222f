// The bitmaps of the render fixture module, drawn by code so that the
// golden pictures depend on nothing else.
#pragma once

#include <string>

#include "host/image.h"

namespace render_test {

// Colours the tests look for.
constexpr gaugehost::Rgba kFace{180, 180, 180, 255};
constexpr gaugehost::Rgba kShaft{255, 255, 255, 255};
constexpr gaugehost::Rgba kDialTip{255, 0, 0, 255};
constexpr gaugehost::Rgba kBallTip{0, 0, 255, 255};
constexpr gaugehost::Rgba kIndex{255, 0, 0, 255};
constexpr gaugehost::Rgba kSlider{255, 128, 0, 255};
constexpr gaugehost::Rgba kHorizonMark{255, 0, 0, 255};
// Strip bars: columns 10k+4 and 10k+5 of the strip have colour kBars[k].
constexpr gaugehost::Rgba kBars[6] = {{255, 255, 0, 255}, {0, 255, 0, 255}, {0, 255, 255, 255},
                                      {255, 0, 255, 255}, {255, 255, 255, 255}, {255, 128, 0, 255}};

// Writes the module's bitmaps as <number>.bmp into `folder` (created).
void write_fixture_art(const std::string& folder);

// A 24-bit BMP file of a picture (alpha ignored).
void write_bmp(const gaugehost::Image& image, const std::string& path);

}  // namespace render_test
