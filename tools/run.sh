#!/usr/bin/env bash
# The main job: builds everything, then shows the gauges the modules offer
# and probes the airspeed indicator.
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
