// The HTTP side of `gaugehost serve`: the page, the frame stream and the
// JSON API, on 127.0.0.1 only.
//
//   GET  /                  the page (index.html, app.js, style.css)
//   GET  /api/layout        windows, their places, sizes and colours
//   GET  /api/frames        server-sent events: a key frame, then a frame
//                           whenever the panel changes (see panel_loop.h)
//   GET  /api/hover?x=&y=   what is under a panel point (tooltip, cursor,
//                           click area and tooltip records)
//   GET  /api/areas         every mouse record of the open windows' gauges
//   GET  /api/state         the aircraft model and the host
//   POST /api/mouse         {"action":"down"|"move"|"up","x":..,"y":..,"id":N}
//   POST /api/command       {"op":...} (play, pause, step, demo, set,
//                           release, fail, repair, units, key, window,
//                           refuel, scenario, engine_running)
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "panel_loop.h"

namespace gaugehost::web {

class HttpServer {
public:
    explicit HttpServer(PanelLoop& loop);
    ~HttpServer();

    // Binds 127.0.0.1:port (0: any free port); returns the port, or throws.
    int bind(int port);
    // Serves until stop() (from any thread).
    void listen();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace gaugehost::web
