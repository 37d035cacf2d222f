// Writing the modules' bitmaps: a palette chosen for each picture and the
// uncompressed Windows BMP file that carries it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image.h"

namespace art {

// A picture reduced to a palette of at most 2^bits colours.
struct IndexedImage {
    int width = 0;
    int height = 0;
    int bits = 8;
    std::vector<gaugehost::Rgba> palette;
    std::vector<uint8_t> index;  // row by row from the top
};

// Chooses a palette for the picture and maps every pixel to it. Pictures
// with few colours keep them all exactly. Otherwise the key colours (0,0,0)
// and (1,1,1) keep palette entries of their own, exactly as they are, and
// every other colour goes to the nearest of the remaining entries (median
// cut, refined by k-means); no other colour ever becomes a key colour.
IndexedImage quantise(const gaugehost::Image& image, int bits);

// The BMP file: 14-byte file header, 40-byte info header, the full palette
// of 2^bits entries, rows bottom-up padded to four bytes.
std::vector<uint8_t> encode_bmp(const IndexedImage& image);

// Writes the file only when its contents differ, so that the Windows build
// does not link again for an unchanged picture, and replaces it whole.
// Throws on failure.
void write_file_if_changed(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace art
