// A panel configuration file: the panel windows of an aircraft and the
// gauges placed on them, in the simulator's customary INI shape.
//
//   # comment (also ';')
//   [Window00]
//   title=Main Panel
//   ident=1             window number; the icon gauges toggle windows by it
//   position=0,0        top-left corner on the panel, pixels
//   size=1440,700       width, height, pixels
//   visible=1           shown when the panel starts (1/0, yes/no, true/false)
//   color=48,50,54      fill colour behind the gauges (optional)
//   gauge00=Orvane!Airspeed, 20, 20, 200
//                       Module!Gauge, x, y[, drawn width]; x, y from the
//                       window's top-left corner
//
// Sections are [WindowNN] with a decimal NN; keys may come in any order;
// title, ident, position and size are required. Windows are drawn in file
// order, so a later window lies in front of an earlier one.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaugehost {

struct GaugePlacement {
    std::string module;
    std::string gauge;
    int x = 0, y = 0;
    std::optional<int> width;  // drawn width; the gauge's own size when absent
    int line = 0;              // where it was read, for messages
};

struct WindowConfig {
    int section = 0;           // NN of [WindowNN]
    std::string section_name;  // as written: "Window00"
    std::string title;
    int ident = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = true;
    unsigned char color[3] = {48, 50, 54};
    std::vector<GaugePlacement> gauges;
    int line = 0;
};

struct PanelConfig {
    std::string path;
    std::vector<WindowConfig> windows;
    // The panel's extent: the smallest box from (0,0) that holds every window.
    int width() const;
    int height() const;
    const WindowConfig* window(int ident) const;
};

// A bad configuration: the message reads "FILE:LINE: what is wrong".
class PanelConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the text of a configuration; `path` names it in messages.
PanelConfig parse_panel_config(const std::string& text, const std::string& path);
// Reads and parses a file.
PanelConfig load_panel_config(const std::string& path);

}  // namespace gaugehost
