#!/usr/bin/env bash
# The main job: builds everything, then flies the panel in the browser:
# starts `gaugehost serve` on 127.0.0.1 and prints the address to open.
# PORT=N picks the port (default 8180); extra arguments go to serve (for
# instance --demo, --scenario scenarios/engine_start.txt). Ctrl-C stops it.
# The headless job (gauges listed, probed and drawn) is tools/render-demo.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
echo
echo "Windows deliverables: $(ls build/win32/gauges/*.gau | tr '\n' ' ')"
echo
exec build/linux/bin/gaugehost serve --port "${PORT:-8180}" "$@"
