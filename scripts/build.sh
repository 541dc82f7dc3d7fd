#!/usr/bin/env bash
# Configures and builds everything (application, tests, benchmarks) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=time_macros
build_dir="${VANTREL_BUILD_DIR:-build}"
jobs="${VANTREL_JOBS:-$(nproc)}"
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VANTREL_BUILD_TYPE:-Release}" >/dev/null
fi
cmake --build "$build_dir" --parallel "$jobs" "$@"
