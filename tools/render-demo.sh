#!/usr/bin/env bash
# The headless job: builds everything, shows the gauges the modules offer,
# probes the airspeed indicator and flies the demo flight on the shipped panel
# (panel/orvane.cfg), the pilot working the switches by mouse clicks
# (scenarios/demo_flight.txt), into PNG frames and an animated GIF
# (build/linux/demo-frames/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
host=build/linux/bin/gaugehost
echo
echo "Windows deliverables: $(ls build/win32/gauges/*.gau | tr '\n' ' ')"
echo
"$host" list
echo
"$host" probe Orvane Airspeed --token 61=100 --token 64=10240 --hover 100,60 --hover 190,150
echo
out=build/linux/demo-frames
"$host" run --panel panel/orvane.cfg --scenario scenarios/demo_flight.txt --fps 4 --out "$out"
"$host" render --panel panel/orvane.cfg --scenario scenarios/demo_flight.txt --time 100 --out "$out/cruise.png"
echo
echo "Frames of the whole panel: $out/frame_00000.png ... $(ls "$out"/frame_*.png | tail -1)"
echo "Animated picture:          $out/panel.gif"
echo "Still at 100 s:            $out/cruise.png"
