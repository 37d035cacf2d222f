// The drawn gauges as the host shows them at a sample state, through the
// host's own renderer, for the contact sheet.
#pragma once

#include <string>
#include <vector>

#include "host/image.h"

namespace art {

struct SamplePicture {
    std::string label;
    gaugehost::Image image;  // RGBA, alpha 0 where the gauge draws nothing
};

// Loads the module afresh (with the bitmaps just written beside it), sets
// each gauge's sample tokens, runs a few updates and renders it.
std::vector<SamplePicture> render_samples(const std::string& gauges_dir, const std::string& module_name,
                                          const std::vector<std::string>& gauge_names);

}  // namespace art
