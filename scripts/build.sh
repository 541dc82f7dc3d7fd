#!/usr/bin/env bash
# Configures and builds everything (application, tests, benchmarks) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=time_macros
build_dir="${VANTREL_BUILD_DIR:-build}"
jobs="${VANTREL_JOBS:-$(nproc)}"
if [ ! -f "$build_dir/build.ninja" ]; then
    # VANTREL_CONFIGURE_ARGS: further cmake arguments, split at spaces (the sanitizer build).
    # shellcheck disable=SC2086
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VANTREL_BUILD_TYPE:-Release}" \
        ${VANTREL_CONFIGURE_ARGS:-} >/dev/null
fi
# VANTREL_WERROR=ON: warnings in our own code fail the build (CI); the build folder keeps it.
if [ -n "${VANTREL_WERROR:-}" ]; then
    cmake "$build_dir" -DVANTREL_WERROR="$VANTREL_WERROR" >/dev/null
fi
cmake --build "$build_dir" --parallel "$jobs" "$@"
