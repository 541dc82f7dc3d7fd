#!/usr/bin/env bash
# Sets up the machine, builds everything, and runs the whole test suite under a
# virtual display. Extra arguments go to ctest (for example -R Timecode).
#
# With VANTREL_TSAN=1 (.ci/run sets it) a second stage follows: the tests again, without the
# end-to-end ones, built with ThreadSanitizer and UndefinedBehaviorSanitizer into build-tsan/.
# VANTREL_ASAN=1 does the same with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (by hand, not in CI). Any report fails the test it came from; tests/tsan.supp
# and tests/ubsan.supp list the few reports from inside the frameworks.
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

# Sanitizer stage: the tests again, without the end-to-end ones, built with the given
# sanitizer flags into their own folder. Any report halts the test it came from.
sanitizer_stage() {
    local dir="$1" flags="$2"
    shift 2
    echo "test: sanitizer stage $dir/: $flags"
    VANTREL_BUILD_DIR="$dir" VANTREL_BUILD_TYPE=RelWithDebInfo VANTREL_SANITIZE_FLAGS="$flags" \
        VANTREL_CONFIGURE_ARGS="-DVANTREL_BENCH=OFF" ./scripts/build.sh
    run_tests "$dir" -LE e2e "$@"
}
# UndefinedBehaviorSanitizer halts at the first report. Suppressions apply only to checks that
# can recover, so the checks with framework entries in tests/ubsan.supp stay recoverable
# and halt_on_error stops at its unsuppressed reports.
ubsan="undefined,float-cast-overflow,float-divide-by-zero -fno-sanitize-recover=all -fsanitize-recover=float-divide-by-zero,nonnull-attribute,shift-base"
export UBSAN_OPTIONS="suppressions=$PWD/tests/ubsan.supp halt_on_error=1 print_stacktrace=1"

if [ "${VANTREL_TSAN:-0}" = 1 ]; then
    # Without the vptr check: it probes memory through a pipe, which ThreadSanitizer reports
    # as a race in every thread.
    TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp second_deadlock_stack=1" \
        sanitizer_stage build-tsan "-fsanitize=thread,$ubsan -fno-sanitize=vptr" "$@"
fi
if [ "${VANTREL_ASAN:-0}" = 1 ]; then
    # No leak check: JUCE's delayed calls still pending at exit and the GL driver's
    # allocations would be reported by nearly every window test.
    # Without the vptr check too: it probes memory through a pipe, and in a process that has
    # used up its file descriptors (as a test does on purpose) the probe fails and the check
    # reports a sound object as having the wrong type.
    ASAN_OPTIONS="detect_leaks=0" sanitizer_stage build-asan "-fsanitize=address,$ubsan -fno-sanitize=vptr" "$@"
fi
