// Scenarios: what a pilot (and the ground crew) do to the panel over time,
// read from a small text file, one step per line, '#' starts a comment.
//
//   wait SECONDS                 let host time pass
//   click GAUGE X,Y              left click on a gauge
//   hold GAUGE X,Y SECONDS       press, hold the button down, release
//   drag GAUGE X,Y X2,Y2 SECONDS press, move steadily to X2,Y2, release
//   key ID [VALUE]               a key event straight to the aircraft
//                                (ID in hex as 0x1011C or decimal)
//   set TOKEN VALUE              hand-set a token (VALUE a number, nan, inf,
//                                or i:N for a 32-bit integer in the low half)
//   release TOKEN | release all  give the token back to the model
//   fail KEY | repair KEY        host failure keys
//   units metric | units feet    the host's unit system (token 335)
//   flight demo                  start the scripted demo flight
//   engine running               the engine as if already started and warm
//   refuel left|right|aux GALLONS  fill (or drain) a tank to GALLONS
//   window IDENT open|close|toggle
//
// GAUGE is a gauge name as placed on the panel ("Ignition" or
// "Orvane_electric!Ignition"); X,Y are pixels of the gauge's own background
// picture, whatever width the panel draws it at. Clicks go to the panel at
// the matching panel position, so the front-most open window receives them,
// as the pilot's would.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaugehost {

struct ScenarioStep {
    enum Kind {
        Wait,
        Click,
        Hold,
        Drag,
        Key,
        Set,
        Release,
        ReleaseAll,
        Fail,
        Repair,
        Units,
        FlightDemo,
        EngineRunning,
        Refuel,
        Window,
    } kind;
    int line = 0;
    double seconds = 0;
    std::string gauge;
    double x = 0, y = 0, x2 = 0, y2 = 0;
    uint32_t id = 0;     // key event, token, failure key, window ident
    uint32_t value = 0;  // key event value
    double number = 0;   // token value, gallons
    bool is_int32 = false;
    int32_t int_value = 0;
    bool metric = false;
    int tank = 0;           // 0 left, 1 right, 2 aux
    int window_action = 0;  // 0 toggle, 1 open, 2 close
    std::string text;       // the line as written, for messages
};

struct Scenario {
    std::string path;
    std::vector<ScenarioStep> steps;
    // Host time the steps take.
    double duration() const;
};

// A bad scenario: the message reads "FILE:LINE: what is wrong".
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Scenario parse_scenario(const std::string& text, const std::string& path);
Scenario load_scenario(const std::string& path);

}  // namespace gaugehost
