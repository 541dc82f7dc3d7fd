#!/usr/bin/env bash
# Sets up the machine, builds, and starts the application. Without a display it
# starts its own virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh --target Vantrel
if [ -n "${DISPLAY:-}" ]; then
    exec ./build/bin/Vantrel
else
    exec xvfb-run -a -s "-screen 0 1920x1080x24" ./build/bin/Vantrel
fi
