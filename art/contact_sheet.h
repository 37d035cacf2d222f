// A contact sheet of the written bitmaps, for people to look at.
#pragma once

#include <string>
#include <vector>

#include "samples.h"

namespace art {

struct SheetEntry {
    std::string module;
    int number = 0;
    std::string file;  // the written BMP, read back for the sheet
};

// One PNG: first the gauges as the host draws them at a sample state, then
// every bitmap as written (read back through the host's BMP reader), each
// labelled with module, number, size and bit depth; colour (0,0,0), which
// the host leaves transparent, shows as a checkerboard.
void write_contact_sheet(const std::string& png_path, const std::vector<SamplePicture>& samples,
                         const std::vector<SheetEntry>& entries);

}  // namespace art
