#!/usr/bin/env bash
# Sets up the machine, builds everything, and runs the whole test suite under a
# virtual display. Extra arguments go to ctest (for example -R Timecode).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
cd build
exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
    ctest --output-on-failure --timeout 300 -j "${VANTREL_TEST_JOBS:-$(nproc)}" "$@"
