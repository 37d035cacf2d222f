#!/usr/bin/env bash
# The headless job: builds everything, shows the gauges the modules offer,
# probes the airspeed indicator and flies the panel into PNG frames and an
# animated GIF (build/linux/demo-frames/).
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
"$host" run --out build/linux/demo-frames
