// The string element's text: Liberation Mono (metric-compatible with Courier
// New) through FreeType.
#pragma once

#include <cstdint>
#include <string>

#include "pixels.h"

namespace gaugehost::render {

// The font file in use, found through fontconfig; empty when the font is
// not installed (text is then not drawn).
const std::string& monospace_font_path();

// A box-sized layer holding `text` (Windows-1252) drawn with a font whose
// cell (ascent + descent) is `cell_height` pixels, left-aligned and
// vertically centred, in `foreground` over `background` (both
// premultiplied; a transparent background leaves the box clear).
Layer render_text(const std::string& text, int box_width, int box_height, int cell_height,
                  Pixel foreground, Pixel background);

}  // namespace gaugehost::render
