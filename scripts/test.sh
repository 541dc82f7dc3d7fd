#!/usr/bin/env bash
# Sets up the machine, builds everything, and runs the whole test suite under a
# virtual display. Extra arguments go to ctest (for example -R Timecode).
#
# With VANTREL_TSAN=1 (.ci/run sets it) a second stage follows: the tests again, without the
# end-to-end ones, built with ThreadSanitizer into build-tsan/. Any report fails the test it
# came from; tests/tsan.supp lists the few reports from inside the frameworks.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
jobs="${VANTREL_TEST_JOBS:-$(nproc)}"
run_tests() {
    (cd "$1" && shift && xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
        ctest --output-on-failure --timeout 300 -j "$jobs" "$@")
}
run_tests build "$@"

if [ "${VANTREL_TSAN:-0}" = 1 ]; then
    echo "test: second stage, ThreadSanitizer (build-tsan/)"
    tsan="-fsanitize=thread"
    VANTREL_BUILD_DIR=build-tsan VANTREL_BUILD_TYPE=RelWithDebInfo \
        VANTREL_CONFIGURE_ARGS="-DCMAKE_C_FLAGS=$tsan -DCMAKE_CXX_FLAGS=$tsan -DCMAKE_EXE_LINKER_FLAGS=$tsan -DVANTREL_BENCH=OFF" \
        ./scripts/build.sh
    TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp second_deadlock_stack=1" run_tests build-tsan -LE e2e "$@"
fi
