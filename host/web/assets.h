// The page's files, built into the host so that `gaugehost serve` works from
// any build tree (generated from web/ by host/web/embed.cmake).
#pragma once

#include <cstddef>

namespace gaugehost::web {

struct Asset {
    const char* path;  // "/index.html", "/app.js", ...
    const unsigned char* data;
    size_t size;
};

extern const Asset kAssets[];
extern const size_t kAssetCount;

}  // namespace gaugehost::web
