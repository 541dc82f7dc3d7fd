#!/usr/bin/env bash
# Configures and builds everything (application, tests, benchmarks) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=time_macros
build_dir="${VANTREL_BUILD_DIR:-build}"
jobs="${VANTREL_JOBS:-$(nproc)}"
# VANTREL_SANITIZE_FLAGS: compiler and linker flags of a sanitizer build (the sanitizer
# stages of scripts/test.sh).
sanitize_args=()
if [ -n "${VANTREL_SANITIZE_FLAGS:-}" ]; then
    flags="$VANTREL_SANITIZE_FLAGS"
    sanitize_args=("-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags")
fi
# A sanitizer build configures every time, so a folder made with other flags follows them.
if [ ! -f "$build_dir/build.ninja" ] || [ ${#sanitize_args[@]} -gt 0 ]; then
    # VANTREL_CONFIGURE_ARGS: further cmake arguments, split at spaces.
    # shellcheck disable=SC2086
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VANTREL_BUILD_TYPE:-Release}" \
        "${sanitize_args[@]}" ${VANTREL_CONFIGURE_ARGS:-} >/dev/null
fi
# VANTREL_WERROR=ON: warnings in our own code fail the build (CI); the build folder keeps it.
if [ -n "${VANTREL_WERROR:-}" ]; then
    cmake "$build_dir" -DVANTREL_WERROR="$VANTREL_WERROR" >/dev/null
fi
cmake --build "$build_dir" --parallel "$jobs" "$@"
