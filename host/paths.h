// Where the host looks for things by default.
#pragma once

#include <string>

namespace gaugehost {

// Folder of the running gaugehost executable.
std::string executable_folder();
// The gauges folder beside the host's bin folder (build/linux/gauges for
// build/linux/bin/gaugehost).
std::string default_gauges_folder();

}  // namespace gaugehost
